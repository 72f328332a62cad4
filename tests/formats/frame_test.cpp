#include "base/text_encoding.h"
#include "formats/format_checks.h"
#include "formats/frame.h"
#include "support/board_set_samples.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

using namespace orvenix;
using namespace orvenix::test;
namespace fs = std::filesystem;

// A message about a format, with the list of incomplete boards where it has one.
static std::string Message(MessageKey key, const std::string& format, const std::string& list) {
    return ReplaceAll(FormatMessage(key, format), "nnn", list);
}

// The questions and refusals before a save, in the order they come, and whether the save goes on.
TEST(SaveChecks, QuestionsAndRefusalsByFormat) {
    const std::string event = "Pairs; evening"; // characters PBN cannot hold, given for BRE and PBN only
    const MessageKey E = MsgEventInfoNotSupported, F = MsgFirstBoardNotOne, P = MsgPbnForbiddenCharacters;
    // Format, first board, incomplete boards, answers (then Yes), whether it saves, the messages.
    const std::tuple<FileFormat, int, std::vector<int>, std::vector<Answer>, bool, std::vector<MessageKey>>
        cases[] = {
            {FileFormat::Dge, 1, {3, 7}, {}, false, {MsgBoardsIncompleteCannotSave}},
            {FileFormat::Bri, 1, {12}, {}, false, {MsgBoardIncompleteCannotSave}},
            {FileFormat::Pbn, 1, {3, 7}, {Answer::No}, false, {MsgBoardsIncompleteProceed}},
            {FileFormat::Bre, 1, {12}, {}, true, {MsgBoardIncompleteProceed}},
            {FileFormat::Pbn, 1, {2}, {}, false, {MsgBoardIncompleteProceed, P}},
            {FileFormat::Bre, 17, {}, {}, true, {}},
            {FileFormat::Pbn, 17, {}, {}, false, {P}},
            {FileFormat::Dup, 17, {}, {}, true, {E}},
            {FileFormat::Bri, 1, {}, {}, true, {E}},
            {FileFormat::Bri, 17, {}, {Answer::No}, false, {E}},
            {FileFormat::Bri, 17, {}, {Answer::Yes, Answer::No}, false, {E, F}},
            {FileFormat::Zeta771, 17, {}, {}, true, {E, F}},
        };
    for (const auto& [format, first, incomplete, answers, saves, messages] : cases) {
        SCOPED_TRACE(std::string(InfoOf(format).name) + " from " + std::to_string(first));
        BoardSet set = RandomSet(first, first + 15);
        for (int n : incomplete)
            set[n] = Board{};
        if (format == FileFormat::Pbn || format == FileFormat::Bre) set.eventName = event;
        ScriptedDialogs d;
        for (Answer a : answers)
            d.QueueAnswer(a);
        EXPECT_EQ(SaveChecks(format, set, IncompleteBoardList(set), d), saves);
        ASSERT_EQ(d.messages.size(), messages.size());
        for (std::size_t m = 0; m < messages.size(); ++m)
            EXPECT_EQ(d.messages[m].text,
                      Message(messages[m], InfoOf(format).name, IncompleteBoardList(set)));
    }
    BoardSet set = RandomSet(1, 40);
    for (int n = 1; n <= 40; ++n)
        set[n] = Board{};
    // "1, 2, 3, 4, 5, 6, 7, 8, 9, 10" is 29 characters; 11 takes it past, then the cut mark follows.
    EXPECT_EQ(IncompleteBoardList(set), "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11.... ");
    EXPECT_EQ(IncompleteBoardList(RandomSet(1, 40)), "");
}

// Event texts keep the bytes their file brought: a load-and-save round trip of a Latin-1 or a UTF-8 file
// gives its event bytes back, and a text that Latin-1 cannot hold makes the file UTF-8 instead of being
// refused.
TEST(SaveChecks, TheFileKeepsItsEncodingUnlessATextNeedsUtf8) {
    // Format, the event name's bytes in the file, a site typed in the window afterwards (nullptr for none),
    // whether the written file carries the texts as UTF-8.
    const std::tuple<FileFormat, const char*, const char*, bool> cases[] = {
        {FileFormat::Bre, "Caf\xE9", nullptr, false},
        {FileFormat::Pbn, "Caf\xE9", nullptr, false},
        {FileFormat::Bre, "Caf\xC3\xA9", nullptr, true},
        {FileFormat::Pbn, "Caf\xC3\xA9", nullptr, true},
        {FileFormat::Pbn, "Caf\xE9", "Z\xC3\xBCrich", false}, // Latin-1 holds it
        {FileFormat::Bre, "Caf\xE9", "\305\201\303\263d\305\272 Pairs", true},
        {FileFormat::Pbn, "Caf\xE9", "10 \xE2\x82\xAC", true},
    };
    for (const auto& [format, name, typed, utf8Out] : cases) {
        SCOPED_TRACE(std::string(name) + " " + (typed ? typed : ""));
        BoardSet source = RandomSet(1, 2);
        source.eventName = "QQQ";
        std::string bytes = WriteBoardSet(format, source);
        bytes.replace(bytes.find("QQQ"), 3, name); // the case's raw bytes where the writer put the name
        BoardSet set = ClearedSet();
        ASSERT_FALSE(ReadBoardSet(format, bytes, set).has_value());
        if (typed != nullptr) set.eventSite = typed;
        ScriptedDialogs d;
        EXPECT_TRUE(SaveChecks(format, set, "", d) && d.messages.empty());
        const std::string written = WriteBoardSet(format, set);
        BoardSet again = ClearedSet();
        ASSERT_FALSE(ReadBoardSet(format, written, again).has_value());
        // Without a typed text the round trip leaves every byte as it was.
        EXPECT_EQ(std::tuple(IsValidUtf8(written), typed != nullptr || written == bytes, again.eventName,
                             again.eventSite),
                  std::tuple(utf8Out, true, "Caf\u00e9", typed != nullptr ? typed : ""));
    }
}

TEST(WriteFileSafely, ReplacesTheTargetKeepingItsPermissions) {
    TempDir dir;
    const std::string path = dir.File("set.bri");
    WriteFile(path, "old");
    const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(path, perms);
    EXPECT_FALSE(WriteFileSafely(path, "new contents"));
    EXPECT_EQ(std::tuple(ReadFile(path), fs::status(path).permissions() & fs::perms::all),
              std::tuple("new contents", perms));

    // Through a link: the file it names is replaced, the link stays.
    const std::string link = dir.File("link.bri");
    fs::create_symlink(path, link);
    EXPECT_FALSE(WriteFileSafely(link, "via link"));
    EXPECT_EQ(std::tuple(fs::is_symlink(link), ReadFile(path)), std::tuple(true, "via link"));
}

TEST(PlaceLoadedBoards, WithinTheSetRangeWithoutStaleBoards) {
    const BoardSet loaded = RandomSet(1, 32);
    BoardSet set = loaded;
    EXPECT_TRUE(!PlaceLoadedBoards(set, 610) && !PlaceLoadedBoards(set, 0) && SameBoards(loaded, set, 1, 32));
    for (int first : {609, 4, 1}) { // 4: the boards move onto slots they also come from
        set = loaded;
        ASSERT_TRUE(PlaceLoadedBoards(set, first));
        EXPECT_EQ(std::tuple(set.firstBoard, set.lastBoard,
                             SameBoards(RandomSet(first, first + 31), set, first, first + 31)),
                  std::tuple(first, first + 31, true)); // the same deals, numbered where they are
        for (int n = 1; n < first; ++n)
            EXPECT_EQ(set[n], Board{});
    }
}

TEST(BoardSetFiles, EveryFormatRoundTripsThroughAFileAndQuestionsBecomeWarnings) {
    TempDir dir;
    BoardSet set = RandomSet(1, 640, 77);
    set.eventName = "Spring pairs \u00e9t\u00e9";
    set.eventSite = "Club house";
    set.eventDate = "2026-12-06";
    for (const FormatInfo& info : BoardSetFormats()) {
        SCOPED_TRACE(info.name);
        const bool text = info.format == FileFormat::Bre || info.format == FileFormat::Pbn;
        const std::string path = dir.File(std::string("set.") + info.extension);
        FileOutcome out = SaveBoardSetFile(path, set);
        ASSERT_TRUE(out.ok && out.formatName == info.name) << out.error;
        BoardSet back;
        back.eventName = "left over";
        FileOutcome in = LoadBoardSetFile(path, back);
        ASSERT_TRUE(in.ok) << in.error;
        EXPECT_TRUE(SameBoards(set, back, 1, 640) && back.fileName == path);
        EXPECT_EQ(std::tuple(ReadFile(path), back.eventName), // event texts come back in BRE and PBN
                  std::tuple(WriteBoardSet(info.format, back), text ? set.eventName : ""));
    }
    FileOutcome out = SaveBoardSetFile(dir.File("x.dge"), RandomSet(5, 8));
    EXPECT_EQ(std::tuple(out.ok, out.warnings),
              std::tuple(true, std::vector{FormatMessage(MsgEventInfoNotSupported, "DGE"),
                                           FormatMessage(MsgFirstBoardNotOne, "DGE")}));
    set = WithIncompleteBoards({6}, 5, 8);
    out = SaveBoardSetFile(dir.File("y.bri"), set);
    EXPECT_EQ(std::tuple(out.ok, out.error, fs::exists(dir.File("y.bri"))),
              std::tuple(false, Message(MsgBoardIncompleteCannotSave, "BRI", "6"), false));
    EXPECT_EQ(SaveBoardSetFile(dir.File("z.doc"), set).error, FormatMessage(MsgUnknownFormatSave, "z.doc"));
    EXPECT_EQ(SaveBoardSetFile(dir.File("z.pbn"), BoardSet{}).error, FormatMessage(MsgNoBoardSet));
    BoardSet in = RandomSet(1, 3);
    FileOutcome loaded = LoadBoardSetFile(dir.File("absent.pbn"), in);
    EXPECT_EQ(
        std::tuple(loaded.ok, loaded.error, in.lastBoard),
        std::tuple(false, FormatMessage(MsgLoadError, std::to_string(ENOENT), std::strerror(ENOENT)), 0));
    loaded = LoadBoardSetFile(dir.File("x.dge"), in);
    EXPECT_EQ(std::tuple(loaded.ok, loaded.needsBoardNumbers, loaded.formatName),
              std::tuple(true, true, "DGE"));
}
