#include "app/context.h"
#include "base/messages.h"
#include "history/history.h"
#include "model/similarity.h"
#include "model/board.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <random>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace orvenix;
namespace samples = orvenix::test;
namespace fs = std::filesystem;

namespace {

class TempDir {
  public:
    TempDir() {
        std::random_device rd;
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = fs::temp_directory_path() /
                    ("orvenix-history-" + std::to_string(rd()) + std::to_string(rd()));
            if (fs::create_directory(path_)) return;
        }
        throw std::runtime_error("no temporary folder");
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    [[nodiscard]] const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

  private:
    fs::path path_;
};

std::vector<std::uint8_t> ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Append(std::vector<std::uint8_t>& bytes, const HistoryRecord& r) {
    bytes.insert(bytes.end(), r.begin(), r.end());
}

// A program context around a set, with scripted dialogs and a recorded status line.
struct Fixture {
    explicit Fixture(const fs::path& logPath) : log(logPath) {
        log.now = [] { return std::string("now"); };
        ctx.status = [this](const std::string& s) { status.push_back(s); };
    }
    BoardSet set;
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log;
    AppContext ctx{set, dialogs, settings, log};
    std::vector<std::string> status;
};

// Boards first..last as random complete deals; the boards listed in `incomplete` lose their last card.
void FillSet(BoardSet& set, int first, int last, std::uint32_t seed, std::vector<int> incomplete = {}) {
    set = samples::RandomSet(first, last, seed);
    for (int b : incomplete) {
        set[b].cardOwner[52] = 0;
        AnalyseBoard(set[b]);
    }
}

} // namespace

// ---- Records ------------------------------------------------------------------------------------------

TEST(HistoryRecords, BoardEncodingPacksTwoBitsPerCard) {
    Board b{};
    b.cardOwner[1] = 4; // W: 11
    b.cardOwner[2] = 1; // N: 00
    b.cardOwner[3] = 3; // S: 10
    b.cardOwner[4] = 2; // E: 01
    b.cardOwner[52] = 2;
    const auto bytes = EncodeHistoryBoard(b);
    EXPECT_EQ(bytes[0], 0xC9);
    EXPECT_EQ(bytes[12] & 3, 1); // the highest code of a byte in bits 1 and 0
    // A card that is not placed is written as West.
    EXPECT_EQ(bytes[1], 0xFF);
}

TEST(HistoryRecords, BoardNumbersInBaseHundred) {
    const Board b = samples::SuitPerHandBoard();
    const HistoryRecord r117 = MakeBoardRecord(b, 117);
    EXPECT_EQ(r117[0], 0);
    EXPECT_EQ(r117[1], 17);
    EXPECT_EQ(r117[2], 1);
    const HistoryRecord r640 = MakeBoardRecord(b, 640);
    EXPECT_EQ(r640[1], 40);
    EXPECT_EQ(r640[2], 6);
    EXPECT_EQ(DecodeHistoryBoard(r640.data()).number, 640);
    EXPECT_EQ(DecodeHistoryBoard(r117.data()).number, 117);
}

TEST(HistoryRecords, DecodeRestoresTheOwnersOnly) {
    std::mt19937 rng(8);
    for (int i = 0; i < 200; ++i) {
        Board b = samples::RandomBoard(rng);
        b.dealer = 3;
        const Board d = DecodeHistoryBoard(MakeBoardRecord(b, i + 1).data());
        EXPECT_EQ(d.number, i + 1);
        EXPECT_EQ(d.cardOwner, b.cardOwner);
        EXPECT_EQ(d.dealer, 0);
        EXPECT_EQ(d.status, 0);
        EXPECT_EQ(d.cardCount, (std::array<std::uint8_t, 5>{}));
    }
}

TEST(HistoryRecords, NameRecordAndEndMarker) {
    const HistoryRecord n = MakeNameRecord("  club night.pbn  ", 232);
    EXPECT_EQ(n[0], 0xFE);
    EXPECT_EQ(n[1], 32);
    EXPECT_EQ(n[2], 2);
    EXPECT_EQ(std::string(n.begin() + 3, n.end()), "CLUB NIGHT.PB");
    const HistoryRecord s = MakeNameRecord("x", 1);
    EXPECT_EQ(std::string(s.begin() + 3, s.end()), "X            ");
    const HistoryRecord e = MakeEndMarker();
    EXPECT_EQ(e[0], 0xFF);
    for (std::size_t i = 1; i < 16; ++i)
        EXPECT_EQ(e[i], '=');
}

TEST(HistoryRecords, NamesAreTrimmedCutAndUpperCase) {
    EXPECT_EQ(NormalizeHistoryName("  week12.pbn "), "WEEK12.PBN");
    EXPECT_EQ(NormalizeHistoryName("abcdefghijklmNO"), "ABCDEFGHIJKLM");
    EXPECT_EQ(NormalizeHistoryName("abcdefghijkl mNO"), "ABCDEFGHIJKL"); // no blank left at the end
    EXPECT_EQ(NormalizeHistoryName("\xc3\xa9t\xc3\xa9.dup"), "\xc3\x89T\xc3\x89.DUP"); // été.dup
    EXPECT_EQ(NormalizeHistoryName("\xe2\x99\xa0.pbn"), "?.PBN");                      // no single-byte code
    EXPECT_EQ(NormalizeHistoryName("   "), "");
    // A name written and read back is the same name.
    History h;
    std::vector<std::uint8_t> bytes;
    Append(bytes, MakeNameRecord("\xc3\xa9t\xc3\xa9 final.pbn", 1));
    Append(bytes, MakeEndMarker());
    h.Load(bytes.data(), bytes.size());
    EXPECT_EQ(h.Names().entries.at(0).name, "\xc3\x89T\xc3\x89 FINAL.PBN");
}

// ---- Reading ------------------------------------------------------------------------------------------

TEST(HistoryLoad, RingNamesAndEndMarker) {
    std::mt19937 rng(1);
    std::vector<std::uint8_t> bytes;
    Append(bytes, MakeNameRecord("FIRST.PBN", 2));
    Append(bytes, MakeBoardRecord(samples::RandomBoard(rng), 1));
    Append(bytes, MakeBoardRecord(samples::RandomBoard(rng), 2));
    Append(bytes, MakeNameRecord("SECOND.PBN", 1));
    Append(bytes, MakeBoardRecord(samples::RandomBoard(rng), 9));
    Append(bytes, MakeEndMarker());
    History h;
    const HistoryLoadReport r = h.Load(bytes.data(), bytes.size());
    EXPECT_TRUE(r.Clean());
    EXPECT_TRUE(r.endMarkerFound);
    EXPECT_EQ(r.records, 6U);
    EXPECT_EQ(h.Ring().usedSlots, 6);
    EXPECT_EQ(h.Ring().writeSlot, 6);
    EXPECT_EQ(h.BoardRecordCount(), 3);
    EXPECT_EQ(h.Ring().slotBoard[5].number, 9);
    EXPECT_EQ(h.Ring().slotBoard[5].status, kBoardComplete); // analysed when read
    EXPECT_EQ(h.FindHistoryName("second.pbn"), 2);
    EXPECT_EQ(h.FindHistoryName(" first.pbn "), 1);
    EXPECT_EQ(h.FindHistoryName("third.pbn"), 0);
    EXPECT_EQ(h.FindNameBySlot(4), 2);
    EXPECT_EQ(h.FindNameBySlot(2), 0);
    const auto sets = h.SetsInRingOrder();
    ASSERT_EQ(sets.size(), 2U);
    EXPECT_EQ(sets[0].slot, 1);
    EXPECT_EQ(sets[0].boardCount, 2);
    EXPECT_EQ(sets[1].name, "SECOND.PBN");
}

TEST(HistoryLoad, EmptyBytesGiveAnEmptyRing) {
    History h;
    const HistoryLoadReport r = h.Load(nullptr, 0);
    EXPECT_TRUE(r.Clean());
    EXPECT_EQ(h.Ring().usedSlots, 0);
    EXPECT_EQ(h.Ring().writeSlot, 1);
    EXPECT_EQ(h.BoardRecordCount(), 0);
    EXPECT_TRUE(h.SetsInRingOrder().empty());
}

TEST(HistoryLoad, PartialRecordUnknownKindsAndExcessAreCountedNotUsed) {
    std::mt19937 rng(2);
    std::vector<std::uint8_t> bytes;
    Append(bytes, MakeNameRecord("A", 3));
    Append(bytes, MakeBoardRecord(samples::RandomBoard(rng), 1));
    HistoryRecord odd = MakeBoardRecord(samples::RandomBoard(rng), 2);
    odd[0] = 0x05;
    Append(bytes, odd);
    Append(bytes, MakeEndMarker());
    bytes.insert(bytes.end(), {1, 2, 3, 4, 5, 6, 7});
    History h;
    const HistoryLoadReport r = h.Load(bytes.data(), bytes.size());
    EXPECT_FALSE(r.Clean());
    EXPECT_EQ(r.trailingBytes, 7U);
    EXPECT_EQ(r.unknownKinds, 1U);
    EXPECT_EQ(r.excessRecords, 0U);
    EXPECT_EQ(h.BoardRecordCount(), 1);
    EXPECT_EQ(h.Ring().slotKind[3], 0x05);
    EXPECT_EQ(h.Ring().writeSlot, 4);
    EXPECT_NE(r.Describe().find("7 byte(s)"), std::string::npos);
    EXPECT_NE(r.Describe().find("1 record(s) of unknown kind"), std::string::npos);

    // Only the first 10000 records are the ring; the length of the rest is told through totalSize.
    std::vector<std::uint8_t> big;
    for (int i = 0; i < kHistorySlots; ++i)
        Append(big, MakeBoardRecord(samples::SuitPerHandBoard(), 1));
    const HistoryLoadReport rb = h.Load(big.data(), big.size(), big.size() + 5 * 16 + 3);
    EXPECT_EQ(rb.excessRecords, 5U);
    EXPECT_EQ(rb.trailingBytes, 3U);
    EXPECT_EQ(h.BoardRecordCount(), kHistorySlots);

    // A later read starts from an empty ring again.
    std::vector<std::uint8_t> small;
    Append(small, MakeNameRecord("SMALL", 0));
    Append(small, MakeEndMarker());
    EXPECT_TRUE(h.Load(small.data(), small.size()).Clean());
    EXPECT_EQ(h.BoardRecordCount(), 0);
    EXPECT_EQ(h.Ring().usedSlots, 2);
    EXPECT_EQ(h.Ring().slotKind[5000], kHistoryEnd);
    EXPECT_EQ(h.Ring().slotBoard[5000], Board{});
    EXPECT_EQ(h.Names().count(), 1);
}

TEST(HistoryLoad, MissingEndMarkerContinuesAfterTheLastRecord) {
    std::vector<std::uint8_t> bytes;
    Append(bytes, MakeNameRecord("CUT.PBN", 2));
    Append(bytes, MakeBoardRecord(samples::SuitPerHandBoard(), 1));
    History h;
    const HistoryLoadReport r = h.Load(bytes.data(), bytes.size());
    EXPECT_FALSE(r.endMarkerFound);
    EXPECT_EQ(h.Ring().writeSlot, 3);
    EXPECT_EQ(h.Ring().slotKind[1], kHistoryName); // the set's name is kept
    std::int16_t board = 0;
    std::string name;
    EXPECT_EQ(MaxHistorySimilarity(h, samples::SuitPerHandBoard(), board, name), 13);
    EXPECT_EQ(name, "CUT.PBN");
}

// ---- Recording ----------------------------------------------------------------------------------------

TEST(HistoryRecord, SetWithIncompleteBoardsWritesNameBoardsAndEndMarker) {
    TempDir dir;
    Fixture f(dir / "dealer.log");
    auto h = History::Startup(f.ctx, dir / "history.dat");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(f.status.back(), "History records: 0");
    FillSet(f.set, 1, 32, 4, {5, 6, 30});

    EXPECT_TRUE(h->RecordHistory(f.ctx, f.ctx.set, "week.pbn"));
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_EQ(h->Ring().writeSlot, 31);
    EXPECT_EQ(h->BoardRecordCount(), 29);

    const auto bytes = ReadBytes(dir / "history.dat");
    ASSERT_EQ(bytes.size(), 31U * 16U);
    EXPECT_EQ(bytes[0], 0xFE);
    EXPECT_EQ(bytes[1], 32);
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(std::string(bytes.begin() + 3, bytes.begin() + 16), "WEEK.PBN     ");
    // Boards in ascending order, incomplete ones left out.
    std::vector<int> numbers;
    for (std::size_t rec = 1; rec < 30; ++rec) {
        EXPECT_EQ(bytes[rec * 16], 0);
        const Board d = DecodeHistoryBoard(&bytes[rec * 16]);
        numbers.push_back(d.number);
        EXPECT_EQ(d.cardOwner, f.set[d.number].cardOwner);
    }
    EXPECT_EQ(numbers.front(), 1);
    EXPECT_EQ(numbers[4], 7);
    EXPECT_EQ(numbers.back(), 32);
    EXPECT_EQ(bytes[30 * 16], 0xFF);

    // Read back by a new start, the ring is the same.
    h.reset();
    Fixture g(dir / "dealer.log");
    auto again = History::Startup(g.ctx, dir / "history.dat");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(g.status.back(), "History records: 29");
    EXPECT_EQ(again->Ring().writeSlot, 31);
    EXPECT_EQ(again->FindHistoryName("WEEK.PBN"), 1);
    EXPECT_TRUE(g.dialogs.messages.empty());
}

TEST(HistoryRecord, NothingRecordedWithoutSetOrName) {
    History h;
    BoardSet set;
    ScriptedDialogs dialogs;
    MemorySettings settings;
    TempDir dir;
    ActivityLog log(dir / "dealer.log");
    AppContext ctx{set, dialogs, settings, log};
    EXPECT_FALSE(h.RecordHistory(ctx, ctx.set, "NOSET.PBN"));
    FillSet(set, 1, 4, 9);
    EXPECT_FALSE(h.RecordHistory(ctx, ctx.set, "    "));
    EXPECT_FALSE(h.RecordHistory(ctx, ctx.set, ""));
    EXPECT_EQ(h.Ring().usedSlots, 0);
    EXPECT_EQ(h.Names().count(), 0);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(HistoryRecord, DuplicateNameAsksAndNoLeavesTheFileUnchanged) {
    TempDir dir;
    Fixture f(dir / "dealer.log");
    auto h = History::Startup(f.ctx, dir / "history.dat");
    ASSERT_NE(h, nullptr);
    FillSet(f.set, 1, 8, 12);
    ASSERT_TRUE(h->RecordHistory(f.ctx, f.ctx.set, "Abcdefghijklm1.pbn"));
    const auto before = ReadBytes(dir / "history.dat");

    // Differs only from the 14th character on: the same recorded name.
    f.dialogs.QueueAnswer(Answer::No);
    EXPECT_FALSE(h->RecordHistory(f.ctx, f.ctx.set, "abcdefghijklm2.pbn"));
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.Last().text, FormatMessage(MsgHistoryDuplicate, "ABCDEFGHIJKLM"));
    EXPECT_EQ(f.dialogs.Last().title, "Record History");
    EXPECT_EQ(f.dialogs.Last().buttons, Buttons::YesNo);
    EXPECT_EQ(f.dialogs.Last().icon, Icon::Question);
    EXPECT_EQ(ReadBytes(dir / "history.dat"), before);
    EXPECT_EQ(h->Ring().writeSlot, 10);
    EXPECT_EQ(h->Names().count(), 1);

    f.dialogs.QueueAnswer(Answer::Yes);
    EXPECT_TRUE(h->RecordHistory(f.ctx, f.ctx.set, "abcdefghijklm2.pbn"));
    EXPECT_EQ(f.dialogs.messages.size(), 2U);
    EXPECT_EQ(h->Ring().writeSlot, 19);
    EXPECT_EQ(h->Names().count(), 2);
    EXPECT_EQ(h->FindHistoryName("ABCDEFGHIJKLM"), 2); // the last equal entry
    EXPECT_EQ(ReadBytes(dir / "history.dat").size(), 19U * 16U);
}

TEST(HistoryRecord, RingWrapsAfterTenThousandSlots) {
    TempDir dir;
    Fixture f(dir / "dealer.log");
    auto h = History::Startup(f.ctx, dir / "history.dat");
    ASSERT_NE(h, nullptr);
    // Sets of 640 complete boards take 641 slots each (the end marker is overwritten by the next set).
    std::vector<BoardSet> sets(16);
    for (int i = 0; i < 16; ++i) {
        FillSet(sets[static_cast<std::size_t>(i)], 1, 640, 100 + static_cast<std::uint32_t>(i));
        f.set = sets[static_cast<std::size_t>(i)];
        ASSERT_TRUE(h->RecordHistory(f.ctx, f.ctx.set, "SET" + std::to_string(i + 1)));
        if (i == 14) {
            EXPECT_EQ(h->Ring().writeSlot, 15 * 641 + 1);
            EXPECT_EQ(h->Ring().usedSlots, 15 * 641 + 1);
        }
    }
    // Set 16: name at 9616, boards 1..384 at 9617..10000, boards 385..640 at 1..256, end marker at 257.
    EXPECT_EQ(h->Ring().writeSlot, 257);
    EXPECT_EQ(h->Ring().usedSlots, kHistorySlots);
    EXPECT_EQ(h->Ring().slotKind[1], kHistoryBoard);
    EXPECT_EQ(h->Ring().slotBoard[1].number, 385);
    EXPECT_EQ(h->Ring().slotKind[257], kHistoryEnd);
    EXPECT_EQ(ReadBytes(dir / "history.dat").size(), static_cast<std::size_t>(kHistorySlots) * 16U);

    // Boards of set 1 left after its name record was overwritten are never matched.
    std::int16_t board = 0;
    std::string name;
    const Board& orphan = sets[0][300]; // slot 301: still there, its name record (slot 1) is gone
    EXPECT_EQ(CompareHands(h->Ring().slotBoard[301], orphan), 13);
    EXPECT_LT(MaxHistorySimilarity(*h, orphan, board, name), 13);
    EXPECT_NE(name, "SET1");
    // Boards of set 2 and of the wrapped set 16 are found under their names.
    EXPECT_EQ(MaxHistorySimilarity(*h, sets[1][77], board, name), 13);
    EXPECT_EQ(name, "SET2");
    EXPECT_EQ(board, 77);
    EXPECT_EQ(MaxHistorySimilarity(*h, sets[15][640], board, name), 13);
    EXPECT_EQ(name, "SET16");
    EXPECT_EQ(board, 640);

    EXPECT_EQ(h->FindHistoryName("set1"), 1); // names are not forgotten while the program runs

    // A new start reads the same ring and lists the sets oldest first.
    const HistoryRing ring = h->Ring();
    h.reset();
    Fixture g(dir / "dealer.log");
    auto again = History::Startup(g.ctx, dir / "history.dat");
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(g.dialogs.messages.empty());
    EXPECT_EQ(again->Ring().writeSlot, ring.writeSlot);
    EXPECT_EQ(again->Ring().usedSlots, ring.usedSlots);
    EXPECT_EQ(again->Ring().slotKind, ring.slotKind);
    const auto listed = again->SetsInRingOrder();
    ASSERT_EQ(listed.size(), 15U); // set 1's name record was overwritten
    EXPECT_EQ(listed.front().name, "SET2");
    EXPECT_EQ(listed.front().slot, 642);
    EXPECT_EQ(listed.back().name, "SET16");
    EXPECT_EQ(listed.back().boardCount, 640);
    EXPECT_EQ(again->FindHistoryName("set1"), 0); // its name record is no longer in the file
}

// ---- History similarity -------------------------------------------------------------------------------

TEST(HistorySimilarity, EmptyHistory) {
    History h;
    std::int16_t board = 5;
    std::string name = "x";
    EXPECT_EQ(MaxHistorySimilarity(h, samples::SuitPerHandBoard(), board, name), 0);
    EXPECT_EQ(board, 0);
    EXPECT_EQ(name, "<none>");
}

TEST(HistorySimilarity, FreshlyRecordedSetIsSeenAtOnceUpToItsLastBoard) {
    History h;
    TempDir dir;
    Fixture f(dir / "dealer.log");
    FillSet(f.set, 3, 10, 21);
    ASSERT_TRUE(h.RecordHistory(f.ctx, f.ctx.set, "fresh.pbn"));
    std::int16_t board = 0;
    std::string name;
    for (int b = 3; b <= 10; ++b) {
        EXPECT_EQ(MaxHistorySimilarity(h, f.set[b], board, name), 13) << b;
        EXPECT_EQ(board, b);
        EXPECT_EQ(name, "FRESH.PBN");
    }
}

TEST(HistorySimilarity, FirstBoardReachingTheBestIsReported) {
    std::mt19937 rng(31);
    const Board target = samples::RandomBoard(rng);
    // One card of each hand passed on to the next seat: every hand keeps 12 of its cards.
    Board near = target;
    for (int seat = 1; seat <= 4; ++seat) {
        for (int code = 1; code <= kCards; ++code) {
            if (target.cardOwner[code] == seat) {
                near.cardOwner[code] = static_cast<Seat>(seat % 4 + 1);
                break;
            }
        }
    }
    ASSERT_EQ(CompareHands(near, target), 12);
    std::vector<std::uint8_t> bytes;
    Append(bytes, MakeNameRecord("OLD.PBN", 2));
    Append(bytes, MakeBoardRecord(near, 4));
    Append(bytes, MakeBoardRecord(target, 5));
    Append(bytes, MakeNameRecord("NEW.PBN", 1));
    Append(bytes, MakeBoardRecord(target, 8));
    Append(bytes, MakeEndMarker());
    History h;
    h.Load(bytes.data(), bytes.size());
    std::int16_t board = 0;
    std::string name;
    EXPECT_EQ(MaxHistorySimilarity(h, target, board, name), 13);
    EXPECT_EQ(board, 5);
    EXPECT_EQ(name, "OLD.PBN");
    // Board 4 (12 cards) comes first but scores lower; board 8 (13 again) comes later and does not replace
    // board 5.
}

TEST(HistorySimilarity, BoardsUnderABlankNameAreSkipped) {
    std::vector<std::uint8_t> bytes;
    Append(bytes, MakeNameRecord("", 1));
    Append(bytes, MakeBoardRecord(samples::SuitPerHandBoard(), 1));
    Append(bytes, MakeEndMarker());
    History h;
    h.Load(bytes.data(), bytes.size());
    std::int16_t board = 0;
    std::string name;
    EXPECT_EQ(MaxHistorySimilarity(h, samples::SuitPerHandBoard(), board, name), 0);
    EXPECT_EQ(name, "<none>");
}

// ---- The file -----------------------------------------------------------------------------------------

TEST(HistoryFile, MissingFileIsCreatedEmpty) {
    TempDir dir;
    Fixture f(dir / "dealer.log");
    const fs::path path = dir / "sub" / "history.dat";
    auto h = History::Startup(f.ctx, path);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0U);
    ASSERT_EQ(f.status.size(), 1U);
    EXPECT_EQ(f.status.back(), "History records: 0");
    EXPECT_FALSE(h->ReadOnly());
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(HistoryFile, UnusablePartsAreReportedOnceAndKept) {
    TempDir dir;
    std::mt19937 rng(4);
    std::vector<std::uint8_t> bytes;
    Append(bytes, MakeNameRecord("KEEP.PBN", 2));
    Append(bytes, MakeBoardRecord(samples::RandomBoard(rng), 1));
    HistoryRecord odd = MakeBoardRecord(samples::RandomBoard(rng), 2);
    odd[0] = 0x42;
    Append(bytes, odd);
    Append(bytes, MakeEndMarker());
    bytes.insert(bytes.end(), {9, 9, 9, 9, 9});
    WriteBytes(dir / "history.dat", bytes);

    Fixture f(dir / "dealer.log");
    auto h = History::Startup(f.ctx, dir / "history.dat");
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    const MessageRequest& m = f.dialogs.Last();
    EXPECT_EQ(m.title, "History File Read Error");
    EXPECT_EQ(m.icon, Icon::Exclamation);
    EXPECT_NE(m.text.find("5 byte(s)"), std::string::npos);
    EXPECT_NE(m.text.find("1 record(s) of unknown kind"), std::string::npos);
    EXPECT_EQ(f.status.back(), "History records: 1");
    EXPECT_EQ(ReadBytes(dir / "history.dat"), bytes); // reading changes nothing
    f.log.Close();
    std::ifstream logIn(dir / "dealer.log");
    const std::string logText((std::istreambuf_iterator<char>(logIn)), std::istreambuf_iterator<char>());
    EXPECT_NE(logText.find("History File Read Error: Parts of the history file"), std::string::npos);
}

TEST(HistoryFile, RecordsBeyondTheRingAreReportedAndLeftInTheFile) {
    TempDir dir;
    std::vector<std::uint8_t> bytes;
    Append(bytes, MakeNameRecord("BIG.PBN", 640));
    for (int i = 1; i < kHistorySlots + 4; ++i)
        Append(bytes, MakeBoardRecord(samples::SuitPerHandBoard(), 1));
    WriteBytes(dir / "history.dat", bytes);
    Fixture f(dir / "dealer.log");
    auto h = History::Startup(f.ctx, dir / "history.dat");
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_NE(f.dialogs.Last().text.find("4 record(s) beyond the 10000th"), std::string::npos);
    EXPECT_EQ(f.status.back(), "History records: 9999");
    EXPECT_EQ(h->Ring().usedSlots, kHistorySlots);
    EXPECT_EQ(h->Ring().writeSlot, 1); // full ring without an end marker: the oldest slot is next
    EXPECT_EQ(fs::file_size(dir / "history.dat"), bytes.size());
}

TEST(HistoryFile, HugeFileIsReadOnlyAsFarAsTheRing) {
    TempDir dir;
    const fs::path path = dir / "history.dat";
    WriteBytes(path, {});
    const std::uintmax_t size = 1ULL << 26; // 64 MB of zeros (sparse where it can be): records of board 0
    fs::resize_file(path, size);
    Fixture f(dir / "dealer.log");
    auto h = History::Startup(f.ctx, path);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_NE(f.dialogs.Last().text.find(std::to_string(size / 16 - kHistorySlots) + " record(s) beyond"),
              std::string::npos);
    EXPECT_EQ(f.status.back(), "History records: 10000");
    EXPECT_EQ(fs::file_size(path), size);
}

TEST(HistoryFile, RecordingAfterACutRecordingKeepsTheEarlierRecords) {
    TempDir dir;
    const fs::path path = dir / "history.dat";
    std::mt19937 rng(6);
    const Board kept = samples::RandomBoard(rng);
    std::vector<std::uint8_t> bytes;
    Append(bytes, MakeNameRecord("CUT.PBN", 2));
    Append(bytes, MakeBoardRecord(kept, 1));
    Append(bytes, MakeBoardRecord(samples::RandomBoard(rng), 2)); // the end marker was never written
    WriteBytes(path, bytes);
    {
        Fixture f(dir / "dealer.log");
        auto h = History::Startup(f.ctx, path);
        ASSERT_NE(h, nullptr);
        EXPECT_TRUE(f.dialogs.messages.empty());
        EXPECT_EQ(h->Ring().writeSlot, 4);
        FillSet(f.set, 1, 2, 40);
        ASSERT_TRUE(h->RecordHistory(f.ctx, f.ctx.set, "NEXT.PBN"));
    }
    const auto after = ReadBytes(path);
    ASSERT_EQ(after.size(), 7U * 16U);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), after.begin()));
    Fixture g(dir / "dealer.log");
    auto h = History::Startup(g.ctx, path);
    ASSERT_NE(h, nullptr);
    const auto sets = h->SetsInRingOrder();
    ASSERT_EQ(sets.size(), 2U);
    EXPECT_EQ(sets[0].name, "CUT.PBN");
    EXPECT_EQ(sets[1].name, "NEXT.PBN");
    std::int16_t board = 0;
    std::string name;
    EXPECT_EQ(MaxHistorySimilarity(*h, kept, board, name), 13);
    EXPECT_EQ(name, "CUT.PBN");
}

TEST(HistoryFile, UnreadablePlaceIsReportedOnceAndTheProgramRunsWithoutHistory) {
    TempDir dir;
    {
        Fixture f(dir / "dealer.log");
        fs::create_directories(dir / "folder.dat");
        EXPECT_EQ(History::Startup(f.ctx, dir / "folder.dat"), nullptr);
        ASSERT_EQ(f.dialogs.messages.size(), 1U);
        EXPECT_EQ(f.dialogs.Last().title, "History File Read Error");
        EXPECT_EQ(f.dialogs.Last().icon, Icon::Exclamation);
        EXPECT_EQ(f.dialogs.Last().text,
                  std::to_string(EISDIR) + ", " + std::generic_category().message(EISDIR));
    }
    {
        // The folder cannot be made: a file stands where it should be.
        WriteBytes(dir / "plain", {1, 2, 3});
        Fixture f(dir / "dealer.log");
        EXPECT_EQ(History::Startup(f.ctx, dir / "plain" / "history.dat"), nullptr);
        ASSERT_EQ(f.dialogs.messages.size(), 1U);
        EXPECT_EQ(f.dialogs.Last().text,
                  std::to_string(ENOTDIR) + ", " + std::generic_category().message(ENOTDIR));
    }
}

#ifndef _WIN32
TEST(HistoryFile, ReadOnlyFileIsUsedButNotRecorded) {
    if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the super-user";
    TempDir dir;
    std::vector<std::uint8_t> bytes;
    Append(bytes, MakeNameRecord("RO.PBN", 1));
    Append(bytes, MakeBoardRecord(samples::SuitPerHandBoard(), 1));
    Append(bytes, MakeEndMarker());
    WriteBytes(dir / "history.dat", bytes);
    fs::permissions(dir / "history.dat", fs::perms::owner_read);
    Fixture f(dir / "dealer.log");
    auto h = History::Startup(f.ctx, dir / "history.dat");
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(h->ReadOnly());
    EXPECT_EQ(f.status.back(), "History records: 1 (history file is read-only - not recording)");
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.Last().title, "History File Read Error");
    EXPECT_EQ(f.dialogs.Last().text.rfind(std::to_string(EACCES) + ", ", 0), 0U);
    FillSet(f.set, 1, 2, 3);
    EXPECT_FALSE(h->RecordHistory(f.ctx, f.ctx.set, "NEW.PBN"));
    EXPECT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(ReadBytes(dir / "history.dat"), bytes);
}

TEST(HistoryFile, UnwritableFolderIsReported) {
    if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the super-user";
    TempDir dir;
    fs::create_directories(dir / "locked");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    Fixture f(dir / "dealer.log");
    EXPECT_EQ(History::Startup(f.ctx, dir / "locked" / "history.dat"), nullptr);
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.Last().title, "History File Read Error");
    EXPECT_EQ(f.dialogs.Last().text, std::to_string(EACCES) + ", " + std::generic_category().message(EACCES));
    fs::permissions(dir / "locked", fs::perms::owner_all);
}
#endif

TEST(HistoryFile, SecondInstanceReadsButDoesNotRecord) {
    TempDir dir;
    const fs::path path = dir / "history.dat";
    Fixture first(dir / "dealer.log");
    auto owner = History::Startup(first.ctx, path);
    ASSERT_NE(owner, nullptr);
    FillSet(first.set, 1, 4, 5);
    ASSERT_TRUE(owner->RecordHistory(first.ctx, first.ctx.set, "SHARED.PBN"));
    EXPECT_FALSE(owner->ReadOnly());

    Fixture second(dir / "dealer.log");
    auto other = History::Startup(second.ctx, path);
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(other->ReadOnly());
    EXPECT_EQ(second.status.back(),
              "History records: 4 (history in use by another Orvenix window - not recording)");
    EXPECT_TRUE(second.dialogs.messages.empty());
    // It still filters against the recorded sets.
    std::int16_t board = 0;
    std::string name;
    EXPECT_EQ(MaxHistorySimilarity(*other, first.set[2], board, name), 13);
    EXPECT_EQ(name, "SHARED.PBN");
    // But records nothing.
    const auto before = ReadBytes(path);
    FillSet(second.set, 1, 3, 6);
    EXPECT_FALSE(other->RecordHistory(second.ctx, second.ctx.set, "OTHER.PBN"));
    EXPECT_TRUE(second.dialogs.messages.empty());
    EXPECT_EQ(ReadBytes(path), before);

    // Once the first instance ends, the next one records again.
    owner.reset();
    other.reset();
    Fixture third(dir / "dealer.log");
    auto next = History::Startup(third.ctx, path);
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(next->ReadOnly());
    EXPECT_EQ(third.status.back(), "History records: 4");
}

#ifndef _WIN32
TEST(HistoryFile, WriteFailureIsReportedOnceAndTheSetStaysInMemory) {
    TempDir dir;
    Fixture f(dir / "dealer.log");
    auto h = History::Startup(f.ctx, dir / "history.dat");
    ASSERT_NE(h, nullptr);
    FillSet(f.set, 1, 6, 13);

    // Let the file grow by one record only.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 16;
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool recorded = h->RecordHistory(f.ctx, f.ctx.set, "FULL.PBN");
    f.set[1] = f.set[6];
    const bool again = h->RecordHistory(f.ctx, f.ctx.set, "FULLER.PBN");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(recorded);
    EXPECT_FALSE(again);
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.Last().title, "History File Write Error");
    EXPECT_EQ(f.dialogs.Last().text, std::to_string(EFBIG) + ", " + std::generic_category().message(EFBIG));
    EXPECT_EQ(h->Notice(), "history file cannot be written - not recording");
    // The run still filters against both sets.
    std::int16_t board = 0;
    std::string name;
    EXPECT_EQ(MaxHistorySimilarity(*h, f.set[3], board, name), 13);
    EXPECT_EQ(name, "FULL.PBN");
    EXPECT_EQ(fs::file_size(dir / "history.dat"), 16U);
}
#endif
