#include "base/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvenix;

// File texts that are valid UTF-8 are kept; anything else is taken as Latin-1, one character per byte.
TEST(TextEncoding, OnlyValidUtf8IsTakenAsUtf8) {
    struct Case {
        const char* bytes;
        bool utf8;
    };
    const Case cases[] = {
        {"Club", true},
        {"Caf\xC3\xA9", true},
        {"\xE2\x82\xAC 10", true},       // three bytes
        {"\xF0\x9F\x82\xA1", true},      // four bytes
        {"\xF4\x8F\xBF\xBF", true},      // the highest code point
        {"Caf\xE9", false},              // Latin-1
        {"\xC3", false},                 // cut short
        {"\xC3\x28", false},             // no continuation byte
        {"\xC0\x80", false},             // two-byte overlong
        {"\xE0\x80\x80", false},         // three-byte overlong
        {"\xE0\x9F\xBF", false},         // three-byte overlong, just below U+0800
        {"\xF0\x80\x80\x80", false},     // four-byte overlong
        {"\xF4\x90\x80\x80", false},     // above U+10FFFF
        {"\xED\xA0\x80", false},         // a surrogate
        {"\x81\x80\x80", false},         // a continuation byte first
        {"\xC1\x80\x80", false},         // never a lead byte
        {"\xF8\x88\x80\x80\x80", false}, // five-byte forms are not UTF-8
        {"\xF5\x80\x80\x80", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(IsValidUtf8(c.bytes), c.utf8);
        const std::string text = DecodeFileText(c.bytes);
        EXPECT_EQ(text == c.bytes, c.utf8);
        EXPECT_TRUE(IsValidUtf8(text));
        EXPECT_EQ(Utf8Length(text), c.utf8 ? Utf8Length(c.bytes) : std::string(c.bytes).size());
    }
    EXPECT_EQ(DecodeFileText("Caf\xE9"), "Caf\u00e9");
    EXPECT_EQ(ToLatin1("Caf\u00e9"), "Caf\xE9");
    EXPECT_FALSE(ToLatin1("\u20ac").has_value());
    EXPECT_EQ(Utf8Left("\u00e9t\u00e9 x", 3), "\u00e9t\u00e9");
}
