// The drawing surface on a Qt paged paint device: a printer of the platform's print system, or a PDF
// writer. Needs Qt GUI only, so that the command-line tool can write PDF files without widgets.
#pragma once

#include "print/surface.h"

#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QPagedPaintDevice;

namespace orvenix {

// The installed font family that stands in for a logical font name of the layouts: the name itself when
// the font is installed, otherwise a metric-compatible or symbol-bearing font ("Times New Roman" is printed
// in "Liberation Serif", the suit symbols in "DejaVu Sans" where those are the installed ones).
QString InstalledFamily(const std::string& logicalName);
QFont MakeQFont(const PrintFont& font);

class PainterSurface : public PrintSurface {
  public:
    // The device must outlive the surface. Measuring works at once; painting starts with the first element
    // drawn.
    explicit PainterSurface(QPagedPaintDevice& device);
    ~PainterSurface() override;
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    void Text(double x, double y, std::string_view text) override;
    void Line(double x1, double y1, double x2, double y2) override;
    void Rectangle(double x1, double y1, double x2, double y2) override;
    void EndPage() override;
    void EndDocument() override;

    // Whether painting has begun and not ended.
    [[nodiscard]] bool active() const { return painter_ != nullptr; }
    // Pages begun so far.
    [[nodiscard]] int pages() const { return pages_; }
    // Ends painting without finishing the document (after a failure); the caller discards the output.
    void Abandon();

  protected:
    [[nodiscard]] double PageWidthPoints() const override;
    [[nodiscard]] double PageHeightPoints() const override;
    [[nodiscard]] double TextWidthPoints(std::string_view text) const override;

  private:
    // Starts painting or a new page as needed before an element is drawn.
    QPainter& Paint();
    [[nodiscard]] double Px(double v) const; // current unit -> device pixels (x)
    [[nodiscard]] double Py(double v) const;
    // Below 1 when a layout of fixed size is wider than the printable area.
    [[nodiscard]] double Scale() const;

    QPagedPaintDevice& device_;
    std::unique_ptr<QPainter> painter_;
    bool pageEnded_ = false;
    bool documentEnded_ = false;
    int pages_ = 0;
};

enum class PaperSize { A4, Letter };

// Makes sure a Qt GUI application object exists for font and PDF work in a program without windows;
// without a platform chosen by the environment the offscreen one is used.
void EnsureGuiApplication();

// The side margins of a PDF page, in points: at least 5 mm.
inline constexpr double kPdfMarginPoints = 15;
// The page of a PDF file: the paper, portrait, and margins that keep every mark off the paper's edge.
QPageLayout PdfPageLayout(PaperSize paper);

// Writes one PDF document: the output callback draws it on the surface (ending the document). The file
// appears only when the whole document was written; returns an empty text on success, else the reason.
std::string WritePdf(const std::string& path, PaperSize paper, const std::string& title,
                     const std::function<void(PainterSurface&)>& output);

} // namespace orvenix
