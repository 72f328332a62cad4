#include "base/dialogs.h"
#include "base/settings.h"

#include <gtest/gtest.h>

#include <array>

using namespace orvenix;

TEST(Settings, DefaultsAndGarbageNumbers) {
    MemorySettings s;
    EXPECT_EQ(std::tuple(s.Read(keys::kInitFormat), s.Read(keys::kInitDirectory),
                         s.Read(keys::kPrintScoreCardMode), s.Read(keys::kPrintPerPage)),
              std::tuple("BRI", HomeDirectory(), "2", "0"));
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
    const std::array<const char*, 3> cases[] = {{"/home/td/sets/club.pbn", "/home/td/sets", "club.pbn"},
                                                {"c:\\sets\\club.pbn", "c:\\sets", "club.pbn"},
                                                {"c:club.pbn", "c", nullptr},
                                                {"/club.pbn", "/", "club.pbn"},
                                                {"club.pbn", "", "club.pbn"}};
    for (const auto& [path, dir, name] : cases) {
        EXPECT_EQ(DirectoryOf(path), dir) << path;
        EXPECT_TRUE(name == nullptr || FileNameOf(path) == name) << path;
    }
}
