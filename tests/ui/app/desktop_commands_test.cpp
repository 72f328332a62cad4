// The keyboard shortcuts of the menus, the user guide, File > Delete and where printed pages went.
#include "support/sample_deals.h"
#include "support/window_test.h"
#include "ui/app/help_window.h"
#include "ui/print/printer_setup.h"

#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

#include <algorithm>
#include <functional>
#include <vector>

namespace orvenix::test {
namespace {

HelpWindow* OpenHelp(QWidget* window) {
    return window->findChild<HelpWindow*>();
}

struct ShortcutCase {
    QKeySequence::StandardKey key;
    const char* what;
    std::function<bool(TestContext&, MainWindow&, const ModalCloser&)> ran; // whether the command ran
};

class ShortcutTest : public MainWindowTest, public ::testing::WithParamInterface<ShortcutCase> {};

TEST_P(ShortcutTest, KeyRunsItsCommand) {
    ModalCloser closer;
    QApplication::setActiveWindow(window.get());
    QTest::keySequence(window.get(), QKeySequence(GetParam().key));
    QTRY_VERIFY_WITH_TIMEOUT(GetParam().ran(t, *window, closer), 3000);
}

const std::vector<ShortcutCase> kShortcuts{
    {QKeySequence::New, "New",
     [](TestContext&, MainWindow&, const ModalCloser& closer) { return closer.closed.contains("Generate"); }},
    {QKeySequence::Open, "Load",
     [](TestContext& t, MainWindow&, const ModalCloser&) {
         return t.dialogs.fileRequests.size() == 1 &&
                t.dialogs.fileRequests[0].title == "Open Board Set file";
     }},
    {QKeySequence::Save, "Save",
     [](TestContext& t, MainWindow&, const ModalCloser&) {
         return std::find(t.statuses.begin(), t.statuses.end(), "Saving") != t.statuses.end();
     }},
    {QKeySequence::Print, "Print",
     [](TestContext& t, MainWindow&, const ModalCloser&) {
         return !t.dialogs.messages.empty() && t.dialogs.Last().title == "Printing Error";
     }},
    {QKeySequence::HelpContents, "Contents",
     [](TestContext&, MainWindow& w, const ModalCloser&) {
         HelpWindow* help = OpenHelp(&w);
         return help != nullptr && help->isVisible();
     }},
};

INSTANTIATE_TEST_SUITE_P(Menus, ShortcutTest, ::testing::ValuesIn(kShortcuts),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(MainWindowTest, ContentsShowsTheWholeGuideWithItsPictures) {
    Trigger("menuContents");
    HelpWindow* help = OpenHelp(window.get());
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(t.dialogs.messages.empty());
    const QString text = help->browser()->toPlainText();
    for (const char* section : {"Starting", "Generating", "Loading", "Editing", "Dealing", "Reading",
                                "Printing", "Maintenance", "Troubleshooting the link"}) {
        EXPECT_TRUE(text.contains(section)) << section;
    }
    // Every picture the guide shows is in the program.
    QFile guide(":/help/user-guide.md");
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly));
    const QString markdown = QString::fromUtf8(guide.readAll());
    int pictures = 0;
    for (const auto& m : QRegularExpression(R"(\]\((images/[^)]+)\))").globalMatch(markdown)) {
        ++pictures;
        EXPECT_TRUE(QFile::exists(":/help/" + m.captured(1))) << m.captured(1).toStdString();
    }
    EXPECT_GE(pictures, 3);
    // A second time, the same window comes back.
    Trigger("menuContents");
    EXPECT_EQ(window->findChildren<HelpWindow*>().size(), 1);
}

// ---- Delete ----------------------------------------------------------------------------------------------

class DeleteTest : public MainWindowTest {
  protected:
    void SetUp() override {
        // The trash of this test's own data folder.
        previousDataHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(QString::fromStdString((t.dir / "data").string())));
        MainWindowTest::SetUp();
        file = QString::fromStdString((t.dir / "old.pbn").string());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Board \"1\"]\n");
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        qputenv("XDG_DATA_HOME", previousDataHome_);
    }
    QString file;

  private:
    QByteArray previousDataHome_;
};

TEST_F(DeleteTest, CancelledOrAnsweredNoKeepsTheFile) {
    Trigger("menuDelete"); // file dialog cancelled
    ASSERT_EQ(t.dialogs.fileRequests.size(), 1U);
    EXPECT_FALSE(t.dialogs.fileRequests[0].save);
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_EQ(window->statusText(), "Ready");

    t.dialogs.QueueFile(file.toStdString());
    t.dialogs.QueueAnswer(Answer::No);
    Trigger("menuDelete");
    ASSERT_EQ(t.dialogs.messages.size(), 1U);
    EXPECT_EQ(t.dialogs.Last().buttons, Buttons::YesNo);
    EXPECT_NE(t.dialogs.Last().text.find(file.toStdString()), std::string::npos);
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(window->statusText(), "Ready");
}

TEST_F(DeleteTest, AnsweredYesMovesTheFileToTheTrash) {
    t.dialogs.QueueFile(file.toStdString());
    t.dialogs.QueueAnswer(Answer::Yes);
    Trigger("menuDelete");
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(t.dialogs.messages.size(), 1U) << "the question only";
    EXPECT_EQ(window->statusText(), "Moved " + file + " to the trash");
}

TEST_F(DeleteTest, FileTheTrashCannotTakeIsRefusedPlainly) {
    const QString missing = file + ".gone";
    t.dialogs.QueueFile(missing.toStdString());
    t.dialogs.QueueAnswer(Answer::Yes);
    Trigger("menuDelete");
    ASSERT_EQ(t.dialogs.messages.size(), 2U);
    EXPECT_EQ(t.dialogs.Last().icon, Icon::Critical);
    EXPECT_EQ(t.dialogs.Last().buttons, Buttons::Ok);
    EXPECT_NE(t.dialogs.Last().text.find("could not be moved to the trash"), std::string::npos);
    EXPECT_TRUE(window->statusText().contains("could not be moved to the trash"));
    EXPECT_TRUE(QFile::exists(file));
}

// ---- Print -----------------------------------------------------------------------------------------------

TEST_F(MainWindowTest, StatusLineSaysWherePrintedPagesWent) {
    if (ProgramPrinter().outputFormat() != QPrinter::PdfFormat) GTEST_SKIP() << "this computer has a printer";
    *t.set = orvenix::test::SampleSet(1, 4);
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
