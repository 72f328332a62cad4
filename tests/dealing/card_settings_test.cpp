// Card and recognition options: stored values, command byte 2, national letters, the checks against the
// machine's firmware and options, and the options in the dealing session.
#include "base/messages.h"
#include "dealing/card_settings.h"
#include "support/board_set_samples.h"
#include "support/session_harness.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

SharedMachineState Machine(std::uint8_t major, std::uint8_t minor, std::int32_t options) {
    SharedMachineState m;
    m.firmwareMajor = major;
    m.firmwareMinor = minor;
    m.optionWord = options;
    return m;
}

TEST(CardOptionsStore, EachKeyTakesOnlyItsOwnChoicesAndSavesRoundTrip) {
    const std::tuple<const char*, int CardOptions::*, int> stored[] = {
        {keys::kNational, &CardOptions::national, kNationalSets},
        {keys::kCardType, &CardOptions::cardType, 2},
        {keys::kThreshold, &CardOptions::threshold, 3},
        {keys::kCardIndex, &CardOptions::cardIndex, 2}};
    for (const auto& [key, field, choices] : stored) {
        MemorySettings s;
        for (int v = -1; v <= choices; ++v) {
            s.values[key] = std::to_string(v);
            EXPECT_EQ(LoadCardOptions(s).*field, v >= 0 && v < choices ? v : 0) << key << v;
        }
        for (const char* other : {"", " 1", "1x"}) {
            s.values[key] = other;
            EXPECT_EQ(LoadCardOptions(s), CardOptions{}) << key << other;
        }
    }
    MemorySettings s;
    EXPECT_FALSE(LoadCardOptions(s).checkBoard);
    s.values[keys::kCheckBoard] = "x";
    EXPECT_TRUE(LoadCardOptions(s).checkBoard); // anything but "0" ticks it
    const CardOptions o{3, 1, 1, 1, false};
    for (auto save : {SaveNational, SaveCardType, SaveThreshold, SaveCardIndex, SaveCheckBoard})
        save(s, o);
    EXPECT_EQ(LoadCardOptions(s), o);
}

TEST(CommandByte2, CombinesNationalBitsAndOptionBits) {
    EXPECT_EQ(CommandByte2(CardOptions{}), 0x00);
    EXPECT_EQ(CommandByte2(CardOptions{kNationalDanish, 1, 2, 1, false}), 0x5D);
    EXPECT_EQ(CommandByte2(CardOptions{kNationalFrenchARDV, 0, 1, 0, false}), 0x12);
    EXPECT_EQ(CommandByte2(CardOptions{kNationalDutch, 0, 0, 0, true}), 0x40); // the board check is no bit
    EXPECT_EQ(CommandByte2(CardOptions{kNationalGerman, 1, 0, 0, false}), 0x31);
}

TEST(BoardPicture, FrameTextsPointsAndCardsInTheNationalLetters) {
    Board b = test::SuitPerHandBoard(); // N spades, E hearts, S diamonds, W clubs
    const BoardPicture hidden = MakeBoardPicture(b, 6, false, kNationalStandard);
    EXPECT_EQ(hidden.boardText, " Board: 6");
    EXPECT_EQ(hidden.vulText, "Vul: EW");
    EXPECT_EQ(hidden.dealerText, "Dealer: East");
    EXPECT_EQ(hidden.highCardPoints, (std::array<int, 4>{10, 10, 10, 10}));
    EXPECT_TRUE(hidden.cards[0][0].empty());
    const BoardPicture french = MakeBoardPicture(b, 6, true, kNationalFrench1RDV);
    EXPECT_EQ(french.cards[0][0], "1RDVT98765432");
    EXPECT_TRUE(french.cards[0][1].empty());
    EXPECT_EQ(french.cards[1][1], "1RDVT98765432");
    EXPECT_EQ(MakeBoardPicture(b, 6, true, kNationalDutch).cards[3][3], "AHVBT98765432");
    EXPECT_EQ(ApplyNationalLetters("AKQJ", 9), "AKQJ"); // no such set: the standard letters
    b.dealer = 3;
    b.vulnerability = 4;
    const BoardPicture own = MakeBoardPicture(b, 6, false, 0);
    EXPECT_EQ(own.dealerText, "Dealer: South");
    EXPECT_EQ(own.vulText, "Vul: All");
}

// ---- Checks against the machine ---------------------------------------------------------------------

TEST(MachineChecks, LargeIndexAndTheBoardCheckNeedTheOptionAndFirmware240) {
    // Large index or the board check, major, minor, option word, and the refusal (empty: accepted).
    const std::tuple<bool, std::uint8_t, std::uint8_t, std::int32_t, std::string> cases[] = {
        {true, 2, 0x40, 8, ""},
        {true, 3, 0x00, 8, ""}, // only a 2.x below 2.40 is too old
        {true, 2, 0x32, 8, FormatMessage(MsgLargeIndexNeedsFirmware, "2.32")},
        {true, 2, 0x40, 4, MessageTemplate(MsgJumboNotSuitable)},
        {false, 2, 0x40, 4, ""},
        {false, 2, 0x39, 4, FormatMessage(MsgBoardCheckNeedsFirmware, "2.39")},
        {false, 2, 0x40, 8, MessageTemplate(MsgNoBoardNumberReader)}};
    for (const auto& [large, major, minor, optionWord, refusal] : cases) {
        SCOPED_TRACE(refusal);
        MemorySettings s;
        s.values[large ? keys::kCardIndex : keys::kCheckBoard] = "1";
        ScriptedDialogs d;
        CardOptions o;
        bool undoneFirst = false;
        auto undone = [&] { undoneFirst = d.messages.empty() && o == CardOptions{}; };
        const SharedMachineState m = Machine(major, minor, optionWord);
        const bool accepted =
            large ? ChooseLargeIndex(o, m, s, d, undone) : ChooseCheckBoard(o, true, m, s, d, undone);
        EXPECT_EQ(accepted, refusal.empty());
        EXPECT_EQ(o, (CardOptions{0, 0, 0, large && accepted ? 1 : 0, !large && accepted}));
        EXPECT_EQ(LoadCardOptions(s), o); // saved at once
        EXPECT_EQ(undoneFirst, !accepted);
        EXPECT_EQ(d.messages.size(), accepted ? 0u : 1u);
        for (const MessageRequest& message : d.messages)
            EXPECT_EQ(message.text + " | " + message.title, refusal + " | Dealing Error");
    }
    // Unticking never shows a message, whatever the machine.
    MemorySettings s;
    s.values[keys::kCheckBoard] = "1";
    ScriptedDialogs d;
    CardOptions o{0, 0, 0, 0, true};
    EXPECT_FALSE(ChooseCheckBoard(o, false, Machine(2, 0x10, 0), s, d));
    EXPECT_TRUE(d.messages.empty() && !LoadCardOptions(s).checkBoard);
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

// ---- The options in the session ------------------------------------------------------------------------

TEST(SessionOptions, ClicksAreCheckedSavedAtOnceAndReachTheDealCommand) {
    EmulatorConfig config = test::SessionHarness::Fast();
    config.optionWord = 4; // a board-number reader, no large-index cards
    test::SessionHarness h(config);
    h.set = test::RandomSet(1, 2);
    h.settings.values = {{keys::kCardIndex, "1"}, {keys::kCheckBoard, "1"}, {keys::kInitReadMode, "0"}};
    DealingSession& s = h.Load(SessionMode::Deal);
    const auto stored = h.settings.values;
    s.NationalClicked(4); // while initialising: neither checked nor saved
    s.CardIndexClicked(1);
    s.CheckBoardClicked(true);
    EXPECT_EQ(h.settings.values, stored);
    EXPECT_EQ(s.Display().options, (CardOptions{4, 0, 0, 1, true}));
    h.clock->Advance(2000);
    s.StartupExchange();
    EXPECT_EQ(s.Display().options, (CardOptions{4, 0, 0, 0, true})); // undone silently at start-up
    EXPECT_TRUE(h.dialogs.messages.empty());
    s.NationalClicked(kNationalDanish);
    s.CardTypeClicked(1);
    s.ThresholdClicked(2);
    s.ThresholdClicked(7); // no such option
    s.CheckBoardClicked(false);
    s.ReadModeClicked(ReadMode::PlayedBoards);
    s.CardIndexClicked(1);
    EXPECT_EQ(s.Display().options, (CardOptions{kNationalDanish, 1, 2, 0, false}));
    EXPECT_EQ(LoadCardOptions(h.settings), s.Display().options);
    EXPECT_EQ(h.settings.values[keys::kInitReadMode], "1");
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.Last().text, MessageTemplate(MsgJumboNotSuitable));
    s.DealCommand();
    ASSERT_EQ(h.StepCommands().size(), 1u);
    EXPECT_EQ(h.StepCommands()[0][2], CommandByte2(s.Display().options));
}

} // namespace
} // namespace orvenix
