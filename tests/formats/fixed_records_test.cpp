// The four fixed-record formats: what they share in one parameterised test, then what is particular to each.
#include "formats/bri.h"
#include "formats/dge.h"
#include "formats/dup.h"
#include "formats/fixed_records.h"
#include "formats/format_checks.h"
#include "formats/zeta771.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace orvenix;
using namespace orvenix::test;

namespace {

// N spades, E hearts, S diamonds in ascending card codes.
const std::string kSuitDigits = "0102030405060708091011121314151617181920212223242526"
                                "27282930313233343536373839";
const std::string S = "\x06", H = "\x03", D = "\x04", C = "\x05";
const std::string kRanks = "AKQJT98765432";
const std::string kSuitHands =
    S + kRanks + H + D + C + S + H + kRanks + D + C + S + H + D + kRanks + C + S + H + D + C + kRanks;

// A record moved one heart two from East to South: N 13, E 12, S 14, W 13 cards.
const std::string kHeartTwoToSouth = D + C + S + H + "2";

struct Format {
    const char* name;
    std::string (*write)(const BoardSet&);
    std::string suitPerHandRecord; // board 1 with one suit per hand, written out
    int firstAfterLoad;            // where boards written from board 17 come back
};

const Format kFormats[] = {
    {"BRI", WriteBri, kSuitDigits + std::string(32, ' ') + std::string(18, '\0'), 1},
    {"DGE", WriteDge, kSuitHands + std::string(60, '\0'), 1},
    {"DUP", WriteDup, kSuitDigits + kSuitHands + "YN1  1 1  ", 17},
    {"ZETA771", WriteZeta771, "0000000000000111111111111122222222222223333333333333\r\n", 1},
};

// Bytes put into a format's record at a place, and the fault its reading reports as record 2 (ok: the same
// board is read).
const MessageKey ok = MessageKey(kMessageCount);
const std::tuple<std::string, std::size_t, std::string, MessageKey, std::string> kChanges[] = {
    {"BRI", 78, "40414243444546474849505152", ok, ""}, // West's cards given too
    {"BRI", 104, std::string(24, 'x'), ok, ""},        // what follows the fields is not read
    {"BRI", 40, "00", MsgFmtCardValue, "00"},
    {"BRI", 40, "53", MsgFmtCardValue, "53"},
    {"BRI", 40, " 7", MsgFmtInvalidCharacter, " 7"},
    {"BRI", 40, "7a", MsgFmtInvalidCharacter, "7a"},
    {"BRI", 78, "40414243444546474849505101", MsgFmtDuplicateCardValue, "01"},
    {"BRI", 77, " ", MsgFmtRecordLength, "77"}, // trailing blanks do not count
    {"DGE", 100, "A", ok, ""},                  // only the first 68 bytes count
    {"DGE", 1, "a", MsgFmtIllegalCardCode, "2"},
    {"DGE", 31, kHeartTwoToSouth, MsgFmtHandCardCount, "13, 12, 14, 13"},
    {"DUP", 4, "60", MsgFmtCardValue, "60"},
    {"DUP", 78 + 5, "x", MsgFmtIllegalCardCode, "6"},
    {"DUP", 78 + 31, kHeartTwoToSouth, MsgFmtDupBoardMismatch, ""}, // both parts must hold one deal
    {"ZETA771", 52, "  ", ok, ""},                                  // the line end is not examined
    {"ZETA771", 9, "4", MsgFmtInvalidCharacter, "40"},
};

ReadResult Load(const char* format, std::string_view bytes, BoardSet& set) {
    set = ClearedSet();
    return LoadFixedRecords(format, bytes, set);
}

class FixedRecordFormat : public ::testing::TestWithParam<Format> {
  protected:
    BoardSet set_;
};

TEST_P(FixedRecordFormat, OneRecordBothWaysAndFaultsNamingTheirRecord) {
    const Format& f = GetParam();
    const std::string& good = f.suitPerHandRecord;
    BoardSet one = RandomSet(1, 1);
    one[1] = SuitPerHandBoard();
    EXPECT_EQ(f.write(one), good);
    ASSERT_FALSE(Load(f.name, good, set_));
    EXPECT_EQ(std::tuple(set_.firstBoard, set_.lastBoard, set_[1].status, Numbering(set_[1])),
              std::tuple(1, 1, kBoardComplete, std::tuple(1, 1, 1)));
    EXPECT_EQ(set_[1].cardOwner, SuitPerHandBoard().cardOwner);
    for (const auto& [format, at, bytes, key, main] : kChanges) {
        if (format != f.name) continue;
        SCOPED_TRACE(bytes);
        const Fault fault = key == ok ? kNoFault : Fault(key, main, "2");
        std::string changed = good;
        changed.replace(at, bytes.size(), bytes);
        const ReadResult r = Load(f.name, good + changed, set_); // the boards before a fault stay
        EXPECT_EQ(std::tuple(FaultOf(r), set_.lastBoard), std::tuple(fault, r ? 1 : 2));
        EXPECT_TRUE(r || set_[2].cardOwner == SuitPerHandBoard().cardOwner);
    }
    EXPECT_EQ(FaultOf(Load(f.name, good + good.substr(0, 30), set_)), Fault(MsgFmtRecordLength, "30", "2"));
    EXPECT_EQ(FaultOf(Load(f.name, "", set_)), Fault(MsgFmtFileEmpty, "", ""));
}

TEST_P(FixedRecordFormat, SetsRoundTripAndComeBackFromRecordOne) {
    const Format& f = GetParam();
    // (Read back and written again through a file with the frame's tests.)
    const std::string bytes = f.write(RandomSet(1, 640, 99));
    ASSERT_EQ(std::tuple(FaultOf(Load(f.name, bytes, set_)), bytes.size(), set_.lastBoard),
              std::tuple(kNoFault, 640 * f.suitPerHandRecord.size(), 640));
    EXPECT_EQ(FaultOf(Load(f.name, bytes + f.suitPerHandRecord, set_)), Fault(MsgFmtTooManyRecords, "", ""));
    EXPECT_EQ(set_.lastBoard, 640);
    ASSERT_FALSE(Load(f.name, f.write(RandomSet(17, 20, 5)), set_));
    const int first = f.firstAfterLoad; // the same deals, numbered where they come back
    EXPECT_EQ(std::tuple(set_.firstBoard, set_.lastBoard,
                         SameBoards(RandomSet(first, first + 3, 5), set_, first, first + 3)),
              std::tuple(first, first + 3, true));
    EXPECT_EQ(FaultOf(LoadFixedRecords("XYZ", bytes, set_)), Fault(MsgUnknownFormatLoad, "XYZ", ""));
    EXPECT_EQ(set_.lastBoard, 0);
}

// Whatever the bytes, a reader ends with either sound boards, one per record, or a fault naming a record of
// the file (and never reads outside the bytes: the sanitizer builds run this too).
TEST_P(FixedRecordFormat, DamagedFilesLoadSoundlyOrNameTheirFault) {
    const Format& f = GetParam();
    std::mt19937 rng(2026);
    const std::string good = f.write(RandomSet(1, 8, 5));
    for (int round = 0; round < 1500; ++round) {
        std::string bytes = good;
        for (int e = 0, edits = 1 + static_cast<int>(rng() % 4); e < edits; ++e) {
            const std::size_t at = rng() % (bytes.size() + 1);
            const int kind = static_cast<int>(rng() % 4);
            if (kind < 2 && at < bytes.size())
                bytes[at] = static_cast<char>(kind == 0 ? rng() % 256 : '0' + rng() % 10);
            if (kind == 2) bytes.insert(at, 1, static_cast<char>(rng() % 256));
            if (kind == 3) bytes.resize(at);
        }
        const std::size_t length = f.suitPerHandRecord.size(), records = (bytes.size() + length - 1) / length;
        const ReadResult r = Load(f.name, bytes, set_);
        if (r) {
            EXPECT_TRUE(r->key == MsgFmtFileEmpty || r->key == MsgFmtTooManyRecords ||
                        (std::stol(r->second) >= 1 && std::stoul(r->second) <= records));
            continue;
        }
        EXPECT_TRUE(static_cast<std::size_t>(set_.count()) == records && set_.firstBoard >= 1 &&
                    set_.lastBoard <= kMaxBoard);
        for (int n = set_.firstBoard; n <= set_.lastBoard; ++n)
            EXPECT_TRUE(set_[n].number == n &&
                        *std::max_element(set_[n].cardOwner.begin() + 1, set_[n].cardOwner.end()) <= 4);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, FixedRecordFormat, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- DGE: suit symbols and rank letters ------------------------------------------------------------

TEST(Dge, ParsingInEachMode) {
    const std::string empty = S + H + D + C + S + H + D + C + S + H + D + C + S + H + D + C;
    const std::string uneven = kSuitHands.substr(0, 31) + kHeartTwoToSouth + kSuitHands.substr(36);
    const DgeMode F = DgeMode::kFileRecord, L = DgeMode::kBreLine;
    // ok: main is the hand string of the owners read
    const std::tuple<std::string, DgeMode, MessageKey, std::string> cases[] = {
        {kSuitHands, L, ok, kSuitHands},
        {kSuitHands + std::string(61, '\0'), F, MsgFmtRecordLength, "129"},
        {kSuitHands + "\x01", L, MsgFmtIllegalCardCode, "69"},
        {uneven, L, ok, uneven},
        {empty, L, ok, empty},
        {S + "A" + D, L, MsgFmtUnexpectedCharacterAtPosition, "3"},
        {S + S, L, MsgFmtUnexpectedCharacterAtPosition, "2"},
        {empty + S, L, MsgFmtUnexpectedCharacterAtPosition, "17"},
        {"A" + S, L, MsgFmtIllegalCardCode, "1"},
        {S + "AK1", L, MsgFmtIllegalCardCode, "4"},
        {S + "Q" + H + D + C + S + "Q", L, MsgFmtDuplicateCardAtPosition, "7"},
    };
    for (const auto& [text, mode, key, main] : cases) {
        SCOPED_TRACE(text);
        Board b = SuitPerHandBoard();
        b.number = 9;
        const ReadResult r = ParseDgeRecord(text, b, mode);
        EXPECT_EQ(std::tuple(FaultOf(r), b.number),
                  std::tuple(key == ok ? kNoFault : Fault(key, main, ""), 9));
        EXPECT_TRUE(key != ok || DgeHandString(b) == main) << DgeHandString(b); // only the owners are set
    }
}

// ---- DUP: a BRI part, a DGE part and the set's board numbers ----------------------------------------

TEST(Dup, EveryRecordCarriesTheSetRangeWhichPlacesTheBoardsWhenItFitsTheFile) {
    // The tail put in every record, the records, and the first board of the set written whose range the tail
    // is (0: a tail put in whose numbers are not kept).
    const std::tuple<std::string, int, int> cases[] = {
        {"YN1  1 4  ", 4, 1}, {"YN17 1 20 ", 4, 17}, {"YN6371 640", 4, 637}, {"YN5  1 5  ", 1, 0},
        {"YN1  1 20 ", 4, 0}, {"YN6381 641", 4, 0},  {"YN  51 3  ", 4, 0},
    };
    for (const auto& [tail, records, written] : cases) {
        SCOPED_TRACE(tail);
        const int first = written == 0 ? 1 : written, last = first + records - 1;
        const BoardSet set = RandomSet(first, last);
        std::string bytes = WriteDup(set);
        for (int k = 0; k < records; ++k) {
            EXPECT_TRUE(written == 0 || bytes.substr(k * kDupRecordLength + 146, 10) == tail) << k;
            bytes.replace(k * kDupRecordLength + 146, 10, tail);
        }
        BoardSet back = ClearedSet();
        bool kept = written == 0;
        ASSERT_FALSE(ReadDup(bytes, back, &kept));
        EXPECT_EQ(std::tuple(kept, back.firstBoard, back.lastBoard), std::tuple(written != 0, first, last));
        EXPECT_TRUE(SameBoards(set, back, first, last));
    }
    // The first record carrying numbers counts; the slots below the first board are emptied.
    std::string bytes = WriteDup(RandomSet(5, 6));
    bytes.replace(146, 10, "YN   1    ");
    BoardSet back = ClearedSet();
    ASSERT_FALSE(ReadDup(bytes, back));
    EXPECT_EQ(std::tuple(back.firstBoard, back[1], back[4]), std::tuple(5, Board{}, Board{}));
    // A record cut short within its DGE part holds fewer cards there.
    EXPECT_EQ(FaultOf(ReadDup(WriteDup(RandomSet(1, 3)).substr(0, kDupRecordLength + 120), back)),
              Fault(MsgFmtDupBoardMismatch, "", "2"));
}

// ---- ZETA771: one digit per card, 0 North .. 3 West ------------------------------------------------

TEST(Zeta771, CardCountsAndLineFeedsAlone) {
    std::string record = kFormats[3].suitPerHandRecord;
    BoardSet set = ClearedSet();
    record[13] = '0'; // the heart ace goes to North: 14 cards, East 12, accepted
    EXPECT_FALSE(ReadZeta771(record, set));
    const BoardSet five = RandomSet(1, 5, 8);
    const std::string lf = ReplaceAll(WriteZeta771(five), "\r\n", "\n");
    ASSERT_FALSE(ReadZeta771(lf, set));
    EXPECT_TRUE(SameBoards(five, set, 1, 5));
    EXPECT_EQ(std::get<2>(FaultOf(ReadZeta771(lf.substr(0, 2 * 53 + 7) + "9" + lf.substr(2 * 53 + 8), set))),
              "3");
}

} // namespace
