#include "formats/dge.h"
#include "formats/dup.h"
#include "formats/fixed_records.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvenix;
using namespace orvenix::test;

namespace {
const std::string kSuitDigits = "0102030405060708091011121314151617181920212223242526"
                                "27282930313233343536373839";
const std::string kRanks = "AKQJT98765432";
// The DGE hand string of the board with one suit per hand: symbols 6, 3, 4, 5.
const std::string kSuitHands = "\x06" + kRanks + "\x03\x04\x05" + "\x06\x03" + kRanks + "\x04\x05" +
                               "\x06\x03\x04" + kRanks + "\x05" + "\x06\x03\x04\x05" + kRanks;

BoardSet Load(const std::string& bytes, ReadResult& result, bool& kept) {
    BoardSet set = ClearedSet();
    result = ReadDup(bytes, set, &kept);
    return set;
}
} // namespace

TEST(DupWriter, WorkedExampleByteForByte) {
    BoardSet set = ClearedSet();
    set.lastBoard = 1;
    set[1] = SuitPerHandBoard();
    ASSERT_EQ(kSuitHands.size(), 68U);
    EXPECT_EQ(WriteDup(set), kSuitDigits + kSuitHands + "YN1  1 1  ");
}

TEST(DupWriter, TailOfEveryRecordCarriesTheSetRange) {
    BoardSet set = RandomSet(1, 16);
    std::string bytes = WriteDup(set);
    ASSERT_EQ(bytes.size(), 16U * 156U);
    for (int r = 0; r < 16; ++r)
        EXPECT_EQ(bytes.substr(r * 156 + 146, 10), "YN1  1 16 ") << r;

    set = RandomSet(17, 32);
    bytes = WriteDup(set);
    EXPECT_EQ(bytes.substr(146, 10), "YN17 1 32 ");
    set = RandomSet(600, 640);
    bytes = WriteDup(set);
    EXPECT_EQ(bytes.substr(146, 10), "YN6001 640");
}

TEST(DupRoundTrip, FullSetOf640Boards) {
    const BoardSet set = RandomSet(1, 640, 11);
    const std::string bytes = WriteDup(set);
    ReadResult r;
    bool kept = false;
    BoardSet back = Load(bytes, r, kept);
    ASSERT_FALSE(r) << r->Text();
    EXPECT_TRUE(kept);
    EXPECT_EQ(back.firstBoard, 1);
    EXPECT_EQ(back.lastBoard, 640);
    EXPECT_TRUE(SameBoards(set, back, 1, 640));
    EXPECT_EQ(WriteDup(back), bytes);
}

TEST(DupReader, KeepsTheStoredBoardNumbers) {
    const BoardSet set = RandomSet(17, 32);
    ReadResult r;
    bool kept = false;
    BoardSet back = Load(WriteDup(set), r, kept);
    ASSERT_FALSE(r);
    EXPECT_TRUE(kept);
    EXPECT_EQ(back.firstBoard, 17);
    EXPECT_EQ(back.lastBoard, 32);
    EXPECT_TRUE(SameBoards(set, back, 17, 32));
    EXPECT_EQ(back[17].dealer, 1);
    EXPECT_EQ(back[17].vulnerability, 1);
    EXPECT_EQ(back[32].vulnerability, 3);
    for (int k = 1; k < 17; ++k)
        EXPECT_EQ(back[k], Board{}) << k;
}

TEST(DupReader, NumbersThatDoNotFitLeaveTheBoardsAtOneToN) {
    struct Case {
        const char* why;
        std::string tail;
        int records;
    };
    const Case cases[] = {
        {"one record", "YN5  1 5  ", 1},        {"span differs from the record count", "YN1  1 20 ", 16},
        {"last above 640", "YN6301 645", 16},   {"no digits", "YNab 1 cd ", 16},
        {"first above last", "YN20 1 5  ", 16},
    };
    for (const Case& c : cases) {
        const BoardSet set = RandomSet(1, c.records);
        std::string bytes = WriteDup(set);
        for (int k = 0; k < c.records; ++k)
            bytes.replace(static_cast<std::size_t>(k) * 156 + 146, 10, c.tail);
        ReadResult r;
        bool kept = true;
        BoardSet back = Load(bytes, r, kept);
        ASSERT_FALSE(r) << c.why;
        EXPECT_FALSE(kept) << c.why;
        EXPECT_EQ(back.firstBoard, 1) << c.why;
        EXPECT_EQ(back.lastBoard, c.records) << c.why;
        EXPECT_TRUE(SameBoards(set, back, 1, c.records)) << c.why;
    }
}

TEST(DupReader, FirstNonzeroNumbersOfTheFileCount) {
    // Record 1 carries no numbers, record 2 the right ones: the boards move to 5..6.
    BoardSet set = RandomSet(5, 6);
    std::string bytes = WriteDup(set);
    bytes.replace(146, 10, "YN   1    ");
    ReadResult r;
    bool kept = false;
    BoardSet back = Load(bytes, r, kept);
    ASSERT_FALSE(r);
    EXPECT_TRUE(kept);
    EXPECT_EQ(back.firstBoard, 5);
    EXPECT_EQ(back.lastBoard, 6);
}

TEST(DupReader, NotationsThatDisagreeAreRefused) {
    const BoardSet set = RandomSet(1, 3);
    std::string bytes = WriteDup(set);
    // In record 2, the DGE part gives North's first card to East: swap it into East's hand string.
    Board moved = set[2];
    int code = 1;
    while (moved.cardOwner[code] != 1)
        ++code;
    moved.cardOwner[code] = 2;
    bytes.replace(156 + 78, 68, DgeHandString(moved));
    ReadResult r;
    bool kept = true;
    BoardSet back = Load(bytes, r, kept);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtDupBoardMismatch);
    EXPECT_EQ(r->second, "2");
    EXPECT_NE(r->Text().find("Board does not match in both parts of DUP record: 2"), std::string::npos);
    EXPECT_EQ(back.lastBoard, 1);
}

TEST(DupReader, FaultsOfEitherPartAndShortRecords) {
    const BoardSet set = RandomSet(1, 2);
    const std::string bytes = WriteDup(set);
    ReadResult r;
    bool kept = false;

    std::string bad = bytes;
    bad.replace(156 + 4, 2, "60");
    Load(bad, r, kept);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtCardValue);
    EXPECT_EQ(r->main, "60");
    EXPECT_EQ(r->second, "2");

    bad = bytes;
    bad[78 + 5] = 'x'; // position 6 within the DGE part
    Load(bad, r, kept);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtIllegalCardCode);
    EXPECT_EQ(r->main, "6");
    EXPECT_EQ(r->second, "1");

    // A last record of 120 bytes: the DGE part stops after 42 bytes and lacks cards.
    Load(bytes.substr(0, 156 + 120), r, kept);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtDupBoardMismatch);
    EXPECT_EQ(r->second, "2");

    // Shorter than the BRI part: its length is reported.
    Load(bytes.substr(0, 156 + 50), r, kept);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtRecordLength);
    EXPECT_EQ(r->main, "50");

    Load("", r, kept);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgFmtFileEmpty);
}

TEST(FixedRecordLoader, DispatchesByFormatName) {
    const BoardSet set = RandomSet(1, 4);
    for (const char* name : {"BRI", "DGE", "DUP", "ZETA771"}) {
        SCOPED_TRACE(name);
        std::string bytes;
        if (std::string(name) == "DGE") bytes = WriteDge(set);
        if (std::string(name) == "DUP") bytes = WriteDup(set);
        BoardSet back = ClearedSet();
        ReadResult r = LoadFixedRecords(name, bytes, back);
        if (bytes.empty()) {
            ASSERT_TRUE(r);
            EXPECT_EQ(r->key, MsgFmtFileEmpty);
            continue;
        }
        ASSERT_FALSE(r);
        EXPECT_TRUE(SameBoards(set, back, 1, 4));
    }
    BoardSet back = ClearedSet();
    ReadResult r = LoadFixedRecords("XYZ", "abc", back);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->key, MsgUnknownFormatLoad);
    EXPECT_EQ(back.lastBoard, 0);
}
