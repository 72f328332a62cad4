// The machine error table and the error dialog's content. What each answer does is shown by the session's
// steps.
#include "base/messages.h"
#include "dealing/machine_errors.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

// The boundaries of the code ranges: which errors the operator may continue after, and the texts of the
// ranges.
TEST(MachineErrorTable, RangesAndButtonSets) {
    using enum ErrorButtonSet;
    const std::pair<int, ErrorButtonSet> buttons[] = {
        {1, ContinueCancel},  {8, ContinueCancel},  {9, CancelOnly},      {16, CancelOnly},
        {17, CancelOnly},     {24, CancelOnly},     {25, ContinueCancel}, {53, ContinueCancel},
        {54, ContinueCancel}, {60, ContinueCancel}, {61, CancelOnly},     {0, CancelOnly}};
    for (const auto& [code, set] : buttons)
        EXPECT_EQ(MachineErrorFor(code).buttons, set) << code;
    const std::pair<int, const char*> texts[] = {{9, "Card Jam Error"},        {16, "Card Jam Error"},
                                                 {25, "Card Recognize Error"}, {53, "Card Recognize Error"},
                                                 {62, "Undefine Error"},       {0, "Undefine Error"}};
    for (const auto& [code, text] : texts)
        EXPECT_STREQ(MachineErrorFor(code).text, text) << code;
}

TEST(ErrorDialogContent, ButtonsShownForEachKindOfError) {
    const std::tuple<std::uint8_t, std::uint8_t, std::uint8_t, int, std::string, bool, bool> cases[] = {
        {0, 5, 0, 5, "Extra Card in S ", true, false},
        {0, 16, 0, 16, "Card Jam Error", false, true},
        {kErrorKindBoardCheck, 0, 7, 65, FormatMessage(MsgIncorrectBoardInserted, "12", "7"), true, true},
        {kErrorKindBoardCheck, 33, 0, 64, MessageTemplate(MsgCannotReadBoardNumber), true, true}};
    for (const auto& [kind, status, readBoard, code, text, continueCancel, cancel2] : cases) {
        const ErrorDialogContent d = MakeErrorDialogContent(kind, status, readBoard, 12);
        EXPECT_EQ(std::tuple(d.code, d.text, d.continueVisible, d.cancelVisible, d.cancel2Visible),
                  std::tuple(code, text, continueCancel, continueCancel, cancel2));
    }
}

} // namespace
} // namespace orvenix
