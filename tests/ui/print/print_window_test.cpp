// The printing window driven through its controls: settings and enabling, the range check, printing to
// PDF with progress, the file question and failures, red suits, the double-dummy option and the printer
// set-up.
#include "support/sample_deals.h"
#include "support/window_test.h"
#include "ui/print/print_window.h"
#include "ui/print/printer_setup.h"

#include <QComboBox>
#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>

namespace orvenix::test {
namespace {

QByteArray Tool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(30000) ? p.readAllStandardOutput() : QByteArray();
}

// Pages of a PDF file: pdftotext ends each with a form feed.
qsizetype Pages(const QString& pdf) {
    return Tool("pdftotext", {pdf, "-"}).count('\f');
}

// Pixels of the first page that are clearly red, from the page drawn small by pdftoppm.
int RedPixels(const QString& pdf) {
    const QImage page = QImage::fromData(Tool("pdftoppm", {"-r", "40", "-f", "1", "-l", "1", "-png", pdf}));
    int red = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            red += page.pixelColor(x, y).red() > 150 && page.pixelColor(x, y).green() < 100 ? 1 : 0;
    return red;
}

class PrintWindowTest : public ::testing::Test {
  protected:
    PrintWindowTest() {
        *t.set = SampleSet(1, 20, "Tuesday Evening Pairs");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }
    void Open() {
        window = std::make_unique<PrintWindow>(t.ctx, printer);
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    template <class T = QLineEdit> T* Get(const char* name) { return Child<T>(window.get(), name); }
    void SetBox(const char* name, const QString& text) {
        Get(name)->clear();
        QTest::keyClicks(Get(name), text);
    }
    // Option buttons and check boxes take clicks on their mark and caption only, at the left.
    void Tick(const char* name) {
        auto* b = Get<QAbstractButton>(name);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    void Click(const char* name) { QTest::mouseClick(Get<QPushButton>(name), Qt::LeftButton); }
    void PrintTo(const QString& path) {
        t.dialogs.QueueFile(path.toStdString());
        Click("cmdPrint");
    }
    TestContext t;
    QPrinter printer{QPrinter::HighResolution};
    std::unique_ptr<PrintWindow> window;
    const QString pdf = QString::fromStdString((t.dir / "out.pdf").string());
};

// Enabled or not: the boards-per-page frame, red suits, double dummy, boards on the cards, pair offset.
const QString kModeControls = "frameBoardsPerPage chkRedSuits chkDoubleDummy chkPrintBoards txtNSoffset";

TEST_F(PrintWindowTest, StoredSettingsChooseTheOptionsAndClicksSaveThemAndSwitchTheEnabling) {
    const QString name = QString("Sj\u00f8 ").repeated(40);
    t.set->eventName = name.toStdString();
    const char* keys[] = {"PrintPerPage", "PrintMode", "PrintScoreCardMode", "PrintRedSuits",
                          "PrintDoubleDummy"};
    // The stored values (nullptr: none); the boards per page chosen; ticked or not: score cards, pair
    // numbers, boards on the cards, red suits, double dummy; and the enabling of the mode controls.
    const std::tuple<std::array<const char*, 5>, const char*, std::string, std::string> cases[] = {
        {{}, "Option1", "00110", "11100"},
        {{"3", "1", "1", "0", "1"}, "Option4", "11001", "00011"},
        {{"7", "x", "9", "x", nullptr}, "Option1", "00110", "11100"}};
    for (const auto& [stored, perPage, ticked, enabled] : cases) {
        t.settings.values.clear();
        for (std::size_t k = 0; k < 5; ++k)
            if (stored[k] != nullptr) t.settings.values[keys[k]] = stored[k];
        const auto before = t.settings.values; // opening the window writes no setting
        Open();
        std::string ticks;
        for (const char* box :
             {"PrintMode2", "chkPrintNS", "chkPrintBoards", "chkRedSuits", "chkDoubleDummy"})
            ticks += Get<QAbstractButton>(box)->isChecked() ? '1' : '0';
        EXPECT_EQ(std::tuple(Get<QRadioButton>(perPage)->isChecked(), ticks,
                             EnabledFlags(window.get(), kModeControls), t.settings.values),
                  std::tuple(true, ticked, enabled, before));
    }
    EXPECT_EQ(BoxTexts(window.get(), "txtFromBoard txtToBoard txtCopies"), "1|20|1");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Get("txtCopies")->hasFocus(); }, 2000));
    const QString shown = Get("txtEventName")->text(); // cut to the page, the set keeps its own name
    EXPECT_TRUE(shown.size() > 20 && name.startsWith(shown) && shown != name);
    // The control clicked, the setting and the value it writes, and the enabling of the mode controls.
    const std::tuple<const char*, const char*, const char*, const char*> clicks[] = {
        {"Option3", "PrintPerPage", "2", "11100"},
        {"Option5", "PrintPerPage", "4", "11100"},
        {"chkRedSuits", "PrintRedSuits", "0", "11100"},
        {"chkDoubleDummy", "PrintDoubleDummy", "1", "11100"},
        {"PrintMode2", "PrintMode", "1", "00010"},
        {"chkPrintNS", "PrintScoreCardMode", "3", "00011"},
        {"chkPrintBoards", "PrintScoreCardMode", "1", "00011"},
        {"chkPrintNS", "PrintScoreCardMode", "0", "00010"},
        {"PrintMode1", "PrintMode", "0", "11100"}};
    for (const auto& [control, key, value, enabled] : clicks) {
        Tick(control);
        EXPECT_EQ(std::pair(t.settings.values[key], EnabledFlags(window.get(), kModeControls)),
                  std::pair(std::string(value), std::string(enabled)))
            << control;
    }
    Get("txtCopies")->setFocus();
    SetBox("txtCopies", ""); // an emptied box becomes 1 when it loses the focus
    Get("txtFromBoard")->setFocus();
    EXPECT_EQ(Get("txtCopies")->text(), "1");
}

TEST_F(PrintWindowTest, PrintsWithProgressAndCannotBeClosedMeanwhileAndTheBoxesChooseWhatIsPrinted) {
    (*t.set)[1] = VoidBoard(1); // every hand one whole suit: 7S by North-South
    Open();
    Tick("Option4"); // 16 per page
    SetBox("txtToBoard", "17");
    SetBox("txtCopies", "2");
    const QSize size = window->size();
    std::vector<int> values;
    bool busy = true;
    auto* bar = Get<QProgressBar>("Printing_progress");
    const auto watch = QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
        values.push_back(v);
        if (v == 0) return;
        busy &= EnabledFlags(window.get(), "cmdPrint cmdExit cmdPrinterSetup") == "000" &&
                bar->isVisibleTo(window.get());
        window->close();
        window->reject();
        busy &= window->isVisible();
    });
    PrintTo(pdf);
    EXPECT_EQ(std::tuple(Pages(pdf), values, busy), std::tuple(4, std::vector<int>{50, 100, 0}, true));
    EXPECT_GT(RedPixels(pdf), 0);
    EXPECT_EQ(
        std::tuple(Get<QPushButton>("cmdExit")->isEnabled(), bar->isVisibleTo(window.get()), window->size()),
        std::tuple(true, false, size));

    // The analysis on request, then neither analysis nor red suits.
    QObject::disconnect(watch);
    Tick("Option1");
    Tick("chkDoubleDummy");
    SetBox("txtToBoard", "8");
    SetBox("txtCopies", "1");
    PrintTo(pdf);
    const QString text = QString::fromUtf8(Tool("pdftotext", {"-layout", pdf, "-"})).simplified();
    EXPECT_EQ(text.count("Par:"), 8);
    EXPECT_EQ(text.count("Par: 7S NS"), 1);
    Tick("Option5"); // 18 per page leaves no room for the analysis: a note says so
    EXPECT_TRUE(Get<QLabel>("lblDoubleDummyNote")->isVisibleTo(window.get()));
    Tick("chkDoubleDummy");
    EXPECT_FALSE(Get<QLabel>("lblDoubleDummyNote")->isVisibleTo(window.get()));
    Tick("Option1");
    Tick("chkRedSuits");
    PrintTo(pdf);
    EXPECT_EQ(RedPixels(pdf), 0);
    EXPECT_FALSE(Tool("pdftotext", {pdf, "-"}).contains("Par:"));
    Click("cmdExit");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PrintWindowTest, RefusesARangeOutsideTheSetAsksForTheFileBeforeReplacingOneAndReportsFailures) {
    *t.set = SampleSet(3, 20);
    Open();
    for (const auto& [from, to, focus] : {std::tuple{"2", "10", "txtFromBoard"}, {"3", "21", "txtToBoard"}}) {
        SetBox("txtFromBoard", from);
        SetBox("txtToBoard", to);
        Click("cmdPrint");
        EXPECT_TRUE(QTest::qWaitFor([&] { return Get(focus)->hasFocus(); }, 1000)) << focus;
    }
    EXPECT_EQ(std::pair(t.dialogs.messages.size(), t.dialogs.fileRequests.size()), std::pair(2ul, 0ul));
    SetBox("txtFromBoard", "4");
    SetBox("txtToBoard", "5");
    for (const char* mode : {"PrintMode1", "PrintMode2"}) {
        Tick(mode);
        Click("cmdPrint"); // file dialog cancelled
    }
    ASSERT_EQ(t.dialogs.fileRequests.size(), 2u);
    const FileDialogRequest& asked = t.dialogs.fileRequests[1];
    EXPECT_EQ(std::tuple(asked.save, asked.directory, t.dialogs.fileRequests[0].fileName, asked.fileName),
              std::tuple(true, "/home/club/sets", "tuesday - hand records.pdf", "tuesday - score cards.pdf"));
    PrintTo(QString::fromStdString((t.dir / "missing/folder/out.pdf").string())); // a printer that fails
    EXPECT_EQ(std::tuple(t.dialogs.messages.size(), window->lastDestination()), std::tuple(3ul, ""));

    const QString written = QString::fromStdString((t.dir / "tuesday").string()) + ".pdf";
    PrintTo(written.chopped(4)); // ".pdf" is added
    EXPECT_EQ(
        std::tuple(t.dialogs.messages.size(), t.statuses.back(), Pages(written)),
        std::tuple(3ul, "Score cards printed to " + written.toStdString(), 2)); // 4 on the right, 5 left
    WriteFile(written.toStdString(), "kept");
    t.dialogs.QueueAnswer(Answer::No); // asked again from the refused name, then cancelled
    PrintTo(written);
    EXPECT_EQ(std::tuple(t.dialogs.Last().buttons, t.dialogs.fileRequests.size(),
                         t.dialogs.fileRequests.back().fileName, ReadFile(written.toStdString())),
              std::tuple(Buttons::YesNo, 6u, "tuesday.pdf", "kept"));
    t.dialogs.QueueAnswer(Answer::Yes);
    PrintTo(written);
    EXPECT_EQ(Pages(written), 2);
}

TEST_F(PrintWindowTest, PrinterSetupSetsPaperAndOrientationOnlyWhenConfirmed) {
    for (const bool confirm : {false, true}) {
        WhenModalOpens([confirm](QWidget* modal) {
            EXPECT_FALSE(Child<QComboBox>(modal, "cboDuplex")->isEnabled()) << "a PDF file has no sides";
            Child<QComboBox>(modal, "cboPaper")->setCurrentText(QPageSize::name(QPageSize::Letter));
            Child<QRadioButton>(modal, "optLandscape")->click();
            confirm ? qobject_cast<QDialog*>(modal)->accept() : qobject_cast<QDialog*>(modal)->reject();
        });
        EXPECT_EQ(RunPrinterSetup(printer, nullptr), confirm);
        EXPECT_EQ(std::pair(printer.pageLayout().pageSize().id(), printer.pageLayout().orientation()),
                  confirm ? std::pair(QPageSize::Letter, QPageLayout::Landscape)
                          : std::pair(QPageSize::A4, QPageLayout::Portrait));
    }
    // The window's button runs the set-up between its status words.
    Open();
    bool ran = false;
    window->setPrinterSetup(
        [&](QPrinter& p, QWidget* owner) { return ran = &p == &printer && owner == window.get(); });
    t.statuses.clear();
    Click("cmdPrinterSetup");
    EXPECT_TRUE(ran);
    EXPECT_EQ(t.statuses, (std::vector<std::string>{"Printer Setup", "Printing"}));
}

} // namespace
} // namespace orvenix::test
