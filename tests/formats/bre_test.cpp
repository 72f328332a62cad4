#include "formats/bre.h"
#include "formats/dge.h"
#include "formats/event_text.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

using namespace orvenix;
using orvenix::test::ClearedSet;
using orvenix::test::RandomSet;
using orvenix::test::SuitPerHandBoard;

namespace {

const std::string kSymbols = "\x06\x03\x04\x05";
const std::string kEmptyLine = kSymbols + kSymbols + kSymbols + kSymbols;

std::string SuitPerHandLine() {
    const std::string r = "AKQJT98765432";
    return "\x06" + r + "\x03\x04\x05" + "\x06\x03" + r + "\x04\x05" + "\x06\x03\x04" + r + "\x05" +
           "\x06\x03\x04\x05" + r;
}

ReadResult Load(const std::string& bytes, BoardSet& set) {
    set = ClearedSet();
    return ReadBre(bytes, set);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// An incomplete board: North holds the spades, South the heart ace, nothing else placed.
Board PartialBoard() {
    Board b;
    for (int r = 1; r <= 13; ++r)
        b.cardOwner[static_cast<std::size_t>(CardCodeOf(1, r))] = 1;
    b.cardOwner[static_cast<std::size_t>(CardCodeOf(2, 1))] = 3;
    AnalyseBoard(b);
    return b;
}

} // namespace

TEST(BreWrite, HeaderAndOneLinePerSlotWithCrLf) {
    BoardSet set = RandomSet(1, 2, 3);
    set[1] = SuitPerHandBoard();
    set.eventName = "Club night";
    set.eventDate = "6 Dec";
    const std::string bytes = WriteBre(set);
    EXPECT_EQ(bytes,
              "Club night\r\n\r\n6 Dec\r\n" + SuitPerHandLine() + "\r\n" + DgeHandString(set[2]) + "\r\n");
}

TEST(BreWrite, SlotsBeforeFirstBoardAreWrittenEmpty) {
    // Boards 3 to 5, with stale deals left in slots 1 and 2 from an earlier set.
    BoardSet set = RandomSet(1, 5, 9);
    set.firstBoard = 3;
    const std::string bytes = WriteBre(set);
    EXPECT_EQ(bytes, "\r\n\r\n\r\n" + kEmptyLine + "\r\n" + kEmptyLine + "\r\n" + DgeHandString(set[3]) +
                         "\r\n" + DgeHandString(set[4]) + "\r\n" + DgeHandString(set[5]) + "\r\n");
    BoardSet loaded;
    ASSERT_FALSE(Load(bytes, loaded).has_value());
    EXPECT_EQ(loaded.firstBoard, 1);
    EXPECT_EQ(loaded.lastBoard, 5);
    EXPECT_EQ(loaded[1].status, kBoardEmpty);
    EXPECT_EQ(loaded[2].status, kBoardEmpty);
    EXPECT_EQ(loaded[5].cardOwner, set[5].cardOwner);
}

TEST(BreWrite, EventTextsCannotBreakLinesInLatin1OrUtf8) {
    BoardSet set = RandomSet(1, 1, 3);
    set.eventName = "Caf\u00e9 \u00c5rhus"; // Latin-1 characters
    set.eventSite = "Line\r\nbreak";        // a line break must not start a new line
    EXPECT_EQ(WriteBre(set).substr(0, 27), "Caf\xe9 \xc5rhus\r\nLine  break\r\n\r\n");
    set.eventDate = "\u20ac \u2660 day"; // beyond Latin-1: the texts go out as UTF-8
    EXPECT_EQ(WriteBre(set).substr(0, 40),
              "Caf\u00e9 \u00c5rhus\r\nLine  break\r\n\u20ac \u2660 day\r\n");
    EXPECT_EQ(EventTextForFile(std::string("a\xff"
                                           "b")),
              "a?b"); // invalid UTF-8 stays one byte each
}

TEST(BreRead, LinesGiveBoardsWithStandardDealerAndVulnerability) {
    BoardSet set;
    const std::string bytes =
        "Name\r\nSite\r\nDate\r\n" + SuitPerHandLine() + "\r\n" + SuitPerHandLine() + "\r\n";
    ASSERT_FALSE(Load(bytes, set).has_value());
    EXPECT_EQ(set.eventName, "Name");
    EXPECT_EQ(set.eventSite, "Site");
    EXPECT_EQ(set.eventDate, "Date");
    EXPECT_EQ(set.firstBoard, 1);
    EXPECT_EQ(set.lastBoard, 2);
    EXPECT_EQ(set[2].number, 2);
    EXPECT_EQ(set[2].dealer, 2);
    EXPECT_EQ(set[2].vulnerability, 2);
    EXPECT_EQ(set[2].status, kBoardComplete);
    EXPECT_EQ(set[1].cardOwner, SuitPerHandBoard().cardOwner);
}

TEST(BreRead, LineEndsTrailingBlanksAndEmptyLines) {
    BoardSet crlf;
    BoardSet lf;
    // A line of blanks is a board without cards in its place; truly empty lines are skipped.
    const std::string body = SuitPerHandLine() + "   \n  \n\n" + kEmptyLine + "\n";
    ASSERT_FALSE(Load("N\r\nS\r\nD\r\n" + ReplaceAll(body, "\n", "\r\n"), crlf).has_value());
    ASSERT_FALSE(Load("N\nS\nD\n" + body, lf).has_value());
    for (const BoardSet* set : {&crlf, &lf}) {
        EXPECT_EQ(set->eventName, "N");
        EXPECT_EQ(set->eventDate, "D");
        ASSERT_EQ(set->lastBoard, 3);
        EXPECT_EQ((*set)[1].status, kBoardComplete);
        EXPECT_EQ((*set)[2].status, kBoardEmpty);
        EXPECT_EQ((*set)[2].number, 2);
        EXPECT_EQ((*set)[3].status, kBoardEmpty);
    }
    // Leading empty lines after the header are skipped, and a last line without a line end is read; a
    // leading line of blanks is board 1.
    BoardSet set;
    ASSERT_FALSE(Load("N\r\nS\r\nD\r\n\r\n  \r\n" + SuitPerHandLine(), set).has_value());
    ASSERT_EQ(set.lastBoard, 2);
    EXPECT_EQ(set[1].status, kBoardEmpty);
    EXPECT_EQ(set[2].status, kBoardComplete);
    EXPECT_EQ(set[2].cardOwner, SuitPerHandBoard().cardOwner);
}

TEST(BreRead, HeaderOnlyFilesAreEmpty) {
    BoardSet set;
    for (const std::string bytes : {"", "Name", "Name\r\n", "Name\r\nSite\r\n", "Name\r\nSite\r\nDate\r\n",
                                    "Name\r\nSite\r\nDate\r\n\r\n\r\n"}) {
        const ReadResult r = Load(bytes, set);
        ASSERT_TRUE(r.has_value()) << bytes;
        EXPECT_EQ(r->key, MsgFmtFileEmpty);
        EXPECT_EQ(set.lastBoard, 0);
    }
    // A header line counts only when another line follows it.
    Load("Name\r\nSite", set);
    EXPECT_EQ(set.eventName, "Name");
    EXPECT_EQ(set.eventSite, "");
    Load("Name\r\nSite\r\nDate\r\n", set);
    EXPECT_EQ(set.eventSite, "Site");
    EXPECT_EQ(set.eventDate, "");
}

TEST(BreRead, LongEventTextsAreCut) {
    const std::string name(250, 'n');
    const std::string date(50, 'd');
    BoardSet set;
    ASSERT_FALSE(Load(name + "\r\nsite\r\n" + date + "\r\n" + SuitPerHandLine() + "\r\n", set).has_value());
    // The event fields hold texts shorter than 200 characters; the date is cut to 40.
    EXPECT_EQ(set.eventName, std::string(199, 'n'));
    EXPECT_EQ(set.eventDate, std::string(40, 'd'));
    // Characters are counted, not bytes.
    std::string accents;
    for (int i = 0; i < 45; ++i)
        accents += "\xc3\xa9";
    ASSERT_FALSE(Load("n\r\ns\r\n" + accents + "\r\n" + SuitPerHandLine() + "\r\n", set).has_value());
    EXPECT_EQ(Utf8Length(set.eventDate), 40u);
    EXPECT_EQ(set.eventDate.size(), 80u);
}

TEST(BreRead, Encodings) {
    BoardSet set;
    // Latin-1 header: not valid UTF-8, taken as Latin-1.
    ASSERT_FALSE(Load("Caf\xe9\r\n\xc5rhus\r\nd\r\n" + SuitPerHandLine() + "\r\n", set).has_value());
    EXPECT_EQ(set.eventName, "Caf\u00e9");
    EXPECT_EQ(set.eventSite, "\u00c5rhus");
    // UTF-8 header: kept as it is.
    ASSERT_FALSE(Load("Caf\u00e9 \u2660\r\ns\r\nd\r\n" + SuitPerHandLine() + "\r\n", set).has_value());
    EXPECT_EQ(set.eventName, "Caf\u00e9 \u2660");
}

TEST(BreRead, FaultsNameTheFileLine) {
    BoardSet set;
    // A fault on file line 7: the fourth board line.
    const std::string good = SuitPerHandLine() + "\r\n";
    ReadResult r = Load("n\r\ns\r\nd\r\n" + good + good + good +
                            "\x06"
                            "AKx\r\n",
                        set);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->key, MsgFmtIllegalCardCode);
    EXPECT_EQ(r->main, "4");
    EXPECT_EQ(r->second, "7");
    EXPECT_EQ(set.lastBoard, 3);
    const std::string text = r->Text();
    EXPECT_NE(text.find("Illegal card code at position: 4  in line: 7"), std::string::npos) << text;
    EXPECT_EQ(text.find("record"), std::string::npos);

    // Skipped empty lines still count as lines.
    r = Load("n\ns\nd\n\n\n" + kSymbols + "\x04\n", set);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->key, MsgFmtUnexpectedCharacterAtPosition);
    EXPECT_EQ(r->main, "5");
    EXPECT_EQ(r->second, "6");

    r = Load("n\ns\nd\n\x06"
             "AA\n",
             set);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->key, MsgFmtDuplicateCardAtPosition);
    EXPECT_EQ(r->second, "4");
}

TEST(BreRead, NoCardCountCheck) {
    // North 14 cards (the spades and the diamond ace), South 12: accepted, the board is not complete.
    const std::string r = "AKQJT98765432";
    const std::string line = "\x06" + r +
                             "\x03\x04"
                             "A"
                             "\x05" +
                             "\x06\x03" + r + "\x04\x05" + "\x06\x03\x04" + r.substr(1) + "\x05" +
                             "\x06\x03\x04\x05" + r;
    BoardSet set;
    ASSERT_FALSE(Load("n\ns\nd\n" + line + "\n", set).has_value());
    EXPECT_EQ(set[1].cardOwner[CardCodeOf(3, 1)], 1);
    EXPECT_EQ(set[1].cardCount[1], 14);
    EXPECT_EQ(set[1].cardCount[3], 12);
    EXPECT_EQ(set[1].status, kBoardPartial);
}

TEST(BreRead, AtMost640Boards) {
    std::string bytes = "n\ns\nd\n";
    for (int i = 0; i < 640; ++i)
        bytes += kEmptyLine + "\n";
    BoardSet set;
    ASSERT_FALSE(Load(bytes, set).has_value());
    EXPECT_EQ(set.lastBoard, 640);
    bytes += kEmptyLine + "\n";
    const ReadResult r = Load(bytes, set);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->key, MsgFmtTooManyRecords);
}

TEST(BreRoundTrip, Set640WithIncompleteBoardsAndEventTextsByteForByte) {
    BoardSet set = RandomSet(1, 640, 77);
    set[10] = PartialBoard();
    set[11] = Board{};
    set[640] = PartialBoard();
    set.Renumber();
    set.eventName = "Spring pairs \u00e9t\u00e9";
    set.eventSite = "Club house";
    set.eventDate = "2026-12-06";
    const std::string bytes = WriteBre(set);
    BoardSet loaded;
    ASSERT_FALSE(Load(bytes, loaded).has_value());
    EXPECT_EQ(loaded.lastBoard, 640);
    EXPECT_EQ(loaded.eventName, set.eventName);
    EXPECT_EQ(loaded.eventSite, set.eventSite);
    EXPECT_EQ(loaded.eventDate, set.eventDate);
    for (int n = 1; n <= 640; ++n)
        ASSERT_EQ(CompareBoards(loaded[n], set[n]), 2) << n;
    EXPECT_EQ(loaded[10].status, kBoardPartial);
    EXPECT_EQ(loaded[11].status, kBoardEmpty);
    EXPECT_EQ(WriteBre(loaded), bytes);
}

TEST(BreRead, SampleFiles) {
    const std::string dir = ORVENIX_TEST_DATA "/bre/";
    BoardSet set;
    ASSERT_FALSE(Load(ReadFile(dir + "latin1_crlf.bre"), set).has_value());
    EXPECT_EQ(set.eventName, "Tournoi d'\u00e9t\u00e9");
    EXPECT_EQ(set.lastBoard, 3);
    EXPECT_EQ(set[1].status, kBoardComplete);
    EXPECT_EQ(set[3].status, kBoardPartial);
    BoardSet lf;
    ASSERT_FALSE(Load(ReadFile(dir + "utf8_lf.bre"), lf).has_value());
    EXPECT_EQ(lf.eventName, set.eventName);
    EXPECT_EQ(lf.lastBoard, 3);
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(CompareBoards(lf[n], set[n]), 2);
}
