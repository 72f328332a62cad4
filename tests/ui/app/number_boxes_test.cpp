// Every number box of the board-number, generator, editor and printing windows takes digits only, up to its
// maximum: a refused change is undone whole and the caret steps back one place.
#include "support/board_set_samples.h"
#include "support/window_test.h"
#include "ui/editor/editor_window.h"
#include "ui/formats/board_number_dialog.h"
#include "ui/generate/generator_window.h"
#include "ui/print/print_window.h"

#include <QPrinter>

namespace orvenix::test {
namespace {

enum class Window { BoardNumbers, Generator, Editor, Printing };

TEST(NumberBoxes, TakeDigitsOnlyUpToTheirMaximum) {
    // The box's text and the caret before typing, what is typed one key at a time (pasted whole when it
    // starts with '+', the '+' not typed), and the text and the caret after.
    const std::tuple<Window, const char*, const char*, int, const char*, const char*, int> cases[] = {
        // The board-number dialog: up to 999, leading zeros keep the value.
        {Window::BoardNumbers, "txtFirstBoard", "64", 2, "00", "640", 3},
        {Window::BoardNumbers, "txtFirstBoard", "", 0, "007", "007", 3},
        {Window::BoardNumbers, "txtFirstBoard", "12", 2, "+34x", "12", 2},
        {Window::BoardNumbers, "txtFirstBoard", "12", 1, "+\u0661", "12", 1}, // not a 0-9 digit
        // The generator: up to 999, no leading zero.
        {Window::Generator, "txtLastBoard", "32", 0, "0", "32", 0},
        {Window::Generator, "txtLastBoard", "32", 2, "45", "324", 3},
        {Window::Generator, "txtFirstBoard", "", 0, "x9", "9", 1},
        {Window::Generator, "txtFirstBoard", "", 0, "+99999999999999999999", "", 0},
        // The editor's count: up to 999.
        {Window::Editor, "txtCount", "", 0, "12.5", "125", 3},
        {Window::Editor, "txtCount", "", 0, "1000", "100", 3},
        // The printing window: up to 99 copies and board numbers up to 999, no leading zero.
        {Window::Printing, "txtCopies", "9", 1, "90", "99", 2},
        {Window::Printing, "txtCopies", "", 0, "07", "7", 1},
        {Window::Printing, "txtFromBoard", "10", 2, "00", "100", 3},
        {Window::Printing, "txtToBoard", "99", 2, "9", "999", 3},
        {Window::Printing, "txtNSoffset", "", 0, "-5", "5", 1},
    };
    TestContext t;
    *t.set = RandomSet(1, 4);
    t.settings.values = {{"PrintMode", "1"}, {"PrintScoreCardMode", "1"}}; // the pair-number box in use
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    for (const auto& [kind, name, start, caret, typed, shown, caretAfter] : cases) {
        SCOPED_TRACE(std::string(name) + " '" + start + "' + '" + typed + "'");
        std::unique_ptr<QWidget> window;
        if (kind == Window::BoardNumbers)
            window = std::make_unique<BoardNumberDialog>(*t.set, "BRI", t.dialogs);
        if (kind == Window::Generator) window = std::make_unique<GeneratorWindow>(t.ctx);
        if (kind == Window::Editor) window = std::make_unique<EditorWindow>(t.ctx);
        if (kind == Window::Printing) window = std::make_unique<PrintWindow>(t.ctx, printer);
        QLineEdit* box = Child<QLineEdit>(window.get(), name);
        ASSERT_NE(box, nullptr);
        box->setText(start);
        box->setCursorPosition(caret);
        if (*typed == '+') {
            box->insert(QString::fromUtf8(typed + 1));
        } else {
            QTest::keyClicks(box, typed);
        }
        EXPECT_EQ(std::tuple(box->text(), box->cursorPosition()), std::tuple(shown, caretAfter));
    }
}

} // namespace
} // namespace orvenix::test
