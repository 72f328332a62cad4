#include "ui/print/hand_record.h"

#include "app/print_job.h"

#include "base/messages.h"
#include "base/settings.h"
#include "print/layouts.h"
#include "print_qt/painter_surface.h"
#include "ui/app/numeric_filter.h"
#include "ui/print/printer_setup.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <thread>

namespace orvenix {

namespace {

constexpr int kMaxCopies = 99;
constexpr int kMaxBoardField = 999;
constexpr const char* kParameterErrorTitle = "Printing Parameter Error";
constexpr const char* kPrintingErrorTitle = "Printing Error";
// Per-user setting: 1 adds the double-dummy table and par to every board of the hand records.
constexpr const char* kPrintDoubleDummyKey = "PrintDoubleDummy";

// Digits only, no leading "0", at most maximum.
bool PrintNumberAllowed(const QString& text, int maximum) {
    if (text.isEmpty()) return true;
    if (text.front() == QLatin1Char('0')) return false;
    return NumericTextAllowed(text, maximum);
}

QLineEdit* NumberBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaximumWidth(70);
    return box;
}

QLabel* Label(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

HandRecord::HandRecord(AppContext& ctx, QPrinter& printer, QWidget* parent)
    : QDialog(parent), ctx_(ctx), printer_(printer), printerDialog_(ShowPrinterDialog) {
    setObjectName("HandRecord");
    setWindowTitle("Printing");
    setModal(true);
    BuildControls();

    const BoardSet& set = ctx_.set;
    txtFileName->setText(QString::fromStdString(set.fileName));
    txtFirstBoard->setText(QString::number(set.firstBoard));
    txtLastBoard->setText(QString::number(set.lastBoard));
    lastFrom_ = QString::number(set.firstBoard);
    lastTo_ = QString::number(set.lastBoard);
    lastCopies_ = "1";
    lastOffset_ = "1";
    txtFromBoard->setText(lastFrom_);
    txtToBoard->setText(lastTo_);
    txtCopies->setText(lastCopies_);
    txtNSoffset->setText(lastOffset_);

    LoadSettings();
    ApplyPrintMode();
    lblPrinting->hide();
    Printing_progress->hide();

    // The event name is printed in 20-point bold across the top of every page: cut it to the page.
    PainterSurface measure(printer_);
    txtEventName->setText(QString::fromStdString(ShortenEventName(measure, set.eventName)));
}

HandRecord::~HandRecord() = default;

void HandRecord::BuildControls() {
    auto* main = new QVBoxLayout(this);

    auto* grid = new QGridLayout;
    txtFileName = new QLineEdit(this);
    txtFileName->setObjectName("txtFileName");
    txtFileName->setReadOnly(true);
    txtFileName->setMinimumWidth(360);
    txtEventName = new QLineEdit(this);
    txtEventName->setObjectName("txtEventName");
    grid->addWidget(Label("File Name:", txtFileName, this), 0, 0);
    grid->addWidget(txtFileName, 0, 1, 1, 4);
    grid->addWidget(Label("Event Name:", txtEventName, this), 1, 0);
    grid->addWidget(txtEventName, 1, 1, 1, 4);

    txtFirstBoard = NumberBox("txtFirstBoard", this);
    txtFirstBoard->setReadOnly(true);
    txtLastBoard = NumberBox("txtLastBoard", this);
    txtLastBoard->setReadOnly(true);
    txtFromBoard = NumberBox("txtFromBoard", this);
    txtToBoard = NumberBox("txtToBoard", this);
    txtCopies = NumberBox("txtCopies", this);
    grid->addWidget(Label("First Board:", txtFirstBoard, this), 2, 0);
    grid->addWidget(txtFirstBoard, 2, 1);
    grid->addWidget(Label("Last Board:", txtLastBoard, this), 2, 2);
    grid->addWidget(txtLastBoard, 2, 3);
    grid->addWidget(Label("From Board:", txtFromBoard, this), 3, 0);
    grid->addWidget(txtFromBoard, 3, 1);
    grid->addWidget(Label("To Board:", txtToBoard, this), 3, 2);
    grid->addWidget(txtToBoard, 3, 3);
    grid->addWidget(Label("Number of copies:", txtCopies, this), 4, 0);
    grid->addWidget(txtCopies, 4, 1);
    grid->setColumnStretch(4, 1);
    main->addLayout(grid);

    auto* modes = new QHBoxLayout;
    PrintMode1 = new QRadioButton("Print Hand Records", this);
    PrintMode1->setObjectName("PrintMode1");
    PrintMode2 = new QRadioButton("Print Score Cards", this);
    PrintMode2->setObjectName("PrintMode2");
    modes->addWidget(PrintMode1);
    modes->addWidget(PrintMode2);
    modes->addStretch();
    main->addLayout(modes);

    frameBoardsPerPage = new QGroupBox("Boards Per Page:", this);
    frameBoardsPerPage->setObjectName("frameBoardsPerPage");
    auto* perPage = new QHBoxLayout(frameBoardsPerPage);
    for (int i = 0; i < 5; ++i) {
        Option[i] =
            new QRadioButton(QString::number(kHandRecordLayouts[static_cast<std::size_t>(i)].boardsPerPage),
                             frameBoardsPerPage);
        Option[i]->setObjectName(QString("Option%1").arg(i + 1));
        perPage->addWidget(Option[i]);
        connect(Option[i], &QRadioButton::clicked, this,
                [this, i] { ctx_.settings.Write(keys::kPrintPerPage, std::to_string(i)); });
    }
    main->addWidget(frameBoardsPerPage);

    chkDoubleDummy = new QCheckBox("Print double-dummy analysis", this);
    chkDoubleDummy->setObjectName("chkDoubleDummy");
    lblDoubleDummyNote = new QLabel(this);
    lblDoubleDummyNote->setObjectName("lblDoubleDummyNote");
    lblDoubleDummyNote->setWordWrap(true);
    main->addWidget(chkDoubleDummy);
    main->addWidget(lblDoubleDummyNote);
    connect(chkDoubleDummy, &QCheckBox::clicked, this, [this] {
        ctx_.settings.Write(kPrintDoubleDummyKey, chkDoubleDummy->isChecked() ? "1" : "0");
        UpdateDoubleDummyNote();
    });
    for (QRadioButton* o : Option)
        connect(o, &QRadioButton::toggled, this, [this] { UpdateDoubleDummyNote(); });

    frameNSPairNumber = new QGroupBox("Score Cards settings:", this);
    frameNSPairNumber->setObjectName("frameNSPairNumber");
    auto* cards = new QGridLayout(frameNSPairNumber);
    chkPrintBoards = new QCheckBox("Print Boards", frameNSPairNumber);
    chkPrintBoards->setObjectName("chkPrintBoards");
    chkPrintNS = new QCheckBox("Print NS Pair Number", frameNSPairNumber);
    chkPrintNS->setObjectName("chkPrintNS");
    txtNSoffset = NumberBox("txtNSoffset", frameNSPairNumber);
    lblOffset = Label("First NS Pair:", txtNSoffset, frameNSPairNumber);
    lblOffset->setObjectName("lblOffset");
    cards->addWidget(chkPrintBoards, 0, 0, 1, 2);
    cards->addWidget(chkPrintNS, 1, 0, 1, 2);
    cards->addWidget(lblOffset, 2, 0);
    cards->addWidget(txtNSoffset, 2, 1);
    cards->setColumnStretch(2, 1);
    main->addWidget(frameNSPairNumber);

    lblPrinting = new QLabel("Printing....", this);
    lblPrinting->setObjectName("lblPrinting");
    Printing_progress = new QProgressBar(this);
    Printing_progress->setObjectName("Printing_progress");
    Printing_progress->setRange(0, 100);
    Printing_progress->setValue(0);
    main->addWidget(lblPrinting);
    main->addWidget(Printing_progress);

    auto* buttons = new QHBoxLayout;
    cmdPrint = new QPushButton("&Print", this);
    cmdPrint->setObjectName("cmdPrint");
    cmdPrinterSetup = new QPushButton("Printer Setup", this);
    cmdPrinterSetup->setObjectName("cmdPrinterSetup");
    cmdExit = new QPushButton("E&xit", this);
    cmdExit->setObjectName("cmdExit");
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdPrinterSetup);
    buttons->addStretch();
    buttons->addWidget(cmdExit);
    main->addLayout(buttons);
    // Enter in a number box must not print by surprise.
    for (QPushButton* b : {cmdPrint, cmdPrinterSetup, cmdExit}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    Timer1pr = new QTimer(this);
    Timer1pr->setObjectName("Timer1pr");
    Timer1pr->setSingleShot(false);

    connect(PrintMode1, &QRadioButton::clicked, this, [this] {
        ApplyPrintMode();
        ctx_.settings.Write(keys::kPrintMode, "0");
    });
    connect(PrintMode2, &QRadioButton::clicked, this, [this] {
        ApplyPrintMode();
        ctx_.settings.Write(keys::kPrintMode, "1");
    });
    connect(chkPrintBoards, &QCheckBox::clicked, this, [this] { SaveScoreCardMode(); });
    connect(chkPrintNS, &QCheckBox::clicked, this, [this] {
        SaveScoreCardMode();
        ApplyPrintMode();
    });
    for (QLineEdit* box : {txtFromBoard, txtToBoard, txtCopies, txtNSoffset}) {
        connect(box, &QLineEdit::textChanged, this, [this, box] { NumberChanged(box); });
        box->installEventFilter(this);
    }
    connect(cmdPrint, &QPushButton::clicked, this, &HandRecord::PrintBoardSet);
    connect(cmdPrinterSetup, &QPushButton::clicked, this, &HandRecord::cmdPrinterSetup_Click);
    connect(cmdExit, &QPushButton::clicked, this, &HandRecord::close);
}

void HandRecord::LoadSettings() {
    Settings& s = ctx_.settings;
    const int perPage = s.ReadInt(keys::kPrintPerPage, 0, 0, 4);
    Option[perPage]->setChecked(true);
    const int mode = s.ReadInt(keys::kPrintMode, 0, 0, 1);
    (mode == 1 ? PrintMode2 : PrintMode1)->setChecked(true);
    const int cardMode = s.ReadInt(keys::kPrintScoreCardMode, 2, 0, 3);
    chkPrintNS->setChecked((cardMode & 1) != 0);
    chkPrintBoards->setChecked((cardMode & 2) != 0);
    chkDoubleDummy->setChecked(s.ReadInt(kPrintDoubleDummyKey, 0, 0, 1) == 1);
    UpdateDoubleDummyNote();
}

void HandRecord::UpdateDoubleDummyNote() {
    int layout = 0;
    for (int i = 0; i < 5; ++i) {
        if (Option[i]->isChecked()) layout = i;
    }
    // Measured on the printer's page; the real fonts decide again when printing.
    const QRectF page = printer_.pageLayout().paintRect(QPageLayout::Point);
    RecordingSurface measure(page.width() > 0 ? page.width() : 576, page.height() > 0 ? page.height() : 756);
    const bool noRoom =
        chkDoubleDummy->isChecked() && PrintMode1->isChecked() && !DoubleDummyHasRoom(measure, layout);
    lblDoubleDummyNote->setText(
        noRoom ? QString("No room for the double-dummy analysis at %1 boards per page: the hand records "
                         "print without it. Choose 8, 10 or 16 boards per page to include it.")
                     .arg(kHandRecordLayouts[static_cast<std::size_t>(layout)].boardsPerPage)
               : QString());
    lblDoubleDummyNote->setVisible(noRoom);
}

bool HandRecord::AnalyseForPrinting(int from, int to, std::map<int, DoubleDummyResult>& out) {
    std::atomic<int> done{0};
    std::atomic<int> total{to - from + 1};
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    std::optional<std::map<int, DoubleDummyResult>> results;
    std::string error;
    // The window is modal: nothing changes the set while the worker reads it.
    std::thread worker([&] {
        try {
            results = AnalyseBoardsForPrinting(ctx_.set, from, to, [&](int d, int t) {
                done = d;
                total = t;
                return !cancel.load();
            });
        } catch (const std::exception& e) {
            error = e.what();
        }
        finished = true;
    });

    analysing_ = true;
    cancelAnalysis_ = false;
    lblPrinting->setText("Analysing....");
    cmdPrint->setText("&Cancel");
    cmdPrint->setEnabled(true);
    while (!finished) {
        PausePrinting(50);
        if (cancelAnalysis_) cancel = true;
        const int t = total.load();
        Printing_progress->setValue(t > 0 ? done.load() * 100 / t : 0);
    }
    worker.join();
    analysing_ = false;
    cmdPrint->setText("&Print");
    cmdPrint->setEnabled(false);
    lblPrinting->setText("Printing....");
    Printing_progress->setValue(0);

    if (!error.empty()) {
        ctx_.log.LogLine("Double-dummy analysis failed: " + error);
        ctx_.dialogs.Show("The double-dummy analysis could not be made.\r\n\r\n" + error, kPrintingErrorTitle,
                          Buttons::Ok, Icon::Critical);
        return false;
    }
    if (cancel || !results) return false;
    out = std::move(*results);
    return true;
}

void HandRecord::ApplyPrintMode() {
    const bool records = PrintMode1->isChecked();
    frameBoardsPerPage->setEnabled(records);
    for (QRadioButton* o : Option)
        o->setEnabled(records);
    chkDoubleDummy->setEnabled(records);
    UpdateDoubleDummyNote();
    frameNSPairNumber->setEnabled(!records);
    chkPrintBoards->setEnabled(!records);
    chkPrintNS->setEnabled(!records);
    const bool offset = !records && chkPrintNS->isChecked();
    lblOffset->setEnabled(offset);
    txtNSoffset->setEnabled(offset);
}

void HandRecord::SaveScoreCardMode() {
    const int mode = (chkPrintNS->isChecked() ? 1 : 0) + (chkPrintBoards->isChecked() ? 2 : 0);
    ctx_.settings.Write(keys::kPrintScoreCardMode, std::to_string(mode));
}

void HandRecord::NumberChanged(QLineEdit* box) {
    QString& last = box == txtFromBoard ? lastFrom_
                    : box == txtToBoard ? lastTo_
                    : box == txtCopies  ? lastCopies_
                                        : lastOffset_;
    const int maximum = box == txtCopies ? kMaxCopies : kMaxBoardField;
    const QString text = box->text();
    if (PrintNumberAllowed(text, maximum)) {
        last = text;
        return;
    }
    const int caret = box->cursorPosition();
    {
        const QSignalBlocker block(box);
        box->setText(last);
    }
    box->setCursorPosition(std::clamp(caret - 1, 0, static_cast<int>(last.size())));
}

int HandRecord::ValueOf(const QLineEdit* box) {
    return box->text().isEmpty() ? 0 : box->text().toInt();
}

bool HandRecord::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        for (QLineEdit* box : {txtFromBoard, txtToBoard, txtCopies, txtNSoffset}) {
            if (watched == box && ValueOf(box) == 0) box->setText("1");
        }
    }
    return QDialog::eventFilter(watched, event);
}

void HandRecord::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) return;
    activated_ = true;
    QTimer::singleShot(0, this, [this] {
        txtCopies->setFocus(Qt::OtherFocusReason);
        txtCopies->end(false);
    });
}

void HandRecord::closeEvent(QCloseEvent* event) {
    // The job in progress uses this window's fields and progress bar: it finishes first.
    if (printing_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void HandRecord::reject() {
    if (printing_) return;
    QDialog::reject();
}

void HandRecord::cmdPrinterSetup_Click() {
    ctx_.StatusText("Printer Setup");
    if (printerDialog_) printerDialog_(printer_, this);
    ctx_.StatusText("Printing");
}

void HandRecord::PausePrinting(int milliseconds) {
    QEventLoop loop;
    const auto fired = connect(Timer1pr, &QTimer::timeout, &loop, [this, &loop] {
        Timer1pr->stop();
        loop.quit();
    });
    Timer1pr->start(milliseconds);
    loop.exec();
    disconnect(fired);
}

void HandRecord::ParameterError(int messageKey, QLineEdit* focus) {
    ctx_.StatusText(kParameterErrorTitle);
    ctx_.dialogs.Show(FormatMessage(static_cast<MessageKey>(messageKey)), kParameterErrorTitle, Buttons::Ok,
                      Icon::Critical);
    focus->setFocus(Qt::OtherFocusReason);
    ctx_.StatusText("Printing");
}

bool HandRecord::PrinterReady() {
    if (printer_.outputFormat() == QPrinter::PdfFormat) {
        if (!printer_.outputFileName().isEmpty()) return true;
        FileDialogRequest request;
        request.save = true;
        request.title = "Print to PDF";
        request.directory = DirectoryOf(ctx_.set.fileName);
        if (request.directory.empty()) request.directory = HomeDirectory();
        request.fileName = (PrintMode1->isChecked() ? "hand records" : "score cards") + std::string(".pdf");
        request.filters = {"PDF files (*.pdf)"};
        request.selectedFilter = 0;
        const auto chosen = ctx_.dialogs.FileDialog(request);
        if (!chosen || chosen->path.empty()) return false;
        QString path = QString::fromStdString(chosen->path);
        if (!path.endsWith(".pdf", Qt::CaseInsensitive)) path += ".pdf";
        printer_.setOutputFileName(path);
        return true;
    }
    if (!printer_.isValid()) {
        ctx_.dialogs.Show(
            "No printer is available.\r\n\r\nChoose \"Printer Setup\" to select a printer or to "
            "print to a PDF file.",
            kPrintingErrorTitle, Buttons::Ok, Icon::Critical);
        return false;
    }
    return true;
}

void HandRecord::SetBusy(bool busy) {
    printing_ = busy;
    cmdPrint->setEnabled(!busy);
    cmdExit->setEnabled(!busy);
    cmdPrinterSetup->setEnabled(!busy);
    Printing_progress->setVisible(busy);
    lblPrinting->setVisible(busy);
    Printing_progress->setValue(0);
}

void HandRecord::PrintBoardSet() {
    if (analysing_) { // Print reads Cancel while the boards are analysed
        cancelAnalysis_ = true;
        return;
    }
    if (printing_) return;
    // An emptied box counts as 1, as when it loses the focus.
    for (QLineEdit* box : {txtFromBoard, txtToBoard, txtCopies, txtNSoffset}) {
        if (ValueOf(box) == 0) box->setText("1");
    }
    const int from = ValueOf(txtFromBoard);
    const int to = ValueOf(txtToBoard);
    if (const auto fault = CheckPrintRange(ctx_.set, from, to)) {
        ParameterError(*fault, *fault == MsgToBoardIncorrect ? txtToBoard : txtFromBoard);
        return;
    }
    if (!PrinterReady()) return;

    PrintJob job;
    PrintRequest& request = job.request;
    request.from = from;
    request.to = to;
    request.copies = ValueOf(txtCopies);
    request.layout = 0;
    for (int i = 0; i < 5; ++i) {
        if (Option[i]->isChecked()) request.layout = i;
    }
    request.printDeal = chkPrintBoards->isChecked();
    request.nsFirst = chkPrintNS->isChecked() ? ValueOf(txtNSoffset) : 0;
    const bool handRecords = PrintMode1->isChecked();
    job.scoreCards = !handRecords;
    job.eventName = txtEventName->text().toStdString();

    SetBusy(true);
    QCoreApplication::processEvents();
    if (handRecords && chkDoubleDummy->isChecked()) {
        if (!AnalyseForPrinting(from, to, request.doubleDummy)) {
            SetBusy(false);
            return;
        }
    }

    std::string failure;
    {
        printer_.setDocName(handRecords ? "Hand records" : "Score cards");
        PainterSurface surface(printer_);
        const PrintProgress progress = [this](double percent) {
            Printing_progress->setValue(static_cast<int>(std::lround(percent)));
            PausePrinting(100);
        };
        try {
            job.doubleDummy = !request.doubleDummy.empty();
            if (LayOutPrintJob(surface, ctx_.set, job, progress).doubleDummyDropped) {
                lblDoubleDummyNote->setText(
                    QString("No room for the double-dummy analysis at %1 boards per page on this "
                            "printer: the hand records were printed without it.")
                        .arg(kHandRecordLayouts[static_cast<std::size_t>(request.layout)].boardsPerPage));
                lblDoubleDummyNote->setVisible(true);
            }
            if (printer_.printerState() == QPrinter::Error) failure = "The printer reported an error.";
        } catch (const PrintFailure& e) {
            failure = e.what();
        } catch (const std::exception& e) {
            failure = e.what();
        }
        if (!failure.empty() && surface.active()) {
            printer_.abort();
            surface.Abandon();
        }
    }
    if (!failure.empty()) {
        // A half-written PDF file is no use to anyone.
        if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty())
            QFile::remove(printer_.outputFileName());
        ctx_.log.LogLine("Printing failed: " + failure);
        ctx_.dialogs.Show("The " + std::string(handRecords ? "hand records" : "score cards") +
                              " could not be printed.\r\n\r\n" + failure,
                          kPrintingErrorTitle, Buttons::Ok, Icon::Critical);
    } else {
        PausePrinting(500);
    }
    SetBusy(false);
}

} // namespace orvenix
