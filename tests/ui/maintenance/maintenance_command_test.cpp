// The main window's Maintenance command: it opens the machine link and the window modally, and the window's
// start-up exchange runs on the machine; without a machine it says so and opens nothing.
#include "support/window_test.h"
#include "ui/maintenance/maintenance_window.h"

namespace orvenix::test {
namespace {

TEST_F(MainWindowTest, MaintenanceOpensTheWindowOnTheMachineAndNothingWithoutOne) {
    QString version;
    WhenModalOpens([&](QWidget* modal) {
        static_cast<MaintenanceWindow*>(modal)->onStartupTimer();
        version = BoxTexts(modal, "Soft_ver");
        modal->close();
    });
    Trigger("cmdMaintenance");
    EXPECT_EQ(version, "2.40");
    window.reset();
    t.options.machine = "serial:/dev/orvenix-no-such-device";
    StartWindow();
    ModalCloser closer;
    Trigger("cmdMaintenance");
    EXPECT_TRUE(closer.closed.isEmpty());
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_EQ(t.dialogs.Last().title, "USB Communication Error");
}

} // namespace
} // namespace orvenix::test
