#include "print_qt/painter_surface.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QSaveFile>

#include <array>
#include <cstdio>
#include <vector>

namespace orvenix {

QString InstalledFamily(const std::string& logicalName) {
    static QHash<QString, QString> cache;
    const QString logical = QString::fromStdString(logicalName);
    if (auto it = cache.constFind(logical); it != cache.constEnd()) return *it;
    std::vector<QString> candidates{logical};
    if (logicalName == kTextFont) {
        candidates = {logical, "Liberation Serif", "Tinos", "DejaVu Serif"};
    } else if (logicalName == "Arial") {
        candidates = {logical, "Liberation Sans", "Arimo", "DejaVu Sans"};
    } else if (logicalName == kSymbolFont) {
        // The layouts print the suits as Unicode characters, which the classic symbol font does not map.
        candidates = {"DejaVu Sans", "Segoe UI Symbol", "Arial", "Liberation Sans"};
    }
    QString chosen = candidates.front();
    for (const QString& c : candidates) {
        if (QFontDatabase::hasFamily(c)) {
            chosen = c;
            break;
        }
    }
    cache.insert(logical, chosen);
    return chosen;
}

QFont MakeQFont(const PrintFont& font) {
    QFont f(InstalledFamily(font.name));
    f.setPointSizeF(font.size > 0 ? font.size : 1);
    f.setBold(font.bold);
    f.setItalic(false);
    f.setKerning(false);
    return f;
}

PainterSurface::PainterSurface(QPagedPaintDevice& device) : device_(device) {}

PainterSurface::~PainterSurface() {
    Abandon();
}

void PainterSurface::Abandon() {
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
}

double PainterSurface::Scale() const {
    const double printable = device_.pageLayout().paintRect(QPageLayout::Point).width();
    const double wanted = FitWidthPoints();
    return wanted > printable && printable > 0 ? printable / wanted : 1.0;
}

double PainterSurface::PageWidthPoints() const {
    return device_.pageLayout().paintRect(QPageLayout::Point).width() / Scale();
}

double PainterSurface::PageHeightPoints() const {
    return device_.pageLayout().paintRect(QPageLayout::Point).height() / Scale();
}

double PainterSurface::TextWidthPoints(std::string_view text) const {
    const QFontMetricsF metrics(MakeQFont(font()), &device_);
    const double px =
        metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return px * 72.0 / device_.logicalDpiX();
}

double PainterSurface::Px(double v) const {
    return ToPoints(v) * Scale() * device_.logicalDpiX() / 72.0;
}
double PainterSurface::Py(double v) const {
    return ToPoints(v) * Scale() * device_.logicalDpiY() / 72.0;
}

QPainter& PainterSurface::Paint() {
    if (documentEnded_) throw PrintFailure("The document was already finished.");
    if (!painter_) {
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(&device_)) {
            painter_.reset();
            throw PrintFailure("The printer could not be opened for printing.");
        }
        painter_->setRenderHint(QPainter::Antialiasing, true);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
        pages_ = 1;
        pageEnded_ = false;
    } else if (pageEnded_) {
        if (!device_.newPage()) throw PrintFailure("The printer could not start a new page.");
        ++pages_;
        pageEnded_ = false;
    }
    // Hairline-thin lines disappear on high-resolution printers; 0.6 point reads well on paper and PDF.
    painter_->setPen(QPen(Qt::black, 0.6 * device_.logicalDpiX() / 72.0));
    painter_->setBrush(Qt::NoBrush);
    return *painter_;
}

void PainterSurface::Text(double x, double y, std::string_view text) {
    QPainter& p = Paint();
    PrintFont scaled = font();
    scaled.size *= Scale();
    const QFont f = MakeQFont(scaled);
    p.setFont(f);
    if (colour() == InkColour::Red) p.setPen(QColor(200, 0, 0));
    const QFontMetricsF metrics(f, &device_);
    p.drawText(QPointF(Px(x), Py(y) + metrics.ascent()),
               QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    if (colour() == InkColour::Red) p.setPen(QPen(Qt::black, 0.6 * device_.logicalDpiX() / 72.0));
}

void PainterSurface::Line(double x1, double y1, double x2, double y2) {
    Paint().drawLine(QPointF(Px(x1), Py(y1)), QPointF(Px(x2), Py(y2)));
}

void PainterSurface::Rectangle(double x1, double y1, double x2, double y2) {
    Paint().drawRect(QRectF(QPointF(Px(x1), Py(y1)), QPointF(Px(x2), Py(y2))));
}

void PainterSurface::EndPage() {
    // A page that was ended without anything on it is still a page of the document.
    if (!painter_ || pageEnded_) Paint();
    pageEnded_ = true;
}

void PainterSurface::EndDocument() {
    if (!painter_) Paint(); // an empty document still gives one (blank) page
    documentEnded_ = true;
    const bool ok = painter_->end();
    painter_.reset();
    if (!ok) throw PrintFailure("The printer could not finish the document.");
}

namespace {
// A program without windows has no session: Qt's notes about a missing runtime folder and the like mean
// nothing to its user. Warnings about the work itself still reach the terminal.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    if (text.startsWith(QLatin1String("QStandardPaths:"))) return;
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}
} // namespace

void EnsureGuiApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    qInstallMessageHandler(QuietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "orvenix-cli";
    static std::array<char*, 2> argv{name, nullptr};
    static QGuiApplication app(argc, argv.data());
}

QPageLayout PdfPageLayout(PaperSize paper) {
    // Every mark at least 5 mm (14.2 points) from the paper's edge, where many printers cannot print.
    return QPageLayout(QPageSize(paper == PaperSize::A4 ? QPageSize::A4 : QPageSize::Letter),
                       QPageLayout::Portrait, QMarginsF(kPdfMarginPoints, 18, kPdfMarginPoints, 18),
                       QPageLayout::Point);
}

std::string WritePdf(const std::string& path, PaperSize paper, const std::string& title,
                     const std::function<void(PainterSurface&)>& output) {
    EnsureGuiApplication();
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return "cannot write " + path + ": " + file.errorString().toStdString();
    std::string failure;
    {
        QPdfWriter writer(&file);
        writer.setTitle(QString::fromStdString(title));
        writer.setCreator("Orvenix Desk");
        writer.setResolution(1200);
        writer.setPageLayout(PdfPageLayout(paper));
        PainterSurface surface(writer);
        try {
            output(surface);
        } catch (const PrintFailure& e) {
            failure = e.what();
        }
    }
    if (!failure.empty()) {
        file.cancelWriting();
        return failure;
    }
    if (!file.commit()) return "cannot write " + path + ": " + file.errorString().toStdString();
    return {};
}

} // namespace orvenix
