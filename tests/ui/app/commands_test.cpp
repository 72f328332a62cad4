// The menu commands of the main window: each item (or its key) reaches its command; File > Delete; where
// printed pages went.
#include "base/messages.h"
#include "support/sample_deals.h"
#include "support/window_test.h"
#include "ui/app/help_window.h"
#include "ui/print/printer_setup.h"

#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QPrinter>

namespace orvenix::test {
namespace {

// The menu item, the key pressed instead of it when it has one, the set (0: none; 1: a set; 2: a modified
// set, and the question about it is cancelled), the modal window the command opens or "", the first status
// text ("": the status line is left alone; "*": not checked), the number of file dialogs, and the title of
// the one box shown or "".
using MenuCase = std::tuple<const char*, QKeySequence::StandardKey, int, const char*, const char*,
                            std::size_t, const char*>;

class MenuTest : public MainWindowTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuTest, ItemReachesItsCommand) {
    const auto& [action, key, set, opens, firstStatus, fileDialogs, box] = GetParam();
    if (set > 0) *t.set = SampleSet(1, 2);
    t.set->modified = set == 2;
    t.dialogs.QueueAnswer(Answer::Cancel);
    ModalCloser closer;
    t.statuses.clear();
    if (key == QKeySequence::UnknownKey) {
        Trigger(action);
    } else {
        QApplication::setActiveWindow(window.get());
        QTest::keySequence(window.get(), QKeySequence(key));
    }
    const std::string first = *firstStatus == '*' ? "*" : t.statuses.empty() ? "" : t.statuses.front();
    const std::string title = t.dialogs.messages.empty() ? "" : t.dialogs.Last().title;
    EXPECT_EQ(
        std::tuple(closer.closed, first, t.dialogs.fileRequests.size(), t.dialogs.messages.size(), title),
        std::tuple(*opens != '\0' ? QStringList{opens} : QStringList{}, std::string(firstStatus), fileDialogs,
                   *box != '\0' ? 1U : 0U, std::string(box)));
    EXPECT_TRUE(set != 2 || t.dialogs.Last().buttons == Buttons::YesNoCancel); // Yes saves, No discards
    if (title.ends_with(" Error")) { // refused without a set, and said on the status line too
        EXPECT_EQ(std::tuple(t.dialogs.Last().text, t.dialogs.Last().icon, t.statuses.end()[-2]),
                  std::tuple(MessageTemplate(MsgNoBoardSet), Icon::Critical, t.dialogs.Last().text));
    }
    const bool exits = std::string(action) == "menuExit" && set != 2; // the history file closes with it
    EXPECT_EQ(std::tuple(window->isVisible(), t.ctx.history == nullptr, window->statusText().toStdString(),
                         window->findChild<HelpWindow*>() != nullptr),
              std::tuple(!exits, exits, "Ready", std::string(action) == "menuContents"));
}

constexpr auto kNoKey = QKeySequence::UnknownKey;
const MenuCase kMenu[] = {
    {"menuNew", QKeySequence::New, 0, "Generate", "Generate", 0, ""},
    {"menuLoad", QKeySequence::Open, 0, "", "Loading", 1, ""},
    {"menuSave", QKeySequence::Save, 1, "", "Saving", 1, ""},
    {"menuDelete", kNoKey, 0, "", "Deleting", 1, ""},
    {"menuDeal", kNoKey, 0, "", "Dealing", 0, "Dealing Error"},
    {"menuRead", kNoKey, 0, "", "Reading", 0, "Reading Error"},
    {"menuPrint", QKeySequence::Print, 0, "", "*", 0, "Printing Error"},
    {"menuDeal", kNoKey, 1, "DealingWindow", "Dealing", 0, ""},
    {"menuRead", kNoKey, 1, "DealingWindow", "Reading", 0, ""},
    {"menuPrint", kNoKey, 1, "HandRecord", "Printing", 0, ""},
    {"menuEdit", kNoKey, 0, "Edit", "Edit Board", 0, ""},
    {"cmdMaintenance", kNoKey, 0, "Maintenance", "", 0, ""},
    {"menuContents", QKeySequence::HelpContents, 0, "", "", 0, ""},
    {"menuAbout", kNoKey, 0, "", "", 0, "About"},
    {"menuExit", kNoKey, 0, "", "*", 0, ""},
    // New, Load and Exit ask about an unsaved set first: cancelled, nothing opens and the program runs on.
    {"menuNew", kNoKey, 2, "", "Generate", 0, "Generate New Board Set"},
    {"menuLoad", kNoKey, 2, "", "Loading", 0, "Load New Board Set"},
    {"menuExit", kNoKey, 2, "", "*", 0, "Exit"},
};

INSTANTIATE_TEST_SUITE_P(MainWindow, MenuTest, ::testing::ValuesIn(kMenu), [](const auto& info) {
    return std::string(std::get<0>(info.param)) + std::to_string(std::get<2>(info.param));
});

TEST_F(MainWindowTest, DeleteMovesTheChosenFileToTheTrashAfterAYes) {
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME"); // the trash of this test's own data folder
    qputenv("XDG_DATA_HOME", QFile::encodeName(QString::fromStdString((t.dir / "data").string())));
    // Where the file's volume is not the home folder's, Qt may make the trash in the current folder.
    const QString workingDir = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(t.dir.path().string()));
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
        EXPECT_EQ(std::tuple(t.dialogs.messages.size(), t.dialogs.messages.at(0).buttons),
                  std::tuple(c.status.starts_with("The file") ? 2U : 1U, Buttons::YesNo));
        EXPECT_EQ(std::filesystem::exists(file), !c.status.starts_with("Moved"));
        EXPECT_TRUE(window->statusText().startsWith(QString::fromStdString(c.status)))
            << window->statusText().toStdString();
    }
    qputenv("XDG_DATA_HOME", dataHome);
    QDir::setCurrent(workingDir);
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
    EXPECT_EQ(window->statusText(), "Hand records printed to " + pdf);
}

} // namespace
} // namespace orvenix::test
