#include "base/text_encoding.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace orvenix;

// File texts that are valid UTF-8 are kept; anything else is taken as Latin-1, one character per byte.
TEST(TextEncoding, OnlyValidUtf8IsTakenAsUtf8) {
    // Two, three and four bytes, up to the highest code point.
    const std::vector<const char*> utf8 = {"Club", "Caf\xC3\xA9", "\xE2\x82\xAC 10", "\xF0\x9F\x82\xA1",
                                           "\xF4\x8F\xBF\xBF"};
    // Latin-1, cut short, no continuation byte, overlong forms of two, three (also just below U+0800) and
    // four bytes, above U+10FFFF, a surrogate, a continuation byte first, never a lead byte, five-byte forms.
    const std::vector<const char*> other = {
        "Caf\xE9",         "\xC3",         "\xC3\x28",         "\xC0\x80",
        "\xE0\x80\x80",    "\xE0\x9F\xBF", "\xF0\x80\x80\x80", "\xF4\x90\x80\x80",
        "\xED\xA0\x80",    "\x81\x80\x80", "\xC1\x80\x80",     "\xF8\x88\x80\x80\x80",
        "\xF5\x80\x80\x80"};
    for (const bool valid : {true, false}) {
        for (const char* bytes : valid ? utf8 : other) {
            SCOPED_TRACE(bytes);
            // Kept or decoded byte by byte, the text is valid UTF-8 with one character per byte taken.
            const std::string text = DecodeFileText(bytes);
            EXPECT_EQ(std::tuple(IsValidUtf8(bytes), text == bytes, IsValidUtf8(text), Utf8Length(text)),
                      std::tuple(valid, valid, true, valid ? Utf8Length(bytes) : std::string(bytes).size()));
        }
    }
    EXPECT_EQ(DecodeFileText("Caf\xE9"), "Caf\u00e9");
    EXPECT_EQ(ToLatin1("Caf\u00e9"), "Caf\xE9");
    EXPECT_FALSE(ToLatin1("\u20ac").has_value());
    EXPECT_EQ(Utf8Left("\u00e9t\u00e9 x", 3), "\u00e9t\u00e9");
}
