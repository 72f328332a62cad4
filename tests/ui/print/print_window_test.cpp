// The printing window driven through its controls: settings and enabling, the range check, printing to
// PDF with progress, failures, the file question, red suits, the double-dummy option and the printer set-up.
#include "support/sample_deals.h"
#include "support/window_test.h"
#include "ui/print/print_window.h"
#include "ui/print/printer_setup.h"

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>

namespace orvenix::test {
namespace {

QByteArray Tool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(30000) ? p.readAllStandardOutput() : QByteArray();
}

int PdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    return static_cast<int>(
        QString::fromLatin1(f.readAll()).count(QRegularExpression("/Type\\s*/Page(?!s)")));
}

// Pixels of the first page that are clearly red, from the page drawn small by pdftoppm.
int RedPixels(const QString& pdf) {
    QImage page;
    if (!page.loadFromData(Tool("pdftoppm", {"-r", "40", "-f", "1", "-l", "1", "-png", pdf}), "PNG"))
        return -1;
    int red = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            red += c.red() > 150 && c.green() < 100 && c.blue() < 100 ? 1 : 0;
        }
    }
    return red;
}

class PrintWindowTest : public ::testing::Test {
  protected:
    PrintWindowTest() {
        *t.set = SampleSet(1, 20, "Tuesday Evening Pairs");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }
    QString pdf() const { return QString::fromStdString((t.dir / "out.pdf").string()); }
    PrintWindow& Open() {
        window = std::make_unique<PrintWindow>(t.ctx, printer);
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }
    template <class T = QLineEdit> T* Get(const char* name) { return Child<T>(window.get(), name); }
    void SetBox(const char* name, const QString& text) {
        Get(name)->selectAll();
        Get(name)->del();
        QTest::keyClicks(Get(name), text);
    }
    // Option buttons and check boxes take clicks on their mark and caption only, at the left.
    void Tick(const char* name) {
        auto* b = Get<QAbstractButton>(name);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    void PrintTo(const QString& path) {
        t.dialogs.QueueFile(path.toStdString());
        QTest::mouseClick(Get<QPushButton>("cmdPrint"), Qt::LeftButton);
    }
    TestContext t;
    QPrinter printer{QPrinter::HighResolution};
    std::unique_ptr<PrintWindow> window;
};

// Ticked ('1') or not, in order: score cards, pair numbers, boards on the cards, red suits, double dummy.
std::string Ticked(QWidget* window) {
    std::string ticked;
    for (const char* name : {"PrintMode2", "chkPrintNS", "chkPrintBoards", "chkRedSuits", "chkDoubleDummy"})
        ticked += Child<QAbstractButton>(window, name)->isChecked() ? '1' : '0';
    return ticked;
}

// Enabled or not: the boards-per-page frame, red suits, double dummy, boards on the cards, pair offset.
const QString kModeControls = "frameBoardsPerPage chkRedSuits chkDoubleDummy chkPrintBoards txtNSoffset";

TEST_F(PrintWindowTest, StoredSettingsChooseTheOptionsAndTheirEnabling) {
    const char* keys[] = {"PrintPerPage", "PrintMode", "PrintScoreCardMode", "PrintRedSuits",
                          "PrintDoubleDummy"};
    const struct {
        std::array<const char*, 5> stored; // nullptr: not stored
        const char* perPage;
        const char* ticked;
        const char* enabled;
    } cases[] = {{{}, "Option1", "00110", "11100"},
                 {{"3", "1", "1", "0", "1"}, "Option4", "11001", "00011"},
                 {{"7", "x", "9", "x", nullptr}, "Option1", "00110", "11100"}};
    for (const auto& c : cases) {
        t.settings.values.clear();
        for (std::size_t k = 0; k < 5; ++k)
            if (c.stored[k] != nullptr) t.settings.values[keys[k]] = c.stored[k];
        const auto stored = t.settings.values;
        Open();
        EXPECT_TRUE(Get<QRadioButton>(c.perPage)->isChecked()) << c.perPage;
        EXPECT_EQ(Ticked(window.get()), c.ticked);
        EXPECT_EQ(EnabledFlags(window.get(), kModeControls), c.enabled);
        EXPECT_EQ(t.settings.values, stored) << "opening the window writes no setting";
    }
    EXPECT_EQ(BoxTexts(window.get(), "txtFromBoard txtToBoard txtCopies"), "1|20|1");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Get("txtCopies")->hasFocus(); }, 2000));
    EXPECT_FALSE(Get<QProgressBar>("Printing_progress")->isVisible());
}

TEST_F(PrintWindowTest, ClicksSaveTheChoicesAndSwitchEnabling) {
    std::string name;
    for (int i = 0; i < 40; ++i)
        name += "Sj\xC3\xB8 ";
    t.set->eventName = name;
    Open();
    const QString shown = Get("txtEventName")->text(); // cut to the page, the set keeps its own name
    EXPECT_TRUE(shown.size() > 20 && QString::fromStdString(name).startsWith(shown) && shown != name.c_str());
    const struct {
        const char* control;
        const char* key;
        const char* value;
        const char* enabled;
    } clicks[] = {{"Option3", "PrintPerPage", "2", "11100"},
                  {"Option5", "PrintPerPage", "4", "11100"},
                  {"chkRedSuits", "PrintRedSuits", "0", "11100"},
                  {"chkDoubleDummy", "PrintDoubleDummy", "1", "11100"},
                  {"PrintMode2", "PrintMode", "1", "00010"},
                  {"chkPrintNS", "PrintScoreCardMode", "3", "00011"},
                  {"chkPrintBoards", "PrintScoreCardMode", "1", "00011"},
                  {"chkPrintNS", "PrintScoreCardMode", "0", "00010"},
                  {"PrintMode1", "PrintMode", "0", "11100"}};
    for (const auto& c : clicks) {
        Tick(c.control);
        EXPECT_EQ(t.settings.values[c.key], c.value) << c.control;
        EXPECT_EQ(EnabledFlags(window.get(), kModeControls), c.enabled) << c.control;
    }
    Get("txtCopies")->setFocus();
    SetBox("txtCopies", ""); // an emptied box becomes 1 when it loses the focus
    Get("txtFromBoard")->setFocus();
    EXPECT_EQ(Get("txtCopies")->text(), "1");
}

TEST_F(PrintWindowTest, RangeOutsideTheSetIsRefusedBeforeAnythingIsPrinted) {
    *t.set = SampleSet(3, 20);
    for (const auto& [from, to, focus] : {std::tuple{"2", "10", "txtFromBoard"}, {"3", "21", "txtToBoard"}}) {
        Open();
        t.dialogs.messages.clear();
        SetBox("txtFromBoard", from);
        SetBox("txtToBoard", to);
        PrintTo(pdf());
        ASSERT_EQ(t.dialogs.messages.size(), 1u);
        EXPECT_EQ(t.dialogs.Last().title, "Printing Parameter Error");
        EXPECT_TRUE(QTest::qWaitFor([&] { return Get(focus)->hasFocus(); }, 1000)) << focus;
        EXPECT_TRUE(t.dialogs.fileRequests.empty());
        EXPECT_TRUE(Get<QPushButton>("cmdPrint")->isEnabled());
    }
}

TEST_F(PrintWindowTest, PrintsWithProgressAndCannotBeClosedMeanwhile) {
    Open();
    Tick("Option4"); // 16 per page
    SetBox("txtToBoard", "17");
    SetBox("txtCopies", "2");
    const QSize size = window->size();
    std::vector<int> values;
    bool busy = true;
    auto* bar = Get<QProgressBar>("Printing_progress");
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
        values.push_back(v);
        if (v == 0) return;
        busy &= !Get<QPushButton>("cmdPrint")->isEnabled() && !Get<QPushButton>("cmdExit")->isEnabled() &&
                !Get<QPushButton>("cmdPrinterSetup")->isEnabled() && bar->isVisibleTo(window.get());
        window->close();
        window->reject();
        busy &= window->isVisible();
    });
    PrintTo(pdf());
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_EQ(PdfPages(pdf()), 4) << "two copies of two pages in one file";
    EXPECT_EQ(values, (std::vector<int>{50, 100, 0}));
    EXPECT_TRUE(busy);
    EXPECT_TRUE(Get<QPushButton>("cmdExit")->isEnabled());
    EXPECT_FALSE(bar->isVisibleTo(window.get()));
    EXPECT_EQ(window->size(), size);

    Tick("PrintMode2"); // score cards: one page a board
    SetBox("txtFromBoard", "2");
    SetBox("txtToBoard", "3");
    SetBox("txtCopies", "1");
    PrintTo(pdf());
    EXPECT_EQ(PdfPages(pdf()), 2);
    QTest::mouseClick(Get<QPushButton>("cmdExit"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PrintWindowTest, EveryPrintAsksForTheFileAndBeforeReplacingOneAndReportsFailures) {
    Open();
    SetBox("txtToBoard", "3");
    QTest::mouseClick(Get<QPushButton>("cmdPrint"), Qt::LeftButton); // file dialog cancelled
    ASSERT_EQ(t.dialogs.fileRequests.size(), 1u);
    EXPECT_TRUE(t.dialogs.fileRequests[0].save);
    EXPECT_EQ(t.dialogs.fileRequests[0].directory, "/home/club/sets");
    EXPECT_EQ(t.dialogs.fileRequests[0].fileName, "tuesday - hand records.pdf");
    EXPECT_FALSE(QFile::exists(pdf()));
    PrintTo(QString::fromStdString((t.dir / "missing/folder/out.pdf").string())); // a printer that fails
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_EQ(t.dialogs.Last().title, "Printing Error");
    EXPECT_TRUE(Get<QPushButton>("cmdPrint")->isEnabled() && window->lastDestination().empty());
    t.dialogs.messages.clear();

    const QString written = QString::fromStdString((t.dir / "tuesday").string()) + ".pdf";
    PrintTo(written.chopped(4)); // ".pdf" is added
    EXPECT_TRUE(t.dialogs.messages.empty());
    EXPECT_GE(PdfPages(written), 1);
    EXPECT_EQ(window->lastDestination(), "Hand records printed to " + written.toStdString());
    EXPECT_EQ(t.statuses.back(), window->lastDestination());

    WriteFile(written.toStdString(), "kept");
    t.dialogs.QueueAnswer(Answer::No); // asked again from the refused name, then cancelled
    PrintTo(written);
    ASSERT_EQ(t.dialogs.messages.size(), 1u);
    EXPECT_EQ(t.dialogs.Last().buttons, Buttons::YesNo);
    ASSERT_EQ(t.dialogs.fileRequests.size(), 5u);
    EXPECT_EQ(t.dialogs.fileRequests[4].fileName, "tuesday.pdf");
    EXPECT_EQ(ReadFile(written.toStdString()), "kept");
    t.dialogs.QueueAnswer(Answer::Yes);
    PrintTo(written);
    EXPECT_GE(PdfPages(written), 1);
}

TEST_F(PrintWindowTest, RedSuitsAndDoubleDummyFollowTheirBoxes) {
    t.settings.values["PrintDoubleDummy"] = "1";
    (*t.set)[1] = VoidBoard(1); // every hand one whole suit: 7S by North-South
    Open();
    SetBox("txtToBoard", "8");
    PrintTo(pdf());
    EXPECT_GT(RedPixels(pdf()), 0);
    QString text = QString::fromUtf8(Tool("pdftotext", {"-layout", pdf(), "-"})).simplified();
    EXPECT_EQ(text.count("Par:"), 8);
    EXPECT_TRUE(text.contains("Par: 7S NS")) << text.toStdString();

    auto* note = Get<QLabel>("lblDoubleDummyNote");
    Tick("Option5"); // 18 per page leaves no room for the analysis: a note says so
    EXPECT_TRUE(note->isVisibleTo(window.get()));
    Tick("chkDoubleDummy");
    EXPECT_FALSE(note->isVisibleTo(window.get()));
    Tick("Option1");
    Tick("chkRedSuits");
    PrintTo(pdf());
    EXPECT_EQ(RedPixels(pdf()), 0);
    EXPECT_FALSE(QString::fromUtf8(Tool("pdftotext", {pdf(), "-"})).contains("Par:"));
}

TEST_F(PrintWindowTest, PrinterSetupSetsPaperAndOrientationOnlyWhenConfirmed) {
    for (const bool confirm : {false, true}) {
        WhenModalOpens([confirm](QWidget* modal) {
            auto* paper = Child<QComboBox>(modal, "cboPaper");
            EXPECT_EQ(Child<QComboBox>(modal, "cboPrinter")->currentText(), "PDF file");
            EXPECT_FALSE(Child<QComboBox>(modal, "cboDuplex")->isEnabled()) << "a PDF file has no sides";
            paper->setCurrentIndex(paper->findText(QPageSize::name(QPageSize::Letter)));
            Child<QRadioButton>(modal, "optLandscape")->click();
            confirm ? qobject_cast<QDialog*>(modal)->accept() : qobject_cast<QDialog*>(modal)->reject();
        });
        EXPECT_EQ(RunPrinterSetup(printer, nullptr), confirm);
        EXPECT_EQ(printer.pageLayout().pageSize().id(), confirm ? QPageSize::Letter : QPageSize::A4);
        EXPECT_EQ(printer.pageLayout().orientation(),
                  confirm ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    // The window's button runs the set-up between its status words.
    Open();
    bool ran = false;
    window->setPrinterSetup(
        [&](QPrinter& p, QWidget* owner) { return ran = &p == &printer && owner == window.get(); });
    t.statuses.clear();
    QTest::mouseClick(Get<QPushButton>("cmdPrinterSetup"), Qt::LeftButton);
    EXPECT_TRUE(ran);
    EXPECT_EQ(t.statuses, (std::vector<std::string>{"Printer Setup", "Printing"}));
}

} // namespace
} // namespace orvenix::test
