// The history file: a ring of 10000 16-byte records that remembers the deals of the board sets that were
// loaded or saved, so that the generator can refuse a deal repeating a hand of an earlier set.
//
// Each recorded set is a name record followed by one board record per complete board; an end marker shows
// where the next record goes. The whole file is read into memory at start-up, and every record written
// later goes to the file and to memory at once. The file is locked while the program runs; a second
// instance reads it but does not record.
#pragma once

#include "model/similarity.h"
#include "model/board.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvenix {

struct Services;

inline constexpr int kHistorySlots = 10000;
inline constexpr std::size_t kHistoryRecordSize = 16;
inline constexpr std::size_t kHistoryNameLength = 13;

// Byte 0 of a record.
inline constexpr std::uint8_t kHistoryBoard = 0x00;
inline constexpr std::uint8_t kHistoryName = 0xFE;
inline constexpr std::uint8_t kHistoryEnd = 0xFF;

using HistoryRecord = std::array<std::uint8_t, kHistoryRecordSize>;

// The ring in memory; every vector is indexed by slot 1..10000 (entry 0 is unused).
struct HistoryRing {
    HistoryRing();

    std::vector<std::uint8_t> slotKind; // byte 0 of the slot's record
    std::vector<Board> slotBoard;       // board records: the decoded, analysed board
    std::vector<HandMasks> slotMasks;   // board records: the hands of slotBoard, for the similarity filter
    std::vector<int> slotName;          // name records: index of the name in HistoryNames (1-based)
    std::vector<int> slotSetSize;       // name records: the number of boards of the recorded set
    std::int16_t writeSlot = 1;         // slot of the end marker, where the next record goes
    std::int16_t usedSlots = 0;         // highest slot holding a record
};

struct HistoryName {
    std::string name; // UTF-8, upper case, no blanks at either end
    int slot = 0;     // slot of its name record
};

// Every name recorded, in the order recorded; names are never removed, even when their record has been
// overwritten in the ring.
struct HistoryNames {
    std::vector<HistoryName> entries;
    [[nodiscard]] int count() const { return static_cast<int>(entries.size()); }
};

// What a read of history bytes could not use.
struct HistoryLoadReport {
    std::size_t records = 0;       // whole records taken into the ring
    std::size_t trailingBytes = 0; // bytes at the end that do not make a whole record
    std::size_t unknownKinds = 0;  // records whose byte 0 is none of 0, 0xFE, 0xFF
    std::size_t excessRecords = 0; // records beyond the 10000th
    bool endMarkerFound = false;

    [[nodiscard]] bool Clean() const { return trailingBytes == 0 && unknownKinds == 0 && excessRecords == 0; }
    // Lines telling what was ignored; empty when everything could be used.
    [[nodiscard]] std::string Describe() const;
};

// A name record in the order of the ring, oldest first.
struct HistorySetInfo {
    int slot = 0;
    int boardCount = 0;
    std::string name;
};

class History {
  public:
    // An empty history kept in memory only (no file).
    History();
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // $XDG_DATA_HOME/orvenix/history.dat (default ~/.local/share/orvenix/history.dat); the folder is
    // created when it is missing.
    static std::filesystem::path DefaultPath();

    // Start-up: opens the file (creating it), locks it, reads it and shows "History records: N" in the
    // status line. A file that cannot be opened or read is reported once and the program runs without
    // history (null). Parts of the file that cannot be used are reported once and the rest is used. When
    // another instance holds the file, or the file is read-only (reported once), the history is read but
    // nothing is recorded. The caller keeps the history and lends it to the commands.
    static std::unique_ptr<History> Startup(const Services& services, const std::filesystem::path& path);

    // Builds the ring and the names from the bytes of a history file. totalSize is the length of the whole
    // file when only its beginning was passed (at least bytes.size()).
    HistoryLoadReport Load(const std::uint8_t* data, std::size_t size, std::uint64_t totalSize = 0);

    // Appends the set under the given name (trimmed, first 13 characters, upper case). Asks before
    // recording a name that is already in the history. True when the set was recorded in the file (or, for
    // a history without file, in memory).
    bool RecordHistory(const Services& services, const BoardSet& set, const std::string& name);

    // Index (1-based) of the last recorded name equal to the normalised text, or 0.
    [[nodiscard]] int FindHistoryName(std::string_view text) const;
    // Index of the newest name whose name record is in the given slot, or 0.
    [[nodiscard]] int FindNameBySlot(int slot) const;
    // Number of board records in the ring.
    [[nodiscard]] int BoardRecordCount() const;
    // True when this instance reads the history but may not record (another instance holds it, or the file
    // is not writable).
    [[nodiscard]] bool ReadOnly() const { return readOnly_; }
    // Why the history does not record, for the status line; empty while it records.
    [[nodiscard]] const std::string& Notice() const { return notice_; }
    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

    [[nodiscard]] const HistoryRing& Ring() const { return ring_; }
    [[nodiscard]] const HistoryNames& Names() const { return names_; }
    // The name records of the ring, oldest first.
    [[nodiscard]] std::vector<HistorySetInfo> SetsInRingOrder() const;

    // The first slot of a walk over the ring from its oldest record.
    [[nodiscard]] int OldestSlot() const;

  private:
    void Clear();
    bool WriteThrough(const Services& services, int slot, const HistoryRecord& record);
    void Advance();
    int AddName(const std::string& name, int slot);

    HistoryRing ring_;
    HistoryNames names_;
    std::filesystem::path path_;
    int fd_ = -1;              // open history file, -1 for a history in memory only
    bool readOnly_ = false;    // nothing is recorded
    bool writeFailed_ = false; // a write failed and was reported; later sets go to memory only
    std::string notice_;
};

// The name as it is recorded: blanks trimmed, first 13 characters, upper case (UTF-8 in and out; characters
// outside the single-byte character set become "?").
std::string NormalizeHistoryName(std::string_view name);

// Bytes 3 to 15 of a board record: 2 bits per card, the seat minus 1.
std::array<std::uint8_t, 13> EncodeHistoryBoard(const Board& board);
// The board of a 16-byte board record: number and card owners; the other fields are zero.
Board DecodeHistoryBoard(const std::uint8_t* record16);

HistoryRecord MakeBoardRecord(const Board& board, int number);
HistoryRecord MakeNameRecord(const std::string& name, int boardCount);
HistoryRecord MakeEndMarker();

// Highest similarity between the candidate and the boards held in the history ring, walked from its oldest
// slot, with the board number and recorded file name of the first history board reaching it. Boards whose
// name record has been overwritten are skipped. With nothing found: 0, board 0 and "<none>".
int MaxHistorySimilarity(const History& history, const Board& candidate, std::int16_t& historyBoard,
                         std::string& fileName);

} // namespace orvenix
