#include "ui/print/printer_setup.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace orvenix {

namespace {

QPrinter* programPrinter = nullptr;

// The entry of the printer list that writes PDF files; printers are listed by name before it.
const QString kPdfEntry = QStringLiteral("PDF file");

constexpr QPageSize::PageSizeId kPapers[] = {QPageSize::A4, QPageSize::Letter, QPageSize::Legal,
                                             QPageSize::A3};

struct DuplexChoice {
    const char* caption;
    QPrinter::DuplexMode mode;
};
constexpr DuplexChoice kDuplexChoices[] = {{"One-sided", QPrinter::DuplexNone},
                                           {"Two-sided, long edge", QPrinter::DuplexLongSide},
                                           {"Two-sided, short edge", QPrinter::DuplexShortSide}};

} // namespace

QPrinter& ProgramPrinter() {
    if (programPrinter == nullptr) {
        programPrinter = new QPrinter(QPrinter::HighResolution);
        if (QPrinterInfo::availablePrinterNames().isEmpty())
            programPrinter->setOutputFormat(QPrinter::PdfFormat);
        // The printer must go before the application object it depends on.
        qAddPostRoutine([] {
            delete programPrinter;
            programPrinter = nullptr;
        });
    }
    return *programPrinter;
}

PrinterSetupDialog::PrinterSetupDialog(const QPrinter& printer, QWidget* parent) : QDialog(parent) {
    setObjectName("PrinterSetup");
    setWindowTitle("Printer Setup");

    printerBox_ = new QComboBox(this);
    printerBox_->setObjectName("cboPrinter");
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        printerBox_->addItem(name, name);
    printerBox_->addItem(kPdfEntry, QString());
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        printerBox_->setCurrentIndex(printerBox_->count() - 1);
    } else {
        printerBox_->setCurrentIndex(std::max(0, printerBox_->findData(printer.printerName())));
    }

    paperBox_ = new QComboBox(this);
    paperBox_->setObjectName("cboPaper");
    const QPageSize::PageSizeId current = printer.pageLayout().pageSize().id();
    for (const QPageSize::PageSizeId id : kPapers) {
        paperBox_->addItem(QPageSize::name(id), static_cast<int>(id));
        if (id == current) paperBox_->setCurrentIndex(paperBox_->count() - 1);
    }
    if (paperBox_->findData(static_cast<int>(current)) < 0) {
        // A paper the printer chose itself stays on offer.
        paperBox_->addItem(printer.pageLayout().pageSize().name(), static_cast<int>(current));
        paperBox_->setCurrentIndex(paperBox_->count() - 1);
    }

    portraitOption_ = new QRadioButton("Portrait", this);
    portraitOption_->setObjectName("optPortrait");
    landscapeOption_ = new QRadioButton("Landscape", this);
    landscapeOption_->setObjectName("optLandscape");
    (printer.pageLayout().orientation() == QPageLayout::Landscape ? landscapeOption_ : portraitOption_)
        ->setChecked(true);
    auto* orientationRow = new QHBoxLayout;
    orientationRow->addWidget(portraitOption_);
    orientationRow->addWidget(landscapeOption_);
    orientationRow->addStretch(1);

    duplexBox_ = new QComboBox(this);
    duplexBox_->setObjectName("cboDuplex");
    for (const DuplexChoice& choice : kDuplexChoices) {
        duplexBox_->addItem(choice.caption, static_cast<int>(choice.mode));
        if (choice.mode == printer.duplex()) duplexBox_->setCurrentIndex(duplexBox_->count() - 1);
    }

    auto* form = new QFormLayout;
    form->addRow("&Printer:", printerBox_);
    form->addRow("P&aper:", paperBox_);
    form->addRow("Orientation:", orientationRow);
    form->addRow("&Two-sided:", duplexBox_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(printerBox_, &QComboBox::currentIndexChanged, this, [this] { UpdateDuplex(); });
    UpdateDuplex();
}

void PrinterSetupDialog::UpdateDuplex() {
    const QString name = printerBox_->currentData().toString();
    bool twoSided = false;
    if (!name.isEmpty()) {
        const QList<QPrinter::DuplexMode> modes = QPrinterInfo::printerInfo(name).supportedDuplexModes();
        twoSided = modes.contains(QPrinter::DuplexLongSide) || modes.contains(QPrinter::DuplexShortSide);
    }
    if (!twoSided) duplexBox_->setCurrentIndex(0);
    duplexBox_->setEnabled(twoSided);
}

void PrinterSetupDialog::Apply(QPrinter& printer) const {
    const QString name = printerBox_->currentData().toString();
    if (name.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(name);
        // The file of the last PDF output is no business of a printer.
        printer.setOutputFileName(QString());
    }
    printer.setPageSize(QPageSize(static_cast<QPageSize::PageSizeId>(paperBox_->currentData().toInt())));
    printer.setPageOrientation(landscapeOption_->isChecked() ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait);
    printer.setDuplex(static_cast<QPrinter::DuplexMode>(duplexBox_->currentData().toInt()));
}

bool RunPrinterSetup(QPrinter& printer, QWidget* owner) {
    PrinterSetupDialog dialog(printer, owner);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.Apply(printer);
    QCoreApplication::processEvents();
    return true;
}

} // namespace orvenix
