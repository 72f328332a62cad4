// The Qt drawing surface: installed fonts for the logical names, measuring in the current unit, pages of
// a PDF document, and a failed or finished document.
#include "print/print_probe.h"
#include "print_qt/painter_surface.h"
#include "support/sample_deals.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvenix {
namespace {

TEST(PainterSurface, FontsMeasuringInTheCurrentUnitTheDocumentsPagesOrNoFileAtAll) {
    // The logical fonts are installed with their glyphs.
    EXPECT_TRUE(QFontDatabase::hasFamily(InstalledFamily(kTextFont)));
    const QFontMetricsF symbols(MakeQFont(PrintFont{kSymbolFont, 14, false}));
    for (char32_t suit : {U'\u2660', U'\u2665', U'\u2666', U'\u2663'})
        EXPECT_TRUE(symbols.inFontUcs4(suit));
    QTemporaryDir dir;
    const QString path = dir.filePath("t.pdf");
    int pages = 0;
    EXPECT_EQ(WritePdf(path.toStdString(), PaperSize::A4, "Pairs",
                       [&](PainterSurface& s) {
                           s.SetUnit(PrintUnit::Points);
                           EXPECT_NEAR(s.PageWidth(), 595.28 - 30, 0.5); // inside the margins
                           EXPECT_NEAR(s.PageHeight(), 841.89 - 36, 0.5);
                           s.SetFontSize(12);
                           const double points = s.TextWidth("Board: ");
                           s.SetBold(true);
                           EXPECT_GT(s.TextWidth("Board: "), points);
                           s.SetBold(false);
                           s.SetUnit(PrintUnit::Twips);
                           EXPECT_NEAR(s.TextWidth("Board: "), points * 20, 1e-6);
                           EXPECT_FALSE(s.active()) << "measuring starts no print job";
                           PrintHandRecords(s, test::SampleSet(1, 20), test::Request{.to = 20});
                           pages = s.pages();
                           EXPECT_THROW(s.Text(10, 10, "y"), PrintFailure) << "the document is finished";
                       }),
              "");
    EXPECT_EQ(pages, 3);
    EXPECT_TRUE(QFile::exists(path));
    const auto failing = [](PainterSurface& s) {
        s.Text(0, 0, "page one");
        s.EndPage();
        throw PrintFailure("The printer stopped.");
    };
    EXPECT_EQ(WritePdf(dir.filePath("f.pdf").toStdString(), PaperSize::Letter, "x", failing),
              "The printer stopped.");
    EXPECT_FALSE(QFile::exists(dir.filePath("f.pdf")));
}

} // namespace
} // namespace orvenix
