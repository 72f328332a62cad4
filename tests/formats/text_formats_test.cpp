// The text formats: PBN tag pairs, and BRE lines of DGE hand strings.
#include "base/version.h"
#include "formats/bre.h"
#include "formats/dge.h"
#include "formats/format_checks.h"
#include "formats/pbn.h"
#include "support/board_set_samples.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>

using namespace orvenix;
using namespace orvenix::test;

namespace {

const std::string kSuitPerHandDeal = "N:AKQJT98765432... .AKQJT98765432.. ..AKQJT98765432. ...AKQJT98765432";

TEST(PbnWrite, WorkedExampleLaterBoardsAndEventTexts) {
    BoardSet set = RandomSet(1, 2, 2);
    set[1] = SuitPerHandBoard();
    set.Renumber();
    set[2].dealer = 0;        // not given: the standard dealer of board 2 (E)
    set[2].vulnerability = 0; // and its standard vulnerability (NS)
    set.eventName = "Monday pairs";
    set.eventSite = "a\"b]c"; // characters that would end the value
    const std::string start = "% Orvenix ver " + VersionText() +
                              "\r\n[Event \"Monday pairs\"]\r\n[Site \"a?b?c\"]\r\n[Date \"<unknown>\"]\r\n"
                              "[Board \"1\"]\r\n[Dealer \"N\"]\r\n[Vulnerable \"None\"]\r\n[Deal \"" +
                              kSuitPerHandDeal +
                              "\"]\r\n\r\n[Event \"#\"]\r\n[Site \"#\"]\r\n[Date \"#\"]\r\n[Board \"2\"]\r\n"
                              "[Dealer \"E\"]\r\n[Vulnerable \"NS\"]\r\n[Deal \"E:";
    EXPECT_EQ(WritePbn(set).substr(0, start.size()), start);
}

// Deals as read, written back from a dealer.
TEST(Pbn, DealValuesReadAndWrittenFromTheDealer) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"N:AKQJT98765432... - - -", 4, "W:- AKQJT98765432... - -"},
        {"E:AKQJT98765432... .AKQJT98765432.. ..AKQJT98765432. ...AKQJT98765432", 1,
         "N:...AKQJT98765432 AKQJT98765432... .AKQJT98765432.. ..AKQJT98765432."},
        {"E:.3..2", 2, "E:.3..2 - - -"},
        {"S:   A...  K... - Q... J...", 1, "N:- Q... AJ... K..."}, // a fifth hand: the first seat again
        {"N:-\u00e9A... -xK...", 1, "N:- A... - K..."},            // a dash skips the character after it
        {"W:", 3, "S:- - - -"},
    };
    for (const auto& [value, dealer, written] : cases) {
        BoardSet set;
        ASSERT_FALSE(ReadPbn("[Board \"1\"][Deal \"" + std::string(value) + "\"]", set)) << value;
        EXPECT_EQ(PbnDealValue(set[1], dealer), written);
    }
}

TEST(PbnRead, TagsOfTheSetAndItsBoards) {
    // Dealer and Vulnerable values, each on a board of its own from board 21 on.
    const std::tuple<const char*, int, int> values[] = {
        {"Vulnerable \"None", 0, 1}, {"Vulnerable \"Love", 0, 1}, {"Vulnerable \"-", 0, 1},
        {"Vulnerable \"NS", 0, 2},   {"Vulnerable \"EW", 0, 3},   {"Vulnerable \"All", 0, 4},
        {"Vulnerable \"Both", 0, 4}, {"Dealer \"N", 1, 0},        {"Dealer \"E", 2, 0},
        {"Dealer \"S", 3, 0},        {"Dealer \"W", 4, 0},
    };
    std::string bytes =
        "[Dealer \"W\"][Vulnerable \"All\"]\n" // before the first Board tag: no board
        "[Event \"Real event\"][Site \"Hall\"][Date \"D\"]\n[EventDate \"2026\"][Sitex \"s\"]\n"
        "[Board \"7\"][Dealer \"S\"] junk [ Vulnerable\"EW\" ]\n[DealId \"x\"][Deal \"" +
        kSuitPerHandDeal +
        "\"]\n[Dealers \"Q\"][BoardNo \"99\"][board \"5\"]\n"
        "[Board \"0003\"]\n[Event \"#\"][Site \"##\"][Date \"<unknown>\"]\n"
        "[Board \"12\"][Dealer \"W\"]\n[Board \"12\"]\n"; // the later board 12 replaces the first
    for (int k = 0; k < 11; ++k)
        bytes += "[Board \"" + std::to_string(21 + k) + "\"][" + std::get<0>(values[k]) + "\"]\n";
    BoardSet set;
    ASSERT_FALSE(ReadPbn(bytes, set));
    // "<unknown>" is the writer's placeholder for an empty text.
    EXPECT_EQ(std::tuple(set.eventName, set.eventSite, set.eventDate), std::tuple("Real event", "Hall", ""));
    EXPECT_EQ(std::tuple(set.firstBoard, set.lastBoard, set[7].cardOwner),
              std::tuple(3, 31, SuitPerHandBoard().cardOwner));
    EXPECT_EQ(
        std::tuple(Numbering(set[7]), Numbering(set[3]), Numbering(set[12]), set[5].status, set[0].dealer),
        std::tuple(std::tuple(7, 3, 3), std::tuple(3, 0, 0), std::tuple(12, 0, 0), kBoardEmpty, 0));
    for (int k = 0; k < 11; ++k)
        EXPECT_EQ(Numbering(set[21 + k]), std::tuple(21 + k, std::get<1>(values[k]), std::get<2>(values[k])))
            << k;
}

TEST(PbnRead, FaultsNameTheLine) {
    const std::string b1 = "[Board \"1\"]\n";
    const std::tuple<std::string, MessageKey, const char*, int> cases[] = {
        {b1 + "[Vulnerable \"both\"]\n", MsgFmtInvalidString, "\"both\"", 2},
        {b1 + "[Dealer \"North\"]\n", MsgFmtInvalidString, "\"North\"", 2},
        {"[Board \"12a\"]\n", MsgFmtUnexpectedCharacter, "a", 1},
        {"\n[Board \"0\"]\n", MsgFmtInvalidBoardNumber, "", 2},
        {"[Board \"641\"]\n", MsgFmtInvalidBoardNumber, "", 1},
        {"[Board \"99999999999999999999\"]\n", MsgFmtInvalidBoardNumber, "", 1},
        {"[Board \"\xe9\"]\n", MsgFmtUnexpectedCharacter, "\u00e9", 1},
        {"[Board 1]\n", MsgFmtExpectedCharacter, "\"", 1},
        {"[Board \"1]\n", MsgFmtExpectedCharacter, "\"", 1},
        {"[Board \"1\"\n", MsgFmtExpectedCharacter, "]", 1},
        {b1 + "[Deal \"N:- - - -\"]\n[Deal \"N:- - - -\"]\n", MsgFmtTokenOrder, "", 3},
        {b1 + "[Deal \"AK.QJ.T9.87.6\"]", MsgFmtUnexpectedCharacter, "A", 2},
        {b1 + "[Deal \"N:AK.QJ.T9.87.6\"]", MsgFmtTooManySuitChanges, "", 2},
        {b1 + "[Deal \"N:A\u00e9...\"]", MsgFmtUnexpectedCharacter, "\u00e9", 2},
        {b1 + "[Deal \"N-AKQ\"]", MsgFmtExpectedCharacter, ":", 2},
        {b1 + "[Deal \"N:A... A...\"]", MsgFmtDuplicateCard, "A", 2},
        {b1 + "[Deal \"N:- - - - - 2...\"]", MsgFmtTooManyHandChanges, "", 2},
    };
    for (const auto& [bytes, key, main, line] : cases) {
        SCOPED_TRACE(bytes);
        BoardSet set;
        const ReadResult r = ReadPbn(bytes, set);
        ASSERT_EQ(FaultOf(r), Fault(key, main, std::to_string(line)));
        EXPECT_EQ(r->Text().find("record"), std::string::npos);
    }
    BoardSet set;
    for (const std::string bytes : {"", "\n", "% just a comment\r\n", "[Event \"x\"]\n[Dealer \"N\"]\n"})
        EXPECT_EQ(FaultOf(ReadPbn(bytes, set)), Fault(MsgFmtFileEmpty, "", ""));
    // A "[" ending a line, or a tag name ending it, is not a tag pair.
    EXPECT_FALSE(ReadPbn("[Board \"1\"]\n[\n[B\nx [\n", set));
}

// Files written by another program (Debian's "dealer", action printpbn, LF line ends), each next to the
// same deals printed one per line by its printoneline action: "n <hand> e <hand> s <hand> w <hand>".
TEST(PbnRead, FilesOfAnotherProgramWithTheirDeals) {
    for (const std::string name : {"dealer_rotating", "dealer_west_ew"}) {
        SCOPED_TRACE(name);
        const std::string base = std::string(ORVENIX_TEST_DATA) + "/pbn/" + name;
        BoardSet set;
        ASSERT_EQ(FaultOf(ReadPbn(ReadFile(base + ".pbn"), set)), kNoFault);
        std::istringstream listing(ReadFile(base + ".txt"));
        const std::regex oneLine(R"(^n (\S*) e (\S*) s (\S*) w (\S*)\s*$)");
        int n = 0;
        for (std::string line; std::getline(listing, line);) {
            if (!std::regex_match(line, oneLine)) continue;
            EXPECT_EQ(PbnDealValue(set[++n], 1), std::regex_replace(line, oneLine, "N:$1 $2 $3 $4"));
        }
        EXPECT_EQ(std::tuple(set.firstBoard, set.lastBoard, n >= 5), std::tuple(1, n, true));
    }
}

// ---- BRE: three header lines, then one DGE hand string per board ------------------------------------

const std::string kSymbols = "\x06\x03\x04\x05";
const std::string kEmptyLine = kSymbols + kSymbols + kSymbols + kSymbols;
const std::string kSuitLine = DgeHandString(SuitPerHandBoard());

// (Whether the texts go out as Latin-1 or UTF-8 is checked with the save checks, for BRE and PBN alike.)
TEST(BreWrite, HeaderThenOneLinePerSlotWithEmptySlotsBeforeTheFirstBoard) {
    BoardSet set = RandomSet(1, 5, 9); // stale deals stay in slots 1 and 2
    set.firstBoard = 3;
    set[3] = SuitPerHandBoard();
    set.eventName = "a\377b";        // not UTF-8: one "?" per byte
    set.eventSite = "Line\r\nbreak"; // texts cannot break lines
    set.eventDate = "6 Dec";
    EXPECT_EQ(WriteBre(set), "a?b\r\nLine  break\r\n6 Dec\r\n" + kEmptyLine + "\r\n" + kEmptyLine + "\r\n" +
                                 kSuitLine + "\r\n" + DgeHandString(set[4]) + "\r\n" + DgeHandString(set[5]) +
                                 "\r\n");
}

TEST(BreRead, LineEndsBlankLinesEmptyLinesAndLongEventTexts) {
    // A line of blanks is a board without cards; truly empty lines are skipped, also before the first board;
    // the last line needs no line end. Event texts are cut by characters: 199, the date 40.
    std::string accents;
    for (int i = 0; i < 45; ++i)
        accents += "\xc3\xa9";
    const std::string lines = std::string(250, 'n') + "\nS\n" + accents + "\n\n  \n" + kSuitLine +
                              "   \n  \n\n" + kEmptyLine + "\n" + kSuitLine;
    for (const std::string& bytes : {lines, ReplaceAll(lines, "\n", "\r\n")}) {
        BoardSet set;
        ASSERT_FALSE(ReadBre(bytes, set));
        EXPECT_EQ(std::tuple(set.eventName, set.eventSite, set.eventDate),
                  std::tuple(std::string(199, 'n'), "S", accents.substr(0, 80)));
        ASSERT_EQ(set.lastBoard, 5);
        for (int n = 1; n <= 5; ++n)
            EXPECT_EQ(std::tuple(set[n].status, Numbering(set[n])),
                      std::tuple(n == 2 || n == 5 ? kBoardComplete : kBoardEmpty,
                                 std::tuple(n, DealerOf(n), VulnerabilityOf(n))));
        EXPECT_EQ(set[5].cardOwner, SuitPerHandBoard().cardOwner);
    }
    // A header line counts only when another line follows it (Name, Site and Date end at 6, 12 and 18).
    for (const std::string bytes : {"", "Name", "Name\r\n", "Name\r\nSite", "Name\r\nSite\r\nDate",
                                    "Name\r\nSite\r\nDate\r\n\r\n\r\n"}) {
        BoardSet set;
        EXPECT_EQ(std::tuple(FaultOf(ReadBre(bytes, set)), set.eventName, set.eventSite, set.eventDate),
                  std::tuple(Fault(MsgFmtFileEmpty, "", ""), bytes.size() > 6 ? "Name" : "",
                             bytes.size() > 12 ? "Site" : "", bytes.size() > 20 ? "Date" : ""))
            << bytes;
    }
}

TEST(BreRead, FaultsNameTheFileLineAndAtMost640Boards) {
    const std::string good = kSuitLine + "\r\n";
    const std::tuple<std::string, MessageKey, const char*, const char*> cases[] = {
        {"n\r\ns\r\nd\r\n" + good + good + good + "\6AKx\r\n", MsgFmtIllegalCardCode, "4", "7"},
        {"n\ns\nd\n\n\n" + kSymbols + "\x04\n", MsgFmtUnexpectedCharacterAtPosition, "5", "6"},
        {"n\ns\nd\n\6AA\n", MsgFmtDuplicateCardAtPosition, "3", "4"},
    };
    for (const auto& [bytes, key, main, line] : cases) {
        BoardSet set;
        const ReadResult r = ReadBre(bytes, set);
        ASSERT_EQ(FaultOf(r), Fault(key, main, line));
        EXPECT_NE(r->Text().find(std::string("in line: ") + line), std::string::npos) << r->Text();
    }
    BoardSet set; // at most 640 boards
    std::string bytes = "n\ns\nd\n";
    for (int i = 0; i < 640; ++i)
        bytes += kEmptyLine + "\n";
    EXPECT_EQ(std::tuple(FaultOf(ReadBre(bytes, set)), set.lastBoard), std::tuple(kNoFault, 640));
    EXPECT_EQ(FaultOf(ReadBre(bytes + kEmptyLine, set)), Fault(MsgFmtTooManyRecords, "", ""));
}

} // namespace
