#include "formats/event_text.h"

#include <optional>

namespace orvenix {

bool HasNonAscii(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

bool EventTextsAsUtf8(const BoardSet& set) {
    if (set.eventTextsUtf8) return true;
    for (const std::string* text : {&set.eventName, &set.eventSite, &set.eventDate}) {
        if (!ToLatin1(*text)) return true;
    }
    return false;
}

std::string EventTextForFile(std::string_view utf8, bool asUtf8) {
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
        if (asUtf8) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (n == 1 && (c < 0x20 || c == 0x7F))
                out += ' ';
            else
                out.append(utf8.substr(i, n));
            i += n;
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
