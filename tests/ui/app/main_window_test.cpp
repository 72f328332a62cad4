// The main window: start-up, the summary of the set, the title, the event fields and focus.
#include "base/version.h"
#include "history/history.h"
#include "support/window_test.h"

#include <QCursor>
#include <QTreeWidget>

namespace orvenix::test {
namespace {

QString HistoryLabel(const QWidget& window) {
    auto* label = Child<QLabel>(const_cast<QWidget*>(&window), "lblHistory");
    return label != nullptr ? label->text() : QString();
}

TEST(MainWindowStartup, ResetsTheSetThenShowsReadyAndTheStateOfTheHistory) {
    TestContext first;
    first.set->lastBoard = 5; // a set left over from before does not survive start-up
    first.set->modified = true;
    MainWindow one(first.ctx, first.options);
    EXPECT_EQ(one.statusText(), "Loading...");
    EXPECT_TRUE(first.set->lastBoard == 0 && !first.set->modified);
    one.Start();
    EXPECT_EQ(HistoryLabel(one), "History records: 0");
    EXPECT_TRUE(first.ctx.random.deterministic()); // seeded by the option

    // A second window on the same history file cannot record; without a usable file there is none. Either
    // is said beside "Ready", and only the unusable file is reported in a box.
    TestContext second;
    second.options.historyPath = first.options.historyPath;
    TestContext third;
    std::filesystem::create_directory(*third.options.historyPath);
    for (TestContext* t : {&second, &third}) {
        MainWindow window(t->ctx, t->options);
        window.Start();
        EXPECT_EQ(window.statusText(), "Ready");
        EXPECT_EQ(t->ctx.history != nullptr, t == &second);
        EXPECT_EQ(t->dialogs.messages.size(), t == &second ? 0U : 1U);
        EXPECT_FALSE(HistoryLabel(window).isEmpty() || HistoryLabel(window).startsWith("History records"));
    }
    EXPECT_TRUE(second.ctx.history == nullptr || second.ctx.history->ReadOnly());

    // Without the option the cursor position seeds the generator.
    TestContext t;
    t.options.seed.reset();
    QCursor::setPos(120, 80);
    if (QCursor::pos() != QPoint(120, 80)) GTEST_SKIP() << "this platform cannot place the cursor";
    MainWindow window(t.ctx, t.options);
    EXPECT_FALSE(t.ctx.random.deterministic());
    EXPECT_EQ(t.ctx.seeds.first, (120 * 256 + 80) | 1);
}

// Boards 5 to 8: three complete boards and one with a single card.
//   5: each seat holds one whole suit (every hand D000, 10 points, 9 distribution points);
//   6: card c to seat (c - 1) mod 4 + 1 (every hand 4333, 10 points, none for distribution);
//   7: N holds the aces, kings, queens and the spade jack (37 points, 4333); E, S, W take the other cards
//      in code order, 13 each (1 point and 6 for distribution each; W holds ten clubs as in board 5);
//   8: only the spade ace placed.
void HandMadeSet(BoardSet& set) {
    set.firstBoard = 5;
    set.lastBoard = 8;
    PutBoard(set, 5, SuitDeal());
    PutBoard(set, 6, RoundRobinDeal());
    Owners seven{};
    int nextForOthers = 0;
    for (int c = 1; c <= kCards; ++c) {
        const bool north = RankOf(c) <= 3 || c == 4;
        seven[static_cast<std::size_t>(c)] = static_cast<Seat>(north ? 1 : 2 + nextForOthers++ / 13);
    }
    PutBoard(set, 7, seven);
    Owners eight{};
    eight[1] = 1;
    PutBoard(set, 8, eight);
}

TEST_F(MainWindowTest, SummaryShowsTheSetAndEmptiesWithoutOne) {
    HandMadeSet(*t.set);
    ASSERT_TRUE(t.ctx.history->RecordHistory(t.ctx, t.ctx.set, "monday"));
    window->RefreshSetDisplay();
    auto* shapes = Child<QTreeWidget>(window.get(), "lbxShapes");
    const QString summary = "txtFirstBoard txtLastBoard txtCount txtCompleted txtHcp0 txtHcp3 txtDistrib0 "
                            "txtDistrib1 txtInSim txtInDeals txtMaxFreq txtMinFreq";
    // Points: N (10 + 10 + 37) / 3, W (10 + 10 + 1) / 3; distribution N 9 / 3, E (9 + 6) / 3.
    const QString shown =
        QString::fromUtf8("5|8|4|3| 19.0|  7.0|  3.0|  5.0|10|5:7|100% \u2660A N|0% \u2665T N");
    for (int refresh = 0; refresh < 2; ++refresh) { // a second refresh recounts, it does not add
        EXPECT_EQ(BoxTexts(window.get(), summary), shown);
        ASSERT_EQ(shapes->topLevelItemCount(), 39);
        const QTreeWidgetItem* last = shapes->topLevelItem(38); // D000: shape, seen, expected, difference
        EXPECT_EQ(QStringList({last->text(0), last->text(1), last->text(2), last->text(3)}).join('|'),
                  "D000|   4|   0|+4");
        window->RefreshSetDisplay();
    }
    EXPECT_EQ(HistoryLabel(*window), "History records: 3");

    // Without a complete board only the range and the similarity are shown; without a set nothing.
    for (const int lastBoard : {5, 0}) {
        for (int n = 5; n <= 8; ++n)
            (*t.set)[n].status = 0;
        t.set->lastBoard = lastBoard;
        window->RefreshSetDisplay();
        EXPECT_EQ(BoxTexts(window.get(), summary), lastBoard > 0 ? "5|5|1|0|||||0|0:0||" : "|||||||||||");
        EXPECT_EQ(shapes->topLevelItemCount(), 0);
    }
}

TEST_F(MainWindowTest, TitleShowsTheFileAndTheMarkOfUnsavedChanges) {
    const auto shownTitle = [this] {
        return window->windowTitle().replace("[*]", window->isWindowModified() ? "*" : "").toStdString();
    };
    const std::string program = MainCaption();
    const struct {
        const char* fileName;
        bool modified;
        std::string shown;
    } cases[] = {{"", false, program},
                 {"", true, "*" + program},
                 {"/club/monday.pbn", true, "*monday.pbn - " + program},
                 {"/club/monday.pbn", false, "monday.pbn - " + program}};
    for (const auto& c : cases) {
        t.set->fileName = c.fileName;
        t.set->modified = c.modified;
        window->RefreshSetDisplay();
        EXPECT_EQ(shownTitle(), c.shown) << c.fileName << c.modified;
        EXPECT_EQ(Text("txtFileName").toStdString(), c.fileName);
    }
    TypeText(Box("txtEventSite"), "Club"); // typing marks the set and the title at once
    EXPECT_EQ(shownTitle(), "*monday.pbn - " + program);
}

TEST_F(MainWindowTest, EventTextsAreStoredUpTo199Characters) {
    QTest::keyClicks(Box("txtEventName"), "Club Cup");
    TypeText(Box("txtEventSite"), QString::fromUtf8("Z\u00fcrich"));
    QTest::keyClicks(Box("txtEventDate"), "2026-12-06");
    EXPECT_TRUE(t.set->eventName == "Club Cup" && t.set->eventSite == "Z\u00fcrich" &&
                t.set->eventDate == "2026-12-06" && t.set->modified);

    // The 200th character is undone and the caret steps back; characters are counted, not bytes.
    QLineEdit* site = Box("txtEventSite");
    const QString full(199, QChar(0x00FC));
    site->setText({});
    TypeText(site, full);
    t.set->modified = false;
    site->setCursorPosition(50);
    TypeText(site, "X");
    EXPECT_EQ(site->text(), full);
    EXPECT_EQ(site->cursorPosition(), 50);
    EXPECT_EQ(QString::fromStdString(t.set->eventSite), full);
    EXPECT_TRUE(t.set->modified); // a refused change marks the set too

    // A long paste is refused whole, the caret clamped to the restored text.
    QLineEdit* date = Box("txtEventDate");
    date->insert(QString(250, QChar('9')));
    EXPECT_EQ(date->text(), "2026-12-06");
    EXPECT_EQ(date->cursorPosition(), 10);
}

TEST_F(MainWindowTest, ActivationPutsTheFocusInTheEventName) {
    Box("txtEventSite")->setFocus();
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(window.get());
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Box("txtEventName"));
}

} // namespace
} // namespace orvenix::test
