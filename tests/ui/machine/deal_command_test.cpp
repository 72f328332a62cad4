// The main window's Deal and Read: refused without a board set; with one they open the machine link and
// the dealing window modally on the emulated machine, and the main window is "Ready" afterwards.
#include "base/messages.h"
#include "support/sample_deals.h"
#include "support/window_test.h"
#include "ui/machine/dealing_window.h"

#include <QLineEdit>
#include <QPushButton>

namespace orvenix::test {
namespace {

TEST_F(MainWindowTest, DealWithoutABoardSetOpensNothing) {
    ModalCloser closer;
    Trigger("menuDeal");
    EXPECT_TRUE(closer.closed.isEmpty());
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_EQ(t.dialogs.Last().text, FormatMessage(MsgNoBoardSet));
    EXPECT_EQ(t.dialogs.Last().title, "Dealing Error");
}

struct Command {
    const char* action;
    const char* caption;
    const char* dealCaption;
};

class DealCommandTest : public MainWindowTest, public ::testing::WithParamInterface<Command> {};

TEST_P(DealCommandTest, OpensTheWindowOnTheMachineAndEndsReady) {
    *t.set = test::SampleSet(1, 4);
    QString caption;
    QString deal;
    QString state;
    bool exitEnabled = false;
    WhenModalOpens([&](QWidget* modal) {
        auto* window = qobject_cast<DealingWindow*>(modal);
        ASSERT_NE(window, nullptr);
        caption = window->windowTitle();
        deal = window->findChild<QPushButton*>("cmdDeal")->text();
        window->onStartupTimer();
        window->onPollTimer();
        state = window->findChild<QLineEdit*>("txtStatus")->text();
        auto* exit = window->findChild<QPushButton*>("cmdExit");
        exitEnabled = exit->isEnabled();
        exit->click();
        if (!window->closed()) window->reject();
    });
    Trigger(GetParam().action);
    EXPECT_EQ(caption, GetParam().caption);
    EXPECT_EQ(deal, GetParam().dealCaption);
    EXPECT_EQ(state, "Idle");
    EXPECT_TRUE(exitEnabled);
    EXPECT_EQ(window->statusText(), "Ready");
}

INSTANTIATE_TEST_SUITE_P(Commands, DealCommandTest,
                         ::testing::Values(Command{"menuDeal", " Dealing Boards ", "&Deal"},
                                           Command{"menuRead", " Reading Boards ", "&Read"}),
                         [](const ::testing::TestParamInfo<Command>& info) {
                             return std::string(info.param.action);
                         });

TEST_F(MainWindowTest, DealWithoutAMachineSaysSoAndOpensNoWindow) {
    window.reset();
    t.options.machine = "serial:/dev/orvenix-no-such-device";
    StartWindow();
    *t.set = test::SampleSet(1, 2);
    ModalCloser closer;
    Trigger("menuDeal");
    EXPECT_TRUE(closer.closed.isEmpty());
    ASSERT_FALSE(t.dialogs.messages.empty());
    EXPECT_EQ(window->statusText(), "Ready");
}

} // namespace
} // namespace orvenix::test
