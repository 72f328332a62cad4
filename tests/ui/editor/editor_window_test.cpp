// The board editor window driven through its controls: each button reaches its editor operation and every
// button follows the editor's state, Enter, the keys and the card buttons move the focus, closing asks
// about unaccepted edits but waits for a running random fill, typed cards reach the boxes, counts and the
// double-dummy table, which is solved aside and shown without moving anything; the main window's Edit
// command opens the editor modally and the edited set reaches its summary.
#include "ui/editor/editor_window.h"

#include "editor/editor_fixture.h"
#include "editor/hand_edit.h"
#include "support/generator_context.h"
#include "support/window_test.h"

namespace orvenix {
namespace {

constexpr int N = 1, E = 2, S = 3, W = 4;
constexpr int Spades = 1, Hearts = 2, Diamonds = 3, Clubs = 4;

using test::MainWindowTest; // the main window's Edit command

class EditorWindowTest : public ::testing::Test {
  protected:
    void Open(int first = 0, int last = 0) {
        window.reset(); // gone without closing: nothing to ask
        if (last > 0) t.set = test::RandomSet(first, last);
        window = std::make_unique<EditorWindow>(t.ctx);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    template <typename T = QLineEdit> T* Get(const QString& name) {
        return test::Child<T>(window.get(), name.toLatin1().constData());
    }
    QLineEdit* Suit(int seat, int suit) { return Get(QString("txtSuit%1").arg(SuitBoxIndex(seat, suit))); }
    QColor Colour(const char* name, QPalette::ColorRole role) {
        return Get<QWidget>(name)->palette().color(role);
    }
    // The texts of the named boxes and labels (names apart by spaces), joined by '|'.
    std::string Texts(const QString& names) {
        QStringList texts;
        for (const QString& name : names.split(' '))
            texts << (name.startsWith("lbl") ? Get<QLabel>(name)->text() : Get(name)->text());
        return texts.join('|').toStdString();
    }
    QPushButton* Button(const QString& name) { return Get<QPushButton>(name); }
    void Click(const QString& name) {
        ASSERT_TRUE(Button(name)->isEnabled()) << name.toStdString() << " is disabled";
        QTest::mouseClick(Button(name), Qt::LeftButton);
    }
    // Types into a box as the user does: focus it, select its text, type over it.
    void Type(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        if (text.isEmpty()) QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    void SettleFocusTimer() {
        QTimer* timer = window->findChild<QTimer*>("Timer3");
        for (int i = 0; i < 50 && timer->isActive(); ++i)
            QTest::qWait(10);
        QApplication::processEvents();
    }
    // Every button is enabled exactly when the editor allows its operation.
    void ExpectButtonsFollowTheEditor() {
        EXPECT_EQ(test::EnabledFlags(window.get(),
                                     "cmdPush cmdPop cmdAccept cmdDelete cmdFirst cmdPrev cmdNext "
                                     "cmdLast cmdAdd cmdInsert cmdShiftLeft cmdShiftRight cmdFill "
                                     "cmdExit"),
                  test::ButtonFlags(window->editor().Buttons()));
    }

    test::GeneratorContext t{42};
    std::unique_ptr<EditorWindow> window;
};

// Each row starts on board 3 of boards 2..5 (so that every move is possible) and sees the set's range
// and current board, then the working copy and the stored board against board 3 as it was: the same,
// with North and South swapped, or another deal. The buttons follow the editor before and after.
TEST_F(EditorWindowTest, EachButtonReachesItsEditorOperation) {
    Board original;
    Board swapped;
    const auto compare = [&](const Board& b) {
        return !CardsDiffer(b, original) ? "same" : !CardsDiffer(b, swapped) ? "swapped" : "other";
    };
    const auto click = [this](const char* name) { return [this, name] { Click(name); }; };
    const std::tuple<const char*, std::function<void()>, std::string> rows[] = {
        {"cmdSwap4", {}, "2|5|3 swapped / same"},
        {"cmdFill", [this] { Type(Suit(W, Clubs), ""); }, "2|5|3 same / same"},
        {"cmdAccept", click("cmdSwap4"), "2|5|3 swapped / swapped"},
        {"cmdRestore", click("cmdSwap4"), "2|5|3 same / same"},
        {"cmdNext", {}, "2|5|4 other / other"},
        {"cmdLast", {}, "2|5|5 other / other"},
        {"cmdPrev", click("cmdLast"), "2|5|4 other / other"},
        {"cmdFirst", click("cmdLast"), "2|5|2 other / other"},
        {"cmdInsert", {}, "2|6|3 other / other"},
        {"cmdAdd", {}, "2|6|3 same / same"},
        {"cmdDelete", {}, "2|4|3 other / other"},
        {"cmdShiftLeft", {}, "1|4|2 same / same"},
        {"cmdShiftRight", {}, "3|6|4 same / same"},
        {"cmdPush", {}, "2|4|3 other / other"},
        {"cmdPop", click("cmdPush"), "2|5|3 same / same"},
        {"cmdExit", {}, "2|5|3 same / same closed"},
    };
    for (const auto& [button, before, expected] : rows) {
        SCOPED_TRACE(button);
        Open(2, 5);
        Click("cmdNext");
        original = swapped = window->editor().editBoard();
        SwapSeats(swapped, N, S);
        if (before) before();
        ExpectButtonsFollowTheEditor();
        Click(button);
        ExpectButtonsFollowTheEditor();
        EXPECT_EQ(Texts("txtFirstBoard txtLastBoard txtCurrentBoard") + " " +
                      compare(window->editor().editBoard()) + " / " +
                      compare(window->editor().storedBoard()) + (window->isVisible() ? "" : " closed"),
                  expected);
    }
}

TEST_F(EditorWindowTest, EnterAltNPageDownAndTheCardButtonsMoveTheFocus) {
    Open(1, 4);
    Suit(N, Spades)->setFocus();
    QApplication::processEvents();
    for (const int next : {4, 8, 12, 0}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        SettleFocusTimer();
        EXPECT_EQ(QApplication::focusWidget(), Get(QString("txtSuit%1").arg(next))) << next;
    }
    // The focused suit box is yellow, the others white.
    EXPECT_EQ(std::pair(Colour("txtSuit0", QPalette::Base), Colour("txtSuit4", QPalette::Base)),
              std::pair(QColor(255, 255, 0), QColor(255, 255, 255)));
    // Enter on a button moves the focus on and does not press it.
    Button("cmdNext")->setFocus();
    QTest::keyClick(Button("cmdNext"), Qt::Key_Return);
    SettleFocusTimer();
    EXPECT_EQ(std::pair(Texts("txtCurrentBoard"), window->currentSuitBox()), std::pair(std::string("1"), 4));
    Suit(S, Hearts)->setFocus();
    QTest::keyClick(window.get(), Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Suit(N, Spades));
    QTest::keyClick(Suit(N, Spades), Qt::Key_PageDown);
    EXPECT_EQ(Texts("txtCurrentBoard"), "2");
    // The card buttons add to the suit box that last had the focus, and give the focus back to it.
    Type(Suit(S, Diamonds), "");
    for (const char* card : {"cmdCard4", "cmdCard0", "cmdCard12"})
        Click(card);
    SettleFocusTimer();
    EXPECT_EQ(std::pair(Texts("txtSuit10"), QApplication::focusWidget()),
              std::pair(std::string("AT2"), static_cast<QWidget*>(Suit(S, Diamonds))));
}

// With the cards edited the close box and Escape ask; Cancel keeps the window, Ok closes it, and the set
// keeps the board as it was either way.
TEST_F(EditorWindowTest, ClosingWithUnacceptedEditsAsks) {
    const std::tuple<bool, Answer, bool> rows[] = {{true, Answer::Cancel, true}, {false, Answer::Ok, false}};
    for (const auto& [closeBox, answer, staysOpen] : rows) {
        Open(1, 2);
        const Board original = t.set[1];
        t.dialogs.messages.clear();
        Click("cmdSwap0");
        t.dialogs.QueueAnswer(answer);
        if (closeBox) window->close();
        if (!closeBox) QTest::keyClick(window.get(), Qt::Key_Escape);
        ASSERT_EQ(t.dialogs.messages.size(), 1U);
        EXPECT_EQ(std::tuple(t.dialogs.Last().text, window->isVisible(), CardsDiffer(t.set[1], original)),
                  std::tuple("Discard changes?", staysOpen, false));
    }
}

TEST_F(EditorWindowTest, TheWindowCannotCloseWhileTheRandomFillRuns) {
    Open();
    Type(Get("txtCount"), "40");
    QWidget* content = Get<QWidget>("content");
    std::optional<bool> enabledDuringFill; // set only when the fill lets pending events through
    QTimer::singleShot(0, window.get(), [&] {
        enabledDuringFill = content->isEnabled();
        window->close();
    });
    Button("cmdRandom")->click();
    EXPECT_EQ(std::tuple(enabledDuringFill, window->isVisible(), content->isEnabled(), t.set.lastBoard),
              std::tuple(std::optional(false), true, true, 40));
}

// The double-dummy table is offered for a complete board only and solved without holding up the window,
// then shown from the run's cache, in a place of its own that never moves the other controls.
TEST_F(EditorWindowTest, DoubleDummyTableForACompleteBoardMovesNothing) {
    Open();
    QLabel* par = Get<QLabel>("lblDoubleDummy");
    // The tricks of North and East in clubs, diamonds, hearts, spades and notrump.
    const auto table = [this] {
        QStringList cells;
        for (int cell = 0; cell < 10; ++cell)
            cells << Get<QLabel>(QString("lblTricks%1%2").arg(cell / 5).arg(cell % 5))->text();
        return cells.join(' ').trimmed().toStdString();
    };
    const auto geometries = [this] {
        return std::vector{window->geometry(), Get<QWidget>("fraDoubleDummy")->geometry(),
                           Button("cmdExit")->geometry(), Get<QWidget>("lblCnt3")->geometry()};
    };
    const std::vector<QRect> before = geometries();
    // Every hand one whole suit: North spades, East hearts, South diamonds, West clubs.
    for (int seat = N; seat <= W; ++seat) {
        EXPECT_FALSE(Button("cmdDoubleDummy")->isEnabled()) << seat;
        Type(Suit(seat, seat), "AKQJT98765432");
    }
    Click("cmdDoubleDummy");
    ASSERT_TRUE(QTest::qWaitFor([&] { return par->text().contains("Par:"); }, 60000))
        << par->text().toStdString();
    EXPECT_EQ(std::tuple(table(), par->text().toStdString(), Button("cmdDoubleDummy")->isEnabled()),
              std::tuple("0 13 0 13 0 13 0 13 0 0", "Par: 7S NS, NS +1510", false));
    QApplication::processEvents();
    EXPECT_EQ(geometries(), before);
    // North takes West's club ace, typed in lower case: West's box, the counts and the points follow.
    Type(Suit(N, Clubs), "a");
    EXPECT_EQ(Texts("txtSuit15 lblCnt0 lblCnt3 lblHCP0"), "KQJT98765432|14|12|14");
    // The ace spare: an incomplete board shows no table; completed again it shows the cached one at once.
    Type(Suit(N, Clubs), "");
    EXPECT_EQ(std::tuple(Texts("lblSpare3"), Colour("lblCnt3", QPalette::Window), table(),
                         par->text().contains("Par:")),
              std::tuple("A", QColor(255, 0, 0), "", false));
    Type(Suit(W, Clubs), "AKQJT98765432");
    EXPECT_EQ(std::tuple(Colour("lblCnt3", QPalette::Window), table(), par->text().contains("Par:")),
              std::tuple(QColor(0, 255, 0), "0 13 0 13 0 13 0 13 0 0", true));
}

TEST_F(MainWindowTest, EditedSetReachesTheSummary) {
    *t.set = test::RandomSet(1, 4); // not modified
    test::WhenModalOpens([](QWidget* modal) {
        QTest::mouseClick(modal->findChild<QPushButton*>("cmdAdd"), Qt::LeftButton);
        QTest::mouseClick(modal->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
    });
    Trigger("menuEdit");
    EXPECT_EQ(std::tuple(t.set->lastBoard, Text("txtLastBoard").toStdString(), t.set->modified),
              std::tuple(5, "5", true));
}

} // namespace
} // namespace orvenix
