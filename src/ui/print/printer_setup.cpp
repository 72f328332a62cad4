#include "ui/print/printer_setup.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace orvenix {

namespace {

QPrinter* programPrinter = nullptr;

// What the set-up may change, to put back when the operator cancels.
struct PrinterChoices {
    QPrinter::OutputFormat format;
    QString printerName;
    QString outputFile;
    int copies;
    QPageLayout layout;
    QPrinter::DuplexMode duplex;

    explicit PrinterChoices(const QPrinter& p)
        : format(p.outputFormat()), printerName(p.printerName()), outputFile(p.outputFileName()),
          copies(p.copyCount()), layout(p.pageLayout()), duplex(p.duplex()) {}

    void Restore(QPrinter& p) const {
        if (p.outputFormat() != format) p.setOutputFormat(format);
        if (format == QPrinter::NativeFormat && p.printerName() != printerName) p.setPrinterName(printerName);
        p.setOutputFileName(outputFile);
        p.setCopyCount(copies);
        p.setPageLayout(layout);
        p.setDuplex(duplex); // a printer without duplex keeps its own mode
    }
};

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

bool RunPrinterSetup(QPrinter& printer, QWidget* owner) {
    const PrinterChoices before(printer);
    QPrintDialog dialog(&printer, owner);
    dialog.setWindowTitle("Printer Setup");
    // The board range is chosen in the printing window; the dialog chooses the printer and its settings.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    if (dialog.exec() != QDialog::Accepted) {
        before.Restore(printer);
        return false;
    }
    QCoreApplication::processEvents();
    return true;
}

} // namespace orvenix
