// An AppContext for generator tests: scripted dialogs, settings in memory, a log in the temporary folder
// and a reproducible random source.
#pragma once

#include "app/context.h"
#include "base/dialogs.h"
#include "base/log.h"
#include "base/settings.h"
#include "model/board.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace orvenix::test {

struct GeneratorContext {
    explicit GeneratorContext(std::uint64_t seed = 1) {
        set.Reset();
        ctx.random.Reseed(seed);
        ctx.status = [this](const std::string& text) { statusTexts.push_back(text); };
    }
    GeneratorContext(const GeneratorContext&) = delete;
    GeneratorContext& operator=(const GeneratorContext&) = delete;

    BoardSet set;
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log{std::filesystem::temp_directory_path() / "orvenix-generator-test-dealer.log"};
    AppContext ctx{set, dialogs, settings, log};
    std::vector<std::string> statusTexts;
};

} // namespace orvenix::test
