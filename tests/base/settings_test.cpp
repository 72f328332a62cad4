#include "base/dialogs.h"
#include "base/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace orvenix;

TEST(Settings, DefaultsOfEveryKey) {
    MemorySettings s;
    EXPECT_EQ(s.Read(keys::kInitFormat), "BRI");
    EXPECT_EQ(s.Read(keys::kInitDirectory), HomeDirectory());
    EXPECT_EQ(s.Read(keys::kPrintScoreCardMode), "2");
    for (const char* k : {keys::kPrintPerPage, keys::kPrintMode, keys::kInitStartFromBox, keys::kInitReadMode,
                          keys::kNational, keys::kCardType, keys::kThreshold, keys::kCardIndex,
                          keys::kCheckBoard}) {
        EXPECT_EQ(s.Read(k), "0") << k;
    }
    s.Write(keys::kInitFormat, "pbn");
    EXPECT_EQ(s.Read(keys::kInitFormat), "pbn");
}

TEST(Settings, GarbageNumbersFallBackToTheDefault) {
    MemorySettings s;
    s.Write(keys::kPrintPerPage, "x7");
    EXPECT_EQ(s.ReadInt(keys::kPrintPerPage, 0, 0, 4), 0);
    s.Write(keys::kPrintPerPage, "9");
    EXPECT_EQ(s.ReadInt(keys::kPrintPerPage, 0, 0, 4), 0);
    s.Write(keys::kPrintPerPage, "3");
    EXPECT_EQ(s.ReadInt(keys::kPrintPerPage, 0, 0, 4), 3);
    s.Write(keys::kPrintPerPage, "");
    EXPECT_EQ(s.ReadInt(keys::kPrintPerPage, 1, 0, 4), 1);
    s.Write(keys::kPrintPerPage, "99999999999999999999");
    EXPECT_EQ(s.ReadInt(keys::kPrintPerPage, 2, 0, 4), 2);
}

TEST(Settings, DirectoryAndFileNameAcceptEverySeparator) {
    EXPECT_EQ(DirectoryOf("/home/td/sets/club.pbn"), "/home/td/sets");
    EXPECT_EQ(DirectoryOf("c:\\sets\\club.pbn"), "c:\\sets");
    EXPECT_EQ(DirectoryOf("c:club.pbn"), "c");
    EXPECT_EQ(DirectoryOf("/club.pbn"), "/");
    EXPECT_EQ(DirectoryOf("club.pbn"), "");
    EXPECT_EQ(FileNameOf("/home/td/sets/club.pbn"), "club.pbn");
    EXPECT_EQ(FileNameOf("c:\\sets\\club.pbn"), "club.pbn");
    EXPECT_EQ(FileNameOf("club.pbn"), "club.pbn");
}

TEST(ScriptedDialogs, QueuedAnswersThenDefaults) {
    ScriptedDialogs d;
    d.QueueAnswer(Answer::No);
    EXPECT_EQ(d.Show("q", "t", Buttons::YesNoCancel, Icon::Exclamation), Answer::No);
    EXPECT_EQ(d.Show("q", "t", Buttons::YesNo, Icon::Question), Answer::Yes);
    EXPECT_EQ(d.Show("m", "t", Buttons::Ok, Icon::Information), Answer::Ok);
    EXPECT_EQ(d.messages.size(), 3U);
    EXPECT_FALSE(d.FileDialog({}).has_value());
    d.QueueFile("/tmp/x.pbn", 5);
    auto r = d.FileDialog({});
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->path, "/tmp/x.pbn");
    EXPECT_EQ(r->filterIndex, 5);
}
