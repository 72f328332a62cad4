// Text helpers of the drawing surface: printed numbers, UTF-8 aware shortening, measuring.
#include "base/text_encoding.h"
#include "print/layouts.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

TEST(Utf8Text, DropsWholeCharacters) {
    const std::pair<const char*, const char*> cases[] = {{"", ""},
                                                         {"ab", "a"},
                                                         {"Caf\xC3\xA9", "Caf"},     // é
                                                         {"x\xE2\x99\xA0", "x"},     // ♠
                                                         {"x\xF0\x9F\x83\x8F", "x"}, // a four-byte character
                                                         {"x\x80", "x"}}; // stray continuation byte
    for (const auto& [text, dropped] : cases)
        EXPECT_EQ(DropLastCharacter(text), dropped);
    EXPECT_EQ(PrintedNumber(640), " 640 ");
}

TEST(Shortening, CutsAtTheEndOrTheFrontUntilTheTextFits) {
    RecordingSurface s; // 576 points wide
    s.SetUnit(PrintUnit::Points);
    s.SetFontSize(10);
    EXPECT_EQ(ShortenToWidth(s, "short", 100), "short");
    EXPECT_EQ(ShortenToWidth(s, std::string(200, 'n'), 100), std::string(21, 'n')); // 'n' is 4.7 points
    EXPECT_EQ(ShortenToWidth(s, "abc", 0), "");
    EXPECT_EQ(ShortenFrontToWidth(s, "short", 100), "short");
    // A long path keeps its end, whole characters of two, three and four bytes included.
    const std::string name = "/Z\xC3\xBCrich \xE2\x99\xA0 \xF0\x9F\x83\x8F Pairs.pbn";
    const std::string cut = ShortenFrontToWidth(s, "/home/club/" + std::string(100, 'x') + name, 150);
    ASSERT_EQ(cut.substr(0, 3), "...");
    EXPECT_LE(s.TextWidth(cut), 150);
    EXPECT_GT(s.TextWidth(cut), 150 - 4.7);
    EXPECT_EQ(cut.substr(cut.size() - name.size()), name);
    EXPECT_EQ(cut.substr(3, cut.size() - 3 - name.size()), std::string(cut.size() - 3 - name.size(), 'x'));
}

TEST(Shortening, EventNameFitsThePrintableWidthAtTheHeadingFont) {
    RecordingSurface s(300, 700);
    s.SetUnit(PrintUnit::Points);
    s.SetFontName("Symbol");
    s.SetFontSize(9);
    // 20-point bold: each 'é' (0.75 em) is 16.5 points wide; 300 points hold 18 of them.
    std::string name;
    for (int i = 0; i < 30; ++i)
        name += "\xC3\xA9";
    const std::string cut = ShortenEventName(s, name);
    EXPECT_EQ(Utf8Length(cut), 18u);
    EXPECT_EQ(cut.size(), 36u);
    EXPECT_EQ(ShortenEventName(s, "Club"), "Club");
    EXPECT_EQ(s.unit(), PrintUnit::Points); // the surface keeps the unit and font it had
    EXPECT_EQ(s.font(), (PrintFont{"Symbol", 9, false}));
}

} // namespace
} // namespace orvenix
