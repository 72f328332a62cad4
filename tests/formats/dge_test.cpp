#include "formats/dge.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvenix;
using orvenix::test::ClearedSet;
using orvenix::test::RandomSet;
using orvenix::test::SuitPerHandBoard;

namespace {

const std::string S = "\x06";
const std::string H = "\x03";
const std::string D = "\x04";
const std::string C = "\x05";
const std::string kRanks = "AKQJT98765432";
const std::string kSymbols = S + H + D + C;

// The hand string of the board with one suit per hand, spelled out from the notation's rules.
std::string SuitPerHandString() {
    return S + kRanks + H + D + C + S + H + kRanks + D + C + S + H + D + kRanks + C + S + H + D + C + kRanks;
}

std::string AsRecord(std::string hands, char fill = '\0') {
    hands.resize(kDgeRecordLength, fill);
    return hands;
}

// Parses and expects a fault with the given key and "***" value.
void ExpectFault(const std::string& text, DgeMode mode, MessageKey key, const std::string& main) {
    Board b;
    const ReadResult r = ParseDgeRecord(text, b, mode);
    ASSERT_TRUE(r.has_value()) << "no fault for mode " << static_cast<int>(mode);
    EXPECT_EQ(r->key, key);
    EXPECT_EQ(r->main, main);
    EXPECT_EQ(r->second, "");
}

} // namespace

TEST(DgeHandString, WorkedExampleByteForByte) {
    const std::string expected = SuitPerHandString();
    ASSERT_EQ(expected.size(), kDgeHandStringLength);
    // Bytes 1 to 17: spade symbol, the 13 letters, heart, diamond and club symbols.
    EXPECT_EQ(expected.substr(0, 17), "\x06"
                                      "AKQJT98765432"
                                      "\x03\x04\x05");
    EXPECT_EQ(expected.substr(51, 17), "\x06\x03\x04\x05"
                                       "AKQJT98765432");
    EXPECT_EQ(DgeHandString(SuitPerHandBoard()), expected);
    const std::string record = DgeRecord(SuitPerHandBoard());
    ASSERT_EQ(record.size(), kDgeRecordLength);
    EXPECT_EQ(record.substr(0, 68), expected);
    EXPECT_EQ(record.substr(68), std::string(60, '\0'));
}

TEST(DgeHandString, VoidsAndUnplacedCards) {
    EXPECT_EQ(DgeHandString(Board{}), kSymbols + kSymbols + kSymbols + kSymbols);
    Board b;
    b.cardOwner[CardCodeOf(4, 13)] = 1; // club two to North
    b.cardOwner[CardCodeOf(2, 1)] = 3;  // heart ace to South
    b.cardOwner[CardCodeOf(1, 5)] = 3;  // spade ten to South
    EXPECT_EQ(DgeHandString(b), S + H + D + C + "2" + kSymbols + S + "T" + H + "A" + D + C + kSymbols);
}

TEST(ParseDgeRecord, ReadsTheWorkedExampleInAllModes) {
    for (DgeMode mode : {DgeMode::kFileRecord, DgeMode::kBreLine, DgeMode::kDupPart}) {
        Board b;
        const std::string text =
            mode == DgeMode::kFileRecord ? AsRecord(SuitPerHandString()) : SuitPerHandString();
        EXPECT_FALSE(ParseDgeRecord(text, b, mode).has_value());
        EXPECT_EQ(b.cardOwner, SuitPerHandBoard().cardOwner);
    }
}

TEST(ParseDgeRecord, AnyOrderWithinSuitAndAnyTailBytes) {
    std::string hands = SuitPerHandString();
    std::string reversed(kRanks.rbegin(), kRanks.rend());
    hands.replace(1, 13, reversed);
    Board b;
    EXPECT_FALSE(ParseDgeRecord(AsRecord(hands, 'x'), b, DgeMode::kFileRecord).has_value());
    EXPECT_EQ(b.cardOwner, SuitPerHandBoard().cardOwner);
}

TEST(ParseDgeRecord, ClearsOwnersButLeavesOtherFields) {
    Board b = SuitPerHandBoard();
    b.number = 9;
    b.dealer = 2;
    EXPECT_FALSE(ParseDgeRecord(kSymbols + kSymbols + kSymbols + kSymbols, b, DgeMode::kBreLine).has_value());
    for (int code = 1; code <= kCards; ++code)
        EXPECT_EQ(b.cardOwner[static_cast<std::size_t>(code)], 0);
    EXPECT_EQ(b.number, 9);
    EXPECT_EQ(b.dealer, 2);
}

TEST(ParseDgeRecord, RecordLengthOnlyInFileRecordMode) {
    ExpectFault(std::string(SuitPerHandString()) + std::string(59, '\0'), DgeMode::kFileRecord,
                MsgFmtRecordLength, "127");
    ExpectFault(AsRecord(SuitPerHandString()) + "x", DgeMode::kFileRecord, MsgFmtRecordLength, "129");
    ExpectFault("", DgeMode::kFileRecord, MsgFmtRecordLength, "0");
    // A longer line is parsed whole in modes 1 and 2: the extra byte is an illegal card code.
    ExpectFault(SuitPerHandString() + "\x01", DgeMode::kBreLine, MsgFmtIllegalCardCode, "69");
    ExpectFault(SuitPerHandString() + "\x01", DgeMode::kDupPart, MsgFmtIllegalCardCode, "69");
}

TEST(ParseDgeRecord, CardCountCheckedOnlyInFileRecordMode) {
    // The heart two moves from East to South: N 13, E 12, S 14, W 13.
    const std::string uneven = S + kRanks + H + D + C + S + H + "AKQJT9876543" + D + C + S + H + "2" + D +
                               kRanks + C + S + H + D + C + kRanks;
    ExpectFault(AsRecord(uneven), DgeMode::kFileRecord, MsgFmtHandCardCount, "13, 12, 14, 13");
    Board b;
    EXPECT_FALSE(ParseDgeRecord(uneven, b, DgeMode::kBreLine).has_value());
    EXPECT_EQ(b.cardOwner[CardCodeOf(2, 13)], 3);
    EXPECT_FALSE(ParseDgeRecord(uneven, b, DgeMode::kDupPart).has_value());
    // The symbols alone: an empty board in mode 1; in a file record the zero bytes after them (still
    // within the 68 parsed bytes) are illegal card codes.
    const std::string empty = kSymbols + kSymbols + kSymbols + kSymbols;
    EXPECT_FALSE(ParseDgeRecord(empty, b, DgeMode::kBreLine).has_value());
    ExpectFault(AsRecord(empty), DgeMode::kFileRecord, MsgFmtIllegalCardCode, "17");
}

TEST(ParseDgeRecord, SuitSymbolsOutOfOrder) {
    // Spades then diamonds: the diamond symbol at position 3.
    ExpectFault(S + "A" + D, DgeMode::kBreLine, MsgFmtUnexpectedCharacterAtPosition, "3");
    // A hand may not start with another suit than spades.
    ExpectFault(H, DgeMode::kBreLine, MsgFmtUnexpectedCharacterAtPosition, "1");
    // A repeated symbol.
    ExpectFault(S + S, DgeMode::kBreLine, MsgFmtUnexpectedCharacterAtPosition, "2");
    // A fifth spade symbol, after four complete hands.
    const std::string four = kSymbols + kSymbols + kSymbols + kSymbols;
    ExpectFault(four + S, DgeMode::kBreLine, MsgFmtUnexpectedCharacterAtPosition, "17");
    // In a file record the fifth hand starts within the first 68 bytes.
    ExpectFault(AsRecord(four + S + "A"), DgeMode::kFileRecord, MsgFmtUnexpectedCharacterAtPosition, "17");
}

TEST(ParseDgeRecord, IllegalCharactersAndDuplicates) {
    ExpectFault("A" + S, DgeMode::kBreLine, MsgFmtIllegalCardCode, "1");
    ExpectFault(S + "a", DgeMode::kBreLine, MsgFmtIllegalCardCode, "2");
    ExpectFault(S + "AK1", DgeMode::kBreLine, MsgFmtIllegalCardCode, "4");
    ExpectFault(S + "A K", DgeMode::kBreLine, MsgFmtIllegalCardCode, "3");
    ExpectFault(S + "\xE9", DgeMode::kDupPart, MsgFmtIllegalCardCode, "2");
    ExpectFault(S + "AKA", DgeMode::kBreLine, MsgFmtDuplicateCardAtPosition, "4");
    // The same card in two hands.
    ExpectFault(S + "Q" + H + D + C + S + "Q", DgeMode::kBreLine, MsgFmtDuplicateCardAtPosition, "7");
    // Only the first 68 bytes of a file record count: a fault after them is not seen.
    Board b;
    std::string record = AsRecord(SuitPerHandString());
    record[100] = 'A';
    EXPECT_FALSE(ParseDgeRecord(record, b, DgeMode::kFileRecord).has_value());
}

TEST(ParseDgeFileRecord, NumbersTheFaultAndNamesTheRecord) {
    Board b;
    const ReadResult r = ParseDgeFileRecord(AsRecord(S + "a"), 7, b);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->key, MsgFmtIllegalCardCode);
    EXPECT_EQ(r->second, "7");
    EXPECT_NE(r->Text().find("Illegal card code at position: 2  in record: 7"), std::string::npos);
    EXPECT_FALSE(ParseDgeFileRecord(AsRecord(SuitPerHandString()), 1, b).has_value());
}

TEST(DgeFile, WorkedExampleFileLoadsAsBoardOne) {
    BoardSet set = ClearedSet();
    ASSERT_FALSE(ReadDge(AsRecord(SuitPerHandString()), set).has_value());
    EXPECT_EQ(set.firstBoard, 1);
    EXPECT_EQ(set.lastBoard, 1);
    EXPECT_EQ(set[1].cardOwner, SuitPerHandBoard().cardOwner);
    EXPECT_EQ(set[1].number, 1);
    EXPECT_EQ(set[1].dealer, 1);
    EXPECT_EQ(set[1].vulnerability, 1);
    EXPECT_EQ(set[1].status, kBoardComplete);
}

TEST(DgeFile, RoundTripOf640BoardsByteForByte) {
    const BoardSet original = RandomSet(1, 640, 31);
    const std::string bytes = WriteDge(original);
    ASSERT_EQ(bytes.size(), 640 * kDgeRecordLength);
    BoardSet loaded = ClearedSet();
    ASSERT_FALSE(ReadDge(bytes, loaded).has_value());
    ASSERT_EQ(loaded.lastBoard, 640);
    for (int n = 1; n <= 640; ++n) {
        ASSERT_EQ(CompareBoards(loaded[n], original[n]), 2) << "board " << n;
        ASSERT_EQ(loaded[n].status, kBoardComplete);
        ASSERT_EQ(loaded[n].shapeIndex, original[n].shapeIndex);
    }
    EXPECT_EQ(WriteDge(loaded), bytes);
}

TEST(DgeFile, WritesBoardsFromFirstBoardAsRecordOne) {
    const BoardSet original = RandomSet(17, 20, 5);
    const std::string bytes = WriteDge(original);
    ASSERT_EQ(bytes.size(), 4 * kDgeRecordLength);
    EXPECT_EQ(bytes.substr(0, kDgeRecordLength), DgeRecord(original[17]));
    BoardSet loaded = ClearedSet();
    ASSERT_FALSE(ReadDge(bytes, loaded).has_value());
    EXPECT_EQ(loaded.lastBoard, 4);
    EXPECT_EQ(loaded[1].cardOwner, original[17].cardOwner);
    EXPECT_EQ(loaded[4].cardOwner, original[20].cardOwner);
    EXPECT_EQ(WriteDge(BoardSet{}), "");
}

TEST(DgeFile, FaultsCarryTheRecordNumber) {
    BoardSet set = ClearedSet();
    ReadResult r = ReadDge("", set);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->key, MsgFmtFileEmpty);

    // Two good records and a short third one.
    const std::string good = AsRecord(SuitPerHandString());
    set = ClearedSet();
    r = ReadDge(good + good + good.substr(0, 100), set);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->key, MsgFmtRecordLength);
    EXPECT_EQ(r->main, "100");
    EXPECT_EQ(r->second, "3");
    EXPECT_EQ(set.lastBoard, 2);

    // A duplicate card in record 2.
    std::string bad = SuitPerHandString();
    bad[2] = 'A';
    set = ClearedSet();
    r = ReadDge(good + AsRecord(bad), set);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->key, MsgFmtDuplicateCardAtPosition);
    EXPECT_EQ(r->main, "3");
    EXPECT_EQ(r->second, "2");
    EXPECT_NE(r->Text().find("in record: 2"), std::string::npos);
}

TEST(DgeFile, AtMost640Records) {
    const std::string record = DgeRecord(SuitPerHandBoard());
    std::string bytes;
    for (int i = 0; i < 640; ++i)
        bytes += record;
    BoardSet set = ClearedSet();
    EXPECT_FALSE(ReadDge(bytes, set).has_value());
    EXPECT_EQ(set.lastBoard, 640);
    bytes += record;
    set = ClearedSet();
    const ReadResult r = ReadDge(bytes, set);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->key, MsgFmtTooManyRecords);
    EXPECT_EQ(set.lastBoard, 640);
}
