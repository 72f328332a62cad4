// The main window: start-up, controls and menus, the summary of the set, the event fields and closing.
#include "base/messages.h"
#include "base/version.h"
#include "history/history.h"
#include "support/board_set_samples.h"
#include "support/window_test.h"

#include <QCursor>
#include <QDate>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include <fstream>
#include <vector>

namespace orvenix::test {
namespace {

// The title as the window system shows it: "[*]" becomes the mark of unsaved changes, or nothing.
QString ShownTitle(const QWidget* window) {
    QString title = window->windowTitle();
    return title.replace("[*]", window->isWindowModified() ? "*" : "");
}

// ---- Start-up ------------------------------------------------------------------------------------------

TEST_F(MainWindowTest, StartupShowsCaptionVersionAndReady) {
    EXPECT_EQ(ShownTitle(window.get()).toStdString(),
              "Orvenix Ver " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor));
    auto* version = Child<QLabel>(window.get(), "lblVersion");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text().toStdString(), "Version " + std::to_string(kVersionMajor) + "." +
                                                 std::to_string(kVersionMinor) + "." +
                                                 std::to_string(kVersionPatch) + " ");
    EXPECT_EQ(window->statusText(), "Ready");
    ASSERT_FALSE(t.statuses.empty());
    EXPECT_EQ(t.statuses.back(), "Ready");
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(t.set->exists());
    EXPECT_FALSE(t.set->modified);
    EXPECT_EQ(t.set->currentBoard, 1);
    // The history file is created and in use.
    EXPECT_NE(t.ctx.history, nullptr);
    EXPECT_TRUE(std::filesystem::exists(*t.options.historyPath));
    EXPECT_TRUE(t.dialogs.messages.empty());
}

TEST(MainWindowStartup, LoadingThenHistoryThenReady) {
    TestContext t;
    t.set->lastBoard = 5; // a set left over from before must not survive start-up
    t.set->modified = true;
    MainWindow window(t.ctx, t.options);
    EXPECT_EQ(window.statusText(), "Loading...");
    EXPECT_EQ(t.set->lastBoard, 0);
    EXPECT_FALSE(t.set->modified);
    t.RecordStatus();
    window.Start();
    ASSERT_GE(t.statuses.size(), 2U);
    EXPECT_EQ(t.statuses.front().rfind("History records: ", 0), 0U) << t.statuses.front();
    EXPECT_EQ(t.statuses.back(), "Ready");
}

TEST(MainWindowStartup, UnusableHistoryIsReportedOnceAndTheWindowRuns) {
    TestContext t;
    // A folder where the history file should be cannot be opened as a file.
    std::filesystem::create_directory(*t.options.historyPath);
    MainWindow window(t.ctx, t.options);
    t.RecordStatus();
    window.Start();
    EXPECT_EQ(window.statusText(), "Ready");
    EXPECT_EQ(t.ctx.history, nullptr);
    EXPECT_EQ(t.dialogs.messages.size(), 1U);
    auto* history = Child<QLabel>(&window, "lblHistory");
    ASSERT_NE(history, nullptr);
    EXPECT_FALSE(history->text().isEmpty());
}

TEST(MainWindowStartup, SecondInstanceSaysItsHistoryDoesNotRecord) {
    TestContext first;
    MainWindow one(first.ctx, first.options);
    one.Start();
    auto* firstLabel = Child<QLabel>(&one, "lblHistory");
    ASSERT_NE(firstLabel, nullptr);
    EXPECT_EQ(firstLabel->text(), "History records: 0");

    TestContext second;
    second.options.historyPath = first.options.historyPath; // the file the first window holds
    MainWindow two(second.ctx, second.options);
    two.Start();
    EXPECT_EQ(two.statusText(), "Ready");
    ASSERT_NE(second.ctx.history, nullptr);
    EXPECT_TRUE(second.ctx.history->ReadOnly());
    auto* secondLabel = Child<QLabel>(&two, "lblHistory");
    ASSERT_NE(secondLabel, nullptr);
    // The reason stays visible after "Ready" has replaced the start-up texts.
    EXPECT_FALSE(secondLabel->text().isEmpty());
    EXPECT_FALSE(secondLabel->text().startsWith("History records"));
}

TEST(MainWindowStartup, WithoutSeedOptionTheCursorAndTodaySeedTheGenerator) {
    TestContext t;
    t.options.seed.reset();
    QCursor::setPos(120, 80);
    if (QCursor::pos() != QPoint(120, 80)) GTEST_SKIP() << "this platform cannot place the cursor";
    EXPECT_EQ(MouseX(), 120);
    EXPECT_EQ(MouseY(), 80);
    MainWindow window(t.ctx, t.options);
    EXPECT_EQ(t.ctx.seeds.first, (120 * 256 + 80) | 1);
    EXPECT_EQ(t.ctx.seeds.second, QDate(2008, 1, 1).daysTo(QDate::currentDate()) & 0xFFFF);
    EXPECT_FALSE(t.ctx.random.deterministic());
    EXPECT_EQ(t.ctx.random.packets().packetSeedLow, t.ctx.seeds.first);
    EXPECT_EQ(t.ctx.random.packets().packetSeedHigh, t.ctx.seeds.second);
}

TEST(MainWindowStartup, SeedOptionMakesTheSeedWordsReproducible) {
    TestContext a;
    TestContext b;
    MainWindow first(a.ctx, a.options);
    MainWindow second(b.ctx, b.options);
    EXPECT_EQ(a.ctx.seeds.first, b.ctx.seeds.first);
    EXPECT_EQ(a.ctx.seeds.second, b.ctx.seeds.second);
    EXPECT_EQ(a.ctx.seeds.first & 1, 1);
    EXPECT_TRUE(a.ctx.random.deterministic());
    EXPECT_EQ(a.ctx.random.RandomDeal(), b.ctx.random.RandomDeal());
}

// ---- Controls and menus ----------------------------------------------------------------------------------

TEST_F(MainWindowTest, ControlsCarryTheirNamesAndTooltips) {
    const std::vector<std::pair<const char*, const char*>> boxes = {
        {"txtFileName", "File name of the current Board Set"},
        {"txtEventName", "Enter Event Name here"},
        {"txtEventSite", "Enter Event Site Name here"},
        {"txtEventDate", "Enter Event Date here"},
        {"txtFirstBoard", "First Board Number of the set"},
        {"txtLastBoard", "Last Board Number of the set"},
        {"txtCount", "Number of boards in a set."},
        {"txtCompleted", "Number of completed boards in a set."},
        {"txtHcp0", "Average High Card Points for N"},
        {"txtHcp3", "Average High Card Points for W"},
        {"txtDistrib1", "Average Distribution Points for E"},
        {"txtDistrib2", "Average Distribution Points for S"},
        {"txtMaxFreq", "Maximum card frequency for any Hand (ave 25%)"},
        {"txtMinFreq", "Minimum card frequency for any Hand (ave 25%)"},
        {"txtInSim", "Maximum number of identical cards"},
        {"txtInDeals", "Board numbers for similar hands within the current set"},
    };
    for (const auto& [name, tip] : boxes) {
        QLineEdit* box = Box(name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->toolTip().toStdString(), tip) << name;
        const bool editable = std::string(name).rfind("txtEvent", 0) == 0;
        EXPECT_EQ(box->isReadOnly(), !editable) << name;
    }
    auto* shapes = Child<QTreeWidget>(window.get(), "lbxShapes");
    ASSERT_NE(shapes, nullptr);
    EXPECT_EQ(shapes->toolTip(), "Actual and expected Hand shapes");
    ASSERT_EQ(shapes->columnCount(), 4);
    QStringList headers;
    for (int c = 0; c < 4; ++c)
        headers << shapes->headerItem()->text(c);
    EXPECT_EQ(headers, (QStringList{"Shape", "Actual", "Expected", "Diffrence"}));
    EXPECT_NE(Child<QStatusBar>(window.get(), "StatusBar1"), nullptr);

    // The labels of the form.
    QStringList labels;
    for (QLabel* label : window->findChildren<QLabel*>())
        labels << label->text();
    for (const char* text : {"File Name:", "Event Name:", "Event Site:", "Event Date:", "First Board Number:",
                             "Last Board Number:", "Number of Boards in Set:", "Number of Completed Boards:",
                             "Hand Shapes", "Hand N:", "Hand E:", "Hand S:", "Hand W:", "HCP", "Distr",
                             "Max frequency:", "Min frequency:", "Inner Similarity:"}) {
        EXPECT_TRUE(labels.contains(text)) << text;
    }
}

TEST_F(MainWindowTest, MenusHaveTheirCaptionsInOrder) {
    auto* file = Child<QMenu>(window.get(), "menuFile");
    auto* help = Child<QMenu>(window.get(), "menuHelp");
    ASSERT_NE(file, nullptr);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(file->title(), "&File");
    EXPECT_EQ(help->title(), "&Help");
    QStringList fileItems;
    for (QAction* a : file->actions())
        fileItems << (a->isSeparator() ? "-" : a->objectName() + "=" + a->text());
    EXPECT_EQ(fileItems, (QStringList{"menuNew=&New", "menuLoad=&Load", "menuSave=&Save",
                                      "menuDelete=&Delete", "-", "menuExit=E&xit"}));
    QStringList barItems;
    for (QAction* a : window->menuBar()->actions())
        barItems << a->text();
    EXPECT_EQ(barItems, (QStringList{"&File", "&Deal", "&Read", "&Edit", "&Print", "&Maintenance", "&Help"}));
    QStringList helpItems;
    for (QAction* a : help->actions())
        helpItems << a->objectName() + "=" + a->text();
    EXPECT_EQ(helpItems, (QStringList{"menuContents=&Contents", "menuAbout=&About"}));
    for (const char* name : {"menuDeal", "menuRead", "menuEdit", "menuPrint", "cmdMaintenance"}) {
        EXPECT_NE(Child<QAction>(window.get(), name), nullptr);
    }
}

TEST_F(MainWindowTest, AboutShowsTheVersion) {
    Trigger("menuAbout");
    ASSERT_EQ(t.dialogs.messages.size(), 1U);
    EXPECT_NE(t.dialogs.Last().text.find(VersionText()), std::string::npos);
    EXPECT_EQ(t.dialogs.Last().icon, Icon::Information);
}

TEST_F(MainWindowTest, ActivationPutsTheFocusInTheEventName) {
    Box("txtEventSite")->setFocus();
    QApplication::setActiveWindow(nullptr);
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Box("txtEventName"));
}

// ---- Summary -------------------------------------------------------------------------------------------

// Boards 5 to 8: three complete boards and one with a single card.
//   5: each seat holds one whole suit (every hand D000, 10 points, 9 distribution points);
//   6: card c to seat (c - 1) mod 4 + 1 (every hand 4333, 10 points, none for distribution);
//   7: N holds the aces, kings, queens and the spade jack (4333, 37 points); E the spades ten to two and the
//      hearts jack to eight (9400); S the hearts seven to two and diamonds jack to five (7600); W the
//      diamonds four to two and all clubs jack to two (A300); E, S, W have 1 point and 6 for distribution.
//   8: only the spade ace placed.
void HandMadeSet(BoardSet& set) {
    set.firstBoard = 5;
    set.lastBoard = 8;
    PutBoard(set, 5, SuitDeal());
    PutBoard(set, 6, RoundRobinDeal());
    Owners seven{};
    int nextForOthers = 0; // E, S, W take the remaining cards in code order, 13 each
    for (int c = 1; c <= kCards; ++c) {
        const int rank = RankOf(c);
        if (rank <= 3 || c == 4) {
            seven[static_cast<std::size_t>(c)] = 1;
        } else {
            seven[static_cast<std::size_t>(c)] = static_cast<Seat>(2 + nextForOthers / 13);
            ++nextForOthers;
        }
    }
    const Board& b7 = PutBoard(set, 7, seven);
    ASSERT_EQ(b7.status, kBoardComplete);
    ASSERT_EQ(b7.highCardPoints[1], 37);
    Owners eight{};
    eight[1] = 1;
    PutBoard(set, 8, eight);
}

TEST_F(MainWindowTest, SummaryOfAHandMadeSet) {
    HandMadeSet(*t.set);
    window->RefreshSetDisplay();

    EXPECT_EQ(Text("txtFirstBoard"), "5");
    EXPECT_EQ(Text("txtLastBoard"), "8");
    EXPECT_EQ(Text("txtCount"), "4");
    EXPECT_EQ(Text("txtCompleted"), "3");
    EXPECT_EQ(t.set->completedCount, 3);

    // Averages over the three complete boards: N (10 + 10 + 37) / 3, the others (10 + 10 + 1) / 3; for
    // distribution N (9 + 0 + 0) / 3, the others (9 + 0 + 6) / 3.
    EXPECT_EQ(Text("txtHcp0"), " 19.0");
    EXPECT_EQ(Text("txtHcp1"), "  7.0");
    EXPECT_EQ(Text("txtHcp2"), "  7.0");
    EXPECT_EQ(Text("txtHcp3"), "  7.0");
    EXPECT_EQ(Text("txtDistrib0"), "  3.0");
    EXPECT_EQ(Text("txtDistrib1"), "  5.0");
    EXPECT_EQ(Text("txtDistrib3"), "  5.0");

    // The spade ace is N's in all three boards; N never holds the heart ten (the first card N never holds).
    EXPECT_EQ(Text("txtMaxFreq"), QString::fromUtf8("100% \u2660A N"));
    EXPECT_EQ(Text("txtMinFreq"), QString::fromUtf8("0% \u2665T N"));

    // Boards 5 and 7 share ten clubs in W, more than any other pair.
    EXPECT_EQ(Text("txtInSim"), "10");
    EXPECT_EQ(Text("txtInDeals"), "5:7");

    // D000 is counted, so all 39 shapes are listed. Expected = frequency x 4 x 3 rounded.
    auto* shapes = Child<QTreeWidget>(window.get(), "lbxShapes");
    ASSERT_NE(shapes, nullptr);
    ASSERT_EQ(shapes->topLevelItemCount(), 39);
    auto row = [shapes](int i) {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << shapes->topLevelItem(i)->text(c);
        return cells;
    };
    EXPECT_EQ(row(0), (QStringList{"4432", "   0", "   3", " -3"})); // 0.215512 x 12 = 2.59
    EXPECT_EQ(row(1), (QStringList{"5332", "   0", "   2", " -2"}));
    EXPECT_EQ(row(4), (QStringList{"4333", "   5", "   1", "+4"}));
    EXPECT_EQ(row(29), (QStringList{"7600", "   1", "   0", "+1"}));
    EXPECT_EQ(row(38), (QStringList{"D000", "   4", "   0", "+4"}));

    // A second refresh gives the same picture (the tally is recounted, not added to).
    window->RefreshSetDisplay();
    EXPECT_EQ(shapes->topLevelItemCount(), 39);
    EXPECT_EQ(row(38), (QStringList{"D000", "   4", "   0", "+4"}));
    EXPECT_EQ(Text("txtCompleted"), "3");
}

TEST_F(MainWindowTest, SetWithoutCompleteBoardShowsOnlyItsRange) {
    t.set->firstBoard = 17;
    t.set->lastBoard = 20;
    for (int n = 17; n <= 20; ++n)
        PutEmptyBoard(*t.set, n);
    Owners partial{};
    partial[52] = 3;
    PutBoard(*t.set, 18, partial);
    window->RefreshSetDisplay();

    EXPECT_EQ(Text("txtFirstBoard"), "17");
    EXPECT_EQ(Text("txtLastBoard"), "20");
    EXPECT_EQ(Text("txtCount"), "4");
    EXPECT_EQ(Text("txtCompleted"), "0");
    for (const char* name : {"txtHcp0", "txtHcp1", "txtHcp2", "txtHcp3", "txtDistrib0", "txtDistrib1",
                             "txtDistrib2", "txtDistrib3", "txtMaxFreq", "txtMinFreq"}) {
        EXPECT_TRUE(Text(name).isEmpty()) << name;
    }
    EXPECT_EQ(Child<QTreeWidget>(window.get(), "lbxShapes")->topLevelItemCount(), 0);
    // One placed card cannot be shared by two boards.
    EXPECT_EQ(Text("txtInSim"), "0");
    EXPECT_EQ(Text("txtInDeals"), "0:0");
}

TEST_F(MainWindowTest, RefreshWithoutSetEmptiesEverything) {
    HandMadeSet(*t.set);
    window->RefreshSetDisplay();
    ASSERT_EQ(Text("txtCount"), "4");
    t.set->lastBoard = 0;
    window->RefreshSetDisplay();
    for (const char* name : {"txtFirstBoard", "txtLastBoard", "txtCount", "txtCompleted", "txtInSim",
                             "txtInDeals", "txtHcp0", "txtMaxFreq"}) {
        EXPECT_TRUE(Text(name).isEmpty()) << name;
    }
    EXPECT_EQ(Child<QTreeWidget>(window.get(), "lbxShapes")->topLevelItemCount(), 0);
    EXPECT_EQ(t.set->completedCount, 0);
}

TEST_F(MainWindowTest, HistoryCornerFollowsTheRecordedBoards) {
    auto* corner = Child<QLabel>(window.get(), "lblHistory");
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(corner->text(), "History records: 0");
    HandMadeSet(*t.set); // three complete boards and one incomplete
    ASSERT_NE(t.ctx.history, nullptr);
    ASSERT_TRUE(t.ctx.history->RecordHistory(t.ctx, t.ctx.set, "monday"));
    window->RefreshSetDisplay();
    EXPECT_EQ(corner->text(), "History records: 3");
}

TEST_F(MainWindowTest, RefreshShowsFileAndEventTextsWithoutMarkingTheSet) {
    t.set->fileName = "/home/director/club/monday.pbn";
    t.set->eventName = "Monday Pairs \u00e9t\u00e9";
    t.set->eventSite = "Club";
    t.set->eventDate = "2026.12.07";
    window->RefreshSetDisplay();
    EXPECT_EQ(Text("txtFileName"), "/home/director/club/monday.pbn");
    EXPECT_EQ(Text("txtEventName"), QString::fromUtf8("Monday Pairs \u00e9t\u00e9"));
    EXPECT_EQ(Text("txtEventSite"), "Club");
    EXPECT_EQ(Text("txtEventDate"), "2026.12.07");
    EXPECT_FALSE(t.set->modified);
}

// ---- Event fields ----------------------------------------------------------------------------------------

TEST_F(MainWindowTest, TitleShowsTheFileAndUnsavedChanges) {
    struct Case {
        const char* fileName;
        bool modified;
        const char* shown;
    };
    const std::string program =
        "Orvenix Ver " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
    const std::vector<Case> cases{{"", false, ""},
                                  {"", true, "*"},
                                  {"/home/director/club/monday.pbn", false, "monday.pbn - "},
                                  {"/home/director/club/monday.pbn", true, "*monday.pbn - "},
                                  {"", false, ""}};
    for (const Case& c : cases) {
        t.set->fileName = c.fileName;
        t.set->modified = c.modified;
        window->RefreshSetDisplay();
        EXPECT_EQ(ShownTitle(window.get()).toStdString(), c.shown + program) << c.fileName << c.modified;
    }
    // Typing an event text marks the set, and the title with it.
    t.set->fileName = "/home/director/club/monday.pbn";
    window->RefreshSetDisplay();
    TypeText(Box("txtEventSite"), "Club");
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(ShownTitle(window.get()).toStdString(), "*monday.pbn - " + program);
}

TEST_F(MainWindowTest, ResultBoxesLookReadOnlyAndEventBoxesEditable) {
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        const QPalette& p = box->palette();
        if (box->isReadOnly()) {
            EXPECT_EQ(p.color(QPalette::Base), p.color(QPalette::Window)) << box->objectName().toStdString();
        } else {
            EXPECT_NE(p.color(QPalette::Base), p.color(QPalette::Window)) << box->objectName().toStdString();
        }
    }
    for (const char* name :
         {"txtFileName", "txtFirstBoard", "txtCompleted", "txtHcp0", "txtMaxFreq", "txtInDeals"})
        EXPECT_TRUE(Box(name)->isReadOnly()) << name;
    for (const char* name : {"txtEventName", "txtEventSite", "txtEventDate"})
        EXPECT_FALSE(Box(name)->isReadOnly()) << name;
}

TEST_F(MainWindowTest, TypingAnEventTextStoresItAndMarksTheSet) {
    QLineEdit* name = Box("txtEventName");
    name->setFocus();
    QTest::keyClicks(name, "Club Cup");
    EXPECT_EQ(t.set->eventName, "Club Cup");
    EXPECT_TRUE(t.set->modified);
    TypeText(Box("txtEventSite"), QString::fromUtf8("Z\u00fcrich"));
    EXPECT_EQ(t.set->eventSite, "Z\u00fcrich");
    QTest::keyClicks(Box("txtEventDate"), "2026-12-06");
    EXPECT_EQ(t.set->eventDate, "2026-12-06");
}

TEST_F(MainWindowTest, EventTextOf200CharactersIsRefused) {
    QLineEdit* name = Box("txtEventName");
    const QString text199(199, QChar('a'));
    name->setFocus();
    QTest::keyClicks(name, text199);
    ASSERT_EQ(t.set->eventName.size(), 199U);
    t.set->modified = false;

    // The 200th character, typed in the middle, is undone and the caret steps back one place.
    name->setCursorPosition(50);
    QTest::keyClicks(name, "X");
    EXPECT_EQ(name->text(), text199);
    EXPECT_EQ(name->cursorPosition(), 50);
    EXPECT_EQ(t.set->eventName, std::string(199, 'a'));
    EXPECT_TRUE(t.set->modified); // a refused change marks the set too

    // Characters are counted, not bytes: 199 two-byte characters are accepted.
    QLineEdit* site = Box("txtEventSite");
    const QString umlauts(199, QChar(0x00FC));
    site->setFocus();
    site->setText({});
    TypeText(site, umlauts);
    EXPECT_EQ(site->text(), umlauts);
    EXPECT_EQ(QString::fromStdString(t.set->eventSite), umlauts);
    TypeText(site, QString(QChar(0x00FC)));
    EXPECT_EQ(site->text(), umlauts);
}

TEST_F(MainWindowTest, PastingALongEventTextIsRefusedWithTheCaretAtTheStartClamped) {
    QLineEdit* date = Box("txtEventDate");
    date->setFocus();
    date->setText({});
    date->insert(QString(250, QChar('9'))); // a paste: caret at 250 before the refusal
    EXPECT_TRUE(date->text().isEmpty());
    EXPECT_EQ(date->cursorPosition(), 0);
    EXPECT_TRUE(t.set->eventDate.empty());
    EXPECT_TRUE(t.set->modified);
}

// ---- Closing ---------------------------------------------------------------------------------------------

TEST_F(MainWindowTest, ClosingAnUnchangedSetAsksNothing) {
    HandMadeSet(*t.set);
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_EQ(t.ctx.history, nullptr); // files closed
}

TEST_F(MainWindowTest, ClosingAModifiedSetAnsweredNoEndsWithoutSaving) {
    t.set->modified = true;
    t.dialogs.QueueAnswer(Answer::No);
    Trigger("menuExit");
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(t.dialogs.messages.size(), 1U);
    const MessageRequest& question = t.dialogs.Last();
    EXPECT_EQ(question.text, MessageTemplate(MsgSetNotSaved));
    EXPECT_EQ(question.title, "Exit");
    EXPECT_EQ(question.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(question.icon, Icon::Exclamation);
    EXPECT_TRUE(t.set->modified); // nothing was saved
}

TEST_F(MainWindowTest, ClosingAModifiedSetAnsweredCancelKeepsRunning) {
    t.set->modified = true;
    t.dialogs.QueueAnswer(Answer::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(t.dialogs.messages.size(), 1U);
    EXPECT_NE(t.ctx.history, nullptr); // files stay open
    EXPECT_TRUE(t.set->modified);
}

TEST_F(MainWindowTest, ClosingAnsweredYesKeepsRunningWhenTheSaveDoesNotComplete) {
    t.set->firstBoard = 1;
    t.set->lastBoard = 1;
    PutBoard(*t.set, 1, SuitDeal());
    t.set->modified = true;
    t.dialogs.QueueAnswer(Answer::Yes);
    // The save's own file dialog, if it asks for one, is cancelled by the scripted dialogs.
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    ASSERT_GE(t.dialogs.messages.size(), 1U);
    EXPECT_EQ(t.dialogs.messages.front().title, "Exit");
    EXPECT_TRUE(t.set->modified);
}

TEST_F(MainWindowTest, ClosingAnsweredYesEndsWhenTheSaveCompletes) {
    *t.set = test::RandomSet(1, 4);
    t.set->modified = true;
    t.dialogs.QueueAnswer(Answer::Yes);
    const std::filesystem::path saved = t.dir / "club.pbn";
    t.dialogs.QueueFile(saved.string());
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(std::filesystem::exists(saved));
    EXPECT_FALSE(window->isVisible());
}

} // namespace
} // namespace orvenix::test
