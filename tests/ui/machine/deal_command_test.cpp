// The main window's Deal and Read: with a board set they open the dealing window modally in their mode on
// the machine; without a machine nothing opens.
#include "support/sample_deals.h"
#include "support/window_test.h"
#include "ui/machine/dealing_window.h"

namespace orvenix::test {
namespace {

TEST_F(MainWindowTest, DealAndReadOpenTheDealingWindowInTheirModeAndNothingWithoutAMachine) {
    *t.set = test::SampleSet(1, 4);
    for (const char* action : {"menuDeal", "menuRead"}) {
        QString seen;
        WhenModalOpens([&](QWidget* modal) {
            auto* dealing = static_cast<DealingWindow*>(modal);
            dealing->onStartupTimer();
            dealing->onPollTimer(); // the start-up exchange ran on the machine
            seen = BoxTexts(dealing, "txtStatus") +
                   (Child<QWidget>(dealing, "read_mode1")->isHidden() ? "" : " read");
            dealing->reject();
        });
        Trigger(action);
        EXPECT_EQ(seen, std::string(action) == "menuDeal" ? QString("Idle") : QString("Idle read"));
    }
    window.reset();
    t.options.machine = "serial:/dev/orvenix-no-such-device";
    StartWindow();
    *t.set = test::SampleSet(1, 2);
    ModalCloser closer;
    Trigger("menuDeal");
    EXPECT_TRUE(closer.closed.isEmpty());
    EXPECT_FALSE(t.dialogs.messages.empty());
}

} // namespace
} // namespace orvenix::test
