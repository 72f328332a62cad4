// What the commands of the program share: the one board set and the services around it. The program
// owns one AppContext; windows and commands borrow it. Lower layers take only the part they need: the
// Services (message boxes, settings, log, status line) or a GenerationContext.
#pragma once

#include "base/services.h"
#include "generate/generator.h"
#include "generate/random.h"
#include "generate/seeds.h"
#include "model/board.h"
#include "model/shapes.h"

namespace orvenix {

class History;

struct AppContext : Services {
    AppContext(BoardSet& boardSet, Dialogs& dialogs, Settings& settings, ActivityLog& log)
        : Services{dialogs, settings, log}, set(boardSet) {}

    BoardSet& set;
    History* history = nullptr; // null while the program runs without history
    GeneratorSeeds seeds{};
    // The deck, packet generator and uniform source of every random deal; seeded once at start-up
    // (SeedPacketGenerator with `seeds`, or Reseed for a reproducible run).
    RandomSource random{};
    ShapeTally shapeTally{};

    // What the generator and the editor's random fill work with.
    [[nodiscard]] GenerationContext Generation() { return {set, dialogs, random, shapeTally, history}; }
};

} // namespace orvenix
