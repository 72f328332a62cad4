// The menu commands of the main window: each item (or its key) reaches its command, File > Delete and where
// printed pages went.
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
    int set;                       // 0: no set; 1: a set; 2: a modified set, and the question is cancelled
    const char* opens;             // the modal window the command opens, or ""
    const char* firstStatus;       // "": the status line is left alone; nullptr: not checked
    std::size_t fileDialogs;
    const char* box; // the title of the one box shown, or ""
};

class MenuTest : public MainWindowTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuTest, ItemReachesItsCommand) {
    const MenuCase& c = GetParam();
    if (c.set > 0) *t.set = SampleSet(1, 2);
    t.set->modified = c.set == 2;
    t.dialogs.QueueAnswer(Answer::Cancel);
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
    if (std::string(c.box).ends_with(" Error")) { // refused without a set, and said on the status line too
        EXPECT_EQ(std::tuple(t.dialogs.Last().text, t.dialogs.Last().icon, t.statuses.end()[-2]),
                  std::tuple(MessageTemplate(MsgNoBoardSet), Icon::Critical, t.dialogs.Last().text));
    }
    const bool exits = std::string(c.action) == "menuExit" && c.set != 2;
    EXPECT_EQ(window->isVisible(), !exits);
    EXPECT_EQ(t.ctx.history == nullptr, exits); // the history file closes with the program
    EXPECT_EQ(window->statusText(), "Ready");
    EXPECT_EQ(window->findChild<HelpWindow*>() != nullptr, std::string(c.action) == "menuContents");
}

constexpr auto kNoKey = QKeySequence::UnknownKey;
const MenuCase kMenu[] = {
    {"menuNew", QKeySequence::New, 0, "Generate", "Generate", 0, ""},
    {"menuLoad", QKeySequence::Open, 0, "", "Loading", 1, ""},
    {"menuSave", QKeySequence::Save, 1, "", "Saving", 1, ""},
    {"menuDelete", kNoKey, 0, "", "Deleting", 1, ""},
    {"menuDeal", kNoKey, 0, "", "Dealing", 0, "Dealing Error"},
    {"menuRead", kNoKey, 0, "", "Reading", 0, "Reading Error"},
    {"menuPrint", QKeySequence::Print, 0, "", nullptr, 0, "Printing Error"},
    {"menuDeal", kNoKey, 1, "DealingWindow", "Dealing", 0, ""},
    {"menuRead", kNoKey, 1, "DealingWindow", "Reading", 0, ""},
    {"menuPrint", kNoKey, 1, "HandRecord", "Printing", 0, ""},
    {"menuEdit", kNoKey, 0, "Edit", "Edit Board", 0, ""},
    {"cmdMaintenance", kNoKey, 0, "Maintenance", "", 0, ""},
    {"menuContents", QKeySequence::HelpContents, 0, "", "", 0, ""},
    {"menuAbout", kNoKey, 0, "", "", 0, "About"},
    {"menuExit", kNoKey, 0, "", nullptr, 0, ""},
    // New, Load and Exit ask about an unsaved set first: cancelled, nothing opens and the program runs on.
    {"menuNew", kNoKey, 2, "", "Generate", 0, "Generate New Board Set"},
    {"menuLoad", kNoKey, 2, "", "Loading", 0, "Load New Board Set"},
    {"menuExit", kNoKey, 2, "", nullptr, 0, "Exit"},
};

INSTANTIATE_TEST_SUITE_P(MainWindow, MenuTest, ::testing::ValuesIn(kMenu), [](const auto& info) {
    return std::string(info.param.action) + std::to_string(info.param.set);
});

TEST_F(MainWindowTest, DeleteMovesTheChosenFileToTheTrashAfterAYes) {
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME"); // the trash of this test's own data folder
    qputenv("XDG_DATA_HOME", QFile::encodeName(QString::fromStdString((t.dir / "data").string())));
    const std::string file = t.set->fileName = (t.dir / "old.pbn").string();
    const struct {
        std::string chosen;
        Answer answer;
        std::string status; // how the status line starts; a refusal is shown in a second box
    } cases[] = {{file, Answer::No, "Ready"},
                 {file + ".gone", Answer::Yes, "The file " + file + ".gone could not be moved"},
                 {file, Answer::Yes, "Moved " + file + " to the trash (the board set in memory is kept"}};
    for (const auto& c : cases) {
        WriteFile(file, "[Board \"1\"]\n");
        t.dialogs.messages.clear();
        t.dialogs.QueueFile(c.chosen);
        t.dialogs.QueueAnswer(c.answer);
        Trigger("menuDelete");
        const std::size_t boxes = c.status.starts_with("The file") ? 2U : 1U;
        EXPECT_EQ(std::tuple(t.dialogs.messages.size(), t.dialogs.messages.at(0).buttons),
                  std::tuple(boxes, Buttons::YesNo));
        EXPECT_EQ(std::filesystem::exists(file), !c.status.starts_with("Moved"));
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
