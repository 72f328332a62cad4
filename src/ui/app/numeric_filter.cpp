#include "ui/app/numeric_filter.h"

#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

namespace orvenix {

bool NumericTextAllowed(const QString& text, long long maximum) {
    if (text.isEmpty()) return true;
    long long value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        value = value * 10 + (c.unicode() - '0');
        // Leading zeros keep the value small; any longer number is past every maximum.
        if (value > maximum) return false;
    }
    return true;
}

void NumericFilter(QLineEdit* box, QString& lastValid, int maximum) {
    if (box == nullptr) return;
    const QString text = box->text();
    if (NumericTextAllowed(text, maximum)) {
        lastValid = text;
        return;
    }
    const int caret = box->cursorPosition();
    {
        // The restored text is valid by construction; its own change notification would only re-run
        // this filter.
        const QSignalBlocker block(box);
        box->setText(lastValid);
    }
    box->setCursorPosition(std::clamp(caret - 1, 0, static_cast<int>(lastValid.size())));
}

} // namespace orvenix
