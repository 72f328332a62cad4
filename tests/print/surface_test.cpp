// Text helpers of the drawing surface: UTF-8 aware shortening at the end or the front, and the event name.
#include "print/layouts.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

TEST(Shortening, DropsWholeCharactersAndCutsAtTheEndOrTheFrontUntilTheTextFits) {
    EXPECT_EQ(DropLastCharacter(""), "");
    // a letter, é, ♠, a four-byte character, a stray continuation byte
    for (const char* text : {"xb", "x\xC3\xA9", "x\xE2\x99\xA0", "x\xF0\x9F\x83\x8F", "x\x80"})
        EXPECT_EQ(DropLastCharacter(text), "x") << text;
    RecordingSurface s; // 576 points wide
    s.SetUnit(PrintUnit::Points);
    EXPECT_EQ(ShortenToWidth(s, std::string(200, 'n'), 100), std::string(21, 'n')); // 'n' is 4.7 points
    EXPECT_EQ(ShortenFrontToWidth(s, "short", s.TextWidth("short")), "short");      // just fits
    // A long path keeps its end, whole characters of two, three and four bytes included, and as many of
    // the 'x' before it as fit.
    const std::string cut = "...xxxxxxxx/Z\xC3\xBCrich \xE2\x99\xA0 \xF0\x9F\x83\x8F Pairs.pbn";
    EXPECT_EQ(ShortenFrontToWidth(s, "/home/club/" + std::string(100, 'x') + cut.substr(3), s.TextWidth(cut)),
              cut);
}

TEST(Shortening, EventNameFitsThePrintableWidthAtTheHeadingFontAndLeavesTheSurfaceAsItWas) {
    RecordingSurface s(300, 700);
    s.SetUnit(PrintUnit::Points);
    s.SetFontName("Symbol");
    // 20-point bold: each 'é' (0.75 em) is 16.5 points wide; 300 points hold 18 of them.
    std::string name, fits;
    for (int i = 0; i < 30; ++i)
        (i < 18 ? fits : name) += "\xC3\xA9";
    EXPECT_EQ(ShortenEventName(s, fits + name), fits);
    EXPECT_EQ(std::tuple(s.unit(), s.font()), std::tuple(PrintUnit::Points, PrintFont{"Symbol", 10, false}));
}

} // namespace
} // namespace orvenix
