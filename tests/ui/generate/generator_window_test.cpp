// The generator window: enabling of the filters, the focus after a refusal, Enter, the results with their
// colours and default button, and a run that cannot be closed or repeated while it goes on.
#include "history/history.h"
#include "support/board_set_samples.h"
#include "support/generator_context.h"
#include "support/window_test.h"
#include "ui/generate/generator_window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace orvenix::test {
namespace {

class GeneratorWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<GeneratorWindow>(t.ctx);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    template <typename T = QLineEdit> T* Get(const char* name) { return Child<T>(window.get(), name); }
    QColor Colour(const char* box) { return Get(box)->palette().color(QPalette::Base); }
    void Generate(const QString& first, const QString& last) {
        Get("txtFirstBoard")->setText(first);
        Get("txtLastBoard")->setText(last);
        QTest::mouseClick(Get<QPushButton>("cmdDeal"), Qt::LeftButton);
    }
    GeneratorContext t{2024};
    std::unique_ptr<GeneratorWindow> window;
};

TEST_F(GeneratorWindowTest, FiltersEnableTheirOwnFieldsOnlyForRandomBoards) {
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Get("txtLastBoard")));
    QTRY_COMPARE(Get("txtLastBoard")->selectedText(), QString("32"));
    const struct {
        const char* frame;
        const char* check;
        std::vector<const char*> boxes;
        const char* label;
    } filters[] = {
        {"FrameShp", "Reject_shape", {"txtShpRejects"}, "lblShpRejects"},
        {"FrameInn", "Reject_inner", {"txtInnRejects", "txtInnSim"}, "lblInnSim"},
        {"FrameHis", "Reject_history", {"txtHisRejects", "txtOuSim", "txtOuDeals"}, "lblHistFile"}};
    for (const auto& f : filters) {
        SCOPED_TRACE(f.check);
        QTest::mouseClick(Get<QRadioButton>("generate_no"), Qt::LeftButton);
        EXPECT_FALSE(Get<QGroupBox>(f.frame)->isEnabled());
        EXPECT_FALSE(Get<QCheckBox>(f.check)->isEnabled());
        QTest::mouseClick(Get<QRadioButton>("generate_yes"), Qt::LeftButton);
        EXPECT_TRUE(Get<QGroupBox>(f.frame)->isEnabled());
        for (bool on : {false, true}) {
            for (const char* box : f.boxes)
                Get(box)->setText("old");
            QTest::mouseClick(Get<QCheckBox>(f.check), Qt::LeftButton);
            EXPECT_EQ(Get<QLabel>(f.label)->isEnabled(), on);
            for (const char* box : f.boxes) {
                EXPECT_EQ(Get(box)->isEnabled(), on) << box;
                EXPECT_EQ(Get(box)->text(), "") << box;
                EXPECT_EQ(Colour(box),
                          on ? QColor(kResultFieldColour) : GeneratorWindow::DisabledFieldColour());
            }
            for (const auto& other : filters) // the other filters stay on
                EXPECT_TRUE(other.check == f.check || Get(other.boxes[0])->isEnabled());
        }
    }
}

TEST_F(GeneratorWindowTest, RefusedNumbersReturnTheFocusAndEnterGeneratesOnlyAValidRange) {
    const struct {
        const char* first;
        const char* last;
        const char* focus;
    } refused[] = {{"33", "32", "txtFirstBoard"}, {"1", "641", "txtLastBoard"}, {"", "32", "txtFirstBoard"}};
    for (const auto& c : refused) {
        SCOPED_TRACE(c.last);
        t.dialogs.messages.clear();
        Get("txtFirstBoard")->setText(c.first);
        Get("txtLastBoard")->setText(c.last);
        QTest::keyClick(Get("txtLastBoard"), Qt::Key_Return); // Enter does not run a refused range ...
        EXPECT_TRUE(t.dialogs.messages.empty());
        Generate(c.first, c.last); // ... the button runs it into the refusal
        EXPECT_EQ(t.dialogs.messages.size(), 1U);
        EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(Get(c.focus)));
        EXPECT_TRUE(Get<QPushButton>("cmdExit")->isEnabled());
        EXPECT_EQ(t.set.lastBoard, 0);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    Get("txtFirstBoard")->setText("1");
    Get("txtLastBoard")->setText("24");
    QTest::keyClick(Get("txtLastBoard"), Qt::Key_Enter);
    EXPECT_EQ(t.set.lastBoard, 24);
}

TEST_F(GeneratorWindowTest, ResultsAreColouredAndChooseTheDefaultButton) {
    History history;
    {
        GeneratorContext old;
        old.set = RandomSet(1, 50, 77);
        ASSERT_TRUE(history.RecordHistory(old.ctx, old.ctx.set, "club"));
    }
    t.ctx.history = &history;
    Generate("1", "640");
    const GenerateResult& r = window->lastResult();
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    EXPECT_EQ(Get("BoardsGen")->text(), "640");
    EXPECT_EQ(Get("txtShpRejects")->text(), QString::number(r.shapeRejects));
    EXPECT_EQ(Get("txtInnRejects")->text(), QString::number(r.innerRejects));
    EXPECT_EQ(Get("txtHisRejects")->text(), QString::number(r.historyRejects));
    EXPECT_EQ(Colour("txtShpRejects"), QColor(r.shapeRejects > 5 ? kResultBadColour : kResultGoodColour));
    EXPECT_EQ(Colour("txtInnRejects"), QColor(r.innerRejects > 0 ? kResultBadColour : kResultGoodColour));
    EXPECT_EQ(Colour("txtHisRejects"), QColor(r.historyRejects > 0 ? kResultBadColour : kResultGoodColour));
    EXPECT_EQ(Get("txtInnSim")->text(),
              QString("%1, %2:%3").arg(r.innerMax).arg(r.innerBoard).arg(r.innerOther));
    EXPECT_EQ(Get("txtOuSim")->text(),
              QString("%1, %2:%3").arg(r.historyMax).arg(r.historyBoard).arg(r.historyOther));
    EXPECT_EQ(Get("txtOuDeals")->text(), "CLUB");
    // After rejections Enter runs again; otherwise it closes the window.
    const char* chosen = r.WorthRepeating() ? "cmdDeal" : "cmdExit";
    EXPECT_TRUE(Get<QPushButton>(chosen)->isDefault());
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(Get<QPushButton>(chosen)));
    t.ctx.history = nullptr;

    // One board with only the shape filter: nothing to reject, so Exit is the default; fields of filters
    // that are off stay empty.
    Get<QCheckBox>("Reject_inner")->click();
    Get<QCheckBox>("Reject_history")->click();
    Generate("1", "1");
    EXPECT_EQ(Get("txtShpRejects")->text(), "0");
    EXPECT_EQ(Colour("txtShpRejects"), QColor(kResultGoodColour));
    EXPECT_EQ(Get("txtInnRejects")->text(), "");
    EXPECT_EQ(Get("txtOuSim")->text(), "");
    EXPECT_TRUE(Get<QPushButton>("cmdExit")->isDefault());
    EXPECT_FALSE(Get<QPushButton>("cmdDeal")->isDefault());

    // Empty boards fill only the count.
    QTest::mouseClick(Get<QRadioButton>("generate_no"), Qt::LeftButton);
    Generate("5", "8");
    EXPECT_EQ(window->lastResult().outcome, GenerateOutcome::Empty);
    EXPECT_EQ(Get("BoardsGen")->text(), "4");
    EXPECT_EQ(t.set.lastBoard, 8);
    EXPECT_EQ(Get("txtShpRejects")->text(), "");
}

TEST_F(GeneratorWindowTest, CannotGenerateIsReportedAndLeavesNoSet) {
    const Board voids = SuitPerHandBoard();
    window->SetCandidateSource([voids] { return voids; }); // every candidate repeats board 1
    Generate("1", "3");
    EXPECT_EQ(window->lastResult().outcome, GenerateOutcome::CannotGenerate);
    ASSERT_EQ(t.dialogs.messages.size(), 1U);
    EXPECT_EQ(t.dialogs.Last().icon, Icon::Critical);
    EXPECT_EQ(t.set.lastBoard, 0);
    EXPECT_EQ(Get("txtShpRejects")->text(), "");
    EXPECT_TRUE(Get<QPushButton>("cmdDeal")->isEnabled());
    EXPECT_TRUE(Get<QPushButton>("cmdExit")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(GeneratorWindowTest, CountGrowsBoardByBoardWhileTheWindowCannotBeClosed) {
    QStringList counts;
    bool buttonsOff = true;
    QObject::connect(Get("BoardsGen"), &QLineEdit::textChanged, window.get(), [&](const QString& text) {
        counts << text;
        buttonsOff &= !Get<QPushButton>("cmdDeal")->isEnabled() &&
                      !Get<QPushButton>("cmdExit")->isEnabled() && QApplication::overrideCursor() != nullptr;
        if (counts.size() == 3) {
            window->close();
            window->reject();
            QTest::mouseClick(Get<QPushButton>("cmdDeal"), Qt::LeftButton); // no second run inside
        }
    });
    Generate("10", "25");
    EXPECT_EQ(counts.size(), 16);
    EXPECT_EQ(counts.front(), "1");
    EXPECT_EQ(counts.back(), "16");
    EXPECT_TRUE(buttonsOff);
    EXPECT_TRUE(window->isVisible()) << "the window stays open until the run ends";
    EXPECT_EQ(t.set.lastBoard, 25);
    QTest::mouseClick(Get<QPushButton>("cmdExit"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

} // namespace
} // namespace orvenix::test
