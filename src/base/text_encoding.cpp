#include "base/text_encoding.h"

namespace orvenix {
namespace {
// Length of the UTF-8 sequence starting at bytes[i], or 0 when it is not a valid sequence.
std::size_t SequenceLength(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    unsigned cp = 0;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1FU;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0FU;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07U;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0U) != 0x80U) return 0;
        cp = (cp << 6U) | (cc & 0x3FU);
    }
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}
} // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = SequenceLength(bytes, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string DecodeFileText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0U | (c >> 6U));
            out += static_cast<char>(0x80U | (c & 0x3FU));
        }
    }
    return out;
}

std::optional<std::string> ToLatin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = SequenceLength(utf8, i);
        if (n == 0) return std::nullopt;
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (n == 1) {
            out += static_cast<char>(c);
        } else if (n == 2 && c <= 0xC3) {
            const auto c2 = static_cast<unsigned char>(utf8[i + 1]);
            out += static_cast<char>(((c & 0x03U) << 6U) | (c2 & 0x3FU));
        } else {
            return std::nullopt;
        }
        i += n;
    }
    return out;
}

std::size_t Utf8Length(std::string_view utf8) {
    std::size_t count = 0;
    for (char ch : utf8) {
        if ((static_cast<unsigned char>(ch) & 0xC0U) != 0x80U) ++count;
    }
    return count;
}

std::string Utf8Left(std::string_view utf8, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0U) != 0x80U) {
            if (count == n) return std::string(utf8.substr(0, i));
            ++count;
        }
    }
    return std::string(utf8);
}

} // namespace orvenix
