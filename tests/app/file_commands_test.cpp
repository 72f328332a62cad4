#include "app/file_commands.h"
#include "formats/bri.h"
#include "formats/dup.h"
#include "formats/frame.h"
#include "history/history.h"
#include "support/generator_context.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace orvenix;
using namespace orvenix::test;
namespace fs = std::filesystem;

namespace {

// The program's services around one board set, with what the window adds to the file commands.
struct Frame : GeneratorContext {
    Frame() { ctx.history = &history; }
    History history;
    std::vector<std::string> chosenFormats;
    int refreshes = 0;
    int placeAt = 0; // first board the board-number dialog chooses; 0 leaves the boards where they are
    FileCommandHooks hooks{[this](BoardSet& s, const std::string& format) {
                               chosenFormats.push_back(format);
                               if (placeAt != 0) PlaceLoadedBoards(s, placeAt);
                           },
                           [this] { ++refreshes; }};

    // A failed load or save: one critical box with this title whose text contains `text` (no box for an
    // empty text), the status back at "Ready".
    [[nodiscard]] bool ShowedError(const std::string& text, const std::string& title) const {
        const auto& m = dialogs.messages;
        return statuses.back() == "Ready" &&
               (text.empty() ? m.empty()
                             : m.size() == 1 && m[0].text.find(text) != std::string::npos &&
                                   m[0].title == title && m[0].icon == Icon::Critical);
    }
};

} // namespace

// Load, New and Exit ask before they give up a modified set; Yes saves first, No discards, Cancel (or a
// save that does not complete) keeps the set and stops the command.
TEST(OfferToSave, EveryCommandWithEveryAnswer) {
    // The answer (Ok: the set is not modified and nothing is asked), whether the save completes, whether the
    // command goes on past the question. The last Yes finds its save dialog cancelled.
    const std::tuple<Answer, bool, bool> cases[] = {
        {Answer::Ok, false, true}, {Answer::Cancel, false, false}, {Answer::No, false, true},
        {Answer::Yes, true, true}, {Answer::Yes, false, false},
    };
    for (const std::string command : {"Load", "Generate New Board Set", "Exit"}) {
        for (const auto& [answer, saveCompletes, goesOn] : cases) {
            const bool asked = answer != Answer::Ok;
            Frame f;
            f.set = RandomSet(1, 2);
            f.set.modified = asked;
            f.dialogs.QueueAnswer(answer);
            if (saveCompletes) f.dialogs.QueueFile(f.dir.File("saved.pbn"));
            // Load goes on when it asks for a file to load.
            const bool wentOn = command == "Load"
                                    ? !LoadCommand(f.ctx, f.hooks) && !f.dialogs.fileRequests.empty() &&
                                          !f.dialogs.fileRequests.back().save
                                    : OfferToSave(f.ctx, f.hooks, command);
            EXPECT_EQ(std::tuple(wentOn, f.dialogs.messages.size(),
                                 asked && f.dialogs.Last().text == FormatMessage(MsgSetNotSaved),
                                 fs::exists(f.dir.File("saved.pbn")), f.set.modified, f.set.lastBoard),
                      std::tuple(goesOn, asked ? 1U : 0U, asked, saveCompletes, asked && !saveCompletes, 2))
                << command << " " << static_cast<int>(answer) << saveCompletes;
        }
    }
}

// Files without usable board numbers go through the board-number step; the format and folder are remembered
// for the next Load; the set is recorded in the history once under its name's first 13 characters.
TEST(LoadCommand, LoadsTheFileAndRemembersItsFormatAndFolder) {
    // The file, its boards, where the board-number step places them, the format it is asked for ("" when
    // skipped), the first board after it, the remembered format and the history name.
    const std::tuple<const char*, int, int, int, const char*, int, const char*, const char*> cases[] = {
        {"set.all", 1, 4, 9, "ZETA771", 9, "all", "SET"},
        {"set.BRI", 1, 3, 0, "BRI", 1, "bri", "set"},
        {"set.dup", 17, 32, 0, "", 17, "dup", "SET"},
        {"a-rather-long-name.pbn", 3, 5, 0, "", 3, "pbn", "A-RATHER-LONG"},
        {"one.DUP", 1, 1, 0, "DUP", 1, "dup", "one"}}; // one DUP board carries no usable numbers
    for (const auto& [name, first, last, placeAt, asked, firstAfter, remembered, historyName] : cases) {
        SCOPED_TRACE(name);
        Frame f;
        const BoardSet content = RandomSet(first, last);
        const std::string path = f.dir.File(name);
        WriteFile(path, WriteBoardSet(*FormatOfExtension(ExtensionOf(name)), content));
        f.dialogs.QueueFile(path);
        f.placeAt = placeAt;
        ASSERT_TRUE(LoadCommand(f.ctx, f.hooks));
        const int lastAfter = firstAfter + last - first;
        EXPECT_EQ(std::tuple(f.dialogs.messages.size(), f.chosenFormats, f.set[firstAfter].cardOwner,
                             f.set.firstBoard, f.set.lastBoard, f.set[lastAfter].number, f.set.fileName,
                             f.set.modified, f.refreshes > 0, f.statuses.front() + "/" + f.statuses.back()),
                  std::tuple(0U, std::vector<std::string>(*asked ? 1 : 0, asked), content[first].cardOwner,
                             firstAfter, lastAfter, lastAfter, path, false, true,
                             "Loading/Boards loaded: " + std::to_string(last - first + 1)));

        LoadCommand(f.ctx, f.hooks); // cancelled: the set stays
        EXPECT_EQ(std::tuple(f.set.fileName, f.dialogs.fileRequests[1].directory,
                             f.dialogs.fileRequests[1].selectedFilter),
                  std::tuple(path, f.dir.path().string() + "/", LoadFilterIndex(remembered)));
        f.dialogs.QueueFile(path); // loaded again: the name is known, it is not recorded again
        ASSERT_TRUE(LoadCommand(f.ctx, f.hooks));
        EXPECT_TRUE(f.history.Names().count() == 1 && f.history.FindHistoryName(historyName) == 1 &&
                    f.history.BoardRecordCount() == last - first + 1);
    }
}

TEST(FileDialogs, StoredFormatAndFolderChooseWhereTheDialogsStart) {
    for (const std::string ext : {"bri", "dge", "bre", "dup", "pbn", "all"})
        EXPECT_TRUE(LoadFilters().at(LoadFilterIndex(ext)).find("(*." + ext + ")") != std::string::npos &&
                    SaveFilters().at(SaveFilterIndex(ext)).find("(*." + ext + ")") != std::string::npos)
            << ext;
    // Anything else (the stored default "BRI" is upper case) selects "All files", and no save filter.
    for (const char* other : {"BRI", "", "xyz"})
        EXPECT_TRUE(LoadFilterIndex(other) == 0 && SaveFilterIndex(other) == -1) << other;
    EXPECT_EQ(StartDirectory("/no/such/folder/"), HomeDirectory());
    for (const auto& [path, dir] : {std::pair{"/home/td/sets/club.pbn", "/home/td/sets/"},
                                    std::pair{"c:\\sets\\club.pbn", "c:\\sets\\"},
                                    std::pair{"c:club.pbn", "c:"}, std::pair{"club.pbn", ""}})
        EXPECT_EQ(DirectoryWithSeparator(path), dir);
}

// Every failed Load tells why in one critical box and leaves an empty set behind; an unknown format is
// logged too.
TEST(LoadCommand, AFailedLoadTellsWhyAndLeavesAnEmptySet) {
    std::string badBri = WriteBri(RandomSet(1, 3));
    badBri[2 * 128 + 10] = 'x';
    const auto write = [](std::string b) { return [b](const std::string& p) { WriteFile(p, b); }; };
    const auto failure = [](int error, const char* text = nullptr) {
        return FormatMessage(MsgLoadError, std::to_string(error), text ? text : std::strerror(error));
    };
    const std::tuple<const char*, std::function<void(const std::string&)>, std::string, bool> cases[] = {
        {"noextension", write("whatever"), FormatMessage(MsgUnknownFormatLoad, ""), true},
        {"table.xyz", write("whatever"), FormatMessage(MsgUnknownFormatLoad, "XYZ"), true},
        // The two good boards before the fault are gone too.
        {"bad.bri", write(badBri), "in record: 3", false},
        {"gone.bri", [](const std::string&) {}, failure(ENOENT), false},
        {"folder.pbn", [](const std::string& p) { fs::create_directory(p); }, failure(EISDIR), false},
#ifndef _WIN32
        // A pipe is refused at once, without waiting for a writer.
        {"pipe.bri", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         failure(EINVAL, "Not a regular file"), false},
#endif
        {"huge.pbn", write(std::string(kMaxBoardSetFileBytes + 1, ' ')),
         failure(EFBIG, "File too large (a board set file has at most 16 MiB)"), false},
        // At the bound the file is read whole, and then not understood.
        {"bound.pbn", write(std::string(kMaxBoardSetFileBytes, ' ')), "File format error", false}};
    for (const auto& [name, make, text, logged] : cases) {
        SCOPED_TRACE(name);
        Frame f;
        f.set = RandomSet(1, 2);
        f.set.eventName = "Club";
        make(f.dir.File(name));
        f.dialogs.QueueFile(f.dir.File(name));
        EXPECT_FALSE(LoadCommand(f.ctx, f.hooks));
        f.log.Close();
        // A file that was read but not understood also says so in the status line.
        EXPECT_EQ(std::tuple(f.ShowedError(text, "Load Error"),
                             std::ranges::count(f.statuses, "Load operation aborted"), f.set.lastBoard,
                             f.set[1] == Board{}, f.set.fileName + f.set.eventName, f.chosenFormats.empty(),
                             ReadFile(f.dir.File("dealer.log")).find("Load Error: ") != std::string::npos),
                  std::tuple(true, text.find("during load operation") == std::string::npos, 0, true, "", true,
                             logged));
    }
}

// ---- Save ---------------------------------------------------------------------------------------------

TEST(SaveCommand, WritesTheFileAndUpdatesSettingsStatusAndHistory) {
    Frame f;
    f.set = RandomSet(1, 16);
    f.set.modified = true;
    f.settings.Write(keys::kInitFormat, "dup");
    const std::string path = f.dir.File("Club.DUP");
    f.dialogs.QueueFile(path);
    EXPECT_TRUE(SaveCommand(f.ctx, f.hooks));
    // DUP tells that it keeps no event information.
    EXPECT_EQ(std::tuple(f.dialogs.fileRequests.at(0).save, f.dialogs.fileRequests[0].selectedFilter,
                         f.dialogs.messages.size(), f.dialogs.Last().text, ReadFile(path), f.statuses.back(),
                         f.settings.values[keys::kInitDirectory], f.set.fileName, f.set.modified,
                         f.history.FindHistoryName("club")),
              std::tuple(true, SaveFilterIndex("dup"), 1U, FormatMessage(MsgEventInfoNotSupported, "DUP"),
                         WriteDup(f.set), "Boards Saved: 16", f.dir.path().string() + "/", path, false, 1));
    // A name without extension takes the type chosen in the dialog.
    f.dialogs.QueueFile(f.dir.File("tuesday"), SaveFilterIndex("bri"));
    EXPECT_TRUE(SaveCommand(f.ctx, f.hooks) && ReadFile(f.dir.File("tuesday.bri")) == WriteBri(f.set) &&
                f.set.fileName == f.dir.File("tuesday.bri"));
}

// A save that is cancelled, refused or fails keeps the set modified and leaves the target as it was.
TEST(SaveCommand, ARefusedOrFailedSaveWritesNothing) {
    const std::pair<const char*, std::string> cases[] = {
        {"", ""}, // the file dialog is cancelled
        {"club.txt", FormatMessage(MsgUnknownFormatSave, "club.txt")},
        {"wednesday", FormatMessage(MsgUnknownFormatSave, "wednesday")}, // no type chosen
        {"old.bri", "5"},                                                // board 5 is incomplete
        {"missing/club.pbn", FormatMessage(MsgSaveError, std::to_string(ENOENT), std::strerror(ENOENT))},
        {"taken.pbn", "during save operation"}}; // a folder of that name cannot be replaced
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        Frame f;
        f.set = std::string(name) == "old.bri" ? WithIncompleteBoards({5}) : RandomSet(1, 2);
        f.set.modified = true;
        fs::create_directory(f.dir.path() / "taken.pbn");
        WriteFile(f.dir.File("old.bri"), "previous contents");
        if (*name) f.dialogs.QueueFile(f.dir.File(name));
        EXPECT_FALSE(SaveCommand(f.ctx, f.hooks));
        f.log.Close();
        // Nothing else in the folder: no temporary file, no log.
        EXPECT_EQ(std::tuple(f.ShowedError(text, "Save Error"),
                             std::ranges::count(f.statuses, "Save operation aborted"), f.set.modified,
                             f.set.fileName, ReadFile(f.dir.File("old.bri")),
                             std::distance(fs::directory_iterator(f.dir.path()), fs::directory_iterator{})),
                  std::tuple(true, !text.empty(), true, "", "previous contents", 2));
    }
    Frame f; // without a set nothing is asked; the refusal stands in the status line while the box is up
    EXPECT_TRUE(!SaveCommand(f.ctx, f.hooks) && f.dialogs.fileRequests.empty() &&
                f.ShowedError(FormatMessage(MsgNoBoardSet), "Save Error"));
    EXPECT_EQ(f.statuses, (std::vector<std::string>{"Saving", FormatMessage(MsgNoBoardSet), "Ready"}));
}
