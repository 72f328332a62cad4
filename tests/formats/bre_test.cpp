#include "base/text_encoding.h"
#include "formats/bre.h"
#include "formats/dge.h"
#include "formats/format_checks.h"
#include "formats/frame.h"
#include "support/board_set_samples.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvenix;
using namespace orvenix::test;

namespace {

const std::string kSymbols = "\x06\x03\x04\x05";
const std::string kEmptyLine = kSymbols + kSymbols + kSymbols + kSymbols;
const std::string kSuitLine = DgeHandString(SuitPerHandBoard());

ReadResult Load(const std::string& bytes, BoardSet& set) {
    set = ClearedSet();
    return ReadBre(bytes, set);
}

TEST(BreWrite, HeaderThenOneLinePerSlotWithEmptySlotsBeforeTheFirstBoard) {
    BoardSet set = RandomSet(1, 5, 9); // stale deals stay in slots 1 and 2
    set.firstBoard = 3;
    set[3] = SuitPerHandBoard();
    set.eventName = "Club night";
    set.eventDate = "6 Dec";
    const std::string bytes = WriteBre(set);
    EXPECT_EQ(bytes, "Club night\r\n\r\n6 Dec\r\n" + kEmptyLine + "\r\n" + kEmptyLine + "\r\n" + kSuitLine +
                         "\r\n" + DgeHandString(set[4]) + "\r\n" + DgeHandString(set[5]) + "\r\n");
    BoardSet loaded;
    ASSERT_FALSE(Load(bytes, loaded));
    EXPECT_EQ(std::tuple(loaded.firstBoard, loaded.lastBoard), std::tuple(1, 5));
    EXPECT_EQ(std::tuple(loaded[2].status, loaded[3].status), std::tuple(kBoardEmpty, kBoardComplete));
    EXPECT_EQ(Numbering(loaded[3]), StandardNumbering(3));
    EXPECT_EQ(loaded[5].cardOwner, set[5].cardOwner);
}

// (Whether the texts go out as Latin-1 or UTF-8 is checked with the save checks, for BRE and PBN alike.)
TEST(BreWrite, EventTextsCannotBreakLines) {
    BoardSet set = RandomSet(1, 1, 3);
    set.eventName = "a\xff"
                    "b"; // not UTF-8: one "?" per byte
    set.eventSite = "Line\r\nbreak";
    EXPECT_EQ(WriteBre(set).substr(0, 20), "a?b\r\nLine  break\r\n\r\n");
}

TEST(BreRead, LineEndsBlankLinesAndEmptyLines) {
    // A line of blanks is a board without cards; truly empty lines are skipped, also before the first board;
    // the last line needs no line end.
    const std::string body = "\n  \n" + kSuitLine + "   \n  \n\n" + kEmptyLine + "\n" + kSuitLine;
    for (const std::string& bytes :
         {"N\nS\nD\n" + body, "N\r\nS\r\nD\r\n" + ReplaceAll(body, "\n", "\r\n")}) {
        BoardSet set;
        ASSERT_FALSE(Load(bytes, set));
        EXPECT_EQ(std::tuple(set.eventName, set.eventSite, set.eventDate), std::tuple("N", "S", "D"));
        ASSERT_EQ(set.lastBoard, 5);
        for (int n = 1; n <= 5; ++n)
            EXPECT_EQ(std::tuple(set[n].status, set[n].number),
                      std::tuple(n == 2 || n == 5 ? kBoardComplete : kBoardEmpty, n));
        EXPECT_EQ(set[5].cardOwner, SuitPerHandBoard().cardOwner);
    }
}

TEST(BreRead, HeaderOnlyFilesAreEmpty) {
    BoardSet set;
    for (const std::string bytes : {"", "Name", "Name\r\n", "Name\r\nSite\r\n", "Name\r\nSite\r\nDate\r\n",
                                    "Name\r\nSite\r\nDate\r\n\r\n\r\n"})
        EXPECT_EQ(FaultOf(Load(bytes, set)), Fault(MsgFmtFileEmpty, "", "")) << bytes;
    // A header line counts only when another line follows it.
    Load("Name\r\nSite", set);
    EXPECT_EQ(std::tuple(set.eventName, set.eventSite), std::tuple("Name", ""));
}

TEST(BreRead, LongEventTextsAreCutByCharacters) {
    std::string accents;
    for (int i = 0; i < 45; ++i)
        accents += "\xc3\xa9";
    BoardSet set;
    ASSERT_FALSE(Load(std::string(250, 'n') + "\r\ns\r\n" + accents + "\r\n" + kSuitLine, set));
    EXPECT_EQ(std::tuple(set.eventName, Utf8Length(set.eventDate), set.eventDate.size()),
              std::tuple(std::string(199, 'n'), 40u, 80u));
}

TEST(BreRead, FaultsNameTheFileLine) {
    struct Case {
        std::string bytes;
        MessageKey key;
        const char* main;
        const char* line;
    };
    const std::string good = kSuitLine + "\r\n";
    const Case cases[] = {
        {"n\r\ns\r\nd\r\n" + good + good + good +
             "\x06"
             "AKx\r\n",
         MsgFmtIllegalCardCode, "4", "7"},
        {"n\ns\nd\n\n\n" + kSymbols + "\x04\n", MsgFmtUnexpectedCharacterAtPosition, "5", "6"},
        {"n\ns\nd\n\x06"
         "AA\n",
         MsgFmtDuplicateCardAtPosition, "3", "4"},
    };
    for (const Case& c : cases) {
        BoardSet set;
        const ReadResult r = Load(c.bytes, set);
        ASSERT_EQ(FaultOf(r), Fault(c.key, c.main, c.line));
        EXPECT_NE(r->Text().find(std::string("in line: ") + c.line), std::string::npos) << r->Text();
    }
}

TEST(BreRead, CardsPerHandAreNotCountedAndAtMost640Boards) {
    std::string line = kSuitLine;
    line.insert(16, "A");              // the diamond ace also in North's hand: 14 cards
    line.erase(line.find('A', 36), 1); // and out of South's
    BoardSet set;
    ASSERT_FALSE(Load("n\ns\nd\n" + line + "\n", set));
    EXPECT_EQ(std::tuple(set[1].cardCount[1], set[1].cardCount[3], set[1].status),
              std::tuple(14, 12, kBoardPartial));

    std::string bytes = "n\ns\nd\n";
    for (int i = 0; i < 640; ++i)
        bytes += kEmptyLine + "\n";
    EXPECT_EQ(std::tuple(FaultOf(Load(bytes, set)), set.lastBoard), std::tuple(kNoFault, 640));
    EXPECT_EQ(FaultOf(Load(bytes + kEmptyLine, set)), Fault(MsgFmtTooManyRecords, "", ""));
}

// BRE and PBN keep incomplete boards and the event texts: whole sets come back byte for byte.
class TextFormatRoundTrip : public ::testing::TestWithParam<FileFormat> {};

TEST_P(TextFormatRoundTrip, SetsWithIncompleteBoardsAndEventTexts) {
    BoardSet set = RandomSet(1, 640, 77);
    set[11] = Board{};
    for (int n : {10, 640}) {
        set[n] = Board{};
        for (int code = 1; code <= 14; ++code) // the spades and the heart ace
            set[n].cardOwner[code] = code == 14 ? 3 : 1;
    }
    set.Renumber();
    for (int n : {10, 11, 640})
        AnalyseBoard(set[n]);
    set.eventName = "Spring pairs \u00e9t\u00e9";
    set.eventSite = "Club house";
    set.eventDate = "2026-12-06";
    for (const BoardSet& original : {set, RandomSet(100, 139, 4)}) {
        const std::string bytes = WriteBoardSet(GetParam(), original);
        BoardSet loaded = ClearedSet();
        ASSERT_FALSE(ReadBoardSet(GetParam(), bytes, loaded));
        EXPECT_TRUE(SameBoards(loaded, original, original.firstBoard, original.lastBoard));
        EXPECT_EQ(WriteBoardSet(GetParam(), loaded), bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(BreAndPbn, TextFormatRoundTrip, ::testing::Values(FileFormat::Bre, FileFormat::Pbn));

} // namespace
