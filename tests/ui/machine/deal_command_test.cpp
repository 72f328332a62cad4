// The main window's Deal and Read: with a board set they open the dealing window modally in their mode on
// the machine; without a machine nothing opens.
#include "support/sample_deals.h"
#include "support/window_test.h"
#include "ui/machine/dealing_window.h"

namespace orvenix::test {
namespace {

TEST_F(MainWindowTest, DealAndReadOpenTheDealingWindowInTheirMode) {
    *t.set = test::SampleSet(1, 4);
    for (const auto& [action, caption] : {std::pair{"menuDeal", "&Deal"}, std::pair{"menuRead", "&Read"}}) {
        SCOPED_TRACE(action);
        QString seen;
        WhenModalOpens([&](QWidget* modal) {
            auto* dealing = qobject_cast<DealingWindow*>(modal);
            ASSERT_NE(dealing, nullptr);
            dealing->onStartupTimer();
            dealing->onPollTimer(); // the start-up exchange ran on the machine
            seen = Child<QPushButton>(dealing, "cmdDeal")->text() + " " +
                   Child<QLineEdit>(dealing, "txtStatus")->text();
            dealing->reject();
        });
        Trigger(action);
        EXPECT_EQ(seen, caption + QString(" Idle"));
    }
}

TEST_F(MainWindowTest, DealWithoutAMachineOpensNothing) {
    window.reset();
    t.options.machine = "serial:/dev/orvenix-no-such-device";
    StartWindow();
    *t.set = test::SampleSet(1, 2);
    ModalCloser closer;
    Trigger("menuDeal");
    EXPECT_TRUE(closer.closed.isEmpty());
    EXPECT_FALSE(t.dialogs.messages.empty());
    EXPECT_EQ(window->statusText(), "Ready");
}

} // namespace
} // namespace orvenix::test
