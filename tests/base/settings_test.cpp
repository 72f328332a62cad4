#include "base/dialogs.h"
#include "base/settings.h"

#include <gtest/gtest.h>

using namespace orvenix;

TEST(Settings, DefaultsAndGarbageNumbers) {
    MemorySettings s;
    EXPECT_EQ(s.Read(keys::kInitFormat), "BRI");
    EXPECT_EQ(s.Read(keys::kInitDirectory), HomeDirectory());
    EXPECT_EQ(s.Read(keys::kPrintScoreCardMode), "2");
    EXPECT_EQ(s.Read(keys::kPrintPerPage), "0");
    s.Write(keys::kInitFormat, "pbn");
    EXPECT_EQ(s.Read(keys::kInitFormat), "pbn");
    const std::pair<const char*, int> cases[] = {
        {"3", 3}, {"x7", 1}, {"9", 1}, {"", 1}, {"99999999999999999999", 1}};
    for (const auto& [text, value] : cases) {
        s.Write(keys::kPrintPerPage, text);
        EXPECT_EQ(s.ReadInt(keys::kPrintPerPage, 1, 0, 4), value) << text;
    }
}

TEST(Settings, DirectoryAndFileNameAcceptEverySeparator) {
    struct Case {
        const char* path;
        const char* dir;
        const char* name;
    };
    for (const Case& c :
         {Case{"/home/td/sets/club.pbn", "/home/td/sets", "club.pbn"},
          Case{"c:\\sets\\club.pbn", "c:\\sets", "club.pbn"}, Case{"c:club.pbn", "c", nullptr},
          Case{"/club.pbn", "/", "club.pbn"}, Case{"club.pbn", "", "club.pbn"}}) {
        EXPECT_EQ(DirectoryOf(c.path), c.dir) << c.path;
        if (c.name != nullptr) {
            EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
        }
    }
}
