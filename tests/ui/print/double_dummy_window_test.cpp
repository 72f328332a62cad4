// The printing window's double-dummy option: its setting, the note when a layout has no room, and hand
// records printed with the analysis.
#include "support/sample_deals.h"
#include "ui/print/print_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace orvenix {
namespace {

class DoubleDummyWindowTest : public ::testing::Test {
  protected:
    DoubleDummyWindowTest()
        : log(dir.filePath("dealer.log").toStdString()), ctx{set, dialogs, settings, log} {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf());
        printer.setPageSize(QPageSize(QPageSize::A4));
        set[1] = test::VoidBoard(1); // every hand one whole suit: 7S by North-South, +1510
    }
    QString pdf() const { return dir.filePath("out.pdf"); }
    void Open() {
        window = std::make_unique<PrintWindow>(ctx, printer);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    template <class T> T* Get(const char* name) {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Tick(const char* name) {
        QAbstractButton* b = Get<QAbstractButton>(name);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    // Print, answering the file dialog of PDF output.
    void ClickPrint() {
        dialogs.QueueFile(pdf().toStdString());
        QTest::mouseClick(Get<QPushButton>("cmdPrint"), Qt::LeftButton);
    }
    QString PdfText() {
        QProcess p;
        p.start("pdftotext", {"-layout", pdf(), "-"});
        EXPECT_TRUE(p.waitForFinished(30000));
        return QString::fromUtf8(p.readAllStandardOutput()).simplified();
    }

    QTemporaryDir dir;
    BoardSet set = test::SampleSet(1, 8, "Tuesday Evening Pairs");
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log;
    AppContext ctx;
    QPrinter printer{QPrinter::HighResolution};
    std::unique_ptr<PrintWindow> window;
};

TEST_F(DoubleDummyWindowTest, CheckBoxKeepsItsSetting) {
    Open();
    QCheckBox* box = Get<QCheckBox>("chkDoubleDummy");
    EXPECT_EQ(box->text(), "Print double-dummy analysis");
    EXPECT_FALSE(box->isChecked()) << "off by default";
    Tick("chkDoubleDummy");
    EXPECT_EQ(settings.values["PrintDoubleDummy"], "1");
    Tick("chkDoubleDummy");
    EXPECT_EQ(settings.values["PrintDoubleDummy"], "0");

    settings.values["PrintDoubleDummy"] = "1";
    Open();
    EXPECT_TRUE(Get<QCheckBox>("chkDoubleDummy")->isChecked());
    Tick("PrintMode2");
    EXPECT_FALSE(Get<QCheckBox>("chkDoubleDummy")->isEnabled()) << "score cards carry no analysis";
}

TEST_F(DoubleDummyWindowTest, NoteWhenTheLayoutHasNoRoom) {
    settings.values["PrintDoubleDummy"] = "1";
    Open();
    QLabel* note = Get<QLabel>("lblDoubleDummyNote");
    EXPECT_FALSE(note->isVisibleTo(window.get())) << "8 per page has room";
    Tick("Option5"); // 18 per page: three columns of six rows leave no corner big enough
    EXPECT_TRUE(note->isVisibleTo(window.get()));
    EXPECT_TRUE(note->text().startsWith("No room for the double-dummy analysis at 18 boards per page"));
    Tick("Option1");
    EXPECT_FALSE(note->isVisibleTo(window.get()));
    Tick("Option5");
    Tick("chkDoubleDummy");
    EXPECT_FALSE(note->isVisibleTo(window.get())) << "no note without the analysis";
}

TEST_F(DoubleDummyWindowTest, PrintsTheAnalysisWithTheHandRecords) {
    settings.values["PrintDoubleDummy"] = "1";
    Open();
    ClickPrint();
    EXPECT_TRUE(dialogs.messages.empty());
    const QString text = PdfText();
    EXPECT_EQ(text.count("Par:"), 8) << text.toStdString();
    EXPECT_TRUE(text.contains("Par: 7S NS")) << text.toStdString();
    EXPECT_TRUE(text.contains("NS +1510")) << text.toStdString();
    EXPECT_FALSE(window->printing());
    EXPECT_EQ(Get<QPushButton>("cmdPrint")->text(), "&Print");
    EXPECT_TRUE(Get<QPushButton>("cmdPrint")->isEnabled());
}

TEST_F(DoubleDummyWindowTest, WithoutTheOptionNothingIsAdded) {
    Open();
    ClickPrint();
    EXPECT_FALSE(PdfText().contains("Par:"));
}

} // namespace
} // namespace orvenix
