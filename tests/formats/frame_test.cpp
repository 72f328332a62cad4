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

namespace {
// A message about a format, with the list of incomplete boards where it has one.
std::string Message(MessageKey key, const char* format, const char* list) {
    return ReplaceAll(FormatMessage(key, format), "nnn", list);
}
} // namespace

// The questions and refusals before a save, in the order they come, and whether the save goes on.
TEST(SaveChecks, QuestionsAndRefusalsByFormat) {
    struct Case {
        FileFormat format;
        int first;
        std::vector<int> incomplete;
        std::vector<Answer> answers; // then Yes
        bool saves;
        std::vector<MessageKey> messages;
    };
    const std::string event = "Pairs; evening"; // characters PBN cannot hold, given for BRE and PBN only
    const MessageKey E = MsgEventInfoNotSupported, F = MsgFirstBoardNotOne, P = MsgPbnForbiddenCharacters;
    const Answer No = Answer::No, Yes = Answer::Yes;
    const Case cases[] = {
        {FileFormat::Dge, 1, {3, 7}, {}, false, {MsgBoardsIncompleteCannotSave}},
        {FileFormat::Bri, 1, {12}, {}, false, {MsgBoardIncompleteCannotSave}},
        {FileFormat::Pbn, 1, {3, 7}, {No}, false, {MsgBoardsIncompleteProceed}},
        {FileFormat::Bre, 1, {12}, {}, true, {MsgBoardIncompleteProceed}},
        {FileFormat::Pbn, 1, {2}, {}, false, {MsgBoardIncompleteProceed, P}},
        {FileFormat::Bre, 17, {}, {}, true, {}},
        {FileFormat::Pbn, 17, {}, {}, false, {P}},
        {FileFormat::Dup, 17, {}, {}, true, {E}},
        {FileFormat::Bri, 1, {}, {}, true, {E}},
        {FileFormat::Bri, 17, {}, {No}, false, {E}},
        {FileFormat::Bri, 17, {}, {Yes, No}, false, {E, F}},
        {FileFormat::Dge, 17, {}, {}, true, {E, F}},
        {FileFormat::Zeta771, 17, {}, {}, true, {E, F}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE("case " + std::to_string(i));
        BoardSet set = RandomSet(c.first, c.first + 15);
        for (int n : c.incomplete) {
            set[n].cardOwner[1] = 0;
            AnalyseBoard(set[n]);
        }
        if (c.format == FileFormat::Pbn || c.format == FileFormat::Bre) set.eventName = event;
        ScriptedDialogs d;
        for (Answer a : c.answers)
            d.QueueAnswer(a);
        EXPECT_EQ(SaveChecks(c.format, set, IncompleteBoardList(set), d), c.saves);
        ASSERT_EQ(d.messages.size(), c.messages.size());
        const std::string name = InfoOf(c.format).name;
        for (std::size_t m = 0; m < c.messages.size(); ++m)
            EXPECT_EQ(d.messages[m].text,
                      Message(c.messages[m], name.c_str(), IncompleteBoardList(set).c_str()));
    }
}

TEST(SaveChecks, LongIncompleteListIsCutOnce) {
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
    struct Case {
        FileFormat format;
        const char* name;  // the event name's bytes in the file
        const char* typed; // a site typed in the window afterwards, nullptr for none
        bool utf8Out;      // whether the written file carries the texts as UTF-8
    };
    const Case cases[] = {{FileFormat::Bre, "Caf\xE9", nullptr, false},
                          {FileFormat::Pbn, "Caf\xE9", nullptr, false},
                          {FileFormat::Bre, "Caf\xC3\xA9", nullptr, true},
                          {FileFormat::Pbn, "Caf\xC3\xA9", nullptr, true},
                          {FileFormat::Pbn, "Club", "Z\xC3\xBCrich", false}, // Latin-1 holds it
                          {FileFormat::Bre, "Club",
                           "\xC5\x81\xC3\xB3"
                           "d\xC5\xBA Pairs",
                           true},
                          {FileFormat::Pbn, "Caf\xE9", "10 \xE2\x82\xAC", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoardSet source = RandomSet(1, 2);
        source.eventName = "QQQ";
        std::string bytes = WriteBoardSet(c.format, source);
        bytes.replace(bytes.find("QQQ"), 3, c.name); // the case's raw bytes where the writer put the name
        BoardSet set = ClearedSet();
        ASSERT_FALSE(ReadBoardSet(c.format, bytes, set).has_value());
        if (c.typed != nullptr) set.eventSite = c.typed;
        ScriptedDialogs d;
        ASSERT_TRUE(SaveChecks(c.format, set, "", d));
        EXPECT_TRUE(d.messages.empty());
        const std::string written = WriteBoardSet(c.format, set);
        if (c.typed == nullptr) { // read as the same text; the round trip leaves every byte as it was
            EXPECT_EQ(std::tie(set.eventName, written), std::tie("Caf\u00e9", bytes));
            continue;
        }
        EXPECT_EQ(IsValidUtf8(written), c.utf8Out);
        BoardSet again = ClearedSet();
        ASSERT_FALSE(ReadBoardSet(c.format, written, again).has_value());
        EXPECT_EQ(std::tie(again.eventSite, again.eventName), std::tie(c.typed, set.eventName));
    }
}

TEST(WriteFileSafely, ReplacesTheTargetKeepingItsPermissions) {
    TempDir dir;
    const std::string path = dir.File("set.bri");
    WriteFile(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_FALSE(WriteFileSafely(path, "new contents"));
    EXPECT_EQ(ReadFile(path), "new contents");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // Through a link: the file it names is replaced, the link stays.
    const std::string link = dir.File("link.bri");
    fs::create_symlink(path, link);
    EXPECT_FALSE(WriteFileSafely(link, "via link"));
    EXPECT_EQ(std::tuple(fs::is_symlink(link), ReadFile(path)), std::tuple(true, "via link"));
}

TEST(PlaceLoadedBoards, WithinTheSetRangeWithoutStaleBoards) {
    EXPECT_EQ(MaxFirstBoard(32), 609);
    const BoardSet loaded = RandomSet(1, 32);
    BoardSet set = loaded;
    EXPECT_FALSE(PlaceLoadedBoards(set, 610) || PlaceLoadedBoards(set, 0));
    EXPECT_TRUE(SameBoards(loaded, set, 1, 32));
    EXPECT_NE(IncorrectFirstBoardText(609).find("First Board numbers must be between 1 and 609"),
              std::string::npos);
    for (int first : {609, 4, 1}) { // 4: the boards move onto slots they also come from
        set = loaded;
        ASSERT_TRUE(PlaceLoadedBoards(set, first));
        EXPECT_EQ(std::tuple(set.firstBoard, set.lastBoard), std::tuple(first, first + 31));
        for (int n = first; n <= first + 31; ++n)
            EXPECT_EQ(std::tuple(set[n].cardOwner, Numbering(set[n])),
                      std::tuple(loaded[n - first + 1].cardOwner, StandardNumbering(n)));
        for (int n = 1; n < first; ++n)
            EXPECT_EQ(set[n], Board{});
    }
}

TEST(BoardSetFiles, EveryFormatRoundTripsThroughAFile) {
    TempDir dir;
    BoardSet set = RandomSet(1, 16, 21);
    for (const FormatInfo& info : BoardSetFormats()) {
        SCOPED_TRACE(info.name);
        const std::string path = dir.File(std::string("set.") + info.extension);
        FileOutcome out = SaveBoardSetFile(path, set);
        ASSERT_TRUE(out.ok && out.formatName == info.name) << out.error;
        BoardSet back;
        back.eventName = "left over";
        FileOutcome in = LoadBoardSetFile(path, back);
        ASSERT_TRUE(in.ok) << in.error;
        EXPECT_TRUE(SameBoards(set, back, 1, 16) && back.fileName == path);
        EXPECT_EQ(ReadFile(path), WriteBoardSet(info.format, back));
    }
}

TEST(BoardSetFiles, QuestionsBecomeWarningsAndRefusalsErrors) {
    TempDir dir;
    BoardSet set = RandomSet(5, 8);
    FileOutcome out = SaveBoardSetFile(dir.File("x.dge"), set);
    ASSERT_TRUE(out.ok);
    ASSERT_EQ(out.warnings.size(), 2U);
    EXPECT_EQ(out.warnings[1], FormatMessage(MsgFirstBoardNotOne, "DGE"));

    set = WithIncompleteBoards({6}, 5, 8);
    out = SaveBoardSetFile(dir.File("y.bri"), set);
    EXPECT_EQ(std::tuple(out.ok, out.error, fs::exists(dir.File("y.bri"))),
              std::tuple(false, Message(MsgBoardIncompleteCannotSave, "BRI", "6"), false));

    out = SaveBoardSetFile(dir.File("z.doc"), set);
    EXPECT_EQ(out.error, FormatMessage(MsgUnknownFormatSave, "z.doc"));
    out = SaveBoardSetFile(dir.File("z.pbn"), BoardSet{});
    EXPECT_EQ(out.error, FormatMessage(MsgNoBoardSet));

    BoardSet in = RandomSet(1, 3);
    FileOutcome loaded = LoadBoardSetFile(dir.File("absent.pbn"), in);
    EXPECT_EQ(
        std::tuple(loaded.ok, loaded.error, in.lastBoard),
        std::tuple(false, FormatMessage(MsgLoadError, std::to_string(ENOENT), std::strerror(ENOENT)), 0));
    loaded = LoadBoardSetFile(dir.File("x.dge"), in);
    EXPECT_EQ(std::tuple(loaded.ok, loaded.needsBoardNumbers, loaded.formatName),
              std::tuple(true, true, "DGE"));
}
