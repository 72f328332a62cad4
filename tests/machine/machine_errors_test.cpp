// The machine error table, the error dialog's content and its answers.
#include "app/messages.h"
#include "machine/machine_errors.h"
#include "support/session_harness.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using Set = ErrorButtonSet;

TEST(MachineErrorTable, PocketErrorsNameThePocketsInMachineOrder) {
    EXPECT_STREQ(MachineErrorFor(1).text, "Card did not go to S");
    EXPECT_STREQ(MachineErrorFor(2).text, "Card did not go to W");
    EXPECT_STREQ(MachineErrorFor(3).text, "Card did not go to E");
    EXPECT_STREQ(MachineErrorFor(4).text, "Card did not go to N");
    EXPECT_STREQ(MachineErrorFor(5).text, "Extra Card in S "); // with its trailing blank
    EXPECT_STREQ(MachineErrorFor(6).text, "Extra Card in W");
    EXPECT_STREQ(MachineErrorFor(7).text, "Extra Card in E");
    EXPECT_STREQ(MachineErrorFor(8).text, "Extra Card in N");
    for (int code = 1; code <= 8; ++code)
        EXPECT_EQ(MachineErrorFor(code).buttons, Set::ContinueCancel) << code;
}

TEST(MachineErrorTable, JamsAndDoubleErrorsOfferOnlyCancel) {
    for (int code = 9; code <= 16; ++code) {
        EXPECT_STREQ(MachineErrorFor(code).text, "Card Jam Error") << code;
        EXPECT_EQ(MachineErrorFor(code).buttons, Set::CancelOnly) << code;
    }
    EXPECT_STREQ(MachineErrorFor(17).text, "Card did not go to S - double error");
    EXPECT_STREQ(MachineErrorFor(20).text, "Card did not go to N - double error");
    EXPECT_STREQ(MachineErrorFor(21).text, "Extra Card in S - double error");
    EXPECT_STREQ(MachineErrorFor(24).text, "Extra Card in N - double error");
    for (int code = 17; code <= 24; ++code)
        EXPECT_EQ(MachineErrorFor(code).buttons, Set::CancelOnly) << code;
}

TEST(MachineErrorTable, RecognitionFeedingAndCoverErrorsCanContinue) {
    for (int code : {25, 40, 53}) {
        EXPECT_STREQ(MachineErrorFor(code).text, "Card Recognize Error") << code;
        EXPECT_EQ(MachineErrorFor(code).buttons, Set::ContinueCancel);
    }
    EXPECT_STREQ(MachineErrorFor(54).text, "Duplicate Card");
    EXPECT_STREQ(MachineErrorFor(55).text, "Card Feeding Error");
    EXPECT_STREQ(MachineErrorFor(56).text, "Card Feeding Error");
    EXPECT_STREQ(MachineErrorFor(57).text, "Break Dealing");
    EXPECT_STREQ(MachineErrorFor(58).text, "Board or Board Insert not fitted correctly");
    EXPECT_STREQ(MachineErrorFor(59).text, "No Top Cover");
    EXPECT_STREQ(MachineErrorFor(60).text, "Flip Plate open");
    for (int code = 54; code <= 60; ++code)
        EXPECT_EQ(MachineErrorFor(code).buttons, Set::ContinueCancel) << code;
    EXPECT_STREQ(MachineErrorFor(61).text, "Card does not belong to selected National Settings");
    EXPECT_EQ(MachineErrorFor(61).buttons, Set::CancelOnly);
}

TEST(MachineErrorTable, UnknownCodesAreUndefined) {
    for (int code : {0, 62, 64, 0xF0, 255, -1}) {
        EXPECT_STREQ(MachineErrorFor(code).text, "Undefine Error") << code;
        EXPECT_EQ(MachineErrorFor(code).buttons, Set::CancelOnly);
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
    testing::SessionHarness h;
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
    EXPECT_EQ(h.link->state.commErrorCount, 0);
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
