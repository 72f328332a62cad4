// Every window of the program fits a laptop screen of 1366 × 768 with a panel (1366 × 720 to use) at 1×
// scale, its frame and title bar included, its frames are no larger than their content, and its chosen
// options cannot be unchosen by a click.
#include "dealing/machine_errors.h"
#include "machine/emulated_si.h"
#include "machine/link.h"
#include "support/board_set_samples.h"
#include "support/window_test.h"
#include "ui/editor/editor_window.h"
#include "ui/formats/board_number_dialog.h"
#include "ui/generate/generator_window.h"
#include "ui/machine/dealing_window.h"
#include "ui/machine/emulator_panel.h"
#include "ui/machine/machine_error_dialog.h"
#include "ui/maintenance/maintenance_window.h"
#include "ui/print/print_window.h"

#include <QGroupBox>
#include <QPrinter>
#include <QRadioButton>
#include <QTabWidget>

namespace orvenix::test {
namespace {

// The size a window opens at and the least it can take both fit; its visible frames fit their content.
void ExpectFits(QWidget& window, const std::string& name) {
    const QSize usable(1366 - 10, 720 - 40); // less what a window manager adds around a window
    window.show();
    window.adjustSize();
    QApplication::processEvents();
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
    EXPECT_TRUE(least.boundedTo(usable) == least && window.size().boundedTo(usable) == window.size())
        << name << " opens " << window.width() << "x" << window.height();
    for (QGroupBox* frame : window.findChildren<QGroupBox*>())
        EXPECT_LE(frame->isVisible() ? frame->height() : 0, frame->sizeHint().height() + 2) << name;
    // A chosen option clicked again stays chosen (options beside a frame of other options are grouped).
    for (QRadioButton* option : window.findChildren<QRadioButton*>()) {
        if (!option->isChecked() || !option->isEnabled()) continue;
        option->click();
        EXPECT_TRUE(option->isChecked()) << name << ": " << option->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, EveryWindowFitsALaptopScreen) {
    *t.set = RandomSet(1, 16);
    ExpectFits(*window, "main window");

    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), EmulatorConfig{});
    EmulatedSi* emu = si.get();
    auto& clock = static_cast<VirtualClock&>(si->GetClock());
    MachineLink link(std::move(si), t.dialogs);
    link.Open(kLinkTimeoutMs);
    ErrorDialog boardCheck(link, t.dialogs, MakeErrorDialogContent(kErrorKindBoardCheck, 0, 7, 12));
    ErrorDialog machineError(link, t.dialogs, MakeErrorDialogContent(0, 5, 0, 1));
    const auto dealing = [&](SessionMode mode) {
        return std::make_unique<DealingWindow>(mode, *t.set, link, clock, t.settings, t.dialogs, [] {});
    };
    const std::pair<const char*, std::function<std::unique_ptr<QWidget>()>> cases[] = {
        {"generator", [&] { return std::make_unique<GeneratorWindow>(t.ctx); }},
        {"editor", [&] { return std::make_unique<EditorWindow>(t.ctx); }},
        {"printing", [&] { return std::make_unique<PrintWindow>(t.ctx, printer); }},
        {"board numbers", [&] { return std::make_unique<BoardNumberDialog>(*t.set, "DUP", t.dialogs); }},
        {"dealing", [&] { return dealing(SessionMode::Deal); }},
        {"reading", [&] { return dealing(SessionMode::Read); }},
        {"machine error", [&] { return std::make_unique<MachineErrorDialog>(machineError); }},
        {"board check", [&] { return std::make_unique<MachineErrorDialog>(boardCheck); }},
        {"emulator panel", [&] { return std::make_unique<EmulatorPanel>(emu->Machine()); }},
    };
    for (const auto& [name, make] : cases) {
        ExpectFits(*make(), name);
    }
    MaintenanceWindow maintenance(link, t.dialogs, t.settings);
    auto* tabs = Child<QTabWidget>(&maintenance, "tabs");
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        ExpectFits(maintenance, "maintenance page " + tabs->tabText(page).toStdString());
    }
    maintenance.reject();
}

} // namespace
} // namespace orvenix::test
