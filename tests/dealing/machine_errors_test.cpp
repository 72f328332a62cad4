// The machine error table, the error dialog's content and its answers.
#include "base/messages.h"
#include "dealing/machine_errors.h"
#include "support/session_harness.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using Set = ErrorButtonSet;

// The boundaries between the groups of the table, and the texts whose exact form matters.
TEST(MachineErrorTable, GroupBoundariesAndButtonSets) {
    struct Row {
        int code;
        const char* text;
        Set buttons;
    };
    const Row rows[] = {
        {1, "Card did not go to S", Set::ContinueCancel},
        {4, "Card did not go to N", Set::ContinueCancel},
        {5, "Extra Card in S ", Set::ContinueCancel}, // with its trailing blank
        {6, "Extra Card in W", Set::ContinueCancel},
        {8, "Extra Card in N", Set::ContinueCancel},
        {9, "Card Jam Error", Set::CancelOnly},
        {16, "Card Jam Error", Set::CancelOnly},
        {17, "Card did not go to S - double error", Set::CancelOnly},
        {21, "Extra Card in S - double error", Set::CancelOnly},
        {24, "Extra Card in N - double error", Set::CancelOnly},
        {25, "Card Recognize Error", Set::ContinueCancel},
        {53, "Card Recognize Error", Set::ContinueCancel},
        {54, "Duplicate Card", Set::ContinueCancel},
        {56, "Card Feeding Error", Set::ContinueCancel},
        {57, "Break Dealing", Set::ContinueCancel},
        {58, "Board or Board Insert not fitted correctly", Set::ContinueCancel},
        {60, "Flip Plate open", Set::ContinueCancel},
        {61, "Card does not belong to selected National Settings", Set::CancelOnly},
        {62, "Undefine Error", Set::CancelOnly},
        {0, "Undefine Error", Set::CancelOnly},
        {0xF0, "Undefine Error", Set::CancelOnly},
        {-1, "Undefine Error", Set::CancelOnly},
    };
    for (const Row& r : rows) {
        EXPECT_STREQ(MachineErrorFor(r.code).text, r.text) << r.code;
        EXPECT_EQ(MachineErrorFor(r.code).buttons, r.buttons) << r.code;
    }
}

TEST(ErrorDialogContent, MachineErrorButtonsAndCode) {
    const ErrorDialogContent c = MakeErrorDialogContent(0, 5, 0, 3);
    EXPECT_EQ(c.caption, "Dealing Error");
    EXPECT_EQ(c.text, "Extra Card in S ");
    EXPECT_EQ(c.codeText, "Error Code: 5");
    EXPECT_TRUE(c.continueVisible);
    EXPECT_TRUE(c.cancelVisible);
    EXPECT_FALSE(c.cancel2Visible);
    EXPECT_EQ(c.continueCaption, "Continue");
    EXPECT_EQ(c.cancelCaption, "Cancel");

    const ErrorDialogContent jam = MakeErrorDialogContent(0, 16, 0, 3);
    EXPECT_EQ(jam.text, "Card Jam Error");
    EXPECT_FALSE(jam.continueVisible);
    EXPECT_FALSE(jam.cancelVisible);
    EXPECT_TRUE(jam.cancel2Visible);
    EXPECT_EQ(jam.cancel2Caption, "Cancel");
    EXPECT_EQ(jam.codeText, "Error Code: 16");
}

TEST(ErrorDialogContent, BoardCheckShowsExpectedAndInsertedBoards) {
    const ErrorDialogContent wrong = MakeErrorDialogContent(kErrorKindBoardCheck, 0, 7, 12);
    EXPECT_EQ(wrong.code, 65);
    EXPECT_EQ(wrong.codeText, "Error Code: 65");
    EXPECT_NE(wrong.text.find("Expected board no: 12  -  Inserted board no: 7"), std::string::npos);
    EXPECT_EQ(wrong.buttons, Set::BoardCheck);
    EXPECT_TRUE(wrong.continueVisible && wrong.cancelVisible && wrong.cancel2Visible);
    EXPECT_EQ(wrong.continueCaption, "Try again");
    EXPECT_EQ(wrong.cancel2Caption, "Deal to the current board");

    const ErrorDialogContent unreadable = MakeErrorDialogContent(kErrorKindBoardCheck, 33, 0, 12);
    EXPECT_EQ(unreadable.code, 64);
    EXPECT_EQ(unreadable.text, MessageTemplate(MsgCannotReadBoardNumber));
}

// ---- The dialog's answers -----------------------------------------------------------------------------

class ErrorDialogTest : public ::testing::Test {
  protected:
    test::SessionHarness h;
};

TEST_F(ErrorDialogTest, ButtonsGiveTheirActions) {
    ErrorDialog machine(*h.link, h.dialogs, MakeErrorDialogContent(0, 3, 0, 1));
    machine.PressCancel2();
    EXPECT_TRUE(machine.Closed());
    EXPECT_EQ(machine.Action(), kErrorActionCancel);
    machine.PressContinue(); // closed: nothing changes
    EXPECT_EQ(machine.Action(), kErrorActionCancel);

    ErrorDialog check(*h.link, h.dialogs, MakeErrorDialogContent(kErrorKindBoardCheck, 0, 4, 1));
    check.PressCancel2();
    EXPECT_EQ(check.Action(), kErrorActionDealCurrent);

    ErrorDialog again(*h.link, h.dialogs, MakeErrorDialogContent(kErrorKindBoardCheck, 0, 4, 1));
    again.PressContinue();
    EXPECT_EQ(again.Action(), kErrorActionContinue);

    ErrorDialog cancel(*h.link, h.dialogs, MakeErrorDialogContent(kErrorKindBoardCheck, 0, 4, 1));
    cancel.PressCancel();
    EXPECT_EQ(cancel.Action(), kErrorActionCancel);
    EXPECT_TRUE(h.Machine().Commands().empty()); // buttons send nothing
}

TEST_F(ErrorDialogTest, TickPollsAndThePedalContinues) {
    ErrorDialog d(*h.link, h.dialogs, MakeErrorDialogContent(0, 54, 0, 1));
    d.Tick();
    d.Tick();
    EXPECT_FALSE(d.Closed());
    ASSERT_EQ(h.Machine().Commands().size(), 2u);
    EXPECT_EQ(h.Machine().Commands()[0].first[0], cmd::kStatus);
    EXPECT_EQ(h.Machine().Commands()[0].first[1], 0);
    for (std::size_t i = 2; i <= 6; ++i)
        EXPECT_EQ(h.Machine().Commands()[0].first[i], 0);
    h.Machine().PressPedal();
    d.Tick();
    EXPECT_TRUE(d.Closed());
    EXPECT_TRUE(d.AnsweredByPedal());
    EXPECT_EQ(d.Action(), kErrorActionContinue);
    d.Tick(); // closed: no more polls
    EXPECT_EQ(h.Machine().Commands().size(), 3u);
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(ErrorDialogTest, OneBadReplyIsRetriedTwoCloseWithTheLostLinkBox) {
    ErrorDialog d(*h.link, h.dialogs, MakeErrorDialogContent(0, 54, 0, 1));
    h.Machine().InjectWireFault(WireFault::BadChecksum, 1);
    d.Tick();
    EXPECT_FALSE(d.Closed());
    EXPECT_EQ(h.link->State().commErrorCount, 0);
    h.Machine().InjectWireFault(WireFault::ShortReply, 2);
    d.Tick();
    EXPECT_TRUE(d.Closed());
    EXPECT_TRUE(d.LinkLost());
    EXPECT_EQ(d.Action(), kErrorActionCancel);
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.Last().text, "Lost Communication with Dealer  -  Dealing Aborted");
    EXPECT_EQ(h.dialogs.Last().title, "");
}

} // namespace
} // namespace orvenix
