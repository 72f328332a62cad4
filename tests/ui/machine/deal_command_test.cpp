// The main window's Deal without a machine: the link cannot be opened, which is said, and no dealing window
// opens. (That Deal and Read open the dealing window on the machine is a row of the menu commands' test.)
#include "support/sample_deals.h"
#include "support/window_test.h"

namespace orvenix::test {
namespace {

TEST_F(MainWindowTest, DealWithoutAMachineOpensNothing) {
    window.reset();
    t.options.machine = "serial:/dev/orvenix-no-such-device";
    StartWindow();
    *t.set = test::SampleSet(1, 2);
    ModalCloser closer;
    Trigger("menuDeal");
    EXPECT_TRUE(closer.closed.isEmpty());
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_EQ(t.dialogs.Last().title, "USB Communication Error");
}

} // namespace
} // namespace orvenix::test
