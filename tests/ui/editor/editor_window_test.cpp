// The board editor window driven through its controls: card entry, focus and Enter, card buttons,
// colours, hand operations, accept and restore, the set operations, the stack, the random fill and the
// question when closing with unaccepted edits.
#include "ui/editor/editor_window.h"

#include "editor/hand_edit.h"
#include "support/board_set_samples.h"
#include "support/generator_context.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace orvenix {
namespace {

constexpr int N = 1, E = 2, S = 3, W = 4;
constexpr int Spades = 1, Hearts = 2, Diamonds = 3, Clubs = 4;

class EditorWindowTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (window) {
            // Drop any edits without the question, then close.
            if (window->editor().NeedsDiscardQuestion()) Click("cmdRestore");
            window->close();
            window.reset();
        }
    }

    void Open(bool show = false) {
        window = std::make_unique<EditorWindow>(t.ctx);
        if (show) {
            window->show();
            QApplication::setActiveWindow(window.get());
            ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        }
    }
    void MakeSet(int first, int last) { t.set = test::RandomSet(first, last); }

    template <typename T> T* Get(const QString& name) {
        T* child = window->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << "no control named " << name.toStdString();
        return child;
    }
    QLineEdit* Box(const QString& name) { return Get<QLineEdit>(name); }
    QLineEdit* Suit(int seat, int suit) { return Box(QString("txtSuit%1").arg(SuitBoxIndex(seat, suit))); }
    QPushButton* Button(const QString& name) { return Get<QPushButton>(name); }
    QLabel* Label(const QString& name) { return Get<QLabel>(name); }
    void Click(const QString& name) {
        QPushButton* b = Button(name);
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled()) << name.toStdString() << " is disabled";
        QTest::mouseClick(b, Qt::LeftButton);
    }
    bool Enabled(const QString& name) {
        QPushButton* b = Button(name);
        return b != nullptr && b->isEnabled();
    }
    // Types into a box as the user does: focus it, select its text, type over it.
    void Type(QLineEdit* box, const QString& text) {
        ASSERT_NE(box, nullptr);
        box->setFocus();
        box->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Delete);
        } else {
            QTest::keyClicks(box, text);
        }
    }
    // Lets the focus timer run.
    void SettleTimer() {
        QTimer* timer = window->findChild<QTimer*>("Timer3");
        ASSERT_NE(timer, nullptr);
        for (int i = 0; i < 50 && timer->isActive(); ++i)
            QTest::qWait(10);
        QApplication::processEvents();
    }
    QColor CountColour(int seat) {
        return Label(QString("lblCnt%1").arg(seat - 1))->palette().color(QPalette::Window);
    }
    QColor BoxColour(QLineEdit* box) { return box->palette().color(QPalette::Base); }

    test::GeneratorContext t{42};
    std::unique_ptr<EditorWindow> window;
};

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);

TEST_F(EditorWindowTest, OpeningWithoutASetShowsAnEmptyBoardOne) {
    Open();
    EXPECT_EQ(window->windowTitle(), "Edit Board");
    EXPECT_EQ(window->objectName(), "Edit");
    EXPECT_EQ(t.set.lastBoard, 1);
    EXPECT_EQ(Box("txtCurrentBoard")->text(), "1");
    EXPECT_EQ(Box("txtFirstBoard")->text(), "1");
    EXPECT_EQ(Box("txtLastBoard")->text(), "1");
    EXPECT_EQ(Box("txtTotalBoards")->text(), "1");
    EXPECT_EQ(Label("lblDeal")->text(), "N");
    EXPECT_EQ(Label("lblVul")->text(), "None");
    EXPECT_EQ(Label("lblStackCnt")->text(), "Boards saved: 0");
    EXPECT_TRUE(window->noFileName());
    for (int seat = 1; seat <= 4; ++seat) {
        EXPECT_EQ(Label(QString("lblCnt%1").arg(seat - 1))->text(), "0");
        EXPECT_EQ(CountColour(seat), kRed);
    }
    for (int suit = 0; suit < 4; ++suit) {
        EXPECT_EQ(Label(QString("lblSpare%1").arg(suit))->text(), "AKQJT98765432");
    }
    EXPECT_FALSE(Enabled("cmdFill"));
    EXPECT_FALSE(Enabled("cmdAccept"));
    EXPECT_FALSE(Enabled("cmdDelete"));
    EXPECT_FALSE(Enabled("cmdPush"));
    EXPECT_FALSE(Enabled("cmdPop"));
    EXPECT_FALSE(Enabled("cmdShiftLeft"));
    EXPECT_TRUE(Enabled("cmdExit"));
    EXPECT_TRUE(Enabled("cmdAdd"));
    EXPECT_TRUE(Enabled("cmdRandom"));
}

// The texts built from patterns, and the irregular ones among them.
TEST_F(EditorWindowTest, PatternedTipsNameTheRightSeatSuitAndCard) {
    Open();
    EXPECT_EQ(Suit(N, Spades)->toolTip(), "North Spade cards");
    EXPECT_EQ(Suit(E, Hearts)->toolTip(), "East Heart cards");
    EXPECT_EQ(Suit(W, Clubs)->toolTip(), "West Club cards");
    EXPECT_EQ(Button("cmdCard0")->toolTip(), "Insert card As");
    EXPECT_EQ(Button("cmdCard4")->toolTip(), "Insert card 10");
    EXPECT_EQ(Button("cmdCard5")->toolTip(), "Insert Card 9");
    EXPECT_EQ(Button("cmdCard12")->toolTip(), "Insert card 2");
    EXPECT_EQ(Button("cmdSwap0")->toolTip(), "Swap North and West hands");
    EXPECT_EQ(Button("cmdSwap7")->toolTip(), "Rotate hands ClockWise");
    EXPECT_EQ(Label("lblCnt2")->toolTip(), "Card count for the South hand");
    EXPECT_EQ(Label("lblHCP3")->toolTip(), "HCP count for the West hand");
    EXPECT_EQ(Label("lblSpare1")->toolTip(), "Undistributed Heart suit cards");
    EXPECT_EQ(Label("lblHand3")->text(), "&West");
}

TEST_F(EditorWindowTest, TypedLettersPlaceCardsInRankOrderAndLeaveOtherHands) {
    Open();
    Type(Suit(E, Spades), "AKQJT98765432");
    ASSERT_EQ(Suit(E, Spades)->text(), "AKQJT98765432");
    EXPECT_EQ(Label("lblCnt1")->text(), "13");
    EXPECT_EQ(CountColour(E), kGreen);
    EXPECT_FALSE(Label("lblSpare0")->isVisibleTo(window.get()));
    Type(Suit(N, Spades), "akq");
    EXPECT_EQ(Suit(N, Spades)->text(), "AKQ");
    EXPECT_EQ(Suit(E, Spades)->text(), "JT98765432");
    EXPECT_EQ(Label("lblCnt1")->text(), "10");
    EXPECT_EQ(Label("lblCnt0")->text(), "3");
    EXPECT_EQ(CountColour(E), kRed);
    Type(Suit(N, Spades), "QA");
    EXPECT_EQ(Suit(N, Spades)->text(), "AQ");
    EXPECT_TRUE(Label("lblSpare0")->isVisibleTo(window.get()));
    EXPECT_EQ(Label("lblSpare0")->text(), "K");
    EXPECT_FALSE(Label("lblSpare1")->isVisibleTo(window.get()) && Label("lblSpare1")->text().isEmpty());
    // Garbage and "10" place nothing.
    Type(Suit(S, Hearts), "x10");
    EXPECT_EQ(Suit(S, Hearts)->text(), "");
    EXPECT_EQ(Label("lblSpare1")->text(), "AKQJT98765432");
    EXPECT_TRUE(Enabled("cmdAccept"));
    EXPECT_FALSE(Enabled("cmdAdd"));
    EXPECT_FALSE(Enabled("cmdExit"));
    EXPECT_FALSE(Enabled("cmdInsert"));
    EXPECT_FALSE(Enabled("cmdShiftRight"));
}

TEST_F(EditorWindowTest, CountsTurnGreenAtThirteenCardsAndFillCompletesTheLastHand) {
    MakeSet(1, 2);
    Open();
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(CountColour(seat), kGreen);
    EXPECT_FALSE(Enabled("cmdFill"));
    const QString westClubs = Suit(W, Clubs)->text();
    const QString westHearts = Suit(W, Hearts)->text();
    Type(Suit(W, Clubs), "");
    EXPECT_EQ(CountColour(W), kRed);
    EXPECT_EQ(CountColour(N), kGreen);
    EXPECT_TRUE(Enabled("cmdFill"));
    Type(Suit(W, Hearts), "");
    // Still three complete hands: West holds fewer than 13 cards.
    EXPECT_TRUE(Enabled("cmdFill"));
    Click("cmdFill");
    EXPECT_EQ(Suit(W, Clubs)->text(), westClubs);
    EXPECT_EQ(Suit(W, Hearts)->text(), westHearts);
    EXPECT_EQ(CountColour(W), kGreen);
    EXPECT_FALSE(Enabled("cmdFill"));
    EXPECT_FALSE(Enabled("cmdAccept"));
    // Two incomplete hands: no fill.
    Type(Suit(N, Spades), "");
    Type(Suit(E, Diamonds), "");
    EXPECT_FALSE(Enabled("cmdFill"));
}

TEST_F(EditorWindowTest, HighCardPointsFollowTheCards) {
    Open();
    Type(Suit(S, Spades), "AKQJ");
    Type(Suit(S, Clubs), "A2");
    EXPECT_EQ(Label("lblHCP2")->text(), "14");
    EXPECT_EQ(Label("lblCnt2")->text(), "6");
    EXPECT_EQ(Label("lblHCP0")->text(), "0");
}

TEST_F(EditorWindowTest, FocusColoursTheSuitBoxAndEnterMovesToTheNextHand) {
    MakeSet(1, 2);
    Open(true);
    QLineEdit* northSpades = Suit(N, Spades);
    northSpades->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(window->currentSuitBox(), 0);
    EXPECT_EQ(BoxColour(northSpades), kYellow);
    EXPECT_EQ(northSpades->selectedText(), northSpades->text());
    const int expected[] = {4, 8, 12, 0};
    QWidget* previous = northSpades;
    for (int next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        SettleTimer();
        EXPECT_EQ(window->currentSuitBox(), next);
        EXPECT_EQ(QApplication::focusWidget(), Box(QString("txtSuit%1").arg(next)));
        EXPECT_EQ(BoxColour(Box(QString("txtSuit%1").arg(next))), kYellow);
        if (previous != Box(QString("txtSuit%1").arg(next))) {
            EXPECT_EQ(BoxColour(static_cast<QLineEdit*>(previous)), kWhite);
        }
        previous = QApplication::focusWidget();
    }
    // From a clubs box, Enter goes to the spade box of the next seat; the window stays open.
    Suit(E, Clubs)->setFocus();
    QTest::keyClick(Suit(E, Clubs), Qt::Key_Enter);
    SettleTimer();
    EXPECT_EQ(window->currentSuitBox(), SuitBoxIndex(S, Spades));
    EXPECT_TRUE(window->isVisible());
    // Enter on a button moves too and does not press it.
    Button("cmdNext")->setFocus();
    QTest::keyClick(Button("cmdNext"), Qt::Key_Return);
    SettleTimer();
    EXPECT_EQ(t.set.currentBoard, 1);
    EXPECT_EQ(window->currentSuitBox(), SuitBoxIndex(W, Spades));
}

TEST_F(EditorWindowTest, CardButtonsAppendToTheLastFocusedBox) {
    // Before any box had the focus the buttons do nothing.
    Open();
    Click("cmdCard0");
    EXPECT_EQ(SpareCards(window->editor().editBoard(), Spades), "AKQJT98765432");
    EXPECT_EQ(window->currentSuitBox(), -1);
    window.reset();
    Open(true);
    Suit(S, Diamonds)->setFocus();
    QApplication::processEvents();
    Click("cmdCard4");
    Click("cmdCard0");
    Click("cmdCard12");
    EXPECT_EQ(Suit(S, Diamonds)->text(), "AT2");
    SettleTimer();
    EXPECT_EQ(QApplication::focusWidget(), Suit(S, Diamonds));
    EXPECT_EQ(Label("lblCnt2")->text(), "3");
    EXPECT_EQ(Label("lblSpare2")->text(), "KQJ9876543");
}

TEST_F(EditorWindowTest, SwapAndRotateButtonsMoveWholeHands) {
    MakeSet(1, 2);
    Open();
    QStringList before;
    for (int i = 0; i < 16; ++i)
        before << Box(QString("txtSuit%1").arg(i))->text();
    Click("cmdSwap6");
    for (int suit = 1; suit <= 4; ++suit) {
        EXPECT_EQ(Suit(E, suit)->text(), before[SuitBoxIndex(N, suit)]);
        EXPECT_EQ(Suit(N, suit)->text(), before[SuitBoxIndex(W, suit)]);
    }
    EXPECT_TRUE(Enabled("cmdAccept"));
    Click("cmdSwap7");
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(Box(QString("txtSuit%1").arg(i))->text(), before[i]);
    EXPECT_FALSE(Enabled("cmdAccept"));
    Click("cmdSwap5");
    for (int suit = 1; suit <= 4; ++suit) {
        EXPECT_EQ(Suit(E, suit)->text(), before[SuitBoxIndex(W, suit)]);
        EXPECT_EQ(Suit(N, suit)->text(), before[SuitBoxIndex(N, suit)]);
    }
}

TEST_F(EditorWindowTest, AcceptStoresTheBoardAndRestoreDropsTheEdits) {
    MakeSet(1, 3);
    const Board original = t.set[1];
    Open();
    Click("cmdSwap4");
    Click("cmdRestore");
    EXPECT_FALSE(CardsDiffer(t.set[1], original));
    EXPECT_FALSE(Enabled("cmdAccept"));
    EXPECT_TRUE(Enabled("cmdExit"));
    EXPECT_FALSE(t.set.modified);
    Click("cmdSwap4");
    Click("cmdAccept");
    Board swapped = original;
    SwapSeats(swapped, N, S);
    EXPECT_FALSE(CardsDiffer(t.set[1], swapped));
    EXPECT_TRUE(t.set.modified);
    EXPECT_TRUE(Enabled("cmdNext"));
    EXPECT_TRUE(Enabled("cmdExit"));
}

TEST_F(EditorWindowTest, NavigationShowsDealerAndVulnerability) {
    MakeSet(1, 16);
    Open();
    EXPECT_FALSE(Enabled("cmdPrev"));
    EXPECT_FALSE(Enabled("cmdFirst"));
    Click("cmdLast");
    EXPECT_EQ(Box("txtCurrentBoard")->text(), "16");
    EXPECT_EQ(Label("lblDeal")->text(), "W");
    EXPECT_EQ(Label("lblVul")->text(), "EW");
    EXPECT_TRUE(Label("lblDealer3")->isVisibleTo(window.get()));
    EXPECT_FALSE(Label("lblDealer0")->isVisibleTo(window.get()));
    EXPECT_FALSE(Enabled("cmdNext"));
    Click("cmdPrev");
    Click("cmdPrev");
    Click("cmdPrev");
    EXPECT_EQ(Box("txtCurrentBoard")->text(), "13");
    EXPECT_EQ(Label("lblDeal")->text(), "N");
    EXPECT_EQ(Label("lblVul")->text(), "All");
    // All vulnerable: every caption in the vulnerable colour.
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(Label(QString("lblHand%1").arg(s))->palette().color(QPalette::WindowText), kRed);
    }
    Click("cmdFirst");
    EXPECT_EQ(Label("lblVul")->text(), "None");
    EXPECT_NE(Label("lblHand0")->palette().color(QPalette::WindowText), kRed);
}

TEST_F(EditorWindowTest, AltNGoesToNorthAndPageDownToTheNextBoard) {
    MakeSet(1, 4);
    Open(true);
    Suit(S, Hearts)->setFocus();
    QTest::keyClick(window.get(), Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Suit(N, Spades));
    EXPECT_EQ(Box("txtCurrentBoard")->text(), "1");
    QTest::keyClick(Suit(N, Spades), Qt::Key_PageDown);
    EXPECT_EQ(Box("txtCurrentBoard")->text(), "2");
    QTest::keyClick(Suit(E, Clubs), Qt::Key_PageDown);
    EXPECT_EQ(Box("txtCurrentBoard")->text(), "3");
}

TEST_F(EditorWindowTest, InsertOnBoardFiveRenumbersTheRest) {
    MakeSet(1, 10);
    const auto original = std::make_unique<BoardSet>(t.set);
    Open();
    for (int i = 0; i < 4; ++i)
        Click("cmdNext");
    Click("cmdInsert");
    EXPECT_EQ(Box("txtLastBoard")->text(), "11");
    EXPECT_EQ(Box("txtTotalBoards")->text(), "11");
    EXPECT_EQ(Box("txtCurrentBoard")->text(), "5");
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(Box(QString("txtSuit%1").arg(i))->text(), "");
    for (int n = 6; n <= 11; ++n) {
        EXPECT_FALSE(CardsDiffer(t.set[n], (*original)[n - 1])) << n;
        EXPECT_EQ(t.set[n].dealer, DealerOf(n));
        EXPECT_EQ(t.set[n].vulnerability, VulnerabilityOf(n));
    }
    EXPECT_TRUE(t.set.modified);
}

TEST_F(EditorWindowTest, DeleteOnTheLastBoardShowsTheNewLastBoard) {
    MakeSet(1, 3);
    Open();
    Click("cmdLast");
    Click("cmdDelete");
    EXPECT_EQ(Box("txtCurrentBoard")->text(), "2");
    EXPECT_EQ(Box("txtLastBoard")->text(), "2");
    Click("cmdDelete");
    EXPECT_EQ(Box("txtLastBoard")->text(), "1");
    EXPECT_FALSE(Enabled("cmdDelete"));
    EXPECT_FALSE(Enabled("cmdPush"));
}

TEST_F(EditorWindowTest, SetButtonsStopAtTheBoardLimits) {
    MakeSet(639, 640);
    Open();
    EXPECT_FALSE(Enabled("cmdAdd"));
    EXPECT_FALSE(Enabled("cmdInsert"));
    EXPECT_FALSE(Enabled("cmdShiftRight"));
    EXPECT_TRUE(Enabled("cmdShiftLeft"));
    Click("cmdShiftLeft");
    EXPECT_EQ(Box("txtFirstBoard")->text(), "638");
    EXPECT_EQ(Box("txtLastBoard")->text(), "639");
    EXPECT_EQ(Box("txtCurrentBoard")->text(), "638");
    EXPECT_TRUE(Enabled("cmdAdd"));
    Click("cmdShiftRight");
    EXPECT_EQ(Box("txtLastBoard")->text(), "640");
    EXPECT_FALSE(Enabled("cmdShiftRight"));
}

TEST_F(EditorWindowTest, PushAndPopMoveBoardsThroughTheStack) {
    MakeSet(1, 4);
    const Board second = t.set[2];
    Open();
    Click("cmdNext");
    Click("cmdPush");
    EXPECT_EQ(Label("lblStackCnt")->text(), "Boards saved: 1");
    EXPECT_EQ(Box("txtLastBoard")->text(), "3");
    EXPECT_TRUE(Enabled("cmdPop"));
    Click("cmdLast");
    Click("cmdPop");
    EXPECT_EQ(Label("lblStackCnt")->text(), "Boards saved: 0");
    EXPECT_FALSE(Enabled("cmdPop"));
    EXPECT_EQ(Box("txtLastBoard")->text(), "4");
    EXPECT_EQ(Box("txtCurrentBoard")->text(), "3");
    EXPECT_FALSE(CardsDiffer(t.set[3], second));
    EXPECT_EQ(t.set[3].number, 3);
}

TEST_F(EditorWindowTest, RandomWithoutACountDealsIntoTheWorkingCopyOnly) {
    Open();
    Click("cmdRandom");
    EXPECT_EQ(t.statusTexts.back(), "1 board generated and NOT saved");
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(CountColour(seat), kGreen);
    EXPECT_EQ(t.set[1].status, kBoardEmpty);
    EXPECT_TRUE(Enabled("cmdAccept"));
    EXPECT_FALSE(t.set.modified);
    Click("cmdAccept");
    EXPECT_EQ(t.set[1].status, kBoardComplete);
    EXPECT_TRUE(t.set.modified);
}

TEST_F(EditorWindowTest, RandomWithACountStoresBoardsAndLimitsTheCount) {
    MakeSet(630, 637);
    Open();
    Click("cmdLast");
    QLineEdit* count = Box("txtCount");
    Type(count, "12");
    EXPECT_EQ(count->text(), "12");
    Click("cmdRandom");
    EXPECT_EQ(count->text(), "4");
    EXPECT_EQ(Box("txtLastBoard")->text(), "640");
    EXPECT_EQ(Box("txtCurrentBoard")->text(), "640");
    const std::string& status = t.statusTexts.back();
    EXPECT_TRUE(status == "4 boards generated and saved" || status.rfind("Please verify boards: ", 0) == 0)
        << status;
    for (int n = 637; n <= 640; ++n)
        EXPECT_EQ(t.set[n].status, kBoardComplete);
    EXPECT_TRUE(t.set.modified);
    EXPECT_FALSE(Enabled("cmdAccept"));
}

TEST_F(EditorWindowTest, TheWindowCannotCloseWhileTheRandomFillRuns) {
    Open(true);
    Type(Box("txtCount"), "40");
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
    EXPECT_TRUE(t.dialogs.messages.empty());
}

TEST_F(EditorWindowTest, TheCountBoxTakesDigitsOnly) {
    Open(true);
    QLineEdit* count = Box("txtCount");
    Type(count, "3a");
    EXPECT_EQ(count->text(), "3");
    Type(count, "641");
    EXPECT_EQ(count->text(), "641");
    // 641 lies outside 1..640: one deal into the working copy, nothing stored.
    Click("cmdRandom");
    EXPECT_EQ(t.statusTexts.back(), "1 board generated and NOT saved");
    EXPECT_EQ(t.set.lastBoard, 1);
    EXPECT_EQ(count->text(), "641");
    Type(count, "1");
    Click("cmdRandom");
    EXPECT_EQ(t.statusTexts.back(), "1 board generated and saved");
    EXPECT_EQ(t.set[1].status, kBoardComplete);
}

TEST_F(EditorWindowTest, ClosingWithUnacceptedEditsAsks) {
    MakeSet(1, 2);
    const Board original = t.set[1];
    Open(true);
    Click("cmdSwap0");
    t.dialogs.QueueAnswer(Answer::Cancel);
    window->close();
    ASSERT_EQ(t.dialogs.messages.size(), 1U);
    EXPECT_EQ(t.dialogs.Last().text, "Discard changes?");
    EXPECT_EQ(t.dialogs.Last().title, "Changes not Accepted");
    EXPECT_EQ(t.dialogs.Last().buttons, Buttons::OkCancel);
    EXPECT_EQ(t.dialogs.Last().icon, Icon::Information);
    EXPECT_TRUE(window->isVisible());
    // Escape asks the same question.
    t.dialogs.QueueAnswer(Answer::Cancel);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(t.dialogs.messages.size(), 2U);
    EXPECT_TRUE(window->isVisible());
    t.dialogs.QueueAnswer(Answer::Ok);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(CardsDiffer(t.set[1], original));
    EXPECT_FALSE(t.set.modified);
    window.reset();
}

TEST_F(EditorWindowTest, ClosingWithoutEditsDoesNotAsk) {
    MakeSet(1, 2);
    Open(true);
    Click("cmdSwap0");
    Click("cmdSwap0");
    Click("cmdExit");
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_FALSE(window->isVisible());
    window.reset();
}

TEST_F(EditorWindowTest, TheStackSurvivesClosingTheWindow) {
    MakeSet(1, 3);
    Open();
    Click("cmdPush");
    window->close();
    window.reset();
    Open();
    EXPECT_EQ(Label("lblStackCnt")->text(), "Boards saved: 1");
    EXPECT_TRUE(Enabled("cmdPop"));
    EXPECT_EQ(Box("txtLastBoard")->text(), "2");
}

} // namespace
} // namespace orvenix
