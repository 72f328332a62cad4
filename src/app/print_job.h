// One print job of hand records or score cards, the same for the printing window and `orvenix-cli print`:
// the double-dummy analysis of the boards of the range, then the pages laid out on a printing surface
// (a printer, a PDF file, or the recording surface of the tests).
#pragma once

#include "analysis/double_dummy.h"
#include "print/layouts.h"
#include "print/surface.h"

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace orvenix {

struct PrintJob {
    bool scoreCards = false;  // else hand records
    bool doubleDummy = false; // hand records: add the analysis of each complete board
    std::string eventName;    // hand records: the heading, shortened to the page when laid out
    PrintRequest request;     // range, copies, layout, pair numbers; the analysis goes into it
};

// The double-dummy analysis of the boards from..to of set, by board number (boards that cannot be
// analysed have no entry). Nothing when progress (done, total) returned false to stop it. Throws
// std::exception when the solver fails. Safe on a worker thread while nothing changes the set.
std::optional<std::map<int, DoubleDummyResult>>
AnalyseBoardsForPrinting(const BoardSet& set, int from, int to, const AnalysisProgress& progress = {});

struct PrintJobResult {
    bool doubleDummyDropped = false; // asked for, but the layout has no room for it on this surface
};

// Lays the job out on surface: hand records with the event name shortened to the page (and without the
// analysis where the layout has no room for it), or score cards. Throws what the surface throws.
PrintJobResult LayOutPrintJob(PrintSurface& surface, BoardSet& set, PrintJob& job,
                              const PrintProgress& progress = {});

} // namespace orvenix
