#include "base/messages.h"
#include "generate/generator.h"
#include "history/history.h"
#include "support/board_set_samples.h"
#include "support/generator_context.h"
#include "ui/generate/generator_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace orvenix;

namespace {

const QColor kLightBlue(192, 240, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

QColor Background(QLineEdit* box) {
    return box->palette().color(QPalette::Base);
}

class GeneratorWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<GeneratorWindow>(t.ctx);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override { window.reset(); }

    template <typename T> T* Get(const char* name) {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << "no control named " << name;
        return w;
    }
    QLineEdit* Box(const char* name) { return Get<QLineEdit>(name); }

    void SetNumbers(const QString& first, const QString& last) {
        Box("txtFirstBoard")->setText(first);
        Box("txtLastBoard")->setText(last);
    }
    void ClickGenerate() { QTest::mouseClick(Get<QPushButton>("cmdDeal"), Qt::LeftButton); }

    orvenix::test::GeneratorContext t{2024};
    std::unique_ptr<GeneratorWindow> window;
};

} // namespace

TEST(GenerateNumberAllowed, DigitsWithoutLeadingZeroUpTo999) {
    EXPECT_TRUE(GenerateNumberAllowed(""));
    EXPECT_TRUE(GenerateNumberAllowed("1"));
    EXPECT_TRUE(GenerateNumberAllowed("640"));
    EXPECT_TRUE(GenerateNumberAllowed("999"));
    EXPECT_FALSE(GenerateNumberAllowed("1000"));
    EXPECT_FALSE(GenerateNumberAllowed("99999999999999999999"));
    EXPECT_FALSE(GenerateNumberAllowed("0"));
    EXPECT_FALSE(GenerateNumberAllowed("01"));
    EXPECT_FALSE(GenerateNumberAllowed("1a"));
    EXPECT_FALSE(GenerateNumberAllowed(" 1"));
    EXPECT_FALSE(GenerateNumberAllowed("-1"));
    EXPECT_FALSE(GenerateNumberAllowed(QString::fromUtf8("\u0663"))); // a digit of another script
}

TEST_F(GeneratorWindowTest, OpensWithItsCaptionsDefaultsAndFocus) {
    EXPECT_EQ(window->windowTitle(), "Generate New Boards Set");
    EXPECT_EQ(Get<QLabel>("lblFirst")->text(), "First Board in set:");
    EXPECT_EQ(Get<QLabel>("lblLast")->text(), "Last Board in set:");
    EXPECT_EQ(Get<QRadioButton>("generate_yes")->text(), "Generate random boards");
    EXPECT_EQ(Get<QRadioButton>("generate_no")->text(), "Leave boards empty");
    EXPECT_EQ(Get<QGroupBox>("FrameShp")->title(), "Shape reject");
    EXPECT_EQ(Get<QCheckBox>("Reject_shape")->text(), "Reject odd shapes");
    EXPECT_EQ(Get<QLabel>("lblShpRejects")->text(), "Shapes rejected:");
    EXPECT_EQ(Get<QGroupBox>("FrameInn")->title(), "Inner similarity reject");
    EXPECT_EQ(Get<QCheckBox>("Reject_inner")->text(), "Check inner similarity");
    EXPECT_EQ(Get<QLabel>("lblInnRejects")->text(), "Inner Similarity Rejected:");
    EXPECT_EQ(Get<QLabel>("lblInnSim")->text(), "Inner similarity:");
    EXPECT_EQ(Get<QGroupBox>("FrameHis")->title(), "History reject");
    EXPECT_EQ(Get<QCheckBox>("Reject_history")->text(), "Check history file");
    EXPECT_EQ(Get<QLabel>("lblHisRejects")->text(), "History Rejected:");
    EXPECT_EQ(Get<QLabel>("lblHistoricSimilarity")->text(), "Historic Similarity:");
    EXPECT_EQ(Get<QLabel>("lblHistFile")->text(), "Historic File:");
    EXPECT_EQ(Get<QLabel>("lblBoardsGen")->text(), "Boards generated:");
    EXPECT_EQ(Get<QPushButton>("cmdDeal")->text(), "&Generate Boards");
    EXPECT_EQ(Get<QPushButton>("cmdExit")->text(), "E&xit");

    EXPECT_EQ(Box("txtFirstBoard")->text(), "1");
    EXPECT_EQ(Box("txtLastBoard")->text(), "32");
    EXPECT_TRUE(Get<QRadioButton>("generate_yes")->isChecked());
    for (const char* name : {"Reject_shape", "Reject_inner", "Reject_history"}) {
        EXPECT_TRUE(Get<QCheckBox>(name)->isChecked()) << name;
        EXPECT_TRUE(Get<QCheckBox>(name)->isEnabled()) << name;
    }
    for (const char* name :
         {"txtShpRejects", "txtInnRejects", "txtInnSim", "txtHisRejects", "txtOuSim", "txtOuDeals"}) {
        EXPECT_TRUE(Box(name)->isEnabled()) << name;
        EXPECT_TRUE(Box(name)->text().isEmpty()) << name;
        EXPECT_EQ(Background(Box(name)), kLightBlue) << name;
    }
    // The caret goes into the last board, whose text is then selected whole.
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Box("txtLastBoard")));
    QTRY_COMPARE(Box("txtLastBoard")->selectedText(), QString("32"));
}

TEST_F(GeneratorWindowTest, NumberBoxesTakeDigitsOnlyAndStepTheCaretBack) {
    QLineEdit* last = Box("txtLastBoard");
    last->setFocus();
    last->deselect();
    last->setCursorPosition(2);
    QTest::keyClicks(last, "a");
    EXPECT_EQ(last->text(), "32");
    EXPECT_EQ(last->cursorPosition(), 2);
    QTest::keyClicks(last, "4");
    EXPECT_EQ(last->text(), "324");
    QTest::keyClicks(last, "5"); // 3245 is above 999
    EXPECT_EQ(last->text(), "324");
    EXPECT_EQ(last->cursorPosition(), 3);
    last->setCursorPosition(0);
    QTest::keyClicks(last, "0"); // no leading zero
    EXPECT_EQ(last->text(), "324");
    EXPECT_EQ(last->cursorPosition(), 0);
    last->selectAll();
    QTest::keyClick(last, Qt::Key_Delete); // empty is allowed
    EXPECT_EQ(last->text(), "");
    QTest::keyClicks(last, "x");
    EXPECT_EQ(last->text(), "");

    QLineEdit* first = Box("txtFirstBoard");
    first->setFocus();
    first->selectAll();
    QTest::keyClicks(first, "17");
    EXPECT_EQ(first->text(), "17");
    QTest::keyClicks(first, "-");
    EXPECT_EQ(first->text(), "17");
    // A paste that breaks the rule goes back to the last accepted text.
    first->setText("12b");
    EXPECT_EQ(first->text(), "17");
}

TEST_F(GeneratorWindowTest, OptionButtonsEnableTheFiltersAndResetTheirFields) {
    Box("txtShpRejects")->setText("9");
    QTest::mouseClick(Get<QRadioButton>("generate_no"), Qt::LeftButton);
    ASSERT_TRUE(Get<QRadioButton>("generate_no")->isChecked());
    for (const char* name : {"FrameShp", "FrameInn", "FrameHis"})
        EXPECT_FALSE(Get<QGroupBox>(name)->isEnabled());
    for (const char* name : {"Reject_shape", "Reject_inner", "Reject_history"})
        EXPECT_FALSE(Get<QCheckBox>(name)->isEnabled());

    QTest::mouseClick(Get<QRadioButton>("generate_yes"), Qt::LeftButton);
    for (const char* name : {"FrameShp", "FrameInn", "FrameHis"})
        EXPECT_TRUE(Get<QGroupBox>(name)->isEnabled());
    for (const char* name : {"Reject_shape", "Reject_inner", "Reject_history"})
        EXPECT_TRUE(Get<QCheckBox>(name)->isEnabled());
    // The check boxes' handlers ran: the fields are emptied and light blue again.
    EXPECT_EQ(Box("txtShpRejects")->text(), "");
    EXPECT_EQ(Background(Box("txtShpRejects")), kLightBlue);
}

TEST_F(GeneratorWindowTest, CheckBoxesSwitchTheirOwnResultFields) {
    struct Filter {
        const char* check;
        std::vector<const char*> boxes;
        std::vector<const char*> labels;
    };
    const std::vector<Filter> filters{
        {"Reject_shape", {"txtShpRejects"}, {"lblShpRejects"}},
        {"Reject_inner", {"txtInnRejects", "txtInnSim"}, {"lblInnRejects", "lblInnSim"}},
        {"Reject_history",
         {"txtHisRejects", "txtOuSim", "txtOuDeals"},
         {"lblHisRejects", "lblHistoricSimilarity", "lblHistFile"}},
    };
    for (const Filter& f : filters) {
        QCheckBox* check = Get<QCheckBox>(f.check);
        for (const char* b : f.boxes)
            Box(b)->setText("old");
        QTest::mouseClick(check, Qt::LeftButton);
        ASSERT_FALSE(check->isChecked());
        for (const char* b : f.boxes) {
            EXPECT_FALSE(Box(b)->isEnabled()) << b;
            EXPECT_EQ(Box(b)->text(), "") << b;
            EXPECT_EQ(Background(Box(b)), GeneratorWindow::DisabledFieldColour()) << b;
        }
        for (const char* l : f.labels)
            EXPECT_FALSE(Get<QLabel>(l)->isEnabled()) << l;
        // The other filters are untouched.
        for (const Filter& g : filters) {
            if (g.check == f.check) continue;
            EXPECT_EQ(Get<QCheckBox>(g.check)->isChecked(), Box(g.boxes[0])->isEnabled());
        }
        QTest::mouseClick(check, Qt::LeftButton);
        ASSERT_TRUE(check->isChecked());
        for (const char* b : f.boxes) {
            EXPECT_TRUE(Box(b)->isEnabled()) << b;
            EXPECT_EQ(Background(Box(b)), kLightBlue) << b;
        }
        for (const char* l : f.labels)
            EXPECT_TRUE(Get<QLabel>(l)->isEnabled()) << l;
    }
}

TEST_F(GeneratorWindowTest, RefusedNumbersShowTheMessageAndReturnTheFocus) {
    struct Case {
        const char* first;
        const char* last;
        std::string message;
        const char* focus;
    };
    const std::vector<Case> cases{
        {"33", "32", FormatMessage(MsgLastBelowFirst), "txtFirstBoard"},
        {"641", "700", FormatMessage(MsgFirstBoardMax), "txtFirstBoard"},
        {"1", "641", FormatMessage(MsgLastBoardMax), "txtLastBoard"},
        {"", "32", FormatMessage(MsgIncorrectFirstBoard, "640"), "txtFirstBoard"},
    };
    t.set = orvenix::test::RandomSet(1, 10);
    for (const Case& c : cases) {
        t.dialogs.messages.clear();
        SetNumbers(c.first, c.last);
        ClickGenerate();
        ASSERT_EQ(t.dialogs.messages.size(), 1U) << c.first << "-" << c.last;
        EXPECT_EQ(t.dialogs.Last().text, c.message);
        EXPECT_EQ(t.dialogs.Last().title, "Generate New Board Set");
        EXPECT_EQ(t.dialogs.Last().icon, Icon::Exclamation);
        EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(Box(c.focus)));
        EXPECT_TRUE(Get<QPushButton>("cmdDeal")->isEnabled());
        EXPECT_TRUE(Get<QPushButton>("cmdExit")->isEnabled());
        EXPECT_EQ(t.set.lastBoard, 10) << "the current set stays";
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

TEST_F(GeneratorWindowTest, RunShowsResultsCountsAndColours) {
    SetNumbers("1", "640");
    ClickGenerate();
    const GenerateResult& r = window->lastResult();
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    EXPECT_EQ(t.set.firstBoard, 1);
    EXPECT_EQ(t.set.lastBoard, 640);
    EXPECT_EQ(Box("BoardsGen")->text(), "640");
    EXPECT_EQ(Box("txtShpRejects")->text(), QString::number(r.shapeRejects));
    EXPECT_EQ(Box("txtInnRejects")->text(), QString::number(r.innerRejects));
    EXPECT_EQ(Box("txtHisRejects")->text(), "0");
    EXPECT_EQ(Background(Box("txtHisRejects")), kGreen);
    EXPECT_EQ(Background(Box("txtInnRejects")), r.innerRejects > 0 ? kRed : kGreen);
    EXPECT_EQ(Background(Box("txtShpRejects")), r.shapeRejects > 5 ? kRed : kGreen);
    EXPECT_EQ(Box("txtInnSim")->text(),
              QString("%1, %2:%3").arg(r.innerMax).arg(r.innerBoard).arg(r.innerOther));
    EXPECT_EQ(Box("txtOuSim")->text(), "0, 0:0") << "no history: nothing found";
    EXPECT_EQ(Box("txtOuDeals")->text(), "");
    // After rejections the operator can run again with Enter; otherwise Enter closes the window.
    const bool again = r.innerRejects > 0 || r.shapeRejects > 5;
    QPushButton* chosen = Get<QPushButton>(again ? "cmdDeal" : "cmdExit");
    QPushButton* other = Get<QPushButton>(again ? "cmdExit" : "cmdDeal");
    EXPECT_TRUE(chosen->isDefault());
    EXPECT_FALSE(other->isDefault());
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(chosen));
    EXPECT_TRUE(t.set.modified);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(GeneratorWindowTest, CleanRunMakesExitTheDefault) {
    // One board with only the shape filter: nothing rarer has been counted yet, so nothing is rejected.
    Get<QCheckBox>("Reject_inner")->click();
    Get<QCheckBox>("Reject_history")->click();
    SetNumbers("1", "1");
    ClickGenerate();
    const GenerateResult& r = window->lastResult();
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    EXPECT_EQ(Box("txtShpRejects")->text(), "0");
    EXPECT_EQ(Background(Box("txtShpRejects")), kGreen);
    // Fields of filters that are off stay empty.
    EXPECT_EQ(Box("txtInnRejects")->text(), "");
    EXPECT_EQ(Box("txtOuSim")->text(), "");
    EXPECT_TRUE(Get<QPushButton>("cmdExit")->isDefault());
    EXPECT_FALSE(Get<QPushButton>("cmdDeal")->isDefault());
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(Get<QPushButton>("cmdExit")));
}

TEST_F(GeneratorWindowTest, EnterGeneratesOnlyAValidRange) {
    struct Case {
        const char* first;
        const char* last;
        int lastBoardAfter; // 0: nothing generated
    };
    const std::vector<Case> cases{{"1", "24", 24}, {"33", "32", 0}, {"1", "641", 0}, {"", "32", 0}};
    for (const Case& c : cases) {
        SetUp(); // a fresh window: Enter before its first run
        t.set.Reset();
        t.dialogs.messages.clear();
        SetNumbers(c.first, c.last);
        QTest::keyClick(Box("txtLastBoard"), Qt::Key_Return);
        EXPECT_EQ(t.set.lastBoard, c.lastBoardAfter) << c.first << "-" << c.last;
        EXPECT_TRUE(t.dialogs.messages.empty()) << "Enter asks nothing: " << c.first << "-" << c.last;
    }
    // Typing the range valid again gives Enter back to Generate.
    SetNumbers("1", "641");
    Box("txtLastBoard")->backspace();
    Box("txtLastBoard")->insert("0");
    QTest::keyClick(Box("txtLastBoard"), Qt::Key_Enter);
    EXPECT_EQ(t.set.lastBoard, 640);
}

TEST_F(GeneratorWindowTest, ShapeResultTurnsRedAboveFiveRejects) {
    EXPECT_FALSE(ShapeRejectsWarn(5));
    EXPECT_TRUE(ShapeRejectsWarn(6));
    // Five rejected candidates, then a kept one: green. Six: red.
    for (int rejects : {5, 6}) {
        const Board voids = orvenix::test::SuitPerHandBoard();
        auto script = std::make_shared<std::vector<Board>>(1 + rejects, voids);
        Board plain; // every hand 4-3-3-3
        for (int c = 1; c <= kCards; ++c)
            plain.cardOwner[c] = static_cast<Seat>((c - 1) % 4 + 1);
        script->push_back(plain);
        auto next = std::make_shared<std::size_t>(0);
        window->SetCandidateSource([script, next] { return (*script)[(*next)++ % script->size()]; });
        Get<QCheckBox>("Reject_inner")->setChecked(false);
        Get<QCheckBox>("Reject_history")->setChecked(false);
        SetNumbers("1", "2");
        ClickGenerate();
        ASSERT_EQ(window->lastResult().outcome, GenerateOutcome::Generated);
        EXPECT_EQ(window->lastResult().shapeRejects, rejects);
        EXPECT_EQ(Box("txtShpRejects")->text(), QString::number(rejects));
        EXPECT_EQ(Background(Box("txtShpRejects")), rejects > 5 ? kRed : kGreen);
    }
}

TEST_F(GeneratorWindowTest, EmptyBoardsFillOnlyTheCount) {
    QTest::mouseClick(Get<QRadioButton>("generate_no"), Qt::LeftButton);
    SetNumbers("5", "8");
    ClickGenerate();
    EXPECT_EQ(window->lastResult().outcome, GenerateOutcome::Empty);
    EXPECT_EQ(Box("BoardsGen")->text(), "4");
    EXPECT_EQ(t.set.firstBoard, 5);
    EXPECT_EQ(t.set.lastBoard, 8);
    EXPECT_EQ(t.set[5].status, 0);
    EXPECT_EQ(Box("txtShpRejects")->text(), "");
    EXPECT_TRUE(Get<QPushButton>("cmdDeal")->isEnabled());
    EXPECT_TRUE(Get<QPushButton>("cmdExit")->isEnabled());
}

TEST_F(GeneratorWindowTest, CannotGenerateLeavesNoSetAndNoResults) {
    const Board voids = orvenix::test::SuitPerHandBoard();
    window->SetCandidateSource([voids] { return voids; }); // every candidate repeats board 1
    SetNumbers("1", "3");
    ClickGenerate();
    EXPECT_EQ(window->lastResult().outcome, GenerateOutcome::CannotGenerate);
    ASSERT_FALSE(t.dialogs.messages.empty());
    EXPECT_EQ(t.dialogs.Last().text, "Cannot generate!");
    EXPECT_EQ(t.dialogs.Last().icon, Icon::Critical);
    EXPECT_EQ(t.set.lastBoard, 0);
    EXPECT_EQ(Box("BoardsGen")->text(), "1");
    EXPECT_EQ(Box("txtShpRejects")->text(), "");
    EXPECT_EQ(Box("txtInnRejects")->text(), "");
    EXPECT_TRUE(Get<QPushButton>("cmdDeal")->isEnabled());
    EXPECT_TRUE(Get<QPushButton>("cmdExit")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(GeneratorWindowTest, CountGrowsBoardByBoardWhileTheWindowCannotBeClosed) {
    std::vector<QString> counts;
    int whileRunningEnabled = 0;
    int closeAttempts = 0;
    QLineEdit* count = Box("BoardsGen");
    QObject::connect(count, &QLineEdit::textChanged, window.get(), [&](const QString& text) {
        counts.push_back(text);
        if (Get<QPushButton>("cmdDeal")->isEnabled() || Get<QPushButton>("cmdExit")->isEnabled())
            ++whileRunningEnabled;
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        if (counts.size() == 3) {
            ++closeAttempts;
            window->close();
            window->reject();
        }
    });
    SetNumbers("10", "25");
    ClickGenerate();
    ASSERT_EQ(counts.size(), 16U);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(counts[static_cast<std::size_t>(i)], QString::number(i + 1));
    EXPECT_EQ(whileRunningEnabled, 0);
    EXPECT_EQ(closeAttempts, 1);
    EXPECT_TRUE(window->isVisible()) << "the window stays open until the run ends";
    EXPECT_EQ(t.set.lastBoard, 25);
}

TEST_F(GeneratorWindowTest, ExitClosesTheWindow) {
    QTest::mouseClick(Get<QPushButton>("cmdExit"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(GeneratorWindowTest, HistoryResultNamesTheRecordedSet) {
    History history;
    {
        orvenix::test::GeneratorContext old;
        old.set = orvenix::test::RandomSet(1, 50, 77);
        ASSERT_TRUE(history.RecordHistory(old.ctx, old.ctx.set, "club"));
    }
    t.ctx.history = &history;
    SetNumbers("1", "32");
    ClickGenerate();
    const GenerateResult& r = window->lastResult();
    ASSERT_EQ(r.outcome, GenerateOutcome::Generated);
    EXPECT_GT(r.historyMax, 0);
    EXPECT_EQ(Box("txtOuDeals")->text(), "CLUB");
    EXPECT_EQ(Box("txtOuSim")->text(),
              QString("%1, %2:%3").arg(r.historyMax).arg(r.historyBoard).arg(r.historyOther));
    EXPECT_EQ(Box("txtHisRejects")->text(), "0");
    EXPECT_EQ(Background(Box("txtHisRejects")), kGreen);
    t.ctx.history = nullptr;
}
