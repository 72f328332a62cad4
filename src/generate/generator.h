// The generation run: a new board set of random deals (optionally filtered by shape, by similarity within
// the set and by similarity with the history) or of empty boards, independent of any window.
#pragma once

#include "base/dialogs.h"
#include "generate/random.h"
#include "model/board.h"
#include "model/shapes.h"

#include <functional>
#include <string>

namespace orvenix {

class History;

// What a generation run works with: the set it builds, where it asks and reports, the source of its
// deals, the shape tally of the shape rule, and the history (null: no history filter).
struct GenerationContext {
    BoardSet& set;
    Dialogs& dialogs;
    RandomSource& random;
    ShapeTally& shapeTally;
    const History* history = nullptr;
};

// A similarity at or above its limit rejects the candidate: 13 means one hand repeats card for card.
inline constexpr int kInnerSimilarityLimit = 13;
inline constexpr int kHistorySimilarityLimit = 13;
// Candidates drawn for one board before the run gives up.
inline constexpr int kGenerateAttempts = 50;
// A shape result above this many rejects is shown as a warning.
inline constexpr int kShapeRejectWarning = 5;

inline constexpr const char* kGenerateTitle = "Generate New Board Set";
inline constexpr const char* kCannotGenerate = "Cannot generate!";

// Whether a run's shape rejects are shown as a warning.
constexpr bool ShapeRejectsWarn(int shapeRejects) {
    return shapeRejects > kShapeRejectWarning;
}

struct GenerateChoices {
    int first = 1;
    int last = 32;
    bool randomBoards = true; // false: leave the boards empty
    bool rejectShape = true;
    bool rejectInner = true;
    bool rejectHistory = true;
};

enum class GenerateOutcome {
    Refused,       // the board numbers were refused; nothing changed
    Empty,         // a set of empty boards was made
    Generated,     // a set of random deals was made
    CannotGenerate // a board had no acceptable candidate; no set exists
};

// The number field to put the focus back into after a refusal.
enum class GenerateField { None, First, Last };

struct GenerateResult {
    GenerateOutcome outcome = GenerateOutcome::Refused;
    GenerateField focus = GenerateField::None;
    int boardsGenerated = 0;
    int shapeRejects = 0;
    int innerRejects = 0;
    int historyRejects = 0;
    // Highest similarity of an accepted board with an earlier board of the set, the board and the other one.
    int innerMax = 0;
    int innerBoard = 0;
    int innerOther = 0;
    // Highest similarity of an accepted board with a board of the history, the board, the history board's
    // number and the name it was recorded under.
    int historyMax = 0;
    int historyBoard = 0;
    int historyOther = 0;
    std::string historyFile;

    [[nodiscard]] bool Succeeded() const {
        return outcome == GenerateOutcome::Empty || outcome == GenerateOutcome::Generated;
    }
    // Whether the run rejected enough candidates that the operator may want to run it again.
    [[nodiscard]] bool WorthRepeating() const {
        return historyRejects > 0 || ShapeRejectsWarn(shapeRejects) || innerRejects > 0;
    }
};

// Called once per board with the number of boards generated so far; the window shows it and lets pending
// events run.
using GenerateProgress = std::function<void(int boardsGenerated)>;
// Where candidates come from; the run normally draws ctx.random.RandomDeal().
using CandidateSource = std::function<Board()>;

// Checks the board numbers (refusals are shown through ctx.dialogs with the exclamation icon) and builds
// the new set in ctx.set: slots first..last, the set's range, modified mark, empty file name and event
// texts. Uses ctx.shapeTally for the shape rule and ctx.history (null: no history) for the history filter.
// "Cannot generate!" is shown through ctx.dialogs when a board has no acceptable candidate.
GenerateResult GenerateBoardSet(GenerationContext ctx, const GenerateChoices& choices,
                                const GenerateProgress& progress = {},
                                const CandidateSource& candidates = {});

// "similarity, board:other" as the result fields show it.
std::string SimilarityText(int similarity, int board, int other);

} // namespace orvenix
