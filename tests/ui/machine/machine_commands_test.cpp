// Deal and Maintenance without a machine: the link cannot be opened, which is said, and no window opens.
// (That they open their windows on the machine is a row of the menu commands' test.)
#include "support/sample_deals.h"
#include "support/window_test.h"

namespace orvenix::test {
namespace {

TEST_F(MainWindowTest, DealAndMaintenanceWithoutAMachineOpenNothing) {
    window.reset();
    t.options.machine = "serial:/dev/orvenix-no-such-device";
    StartWindow();
    *t.set = test::SampleSet(1, 2);
    ModalCloser closer;
    for (const char* command : {"menuDeal", "cmdMaintenance"}) {
        t.dialogs.messages.clear();
        Trigger(command);
        ASSERT_EQ(t.dialogs.messages.size(), 1u) << command;
        EXPECT_EQ(t.dialogs.Last().title, "USB Communication Error");
    }
    EXPECT_TRUE(closer.closed.isEmpty());
}

} // namespace
} // namespace orvenix::test
