#include "print/surface.h"

namespace orvenix {

namespace {

bool IsContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Decodes the UTF-8 text into code points; a malformed byte counts as one character of its own.
std::u32string Decode(std::string_view text) {
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t extra = (c >= 0xF0 && c < 0xF8)   ? 3
                                  : (c >= 0xE0 && c < 0xF0) ? 2
                                  : (c >= 0xC0 && c < 0xE0) ? 1
                                                            : 0;
        char32_t cp = extra == 3 ? (c & 0x07u) : extra == 2 ? (c & 0x0Fu) : extra == 1 ? (c & 0x1Fu) : c;
        bool ok = c < 0x80 || extra > 0;
        for (std::size_t k = 1; ok && k <= extra; ++k) {
            ok = i + k < text.size() && IsContinuationByte(static_cast<unsigned char>(text[i + k]));
            if (ok) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        if (!ok) {
            out.push_back(c);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

std::string Encode(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

} // namespace

std::string PrintedNumber(long value) {
    return " " + std::to_string(value) + " ";
}

std::string DropLastCharacter(std::string_view text) {
    if (text.empty()) return {};
    std::size_t end = text.size() - 1;
    // Step back over continuation bytes to the lead byte of the last sequence.
    std::size_t back = 0;
    while (end > 0 && back < 3 && IsContinuationByte(static_cast<unsigned char>(text[end]))) {
        --end;
        ++back;
    }
    const auto lead = static_cast<unsigned char>(text[end]);
    const std::size_t expected = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (back != expected) end = text.size() - 1; // malformed tail: drop a single byte
    return std::string(text.substr(0, end));
}

std::string ShortenToWidth(const PrintSurface& surface, std::string text, double maxWidth) {
    while (!text.empty() && surface.TextWidth(text) > maxWidth)
        text = DropLastCharacter(text);
    return text;
}

std::string ShortenFrontToWidth(const PrintSurface& surface, const std::string& text, double maxWidth) {
    if (surface.TextWidth(text) <= maxWidth) return text;
    std::u32string rest = Decode(text);
    while (!rest.empty()) {
        rest.erase(rest.begin());
        std::string candidate = "..." + Encode(rest);
        if (surface.TextWidth(candidate) <= maxWidth) return candidate;
    }
    return ShortenToWidth(surface, "...", maxWidth);
}

// ---- RecordingSurface ------------------------------------------------------------------------------

double RecordingSurface::CharacterWidthEm(char32_t c) {
    switch (c) {
    case U' ':
        return 0.25;
    case U'A':
    case U'K':
    case U'Q':
        return 0.72;
    case U'J':
        return 0.39;
    case U'T':
        return 0.61;
    default:
        break;
    }
    if (c >= U'0' && c <= U'9') return 0.5;
    if (c >= U'A' && c <= U'Z') return 0.67;
    if (c >= U'a' && c <= U'z') return 0.47;
    if (c < 0x80) return 0.33;
    return 0.75;
}

double RecordingSurface::TextWidthPoints(std::string_view text) const {
    double em = 0;
    for (char32_t c : Decode(text))
        em += CharacterWidthEm(c);
    return em * font().size * (font().bold ? 1.1 : 1.0);
}

DrawOp RecordingSurface::Make(DrawKind kind) const {
    DrawOp op;
    op.kind = kind;
    op.page = pagesEnded;
    op.unit = unit();
    op.font = font();
    op.colour = colour();
    return op;
}

void RecordingSurface::Text(double x, double y, std::string_view text) {
    DrawOp op = Make(DrawKind::Text);
    op.x1 = x;
    op.y1 = y;
    op.text = std::string(text);
    ops.push_back(std::move(op));
}

void RecordingSurface::Line(double x1, double y1, double x2, double y2) {
    DrawOp op = Make(DrawKind::Line);
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    ops.push_back(std::move(op));
}

void RecordingSurface::Rectangle(double x1, double y1, double x2, double y2) {
    DrawOp op = Make(DrawKind::Rectangle);
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    ops.push_back(std::move(op));
}

void RecordingSurface::EndPage() {
    if (failAfterPages >= 0 && pagesEnded >= failAfterPages) throw PrintFailure("The printer stopped.");
    ops.push_back(Make(DrawKind::EndPage));
    ++pagesEnded;
}

void RecordingSurface::EndDocument() {
    ops.push_back(Make(DrawKind::EndDocument));
    ++documentsEnded;
}

std::vector<DrawOp> RecordingSurface::Page(int page) const {
    std::vector<DrawOp> out;
    for (const DrawOp& op : ops) {
        if (op.page == page && op.kind != DrawKind::EndPage && op.kind != DrawKind::EndDocument)
            out.push_back(op);
    }
    return out;
}

namespace {
std::vector<DrawOp> OfKind(const std::vector<DrawOp>& ops, DrawKind kind) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : ops) {
        if (op.kind == kind) out.push_back(op);
    }
    return out;
}
} // namespace

std::vector<DrawOp> RecordingSurface::Texts(int page) const {
    return OfKind(Page(page), DrawKind::Text);
}
std::vector<DrawOp> RecordingSurface::Lines(int page) const {
    return OfKind(Page(page), DrawKind::Line);
}
std::vector<DrawOp> RecordingSurface::Rectangles(int page) const {
    return OfKind(Page(page), DrawKind::Rectangle);
}

} // namespace orvenix
