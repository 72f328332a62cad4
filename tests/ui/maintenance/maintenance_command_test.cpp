// The main window's Maintenance command: it opens the chosen machine link and the window modally, the
// window's start-up exchange runs on the machine, and closing the window closes the link.
#include "base/dialogs.h"
#include "support/window_test.h"
#include "ui/maintenance/maintenance_window.h"

#include <QLineEdit>
#include <QTest>

namespace orvenix::test {
namespace {

TEST_F(MainWindowTest, MaintenanceOpensTheWindowOnTheEmulatedMachine) {
    QString caption;
    QString version;
    bool linkOpen = false;
    WhenModalOpens([&](QWidget* modal) {
        auto* window = qobject_cast<MaintenanceWindow*>(modal);
        ASSERT_NE(window, nullptr);
        caption = window->windowTitle();
        linkOpen = window->session().Link().IsOpen();
        window->onStartupTimer();
        version = window->findChild<QLineEdit*>("Soft_ver")->text();
        window->reject();
    });
    Trigger("cmdMaintenance");
    EXPECT_EQ(caption, "Dealer Maintenance");
    EXPECT_TRUE(linkOpen);
    EXPECT_EQ(version, "2.40");
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_EQ(window->statusText(), "Ready");
}

TEST_F(MainWindowTest, MaintenanceWithoutAMachineSaysSo) {
    window.reset();
    t.options.machine = "serial:/dev/orvenix-no-such-device";
    StartWindow();
    ModalCloser closer;
    Trigger("cmdMaintenance");
    EXPECT_TRUE(closer.closed.isEmpty()); // no window opened
    ASSERT_FALSE(t.dialogs.messages.empty());
    EXPECT_EQ(t.dialogs.Last().title, "USB Communication Error");
}

} // namespace
} // namespace orvenix::test
