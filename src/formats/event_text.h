// Event name, site and date as the text-carrying formats (BRE, PBN) read and write them.
#pragma once

#include "base/text_encoding.h"
#include "model/board.h"

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

// Whether the set's event texts go into a file as UTF-8: the set came from a UTF-8 file, or a text holds
// a character Latin-1 cannot hold (typed in the window, say).
bool EventTextsAsUtf8(const BoardSet& set);

// A UTF-8 text as the bytes of a file: UTF-8 as it stands, or Latin-1. Line breaks and other control
// characters, which would break the file's line structure, are written as blanks; an invalid byte (and,
// in Latin-1, a character it cannot hold) as "?".
std::string EventTextForFile(std::string_view utf8, bool asUtf8 = false);

// Whether a file's bytes, valid UTF-8, carry letters beyond ASCII: the file is then taken as UTF-8.
bool HasNonAscii(std::string_view bytes);

} // namespace orvenix
