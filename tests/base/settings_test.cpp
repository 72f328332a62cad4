#include "base/settings.h"

#include <gtest/gtest.h>

using namespace orvenix;

TEST(Settings, DefaultsGarbageNumbersAndPaths) {
    MemorySettings s;
    EXPECT_EQ(std::tuple(s.Read(keys::kInitFormat), s.Read(keys::kInitDirectory),
                         s.Read(keys::kPrintScoreCardMode), s.Read(keys::kPrintPerPage)),
              std::tuple("BRI", HomeDirectory(), "2", "0"));
    const std::pair<const char*, int> cases[] = {
        {"3", 3}, {"x7", 1}, {"9", 1}, {"", 1}, {"99999999999999999999", 1}};
    for (const auto& [text, value] : cases) {
        s.Write(keys::kPrintPerPage, text);
        EXPECT_EQ(s.ReadInt(keys::kPrintPerPage, 1, 0, 4), value) << text;
    }
    // The folder and the file name of a path, with every separator.
    std::string seen;
    for (const char* path :
         {"/home/td/sets/club.pbn", "c:\\sets\\club.pbn", "c:club.pbn", "/club.pbn", "club.pbn"})
        seen += DirectoryOf(path) + "|" + FileNameOf(path) + " ";
    EXPECT_EQ(seen, "/home/td/sets|club.pbn c:\\sets|club.pbn c|club.pbn /|club.pbn |club.pbn ");
}
