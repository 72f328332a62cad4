// The main window's Maintenance without a machine: the link cannot be opened, which is said, and no window
// opens. (That it opens the maintenance window on the machine is a row of the menu commands' test.)
#include "support/window_test.h"

namespace orvenix::test {
namespace {

TEST_F(MainWindowTest, MaintenanceWithoutAMachineOpensNothing) {
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
