// orvenix-cli print INPUT OUTPUT.pdf: hand records or score cards of a board-set file as a PDF file, laid
// out exactly as the printing window prints them.
#ifdef ORVENIX_WITH_PDF

#include "app/print_job.h"
#include "base/messages.h"
#include "cli/command.h"
#include "formats/frame.h"
#include "print/layouts.h"
#include "print_qt/painter_surface.h"

#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvenix::cli {
namespace {

// A value the user gave that cannot be printed; the text is shown as it stands.
struct BadValue : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Digits only, at most 9 of them.
std::optional<long> WholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<long> NumberOption(Args& args, const std::string& name) {
    const auto text = TakeOption(args, name);
    if (!text) return std::nullopt;
    const auto value = WholeNumber(*text);
    if (!value) throw BadValue("--" + name + " must be a whole number, not '" + *text + "'");
    return value;
}

int Fail(const std::string& text) {
    std::cerr << "orvenix-cli print: " << text << "\n";
    return 1;
}

int RunPrint(Args& args) {
    PrintRequest request;
    bool scoreCards = false;
    bool doubleDummy = false;
    PaperSize paper = PaperSize::A4;
    std::optional<std::string> event;
    std::optional<long> from, to;
    try {
        scoreCards = TakeFlag(args, "score-cards");
        doubleDummy = TakeFlag(args, "dd");
        if (doubleDummy && scoreCards) throw BadValue("--dd applies to hand records only");
        request.printDeal = !TakeFlag(args, "no-deal");
        // A PDF file shows the red suits in red unless black ones are asked for.
        request.redSuits = !TakeFlag(args, "black-suits");
        event = TakeOption(args, "event");
        if (const auto perPage = NumberOption(args, "per-page")) {
            const auto layout = LayoutIndexOf(static_cast<int>(*perPage));
            if (!layout) throw BadValue("--per-page must be 8, 10, 12, 16 or 18");
            request.layout = *layout;
        }
        from = NumberOption(args, "from");
        to = NumberOption(args, "to");
        if (const auto copies = NumberOption(args, "copies")) {
            if (*copies < 1 || *copies > 99) throw BadValue("--copies must be from 1 to 99");
            request.copies = static_cast<int>(*copies);
        }
        if (const auto ns = NumberOption(args, "ns-first")) {
            if (*ns < 1 || *ns > 999) throw BadValue("--ns-first must be from 1 to 999");
            request.nsFirst = static_cast<int>(*ns);
        }
        if (const auto p = TakeOption(args, "paper")) {
            if (*p == "a4" || *p == "A4") {
                paper = PaperSize::A4;
            } else if (*p == "letter") {
                paper = PaperSize::Letter;
            } else {
                throw BadValue("--paper must be a4 or letter");
            }
        }
    } catch (const BadValue& e) {
        return Fail(e.what());
    }
    if (args.size() != 2) return UsageError("print");
    const std::string& input = args[0];
    const std::string& output = args[1];

    BoardSet set;
    set.Reset();
    const FileOutcome loaded = LoadBoardSetFile(input, set);
    if (!loaded.ok) return Fail(PlainMessage(loaded.error));
    if (set.fileName.empty()) set.fileName = input;

    request.from = from ? static_cast<int>(*from) : set.firstBoard;
    request.to = to ? static_cast<int>(*to) : set.lastBoard;
    if (const auto fault = CheckPrintRange(set, request.from, request.to))
        return Fail(PlainMessage(FormatMessage(*fault)));

    PrintJob job;
    job.scoreCards = scoreCards;
    job.doubleDummy = doubleDummy;
    job.eventName = event ? *event : set.eventName;
    job.request = request;
    if (doubleDummy) {
        try {
            job.request.doubleDummy = *AnalyseBoardsForPrinting(set, request.from, request.to);
        } catch (const std::exception& e) {
            return Fail(e.what());
        }
    }

    int pages = 0;
    const std::string failure = WritePdf(
        output, paper, job.eventName.empty() ? "Hand records" : job.eventName, [&](PainterSurface& s) {
            if (LayOutPrintJob(s, set, job).doubleDummyDropped) {
                std::cerr << "orvenix-cli print: no room for the double-dummy "
                             "analysis at "
                          << kHandRecordLayouts[static_cast<std::size_t>(request.layout)].boardsPerPage
                          << " boards per page; printed without it\n";
            }
            pages = s.pages();
        });
    if (!failure.empty()) return Fail(failure);
    std::cout << (scoreCards ? "score cards" : "hand records") << " of boards " << request.from << " to "
              << request.to << ", " << request.copies << (request.copies == 1 ? " copy: " : " copies: ")
              << pages << (pages == 1 ? " page" : " pages") << " written to " << output << "\n";
    return 0;
}

const CliRegistrar reg{
    {"print",
     "INPUT OUTPUT.pdf",
     "write the hand records or score cards of a board-set file as a PDF file",
     RunPrint,
     {{"--score-cards", nullptr, "score cards instead of hand records"},
      {"--per-page", "8|10|12|16|18", "hand records: boards per page (default: 8)"},
      {"--from", "N", "first board to print (default: the set's first board)"},
      {"--to", "M", "last board to print (default: the set's last board)"},
      {"--copies", "K", "copies of the whole range (1 to 99, default: 1)"},
      {"--ns-first", "P", "score cards: number of the first North-South pair (1 to 999)"},
      {"--no-deal", nullptr, "score cards: leave the deal off the card"},
      {"--event", "TEXT", "hand records: the heading of every page (default: the set's event name)"},
      {"--paper", "a4|letter", "paper size (default: a4)"},
      {"--dd", nullptr, "hand records: add the double-dummy table and par of each complete board"},
      {"--black-suits", nullptr, "hand records: print the heart and diamond symbols in black, not red"}}}};

} // namespace
} // namespace orvenix::cli

#endif // ORVENIX_WITH_PDF
