#include "generate/generator.h"

#include "base/messages.h"
#include "history/history.h"
#include "model/shapes.h"
#include "model/similarity.h"
#include "generate/statistics.h"

#include <array>
#include <memory>

namespace orvenix {

namespace {

GenerateResult Refuse(GenerationContext& ctx, const std::string& text, GenerateField focus) {
    ctx.dialogs.Show(text, kGenerateTitle, Buttons::Ok, Icon::Exclamation);
    GenerateResult r;
    r.outcome = GenerateOutcome::Refused;
    r.focus = focus;
    return r;
}

// The old set is given up: no set exists while generating, and every slot loses its cards.
void StartNewSet(GenerationContext& ctx) {
    BoardSet& set = ctx.set;
    set.lastBoard = 0;
    set.modified = true;
    set.fileName.clear();
    set.eventName.clear();
    set.eventSite.clear();
    set.eventDate.clear();
    for (int n = 1; n <= kMaxBoard; ++n) {
        Board& b = set[n];
        const std::uint8_t dealer = b.dealer;
        const std::uint8_t vulnerability = b.vulnerability;
        b = Board{};
        b.number = static_cast<std::int16_t>(n);
        b.dealer = dealer;
        b.vulnerability = vulnerability;
    }
    for (int i = 1; i <= kShapeCount; ++i)
        ctx.shapeTally[static_cast<std::size_t>(i)] = 0;
}

void Place(Board& slot, const Board& deal, int n) {
    slot = deal;
    NumberBoard(slot, n);
}

} // namespace

std::string SimilarityText(int similarity, int board, int other) {
    return std::to_string(similarity) + ", " + std::to_string(board) + ":" + std::to_string(other);
}

GenerateResult GenerateBoardSet(GenerationContext ctx, const GenerateChoices& choices,
                                const GenerateProgress& progress, const CandidateSource& candidates) {
    const int first = choices.first;
    const int last = choices.last;
    if (first > last) return Refuse(ctx, FormatMessage(MsgLastBelowFirst), GenerateField::First);
    if (first > kMaxBoard) return Refuse(ctx, FormatMessage(MsgFirstBoardMax), GenerateField::First);
    if (last > kMaxBoard) return Refuse(ctx, FormatMessage(MsgLastBoardMax), GenerateField::Last);
    // An empty first field reads as 0; board 0 does not exist.
    if (first < 1) {
        return Refuse(ctx, FormatMessage(MsgIncorrectFirstBoard, std::to_string(kMaxBoard)),
                      GenerateField::First);
    }

    StartNewSet(ctx);
    BoardSet& set = ctx.set;
    GenerateResult r;

    if (!choices.randomBoards) {
        for (int b = first; b <= last; ++b)
            NumberBoard(set[b], b);
        set.firstBoard = static_cast<std::int16_t>(first);
        set.lastBoard = static_cast<std::int16_t>(last);
        r.outcome = GenerateOutcome::Empty;
        r.boardsGenerated = last - first + 1;
        if (progress) progress(r.boardsGenerated);
        return r;
    }

    // The hands of every accepted board, for the inner filter.
    auto masks = std::make_unique<std::array<HandMasks, kBoardSlots>>();
    const History* history = ctx.history;

    for (int board = first; board <= last; ++board) {
        bool rejected = true;
        Board c;
        int candidateInner = 0; // highest similarity with an earlier board, and that board
        int candidateInnerOther = 0;
        int candidateHistory = 0;
        std::int16_t candidateHistoryOther = 0;
        std::string candidateHistoryFile;
        HandMasks cm;
        for (int attempts = kGenerateAttempts; attempts > 0 && rejected; --attempts) {
            c = candidates ? candidates() : ctx.random.RandomDeal();
            AnalyseBoard(c);
            rejected = false;

            if (choices.rejectShape && !ShapesAllowed(ctx.shapeTally, c, board)) {
                rejected = true;
                ++r.shapeRejects;
            }

            cm = MasksOf(c);
            if (choices.rejectInner && !rejected) {
                candidateInner = 0;
                candidateInnerOther = 0;
                for (int j = first; j < board; ++j) {
                    const int s = CompareMasks((*masks)[static_cast<std::size_t>(j)], cm);
                    if (s >= kInnerSimilarityLimit) {
                        rejected = true;
                        break;
                    }
                    if (s > candidateInner) {
                        candidateInner = s;
                        candidateInnerOther = j;
                    }
                }
                if (rejected) ++r.innerRejects;
            }

            if (choices.rejectHistory && !rejected) {
                candidateHistory = 0;
                candidateHistoryOther = 0;
                candidateHistoryFile.clear();
                if (history != nullptr) {
                    candidateHistory =
                        MaxHistorySimilarity(*history, c, candidateHistoryOther, candidateHistoryFile);
                }
                if (candidateHistory >= kHistorySimilarityLimit) {
                    rejected = true;
                    ++r.historyRejects;
                }
            }
        }

        if (rejected) {
            ctx.dialogs.Show(kCannotGenerate, kGenerateTitle, Buttons::Ok, Icon::Critical);
            r.outcome = GenerateOutcome::CannotGenerate;
            r.boardsGenerated = board - first;
            return r;
        }

        // Only similarities of boards that were kept are reported.
        if (choices.rejectInner && candidateInner > r.innerMax) {
            r.innerMax = candidateInner;
            r.innerBoard = board;
            r.innerOther = candidateInnerOther;
        }
        if (choices.rejectHistory && candidateHistory > r.historyMax) {
            r.historyMax = candidateHistory;
            r.historyBoard = board;
            r.historyOther = candidateHistoryOther;
            r.historyFile = candidateHistoryFile;
        }

        Place(set[board], c, board);
        (*masks)[static_cast<std::size_t>(board)] = cm;
        for (int seat = 1; seat <= 4; ++seat)
            ++ctx.shapeTally[static_cast<std::size_t>(c.shapeIndex[static_cast<std::size_t>(seat)])];
        r.boardsGenerated = board - first + 1;
        if (progress) progress(r.boardsGenerated);
    }

    set.firstBoard = static_cast<std::int16_t>(first);
    set.lastBoard = static_cast<std::int16_t>(last);
    r.outcome = GenerateOutcome::Generated;
    return r;
}

} // namespace orvenix
