// The menu commands of the main window: each item (or its key) reaches its command, the unsaved-set
// question, File > Delete and where printed pages went.
#include "base/messages.h"
#include "support/sample_deals.h"
#include "support/window_test.h"
#include "ui/app/help_window.h"
#include "ui/print/printer_setup.h"

#include <QFile>
#include <QKeySequence>
#include <QPrinter>

namespace orvenix::test {
namespace {

struct MenuCase {
    const char* action;
    QKeySequence::StandardKey key; // pressed instead of the menu item when it has one
    bool withSet;
    const char* opens;       // the modal window the command opens, or ""
    const char* firstStatus; // "": the status line is left alone; nullptr: not checked
    std::size_t fileDialogs;
    const char* box; // the title of the one box shown, or ""
};

class MenuTest : public MainWindowTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuTest, ItemReachesItsCommand) {
    const MenuCase& c = GetParam();
    if (c.withSet) *t.set = SampleSet(1, 2);
    ModalCloser closer;
    t.statuses.clear();
    if (c.key == QKeySequence::UnknownKey) {
        Trigger(c.action);
    } else {
        QApplication::setActiveWindow(window.get());
        QTest::keySequence(window.get(), QKeySequence(c.key));
    }
    EXPECT_EQ(closer.closed, *c.opens == '\0' ? QStringList{} : QStringList{c.opens});
    const std::string first = t.statuses.empty() ? "" : t.statuses.front();
    EXPECT_EQ(c.firstStatus != nullptr ? first : "", c.firstStatus != nullptr ? c.firstStatus : "");
    EXPECT_EQ(t.dialogs.fileRequests.size(), c.fileDialogs);
    ASSERT_EQ(t.dialogs.messages.size(), *c.box == '\0' ? 0U : 1U);
    EXPECT_TRUE(*c.box == '\0' || t.dialogs.Last().title == c.box);
    if (std::string(c.box).ends_with(" Error")) { // refused: no set
        EXPECT_EQ(t.dialogs.Last().text, MessageTemplate(MsgNoBoardSet));
        EXPECT_EQ(t.dialogs.Last().icon, Icon::Critical);
        EXPECT_NE(std::find(t.statuses.begin(), t.statuses.end(), t.dialogs.Last().text), t.statuses.end());
    }
    const bool exits = std::string(c.action) == "menuExit";
    EXPECT_EQ(window->isVisible(), !exits);
    EXPECT_EQ(t.ctx.history == nullptr, exits); // the history file closes with the program
    EXPECT_EQ(window->statusText(), "Ready");
    EXPECT_EQ(window->findChild<HelpWindow*>() != nullptr, std::string(c.action) == "menuContents");
}

constexpr auto kNoKey = QKeySequence::UnknownKey;
const MenuCase kMenu[] = {
    {"menuNew", QKeySequence::New, false, "Generate", "Generate", 0, ""},
    {"menuLoad", QKeySequence::Open, false, "", "Loading", 1, ""},
    {"menuSave", QKeySequence::Save, true, "", "Saving", 1, ""},
    {"menuDelete", kNoKey, false, "", "Deleting", 1, ""},
    {"menuDeal", kNoKey, false, "", "Dealing", 0, "Dealing Error"},
    {"menuRead", kNoKey, false, "", "Reading", 0, "Reading Error"},
    {"menuPrint", QKeySequence::Print, false, "", nullptr, 0, "Printing Error"},
    {"menuDeal", kNoKey, true, "DealingWindow", "Dealing", 0, ""},
    {"menuRead", kNoKey, true, "DealingWindow", "Reading", 0, ""},
    {"menuPrint", kNoKey, true, "HandRecord", "Printing", 0, ""},
    {"menuEdit", kNoKey, false, "Edit", "Edit Board", 0, ""},
    {"cmdMaintenance", kNoKey, false, "Maintenance", "", 0, ""},
    {"menuContents", QKeySequence::HelpContents, false, "", "", 0, ""},
    {"menuAbout", kNoKey, false, "", "", 0, "About"},
    {"menuExit", kNoKey, false, "", nullptr, 0, ""},
};

INSTANTIATE_TEST_SUITE_P(MainWindow, MenuTest, ::testing::ValuesIn(kMenu), [](const auto& info) {
    return std::string(info.param.action) + (info.param.withSet ? "WithSet" : "");
});

TEST_F(MainWindowTest, NewLoadAndExitAskAboutAnUnsavedSetFirst) {
    const std::pair<const char*, const char*> commands[] = {
        {"menuNew", "Generate New Board Set"}, {"menuLoad", "Load New Board Set"}, {"menuExit", "Exit"}};
    *t.set = SampleSet(1, 2);
    for (const auto& [action, title] : commands) {
        SCOPED_TRACE(action);
        ModalCloser closer;
        t.set->modified = true;
        t.dialogs.messages.clear();
        t.dialogs.QueueAnswer(Answer::Cancel);
        Trigger(action);
        ASSERT_EQ(t.dialogs.messages.size(), 1U);
        EXPECT_EQ(t.dialogs.Last().title, title);
        EXPECT_EQ(t.dialogs.Last().buttons, Buttons::YesNoCancel);
        // Cancelled: no window, no file dialog, the program runs on with the set.
        EXPECT_TRUE(closer.closed.isEmpty() && t.dialogs.fileRequests.empty() && window->isVisible());
    }
}

TEST_F(MainWindowTest, DeleteMovesTheChosenFileToTheTrashAfterAYes) {
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME"); // the trash of this test's own data folder
    qputenv("XDG_DATA_HOME", QFile::encodeName(QString::fromStdString((t.dir / "data").string())));
    const std::string file = t.set->fileName = (t.dir / "old.pbn").string();
    const struct {
        std::string chosen;
        Answer answer;
        bool kept;
        std::string status; // how the status line starts; a refusal is shown in a second box
    } cases[] = {
        {file, Answer::No, true, "Ready"},
        {file + ".gone", Answer::Yes, true, "The file " + file + ".gone could not be moved"},
        {file, Answer::Yes, false, "Moved " + file + " to the trash (the board set in memory is kept"}};
    for (const auto& c : cases) {
        WriteFile(file, "[Board \"1\"]\n");
        t.dialogs.messages.clear();
        t.dialogs.QueueFile(c.chosen);
        t.dialogs.QueueAnswer(c.answer);
        Trigger("menuDelete");
        ASSERT_EQ(t.dialogs.messages.size(), c.status.starts_with("The file") ? 2U : 1U) << c.status;
        EXPECT_EQ(t.dialogs.messages[0].buttons, Buttons::YesNo);
        EXPECT_EQ(std::filesystem::exists(file), c.kept);
        EXPECT_TRUE(window->statusText().startsWith(QString::fromStdString(c.status)))
            << window->statusText().toStdString();
    }
    qputenv("XDG_DATA_HOME", dataHome);
}

TEST_F(MainWindowTest, StatusLineSaysWherePrintedPagesWent) {
    if (ProgramPrinter().outputFormat() != QPrinter::PdfFormat) GTEST_SKIP() << "this computer has a printer";
    *t.set = SampleSet(1, 4);
    const QString pdf = QString::fromStdString((t.dir / "records.pdf").string());
    t.dialogs.QueueFile(pdf.toStdString());
    WhenModalOpens([](QWidget* printWindow) {
        QTest::mouseClick(printWindow->findChild<QPushButton*>("cmdPrint"), Qt::LeftButton);
        printWindow->close();
    });
    Trigger("menuPrint");
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(window->statusText(), "Hand records printed to " + pdf);
}

} // namespace
} // namespace orvenix::test
