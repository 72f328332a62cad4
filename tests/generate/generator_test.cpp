// The generation run: refused numbers, empty sets, random sets and the three filters.
#include "base/messages.h"
#include "history/history.h"
#include "model/similarity.h"
#include "support/generator_context.h"

#include <gtest/gtest.h>

using namespace orvenix;
using namespace orvenix::test;

namespace {

// One card of North exchanged for one of East and one of South for one of West: every hand keeps 12 cards.
Owners TwoCardsSwapped(Owners o) {
    for (const auto& [from, to] : {std::pair{1, 2}, std::pair{3, 4}})
        std::swap(*std::find(o.begin() + 1, o.end(), from), *std::find(o.begin() + 1, o.end(), to));
    return o;
}

// Candidates from a script (only their cards: the run analyses them itself).
struct Script {
    std::vector<Owners> script;
    std::size_t drawn = 0;
    GenerateResult Run(GeneratorContext& t, const GenerateChoices& c, const GenerateProgress& progress = {}) {
        return GenerateBoardSet(t.ctx.Generation(), c, progress,
                                [this] { return Board{.cardOwner = script.at(drawn++)}; });
    }
};

// A set of 20 boards already in memory, with its file and event texts.
void PutOldSet(GeneratorContext& t) {
    t.set = RandomSet(1, 20);
    t.set.fileName = "/tmp/old.pbn";
    t.set.eventName = "Tuesday";
}

// Whether board n carries its number and the dealer and vulnerability of that number.
bool Stamped(const Board& b, int n) {
    return b.number == n && b.dealer == DealerOf(n) && b.vulnerability == VulnerabilityOf(n);
}

} // namespace

TEST(GenerateChecks, RefusedNumbersLeaveTheSetAlone) {
    // The checks in their order: a range ending below its start, a first and a last board beyond 640, and an
    // empty first field (read as 0: no board 0).
    const std::tuple<int, int, std::string, GenerateField> cases[] = {
        {700, 1, FormatMessage(MsgLastBelowFirst), GenerateField::First},
        {641, 700, FormatMessage(MsgFirstBoardMax), GenerateField::First},
        {1, 641, FormatMessage(MsgLastBoardMax), GenerateField::Last},
        {0, 0, FormatMessage(MsgIncorrectFirstBoard, "640"), GenerateField::First}};
    for (const auto& [first, last, message, focus] : cases) {
        GeneratorContext t;
        PutOldSet(t);
        const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), GenerateChoices{first, last});
        EXPECT_TRUE(r.outcome == GenerateOutcome::Refused && r.focus == focus &&
                    t.dialogs.messages.size() == 1 && t.dialogs.Last().text == message &&
                    t.dialogs.Last().icon == Icon::Exclamation && t.set.fileName == "/tmp/old.pbn" &&
                    !t.set.modified && SameBoards(t.set, RandomSet(1, 20), 1, 20))
            << first << "-" << last;
    }
}

// A run gives up the set in memory: every slot loses its cards but keeps its dealer and vulnerability, and
// the file and event texts go. Empty boards get their numbers; random deals are the same from the same seed
// whatever came before, and the next run goes on with the shuffle.
TEST(Generate, EmptyBoardsOrRandomDeals) {
    GeneratorContext a(31), b(31);
    PutOldSet(a);
    a.set[600].dealer = 3;
    std::vector<int> progress;
    const GenerateResult r = GenerateBoardSet(a.ctx.Generation(), GenerateChoices{5, 8, false},
                                              [&](int n) { progress.push_back(n); });
    EXPECT_EQ(std::tuple(r.outcome, r.boardsGenerated, a.dialogs.messages.size(), a.set.firstBoard,
                         a.set.lastBoard, a.set.modified, progress,
                         a.set.fileName + a.set.eventName + a.set.eventSite + a.set.eventDate),
              std::tuple(GenerateOutcome::Empty, 4, 0U, 5, 8, true, std::vector{4}, ""));
    for (int n = 1; n <= kMaxBoard; ++n) // outside the range the dealer and vulnerability are kept
        ASSERT_TRUE(a.set[n].cardOwner == Board{}.cardOwner && a.set[n].number == n &&
                    (n < 5 || n > 8 || Stamped(a.set[n], n)) && (n != 600 || a.set[n].dealer == 3))
            << n;

    std::fill_n(a.ctx.shapeTally.begin() + 1, kShapeCount, 500); // a stale tally of an earlier run
    for (GeneratorContext* c : {&a, &b})
        GenerateBoardSet(c->ctx.Generation(), GenerateChoices{3, 24});
    EXPECT_TRUE(SameBoards(a.set, b.set, 3, 24) && a.ctx.shapeTally == b.ctx.shapeTally);
    for (int n = 3; n <= 24; ++n)
        ASSERT_TRUE(a.set[n].status == kBoardComplete && Stamped(a.set[n], n)) << n;
    const BoardSet firstRun = a.set;
    GenerateBoardSet(a.ctx.Generation(), GenerateChoices{3, 24});
    for (int n = 3; n <= 24; ++n)
        EXPECT_NE(a.set[n].cardOwner, firstRun[n].cardOwner);
}

// A hand repeated in any seat rejects the candidate; fifty rejected candidates for one board end the run.
TEST(GenerateFilters, InnerFilterRejectsARepeatedHandUntilTheRunCannotGenerate) {
    GeneratorContext t;
    PutOldSet(t);
    const Owners d = RandomSet(1, 1, 5)[1].cardOwner;
    Script s{{d, Rotated(d), TwoCardsSwapped(d)}};
    s.script.resize(3 + 60, Rotated(d));
    std::vector<int> progress;
    const GenerateResult r =
        s.Run(t, GenerateChoices{4, 10, true, false, true, false}, [&](int n) { progress.push_back(n); });
    // No set exists; the boards already made stay in their slots.
    EXPECT_EQ(std::tuple(r.outcome, s.drawn, r.innerRejects, r.boardsGenerated, progress, r.WorthRepeating(),
                         SimilarityText(r.innerMax, r.innerBoard, r.innerOther), t.dialogs.messages.size(),
                         t.dialogs.Last().text, t.dialogs.Last().icon, t.set.exists(), t.set[4].cardOwner,
                         t.set[5].cardOwner, t.set[6].status),
              std::tuple(GenerateOutcome::CannotGenerate, 3U + 50U, 51, 2, std::vector{1, 2}, true, "12, 5:4",
                         1U, "Cannot generate!", Icon::Critical, false, d, TwoCardsSwapped(d), 0));
}

TEST(GenerateFilters, ShapeRuleCountsTheEarlierBoardsAtTheirNumbers) {
    // Every hand 4333: at board n up to round(0.105361 x 8 x n) such hands may be counted already. The four
    // hands of a board are judged together: board 1 passes with 0 counted, board 2 finds 4 against an
    // allowance of 2. From board 17, boards 17 to 21 pass (16 counted against 18 at board 21) and board 22
    // finds 20 against 19.
    for (const auto& [first, generated] : {std::pair{1, 1}, std::pair{17, 5}}) {
        GeneratorContext t;
        Script s{std::vector<Owners>(100, RoundRobinDeal())}; // every hand 4333
        const GenerateResult r = s.Run(t, GenerateChoices{first, first + 20, true, true, false, false});
        EXPECT_EQ(std::tuple(r.outcome, r.boardsGenerated, r.shapeRejects, t.ctx.shapeTally[5]),
                  std::tuple(GenerateOutcome::CannotGenerate, generated, 50, generated * 4));
    }
}

// A hand of a recorded set rejects the candidate. A candidate close to an earlier board but then thrown out
// by the history filter does not count: the inner result names a pair of boards that is really in the set.
// With every filter off, a candidate that each filter would reject is taken every time.
TEST(GenerateFilters, HistoryFilterRejectsAHandOfARecordedSet) {
    const Owners fresh = RandomSet(1, 1, 8)[1].cardOwner, kept = RandomSet(1, 1, 12)[1].cardOwner;
    BoardSet old = RandomSet(1, 9, 21);
    PutBoard(old, 9, TwoCardsSwapped(fresh));
    const Owners again = Rotated(old[7].cardOwner);
    History history;
    GeneratorContext t;
    ASSERT_TRUE(history.RecordHistory(t.ctx, old, "club night.pbn"));
    t.ctx.history = &history;
    Script s{{again, fresh, TwoCardsSwapped(fresh), kept}};
    const GenerateResult r = s.Run(t, GenerateChoices{1, 2, true, false, true, true});
    // Board 1 keeps 12 cards of each hand of the recorded board 9.
    EXPECT_EQ(std::tuple(r.outcome, r.historyRejects, r.innerRejects, r.WorthRepeating(), t.set[1].cardOwner,
                         t.set[2].cardOwner, r.historyMax, r.historyBoard, r.historyOther, r.historyFile,
                         r.innerMax, r.innerBoard, r.innerOther),
              std::tuple(GenerateOutcome::Generated, 2, 0, true, fresh, kept, 12, 1, 9, "CLUB NIGHT.PB",
                         CompareHands(t.set[2], t.set[1]), 2, 1));

    Script same{{again, again, again}};
    GenerateResult off = same.Run(t, GenerateChoices{1, 3, true, false, false, false});
    EXPECT_EQ(std::tuple(same.drawn, off.shapeRejects + off.innerRejects + off.historyRejects,
                         t.set[3].cardOwner, off.WorthRepeating()),
              std::tuple(3U, 0, again, false));
    off.shapeRejects = 6; // more than five shape rejections are worth a warning
    EXPECT_TRUE(off.WorthRepeating() && !ShapeRejectsWarn(5));
}
