#include "formats/bri.h"
#include "formats/fixed_records.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvenix;
using namespace orvenix::test;

namespace {
// N spades, E hearts, S diamonds in ascending card codes.
const std::string kSuitDigits = "0102030405060708091011121314151617181920212223242526"
                                "27282930313233343536373839";

std::string Record(const std::string& fields, char fill = ' ') {
    std::string r = fields;
    r.resize(110, fill);
    r.append(18, '\0');
    return r;
}

BoardSet Load(const std::string& bytes, ReadResult& result) {
    BoardSet set = ClearedSet();
    result = ReadBri(bytes, set);
    return set;
}
} // namespace

TEST(BriWriter, WorkedExampleByteForByte) {
    BoardSet set = ClearedSet();
    set.lastBoard = 1;
    set[1] = SuitPerHandBoard();
    const std::string expected = kSuitDigits + std::string(32, ' ') + std::string(18, '\0');
    ASSERT_EQ(kSuitDigits.size(), 78U);
    EXPECT_EQ(WriteBri(set), expected);
}

TEST(BriWriter, WritesBoardsFirstToLastAsRecordsOneOnward) {
    BoardSet set = RandomSet(5, 9);
    const std::string bytes = WriteBri(set);
    ASSERT_EQ(bytes.size(), 5U * 128U);
    EXPECT_EQ(bytes.substr(0, 78), BriNotation(set[5]));
    EXPECT_EQ(bytes.substr(4 * 128, 78), BriNotation(set[9]));

    ReadResult r;
    BoardSet back = Load(bytes, r);
    ASSERT_FALSE(r);
    EXPECT_EQ(back.firstBoard, 1);
    EXPECT_EQ(back.lastBoard, 5);
    // Reloaded as boards 1 to 5: same deals, standard numbers of their new positions.
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(back[1 + k].cardOwner, set[5 + k].cardOwner);
        EXPECT_EQ(back[1 + k].number, 1 + k);
        EXPECT_EQ(back[1 + k].dealer, DealerOf(1 + k));
        EXPECT_EQ(back[1 + k].vulnerability, VulnerabilityOf(1 + k));
    }
}

TEST(BriRoundTrip, FullSetOf640BoardsIsByteIdentical) {
    const BoardSet set = RandomSet(1, 640, 99);
    const std::string bytes = WriteBri(set);
    ReadResult r;
    BoardSet back = Load(bytes, r);
    ASSERT_FALSE(r) << r->Text();
    ASSERT_EQ(back.lastBoard, 640);
    EXPECT_TRUE(SameBoards(set, back, 1, 640));
    EXPECT_EQ(back[640].status, kBoardComplete);
    EXPECT_EQ(WriteBri(back), bytes);
}

TEST(BriReader, ThreeSeatRecordGivesTheRestToWest) {
    ReadResult r;
    BoardSet set = Load(Record(kSuitDigits), r);
    ASSERT_FALSE(r);
    EXPECT_EQ(set.lastBoard, 1);
    EXPECT_EQ(set[1].cardOwner, SuitPerHandBoard().cardOwner);
    EXPECT_EQ(set[1].status, kBoardComplete);
    EXPECT_EQ(set[1].number, 1);
    EXPECT_EQ(set[1].dealer, 1);
    EXPECT_EQ(set[1].vulnerability, 1);
}

TEST(BriReader, AcceptsAnyOrderWithinASeatAndAnythingAfterByte104) {
    std::string fields = kSuitDigits;
    std::swap(fields[0], fields[24]); // North "13...01": fields 1 and 13 exchanged
    std::swap(fields[1], fields[25]);
    std::string record = fields + std::string(26, ' ') + std::string(24, 'x');
    ReadResult r;
    BoardSet set = Load(record, r);
    ASSERT_FALSE(r) << r->Text();
    EXPECT_EQ(set[1].cardOwner, SuitPerHandBoard().cardOwner);
}

TEST(BriReader, FourSeatRecordAndItsDuplicate) {
    const std::string west = "40414243444546474849505152";
    ReadResult r;
    BoardSet set = Load(Record(kSuitDigits + west), r);
    ASSERT_FALSE(r);
    EXPECT_EQ(set[1].cardOwner, SuitPerHandBoard().cardOwner);

    std::string repeated = "40414243444546474849505101"; // repeats card 01 of North
    Load(Record(kSuitDigits + repeated), r);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtDuplicateCardValue);
    EXPECT_EQ(r->main, "01");
    EXPECT_EQ(r->second, "1");
}

TEST(BriReader, FieldFaultsNameTheFieldAndTheRecord) {
    const BoardSet good = RandomSet(1, 2);
    const std::string goodRecord = WriteBri(good).substr(0, 128);
    struct Case {
        std::string field;
        MessageKey key;
    };
    for (const Case& c : {Case{"00", MsgFmtCardValue}, Case{"53", MsgFmtCardValue},
                          Case{" 7", MsgFmtInvalidCharacter}, Case{"7a", MsgFmtInvalidCharacter}}) {
        std::string bad = Record(kSuitDigits);
        bad.replace(40, 2, c.field);
        ReadResult r;
        BoardSet set = Load(goodRecord + bad, r);
        ASSERT_TRUE(r) << c.field;
        EXPECT_EQ(r->key, c.key) << c.field;
        EXPECT_EQ(r->main, c.field);
        EXPECT_EQ(r->second, "2");
        EXPECT_EQ(set.lastBoard, 1); // the board before the fault was stored
    }
}

TEST(BriReader, RecordLengthFaults) {
    ReadResult r;
    // 129 bytes: board 1 loads, record 2 is one byte long.
    BoardSet set = Load(Record(kSuitDigits) + "0", r);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtRecordLength);
    EXPECT_EQ(r->main, "1");
    EXPECT_EQ(r->second, "2");
    EXPECT_EQ(set.lastBoard, 1);
    EXPECT_NE(r->Text().find("Incorrect record length = 1  in record: 2"), std::string::npos);

    // Trailing blanks are removed from the first 104 bytes; 77 digits remain.
    std::string shortFields = kSuitDigits.substr(0, 77);
    Load(Record(shortFields), r);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtRecordLength);
    EXPECT_EQ(r->main, "77");
    EXPECT_EQ(r->second, "1");

    // 90 digits: neither three nor four seats.
    Load(Record(kSuitDigits + "404142434445"), r);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->main, "90");
}

TEST(BriReader, EmptyFileAndTooManyRecords) {
    ReadResult r;
    Load("", r);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtFileEmpty);

    const std::string record = Record(kSuitDigits);
    std::string bytes;
    for (int i = 0; i < 640; ++i)
        bytes += record;
    BoardSet set = Load(bytes, r);
    ASSERT_FALSE(r);
    EXPECT_EQ(set.lastBoard, 640);
    EXPECT_EQ(set[640].dealer, 4);

    set = Load(bytes + record, r);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtTooManyRecords);
    EXPECT_EQ(set.lastBoard, 640);
}

TEST(BriParser, DupModeTakesExactly78Characters) {
    Board b{};
    EXPECT_FALSE(ParseBriRecord(kSuitDigits, b, 1));
    EXPECT_EQ(b.cardOwner, SuitPerHandBoard().cardOwner);
    ReadResult r = ParseBriRecord(kSuitDigits.substr(0, 60), b, 1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtRecordLength);
    EXPECT_EQ(r->main, "60");
    // A 128-byte record is not a DUP part, and a 78-byte one is not a BRI record.
    EXPECT_TRUE(ParseBriRecord(Record(kSuitDigits), b, 1));
    EXPECT_TRUE(ParseBriRecord(kSuitDigits, b, 0));
}
