// The machine error table, the error dialog's content and its answers.
#include "base/messages.h"
#include "dealing/machine_errors.h"
#include "support/session_harness.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using Set = ErrorButtonSet;

// The boundaries of the code ranges, and which errors the operator may continue after.
TEST(MachineErrorTable, RangesAndButtonSets) {
    struct Row {
        int code;
        const char* text;
        Set buttons;
    };
    const Row rows[] = {
        {8, "Extra Card in N", Set::ContinueCancel},
        {9, "Card Jam Error", Set::CancelOnly},
        {16, "Card Jam Error", Set::CancelOnly},
        {17, "Card did not go to S - double error", Set::CancelOnly},
        {24, "Extra Card in N - double error", Set::CancelOnly},
        {25, "Card Recognize Error", Set::ContinueCancel},
        {53, "Card Recognize Error", Set::ContinueCancel},
        {54, "Duplicate Card", Set::ContinueCancel},
        {60, "Flip Plate open", Set::ContinueCancel},
        {61, "Card does not belong to selected National Settings", Set::CancelOnly},
        {62, "Undefine Error", Set::CancelOnly},
        {0, "Undefine Error", Set::CancelOnly},
        {-1, "Undefine Error", Set::CancelOnly},
    };
    for (const Row& r : rows) {
        EXPECT_STREQ(MachineErrorFor(r.code).text, r.text) << r.code;
        EXPECT_EQ(MachineErrorFor(r.code).buttons, r.buttons) << r.code;
    }
}

TEST(ErrorDialogContent, ButtonsShownForEachKindOfError) {
    struct Case {
        std::uint8_t kind, status, readBoard;
        int code;
        std::string text;
        bool continueCancel, cancel2;
    };
    const Case cases[] = {
        {0, 5, 0, 5, "Extra Card in S ", true, false},
        {0, 16, 0, 16, "Card Jam Error", false, true},
        {kErrorKindBoardCheck, 0, 7, 65, FormatMessage(MsgIncorrectBoardInserted, "12", "7"), true, true},
        {kErrorKindBoardCheck, 33, 0, 64, MessageTemplate(MsgCannotReadBoardNumber), true, true},
    };
    for (const Case& c : cases) {
        const ErrorDialogContent d = MakeErrorDialogContent(c.kind, c.status, c.readBoard, 12);
        EXPECT_EQ(d.code, c.code);
        EXPECT_EQ(d.codeText, "Error Code: " + std::to_string(c.code));
        EXPECT_EQ(d.text, c.text);
        EXPECT_EQ(d.continueVisible, c.continueCancel) << c.code;
        EXPECT_EQ(d.cancelVisible, c.continueCancel) << c.code;
        EXPECT_EQ(d.cancel2Visible, c.cancel2) << c.code;
    }
}

TEST(ErrorDialogAnswers, ButtonsGiveTheirActionsAndSendNothing) {
    struct Case {
        std::uint8_t kind;
        void (ErrorDialog::*press)();
        ErrorAction action;
    };
    const Case cases[] = {
        {0, &ErrorDialog::PressContinue, kErrorActionContinue},
        {0, &ErrorDialog::PressCancel2, kErrorActionCancel},
        {kErrorKindBoardCheck, &ErrorDialog::PressCancel2, kErrorActionDealCurrent},
        {kErrorKindBoardCheck, &ErrorDialog::PressContinue, kErrorActionContinue},
        {kErrorKindBoardCheck, &ErrorDialog::PressCancel, kErrorActionCancel},
    };
    test::SessionHarness h;
    for (const Case& c : cases) {
        ErrorDialog d(*h.link, h.dialogs, MakeErrorDialogContent(c.kind, 3, 4, 1));
        (d.*c.press)();
        EXPECT_TRUE(d.Closed());
        EXPECT_EQ(d.Action(), c.action);
        d.PressCancel(); // closed: nothing changes
        EXPECT_EQ(d.Action(), c.action);
    }
    EXPECT_TRUE(h.Machine().Commands().empty());
}

TEST(ErrorDialogAnswers, EachTickPollsAndThePedalContinues) {
    test::SessionHarness h;
    ErrorDialog d(*h.link, h.dialogs, MakeErrorDialogContent(0, 54, 0, 1));
    d.Tick();
    d.Tick();
    EXPECT_FALSE(d.Closed());
    ASSERT_EQ(h.Machine().Commands().size(), 2u);
    EXPECT_EQ(h.Machine().Commands()[0].first[0], cmd::kStatus);
    EXPECT_EQ(h.Machine().Commands()[0].first[1], 0); // neither a break nor an acknowledgement
    h.Machine().PressPedal();
    d.Tick();
    EXPECT_TRUE(d.Closed());
    EXPECT_TRUE(d.AnsweredByPedal());
    EXPECT_EQ(d.Action(), kErrorActionContinue);
    d.Tick(); // closed: no more polls
    EXPECT_EQ(h.Machine().Commands().size(), 3u);
    EXPECT_TRUE(h.dialogs.messages.empty());
}

} // namespace
} // namespace orvenix
