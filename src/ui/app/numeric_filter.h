// The filter of number text boxes: digits only, up to a maximum value.
#pragma once

#include <QString>

class QLineEdit;

namespace orvenix {

// Whether a number box may hold this text: empty, or digits 0-9 only with a value of at most maximum.
bool NumericTextAllowed(const QString& text, long long maximum);

// Call from the box's change handler with the box's last valid text. An allowed text becomes the last
// valid text and the caret stays; any other change is undone (the box gets the last valid text back) and
// the caret steps back one place from where it was, not below 0. Putting the last valid text back sends no
// change notification of its own, so a handler reading lastValid after the call sees the box's final value.
void NumericFilter(QLineEdit* box, QString& lastValid, int maximum);

} // namespace orvenix
