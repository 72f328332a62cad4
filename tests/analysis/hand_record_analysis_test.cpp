// The double-dummy table and par on hand records: added to each cell without moving or overlapping
// anything, for every boards-per-page option, or left out where a layout has no room.
#include "print/layouts.h"
#include "support/sample_deals.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using Box = std::array<double, 4>; // left, top, right, bottom

Box TextBox(const DrawOp& op) {
    RecordingSurface measure;
    measure.SetUnit(op.unit);
    measure.SetFontName(op.font.name);
    measure.SetFontSize(op.font.size);
    measure.SetBold(op.font.bold);
    return {op.x1, op.y1, op.x1 + measure.TextWidth(op.text), op.y1 + op.font.size * 24};
}

bool Overlap(const Box& a, const Box& b) {
    return a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3];
}

bool SameOp(const DrawOp& a, const DrawOp& b) {
    return std::tie(a.kind, a.page, a.font, a.x1, a.y1, a.x2, a.y2, a.text) ==
           std::tie(b.kind, b.page, b.font, b.x1, b.y1, b.x2, b.y2, b.text);
}

TEST(HandRecordAnalysisTest, AddedWithoutMovingOrOverlappingAnything) {
    // Results written by hand with the widest texts a cell must hold (they need not match the deals: the
    // layout is what is checked here).
    DoubleDummyResult wide;
    for (auto& row : wide.tricks)
        row = {13, 10, 7, 0, 13};
    wide.par = ParResult{-7600, {"7NTx NS -13"}};
    BoardSet set = test::SampleSet(1, 18);
    for (int n = 3; n <= 18; n += 3)
        set[n] = test::VoidBoard(n); // 13-card suits: the longest lines
    for (int layout = 0; layout < static_cast<int>(kHandRecordLayouts.size()); ++layout) {
        SCOPED_TRACE(layout);
        PrintRequest request; // from board 1
        request.to = 18;
        request.layout = layout;
        request.eventName = "Club Pairs";
        RecordingSurface plain;
        PrintHandRecords(plain, set, request);
        RecordingSurface with;
        for (int n = 1; n <= 18; ++n) // board 2 has no result: it prints without analysis
            if (n != 2) request.doubleDummy[n] = wide;
        // 8, 10 and 16 per page leave room below West; 12 and 18 per page: rows of 2415 twips leave about 560
        // twips, less than five lines of 6 points. On the 16-per-page cells a 13-card suit of South on the
        // left runs into the analysis corner: boards 4, 7, 10 and 16 (right of the 13-card boards 3, 6, 9 and
        // 15) print without analysis.
        const int analysed = std::array{17, 17, 0, 13, 0}[static_cast<std::size_t>(layout)];
        EXPECT_EQ(DoubleDummyHasRoom(with, layout), analysed > 0);
        PrintHandRecords(with, set, request);

        // Every element of the plain pages, page ends too, is there, in the same order and at the same place.
        std::vector<DrawOp> extra;
        std::size_t i = 0;
        for (const DrawOp& op : with.ops) {
            if (i < plain.ops.size() && SameOp(op, plain.ops[i]))
                ++i;
            else
                extra.push_back(op);
        }
        ASSERT_EQ(i, plain.ops.size());

        // Per board: 5 column heads, 4 seat letters, 20 trick counts, the par contract and the score.
        ASSERT_EQ(extra.size(), static_cast<std::size_t>(analysed) * 31u);
        int parLines = 0;
        for (const DrawOp& add : extra) {
            ASSERT_EQ(add.kind, DrawKind::Text);
            parLines += add.text == "Par: 7NTx NS -13" ? 1 : 0;
            const Box box = TextBox(add);
            for (const DrawOp& op : plain.ops) {
                if (op.page != add.page) continue;
                EXPECT_FALSE(op.kind == DrawKind::Text && Overlap(box, TextBox(op)))
                    << add.text << " on " << op.text;
                // the lines between rows run across the page
                EXPECT_FALSE(op.kind == DrawKind::Line && op.y1 > box[1] && op.y1 < box[3]) << add.text;
            }
            EXPECT_TRUE(box[0] >= 0 && box[2] <= 11520) << add.text;
        }
        EXPECT_EQ(parLines, analysed);
    }
}

} // namespace
} // namespace orvenix
