#include "history/history.h"

#include "base/services.h"
#include "base/dialogs.h"
#include "base/log.h"
#include "base/messages.h"
#include "base/settings.h"
#include "base/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvenix {

namespace fs = std::filesystem;

// ---- File access -----------------------------------------------------------------------------------
// The history file is used as fixed-length records at a record number, so it is handled through a plain
// descriptor with positioned reads and writes. Only these few functions differ between systems.
namespace {

enum class LockResult { Locked, HeldByOther, Unsupported };

struct OpenResult {
    int fd = -1;
    bool writable = false;
    int error = 0;
};

OpenResult OpenHistoryFile(const fs::path& path) {
    OpenResult r;
#ifdef _WIN32
    r.fd = _wopen(path.c_str(), _O_RDWR | _O_CREAT | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (r.fd >= 0) {
        r.writable = true;
        return r;
    }
    r.error = errno;
    if (errno == EACCES) {
        r.fd = _wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    }
#else
    r.fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (r.fd >= 0) {
        r.writable = true;
    } else {
        r.error = errno;
        if (errno == EACCES || errno == EROFS || errno == EPERM) {
            // Not writable: a file that exists can still be read (the first error is the one to report).
            r.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        }
    }
    if (r.fd >= 0) {
        // Only a regular file will do: a folder or a device under that name is refused.
        struct stat st {};
        if (::fstat(r.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            r.error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            ::close(r.fd);
            r.fd = -1;
        }
    }
#endif
    return r;
}

LockResult TryLock(int fd) {
#ifdef _WIN32
    // A lock on one byte far beyond any record, so that other instances can still read the records.
    OVERLAPPED ov{};
    ov.Offset = 0;
    ov.OffsetHigh = 0x100;
    auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ov)) {
        return LockResult::Locked;
    }
    return GetLastError() == ERROR_LOCK_VIOLATION ? LockResult::HeldByOther : LockResult::Unsupported;
#else
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        return errno == EWOULDBLOCK ? LockResult::HeldByOther : LockResult::Unsupported;
    }
    return LockResult::Locked;
#endif
}

void CloseFile(int fd) {
    if (fd < 0) return;
#ifdef _WIN32
    _close(fd); // closing the handle releases the lock
#else
    ::close(fd);
#endif
}

// Length of the file, or -1 with errno set.
long long FileLength(int fd) {
#ifdef _WIN32
    return _lseeki64(fd, 0, SEEK_END);
#else
    struct stat st {};
    if (::fstat(fd, &st) != 0) return -1;
    return static_cast<long long>(st.st_size);
#endif
}

// Reads up to size bytes from the start of the file; the count read, or -1 with errno set.
long long ReadFromStart(int fd, std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
#ifdef _WIN32
    if (_lseeki64(fd, 0, SEEK_SET) < 0) return -1;
#endif
    while (done < size) {
#ifdef _WIN32
        const int n =
            _read(fd, data + done, static_cast<unsigned>(std::min<std::size_t>(size - done, 1 << 20)));
#else
        const ssize_t n = ::pread(fd, data + done, size - done, static_cast<off_t>(done));
#endif
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
}

// Writes one record at its place; false with errno set on failure.
bool WriteRecordAt(int fd, int slot, const HistoryRecord& record) {
    const auto offset = static_cast<long long>(slot - 1) * static_cast<long long>(kHistoryRecordSize);
    std::size_t done = 0;
#ifdef _WIN32
    if (_lseeki64(fd, offset, SEEK_SET) < 0) return false;
#endif
    while (done < record.size()) {
#ifdef _WIN32
        const int n = _write(fd, record.data() + done, static_cast<unsigned>(record.size() - done));
#else
        const ssize_t n = ::pwrite(fd, record.data() + done, record.size() - done,
                                   static_cast<off_t>(offset) + static_cast<off_t>(done));
#endif
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// "error number, description", as history failures are reported.
std::string ErrorText(int error) {
    return std::to_string(error) + ", " + std::error_code(error, std::generic_category()).message();
}

constexpr const char* kReadErrorTitle = "History File Read Error";
constexpr const char* kWriteErrorTitle = "History File Write Error";

// ---- Names ------------------------------------------------------------------------------------------

// Code points of UTF-8 text (text that is not valid UTF-8 is taken as Latin-1).
std::vector<char32_t> CodePoints(std::string_view text) {
    const std::string utf8 = DecodeFileText(text);
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        ++i;
        for (; extra > 0 && i < utf8.size(); --extra, ++i) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        }
        out.push_back(cp);
    }
    return out;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

unsigned char UpperLatin1(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    return c;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// The recorded form of a name as single-byte characters: trimmed, at most 13, upper case, no trailing
// blanks.
std::string NameBytes(std::string_view name) {
    std::string bytes;
    for (const char32_t cp : CodePoints(TrimBlanks(name))) {
        if (bytes.size() == kHistoryNameLength) break;
        bytes += static_cast<char>(cp <= 0xFF ? UpperLatin1(static_cast<unsigned char>(cp)) : '?');
    }
    return std::string(TrimBlanks(bytes));
}

} // namespace

std::string NormalizeHistoryName(std::string_view name) {
    return Latin1ToUtf8(NameBytes(name));
}

// ---- Records ----------------------------------------------------------------------------------------

std::array<std::uint8_t, 13> EncodeHistoryBoard(const Board& board) {
    std::array<std::uint8_t, 13> out{};
    unsigned acc = 0;
    for (int code = 1; code <= kCards; ++code) {
        acc = acc * 4 + ((static_cast<unsigned>(board.cardOwner[static_cast<std::size_t>(code)]) - 1U) & 3U);
        if (code % 4 == 0) {
            out[static_cast<std::size_t>(code / 4 - 1)] = static_cast<std::uint8_t>(acc);
            acc = 0;
        }
    }
    return out;
}

Board DecodeHistoryBoard(const std::uint8_t* record16) {
    Board b;
    b.number = static_cast<std::int16_t>(record16[2] * 100 + record16[1]);
    for (int code = 1; code <= kCards; ++code) {
        const int k = (code - 1) / 4;
        const int shift = 6 - 2 * ((code - 1) % 4);
        b.cardOwner[static_cast<std::size_t>(code)] =
            static_cast<std::uint8_t>(((record16[3 + k] >> shift) & 3) + 1);
    }
    return b;
}

HistoryRecord MakeBoardRecord(const Board& board, int number) {
    HistoryRecord r{};
    r[0] = kHistoryBoard;
    r[1] = static_cast<std::uint8_t>(number % 100);
    r[2] = static_cast<std::uint8_t>(number / 100);
    const auto cards = EncodeHistoryBoard(board);
    std::copy(cards.begin(), cards.end(), r.begin() + 3);
    return r;
}

HistoryRecord MakeNameRecord(const std::string& name, int boardCount) {
    HistoryRecord r{};
    r[0] = kHistoryName;
    r[1] = static_cast<std::uint8_t>(boardCount % 100);
    r[2] = static_cast<std::uint8_t>(boardCount / 100);
    const std::string bytes = NameBytes(name);
    for (std::size_t i = 0; i < kHistoryNameLength; ++i) {
        r[3 + i] = static_cast<std::uint8_t>(i < bytes.size() ? bytes[i] : ' ');
    }
    return r;
}

HistoryRecord MakeEndMarker() {
    HistoryRecord r;
    r.fill('=');
    r[0] = kHistoryEnd;
    return r;
}

std::string HistoryLoadReport::Describe() const {
    std::string text;
    if (trailingBytes > 0) {
        text += std::to_string(trailingBytes) + " byte(s) at the end of the file do not make a whole record "
                                                "and were ignored.\n";
    }
    if (unknownKinds > 0) {
        text += std::to_string(unknownKinds) + " record(s) of unknown kind were ignored.\n";
    }
    if (excessRecords > 0) {
        text += std::to_string(excessRecords) + " record(s) beyond the " + std::to_string(kHistorySlots) +
                "th were ignored.\n";
    }
    return text;
}

// ---- The ring ---------------------------------------------------------------------------------------

HistoryRing::HistoryRing()
    : slotKind(kHistorySlots + 1, kHistoryEnd), slotBoard(kHistorySlots + 1), slotMasks(kHistorySlots + 1),
      slotName(kHistorySlots + 1, 0), slotSetSize(kHistorySlots + 1, 0) {}

History::History() {
    names_.entries.reserve(256);
}

History::~History() {
    CloseFile(fd_);
}

void History::Clear() {
    // Only the slots in use need clearing; the rest is still as the ring was made.
    const auto used = static_cast<std::size_t>(std::max<int>(ring_.usedSlots, ring_.writeSlot));
    std::fill_n(ring_.slotKind.begin(), used + 1, kHistoryEnd);
    std::fill_n(ring_.slotBoard.begin(), used + 1, Board{});
    std::fill_n(ring_.slotMasks.begin(), used + 1, HandMasks{});
    std::fill_n(ring_.slotName.begin(), used + 1, 0);
    std::fill_n(ring_.slotSetSize.begin(), used + 1, 0);
    ring_.writeSlot = 1;
    ring_.usedSlots = 0;
    names_.entries.clear();
}

int History::AddName(const std::string& name, int slot) {
    names_.entries.push_back({name, slot});
    return names_.count();
}

HistoryLoadReport History::Load(const std::uint8_t* data, std::size_t size, std::uint64_t totalSize) {
    Clear();
    HistoryLoadReport report;
    totalSize = std::max<std::uint64_t>(totalSize, size);
    const std::uint64_t wholeRecords = totalSize / kHistoryRecordSize;
    report.trailingBytes = static_cast<std::size_t>(totalSize % kHistoryRecordSize);
    if (wholeRecords > static_cast<std::uint64_t>(kHistorySlots)) {
        report.excessRecords = static_cast<std::size_t>(wholeRecords - kHistorySlots);
    }
    const std::size_t records = std::min<std::size_t>(size / kHistoryRecordSize, kHistorySlots);
    if (records < std::min<std::uint64_t>(wholeRecords, kHistorySlots)) {
        // Fewer bytes than the file's length announced: only what was passed can be used.
        report.trailingBytes = size % kHistoryRecordSize;
    }
    report.records = records;

    int endSlot = 0;
    for (std::size_t i = 0; i < records; ++i) {
        const std::uint8_t* rec = data + i * kHistoryRecordSize;
        const int slot = static_cast<int>(i) + 1;
        const auto k = static_cast<std::size_t>(slot);
        ring_.usedSlots = static_cast<std::int16_t>(slot);
        ring_.slotKind[k] = rec[0];
        if (rec[0] == kHistoryEnd) {
            endSlot = slot;
        } else if (rec[0] == kHistoryName) {
            const std::string_view bytes(reinterpret_cast<const char*>(rec + 3), kHistoryNameLength);
            ring_.slotName[k] = AddName(Latin1ToUtf8(TrimBlanks(bytes)), slot);
            ring_.slotSetSize[k] = rec[2] * 100 + rec[1];
        } else if (rec[0] == kHistoryBoard) {
            Board b = DecodeHistoryBoard(rec);
            AnalyseBoard(b);
            ring_.slotBoard[k] = b;
            ring_.slotMasks[k] = MasksOf(b);
        } else {
            ++report.unknownKinds; // kept in the file, never compared
        }
    }
    report.endMarkerFound = endSlot != 0;
    if (endSlot != 0) {
        ring_.writeSlot = static_cast<std::int16_t>(endSlot);
    } else {
        // No end marker (a recording that was cut short): carry on after the last record instead of
        // overwriting the first one, unless the ring is full.
        ring_.writeSlot =
            static_cast<std::int16_t>(ring_.usedSlots < kHistorySlots ? ring_.usedSlots + 1 : 1);
    }
    // Slots beyond usedSlots are marked as end markers already. A full ring without end marker keeps its
    // first record in memory until the next set overwrites it.
    return report;
}

int History::OldestSlot() const {
    return (ring_.writeSlot >= 1 && ring_.writeSlot <= ring_.usedSlots) ? ring_.writeSlot : 1;
}

int History::BoardRecordCount() const {
    int n = 0;
    for (int s = 1; s <= ring_.usedSlots; ++s) {
        if (ring_.slotKind[static_cast<std::size_t>(s)] == kHistoryBoard) ++n;
    }
    return n;
}

int History::FindHistoryName(std::string_view text) const {
    const std::string name = NormalizeHistoryName(text);
    for (int i = names_.count(); i >= 1; --i) {
        if (names_.entries[static_cast<std::size_t>(i - 1)].name == name) return i;
    }
    return 0;
}

int History::FindNameBySlot(int slot) const {
    for (int i = names_.count(); i >= 1; --i) {
        if (names_.entries[static_cast<std::size_t>(i - 1)].slot == slot) return i;
    }
    return 0;
}

std::vector<HistorySetInfo> History::SetsInRingOrder() const {
    std::vector<HistorySetInfo> sets;
    int slot = OldestSlot();
    for (int visited = 0; visited < ring_.usedSlots; ++visited) {
        const auto k = static_cast<std::size_t>(slot);
        if (ring_.slotKind[k] == kHistoryName && ring_.slotName[k] > 0) {
            sets.push_back({slot, ring_.slotSetSize[k],
                            names_.entries[static_cast<std::size_t>(ring_.slotName[k] - 1)].name});
        }
        if (++slot > ring_.usedSlots) slot = 1;
    }
    return sets;
}

void History::Advance() {
    if (ring_.usedSlots < ring_.writeSlot) ring_.usedSlots = ring_.writeSlot;
    ring_.writeSlot = static_cast<std::int16_t>(ring_.writeSlot >= kHistorySlots ? 1 : ring_.writeSlot + 1);
}

bool History::WriteThrough(const Services& ctx, int slot, const HistoryRecord& record) {
    if (fd_ < 0) return true; // a history in memory only
    if (writeFailed_) return false;
    if (WriteRecordAt(fd_, slot, record)) return true;
    const int error = errno;
    writeFailed_ = true;
    notice_ = "history file cannot be written - not recording";
    ReportError(ctx.dialogs, ctx.log, ErrorText(error), Buttons::Ok, Icon::Critical, kWriteErrorTitle);
    return false;
}

bool History::RecordHistory(const Services& ctx, const BoardSet& set, const std::string& name) {
    if (set.lastBoard < 1 || readOnly_) return false;
    const std::string recorded = NormalizeHistoryName(name);
    if (recorded.empty()) return false;
    if (FindHistoryName(recorded) != 0) {
        const Answer a = ctx.dialogs.Show(FormatMessage(MsgHistoryDuplicate, recorded), "Record History",
                                          Buttons::YesNo, Icon::Question);
        if (a != Answer::Yes) return false;
    }

    bool written = true;
    const int first = std::max<int>(set.firstBoard, 1);
    const int last = std::min<int>(set.lastBoard, kMaxBoard);
    {
        const int slot = ring_.writeSlot;
        const auto k = static_cast<std::size_t>(slot);
        written =
            WriteThrough(ctx, slot, MakeNameRecord(recorded, set.lastBoard - set.firstBoard + 1)) && written;
        ring_.slotKind[k] = kHistoryName;
        ring_.slotName[k] = AddName(recorded, slot);
        ring_.slotSetSize[k] = set.lastBoard - set.firstBoard + 1;
        Advance();
    }
    for (int b = first; b <= last; ++b) {
        const Board& board = set[b];
        if (board.status != kBoardComplete) continue;
        const int slot = ring_.writeSlot;
        const auto k = static_cast<std::size_t>(slot);
        written = WriteThrough(ctx, slot, MakeBoardRecord(board, b)) && written;
        ring_.slotKind[k] = kHistoryBoard;
        ring_.slotName[k] = 0;
        ring_.slotBoard[k] = board;
        ring_.slotMasks[k] = MasksOf(board);
        Advance();
    }
    {
        const int slot = ring_.writeSlot;
        const auto k = static_cast<std::size_t>(slot);
        written = WriteThrough(ctx, slot, MakeEndMarker()) && written;
        ring_.slotKind[k] = kHistoryEnd;
        ring_.slotName[k] = 0;
        // The end marker is a record of the file too: the walk over the ring must reach the slot before it.
        if (ring_.usedSlots < slot) ring_.usedSlots = static_cast<std::int16_t>(slot);
    }
    return written;
}

// ---- Start-up ---------------------------------------------------------------------------------------

fs::path History::DefaultPath() {
    fs::path folder;
#ifdef _WIN32
    if (const char* local = std::getenv("LOCALAPPDATA"); local != nullptr && *local != '\0') {
        folder = fs::path(local) / "orvenix";
    } else {
        folder = fs::path(HomeDirectory()) / "orvenix";
    }
#else
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && *xdg == '/') {
        folder = fs::path(xdg) / "orvenix";
    } else {
        folder = fs::path(HomeDirectory()) / ".local" / "share" / "orvenix";
    }
#endif
    std::error_code ec;
    fs::create_directories(folder, ec); // a failure shows when the file is opened
    return folder / "history.dat";
}

std::unique_ptr<History> History::Startup(const Services& ctx, const fs::path& path) {
    std::error_code ec;
    if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);

    const OpenResult opened = OpenHistoryFile(path);
    if (opened.fd < 0) {
        ReportError(ctx.dialogs, ctx.log, ErrorText(opened.error), Buttons::Ok, Icon::Exclamation,
                    kReadErrorTitle);
        return nullptr;
    }
    auto history = std::make_unique<History>();
    history->path_ = path;
    history->fd_ = opened.fd;
    if (!opened.writable) {
        // Still useful for the filters; the operator is told once that nothing will be recorded.
        history->readOnly_ = true;
        history->notice_ = "history file is read-only - not recording";
        ReportError(ctx.dialogs, ctx.log,
                    ErrorText(opened.error) + "\nThe history is used, but no set will be recorded in it.",
                    Buttons::Ok, Icon::Exclamation, kReadErrorTitle);
    } else if (TryLock(opened.fd) == LockResult::HeldByOther) {
        history->readOnly_ = true;
        history->notice_ = "history in use by another Orvenix window - not recording";
    }

    const long long length = FileLength(opened.fd);
    if (length < 0) {
        ReportError(ctx.dialogs, ctx.log, ErrorText(errno), Buttons::Ok, Icon::Exclamation, kReadErrorTitle);
        return nullptr;
    }
    const std::size_t limit = static_cast<std::size_t>(kHistorySlots) * kHistoryRecordSize;
    std::vector<std::uint8_t> bytes(std::min<std::size_t>(static_cast<std::size_t>(length), limit));
    const long long got = ReadFromStart(opened.fd, bytes.data(), bytes.size());
    if (got < 0) {
        ReportError(ctx.dialogs, ctx.log, ErrorText(errno), Buttons::Ok, Icon::Exclamation, kReadErrorTitle);
        return nullptr;
    }
    // A short read means the file shrank meanwhile: only what was read counts.
    const bool shortRead = static_cast<std::size_t>(got) < bytes.size();
    bytes.resize(static_cast<std::size_t>(got));
    const std::uint64_t total = shortRead ? bytes.size() : static_cast<std::uint64_t>(length);
    const HistoryLoadReport report = history->Load(bytes.data(), bytes.size(), total);

    if (!report.Clean()) {
        const std::string text = "Parts of the history file " + path.string() + " could not be used:\n" +
                                 report.Describe() + "Everything else was read.";
        ReportError(ctx.dialogs, ctx.log, text, Buttons::Ok, Icon::Exclamation, kReadErrorTitle);
    }
    std::string status = "History records: " + std::to_string(history->BoardRecordCount());
    if (!history->notice_.empty()) status += " (" + history->notice_ + ")";
    ctx.StatusText(status);
    return history;
}

} // namespace orvenix
