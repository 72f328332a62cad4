// Looking up what a print run put on the recording surface.
#pragma once

#include "print/layouts.h"

#include <cmath>
#include <string>

namespace orvenix::test {

// The text op with this text on the page, at x and y when they are given (not negative).
inline const DrawOp* Find(const RecordingSurface& s, int page, const std::string& text, double x = -1,
                          double y = -1) {
    for (const DrawOp& op : s.ops) {
        if (op.page == page && op.kind == DrawKind::Text && op.text == text &&
            (x < 0 || std::abs(op.x1 - x) < 1e-9) && (y < 0 || op.y1 == y))
            return &op;
    }
    return nullptr;
}

inline double Width(const std::string& text, double size, PrintUnit unit, bool bold = false) {
    RecordingSurface s;
    s.SetUnit(unit);
    s.SetFontSize(size);
    s.SetBold(bold);
    return s.TextWidth(text);
}

} // namespace orvenix::test
