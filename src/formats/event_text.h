// Event name, site and date as the text-carrying formats (BRE, PBN) read and write them.
#pragma once

#include "base/text_encoding.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace orvenix {

// The main window's event fields hold texts shorter than 200 characters. A reader stores a longer text
// cut to the longest text the field holds, rather than dropping it.
inline constexpr std::size_t kEventTextMaxChars = 199;

// Stores text (UTF-8) in field, cut to at most limit characters and to kEventTextMaxChars.
inline void StoreEventText(std::string& field, std::string_view text,
                           std::size_t limit = kEventTextMaxChars) {
    if (limit > kEventTextMaxChars) limit = kEventTextMaxChars;
    field = Utf8Left(text, limit);
}

// A UTF-8 text as Latin-1 bytes for a file. The frame refuses beforehand a text Latin-1 cannot hold;
// should one get here anyway, each such character (or invalid byte) is written as "?". Line breaks and
// other control characters, which would break the file's line structure, are written as blanks.
std::string EventTextForFile(std::string_view utf8);

} // namespace orvenix
