#include "ui/print/print_window.h"

#include "ui_print_window.h"

#include "app/print_job.h"

#include "base/messages.h"
#include "base/settings.h"
#include "print/layouts.h"
#include "print_qt/painter_surface.h"
#include "ui/app/numeric_filter.h"
#include "ui/print/printer_setup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

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

} // namespace

PrintWindow::PrintWindow(AppContext& ctx, QPrinter& printer, QWidget* parent)
    : QDialog(parent), ctx_(ctx), printer_(printer), printerSetup_(RunPrinterSetup),
      ui_(std::make_unique<Ui::PrintWindow>()) {
    ui_->setupUi(this);
    eventNameBox_ = ui_->txtEventName;
    fromBoardBox_ = ui_->txtFromBoard;
    toBoardBox_ = ui_->txtToBoard;
    copiesBox_ = ui_->txtCopies;
    handRecordsOption_ = ui_->PrintMode1;
    scoreCardsOption_ = ui_->PrintMode2;
    // Their own group: left to Qt's sibling rule, the two modes would count the boards-per-page options
    // inside the frame below them as siblings, and a click on the chosen mode would unchoose it.
    auto* modeGroup = new QButtonGroup(this);
    modeGroup->addButton(handRecordsOption_);
    modeGroup->addButton(scoreCardsOption_);
    boardsPerPageOptions_ = {ui_->Option1, ui_->Option2, ui_->Option3, ui_->Option4, ui_->Option5};
    doubleDummyCheck_ = ui_->chkDoubleDummy;
    redSuitsCheck_ = ui_->chkRedSuits;
    doubleDummyNote_ = ui_->lblDoubleDummyNote;
    printBoardsCheck_ = ui_->chkPrintBoards;
    printPairNumberCheck_ = ui_->chkPrintNS;
    firstPairBox_ = ui_->txtNSoffset;
    printButton_ = ui_->cmdPrint;
    printerSetupButton_ = ui_->cmdPrinterSetup;
    exitButton_ = ui_->cmdExit;
    progressLabel_ = ui_->lblPrinting;
    progressBar_ = ui_->Printing_progress;

    pauseTimer_ = new QTimer(this);
    pauseTimer_->setObjectName("Timer1pr");
    pauseTimer_->setSingleShot(false);

    for (std::size_t i = 0; i < boardsPerPageOptions_.size(); ++i) {
        QRadioButton* option = boardsPerPageOptions_[i];
        option->setText(QString::number(kHandRecordLayouts[i].boardsPerPage));
        connect(option, &QRadioButton::clicked, this,
                [this, i] { ctx_.settings.Write(keys::kPrintPerPage, std::to_string(i)); });
        connect(option, &QRadioButton::toggled, this, [this] { UpdateDoubleDummyNote(); });
    }
    connect(doubleDummyCheck_, &QCheckBox::clicked, this, [this] {
        ctx_.settings.Write(kPrintDoubleDummyKey, doubleDummyCheck_->isChecked() ? "1" : "0");
        UpdateDoubleDummyNote();
    });
    connect(redSuitsCheck_, &QCheckBox::clicked, this,
            [this] { ctx_.settings.Write(keys::kPrintRedSuits, redSuitsCheck_->isChecked() ? "1" : "0"); });
    connect(handRecordsOption_, &QRadioButton::clicked, this, [this] {
        ApplyPrintMode();
        ctx_.settings.Write(keys::kPrintMode, "0");
    });
    connect(scoreCardsOption_, &QRadioButton::clicked, this, [this] {
        ApplyPrintMode();
        ctx_.settings.Write(keys::kPrintMode, "1");
    });
    connect(printBoardsCheck_, &QCheckBox::clicked, this, [this] { SaveScoreCardMode(); });
    connect(printPairNumberCheck_, &QCheckBox::clicked, this, [this] {
        SaveScoreCardMode();
        ApplyPrintMode();
    });
    for (QLineEdit* box : NumberBoxes()) {
        connect(box, &QLineEdit::textChanged, this, [this, box] { NumberChanged(box); });
        box->installEventFilter(this);
    }
    connect(printButton_, &QPushButton::clicked, this, &PrintWindow::onPrintClicked);
    connect(printerSetupButton_, &QPushButton::clicked, this, &PrintWindow::onPrinterSetupClicked);
    connect(exitButton_, &QPushButton::clicked, this, &PrintWindow::close);

    const BoardSet& set = ctx_.set;
    ui_->txtFileName->setText(QString::fromStdString(set.fileName));
    ui_->txtFirstBoard->setText(QString::number(set.firstBoard));
    ui_->txtLastBoard->setText(QString::number(set.lastBoard));
    lastFrom_ = QString::number(set.firstBoard);
    lastTo_ = QString::number(set.lastBoard);
    lastCopies_ = "1";
    lastOffset_ = "1";
    fromBoardBox_->setText(lastFrom_);
    toBoardBox_->setText(lastTo_);
    copiesBox_->setText(lastCopies_);
    firstPairBox_->setText(lastOffset_);

    LoadSettings();
    ApplyPrintMode();
    // The progress rows keep their room while hidden, so that a print does not resize the window.
    for (QWidget* w : {static_cast<QWidget*>(progressLabel_), static_cast<QWidget*>(progressBar_)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
        w->hide();
    }

    // The event name is printed in 20-point bold across the top of every page: cut it to the page.
    PainterSurface measure(printer_);
    eventNameBox_->setText(QString::fromStdString(ShortenEventName(measure, set.eventName)));
}

PrintWindow::~PrintWindow() = default;

std::array<QLineEdit*, 4> PrintWindow::NumberBoxes() const {
    return {fromBoardBox_, toBoardBox_, copiesBox_, firstPairBox_};
}

int PrintWindow::ChosenLayout() const {
    int layout = 0;
    for (std::size_t i = 0; i < boardsPerPageOptions_.size(); ++i) {
        if (boardsPerPageOptions_[i]->isChecked()) layout = static_cast<int>(i);
    }
    return layout;
}

void PrintWindow::LoadSettings() {
    Settings& s = ctx_.settings;
    const int perPage = s.ReadInt(keys::kPrintPerPage, 0, 0, 4);
    boardsPerPageOptions_[static_cast<std::size_t>(perPage)]->setChecked(true);
    const int mode = s.ReadInt(keys::kPrintMode, 0, 0, 1);
    (mode == 1 ? scoreCardsOption_ : handRecordsOption_)->setChecked(true);
    const int cardMode = s.ReadInt(keys::kPrintScoreCardMode, 2, 0, 3);
    printPairNumberCheck_->setChecked((cardMode & 1) != 0);
    printBoardsCheck_->setChecked((cardMode & 2) != 0);
    doubleDummyCheck_->setChecked(s.ReadInt(kPrintDoubleDummyKey, 0, 0, 1) == 1);
    redSuitsCheck_->setChecked(s.ReadInt(keys::kPrintRedSuits, 1, 0, 1) == 1);
    UpdateDoubleDummyNote();
}

void PrintWindow::UpdateDoubleDummyNote() {
    const int layout = ChosenLayout();
    // Measured on the printer's page; the real fonts decide again when printing.
    const QRectF page = printer_.pageLayout().paintRect(QPageLayout::Point);
    RecordingSurface measure(page.width() > 0 ? page.width() : 576, page.height() > 0 ? page.height() : 756);
    const bool noRoom = doubleDummyCheck_->isChecked() && handRecordsOption_->isChecked() &&
                        !DoubleDummyHasRoom(measure, layout);
    doubleDummyNote_->setText(
        noRoom ? QString("No room for the double-dummy analysis at %1 boards per page: the hand records "
                         "print without it. Choose 8, 10 or 16 boards per page to include it.")
                     .arg(kHandRecordLayouts[static_cast<std::size_t>(layout)].boardsPerPage)
               : QString());
    doubleDummyNote_->setVisible(noRoom);
}

bool PrintWindow::AnalyseForPrinting(int from, int to, std::map<int, DoubleDummyResult>& out) {
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
    progressLabel_->setText("Analysing....");
    printButton_->setText("&Cancel");
    printButton_->setEnabled(true);
    while (!finished) {
        PausePrinting(50);
        if (cancelAnalysis_) cancel = true;
        const int t = total.load();
        progressBar_->setValue(t > 0 ? done.load() * 100 / t : 0);
    }
    worker.join();
    analysing_ = false;
    printButton_->setText("&Print");
    printButton_->setEnabled(false);
    progressLabel_->setText("Printing....");
    progressBar_->setValue(0);

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

void PrintWindow::ApplyPrintMode() {
    const bool records = handRecordsOption_->isChecked();
    ui_->frameBoardsPerPage->setEnabled(records);
    for (QRadioButton* o : boardsPerPageOptions_)
        o->setEnabled(records);
    doubleDummyCheck_->setEnabled(records);
    redSuitsCheck_->setEnabled(records);
    UpdateDoubleDummyNote();
    ui_->frameNSPairNumber->setEnabled(!records);
    printBoardsCheck_->setEnabled(!records);
    printPairNumberCheck_->setEnabled(!records);
    const bool offset = !records && printPairNumberCheck_->isChecked();
    ui_->lblOffset->setEnabled(offset);
    firstPairBox_->setEnabled(offset);
}

void PrintWindow::SaveScoreCardMode() {
    const int mode = (printPairNumberCheck_->isChecked() ? 1 : 0) + (printBoardsCheck_->isChecked() ? 2 : 0);
    ctx_.settings.Write(keys::kPrintScoreCardMode, std::to_string(mode));
}

void PrintWindow::NumberChanged(QLineEdit* box) {
    QString& last = box == fromBoardBox_ ? lastFrom_
                    : box == toBoardBox_ ? lastTo_
                    : box == copiesBox_  ? lastCopies_
                                         : lastOffset_;
    const int maximum = box == copiesBox_ ? kMaxCopies : kMaxBoardField;
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

int PrintWindow::ValueOf(const QLineEdit* box) {
    return box->text().isEmpty() ? 0 : box->text().toInt();
}

bool PrintWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        for (QLineEdit* box : NumberBoxes()) {
            if (watched == box && ValueOf(box) == 0) box->setText("1");
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PrintWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) return;
    activated_ = true;
    QTimer::singleShot(0, this, [this] {
        copiesBox_->setFocus(Qt::OtherFocusReason);
        copiesBox_->end(false);
    });
}

void PrintWindow::closeEvent(QCloseEvent* event) {
    // The job in progress uses this window's fields and progress bar: it finishes first.
    if (printing_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void PrintWindow::reject() {
    if (printing_) return;
    QDialog::reject();
}

void PrintWindow::onPrinterSetupClicked() {
    ctx_.StatusText("Printer Setup");
    if (printerSetup_) printerSetup_(printer_, this);
    ctx_.StatusText("Printing");
}

void PrintWindow::PausePrinting(int milliseconds) {
    QEventLoop loop;
    const auto fired = connect(pauseTimer_, &QTimer::timeout, &loop, [this, &loop] {
        pauseTimer_->stop();
        loop.quit();
    });
    pauseTimer_->start(milliseconds);
    loop.exec();
    disconnect(fired);
}

void PrintWindow::ParameterError(int messageKey, QLineEdit* focus) {
    ctx_.StatusText(kParameterErrorTitle);
    ctx_.dialogs.Show(FormatMessage(static_cast<MessageKey>(messageKey)), kParameterErrorTitle, Buttons::Ok,
                      Icon::Critical);
    focus->setFocus(Qt::OtherFocusReason);
    ctx_.StatusText("Printing");
}

std::string PrintWindow::ChoosePdfFile() {
    const std::string what = handRecordsOption_->isChecked() ? "hand records" : "score cards";
    // "tuesday.pbn" suggests "tuesday - hand records.pdf" in the set's folder.
    const QString setName =
        QFileInfo(QString::fromStdString(FileNameOf(ctx_.set.fileName))).completeBaseName();
    FileDialogRequest request;
    request.save = true;
    request.title = "Print to PDF";
    request.directory = DirectoryOf(ctx_.set.fileName);
    if (request.directory.empty()) request.directory = HomeDirectory();
    request.fileName = (setName.isEmpty() ? "" : setName.toStdString() + " - ") + what + ".pdf";
    request.filters = {"PDF files (*.pdf)"};
    request.selectedFilter = 0;
    // The question below covers a name completed with ".pdf" as well.
    request.confirmReplace = false;
    while (true) {
        const auto chosen = ctx_.dialogs.FileDialog(request);
        if (!chosen || chosen->path.empty()) return {};
        QString path = QString::fromStdString(chosen->path);
        if (!path.endsWith(".pdf", Qt::CaseInsensitive)) path += ".pdf";
        if (!QFileInfo::exists(path)) return path.toStdString();
        const Answer answer = ctx_.dialogs.Show("The file " + path.toStdString() +
                                                    " already exists.\r\n\r\nDo you want to replace it?",
                                                "Print to PDF", Buttons::YesNo, Icon::Question);
        if (answer == Answer::Yes) return path.toStdString();
        // No: another name, starting from the one refused.
        request.directory = QFileInfo(path).absolutePath().toStdString();
        request.fileName = QFileInfo(path).fileName().toStdString();
    }
}

bool PrintWindow::PrinterReady() {
    if (printer_.outputFormat() == QPrinter::PdfFormat) {
        const std::string path = ChoosePdfFile();
        if (path.empty()) return false;
        printer_.setOutputFileName(QString::fromStdString(path));
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

void PrintWindow::SetBusy(bool busy) {
    printing_ = busy;
    printButton_->setEnabled(!busy);
    exitButton_->setEnabled(!busy);
    printerSetupButton_->setEnabled(!busy);
    progressBar_->setVisible(busy);
    progressLabel_->setVisible(busy);
    progressBar_->setValue(0);
}

void PrintWindow::onPrintClicked() {
    if (analysing_) { // Print reads Cancel while the boards are analysed
        cancelAnalysis_ = true;
        return;
    }
    if (printing_) return;
    // An emptied box counts as 1, as when it loses the focus.
    for (QLineEdit* box : NumberBoxes()) {
        if (ValueOf(box) == 0) box->setText("1");
    }
    const int from = ValueOf(fromBoardBox_);
    const int to = ValueOf(toBoardBox_);
    if (const auto fault = CheckPrintRange(ctx_.set, from, to)) {
        ParameterError(*fault, *fault == MsgToBoardIncorrect ? toBoardBox_ : fromBoardBox_);
        return;
    }
    if (!PrinterReady()) return;

    PrintJob job;
    PrintRequest& request = job.request;
    request.from = from;
    request.to = to;
    request.copies = ValueOf(copiesBox_);
    request.layout = ChosenLayout();
    request.printDeal = printBoardsCheck_->isChecked();
    request.nsFirst = printPairNumberCheck_->isChecked() ? ValueOf(firstPairBox_) : 0;
    const bool handRecords = handRecordsOption_->isChecked();
    request.redSuits = handRecords && redSuitsCheck_->isChecked();
    job.scoreCards = !handRecords;
    job.eventName = eventNameBox_->text().toStdString();

    SetBusy(true);
    QCoreApplication::processEvents();
    if (handRecords && doubleDummyCheck_->isChecked()) {
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
            progressBar_->setValue(static_cast<int>(std::lround(percent)));
            PausePrinting(100);
        };
        try {
            job.doubleDummy = !request.doubleDummy.empty();
            if (LayOutPrintJob(surface, ctx_.set, job, progress).doubleDummyDropped) {
                doubleDummyNote_->setText(
                    QString("No room for the double-dummy analysis at %1 boards per page on this "
                            "printer: the hand records were printed without it.")
                        .arg(kHandRecordLayouts[static_cast<std::size_t>(request.layout)].boardsPerPage));
                doubleDummyNote_->setVisible(true);
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
        const std::string what = handRecords ? "Hand records" : "Score cards";
        lastDestination_ = printer_.outputFormat() == QPrinter::PdfFormat
                               ? what + " printed to " + printer_.outputFileName().toStdString()
                               : what + " sent to the printer " + printer_.printerName().toStdString();
        ctx_.StatusText(lastDestination_);
        PausePrinting(500);
    }
    SetBusy(false);
}

} // namespace orvenix
