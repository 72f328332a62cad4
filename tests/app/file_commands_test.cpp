#include "app/context.h"
#include "app/file_commands.h"
#include "formats/bri.h"
#include "formats/dup.h"
#include "formats/frame.h"
#include "formats/pbn.h"
#include "history/history.h"
#include "support/board_set_samples.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace orvenix;
using namespace orvenix::test;
namespace fs = std::filesystem;

namespace {

// The program's services around one board set, with scripted dialogs and a record of the status line.
struct Frame {
    TempDir dir;
    BoardSet set;
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log{dir.path() / "dealer.log"};
    AppContext ctx{set, dialogs, settings, log};
    std::vector<std::string> statuses;
    std::vector<std::string> chosenFormats;
    int refreshes = 0;
    int placeAt = 0; // first board the board-number dialog chooses; 0 leaves the boards where they are
    FileCommandHooks hooks;

    Frame() {
        ctx.status = [this](const std::string& s) { statuses.push_back(s); };
        hooks.refresh = [this] { ++refreshes; };
        hooks.chooseBoardNumbers = [this](BoardSet& s, const std::string& format) {
            chosenFormats.push_back(format);
            if (placeAt != 0) PlaceLoadedBoards(s, placeAt);
        };
    }
    [[nodiscard]] std::string Status() const { return statuses.empty() ? "" : statuses.back(); }
    [[nodiscard]] bool SawStatus(const std::string& s) const {
        return std::find(statuses.begin(), statuses.end(), s) != statuses.end();
    }
    // Writes a file of the set in the format of the name's extension and returns its path.
    std::string Prepare(const std::string& name, const BoardSet& content) {
        const std::string path = dir.File(name);
        WriteFile(path, WriteBoardSet(*FormatOfExtension(ExtensionOf(name)), content));
        return path;
    }
};

} // namespace

// ---- Load ---------------------------------------------------------------------------------------------

TEST(LoadCommand, BriIntoAnUnchangedSetAsksNothingAndRemembersTheFormat) {
    Frame f;
    const BoardSet content = RandomSet(1, 3);
    const std::string path = f.Prepare("club.bri", content);
    f.dialogs.QueueFile(path);

    EXPECT_TRUE(LoadCommand(f.ctx, f.hooks));
    EXPECT_TRUE(f.dialogs.messages.empty());
    ASSERT_EQ(f.dialogs.fileRequests.size(), 1U);
    const FileDialogRequest& req = f.dialogs.fileRequests[0];
    EXPECT_FALSE(req.save);
    EXPECT_EQ(req.title, "Open Board Set file");
    EXPECT_EQ(req.directory, HomeDirectory()); // nothing stored yet
    ASSERT_EQ(req.filters.size(), 7U);
    EXPECT_EQ(req.filters[0], "All files (*.*)");
    EXPECT_EQ(req.filters[1], "bri (*.bri)");
    EXPECT_EQ(req.filters[6], "ZETA771 (*.all)");
    EXPECT_EQ(req.selectedFilter, 0); // the default "BRI" is upper case and selects "All files"

    EXPECT_EQ(f.settings.values[keys::kInitFormat], "bri");
    EXPECT_EQ(f.settings.values[keys::kInitDirectory], f.dir.path().string() + "/");
    EXPECT_EQ(f.Status(), "Boards loaded: 3");
    EXPECT_TRUE(f.SawStatus("Loading"));
    EXPECT_EQ(f.set.fileName, path);
    EXPECT_FALSE(f.set.modified);
    EXPECT_EQ(f.chosenFormats, std::vector<std::string>{"BRI"});
    EXPECT_TRUE(SameBoards(content, f.set, 1, 3));
    EXPECT_GE(f.refreshes, 1);
}

TEST(LoadCommand, TheLoadNumberStepMovesTheBoards) {
    Frame f;
    const BoardSet content = RandomSet(1, 4);
    f.dialogs.QueueFile(f.Prepare("set.all", content));
    f.placeAt = 9;
    ASSERT_TRUE(LoadCommand(f.ctx, f.hooks));
    EXPECT_EQ(f.chosenFormats, std::vector<std::string>{"ZETA771"});
    EXPECT_EQ(f.set.firstBoard, 9);
    EXPECT_EQ(f.set.lastBoard, 12);
    EXPECT_EQ(f.set[9].cardOwner, content[1].cardOwner);
    EXPECT_EQ(f.set[12].number, 12);
    EXPECT_EQ(f.Status(), "Boards loaded: 4");
    EXPECT_EQ(f.settings.values[keys::kInitFormat], "all");
}

TEST(LoadCommand, DupWithFittingNumbersAndPbnSkipTheLoadNumberStep) {
    Frame f;
    f.dialogs.QueueFile(f.Prepare("a.dup", RandomSet(17, 32)));
    ASSERT_TRUE(LoadCommand(f.ctx, f.hooks));
    EXPECT_EQ(f.set.firstBoard, 17);
    EXPECT_TRUE(f.chosenFormats.empty());

    f.dialogs.QueueFile(f.Prepare("b.pbn", RandomSet(3, 5)));
    ASSERT_TRUE(LoadCommand(f.ctx, f.hooks));
    EXPECT_EQ(f.set.firstBoard, 3);
    EXPECT_TRUE(f.chosenFormats.empty());

    // A one-board DUP file carries no usable numbers: the user places it.
    f.dialogs.QueueFile(f.Prepare("c.DUP", RandomSet(1, 1)));
    ASSERT_TRUE(LoadCommand(f.ctx, f.hooks));
    EXPECT_EQ(f.chosenFormats, std::vector<std::string>{"DUP"});
    EXPECT_EQ(f.settings.values[keys::kInitFormat], "dup");
}

TEST(LoadCommand, StoredFormatPreselectsItsFilter) {
    EXPECT_EQ(LoadFilterIndex("bri"), 1);
    EXPECT_EQ(LoadFilterIndex("dge"), 2);
    EXPECT_EQ(LoadFilterIndex("all"), 6);
    EXPECT_EQ(LoadFilterIndex("BRI"), 0);
    EXPECT_EQ(LoadFilterIndex(""), 0);
    EXPECT_EQ(SaveFilterIndex("bri"), 0);
    EXPECT_EQ(SaveFilterIndex("pbn"), 4);
    EXPECT_EQ(SaveFilterIndex("all"), 5);
    EXPECT_EQ(SaveFilterIndex("BRI"), -1);
    EXPECT_EQ(SaveFilterIndex("xyz"), -1);

    Frame f;
    f.settings.Write(keys::kInitFormat, "pbn");
    f.settings.Write(keys::kInitDirectory, f.dir.path().string() + "/");
    LoadCommand(f.ctx, f.hooks); // cancelled
    ASSERT_EQ(f.dialogs.fileRequests.size(), 1U);
    EXPECT_EQ(f.dialogs.fileRequests[0].selectedFilter, 5);
    EXPECT_EQ(f.dialogs.fileRequests[0].directory, f.dir.path().string() + "/");
}

TEST(LoadCommand, StoredDirectoryThatDoesNotExistFallsBackToHome) {
    EXPECT_EQ(StartDirectory("c:"), HomeDirectory());
    EXPECT_EQ(StartDirectory(""), HomeDirectory());
    EXPECT_EQ(StartDirectory("/no/such/folder/"), HomeDirectory());
    EXPECT_EQ(DirectoryWithSeparator("/home/td/sets/club.pbn"), "/home/td/sets/");
    EXPECT_EQ(DirectoryWithSeparator("c:\\sets\\club.pbn"), "c:\\sets\\");
    EXPECT_EQ(DirectoryWithSeparator("c:club.pbn"), "c:");
    EXPECT_EQ(DirectoryWithSeparator("club.pbn"), "");
}

TEST(LoadCommand, UnsavedSetIsOfferedForSaving) {
    Frame f;
    f.set = RandomSet(1, 2);
    f.set.modified = true;
    const BoardSet before = f.set;

    // Cancel: nothing happens, no file dialog.
    f.dialogs.QueueAnswer(Answer::Cancel);
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.Last().text, FormatMessage(MsgSetNotSaved));
    EXPECT_EQ(f.dialogs.Last().title, "Load New Board Set");
    EXPECT_EQ(f.dialogs.Last().buttons, Buttons::YesNoCancel);
    EXPECT_EQ(f.dialogs.Last().icon, Icon::Exclamation);
    EXPECT_TRUE(f.dialogs.fileRequests.empty());
    EXPECT_TRUE(f.set.modified);
    EXPECT_EQ(f.Status(), "Ready");

    // Yes, but the save dialog is cancelled: the load stops too.
    f.dialogs.QueueAnswer(Answer::Yes);
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
    ASSERT_EQ(f.dialogs.fileRequests.size(), 1U);
    EXPECT_TRUE(f.dialogs.fileRequests[0].save);
    EXPECT_TRUE(f.set.modified);
    EXPECT_TRUE(SameBoards(before, f.set, 1, 2));

    // Yes and a completed save: the load goes on.
    const std::string saved = f.dir.File("saved.pbn");
    f.dialogs.QueueAnswer(Answer::Yes);
    f.dialogs.QueueFile(saved);
    f.dialogs.QueueFile(f.Prepare("next.dge", RandomSet(1, 5, 4)));
    EXPECT_TRUE(LoadCommand(f.ctx, f.hooks));
    EXPECT_TRUE(fs::exists(saved));
    EXPECT_EQ(f.set.lastBoard, 5);
    EXPECT_FALSE(f.set.modified);
}

TEST(LoadCommand, AnsweringNoAndCancellingTheDialogKeepsTheUnsavedMark) {
    Frame f;
    f.set = RandomSet(1, 2);
    f.set.modified = true;
    f.dialogs.QueueAnswer(Answer::No);
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
    EXPECT_EQ(f.dialogs.fileRequests.size(), 1U);
    EXPECT_EQ(f.set.lastBoard, 2);
    EXPECT_TRUE(f.set.modified); // the set was not replaced, so Exit still offers to save it
    EXPECT_EQ(f.Status(), "Ready");
}

TEST(LoadCommand, UnknownExtensionIsLoggedAndLeavesAnEmptySet) {
    Frame f;
    f.set = RandomSet(1, 4);
    f.set.eventName = "Club";
    const std::string path = f.dir.File("noextension");
    WriteFile(path, "whatever");
    f.dialogs.QueueFile(path);
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.Last().text, FormatMessage(MsgUnknownFormatLoad, ""));
    EXPECT_EQ(PlainMessage(f.dialogs.Last().text), "Unknow file format:\nLoad operation aborted!");
    EXPECT_EQ(f.dialogs.Last().title, "Load Error");
    EXPECT_EQ(f.dialogs.Last().icon, Icon::Critical);
    EXPECT_TRUE(f.SawStatus("Load operation aborted"));
    EXPECT_EQ(f.Status(), "Ready");
    EXPECT_EQ(f.set.lastBoard, 0);
    EXPECT_EQ(f.set.firstBoard, 1);
    EXPECT_TRUE(f.set.eventName.empty());
    EXPECT_EQ(f.set[1], Board{});
    f.log.Close();
    EXPECT_NE(ReadFile((f.dir.path() / "dealer.log").string()).find("Load Error: "), std::string::npos);

    f.dialogs.QueueFile(f.dir.File("table.xyz"));
    LoadCommand(f.ctx, f.hooks);
    EXPECT_EQ(f.dialogs.Last().text, FormatMessage(MsgUnknownFormatLoad, "XYZ"));
}

TEST(LoadCommand, MissingAndUnreadableFilesGiveTheSystemError) {
    Frame f;
    f.dialogs.QueueFile(f.dir.File("gone.bri"));
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.Last().text, FormatMessage(MsgLoadError, std::to_string(ENOENT), std::strerror(ENOENT)));
    EXPECT_EQ(f.dialogs.Last().title, "Load Error");
    EXPECT_EQ(f.Status(), "Ready");
    EXPECT_TRUE(f.set.fileName.empty());

    fs::create_directory(f.dir.path() / "folder.pbn");
    f.dialogs.QueueFile(f.dir.File("folder.pbn"));
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
    EXPECT_EQ(f.dialogs.Last().text, FormatMessage(MsgLoadError, std::to_string(EISDIR), std::strerror(EISDIR)));
}

#ifndef _WIN32
TEST(LoadCommand, PipeIsRefusedWithoutWaitingForAWriter) {
    Frame f;
    const std::string path = f.dir.File("pipe.bri");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    f.dialogs.QueueFile(path);
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks)); // returns at once: nothing opens the pipe
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.Last().text, FormatMessage(MsgLoadError, std::to_string(EINVAL), "Not a regular file"));
    EXPECT_EQ(f.set.lastBoard, 0);
}
#endif

TEST(LoadCommand, FileLargerThanTheBoundIsRefusedUnread) {
    Frame f;
    const std::string path = f.dir.File("huge.pbn");
    WriteFile(path, "");
    fs::resize_file(path, kMaxBoardSetFileBytes + 1);
    f.dialogs.QueueFile(path);
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_NE(f.dialogs.Last().text.find("Error: " + std::to_string(EFBIG) +
                                         " during load operation - File too large"),
              std::string::npos);

    // Exactly at the bound the file is read (and refused by the reader for its content).
    fs::resize_file(path, kMaxBoardSetFileBytes);
    std::string bytes;
    EXPECT_FALSE(ReadFileBytes(path, bytes));
    EXPECT_EQ(bytes.size(), kMaxBoardSetFileBytes);
}

TEST(LoadCommand, FormatErrorEmptiesTheSetAndNamesTheRecord) {
    Frame f;
    std::string bytes = WriteBri(RandomSet(1, 3));
    bytes[2 * 128 + 10] = 'x';
    const std::string path = f.dir.File("bad.bri");
    WriteFile(path, bytes);
    f.dialogs.QueueFile(path);
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_NE(f.dialogs.Last().text.find("in record: 3"), std::string::npos);
    EXPECT_EQ(f.dialogs.Last().title, "Load Error");
    EXPECT_EQ(f.dialogs.Last().icon, Icon::Critical);
    EXPECT_TRUE(f.SawStatus("Load operation aborted"));
    EXPECT_EQ(f.Status(), "Ready");
    EXPECT_EQ(f.set.lastBoard, 0);
    EXPECT_EQ(f.set[1], Board{}); // the two good boards before the fault are gone too
    EXPECT_TRUE(f.chosenFormats.empty());
    EXPECT_EQ(f.settings.values.count(keys::kInitFormat), 0U);
}

TEST(LoadCommand, RecordsTheSetInTheHistoryOnceUnderItsShortName) {
    Frame f;
    History history;
    f.ctx.history = &history;
    f.dialogs.QueueFile(f.Prepare("a-rather-long-name.pbn", RandomSet(1, 4)));
    ASSERT_TRUE(LoadCommand(f.ctx, f.hooks));
    EXPECT_EQ(history.Names().count(), 1);
    EXPECT_EQ(history.FindHistoryName("A-RATHER-LONG"), 1);
    EXPECT_EQ(history.BoardRecordCount(), 4);

    // Loaded again: the name is known, nothing is recorded and nothing asked.
    f.dialogs.QueueFile(f.dir.File("a-rather-long-name.pbn"));
    ASSERT_TRUE(LoadCommand(f.ctx, f.hooks));
    EXPECT_EQ(history.Names().count(), 1);
    EXPECT_TRUE(f.dialogs.messages.empty());
}

// ---- Save ---------------------------------------------------------------------------------------------

TEST(SaveCommand, WritesTheFileAndUpdatesSettingsStatusAndHistory) {
    Frame f;
    History history;
    f.ctx.history = &history;
    f.set = RandomSet(1, 16);
    f.set.modified = true;
    f.settings.Write(keys::kInitFormat, "dup");
    const std::string path = f.dir.File("Club.DUP");
    f.dialogs.QueueFile(path);

    EXPECT_TRUE(SaveCommand(f.ctx, f.hooks));
    ASSERT_EQ(f.dialogs.fileRequests.size(), 1U);
    const FileDialogRequest& req = f.dialogs.fileRequests[0];
    EXPECT_TRUE(req.save);
    EXPECT_EQ(req.title, "Save Board Set");
    EXPECT_EQ(req.filters, (std::vector<std::string>{"bri (*.bri)", "dge (*.dge)", "bre (*.bre)",
                                                     "dup (*.dup)", "pbn (*.pbn)", "ZETA771 (*.all)"}));
    EXPECT_EQ(req.selectedFilter, 3);
    // DUP asks about the event information only.
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.messages[0].text, FormatMessage(MsgEventInfoNotSupported, "DUP"));
    EXPECT_EQ(f.dialogs.messages[0].title, "Save Boards Set");
    EXPECT_EQ(f.dialogs.messages[0].icon, Icon::Information);

    EXPECT_EQ(ReadFile(path), WriteDup(f.set));
    EXPECT_EQ(f.Status(), "Boards Saved: 16");
    EXPECT_EQ(f.settings.values[keys::kInitFormat], "dup");
    EXPECT_EQ(f.settings.values[keys::kInitDirectory], f.dir.path().string() + "/");
    EXPECT_EQ(f.set.fileName, path);
    EXPECT_FALSE(f.set.modified);
    EXPECT_EQ(history.FindHistoryName("club"), 1);

    // Saved again under the same name: the history asks before recording a duplicate.
    f.dialogs.QueueFile(path);
    f.dialogs.QueueAnswer(Answer::Yes); // event information
    f.dialogs.QueueAnswer(Answer::No);  // duplicate history
    EXPECT_TRUE(SaveCommand(f.ctx, f.hooks));
    EXPECT_EQ(f.dialogs.Last().title, "Record History");
    EXPECT_EQ(history.Names().count(), 1);
}

TEST(SaveCommand, WithoutASetNothingIsAsked) {
    Frame f;
    EXPECT_FALSE(SaveCommand(f.ctx, f.hooks));
    EXPECT_TRUE(f.dialogs.fileRequests.empty());
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.Last().text, FormatMessage(MsgNoBoardSet));
    EXPECT_EQ(f.dialogs.Last().title, "Save Error");
    // The refusal stands in the status line while the box is up; the command still ends with "Ready".
    EXPECT_EQ(f.statuses, (std::vector<std::string>{"Saving", FormatMessage(MsgNoBoardSet), "Ready"}));
}

TEST(SaveCommand, CancelAndUnknownExtension) {
    Frame f;
    f.set = RandomSet(1, 2);
    f.set.modified = true;
    EXPECT_FALSE(SaveCommand(f.ctx, f.hooks));
    EXPECT_EQ(f.Status(), "Ready");
    EXPECT_TRUE(f.set.modified);

    f.dialogs.QueueFile(f.dir.File("club.txt"));
    EXPECT_FALSE(SaveCommand(f.ctx, f.hooks));
    EXPECT_EQ(f.dialogs.Last().text, FormatMessage(MsgUnknownFormatSave, "club.txt"));
    EXPECT_EQ(f.dialogs.Last().title, "Save Error");
    EXPECT_TRUE(f.SawStatus("Save operation aborted"));
    EXPECT_EQ(f.Status(), "Ready");
    EXPECT_FALSE(fs::exists(f.dir.File("club.txt")));
    EXPECT_TRUE(f.set.modified);
    f.log.Close();
    EXPECT_FALSE(fs::exists(f.dir.path() / "dealer.log")); // only shown, not logged
}

TEST(SaveCommand, ANameWithoutExtensionTakesTheChosenFileType) {
    Frame f;
    f.set = RandomSet(1, 2);
    const std::vector<std::string> filters = SaveFilters();
    const auto bri = std::find(filters.begin(), filters.end(), "bri (*.bri)") - filters.begin();
    f.dialogs.QueueFile(f.dir.File("tuesday"), static_cast<int>(bri));
    EXPECT_TRUE(SaveCommand(f.ctx, f.hooks));
    EXPECT_TRUE(fs::exists(f.dir.File("tuesday.bri")));
    EXPECT_EQ(f.set.fileName, f.dir.File("tuesday.bri"));
    // Without a chosen type the name stays as typed, and is refused for want of a format.
    f.dialogs.QueueFile(f.dir.File("wednesday"));
    EXPECT_FALSE(SaveCommand(f.ctx, f.hooks));
    EXPECT_EQ(f.dialogs.Last().text, FormatMessage(MsgUnknownFormatSave, "wednesday"));
}

TEST(SaveCommand, RefusedSaveWritesNothing) {
    Frame f;
    f.set = WithIncompleteBoards({5});
    f.set.modified = true;
    const std::string path = f.dir.File("old.bri");
    WriteFile(path, "previous contents");
    f.dialogs.QueueFile(path);
    EXPECT_FALSE(SaveCommand(f.ctx, f.hooks));
    EXPECT_EQ(ReadFile(path), "previous contents");
    EXPECT_TRUE(f.SawStatus("Save operation aborted"));
    EXPECT_EQ(f.Status(), "Ready");
    EXPECT_TRUE(f.set.modified);
    EXPECT_TRUE(f.set.fileName.empty());
}

TEST(SaveCommand, FailedWriteIsReportedAndLeavesTheTargetAsItWas) {
    Frame f;
    f.set = RandomSet(1, 4);
    // A folder that does not exist.
    f.dialogs.QueueFile(f.dir.File("missing/club.pbn"));
    EXPECT_FALSE(SaveCommand(f.ctx, f.hooks));
    EXPECT_EQ(f.dialogs.Last().text, FormatMessage(MsgSaveError, std::to_string(ENOENT), std::strerror(ENOENT)));
    EXPECT_EQ(f.dialogs.Last().title, "Save Error");
    EXPECT_EQ(f.Status(), "Ready");

    // A target that cannot be replaced (a folder of that name): no temporary file is left behind.
    fs::create_directory(f.dir.path() / "taken.pbn");
    fs::path inside = f.dir.path() / "taken.pbn" / "keep";
    WriteFile(inside.string(), "x");
    f.dialogs.QueueFile(f.dir.File("taken.pbn"));
    EXPECT_FALSE(SaveCommand(f.ctx, f.hooks));
    EXPECT_NE(f.dialogs.Last().text.find("during save operation"), std::string::npos);
    EXPECT_EQ(ReadFile(inside.string()), "x");
    int entries = 0;
    for (const auto& e : fs::directory_iterator(f.dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1); // only the folder: no temporary file, no log
}

