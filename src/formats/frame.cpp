#include "formats/frame.h"

#include "base/messages.h"
#include "formats/bre.h"
#include "formats/bri.h"
#include "formats/dge.h"
#include "formats/dup.h"
#include "formats/pbn.h"
#include "base/text_encoding.h"
#include "formats/zeta771.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvenix {
namespace fs = std::filesystem;

namespace {

constexpr std::array<FormatInfo, 6> kFormats{{
    {FileFormat::Bri, "bri", "BRI", false, false, true},
    {FileFormat::Dge, "dge", "DGE", false, false, true},
    {FileFormat::Bre, "bre", "BRE", true, true, false},
    {FileFormat::Dup, "dup", "DUP", false, false, false},
    {FileFormat::Pbn, "pbn", "PBN", true, true, false},
    {FileFormat::Zeta771, "all", "ZETA771", false, false, true},
}};

// The extensions in dialog order, as the stored format is looked up in them.
constexpr std::string_view kFormatPositions = "  .bri.dge.bre.dup.pbn.all";

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

fs::path PathFromUtf8(const std::string& path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

FileFailure FailureOf(const std::error_code& ec) {
    return FileFailure{ec.value(), ec.message()};
}

FileFailure FailureOfErrno(int error) {
    if (error == 0) error = EIO;
    return FileFailure{error, std::strerror(error)};
}

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
    std::wstring wmode(mode, mode + std::strlen(mode));
    return _wfopen(path.c_str(), wmode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

// Answers every question Yes and keeps the texts: the dialogs of a caller without windows.
class AnsweringDialogs : public Dialogs {
  public:
    Answer Message(const MessageRequest& request) override {
        if (request.buttons == Buttons::YesNo || request.buttons == Buttons::YesNoCancel) {
            questions.push_back(request.text);
            return Answer::Yes;
        }
        refusals.push_back(request.text);
        return Answer::Ok;
    }
    std::optional<FileDialogResult> FileDialog(const FileDialogRequest&) override { return std::nullopt; }

    std::vector<std::string> questions;
    std::vector<std::string> refusals;
};

} // namespace

const std::array<FormatInfo, 6>& BoardSetFormats() {
    return kFormats;
}

const FormatInfo& InfoOf(FileFormat format) {
    for (const FormatInfo& info : kFormats) {
        if (info.format == format) return info;
    }
    return kFormats[0];
}

std::optional<FileFormat> FormatOfExtension(std::string_view extension) {
    const std::string lower = Lower(extension);
    for (const FormatInfo& info : kFormats) {
        if (lower == info.extension) return info.format;
    }
    return std::nullopt;
}

std::string ExtensionOf(std::string_view title) {
    const std::size_t dot = title.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(title.substr(dot + 1));
}

ReadResult ReadBoardSet(FileFormat format, std::string_view bytes, BoardSet& set, bool* needsBoardNumbers) {
    bool kept = false;
    ReadResult result;
    switch (format) {
    case FileFormat::Bri:
        result = ReadBri(bytes, set);
        break;
    case FileFormat::Dge:
        result = ReadDge(bytes, set);
        break;
    case FileFormat::Bre:
        result = ReadBre(bytes, set);
        break;
    case FileFormat::Dup:
        result = ReadDup(bytes, set, &kept);
        break;
    case FileFormat::Pbn:
        result = ReadPbn(bytes, set);
        kept = true;
        break;
    case FileFormat::Zeta771:
        result = ReadZeta771(bytes, set);
        break;
    }
    if (needsBoardNumbers != nullptr) *needsBoardNumbers = !result && !kept;
    return result;
}

std::string WriteBoardSet(FileFormat format, const BoardSet& set) {
    switch (format) {
    case FileFormat::Bri:
        return WriteBri(set);
    case FileFormat::Dge:
        return WriteDge(set);
    case FileFormat::Bre:
        return WriteBre(set);
    case FileFormat::Dup:
        return WriteDup(set);
    case FileFormat::Pbn:
        return WritePbn(set);
    case FileFormat::Zeta771:
        return WriteZeta771(set);
    }
    return {};
}

void ClearForLoad(BoardSet& set) {
    set.ClearAllBoards();
    set.firstBoard = 1;
    set.lastBoard = 0;
    set.currentBoard = 1;
    set.eventName.clear();
    set.eventSite.clear();
    set.eventDate.clear();
    set.eventTextsUtf8 = false;
}

std::string IncompleteBoardList(const BoardSet& set) {
    std::string list;
    bool cut = false;
    if (set.firstBoard < 1 || set.lastBoard > kMaxBoard) return list;
    for (int b = set.firstBoard; b <= set.lastBoard; ++b) {
        if (set[b].status == kBoardComplete) continue;
        if (list.size() < 30) {
            if (!list.empty()) list += ", ";
            list += std::to_string(b);
        } else if (!cut) {
            list += ".... ";
            cut = true;
        }
    }
    return list;
}

bool SaveChecks(FileFormat format, const BoardSet& set, const std::string& incompleteList, Dialogs& dialogs) {
    const FormatInfo& info = InfoOf(format);
    const bool several = incompleteList.size() > 3;
    if (!incompleteList.empty()) {
        if (info.keepsIncomplete) {
            const std::string text = ReplaceAll(
                FormatMessage(several ? MsgBoardsIncompleteProceed : MsgBoardIncompleteProceed, info.name),
                "nnn", incompleteList);
            if (dialogs.Show(text, "Save Board Set", Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
                return false;
        } else {
            const std::string text = ReplaceAll(
                FormatMessage(several ? MsgBoardsIncompleteCannotSave : MsgBoardIncompleteCannotSave,
                              info.name),
                "nnn", incompleteList);
            dialogs.Show(text, "Save Error", Buttons::Ok, Icon::Critical);
            return false;
        }
    }
    if (!info.keepsEventTexts) {
        if (dialogs.Show(FormatMessage(MsgEventInfoNotSupported, info.name), "Save Boards Set",
                         Buttons::YesNo, Icon::Information) != Answer::Yes) {
            return false;
        }
    }
    if (info.asksFirstBoard && set.firstBoard != 1) {
        if (dialogs.Show(FormatMessage(MsgFirstBoardNotOne, info.name), "Save Boards Set", Buttons::YesNo,
                         Icon::Information) != Answer::Yes) {
            return false;
        }
    }
    if (format == FileFormat::Pbn &&
        (HasPbnForbiddenCharacters(set.eventName) || HasPbnForbiddenCharacters(set.eventDate) ||
         HasPbnForbiddenCharacters(set.eventSite))) {
        dialogs.Show(FormatMessage(MsgPbnForbiddenCharacters), "Save Error", Buttons::Ok, Icon::Critical);
        return false;
    }
    return true;
}

// ---- Files -------------------------------------------------------------------------------------------

std::optional<FileFailure> ReadFileBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    const fs::path p = PathFromUtf8(path);
    std::error_code ec;
    const fs::file_status st = fs::status(p, ec);
    if (ec) return FailureOf(ec);
    if (fs::is_directory(st)) return FailureOfErrno(EISDIR);
    // Devices, pipes and sockets could block or never end: only plain files are read.
    if (!fs::is_regular_file(st)) return FileFailure{EINVAL, "Not a regular file"};
    const std::uintmax_t size = fs::file_size(p, ec);
    if (ec) return FailureOf(ec);
    const std::string tooLarge = "File too large (a board set file has at most " +
                                 std::to_string(kMaxBoardSetFileBytes / (1024 * 1024)) + " MiB)";
    if (size > kMaxBoardSetFileBytes) return FileFailure{EFBIG, tooLarge};

    errno = 0;
    std::FILE* f = OpenFile(p, "rb");
    if (f == nullptr) return FailureOfErrno(errno);
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t got = 0;
    bool failed = false;
    // The file may have grown or shrunk since its size was taken: read up to one byte past the bound.
    while (true) {
        if (got == bytes.size()) {
            if (bytes.size() > kMaxBoardSetFileBytes) break;
            bytes.resize(std::min(bytes.size() + 65536, kMaxBoardSetFileBytes + 1));
        }
        const std::size_t n = std::fread(bytes.data() + got, 1, bytes.size() - got, f);
        got += n;
        if (n == 0) {
            failed = std::ferror(f) != 0;
            break;
        }
    }
    const int readError = errno;
    std::fclose(f);
    if (failed) {
        bytes.clear();
        return FailureOfErrno(readError);
    }
    bytes.resize(got);
    if (bytes.size() > kMaxBoardSetFileBytes) {
        bytes.clear();
        return FileFailure{EFBIG, tooLarge};
    }
    return std::nullopt;
}

std::optional<FileFailure> WriteFileSafely(const std::string& path, std::string_view bytes) {
    fs::path target = PathFromUtf8(path);
    std::error_code ec;
    // Write through a link to the file it names, so that the link survives.
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";

    static std::atomic<unsigned> counter{0};
    fs::path temp;
    std::FILE* f = nullptr;
    int openError = 0;
    for (int attempt = 0; attempt < 100 && f == nullptr; ++attempt) {
        const auto stamp = static_cast<unsigned long long>(
            std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007ULL);
        temp = folder / fs::path(std::u8string(u8".") + target.filename().u8string() + u8".tmp" +
                                 std::u8string(reinterpret_cast<const char8_t*>(
                                     std::to_string(stamp + counter.fetch_add(1)).c_str())));
        errno = 0;
        f = OpenFile(temp, "wbx");
        openError = errno;
        if (f == nullptr && openError != EEXIST) break;
    }
    if (f == nullptr) return FailureOfErrno(openError);

    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int error = ok ? 0 : errno;
    if (ok && std::fflush(f) != 0) {
        ok = false;
        error = errno;
    }
#ifndef _WIN32
    if (ok && ::fsync(fileno(f)) != 0) {
        ok = false;
        error = errno;
    }
#endif
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok) {
        // A file that is replaced keeps its permissions.
        const fs::file_status old = fs::status(target, ec);
        if (!ec && fs::is_regular_file(old)) fs::permissions(temp, old.permissions(), ec);
        fs::rename(temp, target, ec);
        if (!ec) return std::nullopt;
    }
    std::error_code ignored;
    fs::remove(temp, ignored);
    return ok ? FailureOf(ec) : FailureOfErrno(error);
}

void LoadErrorBox(Dialogs& dialogs, int errorNumber, const std::string& description) {
    dialogs.Show(FormatMessage(MsgLoadError, std::to_string(errorNumber), description), "Load Error",
                 Buttons::Ok, Icon::Critical);
}

void SaveErrorBox(Dialogs& dialogs, int errorNumber, const std::string& description) {
    dialogs.Show(FormatMessage(MsgSaveError, std::to_string(errorNumber), description), "Save Error",
                 Buttons::Ok, Icon::Critical);
}

// ---- Board numbers after a load ------------------------------------------------------------------------

bool PlaceLoadedBoards(BoardSet& set, int first) {
    const int n = set.lastBoard;
    if (set.firstBoard != 1 || n < 1 || n > kMaxBoard || first < 1 || first > MaxFirstBoard(n)) return false;
    for (int k = n; k >= 1; --k)
        set[k + first - 1] = set[k];
    // The slots below the new first board held the boards before they moved: they are outside the set now.
    for (int k = 1; k < first; ++k)
        set[k] = Board{};
    set.firstBoard = static_cast<std::int16_t>(first);
    set.lastBoard = static_cast<std::int16_t>(n + first - 1);
    set.Renumber();
    return true;
}

std::string IncorrectFirstBoardText(int maxFirst) {
    return FormatMessage(MsgIncorrectFirstBoard, std::to_string(maxFirst));
}

// ---- Whole files without windows ---------------------------------------------------------------------

// Clears the set and reads the file into it (the set stays as the reader left it on failure).
LoadAttempt LoadFileInto(const std::string& path, BoardSet& set) {
    LoadAttempt a;
    ClearForLoad(set);
    const std::string title = FileNameOf(path);
    const std::size_t dot = title.rfind('.');
    a.extension = dot == std::string::npos ? std::string() : Upper(title.substr(dot + 1));
    const std::optional<FileFormat> format =
        dot == std::string::npos ? std::nullopt : FormatOfExtension(a.extension);
    if (!format) {
        a.failure = LoadFailure::UnknownFormat;
        return a;
    }
    a.formatName = InfoOf(*format).name;
    std::string bytes;
    if (auto failure = ReadFileBytes(path, bytes)) {
        a.failure = LoadFailure::File;
        a.file = *failure;
        return a;
    }
    if (ReadResult fault = ReadBoardSet(*format, bytes, set, &a.needsBoardNumbers)) {
        a.failure = LoadFailure::Format;
        a.format = *fault;
    }
    return a;
}

// Checks and writes the set to path; every refusal and failure is shown through dialogs.
bool SaveCheckedFile(FileFormat format, const std::string& path, const BoardSet& set, const std::string& list,
                 Dialogs& dialogs) {
    if (!SaveChecks(format, set, list, dialogs)) return false;
    if (auto failure = WriteFileSafely(path, WriteBoardSet(format, set))) {
        SaveErrorBox(dialogs, failure->errorNumber, failure->description);
        return false;
    }
    return true;
}



FileOutcome LoadBoardSetFile(const std::string& path, BoardSet& set) {
    FileOutcome out;
    const LoadAttempt a = LoadFileInto(path, set);
    out.formatName = a.formatName;
    switch (a.failure) {
    case LoadFailure::None:
        out.ok = true;
        out.needsBoardNumbers = a.needsBoardNumbers;
        set.fileName = path;
        set.modified = false;
        return out;
    case LoadFailure::UnknownFormat:
        out.error = FormatMessage(MsgUnknownFormatLoad, a.extension);
        break;
    case LoadFailure::File:
        out.error = FormatMessage(MsgLoadError, std::to_string(a.file.errorNumber), a.file.description);
        break;
    case LoadFailure::Format:
        out.error = a.format.Text();
        break;
    }
    ClearForLoad(set);
    return out;
}

FileOutcome SaveBoardSetFile(const std::string& path, const BoardSet& set) {
    FileOutcome out;
    const std::string title = FileNameOf(path);
    const std::size_t dot = title.rfind('.');
    const std::optional<FileFormat> format =
        dot == std::string::npos ? std::nullopt : FormatOfExtension(title.substr(dot + 1));
    if (!set.exists()) {
        out.error = FormatMessage(MsgNoBoardSet);
        return out;
    }
    if (!format) {
        out.error = FormatMessage(MsgUnknownFormatSave, title);
        return out;
    }
    out.formatName = InfoOf(*format).name;
    AnsweringDialogs dialogs;
    out.ok = SaveCheckedFile(*format, path, set, IncompleteBoardList(set), dialogs);
    out.warnings = dialogs.questions;
    if (!out.ok && !dialogs.refusals.empty()) out.error = dialogs.refusals.back();
    return out;
}

// ---- File dialogs ----------------------------------------------------------------------------------------

std::vector<std::string> SaveFilters() {
    std::vector<std::string> filters;
    for (const FormatInfo& info : kFormats) {
        const std::string label = info.format == FileFormat::Zeta771 ? info.name : info.extension;
        filters.push_back(label + " (*." + info.extension + ")");
    }
    return filters;
}

std::vector<std::string> LoadFilters() {
    std::vector<std::string> filters{"All files (*.*)"};
    for (std::string& f : SaveFilters())
        filters.push_back(std::move(f));
    return filters;
}

int LoadFilterIndex(const std::string& initFormat) {
    const std::size_t found = kFormatPositions.find(initFormat);
    const int position = found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
    return (position + 4) / 4 - 1;
}

int SaveFilterIndex(const std::string& initFormat) {
    const std::size_t found = kFormatPositions.find(initFormat);
    const int position = found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
    return position / 4 - 1;
}

std::string StartDirectory(const std::string& stored) {
    if (!stored.empty()) {
        std::error_code ec;
        if (fs::is_directory(PathFromUtf8(stored), ec)) return stored;
    }
    return HomeDirectory();
}

std::string DirectoryWithSeparator(const std::string& path) {
    const std::size_t pos = path.find_last_of("/\\:");
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

} // namespace orvenix
