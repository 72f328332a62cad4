// The program's printer and its set-up dialog.
#pragma once

class QPrinter;
class QWidget;

namespace orvenix {

// The printer all printing goes to, kept for the whole run (its choices are not stored between runs).
// It starts as the system's default printer; on a computer without any printer it writes PDF files.
QPrinter& ProgramPrinter();

// The printer set-up dialog: printer (including printing to a PDF file), copies, orientation and duplex.
// Starts from the printer's current choices; on confirmation the printer takes over the chosen ones, on
// cancel nothing changes. Returns true when the operator confirmed.
bool RunPrinterSetup(QPrinter& printer, QWidget* owner);

} // namespace orvenix
