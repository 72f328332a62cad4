#include "app/context.h"
#include "app/file_commands.h"
#include "formats/bri.h"
#include "formats/dup.h"
#include "formats/frame.h"
#include "history/history.h"
#include "support/board_set_samples.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace orvenix;
using namespace orvenix::test;
namespace fs = std::filesystem;

namespace {

// The program's services around one board set, with what the window adds to the file commands.
struct Frame : TestContext {
    BoardSet& set = *TestContext::set;
    std::vector<std::string> chosenFormats;
    int refreshes = 0;
    int placeAt = 0; // first board the board-number dialog chooses; 0 leaves the boards where they are
    FileCommandHooks hooks;

    Frame() {
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
    // A failed load or save: one critical box with this title whose text contains `text`, the status back at
    // "Ready".
    void ExpectError(const std::string& text, const std::string& title) {
        ASSERT_EQ(dialogs.messages.size(), 1U);
        EXPECT_NE(dialogs.Last().text.find(text), std::string::npos) << dialogs.Last().text;
        EXPECT_TRUE(dialogs.Last().title == title && dialogs.Last().icon == Icon::Critical);
        EXPECT_EQ(Status(), "Ready");
    }
};

} // namespace

// Load, New and Exit ask before they give up a modified set; Yes saves first, No discards, Cancel (or a
// save that does not complete) keeps the set and stops the command.
TEST(OfferToSave, EveryCommandWithEveryAnswer) {
    struct Case {
        std::optional<Answer> answer; // none: the set is not modified and nothing is asked
        bool saveCompletes;
        bool goesOn;
    };
    const Case cases[] = {{std::nullopt, false, true},
                          {Answer::Cancel, false, false},
                          {Answer::No, false, true},
                          {Answer::Yes, true, true},
                          {Answer::Yes, false, false}}; // the save dialog cancelled
    // Each command returns whether it went on past the question (Load: whether it asked for a file).
    const std::map<std::string, std::function<bool(Frame&)>> commands{
        {"Load",
         [](Frame& f) {
             return !LoadCommand(f.ctx, f.hooks) && !f.dialogs.fileRequests.empty() &&
                    !f.dialogs.fileRequests.back().save;
         }},
        {"New", [](Frame& f) { return OfferToSave(f.ctx, f.hooks, "Generate New Board Set"); }},
        {"Exit", [](Frame& f) { return OfferToSave(f.ctx, f.hooks, "Exit"); }}};
    for (const auto& [name, command] : commands) {
        for (const Case& c : cases) {
            SCOPED_TRACE(name + " answer " + std::to_string(static_cast<int>(c.answer.value_or(Answer::Ok))));
            Frame f;
            f.set = RandomSet(1, 2);
            f.set.modified = c.answer.has_value();
            if (c.answer) f.dialogs.QueueAnswer(*c.answer);
            if (c.saveCompletes) f.dialogs.QueueFile(f.dir.File("saved.pbn"));
            EXPECT_EQ(command(f), c.goesOn);
            ASSERT_EQ(f.dialogs.messages.size(), c.answer ? 1U : 0U);
            EXPECT_TRUE(!c.answer || f.dialogs.messages[0].text == FormatMessage(MsgSetNotSaved));
            EXPECT_EQ(fs::exists(f.dir.File("saved.pbn")), c.saveCompletes);
            EXPECT_EQ(f.set.modified, c.answer.has_value() && !c.saveCompletes);
            EXPECT_EQ(f.set.lastBoard, 2);
        }
    }
}

// ---- Load ---------------------------------------------------------------------------------------------

// Files without usable board numbers go through the board-number step; the format and folder are remembered
// for the next Load; the set is recorded in the history once under its name's first 13 characters.
TEST(LoadCommand, LoadsTheFileAndRemembersItsFormatAndFolder) {
    struct Case {
        const char* name;
        int first, last, placeAt;
        const char* asked; // the format the board-number step is asked for; "" when it is skipped
        int firstAfter;
        const char* remembered;
        const char* historyName;
    };
    const Case cases[] = {
        {"set.all", 1, 4, 9, "ZETA771", 9, "all", "SET"},
        {"set.BRI", 1, 3, 0, "BRI", 1, "bri", "set"},
        {"set.dup", 17, 32, 0, "", 17, "dup", "SET"},
        {"a-rather-long-name.pbn", 3, 5, 0, "", 3, "pbn", "A-RATHER-LONG"},
        {"one.DUP", 1, 1, 0, "DUP", 1, "dup", "one"}}; // one DUP board carries no usable numbers
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Frame f;
        History history;
        f.ctx.history = &history;
        const BoardSet content = RandomSet(c.first, c.last);
        const std::string path = f.Prepare(c.name, content);
        f.dialogs.QueueFile(path);
        f.placeAt = c.placeAt;
        ASSERT_TRUE(LoadCommand(f.ctx, f.hooks));
        EXPECT_TRUE(f.dialogs.messages.empty());
        EXPECT_EQ(f.dialogs.fileRequests[0].directory, HomeDirectory()); // nothing stored yet
        EXPECT_EQ(f.chosenFormats, *c.asked ? std::vector<std::string>{c.asked} : std::vector<std::string>{});
        const int count = c.last - c.first + 1;
        EXPECT_TRUE(f.set.firstBoard == c.firstAfter && f.set.lastBoard == c.firstAfter + count - 1);
        EXPECT_EQ(f.set[c.firstAfter].cardOwner, content[c.first].cardOwner);
        EXPECT_EQ(f.set[c.firstAfter + count - 1].number, c.firstAfter + count - 1);
        EXPECT_TRUE(f.SawStatus("Loading"));
        EXPECT_EQ(f.Status(), "Boards loaded: " + std::to_string(count));
        EXPECT_TRUE(f.set.fileName == path && !f.set.modified && f.refreshes >= 1);

        LoadCommand(f.ctx, f.hooks); // cancelled: the set stays
        EXPECT_EQ(f.set.fileName, path);
        EXPECT_EQ(f.dialogs.fileRequests[1].directory, f.dir.path().string() + "/");
        EXPECT_EQ(f.dialogs.fileRequests[1].selectedFilter, LoadFilterIndex(c.remembered));
        f.dialogs.QueueFile(path); // loaded again: the name is known, nothing is asked
        ASSERT_TRUE(LoadCommand(f.ctx, f.hooks));
        EXPECT_TRUE(f.dialogs.messages.empty());
        EXPECT_TRUE(history.Names().count() == 1 && history.FindHistoryName(c.historyName) == 1);
        EXPECT_EQ(history.BoardRecordCount(), count);
    }
}

TEST(FileDialogs, StoredFormatAndFolderChooseWhereTheDialogsStart) {
    for (const std::string& ext : std::vector<std::string>{"bri", "dge", "bre", "dup", "pbn", "all"}) {
        EXPECT_NE(LoadFilters()[static_cast<std::size_t>(LoadFilterIndex(ext))].find("(*." + ext + ")"),
                  std::string::npos);
        EXPECT_NE(SaveFilters()[static_cast<std::size_t>(SaveFilterIndex(ext))].find("(*." + ext + ")"),
                  std::string::npos);
    }
    // Anything else (the stored default "BRI" is upper case) selects "All files", and no save filter.
    for (const char* other : {"BRI", "", "xyz"}) {
        EXPECT_EQ(LoadFilterIndex(other), 0);
        EXPECT_EQ(SaveFilterIndex(other), -1);
    }
    EXPECT_EQ(StartDirectory("/no/such/folder/"), HomeDirectory());
    for (const auto& [path, dir] : {std::pair{"/home/td/sets/club.pbn", "/home/td/sets/"},
                                    std::pair{"c:\\sets\\club.pbn", "c:\\sets\\"},
                                    std::pair{"c:club.pbn", "c:"}, std::pair{"club.pbn", ""}})
        EXPECT_EQ(DirectoryWithSeparator(path), dir);
}

// Every failed Load tells why in one critical box and leaves an empty set behind.
TEST(LoadCommand, AFailedLoadTellsWhyAndLeavesAnEmptySet) {
    std::string badBri = WriteBri(RandomSet(1, 3));
    badBri[2 * 128 + 10] = 'x';
    const auto write = [](const std::string& bytes) {
        return [bytes](const std::string& p) { WriteFile(p, bytes); };
    };
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        std::string text; // the box's text, or a part of it
    };
    const std::vector<Case> cases{
        {"noextension", write("whatever"), FormatMessage(MsgUnknownFormatLoad, "")},
        {"table.xyz", write("whatever"), FormatMessage(MsgUnknownFormatLoad, "XYZ")},
        {"bad.bri", write(badBri), "in record: 3"}, // the two good boards before the fault are gone too
        {"gone.bri", [](const std::string&) {},
         FormatMessage(MsgLoadError, std::to_string(ENOENT), std::strerror(ENOENT))},
        {"folder.pbn", [](const std::string& p) { fs::create_directory(p); },
         FormatMessage(MsgLoadError, std::to_string(EISDIR), std::strerror(EISDIR))},
#ifndef _WIN32
        // A pipe is refused at once, without waiting for a writer.
        {"pipe.bri", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         FormatMessage(MsgLoadError, std::to_string(EINVAL), "Not a regular file")},
#endif
        {"huge.pbn",
         [](const std::string& p) {
             WriteFile(p, "");
             fs::resize_file(p, kMaxBoardSetFileBytes + 1);
         },
         FormatMessage(MsgLoadError, std::to_string(EFBIG),
                       "File too large (a board set file has at most 16 MiB)")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Frame f;
        f.set = RandomSet(1, 2);
        f.set.eventName = "Club";
        const std::string path = f.dir.File(c.name);
        c.make(path);
        f.dialogs.QueueFile(path);
        EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
        f.ExpectError(c.text, "Load Error");
        // A file that was read but not understood also says so in the status line.
        EXPECT_EQ(f.SawStatus("Load operation aborted"),
                  c.text.find("during load operation") == std::string::npos);
        EXPECT_TRUE(f.set.lastBoard == 0 && f.set[1] == Board{});
        EXPECT_TRUE(f.set.fileName.empty() && f.set.eventName.empty() && f.chosenFormats.empty());
        EXPECT_EQ(f.settings.values.count(keys::kInitFormat), 0U);
    }
    // An unknown format is logged too.
    Frame f;
    f.dialogs.QueueFile(f.dir.File("table.xyz"));
    LoadCommand(f.ctx, f.hooks);
    f.log.Close();
    EXPECT_NE(ReadFile((f.dir.path() / "dealer.log").string()).find("Load Error: "), std::string::npos);
    // Exactly at the bound a file is read.
    const std::string path = f.dir.File("bound.pbn");
    WriteFile(path, "");
    fs::resize_file(path, kMaxBoardSetFileBytes);
    std::string bytes;
    ReadFileBytes(path, bytes);
    EXPECT_EQ(bytes.size(), kMaxBoardSetFileBytes);
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
    EXPECT_TRUE(f.dialogs.fileRequests[0].save);
    EXPECT_EQ(f.dialogs.fileRequests[0].selectedFilter, SaveFilterIndex("dup"));
    // DUP tells that it keeps no event information.
    ASSERT_EQ(f.dialogs.messages.size(), 1U);
    EXPECT_EQ(f.dialogs.messages[0].text, FormatMessage(MsgEventInfoNotSupported, "DUP"));
    EXPECT_EQ(ReadFile(path), WriteDup(f.set));
    EXPECT_EQ(f.Status(), "Boards Saved: 16");
    EXPECT_EQ(f.settings.values[keys::kInitDirectory], f.dir.path().string() + "/");
    EXPECT_TRUE(f.set.fileName == path && !f.set.modified);
    EXPECT_EQ(history.FindHistoryName("club"), 1);
    // A name without extension takes the type chosen in the dialog.
    f.dialogs.QueueFile(f.dir.File("tuesday"), SaveFilterIndex("bri"));
    EXPECT_TRUE(SaveCommand(f.ctx, f.hooks));
    EXPECT_EQ(ReadFile(f.dir.File("tuesday.bri")), WriteBri(f.set));
    EXPECT_EQ(f.set.fileName, f.dir.File("tuesday.bri"));
}

// A save that is cancelled, refused or fails keeps the set modified and leaves the target as it was.
TEST(SaveCommand, ARefusedOrFailedSaveWritesNothing) {
    struct Case {
        const char* name; // "": the file dialog is cancelled
        BoardSet set;
        std::string text;
    };
    const std::vector<Case> cases{
        {"", RandomSet(1, 2), ""},
        {"club.txt", RandomSet(1, 2), FormatMessage(MsgUnknownFormatSave, "club.txt")},
        {"wednesday", RandomSet(1, 2), FormatMessage(MsgUnknownFormatSave, "wednesday")}, // no type chosen
        {"old.bri", WithIncompleteBoards({5}), "5"},
        {"missing/club.pbn", RandomSet(1, 2),
         FormatMessage(MsgSaveError, std::to_string(ENOENT), std::strerror(ENOENT))},
        {"taken.pbn", RandomSet(1, 2), "during save operation"}, // a folder of that name cannot be replaced
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Frame f;
        f.set = c.set;
        f.set.modified = true;
        fs::create_directory(f.dir.path() / "taken.pbn");
        WriteFile(f.dir.File("old.bri"), "previous contents");
        if (*c.name) f.dialogs.QueueFile(f.dir.File(c.name));
        EXPECT_FALSE(SaveCommand(f.ctx, f.hooks));
        if (c.text.empty())
            EXPECT_TRUE(f.dialogs.messages.empty());
        else
            f.ExpectError(c.text, "Save Error");
        EXPECT_EQ(f.Status(), "Ready");
        EXPECT_EQ(f.SawStatus("Save operation aborted"), !c.text.empty());
        EXPECT_TRUE(f.set.modified && f.set.fileName.empty());
        EXPECT_EQ(ReadFile(f.dir.File("old.bri")), "previous contents");
        f.log.Close();
        // Nothing else in the folder: no temporary file, no log.
        EXPECT_EQ(std::distance(fs::directory_iterator(f.dir.path()), fs::directory_iterator{}), 2);
    }
    Frame f; // without a set nothing is asked; the refusal stands in the status line while the box is up
    EXPECT_FALSE(SaveCommand(f.ctx, f.hooks));
    EXPECT_TRUE(f.dialogs.fileRequests.empty());
    f.ExpectError(FormatMessage(MsgNoBoardSet), "Save Error");
    EXPECT_EQ(f.statuses, (std::vector<std::string>{"Saving", FormatMessage(MsgNoBoardSet), "Ready"}));
}
