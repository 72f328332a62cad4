// The printing window driven through its controls: fields, settings, enabling, number boxes, range
// messages, printing to PDF with progress, failures and the printer set-up.
#include "base/messages.h"
#include "support/sample_deals.h"
#include "ui/print/print_window.h"
#include "ui/print/printer_setup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvenix {
namespace {

using test::SampleSet;

int PdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QString data = QString::fromLatin1(f.readAll());
    return static_cast<int>(data.count(QRegularExpression("/Type\\s*/Page(?!s)")));
}

// Pixels of the first page that are clearly red, from the page drawn small by pdftoppm.
int RedPixels(const QString& pdf) {
    QProcess p;
    p.start("pdftoppm", {"-r", "40", "-f", "1", "-l", "1", "-png", pdf});
    if (!p.waitForFinished(30000)) return -1;
    QImage page;
    if (!page.loadFromData(p.readAllStandardOutput(), "PNG")) return -1;
    int red = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 100 && c.blue() < 100) ++red;
        }
    }
    return red;
}

class PrintWindowTest : public ::testing::Test {
  protected:
    PrintWindowTest() : log(dir.filePath("dealer.log").toStdString()), ctx{set, dialogs, settings, log} {
        ctx.status = [this](const std::string& s) { statuses.push_back(s); };
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf());
    }

    QString pdf() const { return dir.filePath("out.pdf"); }

    PrintWindow& Open() {
        window = std::make_unique<PrintWindow>(ctx, printer);
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }
    template <class T> T* Get(const char* name) {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* Box(const char* name) { return Get<QLineEdit>(name); }
    void SetBox(const char* name, const QString& text) {
        QLineEdit* box = Box(name);
        box->selectAll();
        box->del();
        QTest::keyClicks(box, text);
    }
    // Option buttons and check boxes take clicks on their mark and caption only, at the left.
    void Tick(const char* name) {
        QAbstractButton* b = Get<QAbstractButton>(name);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    // Print, answering the file dialog of PDF output with path.
    void PrintTo(const QString& path) {
        dialogs.QueueFile(path.toStdString());
        QTest::mouseClick(Get<QPushButton>("cmdPrint"), Qt::LeftButton);
    }
    void ClickPrint() { PrintTo(pdf()); }

    QTemporaryDir dir;
    BoardSet set = SampleSet(1, 20, "Tuesday Evening Pairs");
    ScriptedDialogs dialogs;
    MemorySettings settings;
    ActivityLog log;
    AppContext ctx;
    QPrinter printer{QPrinter::HighResolution};
    std::vector<std::string> statuses;
    std::unique_ptr<PrintWindow> window;
};

TEST_F(PrintWindowTest, OpensWithTheSetAndDefaults) {
    PrintWindow& w = Open();
    EXPECT_EQ(w.windowTitle(), "Printing");
    EXPECT_EQ(Box("txtFileName")->text(), "/home/club/sets/tuesday.pbn");
    EXPECT_TRUE(Box("txtFileName")->isReadOnly());
    EXPECT_EQ(Box("txtEventName")->text(), "Tuesday Evening Pairs");
    EXPECT_EQ(Box("txtFirstBoard")->text(), "1");
    EXPECT_EQ(Box("txtLastBoard")->text(), "20");
    EXPECT_TRUE(Box("txtFirstBoard")->isReadOnly());
    EXPECT_TRUE(Box("txtLastBoard")->isReadOnly());
    EXPECT_EQ(Box("txtFromBoard")->text(), "1");
    EXPECT_EQ(Box("txtToBoard")->text(), "20");
    EXPECT_EQ(Box("txtCopies")->text(), "1");
    EXPECT_EQ(Box("txtNSoffset")->text(), "1");
    // Defaults: 8 per page, hand records, "Print Boards" only.
    EXPECT_TRUE(Get<QRadioButton>("Option1")->isChecked());
    EXPECT_TRUE(Get<QRadioButton>("PrintMode1")->isChecked());
    EXPECT_TRUE(Get<QCheckBox>("chkPrintBoards")->isChecked());
    EXPECT_FALSE(Get<QCheckBox>("chkPrintNS")->isChecked());
    EXPECT_TRUE(Get<QGroupBox>("frameBoardsPerPage")->isEnabled());
    EXPECT_FALSE(Get<QGroupBox>("frameNSPairNumber")->isEnabled());
    EXPECT_FALSE(Get<QLabel>("lblOffset")->isEnabled());
    EXPECT_FALSE(Box("txtNSoffset")->isEnabled());
    EXPECT_EQ(Get<QGroupBox>("frameBoardsPerPage")->title(), "Boards Per Page:");
    EXPECT_EQ(Get<QGroupBox>("frameNSPairNumber")->title(), "Score Cards settings:");
    EXPECT_EQ(Get<QRadioButton>("Option5")->text(), "18");
    EXPECT_EQ(Get<QPushButton>("cmdPrint")->text(), "&Print");
    EXPECT_EQ(Get<QPushButton>("cmdExit")->text(), "E&xit");
    EXPECT_EQ(Get<QLabel>("lblPrinting")->text(), "Printing....");

    EXPECT_TRUE(QTest::qWaitFor([&] { return Box("txtCopies")->hasFocus(); }, 2000));
    EXPECT_EQ(Box("txtCopies")->cursorPosition(), 1);
    EXPECT_FALSE(Get<QLabel>("lblPrinting")->isVisible());
    EXPECT_FALSE(Get<QProgressBar>("Printing_progress")->isVisible());
    EXPECT_TRUE(settings.values.empty()) << "opening the window writes no setting";
}

TEST_F(PrintWindowTest, StoredSettingsChooseOptionsAndEnabling) {
    settings.values = {{"PrintPerPage", "3"}, {"PrintMode", "1"}, {"PrintScoreCardMode", "1"}};
    Open();
    EXPECT_TRUE(Get<QRadioButton>("Option4")->isChecked());
    EXPECT_TRUE(Get<QRadioButton>("PrintMode2")->isChecked());
    EXPECT_TRUE(Get<QCheckBox>("chkPrintNS")->isChecked());
    EXPECT_FALSE(Get<QCheckBox>("chkPrintBoards")->isChecked());
    EXPECT_FALSE(Get<QGroupBox>("frameBoardsPerPage")->isEnabled());
    EXPECT_FALSE(Get<QRadioButton>("Option4")->isEnabled());
    EXPECT_TRUE(Get<QCheckBox>("chkPrintBoards")->isEnabled());
    EXPECT_TRUE(Get<QLabel>("lblOffset")->isEnabled());
    EXPECT_TRUE(Box("txtNSoffset")->isEnabled());
}

TEST_F(PrintWindowTest, UnreadableSettingsFallBackToDefaults) {
    settings.values = {{"PrintPerPage", "7"}, {"PrintMode", "x"}, {"PrintScoreCardMode", "9"}};
    Open();
    EXPECT_TRUE(Get<QRadioButton>("Option1")->isChecked());
    EXPECT_TRUE(Get<QRadioButton>("PrintMode1")->isChecked());
    EXPECT_TRUE(Get<QCheckBox>("chkPrintBoards")->isChecked());
    EXPECT_FALSE(Get<QCheckBox>("chkPrintNS")->isChecked());
}

TEST_F(PrintWindowTest, ClicksSaveTheChoicesAndSwitchEnabling) {
    Open();
    Tick("Option3");
    EXPECT_EQ(settings.values["PrintPerPage"], "2");
    Tick("Option5");
    EXPECT_EQ(settings.values["PrintPerPage"], "4");

    Tick("PrintMode2");
    EXPECT_EQ(settings.values["PrintMode"], "1");
    EXPECT_FALSE(Get<QGroupBox>("frameBoardsPerPage")->isEnabled());
    EXPECT_TRUE(Get<QGroupBox>("frameNSPairNumber")->isEnabled());
    EXPECT_FALSE(Box("txtNSoffset")->isEnabled()) << "pair numbers are off";

    Tick("chkPrintNS");
    EXPECT_EQ(settings.values["PrintScoreCardMode"], "3");
    EXPECT_TRUE(Box("txtNSoffset")->isEnabled());
    EXPECT_TRUE(Get<QLabel>("lblOffset")->isEnabled());
    Tick("chkPrintBoards");
    EXPECT_EQ(settings.values["PrintScoreCardMode"], "1");
    Tick("chkPrintNS");
    EXPECT_EQ(settings.values["PrintScoreCardMode"], "0");
    EXPECT_FALSE(Box("txtNSoffset")->isEnabled());

    Tick("PrintMode1");
    EXPECT_EQ(settings.values["PrintMode"], "0");
    EXPECT_TRUE(Get<QRadioButton>("Option5")->isEnabled());
    EXPECT_FALSE(Get<QCheckBox>("chkPrintBoards")->isEnabled());
}

TEST_F(PrintWindowTest, NumberBoxesKeepTheirRules) {
    Open();
    Tick("PrintMode2");
    Tick("chkPrintNS");
    SetBox("txtCopies", "99");
    EXPECT_EQ(Box("txtCopies")->text(), "99");
    SetBox("txtCopies", "100");
    EXPECT_EQ(Box("txtCopies")->text(), "10");
    EXPECT_EQ(Box("txtCopies")->cursorPosition(), 2) << "the caret steps back one place";
    SetBox("txtCopies", "4x2");
    EXPECT_EQ(Box("txtCopies")->text(), "42");
    SetBox("txtCopies", "07");
    EXPECT_EQ(Box("txtCopies")->text(), "7") << "no leading zero";
    SetBox("txtFromBoard", "1000");
    EXPECT_EQ(Box("txtFromBoard")->text(), "100");
    SetBox("txtToBoard", "999");
    EXPECT_EQ(Box("txtToBoard")->text(), "999");
    SetBox("txtNSoffset", "-5");
    EXPECT_EQ(Box("txtNSoffset")->text(), "5");
}

TEST_F(PrintWindowTest, EmptyBoxBecomesOneWhenItLosesTheFocus) {
    Open();
    QLineEdit* copies = Box("txtCopies");
    copies->setFocus();
    SetBox("txtCopies", "");
    EXPECT_EQ(copies->text(), "");
    Box("txtFromBoard")->setFocus();
    EXPECT_EQ(copies->text(), "1");
    SetBox("txtFromBoard", "");
    Box("txtToBoard")->setFocus();
    EXPECT_EQ(Box("txtFromBoard")->text(), "1");
}

struct RangeCase {
    const char* from;
    const char* to;
    MessageKey key;
    const char* focus;
};

class PrintRangeTest : public PrintWindowTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(PrintRangeTest, RefusedBeforeAnythingIsPrinted) {
    set = SampleSet(3, 20);
    Open();
    SetBox("txtFromBoard", GetParam().from);
    SetBox("txtToBoard", GetParam().to);
    statuses.clear();
    ClickPrint();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, FormatMessage(GetParam().key));
    EXPECT_EQ(dialogs.Last().title, "Printing Parameter Error");
    EXPECT_EQ(dialogs.Last().icon, Icon::Critical);
    EXPECT_EQ(dialogs.Last().buttons, Buttons::Ok);
    EXPECT_EQ(statuses, (std::vector<std::string>{"Printing Parameter Error", "Printing"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Box(GetParam().focus)->hasFocus(); }, 1000));
    EXPECT_FALSE(QFile::exists(pdf()));
    EXPECT_TRUE(Get<QPushButton>("cmdPrint")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Messages, PrintRangeTest,
                         ::testing::Values(RangeCase{"2", "10", MsgFromBoardIncorrect, "txtFromBoard"},
                                           RangeCase{"21", "10", MsgFromBoardIncorrect, "txtFromBoard"},
                                           RangeCase{"3", "21", MsgToBoardIncorrect, "txtToBoard"},
                                           RangeCase{"3", "2", MsgToBoardIncorrect, "txtToBoard"},
                                           RangeCase{"10", "9", MsgToBelowFrom, "txtFromBoard"}));

TEST_F(PrintWindowTest, PrintsHandRecordsWithProgressAndBusyControls) {
    Open();
    Tick("Option4"); // 16 per page
    SetBox("txtToBoard", "17");
    SetBox("txtCopies", "2");
    std::vector<int> values;
    bool busyWhilePrinting = true;
    QProgressBar* bar = Get<QProgressBar>("Printing_progress");
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
        values.push_back(v);
        if (v > 0) {
            busyWhilePrinting &=
                !Get<QPushButton>("cmdPrint")->isEnabled() && !Get<QPushButton>("cmdExit")->isEnabled() &&
                !Get<QPushButton>("cmdPrinterSetup")->isEnabled() && bar->isVisibleTo(window.get()) &&
                Get<QLabel>("lblPrinting")->isVisibleTo(window.get()) && window->printing();
        }
    });
    ClickPrint();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(PdfPages(pdf()), 4) << "two copies of two pages in one file";
    EXPECT_EQ(values, (std::vector<int>{50, 100, 0}));
    EXPECT_TRUE(busyWhilePrinting);
    EXPECT_TRUE(Get<QPushButton>("cmdPrint")->isEnabled());
    EXPECT_TRUE(Get<QPushButton>("cmdExit")->isEnabled());
    EXPECT_FALSE(bar->isVisibleTo(window.get()));
    EXPECT_FALSE(window->printing());
    EXPECT_EQ(set.currentBoard, 1) << "hand records leave the current board alone";
}

TEST_F(PrintWindowTest, PrintsScoreCardsAndMovesTheCurrentBoard) {
    Open();
    Tick("PrintMode2");
    SetBox("txtFromBoard", "2");
    SetBox("txtToBoard", "3");
    ClickPrint();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(PdfPages(pdf()), 2);
    EXPECT_EQ(set.currentBoard, 4);
}

TEST_F(PrintWindowTest, LongEventNameIsCutForThePageOnly) {
    std::string name;
    for (int i = 0; i < 40; ++i)
        name += "Sj\xC3\xB8 ";
    set.eventName = name;
    Open();
    const QString shown = Box("txtEventName")->text();
    EXPECT_LT(shown.size(), QString::fromStdString(name).size());
    EXPECT_GT(shown.size(), 20);
    EXPECT_TRUE(QString::fromStdString(name).startsWith(shown));
    EXPECT_EQ(set.eventName, name) << "the set keeps its own name";
}

TEST_F(PrintWindowTest, FailingPrinterIsReportedAndTheWindowStaysUsable) {
    Open();
    PrintTo(dir.filePath("missing/folder/out.pdf"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().title, "Printing Error");
    EXPECT_EQ(dialogs.Last().icon, Icon::Critical);
    EXPECT_NE(dialogs.Last().text.find("could not be printed"), std::string::npos);
    EXPECT_TRUE(Get<QPushButton>("cmdPrint")->isEnabled());
    EXPECT_TRUE(Get<QPushButton>("cmdExit")->isEnabled());
    EXPECT_FALSE(window->printing());
    EXPECT_FALSE(Get<QProgressBar>("Printing_progress")->isVisibleTo(window.get()));

    // Fixed, the next print goes through.
    SetBox("txtToBoard", "8");
    ClickPrint();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(PdfPages(pdf()), 1);
}

struct AskCase {
    const char* mode;       // the stored print mode: 0 hand records, 1 score cards
    const char* suggestion; // the file name offered beside the set
};

class PrintFileTest : public PrintWindowTest, public ::testing::WithParamInterface<AskCase> {};

TEST_P(PrintFileTest, EveryPrintAsksForTheFileAndBeforeReplacingOne) {
    settings.values["PrintMode"] = GetParam().mode;
    Open();
    SetBox("txtToBoard", "3");
    const QString file = dir.filePath("tuesday");
    const QString written = file + ".pdf";

    // First print: the name offered beside the set; ".pdf" is added.
    PrintTo(file);
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_TRUE(dialogs.fileRequests[0].save);
    EXPECT_FALSE(dialogs.fileRequests[0].confirmReplace) << "the window asks itself, once";
    EXPECT_EQ(dialogs.fileRequests[0].directory, "/home/club/sets");
    EXPECT_EQ(dialogs.fileRequests[0].fileName, GetParam().suggestion);
    EXPECT_EQ(dialogs.fileRequests[0].filters, (std::vector<std::string>{"PDF files (*.pdf)"}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_GE(PdfPages(written), 1);
    ASSERT_FALSE(statuses.empty());
    EXPECT_NE(statuses.back().find(" printed to " + written.toStdString()), std::string::npos)
        << statuses.back();
    EXPECT_EQ(window->lastDestination(), statuses.back());

    // Second print to the same file, answered No: asked again from the refused name, then cancelled.
    {
        QFile old(written);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("kept");
    }
    dialogs.QueueAnswer(Answer::No);
    PrintTo(written);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().buttons, Buttons::YesNo);
    EXPECT_EQ(dialogs.Last().icon, Icon::Question);
    EXPECT_NE(dialogs.Last().text.find(written.toStdString()), std::string::npos);
    ASSERT_EQ(dialogs.fileRequests.size(), 3u);
    EXPECT_EQ(dialogs.fileRequests[2].fileName, "tuesday.pdf");
    QFile kept(written);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "kept");
    kept.close();
    EXPECT_TRUE(Get<QPushButton>("cmdPrint")->isEnabled());

    // Third print, answered Yes: the file is replaced.
    dialogs.QueueAnswer(Answer::Yes);
    PrintTo(written);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_GE(PdfPages(written), 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, PrintFileTest,
                         ::testing::Values(AskCase{"0", "tuesday - hand records.pdf"},
                                           AskCase{"1", "tuesday - score cards.pdf"}));

struct RedSuitsCase {
    const char* stored; // the setting before the window opens; nullptr: none
    bool ticked;        // the box when the window opens
};

class RedSuitsTest : public PrintWindowTest, public ::testing::WithParamInterface<RedSuitsCase> {};

TEST_P(RedSuitsTest, TheSettingChoosesRedOrBlackHeartsAndDiamonds) {
    if (GetParam().stored != nullptr) settings.values["PrintRedSuits"] = GetParam().stored;
    Open();
    QCheckBox* red = Get<QCheckBox>("chkRedSuits");
    EXPECT_EQ(red->isChecked(), GetParam().ticked);
    SetBox("txtToBoard", "8");
    ClickPrint();
    if (GetParam().ticked) {
        EXPECT_GT(RedPixels(pdf()), 0);
    } else {
        EXPECT_EQ(RedPixels(pdf()), 0);
    }

    // A click turns it the other way, is kept, and decides the next print.
    Tick("chkRedSuits");
    EXPECT_EQ(settings.values["PrintRedSuits"], GetParam().ticked ? "0" : "1");
    ClickPrint();
    if (GetParam().ticked) {
        EXPECT_EQ(RedPixels(pdf()), 0);
    } else {
        EXPECT_GT(RedPixels(pdf()), 0);
    }

    // Score cards have no suits to colour.
    Tick("PrintMode2");
    EXPECT_FALSE(red->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Settings, RedSuitsTest,
                         ::testing::Values(RedSuitsCase{nullptr, true}, RedSuitsCase{"1", true},
                                           RedSuitsCase{"0", false}, RedSuitsCase{"x", true}));

TEST_F(PrintWindowTest, CancelledFileDialogPrintsNothing) {
    Open();
    QTest::mouseClick(Get<QPushButton>("cmdPrint"), Qt::LeftButton); // no file given: cancelled
    EXPECT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(window->lastDestination().empty());
    EXPECT_FALSE(QFile::exists(pdf()));
    EXPECT_TRUE(Get<QPushButton>("cmdPrint")->isEnabled());
}

TEST_F(PrintWindowTest, WindowKeepsItsSizeWhenPrinting) {
    Open();
    SetBox("txtToBoard", "8");
    QApplication::processEvents();
    const QSize before = window->size();
    const int frameHeight = Get<QGroupBox>("frameBoardsPerPage")->height();
    ClickPrint();
    ASSERT_GE(PdfPages(pdf()), 1);
    QApplication::processEvents();
    EXPECT_EQ(window->size(), before);
    EXPECT_EQ(Get<QGroupBox>("frameBoardsPerPage")->height(), frameHeight);
}

TEST(ProgramPrinter, OneForTheRunWritingPdfWithoutPrinters) {
    QPrinter& first = ProgramPrinter();
    EXPECT_EQ(&first, &ProgramPrinter());
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        EXPECT_EQ(first.outputFormat(), QPrinter::PdfFormat);
    }
}

TEST_F(PrintWindowTest, WindowCannotBeClosedWhilePrinting) {
    PrintWindow& w = Open();
    SetBox("txtToBoard", "8");
    SetBox("txtCopies", "2");
    bool stayed = false;
    QObject::connect(Get<QProgressBar>("Printing_progress"), &QProgressBar::valueChanged, [&](int v) {
        if (v != 50) return;
        w.close();
        w.reject();
        stayed = w.isVisible();
    });
    ClickPrint();
    EXPECT_TRUE(stayed);
    EXPECT_EQ(PdfPages(pdf()), 2);
    QTest::mouseClick(Get<QPushButton>("cmdExit"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(PrintWindowTest, PrinterSetupShowsItsStatusWords) {
    Open();
    int calls = 0;
    window->setPrinterSetup([&](QPrinter& p, QWidget* owner) {
        ++calls;
        EXPECT_EQ(&p, &printer);
        EXPECT_EQ(owner, window.get());
        EXPECT_EQ(statuses.back(), "Printer Setup");
        return true;
    });
    statuses.clear();
    QTest::mouseClick(Get<QPushButton>("cmdPrinterSetup"), Qt::LeftButton);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(statuses, (std::vector<std::string>{"Printer Setup", "Printing"}));
}

TEST_F(PrintWindowTest, LandscapeFromTheSetupPrintsLandscape) {
    Open();
    window->setPrinterSetup([](QPrinter& p, QWidget*) {
        p.setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    QTest::mouseClick(Get<QPushButton>("cmdPrinterSetup"), Qt::LeftButton);
    SetBox("txtToBoard", "8");
    ClickPrint();
    QFile f(pdf());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch box =
        QRegularExpression("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]").match(QString::fromLatin1(f.readAll()));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_GT(box.captured(1).toDouble(), box.captured(2).toDouble());
}

// Answers the printer set-up dialog: chooses landscape on Letter paper, then presses OK or Cancel.
void AnswerSetup(bool confirm, bool& sawDialog) {
    QTimer::singleShot(50, [confirm, &sawDialog] {
        auto* d = qobject_cast<PrinterSetupDialog*>(QApplication::activeModalWidget());
        if (d == nullptr) return;
        sawDialog = true;
        auto* paper = d->findChild<QComboBox*>("cboPaper");
        auto* landscape = d->findChild<QRadioButton*>("optLandscape");
        auto* printers = d->findChild<QComboBox*>("cboPrinter");
        auto* duplex = d->findChild<QComboBox*>("cboDuplex");
        EXPECT_TRUE(paper && landscape && printers && duplex);
        if (!paper || !landscape || !printers || !duplex) return d->reject();
        EXPECT_EQ(printers->currentText(), "PDF file");
        EXPECT_FALSE(duplex->isEnabled()) << "a PDF file has no sides to choose";
        EXPECT_EQ(d->findChild<QSpinBox*>(), nullptr) << "copies are the printing window's";
        paper->setCurrentIndex(paper->findText(QPageSize::name(QPageSize::Letter)));
        landscape->click();
        confirm ? d->accept() : d->reject();
    });
}

TEST_F(PrintWindowTest, PrinterSetupSetsPaperAndOrientationOnlyWhenConfirmed) {
    for (const bool confirm : {false, true}) {
        printer.setCopyCount(1);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
        bool sawDialog = false;
        AnswerSetup(confirm, sawDialog);
        EXPECT_EQ(RunPrinterSetup(printer, nullptr), confirm);
        EXPECT_TRUE(sawDialog);
        EXPECT_EQ(printer.pageLayout().pageSize().id(), confirm ? QPageSize::Letter : QPageSize::A4);
        EXPECT_EQ(printer.pageLayout().orientation(),
                  confirm ? QPageLayout::Landscape : QPageLayout::Portrait);
        EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
        EXPECT_EQ(printer.copyCount(), 1);
    }
}

} // namespace
} // namespace orvenix
