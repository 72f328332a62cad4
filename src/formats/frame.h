// The load and save frame: picking a board-set file's format by the extension, the checks and questions
// before a set is written, the error boxes, and the file dialogs' filters.
//
// Three levels, from the plainest:
//  - ReadBoardSet / WriteBoardSet: bytes in, bytes out, for one format.
//  - LoadBoardSetFile / SaveBoardSetFile: a whole file by its path, without any window. Questions are
//    answered Yes and returned as warnings; a refusal or failure comes back as the message text. This is
//    what the command-line tool and other non-interactive callers use:
//        BoardSet set;
//        FileOutcome in = LoadBoardSetFile("club.pbn", set);          // in.ok, in.error
//        FileOutcome out = SaveBoardSetFile("club.dup", set);         // out.warnings, out.error
// The main window's Load and Save commands, with the file dialogs, the questions, the settings, the history
// and the status line, are the application's (app/file_commands.h).
//
// Files are read whole (at most kMaxBoardSetFileBytes) and written through a temporary file beside the
// target that replaces it only once everything was written, so a failed save leaves the old file intact.
#pragma once

#include "base/dialogs.h"
#include "base/messages.h"
#include "base/settings.h"
#include "formats/format.h"
#include "model/board.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvenix {

enum class FileFormat { Bri, Dge, Bre, Dup, Pbn, Zeta771 };

struct FormatInfo {
    FileFormat format;
    const char* extension; // lower case, without the dot
    const char* name;      // the format's name in messages
    bool keepsEventTexts;  // BRE and PBN write the event name, site and date
    bool keepsIncomplete;  // BRE and PBN may save incomplete boards (after a question)
    bool asksFirstBoard;   // BRI, DGE and ZETA771 lose a first board number other than 1
};

// The six formats in the order of the file dialogs.
const std::array<FormatInfo, 6>& BoardSetFormats();
const FormatInfo& InfoOf(FileFormat format);
// The format named by an extension (without the dot, any case); nothing for any other extension.
std::optional<FileFormat> FormatOfExtension(std::string_view extension);
// The text after the last "." of a file title, or "" when it has none.
std::string ExtensionOf(std::string_view title);

// Reads bytes with the format's reader into a set the caller has cleared. needsBoardNumbers (when given)
// tells whether the boards were placed at 1..N for want of board numbers in the file, so that the user may
// move them (all fixed-record formats and BRE; DUP only when its stored numbers did not fit).
ReadResult ReadBoardSet(FileFormat format, std::string_view bytes, BoardSet& set,
                        bool* needsBoardNumbers = nullptr);
// The bytes of the file of the set in the format.
std::string WriteBoardSet(FileFormat format, const BoardSet& set);

// Empties the set the way a load starts and a failed load ends: all 640 slots cleared, firstBoard 1,
// lastBoard 0, currentBoard 1, no event texts.
void ClearForLoad(BoardSet& set);

// The incomplete boards of the set as the save checks show them: "3, 7", cut after the number that takes
// the list to 30 characters or more, followed then by ".... ". Empty when every board is complete.
std::string IncompleteBoardList(const BoardSet& set);

// The checks before saving, in the order of the format: the incomplete-board refusal or question, the
// event-information and first-board questions, and PBN's forbidden characters. Questions and refusals go
// through dialogs. True when the file may be written.
bool SaveChecks(FileFormat format, const BoardSet& set, const std::string& incompleteList, Dialogs& dialogs);

// ---- Files -------------------------------------------------------------------------------------------
inline constexpr std::size_t kMaxBoardSetFileBytes = 16U * 1024U * 1024U;

struct FileFailure {
    int errorNumber = 0;     // errno
    std::string description; // its text
};

// Reads a whole regular file of at most kMaxBoardSetFileBytes.
std::optional<FileFailure> ReadFileBytes(const std::string& path, std::string& bytes);
// Writes bytes to a temporary file in the target's folder and renames it over the target. On failure the
// target is untouched and the temporary file removed.
std::optional<FileFailure> WriteFileSafely(const std::string& path, std::string_view bytes);

// The critical "Load Error" / "Save Error" boxes with the error number and description.
void LoadErrorBox(Dialogs& dialogs, int errorNumber, const std::string& description);
void SaveErrorBox(Dialogs& dialogs, int errorNumber, const std::string& description);

// ---- Board numbers after a load (the board-number dialog) ----------------------------------------------
// The largest first board at which n loaded boards still fit.
constexpr int MaxFirstBoard(int n) {
    return kMaxBoard - n + 1;
}
// Moves the loaded boards 1..N (N = lastBoard) to first..N + first - 1 and renumbers them with their
// standard dealers and vulnerabilities; the slots below first are emptied. False, and nothing changed,
// when first is outside 1..MaxFirstBoard(N) or the set does not start at board 1.
bool PlaceLoadedBoards(BoardSet& set, int first);
// The refusal of a first board outside 1..maxFirst.
std::string IncorrectFirstBoardText(int maxFirst);

// ---- Whole files without windows ---------------------------------------------------------------------
// One attempt at loading a file: why it failed, if it did.
enum class LoadFailure { None, UnknownFormat, File, Format };

struct LoadAttempt {
    LoadFailure failure = LoadFailure::None;
    std::string extension;
    std::string formatName;
    FileFailure file;
    FormatError format{MsgFmtFileEmpty, {}, {}};
    bool needsBoardNumbers = false;
};

// Clears the set and reads the file into it by the format of its extension (the set stays as the reader
// left it on failure).
LoadAttempt LoadFileInto(const std::string& path, BoardSet& set);
// The save checks, then the file written safely; every refusal and failure is shown through dialogs.
bool SaveCheckedFile(FileFormat format, const std::string& path, const BoardSet& set,
                     const std::string& incompleteList, Dialogs& dialogs);

struct FileOutcome {
    bool ok = false;
    std::string error;                 // the message text of the refusal or failure
    std::vector<std::string> warnings; // the questions asked, all answered Yes
    std::string formatName;            // of the file's extension, empty when it names no format
    bool needsBoardNumbers = false;    // load: the boards were placed at 1..N for want of board numbers
};

// Clears the set and loads the file. On failure the set is left empty.
FileOutcome LoadBoardSetFile(const std::string& path, BoardSet& set);
// Runs the checks before saving and writes the set in the format of the path's extension.
FileOutcome SaveBoardSetFile(const std::string& path, const BoardSet& set);

// ---- File dialogs ----------------------------------------------------------------------------------------
// The file dialogs' filter entries, "bri (*.bri)" style; the Load dialog has "All files (*.*)" first.
std::vector<std::string> LoadFilters();
std::vector<std::string> SaveFilters();
// Index of the pre-selected entry for the stored "Init_format": Load selects "All files" for a value it
// does not know, Save selects none (-1).
int LoadFilterIndex(const std::string& initFormat);
int SaveFilterIndex(const std::string& initFormat);
// The stored "Init_directory" when it names an existing folder, otherwise the home directory.
std::string StartDirectory(const std::string& stored);
// The path up to and including its last "/", "\\" or ":" ("" when it has none).
std::string DirectoryWithSeparator(const std::string& path);

} // namespace orvenix
