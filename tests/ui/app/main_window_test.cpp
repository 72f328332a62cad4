// The main window: start-up, the summary of the set, the title, the event fields and focus.
#include "base/version.h"
#include "history/history.h"
#include "support/window_test.h"

#include <QCursor>
#include <QLabel>
#include <QTest>
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
    EXPECT_EQ(first.set->lastBoard, 0);
    EXPECT_FALSE(first.set->modified);
    one.Start();
    EXPECT_EQ(one.statusText(), "Ready");
    EXPECT_TRUE(std::filesystem::exists(*first.options.historyPath));
    EXPECT_EQ(HistoryLabel(one), "History records: 0");

    // A second window on the same history file cannot record, and says so beside "Ready".
    TestContext second;
    second.options.historyPath = first.options.historyPath;
    MainWindow two(second.ctx, second.options);
    two.Start();
    ASSERT_NE(second.ctx.history, nullptr);
    EXPECT_TRUE(second.ctx.history->ReadOnly());
    EXPECT_FALSE(HistoryLabel(two).isEmpty());
    EXPECT_FALSE(HistoryLabel(two).startsWith("History records"));

    // A folder where the history file should be: reported once, and the window runs without history.
    TestContext third;
    std::filesystem::create_directory(*third.options.historyPath);
    MainWindow three(third.ctx, third.options);
    three.Start();
    EXPECT_EQ(three.statusText(), "Ready");
    EXPECT_EQ(third.ctx.history, nullptr);
    EXPECT_EQ(third.dialogs.messages.size(), 1U);
    EXPECT_FALSE(HistoryLabel(three).isEmpty());
    EXPECT_FALSE(HistoryLabel(three).startsWith("History records"));
}

TEST(MainWindowStartup, SeedOptionOrElseTheCursorSeedsTheGenerator) {
    TestContext seeded;
    MainWindow reproducible(seeded.ctx, seeded.options);
    EXPECT_TRUE(seeded.ctx.random.deterministic());

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
    const std::vector<std::pair<const char*, QString>> shown{
        {"txtFirstBoard", "5"},
        {"txtLastBoard", "8"},
        {"txtCount", "4"},
        {"txtCompleted", "3"},
        {"txtHcp0", " 19.0"}, // (10 + 10 + 37) / 3
        {"txtHcp3", "  7.0"}, // (10 + 10 + 1) / 3
        {"txtDistrib0", "  3.0"},
        {"txtDistrib1", "  5.0"},
        {"txtMaxFreq", QString::fromUtf8("100% \u2660A N")},
        {"txtMinFreq", QString::fromUtf8("0% \u2665T N")},
        {"txtInSim", "10"},
        {"txtInDeals", "5:7"},
    };
    for (int refresh = 0; refresh < 2; ++refresh) { // a second refresh recounts, it does not add
        for (const auto& [name, text] : shown)
            EXPECT_EQ(Text(name), text) << name;
        ASSERT_EQ(shapes->topLevelItemCount(), 39);
        QStringList last;
        for (int c = 0; c < 4; ++c)
            last << shapes->topLevelItem(38)->text(c);
        EXPECT_EQ(last, (QStringList{"D000", "   4", "   0", "+4"}));
        window->RefreshSetDisplay();
    }
    EXPECT_EQ(HistoryLabel(*window), "History records: 3");

    // Without a complete board only the range and the similarity are shown.
    t.set->Reset();
    t.set->firstBoard = 17;
    t.set->lastBoard = 18;
    Owners one{};
    one[52] = 3;
    PutBoard(*t.set, 17, one);
    PutEmptyBoard(*t.set, 18);
    window->RefreshSetDisplay();
    EXPECT_EQ(Text("txtCount"), "2");
    EXPECT_EQ(Text("txtCompleted"), "0");
    EXPECT_EQ(Text("txtInDeals"), "0:0");
    for (const char* name : {"txtHcp0", "txtDistrib3", "txtMaxFreq", "txtMinFreq"})
        EXPECT_TRUE(Text(name).isEmpty()) << name;
    EXPECT_EQ(shapes->topLevelItemCount(), 0);

    t.set->lastBoard = 0;
    window->RefreshSetDisplay();
    for (const char* name : {"txtFirstBoard", "txtCount", "txtCompleted", "txtInSim", "txtInDeals"})
        EXPECT_TRUE(Text(name).isEmpty()) << name;
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
                 {"/club/monday.pbn", false, "monday.pbn - " + program},
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
    for (const char* name : {"txtFileName", "txtFirstBoard", "txtHcp0", "txtInDeals"})
        EXPECT_TRUE(Box(name)->isReadOnly()) << name;
    QTest::keyClicks(Box("txtEventName"), "Club Cup");
    TypeText(Box("txtEventSite"), QString::fromUtf8("Z\u00fcrich"));
    QTest::keyClicks(Box("txtEventDate"), "2026-12-06");
    EXPECT_EQ(t.set->eventName, "Club Cup");
    EXPECT_EQ(t.set->eventSite, "Z\u00fcrich");
    EXPECT_EQ(t.set->eventDate, "2026-12-06");
    EXPECT_TRUE(t.set->modified);

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
