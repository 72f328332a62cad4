// An AppContext for generator tests: scripted dialogs, settings in memory, a log in the temporary folder
// and a reproducible random source.
#pragma once

#include "app/context.h"

#include <filesystem>

namespace orvenix::test {

struct GeneratorContext {
    explicit GeneratorContext(std::uint64_t seed = 1) { ctx.random.Reseed(seed); }

    BoardSet set;
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log{std::filesystem::temp_directory_path() / "orvenix-generator-test-dealer.log"};
    AppContext ctx{set, dialogs, settings, log};
};

} // namespace orvenix::test
