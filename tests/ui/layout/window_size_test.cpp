// Every window of the program fits a laptop screen of 1366 × 768 with a panel (1366 × 720 to use) at 1×
// scale, its frame and title bar included, and its frames are no larger than their content.
#include "base/settings.h"
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
#include <QTabWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace orvenix::test {
namespace {

const QSize kUsable(1366, 720);
// What a window manager adds around a window: borders and the title bar.
const QSize kDecoration(10, 40);

// The size a window opens at and the least it can take, with its decoration.
void ExpectFits(QWidget& window, const char* name) {
    window.adjustSize();
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize()) + kDecoration;
    const QSize opened = window.size() + kDecoration;
    EXPECT_LE(least.width(), kUsable.width()) << name;
    EXPECT_LE(least.height(), kUsable.height()) << name;
    EXPECT_LE(opened.width(), kUsable.width())
        << name << " opens " << window.width() << "×" << window.height();
    EXPECT_LE(opened.height(), kUsable.height())
        << name << " opens " << window.width() << "×" << window.height();
}

// A group box shown at its size is not stretched past what its content needs.
void ExpectFramesFitTheirContent(QWidget& window, const char* name) {
    window.show();
    window.adjustSize();
    QApplication::processEvents();
    for (QGroupBox* frame : window.findChildren<QGroupBox*>()) {
        if (!frame->isVisible()) continue;
        EXPECT_LE(frame->height(), frame->sizeHint().height() + 2)
            << name << " " << frame->title().toStdString();
    }
}

// The machine windows on an emulated machine in virtual time.
struct Machine {
    Machine() {
        auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), EmulatorConfig{});
        emu = si.get();
        clock = &static_cast<VirtualClock&>(si->GetClock());
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->Open(kLinkTimeoutMs);
    }
    ScriptedDialogs dialogs;
    MemorySettings settings;
    EmulatedSi* emu = nullptr;
    VirtualClock* clock = nullptr;
    std::unique_ptr<MachineLink> link;
};

TEST_F(MainWindowTest, EveryWindowFitsALaptopScreen) {
    *t.set = test::RandomSet(1, 16);
    ExpectFits(*window, "main window");

    struct Case {
        const char* name;
        std::function<std::unique_ptr<QWidget>()> make;
    };
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    BoardSet dealt = test::RandomSet(1, 16);
    Machine machine;
    ErrorDialog boardCheck(*machine.link, machine.dialogs,
                           MakeErrorDialogContent(kErrorKindBoardCheck, 0, 7, 12));
    ErrorDialog machineError(*machine.link, machine.dialogs, MakeErrorDialogContent(0, 5, 0, 1));
    auto dealing = [&](SessionMode mode) {
        return std::make_unique<DealingWindow>(mode, dealt, *machine.link, *machine.clock, machine.settings,
                                               machine.dialogs, [] {});
    };
    const Case cases[] = {
        {"generator", [&] { return std::make_unique<GeneratorWindow>(t.ctx); }},
        {"editor", [&] { return std::make_unique<EditorWindow>(t.ctx); }},
        {"printing", [&] { return std::make_unique<PrintWindow>(t.ctx, printer); }},
        {"board numbers", [&] { return std::make_unique<BoardNumberDialog>(*t.set, "DUP", t.dialogs); }},
        {"dealing", [&] { return dealing(SessionMode::Deal); }},
        {"reading", [&] { return dealing(SessionMode::Read); }},
        {"machine error", [&] { return std::make_unique<MachineErrorDialog>(machineError); }},
        {"board check", [&] { return std::make_unique<MachineErrorDialog>(boardCheck); }},
        {"emulator panel", [&] { return std::make_unique<EmulatorPanel>(machine.emu->Machine()); }},
        {"maintenance",
         [&] {
             return std::make_unique<MaintenanceWindow>(*machine.link, machine.dialogs, machine.settings);
         }},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QWidget> shown = c.make();
        ExpectFits(*shown, c.name);
        ExpectFramesFitTheirContent(*shown, c.name);
        shown->close();
    }
}

TEST(MaintenanceLayout, EveryPageFitsAndKeepsItsFramesToTheirContent) {
    Machine machine;
    MaintenanceWindow window(*machine.link, machine.dialogs, machine.settings);
    auto* tabs = window.findChild<QTabWidget*>("tabs");
    ASSERT_NE(tabs, nullptr);
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        const std::string name = "maintenance page " + tabs->tabText(page).toStdString();
        ExpectFramesFitTheirContent(window, name.c_str());
        ExpectFits(window, name.c_str());
    }
    window.reject();
}

} // namespace
} // namespace orvenix::test
