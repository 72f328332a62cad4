// The board editor window driven through its controls: the buttons follow the editor's state and each
// reaches its editor operation, typed letters and card buttons reach the focused suit box, Enter and the
// keys move the focus, the count box takes digits only, and closing asks about unaccepted edits but
// waits for a running random fill.
#include "ui/editor/editor_window.h"

#include "editor/hand_edit.h"
#include "support/board_set_samples.h"
#include "support/generator_context.h"
#include "support/window_test.h"

namespace orvenix {
namespace {

constexpr int N = 1, E = 2, S = 3, W = 4;
constexpr int Spades = 1, Hearts = 2, Diamonds = 3, Clubs = 4;

class EditorWindowTest : public ::testing::Test {
  protected:
    void TearDown() override { Close(); }
    void Close() {
        if (!window) return;
        if (window->editor().NeedsDiscardQuestion()) Click("cmdRestore");
        window->close();
        window.reset();
    }
    void Open(bool show = false) {
        Close();
        window = std::make_unique<EditorWindow>(t.ctx);
        if (!show) return;
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    template <typename T = QLineEdit> T* Get(const QString& name) {
        return test::Child<T>(window.get(), name.toLatin1().constData());
    }
    QString Text(const QString& name) { return Get(name)->text(); }
    QLineEdit* Suit(int seat, int suit) { return Get(QString("txtSuit%1").arg(SuitBoxIndex(seat, suit))); }
    QString Label(const QString& name) { return Get<QLabel>(name)->text(); }
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
    void ClearHand(int seat) {
        for (int suit = Spades; suit <= Clubs; ++suit)
            Type(Suit(seat, suit), "");
    }
    void SettleFocusTimer() {
        QTimer* timer = window->findChild<QTimer*>("Timer3");
        for (int i = 0; i < 50 && timer->isActive(); ++i)
            QTest::qWait(10);
        QApplication::processEvents();
    }
    void ExpectButtonsFollowTheEditor(const char* when) {
        SCOPED_TRACE(when);
        const EditorButtons b = window->editor().Buttons();
        const std::pair<const char*, bool> buttons[] = {
            {"cmdPush", b.push},  {"cmdPop", b.pop},       {"cmdAccept", b.accept},
            {"cmdDelete", b.del}, {"cmdPrev", b.prev},     {"cmdFirst", b.first},
            {"cmdNext", b.next},  {"cmdLast", b.last},     {"cmdShiftRight", b.shiftRight},
            {"cmdAdd", b.add},    {"cmdInsert", b.insert}, {"cmdShiftLeft", b.shiftLeft},
            {"cmdFill", b.fill},  {"cmdExit", b.exit},
        };
        for (const auto& [name, enabled] : buttons)
            EXPECT_EQ(Button(name)->isEnabled(), enabled) << name;
    }

    test::GeneratorContext t{42};
    std::unique_ptr<EditorWindow> window;
};

TEST_F(EditorWindowTest, ButtonsFollowTheEditorInEveryState) {
    Open();
    ExpectButtonsFollowTheEditor("an empty board");
    Close();
    t.set = test::RandomSet(1, 3);
    Open();
    ExpectButtonsFollowTheEditor("a complete set on its first board");
    ClearHand(W);
    ExpectButtonsFollowTheEditor("three complete hands");
    EXPECT_TRUE(Button("cmdFill")->isEnabled());
    ClearHand(N);
    ExpectButtonsFollowTheEditor("two complete hands");
    Click("cmdRestore");
    Click("cmdPush");
    ExpectButtonsFollowTheEditor("a board pushed");
    Click("cmdLast");
    ExpectButtonsFollowTheEditor("on the last board");
    EXPECT_FALSE(Button("cmdNext")->isEnabled());
}

// Each row starts on board 3 of boards 2..5 (so that every move is possible) and sees the set's range
// and current board, then the working copy and the stored board against board 3 as it was: the same,
// with North and South swapped, or another deal.
TEST_F(EditorWindowTest, EachButtonReachesItsEditorOperation) {
    Board original;
    Board swapped;
    const auto compare = [&](const Board& b) {
        return !CardsDiffer(b, original) ? "same" : !CardsDiffer(b, swapped) ? "swapped" : "other";
    };
    const auto swap = [this] { Click("cmdSwap4"); };
    const auto last = [this] { Click("cmdLast"); };
    const std::tuple<const char*, std::function<void()>, std::string> rows[] = {
        {"cmdSwap4", {}, "2-5 on 3 swapped / same"},
        {"cmdFill", [this] { ClearHand(W); }, "2-5 on 3 same / same"},
        {"cmdAccept", swap, "2-5 on 3 swapped / swapped"},
        {"cmdRestore", swap, "2-5 on 3 same / same"},
        {"cmdNext", {}, "2-5 on 4 other / other"},
        {"cmdLast", {}, "2-5 on 5 other / other"},
        {"cmdPrev", last, "2-5 on 4 other / other"},
        {"cmdFirst", last, "2-5 on 2 other / other"},
        {"cmdInsert", {}, "2-6 on 3 other / other"},
        {"cmdAdd", {}, "2-6 on 3 same / same"},
        {"cmdDelete", {}, "2-4 on 3 other / other"},
        {"cmdShiftLeft", {}, "1-4 on 2 same / same"},
        {"cmdShiftRight", {}, "3-6 on 4 same / same"},
        {"cmdPush", {}, "2-4 on 3 other / other"},
        {"cmdPop", [this] { Click("cmdPush"); }, "2-5 on 3 same / same"},
        {"cmdRandom", {}, "2-5 on 3 other / same"},
        {"cmdExit", {}, "2-5 on 3 same / same closed"},
    };
    for (const auto& [button, before, expected] : rows) {
        SCOPED_TRACE(button);
        Close();
        t.set = test::RandomSet(2, 5);
        Open(true);
        Click("cmdNext");
        original = swapped = window->editor().editBoard();
        SwapSeats(swapped, N, S);
        if (before) before();
        Click(button);
        const std::string seen =
            (Text("txtFirstBoard") + "-" + Text("txtLastBoard") + " on " + Text("txtCurrentBoard"))
                .toStdString() +
            " " + compare(window->editor().editBoard()) + " / " + compare(window->editor().storedBoard()) +
            (window->isVisible() ? "" : " closed");
        EXPECT_EQ(seen, expected);
    }
}

TEST_F(EditorWindowTest, TypedLettersAndCardButtonsReachTheFocusedSuitBox) {
    Open(true);
    Type(Suit(E, Spades), "AKQJT98765432");
    EXPECT_EQ(Label("lblCnt1"), "13");
    EXPECT_EQ(Get<QLabel>("lblCnt1")->palette().color(QPalette::Window), QColor(0, 255, 0));
    Type(Suit(N, Spades), "qak");
    EXPECT_EQ(Suit(N, Spades)->text(), "AKQ");
    EXPECT_EQ(Suit(E, Spades)->text(), "JT98765432");
    EXPECT_EQ(Label("lblCnt1"), "10");
    EXPECT_EQ(Get<QLabel>("lblCnt1")->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(Label("lblHCP0"), "9");
    // The card buttons add to the suit box that last had the focus, and give the focus back to it.
    Suit(S, Diamonds)->setFocus();
    QApplication::processEvents();
    Click("cmdCard4");
    Click("cmdCard0");
    Click("cmdCard12");
    EXPECT_EQ(Suit(S, Diamonds)->text(), "AT2");
    SettleFocusTimer();
    EXPECT_EQ(QApplication::focusWidget(), Suit(S, Diamonds));
    EXPECT_EQ(Label("lblSpare2"), "KQJ9876543");
}

TEST_F(EditorWindowTest, EnterAltNAndPageDownMoveTheFocusAndTheBoard) {
    t.set = test::RandomSet(1, 4);
    Open(true);
    Suit(N, Spades)->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(Suit(N, Spades)->palette().color(QPalette::Base), QColor(255, 255, 0));
    for (const int next : {4, 8, 12, 0}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        SettleFocusTimer();
        EXPECT_EQ(QApplication::focusWidget(), Get(QString("txtSuit%1").arg(next))) << next;
        EXPECT_EQ(Get(QString("txtSuit%1").arg(next))->palette().color(QPalette::Base), QColor(255, 255, 0));
    }
    EXPECT_EQ(Suit(E, Spades)->palette().color(QPalette::Base), QColor(255, 255, 255));
    // Enter on a button moves the focus on and does not press it.
    Button("cmdNext")->setFocus();
    QTest::keyClick(Button("cmdNext"), Qt::Key_Return);
    SettleFocusTimer();
    EXPECT_EQ(Text("txtCurrentBoard"), "1");
    EXPECT_EQ(window->currentSuitBox(), SuitBoxIndex(E, Spades));
    Suit(S, Hearts)->setFocus();
    QTest::keyClick(window.get(), Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Suit(N, Spades));
    QTest::keyClick(Suit(N, Spades), Qt::Key_PageDown);
    EXPECT_EQ(Text("txtCurrentBoard"), "2");
}

TEST_F(EditorWindowTest, ClosingAsksOnlyWithUnacceptedEdits) {
    const std::tuple<const char*, bool, Answer, const char*> rows[] = {
        {"close box", true, Answer::Cancel, "asked, open"},
        {"Escape", true, Answer::Cancel, "asked, open"},
        {"close box", true, Answer::Ok, "asked, closed"},
        {"Exit", false, Answer::Ok, "closed"},
    };
    for (const auto& [way, edited, answer, expected] : rows) {
        SCOPED_TRACE(way);
        Close();
        t.set = test::RandomSet(1, 2);
        const Board original = t.set[1];
        t.dialogs.messages.clear();
        Open(true);
        Click("cmdSwap0");
        if (!edited) Click("cmdSwap0"); // and back
        t.dialogs.QueueAnswer(answer);
        if (std::string(way) == "Escape") QTest::keyClick(window.get(), Qt::Key_Escape);
        if (std::string(way) == "Exit") Click("cmdExit");
        if (std::string(way) == "close box") window->close();
        const bool asked = !t.dialogs.messages.empty() && t.dialogs.Last().text == "Discard changes?";
        EXPECT_EQ(std::string(asked ? "asked, " : "") + (window->isVisible() ? "open" : "closed"), expected);
        EXPECT_FALSE(CardsDiffer(t.set[1], original));
        if (!window->isVisible()) window.reset();
    }
}

TEST_F(EditorWindowTest, TheWindowCannotCloseWhileTheRandomFillRuns) {
    Open(true);
    Type(Get("txtCount"), "40");
    QWidget* content = Get<QWidget>("content");
    bool ranDuringFill = false;
    bool enabledDuringFill = true;
    // Runs only when the fill lets pending events through.
    QTimer::singleShot(0, window.get(), [&] {
        ranDuringFill = true;
        enabledDuringFill = content->isEnabled();
        window->close();
    });
    Button("cmdRandom")->click();
    EXPECT_TRUE(ranDuringFill);
    EXPECT_FALSE(enabledDuringFill);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(content->isEnabled());
    EXPECT_EQ(t.set.lastBoard, 40);
}

// The double-dummy table is offered for a complete board only and solved without holding up the window,
// then shown from the run's cache, in a place of its own that never moves the other controls.
TEST_F(EditorWindowTest, DoubleDummyTableForACompleteBoardMovesNothing) {
    Open(true);
    QLabel* par = Get<QLabel>("lblDoubleDummy");
    const auto row = [this](int seat) {
        QStringList cells;
        for (int strain = 0; strain < 5; ++strain)
            cells << Label(QString("lblTricks%1%2").arg(seat).arg(strain));
        return cells.join(' ').trimmed();
    };
    const auto geometries = [this] {
        std::vector<QRect> out{window->geometry(), Get<QWidget>("fraDoubleDummy")->geometry(),
                               Button("cmdExit")->geometry()};
        for (int seat = 0; seat < 4; ++seat)
            out.push_back(Get<QLabel>(QString("lblCnt%1").arg(seat))->geometry());
        return out;
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
    // The side holding the trumps takes every trick; in notrump the opening leader runs a whole suit.
    EXPECT_EQ(row(0), "0 13 0 13 0");
    EXPECT_EQ(row(1), "13 0 13 0 0");
    // Board 1: dealer North, nobody vulnerable; 7S by North-South, 210 + 300 + 1000.
    EXPECT_EQ(par->text(), "Par: 7S NS, NS +1510");
    EXPECT_FALSE(Button("cmdDoubleDummy")->isEnabled());
    QApplication::processEvents();
    EXPECT_EQ(geometries(), before);
    // An incomplete board shows no table; completed again it shows the cached one at once.
    Type(Suit(W, Clubs), "KQJT98765432");
    EXPECT_EQ(row(0), "");
    EXPECT_FALSE(par->text().contains("Par:"));
    Type(Suit(W, Clubs), "AKQJT98765432");
    EXPECT_EQ(row(0), "0 13 0 13 0");
    EXPECT_TRUE(par->text().contains("Par:"));
}

} // namespace
} // namespace orvenix
