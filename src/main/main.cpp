// orvenix: the desktop program.
#include "app/context.h"
#include "base/log.h"
#include "base/version.h"
#include "model/board.h"
#include "ui/app/command_line.h"
#include "ui/app/main_window.h"
#include "ui/app/program_resources.h"
#include "ui/app/qt_dialogs.h"
#include "ui/app/qt_settings.h"

#include <QApplication>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace orvenix;

    // The command line is read before any window system is needed, so that --help, --version and a
    // mistyped option answer on the terminal. Arguments that are none of ours may be Qt's own ("-style
    // fusion"): they are judged again once Qt has taken its own out.
    CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.action == CommandLine::Action::Help) {
        std::cout << CommandLineUsage();
        return 0;
    }
    if (line.action == CommandLine::Action::Version) {
        std::cout << "orvenix " << VersionText() << "\n";
        return 0;
    }
    if (line.action == CommandLine::Action::Error && !line.unknownArgument) {
        std::cerr << "orvenix: " << line.error << "\n" << CommandLineUsage();
        return 2;
    }

    QApplication app(argc, argv); // takes Qt's own arguments out of argv
    // The desktop finds the menu entry (and its icon) by this name; every window shows the icon.
    QGuiApplication::setDesktopFileName("org.orvenix.Desk");
    QApplication::setWindowIcon(ProgramIcon());
    line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.action == CommandLine::Action::Error) {
        std::cerr << "orvenix: " << line.error << "\n" << CommandLineUsage();
        return 2;
    }

    auto set = std::make_unique<BoardSet>();
    QtDialogs dialogs;
    QtSettings settings;
    ActivityLog log("dealer.log");
    AppContext ctx{*set, dialogs, settings, log};

    MainWindow window(ctx, line.options);
    dialogs.SetParent(&window);
    window.Start();
    const int code = QApplication::exec();
    dialogs.SetParent(nullptr);
    return code;
}
