// The page-oriented drawing surface that hand records and score cards are laid out on. A surface keeps a
// coordinate unit and a current font (name, size, weight) like a printer object; the layouts set them and
// then place texts, lines and rectangles, measure texts and end pages. Coordinates are measured from the
// top-left corner of the printable area, and a text's position is the top-left corner of its line.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvenix {

enum class PrintUnit { Twips, Points }; // 1/1440 inch, 1/72 inch

// Units of the given kind per point.
constexpr double UnitsPerPoint(PrintUnit unit) {
    return unit == PrintUnit::Twips ? 20.0 : 1.0;
}

// Logical font names of the layouts; each surface maps them onto fonts it has.
inline constexpr const char* kTextFont = "Times New Roman";
inline constexpr const char* kSymbolFont = "Symbol";

// The ink of texts: black, or red for the red suits.
enum class InkColour { Black, Red };

struct PrintFont {
    std::string name = kTextFont;
    double size = 10; // points
    bool bold = false;
    friend bool operator==(const PrintFont&, const PrintFont&) = default;
};

// Thrown by a surface whose printer failed or is not available; the text says why, for the user.
class PrintFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class PrintSurface {
  public:
    virtual ~PrintSurface() = default;

    void SetUnit(PrintUnit unit) { unit_ = unit; }
    void SetFontName(std::string name) { font_.name = std::move(name); }
    void SetFontSize(double size) { font_.size = size; }
    void SetBold(bool bold) { font_.bold = bold; }
    void SetColour(InkColour colour) { colour_ = colour; }
    [[nodiscard]] InkColour colour() const { return colour_; }
    // A layout of fixed size says how many points across it needs; a surface whose printable area is
    // narrower draws it scaled down to fit (and reports the larger page the layout then has).
    void FitWidth(double points) { fitWidthPoints_ = points; }
    [[nodiscard]] double FitWidthPoints() const { return fitWidthPoints_; }
    [[nodiscard]] PrintUnit unit() const { return unit_; }
    [[nodiscard]] const PrintFont& font() const { return font_; }

    // Size of the printable area in the current unit.
    [[nodiscard]] double PageWidth() const { return PageWidthPoints() * UnitsPerPoint(unit_); }
    [[nodiscard]] double PageHeight() const { return PageHeightPoints() * UnitsPerPoint(unit_); }
    // Width of a UTF-8 text in the current font and unit.
    [[nodiscard]] double TextWidth(std::string_view text) const {
        return TextWidthPoints(text) * UnitsPerPoint(unit_);
    }

    // Drawing, in the current unit; texts are UTF-8.
    virtual void Text(double x, double y, std::string_view text) = 0;
    virtual void Line(double x1, double y1, double x2, double y2) = 0;
    virtual void Rectangle(double x1, double y1, double x2, double y2) = 0;
    // Ends the current page; the next drawing starts a new one.
    virtual void EndPage() = 0;
    // Ends the document: everything printed since the start goes to the printer as one job.
    virtual void EndDocument() = 0;

  protected:
    [[nodiscard]] virtual double PageWidthPoints() const = 0;
    [[nodiscard]] virtual double PageHeightPoints() const = 0;
    [[nodiscard]] virtual double TextWidthPoints(std::string_view text) const = 0;
    // A length in the current unit, in points.
    [[nodiscard]] double ToPoints(double v) const { return v / UnitsPerPoint(unit_); }

  private:
    PrintUnit unit_ = PrintUnit::Twips;
    PrintFont font_;
    InkColour colour_ = InkColour::Black;
    double fitWidthPoints_ = 0;
};

// The printer's convention for a number printed by itself or after a text: one blank before, one after.
std::string PrintedNumber(long value);

// The text without its last character (a whole UTF-8 sequence); empty stays empty.
std::string DropLastCharacter(std::string_view text);
// Removes the last character while the text is wider than maxWidth in the surface's current font and unit.
std::string ShortenToWidth(const PrintSurface& surface, std::string text, double maxWidth);
// Removes leading characters and puts "..." in front while the text is wider than maxWidth.
std::string ShortenFrontToWidth(const PrintSurface& surface, const std::string& text, double maxWidth);

// ---- Recording surface for tests and for checking a layout without a printer -----------------------

enum class DrawKind { Text, Line, Rectangle, EndPage, EndDocument };

struct DrawOp {
    DrawKind kind = DrawKind::Text;
    int page = 0; // 0-based page the element lies on
    PrintUnit unit = PrintUnit::Twips;
    PrintFont font;
    InkColour colour = InkColour::Black;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // a text uses x1, y1
    std::string text;
};

// Records every element in order. Texts are measured by a fixed rule, so layouts give the same positions
// on every machine: each character is half the font size wide, bold ones 10 % wider, and the rank letters
// and digits have their own fixed widths (see CharacterWidthEm).
class RecordingSurface : public PrintSurface {
  public:
    // Default: a Letter page with quarter-inch printer margins (576 x 756 points printable).
    explicit RecordingSurface(double widthPoints = 576, double heightPoints = 756)
        : width_(widthPoints), height_(heightPoints) {}

    void Text(double x, double y, std::string_view text) override;
    void Line(double x1, double y1, double x2, double y2) override;
    void Rectangle(double x1, double y1, double x2, double y2) override;
    void EndPage() override;
    void EndDocument() override;

    // Width of one character in ems by the fixed rule.
    static double CharacterWidthEm(char32_t c);

    std::vector<DrawOp> ops;
    int pagesEnded = 0;
    int documentsEnded = 0;
    // Makes the next EndPage throw PrintFailure after this many pages were ended (negative: never).
    int failAfterPages = -1;

    // Elements of one page (0-based), or of one kind on it.
    [[nodiscard]] std::vector<DrawOp> Page(int page) const;
    [[nodiscard]] std::vector<DrawOp> Texts(int page) const;
    [[nodiscard]] std::vector<DrawOp> Lines(int page) const;
    [[nodiscard]] std::vector<DrawOp> Rectangles(int page) const;

  protected:
    [[nodiscard]] double PageWidthPoints() const override { return width_; }
    [[nodiscard]] double PageHeightPoints() const override { return height_; }
    [[nodiscard]] double TextWidthPoints(std::string_view text) const override;

  private:
    DrawOp Make(DrawKind kind) const;
    double width_;
    double height_;
};

} // namespace orvenix
