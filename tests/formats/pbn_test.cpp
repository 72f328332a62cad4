#include "base/text_encoding.h"
#include "base/version.h"
#include "formats/format_checks.h"
#include "formats/pbn.h"
#include "support/board_set_samples.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace orvenix;
using namespace orvenix::test;

namespace {

const std::string kSuitPerHandDeal = "N:AKQJT98765432... .AKQJT98765432.. ..AKQJT98765432. ...AKQJT98765432";

ReadResult Load(const std::string& bytes, BoardSet& set) {
    set = ClearedSet();
    return ReadPbn(bytes, set);
}

TEST(PbnWrite, WorkedExampleAndLaterBoards) {
    BoardSet set = RandomSet(1, 2, 2);
    set[1] = SuitPerHandBoard();
    set.Renumber();
    set[2].dealer = 0;        // not given: the standard dealer of board 2 (E)
    set[2].vulnerability = 0; // and its standard vulnerability (NS)
    set.eventName = "Monday pairs";
    const std::string header = "% Orvenix ver " + std::to_string(kVersionMajor) + "." +
                               std::to_string(kVersionMinor) + "." + std::to_string(kVersionPatch) + "\r\n";
    const std::string board1 = "[Event \"Monday pairs\"]\r\n[Site \"<unknown>\"]\r\n[Date \"<unknown>\"]\r\n"
                               "[Board \"1\"]\r\n[Dealer \"N\"]\r\n[Vulnerable \"None\"]\r\n[Deal \"" +
                               kSuitPerHandDeal + "\"]\r\n\r\n";
    const std::string board2 = "[Event \"#\"]\r\n[Site \"#\"]\r\n[Date \"#\"]\r\n[Board \"2\"]\r\n"
                               "[Dealer \"E\"]\r\n[Vulnerable \"NS\"]\r\n[Deal \"E:";
    const std::string bytes = WritePbn(set);
    EXPECT_EQ(bytes.substr(0, header.size() + board1.size() + board2.size()), header + board1 + board2);
}

TEST(PbnWrite, DealValuesStartWithTheDealer) {
    Board spades;
    for (int r = 1; r <= 13; ++r)
        spades.cardOwner[CardCodeOf(1, r)] = 1;
    Board two;
    two.cardOwner[CardCodeOf(4, 13)] = 2;
    two.cardOwner[CardCodeOf(2, 12)] = 2;
    EXPECT_EQ(std::tuple(PbnDealValue(spades, 4), PbnDealValue(Board{}, 3), PbnDealValue(two, 2)),
              std::tuple("W:- AKQJT98765432... - -", "S:- - - -", "E:.3..2 - - -"));
    EXPECT_EQ(PbnDealValue(SuitPerHandBoard(), 2),
              "E:.AKQJT98765432.. ..AKQJT98765432. ...AKQJT98765432 AKQJT98765432...");
}

TEST(PbnWrite, EventTextsCannotBreakTheFile) {
    BoardSet set = RandomSet(1, 1, 2);
    set.eventSite = "a\"b]c";
    EXPECT_NE(WritePbn(set).find("[Site \"a?b?c\"]\r\n"), std::string::npos);
    for (const char* s : {"[", "]", "{", "}", "%", ";", "\"", "a;b"})
        EXPECT_TRUE(HasPbnForbiddenCharacters(s)) << s;
    EXPECT_FALSE(HasPbnForbiddenCharacters("Club night, 6 Dec (final) #2 <x> 'y'"));
}

TEST(PbnRead, TagsOfTheSetAndItsBoards) {
    BoardSet set;
    ASSERT_FALSE(Load("[Dealer \"W\"][Vulnerable \"All\"]\n" // before the first Board tag: no board
                      "[Event \"Real event\"][Site \"Hall\"][Date \"D\"]\n[EventDate \"2026\"][Sitex \"s\"]\n"
                      "[Board \"7\"][Dealer \"S\"] junk [ Vulnerable\"EW\" ]\n[DealId \"x\"][Deal \"" +
                          kSuitPerHandDeal +
                          "\"]\n[Dealers \"Q\"][BoardNo \"99\"][board \"5\"]\n"
                          "[Board \"0003\"]\n[Event \"#\"][Site \"##\"][Date \"<unknown>\"]\n",
                      set));
    // "<unknown>" is the writer's placeholder for an empty text.
    EXPECT_EQ(std::tuple(set.eventName, set.eventSite, set.eventDate), std::tuple("Real event", "Hall", ""));
    EXPECT_EQ(std::tuple(set.firstBoard, set.lastBoard), std::tuple(3, 7));
    EXPECT_EQ(set[7].cardOwner, SuitPerHandBoard().cardOwner);
    EXPECT_EQ(std::tuple(Numbering(set[7]), Numbering(set[3]), set[5].status, set[0].dealer),
              std::tuple(std::tuple(7, 3, 3), std::tuple(3, 0, 0), kBoardEmpty, 0));
    // A board given twice: the later one replaces it.
    ASSERT_FALSE(Load("[Board \"12\"][Dealer \"W\"]\n[Board \"12\"]\n", set));
    EXPECT_EQ(set[12].dealer, 0);
}

TEST(PbnRead, DealerVulnerableAndEventValues) {
    BoardSet set;
    const std::pair<const char*, int> vul[] = {{"None", 1}, {"Love", 1}, {"-", 1},   {"NS", 2},
                                               {"EW", 3},   {"All", 4},  {"Both", 4}};
    for (const auto& [value, code] : vul) {
        ASSERT_FALSE(Load("[Board \"1\"]\n[Vulnerable \"" + std::string(value) + "\"]\n", set)) << value;
        EXPECT_EQ(set[1].vulnerability, code) << value;
    }
    for (int seat = 1; seat <= 4; ++seat) {
        ASSERT_FALSE(
            Load("[Board \"9\"]\n[Dealer \"" + std::string(1, kSeatLetters[seat - 1]) + "\"]\n", set));
        EXPECT_EQ(set[9].dealer, seat);
    }
    ASSERT_FALSE(Load("[Event \"Caf\xe9\"]\r\n[Board \"1\"]\r\n", set)); // Latin-1
    EXPECT_EQ(set.eventName, "Caf\u00e9");
    std::string name;
    for (int i = 0; i < 210; ++i)
        name += "\xc3\xa9";
    ASSERT_FALSE(Load("[Event \"" + name + "\"][Board \"640\"]", set));
    EXPECT_EQ(std::tuple(Utf8Length(set.eventName), set.firstBoard), std::tuple(199u, 640));
}

// Deals as read, written back from North.
TEST(PbnRead, DealValues) {
    const std::pair<const char*, const char*> cases[] = {
        {"N:AKQJT98765432... - - -", "N:AKQJT98765432... - - -"},
        {"E:AKQJT98765432... .AKQJT98765432.. ..AKQJT98765432. ...AKQJT98765432",
         "N:...AKQJT98765432 AKQJT98765432... .AKQJT98765432.. ..AKQJT98765432."},
        {"S:   A...  K... - Q... J...", "N:- Q... AJ... K..."}, // a fifth hand goes to the first seat again
        {"N:-\u00e9A... -xK...", "N:- A... - K..."},            // a dash skips the character after it
        {"W:", "N:- - - -"},
    };
    for (const auto& [value, north] : cases) {
        BoardSet set;
        ASSERT_FALSE(Load("[Board \"1\"][Deal \"" + std::string(value) + "\"]", set)) << value;
        EXPECT_EQ(PbnDealValue(set[1], 1), north);
    }
}

TEST(PbnRead, FaultsNameTheLine) {
    struct Case {
        std::string bytes;
        MessageKey key;
        const char* main;
        int line;
    };
    const std::string b1 = "[Board \"1\"]\n";
    const Case cases[] = {
        {b1 + "[Vulnerable \"both\"]\n", MsgFmtInvalidString, "\"both\"", 2},
        {b1 + "\n[Vulnerable \"\"]\n", MsgFmtInvalidString, "\"\"", 3},
        {b1 + "[Dealer \"n\"]\n", MsgFmtInvalidString, "\"n\"", 2},
        {b1 + "[Dealer \"North\"]\n", MsgFmtInvalidString, "\"North\"", 2},
        {"[Board \"12a\"]\n", MsgFmtUnexpectedCharacter, "a", 1},
        {"\n[Board \"0\"]\n", MsgFmtInvalidBoardNumber, "", 2},
        {"[Board \"641\"]\n", MsgFmtInvalidBoardNumber, "", 1},
        {"[Board \"\"]\n", MsgFmtInvalidBoardNumber, "", 1},
        {"[Board \"99999999999999999999\"]\n", MsgFmtInvalidBoardNumber, "", 1},
        {"[Board \"-1\"]\n", MsgFmtUnexpectedCharacter, "-", 1},
        {"[Board \"\xe9\"]\n", MsgFmtUnexpectedCharacter, "\u00e9", 1},
        {"[Board 1]\n", MsgFmtExpectedCharacter, "\"", 1},
        {"[Board \"1]\n", MsgFmtExpectedCharacter, "\"", 1},
        {"[Board \"1\n", MsgFmtExpectedCharacter, "\"", 1},
        {"[Board\n", MsgFmtExpectedCharacter, "\"", 1},
        {"[Board \"1\"\n", MsgFmtExpectedCharacter, "]", 1},
        {"[Deal \"" + kSuitPerHandDeal + "\"]\n", MsgFmtTokenOrder, "", 1},
        {b1 + "[Deal \"N:- - - -\"]\n[Deal \"N:- - - -\"]\n", MsgFmtTokenOrder, "", 3},
        {b1 + "[Deal \"AK.QJ.T9.87.6\"]", MsgFmtUnexpectedCharacter, "A", 2},
        {b1 + "[Deal \"N:AK.QJ.T9.87.6\"]", MsgFmtTooManySuitChanges, "", 2},
        {b1 + "[Deal \"N:ak...\"]", MsgFmtUnexpectedCharacter, "a", 2},
        {b1 + "[Deal \"N:10...\"]", MsgFmtUnexpectedCharacter, "1", 2},
        {b1 + "[Deal \"N:A\u00e9...\"]", MsgFmtUnexpectedCharacter, "\u00e9", 2},
        {b1 + "[Deal \"N-AKQ\"]", MsgFmtExpectedCharacter, ":", 2},
        {b1 + "[Deal \"N\"]", MsgFmtExpectedCharacter, ":", 2},
        {b1 + "[Deal \"\"]", MsgFmtUnexpectedCharacter, "", 2},
        {b1 + "[Deal \"n:A...\"]", MsgFmtUnexpectedCharacter, "n", 2},
        {b1 + "[Deal \"N:AA...\"]", MsgFmtDuplicateCard, "A", 2},
        {b1 + "[Deal \"N:A... A...\"]", MsgFmtDuplicateCard, "A", 2},
        {b1 + "[Deal \"N:- - - - - 2...\"]", MsgFmtTooManyHandChanges, "", 2},
        {b1 + "[Deal \"N:A...\tK...\"]", MsgFmtUnexpectedCharacter, "\t", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        BoardSet set;
        const ReadResult r = Load(c.bytes, set);
        ASSERT_EQ(FaultOf(r), Fault(c.key, c.main, std::to_string(c.line)));
        EXPECT_EQ(r->Text().find("record"), std::string::npos);
    }
    // A "[" ending a line, or a tag name ending it, is not a tag pair.
    BoardSet set;
    EXPECT_FALSE(Load("[Board \"1\"]\n[\n[B\nx [\n", set));
    for (const std::string bytes : {"", "\n", "% just a comment\r\n", "[Event \"x\"]\n[Dealer \"N\"]\n"})
        EXPECT_EQ(FaultOf(Load(bytes, set)), Fault(MsgFmtFileEmpty, "", ""));
}

// Files written by another program (Debian's "dealer", action printpbn, LF line ends), each next to the
// same deals printed one per line by its printoneline action: "n <hand> e <hand> s <hand> w <hand>".
class PbnFromOtherPrograms : public ::testing::TestWithParam<std::string> {};

TEST_P(PbnFromOtherPrograms, LoadWithTheirDeals) {
    const std::string base = std::string(ORVENIX_TEST_DATA) + "/pbn/" + GetParam();
    const std::string pbn = ReadFile(base + ".pbn");
    BoardSet set;
    const ReadResult r = Load(pbn, set);
    ASSERT_FALSE(r) << r->Text();
    std::vector<std::string> deals;
    std::istringstream listing(ReadFile(base + ".txt"));
    const std::regex oneLine(R"(^n (\S*) e (\S*) s (\S*) w (\S*)\s*$)");
    std::smatch m;
    for (std::string line; std::getline(listing, line);)
        if (std::regex_match(line, m, oneLine))
            deals.push_back("N:" + m.str(1) + " " + m.str(2) + " " + m.str(3) + " " + m.str(4));
    ASSERT_GE(deals.size(), 5u);
    ASSERT_EQ(std::tuple(set.firstBoard, set.lastBoard), std::tuple(1, static_cast<int>(deals.size())));
    for (std::size_t i = 0; i < deals.size(); ++i)
        EXPECT_EQ(PbnDealValue(set[static_cast<int>(i) + 1], 1), deals[i]);
    BoardSet crlf;
    ASSERT_FALSE(Load(ReplaceAll(pbn, "\n", "\r\n"), crlf));
    EXPECT_TRUE(SameBoards(crlf, set, 1, set.lastBoard));
}

INSTANTIATE_TEST_SUITE_P(DealerFiles, PbnFromOtherPrograms,
                         ::testing::Values("dealer_rotating", "dealer_west_ew"));

} // namespace
