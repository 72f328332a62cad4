#include "app/print_job.h"

#include <vector>

namespace orvenix {

std::optional<std::map<int, DoubleDummyResult>>
AnalyseBoardsForPrinting(const BoardSet& set, int from, int to, const AnalysisProgress& progress) {
    std::vector<BoardToAnalyse> boards;
    for (int n = from; n <= to; ++n)
        boards.push_back({&set[n], n});
    bool stopped = false;
    const auto results = DoubleDummyAnalyser::Shared().Analyse(boards, [&](int done, int total) {
        if (progress && !progress(done, total)) stopped = true;
        return !stopped;
    });
    if (stopped) return std::nullopt;
    std::map<int, DoubleDummyResult> out;
    for (std::size_t i = 0; i < boards.size() && i < results.size(); ++i) {
        if (results[i]) out.emplace(boards[i].number, *results[i]);
    }
    return out;
}

PrintJobResult LayOutPrintJob(PrintSurface& surface, BoardSet& set, PrintJob& job,
                              const PrintProgress& progress) {
    PrintJobResult result;
    if (job.scoreCards) {
        PrintScoreCards(surface, set, job.request, progress);
    } else {
        // The name may have grown since it was last shortened, or this page be narrower.
        job.request.eventName = ShortenEventName(surface, job.eventName);
        job.request.eventDate = set.eventDate;
        result.doubleDummyDropped = job.doubleDummy && !DoubleDummyHasRoom(surface, job.request.layout);
        PrintHandRecords(surface, set, job.request, progress);
    }
    return result;
}

} // namespace orvenix
