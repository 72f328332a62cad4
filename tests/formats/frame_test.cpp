#include "app/context.h"
#include "formats/bri.h"
#include "formats/dup.h"
#include "formats/frame.h"
#include "formats/pbn.h"
#include "generate/history.h"
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
using namespace orvenix::testing;
namespace fs = std::filesystem;

namespace {

// The program's services around one board set, with scripted dialogs and a record of the status line.
struct Frame {
    TempDir dir;
    BoardSet set;
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log{dir.path() / "dealer.log"};
    AppContext ctx{.set = set, .dialogs = dialogs, .settings = settings, .log = log};
    std::vector<std::string> statuses;
    std::vector<std::string> chosenFormats;
    int refreshes = 0;
    int placeAt = 0; // first board the Load_number step chooses; 0 leaves the boards where they are
    FrameHooks hooks;

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
        WriteBytes(path, WriteBoardSet(*FormatOfExtension(ExtensionOf(name)), content));
        return path;
    }
};

std::string Message(MessageKey key, const std::string& main = {}, const std::string& second = {}) {
    return FormatMessage(key, main, second);
}

BoardSet WithIncompleteBoards(std::initializer_list<int> numbers, int first = 1, int last = 16) {
    BoardSet set = RandomSet(first, last);
    for (int n : numbers) {
        set[n].cardOwner[1] = 0;
        AnalyseBoard(set[n]);
    }
    return set;
}

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
    EXPECT_EQ(f.dialogs.Last().text, Message(MsgSetNotSaved));
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
    WriteBytes(path, "whatever");
    f.dialogs.QueueFile(path);
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.Last().text, Message(MsgUnknownFormatLoad, ""));
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
    EXPECT_NE(ReadBytes((f.dir.path() / "dealer.log").string()).find("Load Error: "), std::string::npos);

    f.dialogs.QueueFile(f.dir.File("table.xyz"));
    LoadCommand(f.ctx, f.hooks);
    EXPECT_EQ(f.dialogs.Last().text, Message(MsgUnknownFormatLoad, "XYZ"));
}

TEST(LoadCommand, MissingAndUnreadableFilesGiveTheSystemError) {
    Frame f;
    f.dialogs.QueueFile(f.dir.File("gone.bri"));
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.Last().text, Message(MsgLoadError, std::to_string(ENOENT), std::strerror(ENOENT)));
    EXPECT_EQ(f.dialogs.Last().title, "Load Error");
    EXPECT_EQ(f.Status(), "Ready");
    EXPECT_TRUE(f.set.fileName.empty());

    fs::create_directory(f.dir.path() / "folder.pbn");
    f.dialogs.QueueFile(f.dir.File("folder.pbn"));
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
    EXPECT_EQ(f.dialogs.Last().text, Message(MsgLoadError, std::to_string(EISDIR), std::strerror(EISDIR)));
}

#ifndef _WIN32
TEST(LoadCommand, PipeIsRefusedWithoutWaitingForAWriter) {
    Frame f;
    const std::string path = f.dir.File("pipe.bri");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    f.dialogs.QueueFile(path);
    EXPECT_FALSE(LoadCommand(f.ctx, f.hooks)); // returns at once: nothing opens the pipe
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.Last().text, Message(MsgLoadError, std::to_string(EINVAL), "Not a regular file"));
    EXPECT_EQ(f.set.lastBoard, 0);
}
#endif

TEST(LoadCommand, FileLargerThanTheBoundIsRefusedUnread) {
    Frame f;
    const std::string path = f.dir.File("huge.pbn");
    WriteBytes(path, "");
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
    WriteBytes(path, bytes);
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
    EXPECT_EQ(f.dialogs.messages[0].text, Message(MsgEventInfoNotSupported, "DUP"));
    EXPECT_EQ(f.dialogs.messages[0].title, "Save Boards Set");
    EXPECT_EQ(f.dialogs.messages[0].icon, Icon::Information);

    EXPECT_EQ(ReadBytes(path), WriteDup(f.set));
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
    EXPECT_EQ(f.dialogs.Last().text, Message(MsgNoBoardSet));
    EXPECT_EQ(f.dialogs.Last().title, "Save Error");
    // The refusal stands in the status line while the box is up; the command still ends with "Ready".
    EXPECT_EQ(f.statuses, (std::vector<std::string>{"Saving", Message(MsgNoBoardSet), "Ready"}));
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
    EXPECT_EQ(f.dialogs.Last().text, Message(MsgUnknownFormatSave, "club.txt"));
    EXPECT_EQ(f.dialogs.Last().title, "Save Error");
    EXPECT_TRUE(f.SawStatus("Save operation aborted"));
    EXPECT_EQ(f.Status(), "Ready");
    EXPECT_FALSE(fs::exists(f.dir.File("club.txt")));
    EXPECT_TRUE(f.set.modified);
    f.log.Close();
    EXPECT_FALSE(fs::exists(f.dir.path() / "dealer.log")); // only shown, not logged
}

TEST(SaveChecks, IncompleteBoardsAreRefusedOrQuestionedByFormat) {
    const BoardSet two = WithIncompleteBoards({3, 7});
    const std::string list = IncompleteBoardList(two);
    EXPECT_EQ(list, "3, 7");
    ScriptedDialogs d;
    EXPECT_FALSE(SaveChecks(FileFormat::Dge, two, list, d));
    ASSERT_EQ(d.messages.size(), 1U);
    EXPECT_EQ(d.Last().text, ReplaceAll(Message(MsgBoardsIncompleteCannotSave, "DGE"), "nnn", "3, 7"));
    EXPECT_NE(d.Last().text.find("Boards number: 3, 7 are incomplete."), std::string::npos);
    EXPECT_EQ(d.Last().title, "Save Error");
    EXPECT_EQ(d.Last().icon, Icon::Critical);

    d.messages.clear();
    d.QueueAnswer(Answer::No);
    EXPECT_FALSE(SaveChecks(FileFormat::Pbn, two, list, d));
    ASSERT_EQ(d.messages.size(), 1U);
    EXPECT_EQ(d.Last().text, ReplaceAll(Message(MsgBoardsIncompleteProceed, "PBN"), "nnn", "3, 7"));
    EXPECT_EQ(d.Last().title, "Save Board Set");
    EXPECT_EQ(d.Last().icon, Icon::Exclamation);
    EXPECT_EQ(d.Last().buttons, Buttons::YesNo);

    const BoardSet one = WithIncompleteBoards({12});
    d.messages.clear();
    EXPECT_FALSE(SaveChecks(FileFormat::Bri, one, IncompleteBoardList(one), d));
    EXPECT_EQ(d.Last().text, ReplaceAll(Message(MsgBoardIncompleteCannotSave, "BRI"), "nnn", "12"));
    d.messages.clear();
    EXPECT_TRUE(SaveChecks(FileFormat::Bre, one, IncompleteBoardList(one), d)); // answered Yes
    EXPECT_EQ(d.Last().text, ReplaceAll(Message(MsgBoardIncompleteProceed, "BRE"), "nnn", "12"));
}

TEST(SaveChecks, LongIncompleteListIsCutOnce) {
    BoardSet set = RandomSet(1, 40);
    for (int n = 1; n <= 40; ++n)
        set[n] = Board{};
    // "1, 2, 3, 4, 5, 6, 7, 8, 9, 10" is 29 characters; 11 takes it past, then the cut mark follows.
    EXPECT_EQ(IncompleteBoardList(set), "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11.... ");
    EXPECT_EQ(IncompleteBoardList(RandomSet(1, 40)), "");
}

TEST(SaveChecks, QuestionsOfEachFormatInOrder) {
    BoardSet set = RandomSet(17, 32);
    for (FileFormat format : {FileFormat::Bri, FileFormat::Dge, FileFormat::Zeta771}) {
        ScriptedDialogs d;
        EXPECT_TRUE(SaveChecks(format, set, "", d));
        const std::string name = InfoOf(format).name;
        ASSERT_EQ(d.messages.size(), 2U) << name;
        EXPECT_EQ(d.messages[0].text, Message(MsgEventInfoNotSupported, name));
        EXPECT_EQ(d.messages[1].text, Message(MsgFirstBoardNotOne, name));
        EXPECT_EQ(d.messages[1].title, "Save Boards Set");
        EXPECT_EQ(d.messages[1].buttons, Buttons::YesNo);
    }
    ScriptedDialogs dup;
    EXPECT_TRUE(SaveChecks(FileFormat::Dup, set, "", dup));
    EXPECT_EQ(dup.messages.size(), 1U);

    // Declining either question stops the save.
    ScriptedDialogs no;
    no.QueueAnswer(Answer::Yes);
    no.QueueAnswer(Answer::No);
    EXPECT_FALSE(SaveChecks(FileFormat::Bri, set, "", no));
    ScriptedDialogs no2;
    no2.QueueAnswer(Answer::No);
    EXPECT_FALSE(SaveChecks(FileFormat::Bri, set, "", no2));
    EXPECT_EQ(no2.messages.size(), 1U);

    // The event question is asked even for a set without event texts; BRE and PBN ask nothing.
    set = RandomSet(1, 16);
    ScriptedDialogs quiet;
    EXPECT_TRUE(SaveChecks(FileFormat::Bre, set, "", quiet));
    EXPECT_TRUE(SaveChecks(FileFormat::Pbn, set, "", quiet));
    EXPECT_TRUE(quiet.messages.empty());
}

TEST(SaveChecks, PbnForbiddenCharactersComeAfterTheIncompleteQuestion) {
    BoardSet set = WithIncompleteBoards({2});
    set.eventName = "Pairs; evening";
    ScriptedDialogs d;
    EXPECT_FALSE(SaveChecks(FileFormat::Pbn, set, IncompleteBoardList(set), d));
    ASSERT_EQ(d.messages.size(), 2U);
    EXPECT_EQ(d.messages[0].text, ReplaceAll(Message(MsgBoardIncompleteProceed, "PBN"), "nnn", "2"));
    EXPECT_EQ(d.messages[1].text, Message(MsgPbnForbiddenCharacters));
    EXPECT_EQ(d.messages[1].title, "Save Error");
    // BRE keeps such texts.
    ScriptedDialogs bre;
    EXPECT_TRUE(SaveChecks(FileFormat::Bre, set, IncompleteBoardList(set), bre));
}

TEST(SaveChecks, TextsLatin1CannotHoldAreRefusedByTheFormatsThatWriteThem) {
    BoardSet set = RandomSet(1, 4);
    set.eventSite = "Zürich";
    ScriptedDialogs d;
    EXPECT_TRUE(SaveChecks(FileFormat::Pbn, set, "", d));
    set.eventSite = "Łódź";
    EXPECT_FALSE(SaveChecks(FileFormat::Bre, set, "", d));
    EXPECT_NE(d.Last().text.find("Event Site"), std::string::npos);
    EXPECT_NE(d.Last().text.find("BRE"), std::string::npos);
    EXPECT_EQ(d.Last().title, "Save Error");
    EXPECT_EQ(d.Last().icon, Icon::Critical);
    // BRI does not write the texts: only its usual question.
    ScriptedDialogs bri;
    EXPECT_TRUE(SaveChecks(FileFormat::Bri, set, "", bri));
    EXPECT_EQ(bri.messages.size(), 1U);
}

TEST(SaveCommand, RefusedSaveWritesNothing) {
    Frame f;
    f.set = WithIncompleteBoards({5});
    f.set.modified = true;
    const std::string path = f.dir.File("old.bri");
    WriteBytes(path, "previous contents");
    f.dialogs.QueueFile(path);
    EXPECT_FALSE(SaveCommand(f.ctx, f.hooks));
    EXPECT_EQ(ReadBytes(path), "previous contents");
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
    EXPECT_EQ(f.dialogs.Last().text, Message(MsgSaveError, std::to_string(ENOENT), std::strerror(ENOENT)));
    EXPECT_EQ(f.dialogs.Last().title, "Save Error");
    EXPECT_EQ(f.Status(), "Ready");

    // A target that cannot be replaced (a folder of that name): no temporary file is left behind.
    fs::create_directory(f.dir.path() / "taken.pbn");
    fs::path inside = f.dir.path() / "taken.pbn" / "keep";
    WriteBytes(inside.string(), "x");
    f.dialogs.QueueFile(f.dir.File("taken.pbn"));
    EXPECT_FALSE(SaveCommand(f.ctx, f.hooks));
    EXPECT_NE(f.dialogs.Last().text.find("during save operation"), std::string::npos);
    EXPECT_EQ(ReadBytes(inside.string()), "x");
    int entries = 0;
    for (const auto& e : fs::directory_iterator(f.dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1); // only the folder: no temporary file, no log
}

TEST(WriteFileSafely, ReplacesTheTargetKeepingItsPermissions) {
    TempDir dir;
    const std::string path = dir.File("set.bri");
    WriteBytes(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_FALSE(WriteFileSafely(path, "new contents"));
    EXPECT_EQ(ReadBytes(path), "new contents");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // Through a link: the file it names is replaced, the link stays.
    const std::string link = dir.File("link.bri");
    fs::create_symlink(path, link);
    EXPECT_FALSE(WriteFileSafely(link, "via link"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(path), "via link");
}

// ---- Board numbers after a load -------------------------------------------------------------------------

TEST(PlaceLoadedBoards, ThirtyTwoBoardsFitUpTo609) {
    EXPECT_EQ(MaxFirstBoard(32), 609);
    EXPECT_EQ(MaxFirstBoard(640), 1);
    BoardSet loaded = RandomSet(1, 32);
    BoardSet set = loaded;
    EXPECT_FALSE(PlaceLoadedBoards(set, 610));
    EXPECT_FALSE(PlaceLoadedBoards(set, 0));
    EXPECT_EQ(set.firstBoard, 1);
    EXPECT_TRUE(SameBoards(loaded, set, 1, 32));
    EXPECT_NE(IncorrectFirstBoardText(609).find("First Board numbers must be between 1 and 609"),
              std::string::npos);

    ASSERT_TRUE(PlaceLoadedBoards(set, 609));
    EXPECT_EQ(set.firstBoard, 609);
    EXPECT_EQ(set.lastBoard, 640);
    for (int k = 1; k <= 32; ++k) {
        EXPECT_EQ(set[608 + k].cardOwner, loaded[k].cardOwner);
        EXPECT_EQ(set[608 + k].number, 608 + k);
        EXPECT_EQ(set[608 + k].dealer, DealerOf(608 + k));
        EXPECT_EQ(set[608 + k].vulnerability, VulnerabilityOf(608 + k));
        EXPECT_EQ(set[k], Board{}); // nothing stale is left below the set
    }
}

TEST(PlaceLoadedBoards, OverlappingMoveKeepsEveryBoard) {
    const BoardSet loaded = RandomSet(1, 10);
    BoardSet set = loaded;
    ASSERT_TRUE(PlaceLoadedBoards(set, 4));
    EXPECT_EQ(set.lastBoard, 13);
    for (int k = 1; k <= 10; ++k)
        EXPECT_EQ(set[k + 3].cardOwner, loaded[k].cardOwner) << k;
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(set[k], Board{});
    EXPECT_TRUE(PlaceLoadedBoards(set = loaded, 1));
    EXPECT_TRUE(SameBoards(loaded, set, 1, 10));
}

// ---- Whole files without windows --------------------------------------------------------------------------

TEST(BoardSetFiles, EveryFormatRoundTripsThroughAFile) {
    TempDir dir;
    BoardSet set = RandomSet(1, 640, 21);
    for (const FormatInfo& info : BoardSetFormats()) {
        SCOPED_TRACE(info.name);
        const std::string path = dir.File(std::string("set.") + info.extension);
        FileOutcome out = SaveBoardSetFile(path, set);
        ASSERT_TRUE(out.ok) << out.error;
        EXPECT_EQ(out.formatName, info.name);
        BoardSet back;
        back.eventName = "left over";
        FileOutcome in = LoadBoardSetFile(path, back);
        ASSERT_TRUE(in.ok) << in.error;
        EXPECT_EQ(back.lastBoard, 640);
        EXPECT_TRUE(SameBoards(set, back, 1, 640));
        EXPECT_EQ(back.fileName, path);
        EXPECT_EQ(ReadBytes(path), WriteBoardSet(info.format, back));
    }
}

TEST(BoardSetFiles, QuestionsBecomeWarningsAndRefusalsErrors) {
    TempDir dir;
    BoardSet set = RandomSet(5, 8);
    FileOutcome out = SaveBoardSetFile(dir.File("x.dge"), set);
    ASSERT_TRUE(out.ok);
    ASSERT_EQ(out.warnings.size(), 2U);
    EXPECT_EQ(out.warnings[1], Message(MsgFirstBoardNotOne, "DGE"));

    set = WithIncompleteBoards({6}, 5, 8);
    out = SaveBoardSetFile(dir.File("y.bri"), set);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, ReplaceAll(Message(MsgBoardIncompleteCannotSave, "BRI"), "nnn", "6"));
    EXPECT_FALSE(fs::exists(dir.File("y.bri")));

    out = SaveBoardSetFile(dir.File("z.doc"), set);
    EXPECT_EQ(out.error, Message(MsgUnknownFormatSave, "z.doc"));
    out = SaveBoardSetFile(dir.File("z.pbn"), BoardSet{});
    EXPECT_EQ(out.error, Message(MsgNoBoardSet));

    BoardSet in = RandomSet(1, 3);
    FileOutcome loaded = LoadBoardSetFile(dir.File("absent.pbn"), in);
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.error, Message(MsgLoadError, std::to_string(ENOENT), std::strerror(ENOENT)));
    EXPECT_EQ(in.lastBoard, 0);
    loaded = LoadBoardSetFile(dir.File("x.dge"), in);
    EXPECT_TRUE(loaded.ok);
    EXPECT_TRUE(loaded.needsBoardNumbers);
    EXPECT_EQ(loaded.formatName, "DGE");
}
