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

TEST(CardOptionsStore, StoredValuesSelectTheirChoiceAndAnythingElseTheFirst) {
    MemorySettings s;
    EXPECT_EQ(LoadCardOptions(s), CardOptions{});
    s.values = {{keys::kNational, "5"},
                {keys::kCardType, "1"},
                {keys::kThreshold, "2"},
                {keys::kCardIndex, "1"},
                {keys::kCheckBoard, "x"}};
    EXPECT_EQ(LoadCardOptions(s), (CardOptions{5, 1, 2, 1, true}));
    s.values = {{keys::kNational, "7"},
                {keys::kCardType, "2"},
                {keys::kThreshold, "3"},
                {keys::kCardIndex, " 1"},
                {keys::kCheckBoard, "0"}};
    EXPECT_EQ(LoadCardOptions(s), CardOptions{});
    s.values = {{keys::kNational, "-1"}, {keys::kThreshold, ""}};
    EXPECT_EQ(LoadCardOptions(s), CardOptions{});
}

TEST(CardOptionsStore, SavingWritesOneKeyEach) {
    MemorySettings s;
    const CardOptions o{3, 1, 1, 1, true};
    SaveNational(s, o);
    EXPECT_EQ(s.values.size(), 1u);
    SaveCardType(s, o);
    SaveThreshold(s, o);
    SaveCardIndex(s, o);
    SaveCheckBoard(s, o);
    EXPECT_EQ(s.values[keys::kNational], "3");
    EXPECT_EQ(s.values[keys::kCardType], "1");
    EXPECT_EQ(s.values[keys::kThreshold], "1");
    EXPECT_EQ(s.values[keys::kCardIndex], "1");
    EXPECT_EQ(s.values[keys::kCheckBoard], "1");
    EXPECT_EQ(LoadCardOptions(s), o);
}

TEST(CommandByte2, CombinesNationalBitsAndOptionBits) {
    EXPECT_EQ(CommandByte2(CardOptions{}), 0x00);
    EXPECT_EQ(CommandByte2(CardOptions{kNationalDanish, 1, 2, 1, false}), 0x5D);
    EXPECT_EQ(CommandByte2(CardOptions{kNationalFrenchARDV, 0, 1, 0, false}), 0x12);
    EXPECT_EQ(CommandByte2(CardOptions{kNationalDutch, 0, 0, 0, true}), 0x40); // the board check is no bit
    EXPECT_EQ(CommandByte2(CardOptions{kNationalGerman, 1, 0, 0, false}), 0x31);
}

TEST(NationalLetters, ReplaceAceKingQueenJack) {
    EXPECT_EQ(ApplyNationalLetters("AKQJT98", kNationalStandard), "AKQJT98");
    EXPECT_EQ(ApplyNationalLetters("AKQJT98", kNationalFrench1RDV), "1RDVT98");
    EXPECT_EQ(ApplyNationalLetters("AKQJ", kNationalFrenchARDV), "ARDV");
    EXPECT_EQ(ApplyNationalLetters("AKQJ", kNationalGerman), "AKDB");
    EXPECT_EQ(ApplyNationalLetters("AKQJ", kNationalDutch), "AHVB");
    EXPECT_EQ(ApplyNationalLetters("AKQJ", kNationalDanish), "EKDB");
    EXPECT_EQ(ApplyNationalLetters("AKQJ", 9), "AKQJ");
}

TEST(BoardPicture, FrameTextsPointsAndNationalCards) {
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
    const BoardPicture dutch = MakeBoardPicture(b, 6, true, kNationalDutch);
    EXPECT_EQ(dutch.cards[3][3], "AHVBT98765432");
    b.dealer = 3;
    b.vulnerability = 4;
    const BoardPicture own = MakeBoardPicture(b, 6, false, 0);
    EXPECT_EQ(own.dealerText, "Dealer: South");
    EXPECT_EQ(own.vulText, "Vul: All");
}

// ---- Checks against the machine ---------------------------------------------------------------------

TEST(LargeIndex, AcceptedWithSupportAndFirmware240) {
    MemorySettings s;
    ScriptedDialogs d;
    CardOptions o;
    EXPECT_TRUE(ChooseLargeIndex(o, Machine(2, 0x40, 8), s, d));
    EXPECT_EQ(o.cardIndex, 1);
    EXPECT_EQ(s.values[keys::kCardIndex], "1");
    EXPECT_TRUE(d.messages.empty());
    // The large-index rule counts only a 2.x below 2.40 as too old.
    EXPECT_TRUE(ChooseLargeIndex(o, Machine(3, 0x00, 8), s, d));
}

TEST(LargeIndex, OldFirmwareFallsBackToStandardNamingTheVersion) {
    MemorySettings s;
    ScriptedDialogs d;
    CardOptions o;
    int undoneIndex = -1;
    EXPECT_FALSE(ChooseLargeIndex(o, Machine(2, 0x32, 8), s, d, [&] {
        undoneIndex = o.cardIndex;
        EXPECT_TRUE(d.messages.empty()); // undone before the message
    }));
    EXPECT_EQ(undoneIndex, 0);
    EXPECT_EQ(o.cardIndex, 0);
    EXPECT_EQ(s.values[keys::kCardIndex], "0");
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.Last().text, FormatMessage(MsgLargeIndexNeedsFirmware, "2.32"));
    EXPECT_EQ(d.Last().title, "Dealing Error");
    EXPECT_EQ(d.Last().icon, Icon::Critical);
}

TEST(LargeIndex, MachineWithoutSupportIsNotSuitable) {
    MemorySettings s;
    ScriptedDialogs d;
    CardOptions o;
    EXPECT_FALSE(ChooseLargeIndex(o, Machine(2, 0x40, 4), s, d));
    EXPECT_EQ(d.Last().text, MessageTemplate(MsgJumboNotSuitable));
    EXPECT_EQ(s.values[keys::kCardIndex], "0");
}

TEST(BoardCheck, NeedsAReaderAndFirmware240) {
    MemorySettings s;
    ScriptedDialogs d;
    CardOptions o;
    EXPECT_TRUE(ChooseCheckBoard(o, true, Machine(2, 0x40, 4), s, d));
    EXPECT_EQ(s.values[keys::kCheckBoard], "1");
    EXPECT_TRUE(d.messages.empty());

    EXPECT_FALSE(ChooseCheckBoard(o, true, Machine(2, 0x39, 4), s, d));
    EXPECT_FALSE(o.checkBoard);
    EXPECT_EQ(s.values[keys::kCheckBoard], "0");
    EXPECT_EQ(d.Last().text, FormatMessage(MsgBoardCheckNeedsFirmware, "2.39"));

    EXPECT_FALSE(ChooseCheckBoard(o, true, Machine(2, 0x40, 8), s, d));
    EXPECT_EQ(d.Last().text, MessageTemplate(MsgNoBoardNumberReader));
    EXPECT_EQ(d.messages.size(), 2u);

    // Unticking never shows a message, whatever the machine.
    s.values[keys::kCheckBoard] = "1";
    EXPECT_FALSE(ChooseCheckBoard(o, false, Machine(2, 0x10, 0), s, d));
    EXPECT_EQ(d.messages.size(), 2u);
    EXPECT_EQ(s.values[keys::kCheckBoard], "0");
}

TEST(MachineLimits, StartUpRulesUndoWhatTheMachineCannotDo) {
    MemorySettings s;
    CardOptions o{0, 0, 0, 1, true};
    ApplyMachineLimits(o, Machine(2, 0x40, 4 | 8), s);
    EXPECT_EQ(o, (CardOptions{0, 0, 0, 1, true}));

    ApplyMachineLimits(o, Machine(2, 0x32, 4 | 8), s);
    EXPECT_EQ(o.cardIndex, 0);
    EXPECT_FALSE(o.checkBoard);
    EXPECT_EQ(s.values[keys::kCardIndex], "0");
    EXPECT_EQ(s.values[keys::kCheckBoard], "0");

    o = CardOptions{0, 0, 0, 1, true};
    ApplyMachineLimits(o, Machine(3, 0x00, 0), s);
    EXPECT_EQ(o.cardIndex, 0);
    EXPECT_FALSE(o.checkBoard);
}

TEST(FirmwareGates, ReadingAndNationalSets) {
    EXPECT_FALSE(ReadingSupported(Machine(2, 0x23, 0)));
    EXPECT_TRUE(ReadingSupported(Machine(2, 0x24, 0)));
    EXPECT_TRUE(ReadingSupported(Machine(3, 0x00, 0)));
    EXPECT_FALSE(ReadingSupported(Machine(1, 0x99, 0)));
    ScriptedDialogs d;
    EXPECT_TRUE(NationalAllowed(CardOptions{kNationalStandard}, Machine(1, 0, 0), d));
    EXPECT_FALSE(NationalAllowed(CardOptions{kNationalDutch}, Machine(2, 0x26, 0), d));
    EXPECT_TRUE(NationalAllowed(CardOptions{kNationalDutch}, Machine(2, 0x27, 0), d));
    EXPECT_FALSE(NationalAllowed(CardOptions{kNationalDanish}, Machine(2, 0x31, 0), d));
    EXPECT_EQ(d.Last().text, FormatMessage(MsgDanishNeedsFirmware, "2.31"));
    EXPECT_TRUE(NationalAllowed(CardOptions{kNationalDanish}, Machine(2, 0x32, 0), d));
    EXPECT_EQ(d.messages.size(), 2u);
}

// ---- The options in the session ------------------------------------------------------------------------

class SessionOptionsTest : public ::testing::Test {
  protected:
    DealingSession& Open(EmulatorConfig config) {
        h = std::make_unique<test::SessionHarness>(config);
        h->set = test::RandomSet(1, 2);
        h->settings.values = {{keys::kCardIndex, "1"}, {keys::kCheckBoard, "1"}, {keys::kNational, "2"}};
        return h->Open(SessionMode::Deal);
    }
    std::unique_ptr<test::SessionHarness> h;
};

TEST_F(SessionOptionsTest, StartUpKeepsWhatTheMachineCanDo) {
    DealingSession& s = Open(test::SessionHarness::Fast());
    EXPECT_EQ(s.Display().options, (CardOptions{2, 0, 0, 1, true}));
    EXPECT_TRUE(h->dialogs.messages.empty());
}

TEST_F(SessionOptionsTest, StartUpUndoesLargeIndexAndBoardCheckSilentlyOnOldFirmware) {
    EmulatorConfig c = test::SessionHarness::Fast();
    c.firmwareMinor = 0x32;
    DealingSession& s = Open(c);
    EXPECT_EQ(s.Display().options.cardIndex, 0);
    EXPECT_FALSE(s.Display().options.checkBoard);
    EXPECT_EQ(h->settings.values[keys::kCardIndex], "0");
    EXPECT_EQ(h->settings.values[keys::kCheckBoard], "0");
    EXPECT_EQ(h->settings.values[keys::kNational], "2");
    EXPECT_TRUE(h->dialogs.messages.empty());
    // Choosing large index again is refused with the version.
    s.CardIndexClicked(1);
    EXPECT_EQ(s.Display().options.cardIndex, 0);
    EXPECT_EQ(h->dialogs.Last().text, FormatMessage(MsgLargeIndexNeedsFirmware, "2.32"));
    EXPECT_TRUE(h->view.refreshed & kViewOptions);
}

TEST_F(SessionOptionsTest, ClicksAreSavedAtOnce) {
    DealingSession& s = Open(test::SessionHarness::Fast());
    s.NationalClicked(kNationalGerman);
    EXPECT_EQ(h->settings.values[keys::kNational], "3");
    s.CardTypeClicked(1);
    EXPECT_EQ(h->settings.values[keys::kCardType], "1");
    s.ThresholdClicked(1);
    EXPECT_EQ(h->settings.values[keys::kThreshold], "1");
    s.CardIndexClicked(0);
    EXPECT_EQ(h->settings.values[keys::kCardIndex], "0");
    s.CheckBoardClicked(false);
    EXPECT_EQ(h->settings.values[keys::kCheckBoard], "0");
    s.ThresholdClicked(7); // no such option
    EXPECT_EQ(h->settings.values[keys::kThreshold], "1");
    EXPECT_TRUE(h->dialogs.messages.empty());
    EXPECT_EQ(s.Display().options, (CardOptions{3, 1, 1, 0, false}));
}

TEST_F(SessionOptionsTest, NoChecksAndNoSavingWhileInitialising) {
    h = std::make_unique<test::SessionHarness>(test::SessionHarness::Fast());
    h->set = test::RandomSet(1, 2);
    DealingSession s(SessionMode::Deal, LoadSessionOptions(h->settings), h->set, *h->link, *h->clock,
                     h->dialogs, h->view, &h->settings);
    s.Load();
    s.CardIndexClicked(1);
    s.NationalClicked(4);
    s.CheckBoardClicked(true);
    EXPECT_TRUE(h->settings.values.empty());
    EXPECT_TRUE(h->dialogs.messages.empty());
    EXPECT_EQ(s.Display().options, (CardOptions{4, 0, 0, 1, true}));
}

TEST_F(SessionOptionsTest, BoardCheckOnAMachineWithoutReaderIsRefused) {
    EmulatorConfig c = test::SessionHarness::Fast();
    c.optionWord = 8;
    DealingSession& s = Open(c);
    EXPECT_FALSE(s.Display().options.checkBoard);
    s.CheckBoardClicked(true);
    EXPECT_FALSE(s.Display().options.checkBoard);
    EXPECT_EQ(h->dialogs.Last().text, MessageTemplate(MsgNoBoardNumberReader));
    EXPECT_EQ(h->settings.values[keys::kCheckBoard], "0");
}

} // namespace
} // namespace orvenix
