// The generator window: enabling of the filters, the focus after a refusal, Enter, the results with their
// colours and default button, and a run that cannot be closed or repeated while it goes on.
#include "history/history.h"
#include "support/generator_context.h"
#include "support/window_test.h"
#include "ui/generate/generator_window.h"

namespace orvenix::test {
namespace {

class GeneratorWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    template <typename T = QLineEdit> T* Get(const char* name) { return Child<T>(window.get(), name); }
    void Click(const char* name) { QTest::mouseClick(Get<QWidget>(name), Qt::LeftButton, {}, QPoint(6, 6)); }
    // Types the range and runs it with the Deal button or with Enter in the last field.
    void Generate(const QString& first, const QString& last, bool enter = false) {
        Get("txtFirstBoard")->setText(first);
        Get("txtLastBoard")->setText(last);
        enter ? QTest::keyClick(Get("txtLastBoard"), Qt::Key_Enter) : Click("cmdDeal");
    }
    // The background of each box: 'f' a filter that is on, 'd' one that is off, 'g' good and 'b' bad results.
    std::string Colours(const QString& boxes) {
        const QRgb known[] = {kResultFieldColour, GeneratorWindow::DisabledFieldColour().rgba(),
                              kResultGoodColour, kResultBadColour};
        std::string s;
        for (const QString& box : boxes.split(' ')) {
            const QRgb c = Get(box.toLatin1().constData())->palette().color(QPalette::Base).rgba();
            s += "fdgb?"[std::find(std::begin(known), std::end(known), c) - std::begin(known)];
        }
        return s;
    }
    GeneratorContext t{2024};
    std::unique_ptr<GeneratorWindow> window = std::make_unique<GeneratorWindow>(t.ctx);
};

TEST_F(GeneratorWindowTest, FiltersEnableTheirOwnFieldsOnlyForRandomBoards) {
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Get("txtLastBoard")));
    QTRY_COMPARE(Get("txtLastBoard")->selectedText(), QString("32"));
    // Per filter: its frame, check box, result boxes and their labels; then the colours of three boxes.
    const QString fields =
        "FrameShp Reject_shape txtShpRejects lblShpRejects FrameInn Reject_inner txtInnRejects "
        "txtInnSim lblInnSim FrameHis Reject_history txtHisRejects txtOuDeals lblHistFile";
    const std::pair<const char*, std::string> steps[] = {
        {"generate_no", "00000000000000 fff"},  {"generate_yes", "11111111111111 fff"},
        {"Reject_inner", "11111100011111 fdf"}, {"Reject_history", "11111100011000 fdd"},
        {"Reject_shape", "11001100011000 ddd"}, {"Reject_inner", "11001111111000 dfd"},
        {"generate_no", "00000000000000 dfd"},  {"generate_yes", "11001111111000 dfd"}};
    for (const auto& [click, state] : steps) {
        for (const char* box : {"txtShpRejects", "txtInnSim", "txtOuDeals"})
            Get(box)->setText("old");
        Click(click);
        EXPECT_EQ(EnabledFlags(window.get(), fields) + " " + Colours("txtShpRejects txtInnSim txtOuDeals"),
                  state)
            << click;
    }
    // Every filter's handler ran again when random boards were chosen: its fields are emptied.
    EXPECT_EQ(BoxTexts(window.get(), "txtShpRejects txtInnSim txtOuDeals"), "||");
}

// A refused range returns the focus to the field to correct, and Enter does not run it. Enter runs a valid
// range: the count grows board by board while the buttons are off, the hourglass is up and the window
// cannot be closed or run again. A run that cannot generate shows no results; either way the buttons come
// back.
TEST_F(GeneratorWindowTest, RefusalsReturnTheFocusAndARunCannotBeClosedOrRepeated) {
    for (const auto& [first, last, focus, boxes] :
         {std::tuple{"33", "32", "txtFirstBoard", 1U}, std::tuple{"1", "641", "txtLastBoard", 2U}}) {
        Generate(first, last, true); // Enter does not run a refused range ...
        Click("cmdDeal");            // ... the button runs it into the refusal
        EXPECT_TRUE(t.dialogs.messages.size() == boxes && QApplication::focusWidget() == Get(focus)) << last;
    }
    QStringList counts;
    bool busy = true;
    QObject::connect(Get("BoardsGen"), &QLineEdit::textChanged, window.get(), [&](const QString& text) {
        counts << text;
        busy &= EnabledFlags(window.get(), "cmdDeal cmdExit") == "00" &&
                QApplication::overrideCursor() != nullptr;
        if (counts.size() != 3) return;
        window->close();
        window->reject();
        Get<QPushButton>("cmdDeal")->click(); // no second run inside the first
    });
    Generate("10", "25", true);
    EXPECT_TRUE(counts.size() == 16 && counts.front() == "1" && counts.back() == "16" && busy &&
                window->isVisible() && t.set.lastBoard == 25);
    window->SetCandidateSource([] { return SuitPerHandBoard(); }); // every candidate repeats board 1
    Generate("1", "3");
    EXPECT_TRUE(t.set.lastBoard == 0 && Get("txtShpRejects")->text().isEmpty() &&
                EnabledFlags(window.get(), "cmdDeal cmdExit") == "11" &&
                QApplication::overrideCursor() == nullptr);
    Click("cmdExit");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(GeneratorWindowTest, ResultsAreColouredAndChooseTheDefaultButton) {
    // The history holds the window's own first board (the same seed deals it again): it is rejected.
    History history;
    GeneratorContext same{2024};
    GenerateBoardSet(same.ctx.Generation(), GenerateChoices{1, 1});
    ASSERT_TRUE(history.RecordHistory(t.ctx, same.set, "club"));
    t.ctx.history = &history;
    Generate("1", "640");
    const GenerateResult& r = window->lastResult();
    const auto n = [](int v) { return std::to_string(v) + "|"; };
    EXPECT_EQ(BoxTexts(window.get(),
                       "BoardsGen txtShpRejects txtInnRejects txtHisRejects txtInnSim txtOuSim txtOuDeals")
                  .toStdString(),
              "640|" + n(r.shapeRejects) + n(r.innerRejects) + n(r.historyRejects) +
                  SimilarityText(r.innerMax, r.innerBoard, r.innerOther) + "|" +
                  SimilarityText(r.historyMax, r.historyBoard, r.historyOther) + "|CLUB");
    EXPECT_EQ(Colours("txtShpRejects txtInnRejects txtHisRejects"),
              (std::string{"gb"[ShapeRejectsWarn(r.shapeRejects)], "gb"[r.innerRejects > 0], 'b'}));
    // After rejections Enter runs again; otherwise (below) it closes the window.
    EXPECT_TRUE(r.historyRejects > 0 && Get<QPushButton>("cmdDeal")->isDefault() &&
                QApplication::focusWidget() == Get<QWidget>("cmdDeal"));

    // One board with only the shape filter: nothing to reject, so Exit is the default; fields of filters
    // that are off stay empty. Empty boards fill only the count.
    Click("Reject_inner");
    Click("Reject_history");
    Generate("1", "1");
    EXPECT_EQ(BoxTexts(window.get(), "txtShpRejects txtInnRejects txtOuSim").toStdString() +
                  Colours("txtShpRejects"),
              "0||g");
    EXPECT_TRUE(Get<QPushButton>("cmdExit")->isDefault() && !Get<QPushButton>("cmdDeal")->isDefault());
    Click("generate_no");
    Generate("5", "8");
    EXPECT_EQ(BoxTexts(window.get(), "BoardsGen txtShpRejects"), "4|");
}

} // namespace
} // namespace orvenix::test
