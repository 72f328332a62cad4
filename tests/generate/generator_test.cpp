// The generation run: refused numbers, empty sets, random sets and the three filters.
#include "base/messages.h"
#include "generate/generator.h"
#include "generate/statistics.h"
#include "history/history.h"
#include "model/shapes.h"
#include "model/similarity.h"
#include "support/board_set_samples.h"
#include "support/generator_context.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>

using namespace orvenix;
using namespace orvenix::test;
using Context = GeneratorContext;

namespace {

// Every hand moves one seat round the table.
Board Rotated(const Board& d) {
    Board r;
    for (int c = 1; c <= kCards; ++c)
        r.cardOwner[c] = static_cast<Seat>(d.cardOwner[c] % 4 + 1);
    return r;
}

// One card of North exchanged for one of East and one of South for one of West: every hand keeps 12 cards.
Board TwoCardsSwapped(const Board& d) {
    Board r;
    auto& o = r.cardOwner = d.cardOwner;
    for (const auto& [from, to] : {std::pair{1, 2}, std::pair{3, 4}})
        std::swap(*std::find(o.begin() + 1, o.end(), from), *std::find(o.begin() + 1, o.end(), to));
    return r;
}

// Candidates from a script; once the script is used up, reproducible random deals (only their cards).
struct Script {
    std::deque<Board> script;
    std::mt19937 rng{99};
    int drawn = 0;
    CandidateSource Source() {
        return [this] {
            ++drawn;
            Board b;
            b.cardOwner = script.empty() ? RandomBoard(rng).cardOwner : script.front().cardOwner;
            if (!script.empty()) script.pop_front();
            return b;
        };
    }
    GenerateResult Run(Context& t, const GenerateChoices& c) {
        return GenerateBoardSet(t.ctx.Generation(), c, {}, Source());
    }
};

GenerateChoices Choices(int first, int last, bool shape = true, bool inner = true, bool history = true) {
    GenerateChoices c;
    std::tie(c.first, c.last, c.rejectShape, c.rejectInner, c.rejectHistory) =
        std::tuple{first, last, shape, inner, history};
    return c;
}

// A set of 20 boards already in memory, with its file and event texts.
void PutOldSet(Context& t) {
    t.set = RandomSet(1, 20);
    t.set.fileName = "/tmp/old.pbn";
    t.set.eventName = "Tuesday";
    t.set.modified = false;
}

// Whether board n carries its number and the dealer and vulnerability of that number.
bool Stamped(const Board& b, int n) {
    return b.number == n && b.dealer == DealerOf(n) && b.vulnerability == VulnerabilityOf(n);
}

void Record(History& history, const BoardSet& set, const std::string& name) {
    Context old;
    old.set = set;
    EXPECT_TRUE(history.RecordHistory(old.ctx, old.ctx.set, name));
}

} // namespace

TEST(GenerateChecks, RefusedNumbersLeaveTheSetAlone) {
    const std::string below = FormatMessage(MsgLastBelowFirst), firstMax = FormatMessage(MsgFirstBoardMax),
                      empty = FormatMessage(MsgIncorrectFirstBoard, "640"); // not taken for board 0
    const std::tuple<int, int, std::string, GenerateField> cases[] = {
        {33, 32, below, GenerateField::First},
        {700, 1, below, GenerateField::First},
        {641, 700, firstMax, GenerateField::First},
        {641, 641, firstMax, GenerateField::First},
        {1, 641, FormatMessage(MsgLastBoardMax), GenerateField::Last},
        {0, 0, empty, GenerateField::First},
        {0, 5, empty, GenerateField::First}};
    for (const auto& [first, last, message, focus] : cases) {
        for (bool random : {true, false}) {
            SCOPED_TRACE(std::to_string(first) + "-" + std::to_string(last));
            Context t;
            PutOldSet(t);
            const BoardSet before = t.set;
            GenerateChoices choices = Choices(first, last);
            choices.randomBoards = random;
            const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), choices);
            EXPECT_TRUE(r.outcome == GenerateOutcome::Refused && r.focus == focus);
            ASSERT_EQ(t.dialogs.messages.size(), 1U);
            EXPECT_TRUE(t.dialogs.Last().text == message && t.dialogs.Last().icon == Icon::Exclamation);
            EXPECT_EQ(t.set.lastBoard, before.lastBoard);
            EXPECT_EQ(t.set.fileName + t.set.eventName, before.fileName + before.eventName);
            EXPECT_TRUE(!t.set.modified && SameBoards(t.set, before, 0, 20));
        }
    }
}

TEST(GenerateEmpty, EmptyBoardsWithDealersAndVulnerabilities) {
    Context t;
    PutOldSet(t);
    t.set[600].dealer = 3;
    t.set[600].vulnerability = 4;
    std::vector<int> progress;
    GenerateChoices c = Choices(5, 8);
    c.randomBoards = false;
    const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), c, [&](int n) { progress.push_back(n); });
    EXPECT_TRUE(r.outcome == GenerateOutcome::Empty && r.boardsGenerated == 4);
    EXPECT_EQ(progress, std::vector<int>{4});
    EXPECT_TRUE(t.set.firstBoard == 5 && t.set.lastBoard == 8 && t.set.modified);
    EXPECT_EQ(t.set.fileName + t.set.eventName + t.set.eventSite + t.set.eventDate, "");
    for (int n = 1; n <= kMaxBoard; ++n)
        ASSERT_TRUE(t.set[n].cardOwner == Board{}.cardOwner && t.set[n].number == n) << n;
    for (int n = 5; n <= 8; ++n)
        EXPECT_TRUE(Stamped(t.set[n], n)) << n;
    EXPECT_TRUE(t.set[600].dealer == 3 && t.set[600].vulnerability == 4); // outside the range: kept
    EXPECT_TRUE(t.dialogs.messages.empty());
}

TEST(GenerateRandom, SameSeedSameSetAndANewRunStartsAfresh) {
    Context a(31), b(31);
    PutOldSet(a);
    std::fill_n(a.ctx.shapeTally.begin() + 1, kShapeCount, 500); // a stale tally of an earlier run
    ASSERT_EQ(GenerateBoardSet(a.ctx.Generation(), Choices(3, 24)).outcome, GenerateOutcome::Generated);
    ASSERT_EQ(GenerateBoardSet(b.ctx.Generation(), Choices(3, 24)).outcome, GenerateOutcome::Generated);
    EXPECT_TRUE(SameBoards(a.set, b.set, 3, 24));
    for (int n = 3; n <= 24; ++n)
        ASSERT_TRUE(a.set[n].status == kBoardComplete && Stamped(a.set[n], n)) << n;
    EXPECT_EQ(a.ctx.shapeTally, b.ctx.shapeTally);
    for (int n : {1, 2, 25}) // slots of the old set outside the range lost their cards
        EXPECT_EQ(a.set[n].cardOwner, Board{}.cardOwner);
    EXPECT_EQ(a.set.eventName, "");
    // The next run continues the shuffle: other deals.
    const BoardSet firstRun = a.set;
    ASSERT_EQ(GenerateBoardSet(a.ctx.Generation(), Choices(3, 24)).outcome, GenerateOutcome::Generated);
    for (int n = 3; n <= 24; ++n)
        EXPECT_NE(a.set[n].cardOwner, firstRun[n].cardOwner);
}

// A hand repeated in any seat rejects the candidate; fifty rejected candidates for one board end the run.
TEST(GenerateFilters, InnerFilterRejectsARepeatedHandUntilTheRunCannotGenerate) {
    Context t;
    PutOldSet(t);
    Script s;
    std::mt19937 rng(5);
    const Board d = RandomBoard(rng);
    s.script = {d, Rotated(d), TwoCardsSwapped(d)};
    for (int i = 0; i < 60; ++i)
        s.script.push_back(i % 2 == 0 ? Rotated(d) : d);
    std::vector<int> progress;
    const GenerateResult r = GenerateBoardSet(
        t.ctx.Generation(), Choices(4, 10, false, true, false), [&](int n) { progress.push_back(n); },
        s.Source());
    EXPECT_EQ(r.outcome, GenerateOutcome::CannotGenerate);
    EXPECT_EQ(s.drawn, 3 + 50);
    EXPECT_TRUE(r.innerRejects == 51 && r.boardsGenerated == 2 && r.WorthRepeating());
    EXPECT_EQ(progress, (std::vector<int>{1, 2}));
    ASSERT_EQ(t.dialogs.messages.size(), 1U);
    EXPECT_TRUE(t.dialogs.Last().text == "Cannot generate!" && t.dialogs.Last().icon == Icon::Critical);
    EXPECT_EQ(SimilarityText(r.innerMax, r.innerBoard, r.innerOther), "12, 5:4");
    // No set exists; the boards already made stay in their slots.
    EXPECT_FALSE(t.set.exists());
    EXPECT_EQ(t.set[4].cardOwner, d.cardOwner);
    EXPECT_EQ(t.set[5].cardOwner, TwoCardsSwapped(d).cardOwner);
    EXPECT_EQ(t.set[6].status, 0);

    // With the filters off the same deal is taken every time.
    Context u;
    Script same;
    same.script = {d, d, d};
    GenerateResult r2 = same.Run(u, Choices(1, 3, false, false, false));
    EXPECT_EQ(same.drawn, 3);
    EXPECT_EQ(r2.shapeRejects + r2.innerRejects + r2.historyRejects, 0);
    EXPECT_EQ(u.set[3].cardOwner, d.cardOwner);
    EXPECT_FALSE(r2.WorthRepeating());
    r2.shapeRejects = 5; // more than five shape rejections are worth a warning
    EXPECT_FALSE(r2.WorthRepeating());
    r2.shapeRejects = 6;
    EXPECT_TRUE(r2.WorthRepeating());
}

TEST(GenerateFilters, ShapeRuleCountsTheEarlierBoardsAtTheirNumbers) {
    // Every hand 4333: at board n up to round(0.105361 x 8 x n) such hands may be counted already. The four
    // hands of a board are judged together: board 1 passes with 0 counted, board 2 finds 4 against an
    // allowance of 2. From board 17, boards 17 to 21 pass (16 counted against 18 at board 21) and board 22
    // finds 20 against 19.
    for (const auto& [first, generated] : {std::pair{1, 1}, std::pair{17, 5}}) {
        Context t;
        Script s;
        Board all4333; // cards dealt round the table
        all4333.cardOwner = RoundRobinDeal();
        s.script.assign(100, all4333);
        const GenerateResult r = s.Run(t, Choices(first, first + 20, true, false, false));
        EXPECT_EQ(r.outcome, GenerateOutcome::CannotGenerate);
        EXPECT_EQ(r.boardsGenerated, generated);
        EXPECT_EQ(r.shapeRejects, 50);
        EXPECT_EQ(t.ctx.shapeTally[5], generated * 4);
    }
}

TEST(GenerateFilters, HistoryFilterRejectsAHandOfARecordedSet) {
    const BoardSet old = RandomSet(1, 9, 21);
    History history;
    Record(history, old, "club night.pbn");
    const Board again = Rotated(old[7]);
    std::mt19937 rng(8);
    const Board fresh = RandomBoard(rng);
    Context t;
    t.ctx.history = &history;
    Script s;
    s.script = {again, fresh};
    const GenerateResult r = s.Run(t, Choices(1, 1, false, false, true));
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    EXPECT_TRUE(r.historyRejects == 1 && r.WorthRepeating());
    EXPECT_EQ(t.set[1].cardOwner, fresh.cardOwner);
    std::int16_t hb = 0;
    std::string name;
    EXPECT_EQ(r.historyMax, MaxHistorySimilarity(history, fresh, hb, name));
    EXPECT_TRUE(r.historyBoard == 1 && r.historyOther == hb);
    EXPECT_EQ(r.historyFile, "CLUB NIGHT.PB");

    // The same candidate passes when the history filter is off.
    Context u;
    u.ctx.history = &history;
    Script s2;
    s2.script = {again};
    EXPECT_EQ(s2.Run(u, Choices(1, 1, false, false, false)).historyRejects, 0);
    EXPECT_EQ(u.set[1].cardOwner, again.cardOwner);
}

// A candidate that came close to an earlier board but was then thrown out by the history filter does not
// count: the inner result names a pair of boards that is really in the set.
TEST(GenerateFilters, InnerResultCountsOnlyBoardsThatWereKept) {
    std::mt19937 rng(12);
    const Board d = RandomBoard(rng);
    BoardSet old;
    old.firstBoard = old.lastBoard = 1;
    old[1] = TwoCardsSwapped(d);
    AnalyseBoard(old[1]);
    old.Renumber();
    History history;
    Record(history, old, "OLD");
    Context t;
    t.ctx.history = &history;
    Script s;
    const Board kept = RandomBoard(rng);
    s.script = {d, TwoCardsSwapped(d), kept};
    const GenerateResult r = s.Run(t, Choices(1, 2, false, true, true));
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    EXPECT_EQ(r.historyRejects, 1);
    EXPECT_EQ(t.set[2].cardOwner, kept.cardOwner);
    EXPECT_EQ(r.innerMax, CompareHands(kept, d));
    EXPECT_LT(r.innerMax, 12);
    EXPECT_TRUE(r.innerBoard == 2 && r.innerOther == 1);
}
