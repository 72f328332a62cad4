// Card and recognition options: stored values, command byte 2, national letters, and the checks against the
// machine's firmware and options.
#include "base/dialogs.h"
#include "base/messages.h"
#include "base/settings.h"
#include "dealing/card_settings.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

SharedMachineState Machine(std::uint8_t major, std::uint8_t minor, std::int32_t options) {
    return {.firmwareMajor = major, .firmwareMinor = minor, .optionWord = options};
}

TEST(CardOptionsStore, EachKeyTakesOnlyItsOwnChoices) {
    const std::tuple<const char*, int CardOptions::*, int> stored[] = {
        {keys::kNational, &CardOptions::national, kNationalSets},
        {keys::kCardType, &CardOptions::cardType, 2},
        {keys::kThreshold, &CardOptions::threshold, 3},
        {keys::kCardIndex, &CardOptions::cardIndex, 2}};
    for (const auto& [key, field, choices] : stored) {
        const std::string last = std::to_string(choices - 1); // then values that are no choice
        for (const std::string& v : {last, std::to_string(choices), std::string(" 1"), std::string("1x")}) {
            MemorySettings s;
            s.values[key] = v;
            EXPECT_EQ(LoadCardOptions(s).*field, v == last ? choices - 1 : 0) << key << v;
        }
    }
}

TEST(CommandByte2, CombinesNationalBitsAndOptionBits) {
    EXPECT_EQ(CommandByte2(CardOptions{}), 0x00);
    EXPECT_EQ(CommandByte2(CardOptions{kNationalDanish, 1, 2, 1, false}), 0x5D);
    EXPECT_EQ(CommandByte2(CardOptions{kNationalFrenchARDV, 0, 1, 0, false}), 0x12);
    EXPECT_EQ(CommandByte2(CardOptions{kNationalDutch, 0, 0, 0, true}), 0x40); // the board check is no bit
    EXPECT_EQ(CommandByte2(CardOptions{kNationalGerman, 1, 0, 0, false}), 0x31);
}

TEST(BoardPicture, FrameTextsPointsAndCardsInTheNationalLetters) {
    const Board b = test::SuitPerHandBoard(); // N spades, E hearts, S diamonds, W clubs
    const BoardPicture hidden = MakeBoardPicture(b, 6, false, kNationalStandard);
    EXPECT_EQ(
        std::tuple(hidden.boardText, hidden.vulText, hidden.dealerText, hidden.highCardPoints, hidden.cards),
        std::tuple(" Board: 6", "Vul: EW", "Dealer: East", std::array{10, 10, 10, 10}, BoardPicture{}.cards));
    const BoardPicture french = MakeBoardPicture(b, 6, true, kNationalFrench1RDV);
    const BoardPicture own = MakeBoardPicture(test::RandomSet(7, 7)[7], 7, false, 0);
    EXPECT_EQ(
        std::tuple(french.cards[0][0], french.cards[1][1],
                   MakeBoardPicture(b, 6, true, kNationalDutch).cards[3][3], own.dealerText, own.vulText,
                   ApplyNationalLetters("AKQJ", 9)), // no such set: the standard letters
        std::tuple("1RDVT98765432", "1RDVT98765432", "AHVBT98765432", "Dealer: South", "Vul: All", "AKQJ"));
}

// ---- Checks against the machine ---------------------------------------------------------------------

TEST(MachineChecks, LargeIndexAndTheBoardCheckNeedTheOptionAndFirmware240) {
    // Large index or the board check, ticked or not, major, minor, option word, and the refusal (empty:
    // none); only a 2.x below 2.40 is too old. Unticking never shows a message, whatever the machine.
    const std::tuple<bool, bool, std::uint8_t, std::uint8_t, std::int32_t, std::string> cases[] = {
        {true, true, 2, 0x40, 8, ""},
        {true, true, 3, 0x00, 8, ""},
        {true, true, 2, 0x32, 8, FormatMessage(MsgLargeIndexNeedsFirmware, "2.32")},
        {true, true, 2, 0x40, 4, MessageTemplate(MsgJumboNotSuitable)},
        {false, true, 2, 0x40, 4, ""},
        {false, true, 2, 0x39, 4, FormatMessage(MsgBoardCheckNeedsFirmware, "2.39")},
        {false, true, 2, 0x40, 8, MessageTemplate(MsgNoBoardNumberReader)},
        {false, false, 2, 0x10, 0, ""}};
    for (const auto& [large, tick, major, minor, optionWord, refusal] : cases) {
        MemorySettings s;
        s.Write(large ? keys::kCardIndex : keys::kCheckBoard, "1");
        ScriptedDialogs d;
        CardOptions o;
        bool undoneFirst = false;
        auto undone = [&] { undoneFirst = d.messages.empty() && o == CardOptions{}; };
        const SharedMachineState m = Machine(major, minor, optionWord);
        const bool accepted =
            large ? ChooseLargeIndex(o, m, s, d, undone) : ChooseCheckBoard(o, tick, m, s, d, undone);
        const bool on = tick && refusal.empty();
        // Saved at once; undone before the refusal is shown.
        EXPECT_EQ(std::tuple(accepted, o, LoadCardOptions(s), undoneFirst, d.messages.size(),
                             d.messages.empty() ? "" : d.Last().text + " | " + d.Last().title),
                  std::tuple(on, CardOptions{0, 0, 0, large && on ? 1 : 0, !large && on}, o, !refusal.empty(),
                             refusal.empty() ? 0u : 1u, refusal.empty() ? "" : refusal + " | Dealing Error"))
            << refusal;
    }
}

TEST(MachineChecks, StartUpUndoesWhatTheMachineCannotDo) {
    const std::tuple<std::uint8_t, std::uint8_t, std::int32_t, bool> cases[] = {
        {2, 0x40, 4 | 8, true}, {2, 0x32, 4 | 8, false}, {3, 0x00, 0, false}};
    for (const auto& [major, minor, options, kept] : cases) {
        MemorySettings s;
        CardOptions o{0, 0, 0, 1, true};
        ApplyMachineLimits(o, Machine(major, minor, options), s);
        EXPECT_EQ(o, (kept ? CardOptions{0, 0, 0, 1, true} : CardOptions{})) << int{minor};
        EXPECT_EQ(LoadCardOptions(s), CardOptions{}); // only what is undone is written
    }
}

TEST(MachineChecks, ReadingAndNationalSetsNeedTheirFirmware) {
    for (const auto& [major, minor, supported] :
         {std::tuple{2, 0x23, false}, {2, 0x24, true}, {3, 0, true}, {1, 0x99, false}})
        EXPECT_EQ(ReadingSupported(Machine(std::uint8_t(major), std::uint8_t(minor), 0)), supported) << minor;
    const std::tuple<int, std::uint8_t, std::string> cases[] = {
        {kNationalStandard, 0x10, ""},
        {kNationalDutch, 0x26, FormatMessage(MsgNationalNeedsFirmware, "2.26")},
        {kNationalDutch, 0x27, ""},
        {kNationalDanish, 0x26, FormatMessage(MsgNationalNeedsFirmware, "2.26")},
        {kNationalDanish, 0x31, FormatMessage(MsgDanishNeedsFirmware, "2.31")},
        {kNationalDanish, 0x32, ""}};
    for (const auto& [national, minor, refusal] : cases) {
        ScriptedDialogs d;
        EXPECT_EQ(NationalAllowed(CardOptions{national}, Machine(2, minor, 0), d), refusal.empty());
        EXPECT_EQ(d.messages.empty() ? "" : d.Last().text, refusal);
    }
}

} // namespace
} // namespace orvenix
