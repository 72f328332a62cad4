#include "formats/zeta771.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvenix;
using namespace orvenix::test;

namespace {
const std::string kSuitRecord = "0000000000000111111111111122222222222223333333333333\r\n";

BoardSet Load(const std::string& bytes, ReadResult& result) {
    BoardSet set = ClearedSet();
    result = ReadZeta771(bytes, set);
    return set;
}
} // namespace

TEST(Zeta771Writer, WorkedExampleByteForByte) {
    BoardSet set = ClearedSet();
    set.lastBoard = 1;
    set[1] = SuitPerHandBoard();
    ASSERT_EQ(kSuitRecord.size(), 54U);
    EXPECT_EQ(WriteZeta771(set), kSuitRecord);
}

TEST(Zeta771RoundTrip, FullSetOf640Boards) {
    const BoardSet set = RandomSet(1, 640, 3);
    const std::string bytes = WriteZeta771(set);
    ASSERT_EQ(bytes.size(), 640U * 54U);
    ReadResult r;
    BoardSet back = Load(bytes, r);
    ASSERT_FALSE(r) << r->Text();
    EXPECT_EQ(back.lastBoard, 640);
    EXPECT_TRUE(SameBoards(set, back, 1, 640));
    EXPECT_EQ(WriteZeta771(back), bytes);
}

TEST(Zeta771Writer, BoardsNineToTwelveBecomeFourRecords) {
    const BoardSet set = RandomSet(9, 12);
    const std::string bytes = WriteZeta771(set);
    ASSERT_EQ(bytes.size(), 4U * 54U);
    ReadResult r;
    BoardSet back = Load(bytes, r);
    ASSERT_FALSE(r);
    EXPECT_EQ(back.lastBoard, 4);
    EXPECT_EQ(back[1].cardOwner, set[9].cardOwner);
    EXPECT_EQ(back[4].cardOwner, set[12].cardOwner);
    EXPECT_EQ(back[4].number, 4);
}

TEST(Zeta771Reader, LineEndBytesAreNotExamined) {
    ReadResult r;
    BoardSet set = Load(kSuitRecord.substr(0, 52) + "  ", r);
    ASSERT_FALSE(r);
    EXPECT_EQ(set[1].cardOwner, SuitPerHandBoard().cardOwner);
}

TEST(Zeta771Reader, SeatsAreNotCounted) {
    std::string record = kSuitRecord;
    record[13] = '0'; // the heart ace goes to North: 14 cards, East 12
    ReadResult r;
    BoardSet set = Load(record, r);
    ASSERT_FALSE(r);
    EXPECT_EQ(set[1].cardCount[1], 14);
    EXPECT_EQ(set[1].cardCount[2], 12);
    EXPECT_EQ(set[1].status, kBoardPartial);
}

TEST(Zeta771Reader, InvalidCharacterNamesItAndTheNextOne) {
    std::string record = kSuitRecord;
    record[9] = '4'; // position 10
    ReadResult r;
    Load(kSuitRecord + record, r);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtInvalidCharacter);
    EXPECT_EQ(r->main, "40");
    EXPECT_EQ(r->second, "2");

    record = kSuitRecord;
    record[51] = 'x'; // the last digit: its neighbour is the carriage return
    Load(record, r);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->main, "x\r");
}

TEST(Zeta771Reader, ShortLastRecordAndEmptyFile) {
    ReadResult r;
    BoardSet set = Load(kSuitRecord + kSuitRecord.substr(0, 30), r);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtRecordLength);
    EXPECT_EQ(r->main, "30");
    EXPECT_EQ(r->second, "2");
    EXPECT_EQ(set.lastBoard, 1);

    Load("", r);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtFileEmpty);
}

TEST(Zeta771Reader, LineFeedOnlyLineEndsAreAccepted) {
    const BoardSet set = RandomSet(1, 5, 8);
    std::string crlf = WriteZeta771(set);
    std::string lf;
    for (char c : crlf) {
        if (c != '\r') lf += c;
    }
    ASSERT_EQ(lf.size(), 5U * 53U);
    ReadResult r;
    BoardSet back = Load(lf, r);
    ASSERT_FALSE(r) << r->Text();
    EXPECT_EQ(back.lastBoard, 5);
    EXPECT_TRUE(SameBoards(set, back, 1, 5));

    // A fault in such a file still names its record.
    lf[2 * 53 + 7] = '9';
    Load(lf, r);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtInvalidCharacter);
    EXPECT_EQ(r->second, "3");
}
