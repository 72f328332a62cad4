// The main window: start-up, the summary of the set, the title, the event fields and focus.
#include "base/version.h"
#include "generate/statistics.h"
#include "history/history.h"
#include "support/window_test.h"

#include <QCursor>
#include <QTreeWidget>

#include <set>

namespace orvenix::test {
namespace {

TEST(MainWindowStartup, ResetsTheSetThenShowsReadyAndTheStateOfTheHistory) {
    TestContext first, second, third;
    first.set->lastBoard = 5; // a set left over from before does not survive start-up
    first.set->modified = true;
    second.options.historyPath = first.options.historyPath;        // in use by the first: cannot record
    std::filesystem::create_directory(*third.options.historyPath); // not a usable file: no history
    std::vector<std::unique_ptr<MainWindow>> windows;
    for (TestContext* t : {&first, &second, &third}) {
        MainWindow& window = *windows.emplace_back(std::make_unique<MainWindow>(t->ctx, t->options));
        const QString loading = window.statusText();
        window.Start();
        const QString label = Child<QLabel>(&window, "lblHistory")->text();
        // What the history cannot do is said beside "Ready"; only the unusable file is reported in a box.
        EXPECT_EQ(
            std::tuple(loading, window.statusText(), t->dialogs.messages.size(), t->ctx.history == nullptr),
            std::tuple("Loading...", "Ready", t == &third ? 1U : 0U, t == &third));
        EXPECT_TRUE(t == &first ? label == "History records: 0" : !label.isEmpty() && !label.startsWith("H"));
    }
    EXPECT_TRUE(first.set->lastBoard == 0 && !first.set->modified);
    EXPECT_TRUE(second.ctx.history->ReadOnly() && first.ctx.random.deterministic()); // seeded by the option

    // Without the option the cursor position seeds the generator.
    TestContext t;
    t.options.seed.reset();
    QCursor::setPos(120, 80);
    if (QCursor::pos() != QPoint(120, 80)) GTEST_SKIP() << "this platform cannot place the cursor";
    MainWindow window(t.ctx, t.options);
    EXPECT_EQ(std::tuple(t.ctx.random.deterministic(), t.ctx.seeds.first),
              std::tuple(false, (120 * 256 + 80) | 1));
}

// Boards 5 to 7: each seat holding one whole suit (every hand D000, 10 points, 9 distribution points), card
// c to seat (c - 1) mod 4 + 1 (every hand 4333, 10 points, none for distribution; N shares the spade A, 10,
// 6 and 2 with board 5), and only the spade ace.
TEST_F(MainWindowTest, SummaryShowsTheSetAndEmptiesWithoutOne) {
    t.set->firstBoard = 5;
    t.set->lastBoard = 7;
    PutBoard(*t.set, 5, SuitDeal());
    PutBoard(*t.set, 6, RoundRobinDeal());
    PutBoard(*t.set, 7, Owners{0, 1});
    ASSERT_TRUE(t.ctx.history->RecordHistory(t.ctx, t.ctx.set, "monday"));
    auto* shapes = Child<QTreeWidget>(window.get(), "lbxShapes");
    const QString summary = "txtFirstBoard txtLastBoard txtCount txtCompleted txtHcp0 txtHcp3 txtDistrib0 "
                            "txtDistrib1 txtInSim txtInDeals txtMaxFreq txtMinFreq";
    for (int refresh = 0; refresh < 2; ++refresh) { // a second refresh recounts, it does not add
        window->RefreshSetDisplay();
        EXPECT_EQ(BoxTexts(window.get(), summary).toStdString(),
                  "5|7|3|2| 10.0| 10.0|  4.5|  4.5|4|5:6|100% \u2660A N|0% \u2665A N");
        ASSERT_EQ(shapes->topLevelItemCount(), 39);
        const QTreeWidgetItem* last = shapes->topLevelItem(38); // D000: shape, seen, expected, difference
        EXPECT_EQ(QStringList({last->text(0), last->text(1), last->text(2), last->text(3)}).join('|'),
                  "D000|   4|   0|+4");
    }
    EXPECT_EQ(Child<QLabel>(window.get(), "lblHistory")->text(), "History records: 2");

    // Without a complete board only the range and the similarity are shown; without a set nothing.
    for (const int lastBoard : {5, 0}) {
        (*t.set)[5].status = (*t.set)[6].status = 0;
        t.set->lastBoard = lastBoard;
        window->RefreshSetDisplay();
        EXPECT_EQ(BoxTexts(window.get(), summary), lastBoard > 0 ? "5|5|1|0|||||0|0:0||" : "|||||||||||");
        EXPECT_EQ(shapes->topLevelItemCount(), 0);
    }

    // Each seat's averages go to that seat's boxes (a random set, where the seats differ).
    *t.set = RandomSet(1, 7, 3);
    BoardSet copy = *t.set;
    ShapeTally tally{};
    const SetStatistics st = ShapeStatistics(copy, tally);
    window->RefreshSetDisplay();
    EXPECT_EQ(BoxTexts(window.get(), "txtHcp0 txtHcp1 txtHcp2 txtHcp3 txtDistrib0 txtDistrib1 txtDistrib2 "
                                     "txtDistrib3")
                  .toStdString(),
              st.averageHcp[0] + "|" + st.averageHcp[1] + "|" + st.averageHcp[2] + "|" + st.averageHcp[3] +
                  "|" + st.averageDistrib[0] + "|" + st.averageDistrib[1] + "|" + st.averageDistrib[2] + "|" +
                  st.averageDistrib[3]);
    EXPECT_EQ(std::set(st.averageHcp.begin(), st.averageHcp.end()).size(), 4U); // the seats do differ
}

// The title shows the file and the mark of unsaved changes; typed event texts are stored, up to 199
// characters, and mark the set.
TEST_F(MainWindowTest, TitleAndEventTexts) {
    const auto title = [this] {
        return window->windowTitle().replace("[*]", window->isWindowModified() ? "*" : "").toStdString();
    };
    const std::string program = MainCaption();
    const std::tuple<std::string, bool, std::string> cases[] = {
        {"", true, "*" + program}, {"/club/monday.pbn", false, "monday.pbn - " + program}};
    for (const auto& [file, modified, shown] : cases) {
        t.set->fileName = file;
        t.set->modified = modified;
        window->RefreshSetDisplay();
        EXPECT_EQ(std::tuple(title(), Text("txtFileName").toStdString()), std::tuple(shown, file));
    }
    auto* site = Child<QLineEdit>(window.get(), "txtEventSite");
    auto* date = Child<QLineEdit>(window.get(), "txtEventDate");
    QTest::keyClicks(Child<QLineEdit>(window.get(), "txtEventName"), "Club Cup");
    site->insert(QString::fromUtf8("Z\u00fcrich"));
    QTest::keyClicks(date, "2026-12-06");
    EXPECT_EQ(std::tuple(t.set->eventName, t.set->eventSite, t.set->eventDate, title()),
              std::tuple("Club Cup", "Z\u00fcrich", "2026-12-06", "*monday.pbn - " + program));

    // The 200th character is undone and the caret steps back; characters are counted, not bytes.
    const QString full(199, QChar(0x00FC));
    site->selectAll();
    site->insert(full);
    t.set->modified = false;
    site->setCursorPosition(50);
    QTest::keyClicks(site, "X");
    EXPECT_EQ(std::tuple(site->text(), site->cursorPosition(), QString::fromStdString(t.set->eventSite)),
              std::tuple(full, 50, full));
    EXPECT_TRUE(t.set->modified); // a refused change marks the set too

    // A long paste is refused whole, the caret clamped to the restored text.
    date->insert(QString(250, QChar('9')));
    EXPECT_EQ(std::tuple(date->text(), date->cursorPosition()), std::tuple("2026-12-06", 10));
}

TEST_F(MainWindowTest, ActivationPutsTheFocusInTheEventName) {
    Child<QLineEdit>(window.get(), "txtEventSite")->setFocus();
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(window.get());
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>(window.get(), "txtEventName"));
}

} // namespace
} // namespace orvenix::test
