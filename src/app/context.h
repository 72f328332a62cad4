// What the commands of the program share: the one board set and the services around it. The program
// owns one AppContext; windows and commands borrow it.
#pragma once

#include "app/dialogs.h"
#include "app/log.h"
#include "app/settings.h"
#include "generate/random.h"
#include "generate/seeds.h"
#include "generate/shapes.h"
#include "model/board.h"

#include <functional>
#include <string>

namespace orvenix {

class History;

struct AppContext {
    BoardSet& set;
    Dialogs& dialogs;
    Settings& settings;
    ActivityLog& log;
    History* history = nullptr; // null while the program runs without history
    // Shows one text in the main window's status line.
    std::function<void(const std::string&)> status = [](const std::string&) {};
    GeneratorSeeds seeds{};
    // The deck, packet generator and uniform source of every random deal; seeded once at start-up
    // (SeedPacketGenerator with `seeds`, or Reseed for a reproducible run).
    RandomSource random{};
    ShapeTally shapeTally{};

    void StatusText(const std::string& text) const {
        if (status) status(text);
    }
};

} // namespace orvenix
