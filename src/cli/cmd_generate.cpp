// orvenix-cli generate: generates a board set as the Generate window does, prints the result fields and
// saves the set in the format of OUTPUT's extension; the saved set is recorded in the history as a save
// from the program is.
#include "app/context.h"
#include "base/dialogs.h"
#include "base/log.h"
#include "base/messages.h"
#include "base/settings.h"
#include "app/seeding.h"
#include "cli/command.h"
#include "cli/terminal_dialogs.h"
#include "formats/frame.h"
#include "generate/generator.h"
#include "history/history.h"
#include "generate/random.h"

#include <chrono>
#include <iostream>
#include <memory>
#include <string>

namespace orvenix::cli {
namespace {

void PrintResults(const GenerateChoices& c, const GenerateResult& r) {
    std::cout << "Boards generated: " << r.boardsGenerated << "\n";
    if (!c.randomBoards) return;
    if (c.rejectShape) {
        std::cout << "Shapes rejected: " << r.shapeRejects
                  << (ShapeRejectsWarn(r.shapeRejects) ? " (many)" : "") << "\n";
    }
    if (c.rejectInner) {
        std::cout << "Inner Similarity Rejected: " << r.innerRejects << "\n";
        std::cout << "Inner similarity: " << SimilarityText(r.innerMax, r.innerBoard, r.innerOther) << "\n";
    }
    if (c.rejectHistory) {
        std::cout << "History Rejected: " << r.historyRejects << "\n";
        std::cout << "Historic Similarity: " << SimilarityText(r.historyMax, r.historyBoard, r.historyOther)
                  << "\n";
        std::cout << "Historic File: " << r.historyFile << "\n";
    }
}

int RunGenerate(Args& args) {
    const std::optional<long> first = TakeNumber(args, "first", 0, 999);
    const std::optional<long> last = TakeNumber(args, "last", 0, 999);
    GenerateChoices choices;
    choices.randomBoards = !TakeFlag(args, "empty");
    choices.rejectShape = !TakeFlag(args, "no-shape-filter");
    choices.rejectInner = !TakeFlag(args, "no-inner-filter");
    choices.rejectHistory = !TakeFlag(args, "no-history-filter");
    std::optional<std::uint64_t> seed;
    if (const auto text = TakeOption(args, "seed")) {
        std::size_t used = 0;
        try {
            seed = std::stoull(*text, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != text->size() || (*text)[0] == '-') {
            throw std::runtime_error("--seed must be a whole number from 0 to 18446744073709551615");
        }
    }
    const std::optional<std::string> historyOption = TakeOption(args, "history");
    if (!first || !last || args.size() != 1 || args[0].rfind("--", 0) == 0) {
        return UsageError("generate");
    }
    const std::string output = args[0];
    choices.first = static_cast<int>(*first);
    choices.last = static_cast<int>(*last);

    // A name the frame cannot save is refused before anything is generated or recorded.
    const std::string title = FileNameOf(output);
    const std::size_t dot = title.rfind('.');
    if (dot == std::string::npos || !FormatOfExtension(title.substr(dot + 1))) {
        std::cerr << PlainMessage(FormatMessage(MsgUnknownFormatSave, title)) << "\n";
        return 1;
    }

    auto set = std::make_unique<BoardSet>();
    set->Reset();
    TerminalDialogs dialogs(Answer::Yes);
    MemorySettings settings;
    ActivityLog log;
    AppContext ctx{*set, dialogs, settings, log};
    ctx.seeds = SeedRandomSource(ctx.random, seed, std::nullopt);
    const std::filesystem::path historyPath =
        historyOption ? std::filesystem::path(*historyOption) : History::DefaultPath();
    std::unique_ptr<History> history = History::Startup(ctx, historyPath);
    ctx.history = history.get();

    const GenerateResult r = GenerateBoardSet(ctx.Generation(), choices);
    if (!r.Succeeded()) return 1; // the refusal or "Cannot generate!" has been shown
    PrintResults(choices, r);

    const FileOutcome out = SaveBoardSetFile(output, *set);
    for (const std::string& question : out.warnings) {
        std::cerr << "warning: " << PlainMessage(question) << "\n(answered Yes)\n";
    }
    if (!out.ok) {
        std::cerr << PlainMessage(out.error) << "\n";
        return 1;
    }
    if (ctx.history != nullptr) ctx.history->RecordHistory(ctx, ctx.set, title.substr(0, dot));
    set->fileName = output;
    set->modified = false;
    std::cout << "Boards Saved: " << set->count() << "\n";
    return 0;
}

const CliRegistrar reg{
    {"generate",
     "OUTPUT",
     "generate a set of random deals, saved in the format of OUTPUT's extension",
     RunGenerate,
     {{"--first", "F", "number of the first board (1 to 640)", true},
      {"--last", "L", "number of the last board (up to 640 boards in all)", true},
      {"--empty", nullptr, "make a set of empty boards instead of random deals"},
      {"--no-shape-filter", nullptr, "keep deals whose hand shapes the set already holds too often"},
      {"--no-inner-filter", nullptr, "keep deals too much alike another board of the set"},
      {"--no-history-filter", nullptr, "keep deals too much alike a board of an earlier set in the history"},
      {"--seed", "N", "reproducible deals from this seed (0 to 18446744073709551615)"},
      {"--history", "PATH", "the history file (default: ~/.local/share/orvenix/history.dat)"}}}};

} // namespace
} // namespace orvenix::cli
