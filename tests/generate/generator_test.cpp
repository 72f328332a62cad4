#include "base/messages.h"
#include "generate/generator.h"
#include "history/history.h"
#include "model/shapes.h"
#include "model/similarity.h"
#include "generate/statistics.h"
#include "support/board_set_samples.h"
#include "support/generator_context.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>

using namespace orvenix;
using TestContext = orvenix::test::GeneratorContext;

namespace {

// Every hand moves one seat round the table: N to E, E to S, S to W, W to N.
Board Rotated(const Board& d) {
    Board r = d;
    for (int c = 1; c <= kCards; ++c)
        r.cardOwner[c] = static_cast<Seat>(d.cardOwner[c] % 4 + 1);
    return r;
}

// The deal with one card of North exchanged for one of East and one of South for one of West: every hand
// keeps 12 of its 13 cards.
Board TwoCardsSwapped(const Board& d) {
    Board r = d;
    for (const auto& [from, to] : {std::pair<int, int>{1, 2}, std::pair<int, int>{3, 4}}) {
        int a = 0;
        int b = 0;
        for (int c = 1; c <= kCards; ++c) {
            if (a == 0 && d.cardOwner[c] == from) a = c;
            if (b == 0 && d.cardOwner[c] == to) b = c;
        }
        r.cardOwner[a] = static_cast<Seat>(to);
        r.cardOwner[b] = static_cast<Seat>(from);
    }
    return r;
}

// A deal whose four hands are all 4-4-3-2.
Board All4432() {
    // Lengths per seat N, E, S, W in spades, hearts, diamonds, clubs.
    const int lengths[4][4] = {{4, 4, 3, 2}, {4, 4, 2, 3}, {3, 2, 4, 4}, {2, 3, 4, 4}};
    Board b;
    for (int suit = 0; suit < 4; ++suit) {
        int rank = 1;
        for (int seat = 0; seat < 4; ++seat) {
            for (int k = 0; k < lengths[seat][suit]; ++k)
                b.cardOwner[CardCodeOf(suit + 1, rank++)] = static_cast<Seat>(seat + 1);
        }
    }
    return b;
}

// Candidates from a script; once the script is used up, reproducible random deals.
struct ScriptedCandidates {
    std::deque<Board> script;
    std::mt19937 rng{99};
    int drawn = 0;

    CandidateSource Source() {
        return [this] {
            ++drawn;
            if (!script.empty()) {
                Board b = script.front();
                script.pop_front();
                return b;
            }
            Board b = orvenix::test::RandomBoard(rng);
            Board fresh; // only the cards, as a new deal comes
            fresh.cardOwner = b.cardOwner;
            return fresh;
        };
    }
};

GenerateChoices Choices(int first, int last, bool shape = true, bool inner = true, bool history = true) {
    GenerateChoices c;
    c.first = first;
    c.last = last;
    c.rejectShape = shape;
    c.rejectInner = inner;
    c.rejectHistory = history;
    return c;
}

// A set of 20 boards already in memory, with its file and event texts.
void PutOldSet(TestContext& t) {
    t.set = orvenix::test::RandomSet(1, 20);
    t.set.fileName = "/tmp/old.pbn";
    t.set.eventName = "Tuesday";
    t.set.modified = false;
}

} // namespace

TEST(GenerateChecks, RefusedNumbersLeaveTheSetAlone) {
    struct Case {
        int first;
        int last;
        MessageKey message;
        GenerateField focus;
    };
    const std::vector<Case> cases{
        {33, 32, MsgLastBelowFirst, GenerateField::First},
        {641, 700, MsgFirstBoardMax, GenerateField::First},
        {641, 641, MsgFirstBoardMax, GenerateField::First},
        {1, 641, MsgLastBoardMax, GenerateField::Last},
        {700, 1, MsgLastBelowFirst, GenerateField::First},
    };
    for (const Case& c : cases) {
        TestContext t;
        PutOldSet(t);
        const BoardSet before = t.set;
        const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), Choices(c.first, c.last));
        EXPECT_EQ(r.outcome, GenerateOutcome::Refused);
        EXPECT_FALSE(r.Succeeded());
        EXPECT_EQ(r.focus, c.focus) << c.first << "-" << c.last;
        ASSERT_EQ(t.dialogs.messages.size(), 1U);
        EXPECT_EQ(t.dialogs.Last().text, FormatMessage(c.message));
        EXPECT_EQ(t.dialogs.Last().title, "Generate New Board Set");
        EXPECT_EQ(t.dialogs.Last().icon, Icon::Exclamation);
        EXPECT_EQ(t.dialogs.Last().buttons, Buttons::Ok);
        EXPECT_EQ(t.set.lastBoard, before.lastBoard);
        EXPECT_EQ(t.set.fileName, before.fileName);
        EXPECT_EQ(t.set.eventName, before.eventName);
        EXPECT_FALSE(t.set.modified);
        EXPECT_TRUE(orvenix::test::SameBoards(t.set, before, 1, 20));
    }
}

TEST(GenerateChecks, AnEmptyFirstFieldIsRefusedNotBoardZero) {
    for (int last : {0, 5}) {
        for (bool random : {true, false}) {
            TestContext t;
            PutOldSet(t);
            GenerateChoices c = Choices(0, last);
            c.randomBoards = random;
            const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), c);
            EXPECT_EQ(r.outcome, GenerateOutcome::Refused);
            EXPECT_EQ(r.focus, GenerateField::First);
            ASSERT_EQ(t.dialogs.messages.size(), 1U);
            EXPECT_EQ(t.dialogs.Last().text, FormatMessage(MsgIncorrectFirstBoard, "640"));
            EXPECT_EQ(t.set.lastBoard, 20);
            EXPECT_EQ(t.set[0], Board{}) << "slot 0 never holds a board";
        }
    }
}

TEST(GenerateEmpty, BoardsFiveToEightWithDealersAndVulnerabilities) {
    TestContext t;
    PutOldSet(t);
    t.set[600] = orvenix::test::SuitPerHandBoard();
    t.set[600].dealer = 3;
    t.set[600].vulnerability = 4;
    std::vector<int> progress;
    GenerateChoices c = Choices(5, 8);
    c.randomBoards = false;
    const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), c, [&](int n) { progress.push_back(n); });
    EXPECT_EQ(r.outcome, GenerateOutcome::Empty);
    EXPECT_EQ(r.boardsGenerated, 4);
    EXPECT_EQ(progress, std::vector<int>{4});
    EXPECT_EQ(t.set.firstBoard, 5);
    EXPECT_EQ(t.set.lastBoard, 8);
    EXPECT_TRUE(t.set.modified);
    EXPECT_EQ(t.set.fileName, "");
    EXPECT_EQ(t.set.eventName, "");
    EXPECT_EQ(t.set.eventSite, "");
    EXPECT_EQ(t.set.eventDate, "");
    const Seat dealers[] = {1, 2, 3, 4};
    const Vulnerability vul[] = {2, 3, 4, 1}; // NS, EW, All, None
    for (int b = 5; b <= 8; ++b) {
        EXPECT_EQ(t.set[b].number, b);
        EXPECT_EQ(t.set[b].dealer, dealers[b - 5]);
        EXPECT_EQ(t.set[b].vulnerability, vul[b - 5]);
    }
    for (int n = 1; n <= kMaxBoard; ++n) {
        for (int code = 1; code <= kCards; ++code)
            ASSERT_EQ(t.set[n].cardOwner[code], 0) << n;
        ASSERT_EQ(t.set[n].status, 0);
        ASSERT_EQ(t.set[n].cardCount, (std::array<std::uint8_t, 5>{}));
        ASSERT_EQ(t.set[n].number, n);
    }
    // A slot outside the range keeps its dealer and vulnerability.
    EXPECT_EQ(t.set[600].dealer, 3);
    EXPECT_EQ(t.set[600].vulnerability, 4);
    EXPECT_TRUE(t.dialogs.messages.empty());
}

TEST(GenerateRandom, OneBoardComparesWithNothing) {
    TestContext t;
    const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), Choices(1, 1));
    EXPECT_EQ(r.outcome, GenerateOutcome::Generated);
    EXPECT_EQ(r.boardsGenerated, 1);
    EXPECT_EQ(r.innerMax, 0);
    EXPECT_EQ(r.innerBoard, 0);
    EXPECT_EQ(r.innerOther, 0);
    EXPECT_EQ(t.set.firstBoard, 1);
    EXPECT_EQ(t.set.lastBoard, 1);
    EXPECT_EQ(t.set[1].status, kBoardComplete);
    EXPECT_EQ(t.set[1].number, 1);
    EXPECT_EQ(t.set[1].dealer, 1);
    EXPECT_EQ(t.set[1].vulnerability, 1);
}

TEST(GenerateRandom, FullSetWithAllFiltersKeepsEveryRule) {
    TestContext t(4242);
    // A history holding an older set.
    History history;
    {
        TestContext old(7);
        old.set = orvenix::test::RandomSet(1, 400, 11);
        ASSERT_TRUE(history.RecordHistory(old.ctx, old.ctx.set, "OLDSET.PBN"));
    }
    t.ctx.history = &history;
    std::vector<int> progress;
    const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), Choices(1, 640), [&](int n) { progress.push_back(n); });
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    EXPECT_EQ(r.boardsGenerated, 640);
    ASSERT_EQ(progress.size(), 640U);
    for (std::size_t i = 0; i < progress.size(); ++i)
        EXPECT_EQ(progress[i], static_cast<int>(i) + 1);
    EXPECT_TRUE(t.set.modified);

    // No two boards share an identical hand, and none repeats a hand of the history.
    std::int16_t a = 0;
    std::int16_t b = 0;
    EXPECT_LT(MaxInnerSimilarity(t.set, a, b), 13);
    for (int n = 1; n <= 640; ++n) {
        std::int16_t hb = 0;
        std::string name;
        ASSERT_LT(MaxHistorySimilarity(history, t.set[n], hb, name), 13);
    }
    // The reported highest inner similarity belongs to the boards it names.
    ASSERT_GT(r.innerBoard, r.innerOther);
    EXPECT_EQ(CompareHands(t.set[r.innerBoard], t.set[r.innerOther]), r.innerMax);
    EXPECT_EQ(r.historyFile, "OLDSET.PBN");
    EXPECT_GT(r.historyMax, 0);
    EXPECT_LT(r.historyMax, 13);

    // Every hand was admitted by the shape rule against the hands of the earlier boards.
    ShapeTally tally{};
    for (int n = 1; n <= 640; ++n) {
        const Board& board = t.set[n];
        ASSERT_EQ(board.status, kBoardComplete);
        ASSERT_EQ(board.number, n);
        ASSERT_EQ(board.dealer, DealerOf(n));
        ASSERT_EQ(board.vulnerability, VulnerabilityOf(n));
        for (int seat = 1; seat <= 4; ++seat)
            ASSERT_TRUE(ShapeAllowed(tally, board.shapeIndex[seat], n)) << n;
        for (int seat = 1; seat <= 4; ++seat)
            ++tally[board.shapeIndex[seat]];
    }
    EXPECT_EQ(tally, t.ctx.shapeTally);
    EXPECT_GT(r.shapeRejects, 0) << "640 boards always run some shape ahead of its share";
}

TEST(GenerateRandom, SameSeedSameSetAndRunsContinueTheShuffle) {
    TestContext a(31);
    TestContext b(31);
    ASSERT_EQ(GenerateBoardSet(a.ctx.Generation(), Choices(1, 24)).outcome, GenerateOutcome::Generated);
    ASSERT_EQ(GenerateBoardSet(b.ctx.Generation(), Choices(1, 24)).outcome, GenerateOutcome::Generated);
    EXPECT_TRUE(orvenix::test::SameBoards(a.set, b.set, 1, 24));
    const BoardSet firstRun = a.set;
    ASSERT_EQ(GenerateBoardSet(a.ctx.Generation(), Choices(1, 24)).outcome, GenerateOutcome::Generated);
    for (int n = 1; n <= 24; ++n)
        EXPECT_NE(a.set[n].cardOwner, firstRun[n].cardOwner);
}

TEST(GenerateRandom, NewRunResetsTheTallyAndClearsOtherSlots) {
    TestContext t;
    PutOldSet(t);
    t.ctx.shapeTally.fill(500);
    const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), Choices(3, 6));
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    ShapeTally expected{};
    for (int n = 3; n <= 6; ++n) {
        for (int seat = 1; seat <= 4; ++seat)
            ++expected[t.set[n].shapeIndex[seat]];
    }
    for (int i = 1; i <= kShapeCount; ++i)
        EXPECT_EQ(t.ctx.shapeTally[i], expected[i]) << i;
    // Slots 1, 2 and 7 to 20 of the old set lost their cards.
    for (int n : {1, 2, 7, 20}) {
        EXPECT_EQ(t.set[n].status, 0);
        EXPECT_EQ(t.set[n].cardOwner[1], 0);
    }
    EXPECT_EQ(t.set.eventName, "");
    EXPECT_EQ(t.set.fileName, "");
}

TEST(GenerateFilters, InnerFilterRejectsARepeatedHandInAnySeat) {
    TestContext t;
    ScriptedCandidates s;
    std::mt19937 rng(5);
    const Board d = orvenix::test::RandomBoard(rng);
    const Board other = orvenix::test::RandomBoard(rng);
    s.script = {d, Rotated(d), TwoCardsSwapped(d), other};
    const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), Choices(1, 3, false, true, false), {}, s.Source());
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    EXPECT_EQ(r.innerRejects, 1);
    EXPECT_EQ(s.drawn, 4);
    EXPECT_EQ(t.set[1].cardOwner, d.cardOwner);
    EXPECT_EQ(t.set[2].cardOwner, TwoCardsSwapped(d).cardOwner);
    EXPECT_EQ(t.set[3].cardOwner, other.cardOwner);
    EXPECT_EQ(r.innerMax, 12);
    EXPECT_EQ(r.innerBoard, 2);
    EXPECT_EQ(r.innerOther, 1);
    EXPECT_EQ(SimilarityText(r.innerMax, r.innerBoard, r.innerOther), "12, 2:1");
}

TEST(GenerateFilters, FiftyRejectedCandidatesCannotGenerate) {
    TestContext t;
    PutOldSet(t);
    ScriptedCandidates s;
    std::mt19937 rng(6);
    const Board d = orvenix::test::RandomBoard(rng);
    s.script.push_back(d);
    s.script.push_back(orvenix::test::RandomBoard(rng));
    for (int i = 0; i < 60; ++i)
        s.script.push_back(i % 2 == 0 ? Rotated(d) : d);
    std::vector<int> progress;
    const GenerateResult r = GenerateBoardSet(
        t.ctx.Generation(), Choices(4, 10, false, true, false), [&](int n) { progress.push_back(n); }, s.Source());
    EXPECT_EQ(r.outcome, GenerateOutcome::CannotGenerate);
    EXPECT_FALSE(r.Succeeded());
    EXPECT_EQ(s.drawn, 2 + 50);
    EXPECT_EQ(r.innerRejects, 50);
    EXPECT_EQ(r.boardsGenerated, 2);
    EXPECT_EQ(progress, (std::vector<int>{1, 2}));
    ASSERT_EQ(t.dialogs.messages.size(), 1U);
    EXPECT_EQ(t.dialogs.Last().text, "Cannot generate!");
    EXPECT_EQ(t.dialogs.Last().title, "Generate New Board Set");
    EXPECT_EQ(t.dialogs.Last().icon, Icon::Critical);
    // No set exists; the boards already made stay in their slots.
    EXPECT_EQ(t.set.lastBoard, 0);
    EXPECT_FALSE(t.set.exists());
    EXPECT_EQ(t.set[4].cardOwner, d.cardOwner);
    EXPECT_EQ(t.set[6].status, 0);
}

TEST(GenerateFilters, WithAllFiltersOffNothingIsRejected) {
    TestContext t;
    ScriptedCandidates s;
    const Board d = orvenix::test::SuitPerHandBoard();
    for (int i = 0; i < 5; ++i)
        s.script.push_back(d);
    const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), Choices(1, 5, false, false, false), {}, s.Source());
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    EXPECT_EQ(s.drawn, 5);
    EXPECT_EQ(r.shapeRejects + r.innerRejects + r.historyRejects, 0);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(t.set[n].cardOwner, d.cardOwner);
    EXPECT_FALSE(r.WorthRepeating());
}

TEST(GenerateFilters, ShapeRuleJudgesACandidateAgainstEarlierBoardsOnly) {
    TestContext t;
    ScriptedCandidates s;
    const Board voids = orvenix::test::SuitPerHandBoard(); // four 13-0-0-0 hands
    s.script = {voids, voids};
    const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), Choices(1, 2, true, false, false), {}, s.Source());
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    // Board 1: the four hands are judged against an empty tally and pass together; board 2: the shape has
    // run ahead of its share.
    EXPECT_EQ(t.set[1].cardOwner, voids.cardOwner);
    EXPECT_GE(r.shapeRejects, 1);
    EXPECT_EQ(r.shapeRejects, s.drawn - 2) << "every candidate but the two kept was rejected by shape";
    EXPECT_NE(t.set[2].cardOwner, voids.cardOwner);
}

TEST(GenerateFilters, ShapeRuleUsesTheBoardNumber) {
    // Every hand 4432: at board n up to round(0.215512 * 8 * n) such hands may already be counted.
    // From board 1, board 2 finds 4 counted against an allowance of 3.
    {
        TestContext t;
        ScriptedCandidates s;
        for (int i = 0; i < 60; ++i)
            s.script.push_back(All4432());
        const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), Choices(1, 2, true, false, false), {}, s.Source());
        EXPECT_EQ(r.outcome, GenerateOutcome::CannotGenerate);
        EXPECT_EQ(r.boardsGenerated, 1);
        EXPECT_EQ(r.shapeRejects, 50);
    }
    // From board 17, boards 17 to 30 pass (52 counted against round(51.72) = 52 at board 30) and board 31
    // finds 56 counted against 53.
    {
        TestContext t;
        ScriptedCandidates s;
        for (int i = 0; i < 100; ++i)
            s.script.push_back(All4432());
        const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), Choices(17, 30, true, false, false), {}, s.Source());
        EXPECT_EQ(r.outcome, GenerateOutcome::Generated);
        EXPECT_EQ(r.shapeRejects, 0);
        EXPECT_EQ(t.ctx.shapeTally[1], 14 * 4);
    }
    {
        TestContext t;
        ScriptedCandidates s;
        for (int i = 0; i < 100; ++i)
            s.script.push_back(All4432());
        const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), Choices(17, 31, true, false, false), {}, s.Source());
        EXPECT_EQ(r.outcome, GenerateOutcome::CannotGenerate);
        EXPECT_EQ(r.boardsGenerated, 14);
    }
}

TEST(GenerateFilters, HistoryFilterRejectsAHandOfARecordedSet) {
    std::mt19937 rng(8);
    TestContext old;
    old.set = orvenix::test::RandomSet(1, 9, 21);
    const Board recorded = old.set[7];
    History history;
    ASSERT_TRUE(history.RecordHistory(old.ctx, old.ctx.set, "club night.pbn"));

    TestContext t;
    t.ctx.history = &history;
    ScriptedCandidates s;
    Board again;
    again.cardOwner = Rotated(recorded).cardOwner;
    const Board fresh = orvenix::test::RandomBoard(rng);
    s.script = {again, fresh};
    const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), Choices(1, 1, false, false, true), {}, s.Source());
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    EXPECT_EQ(r.historyRejects, 1);
    EXPECT_TRUE(r.WorthRepeating());
    EXPECT_EQ(t.set[1].cardOwner, fresh.cardOwner);
    std::int16_t hb = 0;
    std::string name;
    const int expected = MaxHistorySimilarity(history, fresh, hb, name);
    EXPECT_EQ(r.historyMax, expected);
    EXPECT_EQ(r.historyBoard, 1);
    EXPECT_EQ(r.historyOther, hb);
    EXPECT_EQ(r.historyFile, "CLUB NIGHT.PB");

    // The same candidate passes when the history filter is off, and without history nothing is found.
    for (bool withHistory : {true, false}) {
        TestContext u;
        u.ctx.history = withHistory ? &history : nullptr;
        ScriptedCandidates s2;
        s2.script = {again};
        const GenerateResult r2 =
            GenerateBoardSet(u.ctx.Generation(), Choices(1, 1, false, false, !withHistory), {}, s2.Source());
        EXPECT_EQ(r2.outcome, GenerateOutcome::Generated);
        EXPECT_EQ(r2.historyRejects, 0);
        EXPECT_EQ(r2.historyMax, 0);
        EXPECT_EQ(r2.historyFile, "");
    }
}

// A candidate that came close to an earlier board but was then thrown out by the history filter does not
// count: the inner result names a pair of boards that is really in the set.
TEST(GenerateFilters, InnerResultCountsOnlyBoardsThatWereKept) {
    std::mt19937 rng(12);
    const Board d = orvenix::test::RandomBoard(rng);
    const Board nearD = TwoCardsSwapped(d);
    TestContext old;
    old.set.firstBoard = 1;
    old.set.lastBoard = 1;
    old.set[1] = nearD;
    old.set.Renumber();
    History history;
    ASSERT_TRUE(history.RecordHistory(old.ctx, old.ctx.set, "OLD"));

    TestContext t;
    t.ctx.history = &history;
    ScriptedCandidates s;
    Board candidate;
    candidate.cardOwner = nearD.cardOwner;
    const Board kept = orvenix::test::RandomBoard(rng);
    s.script = {d, candidate, kept};
    const GenerateResult r = GenerateBoardSet(t.ctx.Generation(), Choices(1, 2, false, true, true), {}, s.Source());
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    EXPECT_EQ(r.historyRejects, 1);
    EXPECT_EQ(t.set[2].cardOwner, kept.cardOwner);
    EXPECT_EQ(r.innerMax, CompareHands(kept, d));
    EXPECT_LT(r.innerMax, 12);
    EXPECT_EQ(r.innerBoard, 2);
    EXPECT_EQ(r.innerOther, 1);
}

TEST(GenerateResultFlags, ShapeRejectsWarnAboveFive) {
    GenerateResult r;
    r.shapeRejects = 5;
    EXPECT_FALSE(r.WorthRepeating());
    r.shapeRejects = 6;
    EXPECT_TRUE(r.WorthRepeating());
    r.shapeRejects = 0;
    r.innerRejects = 1;
    EXPECT_TRUE(r.WorthRepeating());
}
