// Board-set files are single-byte text. In memory, texts are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvenix {

bool IsValidUtf8(std::string_view bytes);
// The bytes as UTF-8: unchanged when they are valid UTF-8, otherwise taken as Latin-1.
std::string DecodeFileText(std::string_view bytes);
// UTF-8 text as Latin-1 bytes; nothing when a character has no Latin-1 code (or the UTF-8 is invalid).
std::optional<std::string> ToLatin1(std::string_view utf8);
// Number of characters (code points) of a UTF-8 text.
std::size_t Utf8Length(std::string_view utf8);
// The first n characters of a UTF-8 text.
std::string Utf8Left(std::string_view utf8, std::size_t n);

} // namespace orvenix
