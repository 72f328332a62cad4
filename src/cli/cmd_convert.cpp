// orvenix-cli convert INPUT OUTPUT [--first-board N]: loads a board-set file and saves it in the format of
// OUTPUT's extension. The questions the program would ask are printed as warnings and answered Yes.
#include "base/messages.h"
#include "cli/command.h"
#include "formats/frame.h"

#include <iostream>
#include <memory>
#include <string>

namespace orvenix::cli {
namespace {

int Fail(const std::string& text) {
    std::cerr << PlainMessage(text) << "\n";
    return 1;
}

int RunConvert(Args& args) {
    const std::optional<long> firstBoard = TakeNumber(args, "first-board", 1, kMaxBoard);
    if (args.size() != 2) return UsageError("convert");
    auto set = std::make_unique<BoardSet>();
    const FileOutcome in = LoadBoardSetFile(args[0], *set);
    if (!in.ok) return Fail(in.error);

    if (firstBoard) {
        if (!in.needsBoardNumbers) {
            std::cerr << "warning: " << args[0]
                      << " carries its own board numbers; --first-board is not used\n";
        } else if (!PlaceLoadedBoards(*set, static_cast<int>(*firstBoard))) {
            return Fail(IncorrectFirstBoardText(MaxFirstBoard(set->count())));
        }
    }

    const FileOutcome out = SaveBoardSetFile(args[1], *set);
    for (const std::string& question : out.warnings) {
        std::cerr << "warning: " << PlainMessage(question) << "\n(answered Yes)\n";
    }
    if (!out.ok) return Fail(out.error);
    std::cout << "Boards Saved: " << set->count() << "\n";
    return 0;
}

const CliRegistrar reg{
    {"convert",
     "INPUT OUTPUT",
     "save a board-set file in the format of OUTPUT's extension",
     RunConvert,
     {{"--first-board", "N", "number of the first board of a file without board numbers (1 to 640)"}}}};

} // namespace
} // namespace orvenix::cli
