#include "base/text_encoding.h"
#include "formats/bri.h"
#include "formats/dup.h"
#include "formats/frame.h"
#include "formats/pbn.h"
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

TEST(SaveChecks, IncompleteBoardsAreRefusedOrQuestionedByFormat) {
    struct Case {
        FileFormat format;
        std::initializer_list<int> incomplete;
        Answer answer;
        bool saves;
        MessageKey key;
        const char* title;
        Icon icon;
    };
    const Case cases[] = {
        {FileFormat::Dge,
         {3, 7},
         Answer::Yes,
         false,
         MsgBoardsIncompleteCannotSave,
         "Save Error",
         Icon::Critical},
        {FileFormat::Bri,
         {12},
         Answer::Yes,
         false,
         MsgBoardIncompleteCannotSave,
         "Save Error",
         Icon::Critical},
        {FileFormat::Pbn,
         {3, 7},
         Answer::No,
         false,
         MsgBoardsIncompleteProceed,
         "Save Board Set",
         Icon::Exclamation},
        {FileFormat::Bre,
         {12},
         Answer::Yes,
         true,
         MsgBoardIncompleteProceed,
         "Save Board Set",
         Icon::Exclamation},
    };
    for (const Case& c : cases) {
        const BoardSet set = WithIncompleteBoards(c.incomplete);
        const std::string list = IncompleteBoardList(set);
        SCOPED_TRACE(list);
        ScriptedDialogs d;
        d.QueueAnswer(c.answer);
        EXPECT_EQ(SaveChecks(c.format, set, list, d), c.saves);
        ASSERT_EQ(d.messages.size(), 1U);
        EXPECT_EQ(d.Last().text, ReplaceAll(FormatMessage(c.key, InfoOf(c.format).name), "nnn", list));
        EXPECT_EQ(d.Last().title, c.title);
        EXPECT_EQ(d.Last().icon, c.icon);
    }
    EXPECT_EQ(IncompleteBoardList(WithIncompleteBoards({3, 7})), "3, 7");
    EXPECT_NE(ReplaceAll(FormatMessage(MsgBoardsIncompleteCannotSave, "DGE"), "nnn", "3, 7")
                  .find("Boards number: 3, 7 are incomplete."),
              std::string::npos);
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
        EXPECT_EQ(d.messages[0].text, FormatMessage(MsgEventInfoNotSupported, name));
        EXPECT_EQ(d.messages[1].text, FormatMessage(MsgFirstBoardNotOne, name));
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
    EXPECT_EQ(d.messages[0].text, ReplaceAll(FormatMessage(MsgBoardIncompleteProceed, "PBN"), "nnn", "2"));
    EXPECT_EQ(d.messages[1].text, FormatMessage(MsgPbnForbiddenCharacters));
    EXPECT_EQ(d.messages[1].title, "Save Error");
    // BRE keeps such texts.
    ScriptedDialogs bre;
    EXPECT_TRUE(SaveChecks(FileFormat::Bre, set, IncompleteBoardList(set), bre));
}

// Event texts keep the bytes their file brought: a load-and-save round trip of a Latin-1 or a UTF-8 file
// gives its event bytes back, and a text that Latin-1 cannot hold makes the file UTF-8 instead of being
// refused.
struct EventBytesCase {
    FileFormat format;
    const char* name;  // the event name's bytes in the file
    const char* typed; // a site typed in the window afterwards, nullptr for none
    bool utf8Out;      // whether the written file carries the texts as UTF-8
};

class EventBytesTest : public ::testing::TestWithParam<EventBytesCase> {};

TEST_P(EventBytesTest, TheFileKeepsItsEncodingUnlessATextNeedsUtf8) {
    const EventBytesCase& c = GetParam();
    BoardSet source = RandomSet(1, 2);
    source.eventName = "QQQ";
    std::string bytes = WriteBoardSet(c.format, source);
    // Put the case's raw bytes where the writer put the name.
    const std::size_t at = bytes.find("QQQ");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 3, c.name);

    BoardSet set = ClearedSet();
    ASSERT_FALSE(ReadBoardSet(c.format, bytes, set).has_value());
    if (c.typed != nullptr) set.eventSite = c.typed;
    ScriptedDialogs d;
    ASSERT_TRUE(SaveChecks(c.format, set, "", d));
    EXPECT_TRUE(d.messages.empty());
    const std::string written = WriteBoardSet(c.format, set);
    if (c.typed == nullptr) {
        EXPECT_EQ(written, bytes); // the round trip leaves every byte as it was
    } else {
        EXPECT_EQ(IsValidUtf8(written), c.utf8Out);
        BoardSet again = ClearedSet();
        ASSERT_FALSE(ReadBoardSet(c.format, written, again).has_value());
        EXPECT_EQ(again.eventSite, c.typed);
        EXPECT_EQ(again.eventName, set.eventName);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EventBytesTest,
    ::testing::Values(EventBytesCase{FileFormat::Bre, "Caf\xE9", nullptr, false},
                      EventBytesCase{FileFormat::Pbn, "Caf\xE9", nullptr, false},
                      EventBytesCase{FileFormat::Bre, "Caf\xC3\xA9", nullptr, true},
                      EventBytesCase{FileFormat::Pbn, "Caf\xC3\xA9", nullptr, true},
                      EventBytesCase{FileFormat::Pbn, "Club", "Z\xC3\xBCrich", false}, // Latin-1 holds it
                      EventBytesCase{FileFormat::Bre, "Club",
                                     "\xC5\x81\xC3\xB3"
                                     "d\xC5\xBA Pairs",
                                     true},
                      EventBytesCase{FileFormat::Pbn, "Caf\xE9", "10 \xE2\x82\xAC", true}));

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
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(path), "via link");
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
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, ReplaceAll(FormatMessage(MsgBoardIncompleteCannotSave, "BRI"), "nnn", "6"));
    EXPECT_FALSE(fs::exists(dir.File("y.bri")));

    out = SaveBoardSetFile(dir.File("z.doc"), set);
    EXPECT_EQ(out.error, FormatMessage(MsgUnknownFormatSave, "z.doc"));
    out = SaveBoardSetFile(dir.File("z.pbn"), BoardSet{});
    EXPECT_EQ(out.error, FormatMessage(MsgNoBoardSet));

    BoardSet in = RandomSet(1, 3);
    FileOutcome loaded = LoadBoardSetFile(dir.File("absent.pbn"), in);
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.error, FormatMessage(MsgLoadError, std::to_string(ENOENT), std::strerror(ENOENT)));
    EXPECT_EQ(in.lastBoard, 0);
    loaded = LoadBoardSetFile(dir.File("x.dge"), in);
    EXPECT_TRUE(loaded.ok);
    EXPECT_TRUE(loaded.needsBoardNumbers);
    EXPECT_EQ(loaded.formatName, "DGE");
}
