// Looking up what a print run put on the recording surface.
#pragma once

#include "print/layouts.h"

#include <cmath>
#include <tuple>

namespace orvenix::test {

// The text op with this text on the page, at x and y when they are given (not negative), in the font
// when it is given.
inline const DrawOp* Find(const RecordingSurface& s, int page, const std::string& text, double x = -1,
                          double y = -1, const std::optional<PrintFont>& font = std::nullopt) {
    for (const DrawOp& op : s.ops) {
        if (op.page == page && op.kind == DrawKind::Text && op.text == text &&
            (x < 0 || std::abs(op.x1 - x) < 1e-9) && (y < 0 || op.y1 == y) && (!font || op.font == *font))
            return &op;
    }
    return nullptr;
}

// A print request in one expression, by designated initializers.
struct Request {
    int from = 1, to = 1, copies = 1, layout = 0, nsFirst = 0;
    bool printDeal = true, redSuits = false;
    std::string eventDate{};
    std::map<int, DoubleDummyResult> doubleDummy{};
    operator PrintRequest() const {
        PrintRequest r;
        std::tie(r.from, r.to, r.copies, r.layout, r.printDeal, r.nsFirst, r.redSuits, r.eventDate,
                 r.doubleDummy) =
            std::tie(from, to, copies, layout, printDeal, nsFirst, redSuits, eventDate, doubleDummy);
        return r;
    }
};

// The width of the text on the recording surface, in twips.
inline double Width(const std::string& text, double size, bool bold = false) {
    RecordingSurface s;
    s.SetFontSize(size);
    s.SetBold(bold);
    return s.TextWidth(text);
}

} // namespace orvenix::test
