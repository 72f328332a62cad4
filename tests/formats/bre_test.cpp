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
        ASSERT_FALSE(Load(bytes, set));
        EXPECT_EQ(std::tuple(set.eventName, set.eventSite, set.eventDate),
                  std::tuple(std::string(199, 'n'), "S", accents.substr(0, 80)));
        ASSERT_EQ(set.lastBoard, 5);
        for (int n = 1; n <= 5; ++n)
            EXPECT_EQ(std::tuple(set[n].status, Numbering(set[n])),
                      std::tuple(n == 2 || n == 5 ? kBoardComplete : kBoardEmpty, StandardNumbering(n)));
        EXPECT_EQ(set[5].cardOwner, SuitPerHandBoard().cardOwner);
    }
    BoardSet set;
    for (const std::string bytes : {"", "Name", "Name\r\n", "Name\r\nSite\r\n", "Name\r\nSite\r\nDate\r\n",
                                    "Name\r\nSite\r\nDate\r\n\r\n\r\n"})
        EXPECT_EQ(FaultOf(Load(bytes, set)), Fault(MsgFmtFileEmpty, "", "")) << bytes;
    // A header line counts only when another line follows it.
    Load("Name\r\nSite", set);
    EXPECT_EQ(std::tuple(set.eventName, set.eventSite), std::tuple("Name", ""));
}

TEST(BreRead, FaultsNameTheFileLine) {
    const std::string good = kSuitLine + "\r\n";
    const std::tuple<std::string, MessageKey, const char*, const char*> cases[] = {
        {"n\r\ns\r\nd\r\n" + good + good + good + "\6AKx\r\n", MsgFmtIllegalCardCode, "4", "7"},
        {"n\ns\nd\n\n\n" + kSymbols + "\x04\n", MsgFmtUnexpectedCharacterAtPosition, "5", "6"},
        {"n\ns\nd\n\6AA\n", MsgFmtDuplicateCardAtPosition, "3", "4"},
    };
    for (const auto& [bytes, key, main, line] : cases) {
        BoardSet set;
        const ReadResult r = Load(bytes, set);
        ASSERT_EQ(FaultOf(r), Fault(key, main, line));
        EXPECT_NE(r->Text().find(std::string("in line: ") + line), std::string::npos) << r->Text();
    }
}

TEST(BreRead, AtMost640Boards) {
    BoardSet set;
    std::string bytes = "n\ns\nd\n";
    for (int i = 0; i < 640; ++i)
        bytes += kEmptyLine + "\n";
    EXPECT_EQ(std::tuple(FaultOf(Load(bytes, set)), set.lastBoard), std::tuple(kNoFault, 640));
    EXPECT_EQ(FaultOf(Load(bytes + kEmptyLine, set)), Fault(MsgFmtTooManyRecords, "", ""));
}

} // namespace
