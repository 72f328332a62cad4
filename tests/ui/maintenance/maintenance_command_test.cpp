// The main window's Maintenance command: it opens the machine link and the window modally, and the window's
// start-up exchange runs on the machine; without a machine it says so and opens nothing.
#include "support/window_test.h"
#include "ui/maintenance/maintenance_window.h"

namespace orvenix::test {
namespace {

TEST_F(MainWindowTest, MaintenanceOpensTheWindowOnTheMachine) {
    QString version;
    WhenModalOpens([&](QWidget* modal) {
        auto* maintenance = qobject_cast<MaintenanceWindow*>(modal);
        ASSERT_NE(maintenance, nullptr);
        maintenance->onStartupTimer();
        version = maintenance->findChild<QLineEdit*>("Soft_ver")->text();
        maintenance->reject();
    });
    Trigger("cmdMaintenance");
    EXPECT_EQ(version, "2.40");
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_EQ(window->statusText(), "Ready");

    window.reset();
    t.options.machine = "serial:/dev/orvenix-no-such-device";
    StartWindow();
    ModalCloser closer;
    Trigger("cmdMaintenance");
    EXPECT_TRUE(closer.closed.isEmpty());
    ASSERT_FALSE(t.dialogs.messages.empty());
    EXPECT_EQ(t.dialogs.Last().title, "USB Communication Error");
}

} // namespace
} // namespace orvenix::test
