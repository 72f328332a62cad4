// Text helpers of the drawing surface: printed numbers, UTF-8 aware shortening.
#include "base/text_encoding.h"
#include "print/layouts.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

TEST(PrintedNumber, CarriesBlanksOnBothSides) {
    EXPECT_EQ(PrintedNumber(7), " 7 ");
    EXPECT_EQ(PrintedNumber(640), " 640 ");
}

TEST(Utf8Text, DropsWholeCharacters) {
    EXPECT_EQ(DropLastCharacter(""), "");
    EXPECT_EQ(DropLastCharacter("ab"), "a");
    EXPECT_EQ(DropLastCharacter("Caf\xC3\xA9"), "Caf");     // é
    EXPECT_EQ(DropLastCharacter("x\xE2\x99\xA0"), "x");     // ♠
    EXPECT_EQ(DropLastCharacter("x\xF0\x9F\x83\x8F"), "x"); // a four-byte character
    EXPECT_EQ(DropLastCharacter("x\x80"), "x");             // stray continuation byte
    EXPECT_EQ(Utf8Length("Caf\xC3\xA9 \xE2\x99\xA0"), 6u);
}

TEST(Shortening, CutsAtTheEndUntilTheTextFits) {
    RecordingSurface s; // 576 points wide
    s.SetUnit(PrintUnit::Points);
    s.SetFontSize(10);
    EXPECT_EQ(ShortenToWidth(s, "short", 100), "short");
    const std::string cut = ShortenToWidth(s, std::string(200, 'n'), 100); // 'n' is 4.7 points wide
    EXPECT_EQ(cut, std::string(21, 'n'));
    EXPECT_EQ(ShortenToWidth(s, "abc", 0), "");
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
    // The surface keeps the unit and font it had.
    EXPECT_EQ(s.unit(), PrintUnit::Points);
    EXPECT_EQ(s.font(), (PrintFont{"Symbol", 9, false}));
}

TEST(RecordingSurface, MeasuresInTheCurrentUnit) {
    RecordingSurface s(576, 756);
    s.SetUnit(PrintUnit::Twips);
    EXPECT_EQ(s.PageWidth(), 11520);
    EXPECT_EQ(s.PageHeight(), 15120);
    s.SetFontSize(10);
    EXPECT_DOUBLE_EQ(s.TextWidth("A"), 0.72 * 10 * 20);
    s.SetBold(true);
    EXPECT_DOUBLE_EQ(s.TextWidth("A"), 0.72 * 10 * 1.1 * 20);
    s.SetUnit(PrintUnit::Points);
    EXPECT_EQ(s.PageWidth(), 576);
}

} // namespace
} // namespace orvenix
