#include "formats/event_text.h"

#include <optional>

namespace orvenix {

std::string EventTextForFile(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        // Length of the character's UTF-8 sequence, judged by its lead byte.
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t n = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (i + n > utf8.size() || !IsValidUtf8(utf8.substr(i, n))) {
            out += '?'; // an invalid byte: skip it alone
            i += 1;
            continue;
        }
        const std::optional<std::string> latin1 = ToLatin1(utf8.substr(i, n));
        if (!latin1) {
            out += '?';
        } else {
            const auto c = static_cast<unsigned char>((*latin1)[0]);
            out += (c < 0x20 || c == 0x7F) ? ' ' : (*latin1)[0];
        }
        i += n;
    }
    return out;
}

} // namespace orvenix
