// orvenix: the desktop program.
#include "app/context.h"
#include "app/log.h"
#include "app/version.h"
#include "model/board.h"
#include "ui/app/command_line.h"
#include "ui/app/main_menu.h"
#include "ui/app/qt_dialogs.h"
#include "ui/app/qt_settings.h"

#include <QApplication>

#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace orvenix;

    // --help and --version answer before any window system is needed.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << CommandLineUsage();
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "orvenix " << VersionText() << "\n";
            return 0;
        }
    }

    QApplication app(argc, argv); // takes Qt's own arguments out of argv
    const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.action == CommandLine::Action::Error) {
        std::cerr << "orvenix: " << line.error << "\n" << CommandLineUsage();
        return 2;
    }

    auto set = std::make_unique<BoardSet>();
    QtDialogs dialogs;
    QtSettings settings;
    ActivityLog log("dealer.log");
    AppContext ctx{*set, dialogs, settings, log};

    MainMenu window(ctx, line.options);
    dialogs.SetParent(&window);
    window.Start();
    const int code = QApplication::exec();
    dialogs.SetParent(nullptr);
    return code;
}
