#include "app/context.h"
#include "base/messages.h"
#include "history/history.h"
#include "model/similarity.h"
#include "support/board_set_samples.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <tuple>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace orvenix;
using namespace orvenix::test;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

std::string Bytes(std::initializer_list<HistoryRecord> records) {
    std::string out;
    for (const HistoryRecord& r : records)
        out.append(reinterpret_cast<const char*>(r.data()), r.size());
    return out;
}

HistoryLoadReport LoadInto(History& h, const std::string& bytes) {
    return h.Load(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// One run of the program with its history in dir/file, scripted dialogs and a recorded status line.
struct Instance {
    explicit Instance(const fs::path& dir, const fs::path& file = "history.dat") : log(dir / "dealer.log") {
        ctx.status = [this](const std::string& s) { status.push_back(s); };
        history = History::Startup(ctx, dir / file);
    }
    bool Record(const BoardSet& s, const std::string& name) {
        set = s;
        return history->RecordHistory(ctx, ctx.set, name);
    }
    BoardSet set;
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log;
    AppContext ctx{set, dialogs, settings, log};
    std::vector<std::string> status;
    std::unique_ptr<History> history;
};

// Score, board number and set name of the best match in the history.
using Found = std::tuple<int, int, std::string>;

Found Similar(const History& h, const Board& b) {
    std::int16_t board = -1;
    std::string name;
    const int score = MaxHistorySimilarity(h, b, board, name);
    return {score, board, name};
}

// Whether a file's permissions keep this process from writing it (not so for the super-user).
#ifdef _WIN32
const bool kPermissionsBind = false;
#else
const bool kPermissionsBind = geteuid() != 0;
#endif

std::string Error(int number) {
    return std::to_string(number) + ", " + std::generic_category().message(number);
}

} // namespace

TEST(HistoryRecords, BoardsNamesEndMarkerTheRingTheyLoadIntoAndTheBestMatch) {
    Board b{};
    b.cardOwner = {0, 4, 1, 3, 2}; // W: 11, N: 00, S: 10, E: 01
    b.cardOwner[52] = 2;
    const auto bits = EncodeHistoryBoard(b);
    // The highest code of a byte in bits 1 and 0; a card not placed is written as West's.
    EXPECT_EQ(std::tuple(bits[0], bits[12] & 3, bits[1]), std::tuple(0xC9, 1, 0xFF));
    EXPECT_EQ(Bytes({MakeBoardRecord(SuitPerHandBoard(), 617)}).substr(0, 3), std::string("\0\x11\x06", 3));
    std::mt19937 rng(8);
    Board random = RandomBoard(rng);
    random.dealer = 3;
    const Board back = DecodeHistoryBoard(MakeBoardRecord(random, 612).data()); // owners and number only
    EXPECT_EQ(std::tuple(back.cardOwner, back.number, back.dealer),
              std::tuple(random.cardOwner, 612, Board{}.dealer));
    EXPECT_EQ(Bytes({MakeNameRecord("  club night.pbn  ", 232), MakeNameRecord("x", 1), MakeEndMarker()}),
              "\xFE\x20\x02"
              "CLUB NIGHT.PB\xFE\x01\x00"
              "X            \xFF==============="s);
    const std::pair<const char*, const char*> names[] = {
        {"  week12.pbn ", "WEEK12.PBN"},      {"abcdefghijklmNO", "ABCDEFGHIJKLM"},
        {"abcdefghijkl mNO", "ABCDEFGHIJKL"}, {"\xc3\xa9t\xc3\xa9.dup", "\xc3\x89T\xc3\x89.DUP"},
        {"\xe2\x99\xa0.pbn", "?.PBN"},        {"   ", ""}};
    for (const auto& [in, out] : names)
        EXPECT_EQ(NormalizeHistoryName(in), out) << in;
    History h; // the best match: the first board reaching the best score under a name that is not blank
    EXPECT_EQ(Similar(h, SuitPerHandBoard()), Found(0, 0, "<none>"));
    LoadInto(h, Bytes({MakeNameRecord("", 1), MakeBoardRecord(SuitPerHandBoard(), 1), MakeEndMarker()}));
    EXPECT_EQ(Similar(h, SuitPerHandBoard()), Found(0, 0, "<none>"));
    const Board target = RandomBoard(rng);
    const HistoryLoadReport r =
        LoadInto(h, Bytes({MakeNameRecord("FIRST.PBN", 2), MakeBoardRecord(RandomBoard(rng), 1),
                           MakeBoardRecord(target, 2), MakeNameRecord("\xc3\xa9t\xc3\xa9 final.pbn", 1),
                           MakeBoardRecord(target, 9), MakeEndMarker()}));
    EXPECT_EQ(Similar(h, target), Found(13, 2, "FIRST.PBN"));
    EXPECT_TRUE(r.Clean() && r.endMarkerFound);
    EXPECT_EQ(std::tuple(h.Ring().usedSlots, h.Ring().writeSlot, h.BoardRecordCount(),
                         h.Ring().slotBoard[5].number, h.Ring().slotBoard[5].status),
              std::tuple(6, 6, 3, 9, kBoardComplete));
    EXPECT_EQ(std::tuple(h.FindHistoryName("\xc3\xa9t\xc3\xa9 final.pbn"), h.FindHistoryName(" first.pbn "),
                         h.FindHistoryName("x"), h.FindNameBySlot(4), h.FindNameBySlot(2)),
              std::tuple(2, 1, 0, 2, 0));
    const auto sets = h.SetsInRingOrder();
    ASSERT_EQ(sets.size(), 2U);
    EXPECT_EQ(std::tuple(sets[0].slot, sets[0].boardCount, sets[1].name),
              std::tuple(1, 2, "\xc3\x89T\xc3\x89 FINAL.PBN"));
}

TEST(HistoryFile, StartupReportsWhatItCannotUseOnceAndLeavesTheFileAsItIs) {
    std::mt19937 rng(4);
    const HistoryRecord odd{0x42, 2}; // of no known kind
    std::string beyond = Bytes({MakeNameRecord("BIG.PBN", 640)});
    for (int i = 1; i < kHistorySlots + 4; ++i)
        beyond += Bytes({MakeBoardRecord(SuitPerHandBoard(), 1)});
    const std::string cut = Bytes({MakeNameRecord("CUT.PBN", 2), MakeBoardRecord(RandomBoard(rng), 1),
                                   MakeBoardRecord(RandomBoard(rng), 2)});
    const std::string unusable =
        Bytes({MakeNameRecord("KEEP.PBN", 2), MakeBoardRecord(RandomBoard(rng), 1), odd, MakeEndMarker()}) +
        "12345";
    // The file (none: no file), what the one message tells (nothing told when empty), the records taken
    // and the write slot.
    const std::tuple<std::optional<std::string>, std::vector<std::string>, int, int> cases[] = {
        {std::nullopt, {}, 0, 1},
        {cut, {}, 2, 4},
        {unusable, {"5 byte(s)", "1 record(s) of unknown kind"}, 1, 4},
        {beyond, {"4 record(s) beyond the 10000th"}, 9999, 1},
    };
    for (const auto& [bytes, told, records, writeSlot] : cases) {
        TempDir dir;
        const fs::path path = dir / "sub" / "history.dat";
        if (bytes) fs::create_directories(path.parent_path());
        if (bytes) WriteFile(path, *bytes);
        Instance f(dir.path(), "sub/history.dat");
        ASSERT_NE(f.history, nullptr);
        EXPECT_EQ(std::tuple(f.history->ReadOnly(), f.status.back(), f.history->Ring().writeSlot,
                             ReadFile(path), f.dialogs.messages.size()),
                  std::tuple(false, "History records: " + std::to_string(records), writeSlot,
                             bytes.value_or(""), told.empty() ? 0U : 1U));
        if (bytes == cut) { // recording after a cut recording keeps the earlier records
            ASSERT_TRUE(f.Record(RandomSet(1, 2, 40), "NEXT.PBN"));
            const std::string after = ReadFile(path);
            EXPECT_EQ(std::tuple(after.size(), after.substr(0, cut.size())), std::tuple(7U * 16U, cut));
        }
        for (const std::string& part : told)
            EXPECT_NE(f.dialogs.Last().text.find(part), std::string::npos) << f.dialogs.Last().text;
        f.log.Close();
        EXPECT_EQ(ReadFile(dir / "dealer.log").find("History File Read Error: Parts of the history file") !=
                      std::string::npos,
                  !told.empty());
    }
}

TEST(HistoryRecord, NameThenCompleteBoardsThenEndMarkerAndADuplicateNameAsks) {
    TempDir dir;
    Instance run(dir.path());
    for (const char* name : {"NOSET.PBN", "    ", ""}) // nothing without a set or a name
        EXPECT_FALSE(run.Record(name[0] == 'N' ? BoardSet{} : RandomSet(1, 4, 9), name));
    EXPECT_EQ(std::tuple(run.history->Ring().usedSlots, run.dialogs.messages.size()), std::tuple(0, 0U));
    const BoardSet set = WithIncompleteBoards({5, 6, 30}, 1, 32);
    EXPECT_TRUE(run.Record(set, "Abcdefghijklm1.pbn"));
    std::string expected = Bytes({MakeNameRecord("ABCDEFGHIJKLM", 32)}); // incomplete boards are left out
    for (int n = 1; n <= 32; ++n)
        expected += n == 5 || n == 6 || n == 30 ? "" : Bytes({MakeBoardRecord(set[n], n)});
    EXPECT_EQ(Similar(*run.history, set[32]), Found(13, 32, "ABCDEFGHIJKLM"));
    // Differs only from the 14th character on: the same recorded name.
    run.dialogs.QueueAnswer(Answer::No);
    EXPECT_FALSE(run.Record(set, "abcdefghijklm2.pbn"));
    ASSERT_EQ(run.dialogs.messages.size(), 1U);
    EXPECT_EQ(std::tuple(run.dialogs.Last().text, run.dialogs.Last().buttons, ReadFile(dir / "history.dat")),
              std::tuple(FormatMessage(MsgHistoryDuplicate, "ABCDEFGHIJKLM"), Buttons::YesNo,
                         expected + Bytes({MakeEndMarker()})));
    run.dialogs.QueueAnswer(Answer::Yes);
    EXPECT_TRUE(run.Record(set, "abcdefghijklm2.pbn"));
    EXPECT_EQ(std::tuple(run.history->FindHistoryName("ABCDEFGHIJKLM"), ReadFile(dir / "history.dat")),
              std::tuple(2, expected + expected + Bytes({MakeEndMarker()}))); // the last equal entry
}

TEST(HistoryRecord, RingWrapsAfterTenThousandSlots) {
    TempDir dir;
    Instance run(dir.path());
    // Sets of 640 complete boards take 641 slots each (the end marker is overwritten by the next set).
    std::vector<BoardSet> sets;
    for (int i = 0; i < 16; ++i) {
        sets.push_back(RandomSet(1, 640, 100 + static_cast<std::uint32_t>(i)));
        ASSERT_TRUE(run.Record(sets.back(), "SET" + std::to_string(i + 1)));
    }
    // Set 16: name at 9616, boards 1..384 at 9617..10000, boards 385..640 at 1..256, end marker at 257.
    const History& h = *run.history;
    EXPECT_EQ(std::tuple(h.Ring().writeSlot, h.Ring().usedSlots, h.Ring().slotBoard[1].number,
                         h.Ring().slotKind[257], fs::file_size(dir / "history.dat")),
              std::tuple(257, kHistorySlots, 385, kHistoryEnd, std::uintmax_t{kHistorySlots} * 16U));
    // Board 300 of set 1 is still in slot 301, but its name record (slot 1) is gone: never matched.
    EXPECT_EQ(CompareHands(h.Ring().slotBoard[301], sets[0][300]), 13);
    EXPECT_LT(std::get<0>(Similar(h, sets[0][300])), 13);
    EXPECT_EQ(Similar(h, sets[1][77]), Found(13, 77, "SET2"));
    EXPECT_EQ(Similar(h, sets[15][640]), Found(13, 640, "SET16"));
    EXPECT_EQ(h.FindHistoryName("set1"), 1); // names are not forgotten while the program runs
    const auto listed = h.SetsInRingOrder();
    ASSERT_EQ(listed.size(), 15U); // set 1's name record was overwritten
    EXPECT_EQ(
        std::tuple(listed.front().name, listed.front().slot, listed.back().name, listed.back().boardCount),
        std::tuple("SET2", 642, "SET16", 640));
}

TEST(HistoryFile, UnusablePlaceIsReportedOnceAndAReadOnlyHistoryIsUsedButNotRecorded) {
    TempDir dir;
    fs::create_directories(dir / "folder.dat");
    WriteFile(dir / "plain", "abc");
    fs::create_directories(dir / "locked");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    const std::pair<const char*, int> cases[] = {
        {"folder.dat", EISDIR}, {"plain/history.dat", ENOTDIR}, {"locked/history.dat", EACCES}};
    for (const auto& [file, error] : cases) {
        if (error == EACCES && !kPermissionsBind) continue;
        Instance run(dir.path(), file);
        EXPECT_EQ(run.history, nullptr) << file;
        ASSERT_EQ(run.dialogs.messages.size(), 1U);
        EXPECT_EQ(run.dialogs.Last().text, Error(error));
    }
    fs::permissions(dir / "locked", fs::perms::owner_all);
    // Another run holding the history, or a file without write permission: the history is read and used,
    // and nothing is recorded.
    const BoardSet shared = RandomSet(1, 4, 5);
    auto owner = std::make_unique<Instance>(dir.path());
    ASSERT_TRUE(owner->Record(shared, "SHARED.PBN"));
    const std::string bytes = ReadFile(dir / "history.dat");
    for (const bool locked : {true, false}) {
        if (!locked) owner.reset();
        if (!locked && !kPermissionsBind) break;
        if (!locked) fs::permissions(dir / "history.dat", fs::perms::owner_read);
        Instance other(dir.path());
        const std::string why =
            locked ? "history in use by another Orvenix window" : "history file is read-only";
        EXPECT_EQ(std::tuple(other.history->ReadOnly(), other.status.back()),
                  std::tuple(true, "History records: 4 (" + why + " - not recording)"));
        EXPECT_EQ(Similar(*other.history, shared[2]), Found(13, 2, "SHARED.PBN"));
        EXPECT_FALSE(other.Record(RandomSet(1, 3, 6), "OTHER.PBN"));
        ASSERT_EQ(other.dialogs.messages.size(), locked ? 0U : 1U); // the permission is told once
        EXPECT_TRUE(locked || other.dialogs.Last().text.rfind(Error(EACCES), 0) == 0U);
        EXPECT_EQ(ReadFile(dir / "history.dat"), bytes);
    }
    fs::permissions(dir / "history.dat", fs::perms::owner_read | fs::perms::owner_write);
    Instance next(dir.path()); // once the first run ends and the file may be written, the next one records
    EXPECT_FALSE(next.history->ReadOnly());
}

#ifndef _WIN32
TEST(HistoryFile, WriteFailureIsReportedOnceAndTheSetStaysInMemory) {
    TempDir dir;
    Instance run(dir.path());
    BoardSet set = RandomSet(1, 6, 13);
    // Let the file grow by one record only.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small{16, old.rlim_max};
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool recorded = run.Record(set, "FULL.PBN");
    set[1] = set[6];
    const bool again = run.Record(set, "FULLER.PBN");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(std::tuple(recorded, again, run.dialogs.messages.size(), run.dialogs.Last().title,
                         run.dialogs.Last().text, run.history->Notice(), fs::file_size(dir / "history.dat")),
              std::tuple(false, false, 1U, "History File Write Error", Error(EFBIG),
                         "history file cannot be written - not recording", 16U));
    EXPECT_EQ(Similar(*run.history, set[3]), Found(13, 3, "FULL.PBN"));
}
#endif
