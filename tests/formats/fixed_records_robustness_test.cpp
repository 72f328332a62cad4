// Whatever the bytes, the fixed-record readers end with either a loaded set whose boards are sound or a
// fault naming a record of the file; they never read outside the bytes given (run under the sanitizers).
#include "formats/bri.h"
#include "formats/dup.h"
#include "formats/fixed_records.h"
#include "formats/frame.h"
#include "formats/zeta771.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

using namespace orvenix;
using namespace orvenix::test;

namespace {

struct Reader {
    const char* name;
    std::size_t recordLength;
    ReadResult (*read)(std::string_view, BoardSet&);
    std::string (*write)(const BoardSet&);
};

ReadResult ReadDupPlain(std::string_view bytes, BoardSet& set) {
    return ReadDup(bytes, set);
}

const Reader kReaders[] = {
    {"BRI", kBriRecordLength, ReadBri, WriteBri},
    {"DUP", kDupRecordLength, ReadDupPlain, WriteDup},
    {"ZETA771", kZeta771RecordLength, ReadZeta771, WriteZeta771},
};

// Checks what a reader left behind and returns whether it loaded.
bool CheckOutcome(const Reader& r, const std::string& bytes, BoardSet& set) {
    ClearForLoad(set);
    const ReadResult result = r.read(bytes, set);
    const std::size_t records = (bytes.size() + r.recordLength - 1) / r.recordLength;
    if (result) {
        if (result->key != MsgFmtFileEmpty && result->key != MsgFmtTooManyRecords) {
            const long record = std::stol(result->second);
            EXPECT_GE(record, 1);
            EXPECT_LE(static_cast<std::size_t>(record), records);
        }
        return false;
    }
    EXPECT_GE(set.firstBoard, 1);
    EXPECT_LE(set.lastBoard, kMaxBoard);
    EXPECT_EQ(static_cast<std::size_t>(set.count()), records);
    for (int n = set.firstBoard; n <= set.lastBoard; ++n) {
        EXPECT_EQ(set[n].number, n);
        for (int c = 1; c <= kCards; ++c)
            EXPECT_LE(set[n].cardOwner[c], 4);
    }
    return true;
}

} // namespace

TEST(FixedRecordRobustness, MutatedFilesEitherLoadSoundlyOrNameTheirFault) {
    std::mt19937 rng(2026);
    auto set = std::make_unique<BoardSet>();
    for (const Reader& r : kReaders) {
        SCOPED_TRACE(r.name);
        const std::string good = r.write(RandomSet(1, 8, 5));
        int loaded = 0;
        for (int round = 0; round < 3000; ++round) {
            std::string bytes = good;
            const int edits = 1 + static_cast<int>(rng() % 4);
            for (int e = 0; e < edits; ++e) {
                const std::size_t at = rng() % (bytes.size() + 1);
                switch (rng() % 4) {
                case 0:
                    if (at < bytes.size()) bytes[at] = static_cast<char>(rng() % 256);
                    break;
                case 1:
                    if (at < bytes.size()) bytes[at] = static_cast<char>('0' + rng() % 10);
                    break;
                case 2:
                    bytes.insert(at, 1, static_cast<char>(rng() % 256));
                    break;
                default:
                    bytes.resize(at);
                    break;
                }
            }
            if (CheckOutcome(r, bytes, *set)) ++loaded;
        }
        EXPECT_GT(loaded, 0); // some mutations (blanks, line ends, the same digits) still load
    }
}

TEST(FixedRecordRobustness, RandomBytesOfEveryLengthAroundTheRecord) {
    std::mt19937 rng(7);
    auto set = std::make_unique<BoardSet>();
    for (const Reader& r : kReaders) {
        SCOPED_TRACE(r.name);
        for (std::size_t length = 0; length <= 2 * r.recordLength + 1; ++length) {
            std::string bytes(length, '\0');
            for (char& c : bytes)
                c = static_cast<char>(rng() % 256);
            CheckOutcome(r, bytes, *set);
        }
    }
}

TEST(FixedRecordRobustness, DupNumbersOfEveryKindNeverPlaceBoardsOutsideTheSet) {
    auto set = std::make_unique<BoardSet>();
    const std::string good = WriteDup(RandomSet(1, 4));
    for (const char* first : {"0  ", "1  ", "637", "638", "999", "-1 ", "  5", "5x "}) {
        for (const char* last : {"0  ", "4  ", "640", "641", "999", "x  "}) {
            std::string bytes = good;
            for (std::size_t r = 0; r < 4; ++r) {
                bytes.replace(r * 156 + 148, 3, first);
                bytes.replace(r * 156 + 153, 3, last);
            }
            ClearForLoad(*set);
            bool kept = false;
            ASSERT_FALSE(ReadDup(bytes, *set, &kept)) << first << "/" << last;
            EXPECT_EQ(set->count(), 4);
            EXPECT_GE(set->firstBoard, 1);
            EXPECT_LE(set->lastBoard, kMaxBoard);
            const std::string f(first);
            const std::string l(last);
            // Only numbers spanning exactly the four records, within 1..640, place the boards.
            const bool fits = (f == "1  " && l == "4  ") || (f == "637" && l == "640");
            EXPECT_EQ(kept, fits) << f << "/" << l;
            EXPECT_EQ(set->firstBoard, f == "637" && fits ? 637 : 1) << f << "/" << l;
        }
    }
}
