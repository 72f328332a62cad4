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

struct BoxCase {
    Window window;
    const char* box;
    const char* start; // the box's text before typing
    int caret;         // where the typing starts
    const char* typed; // typed one character at a time, or pasted whole
    bool paste;
    const char* shown;
    int caretAfter;
};

TEST(NumberBoxes, TakeDigitsOnlyUpToTheirMaximum) {
    const BoxCase cases[] = {
        // The board-number dialog: up to 999, leading zeros keep the value.
        {Window::BoardNumbers, "txtFirstBoard", "12", 1, "x", false, "12", 1},
        {Window::BoardNumbers, "txtFirstBoard", "64", 2, "00", false, "640", 3},
        {Window::BoardNumbers, "txtFirstBoard", "", 0, "007", false, "007", 3},
        {Window::BoardNumbers, "txtFirstBoard", "5", 0, "-", false, "5", 0},
        {Window::BoardNumbers, "txtFirstBoard", "12", 2, "34x", true, "12", 2},
        {Window::BoardNumbers, "txtFirstBoard", "", 0, "\u0661", false, "", 0}, // not a 0-9 digit
        // The generator: up to 999, no leading zero.
        {Window::Generator, "txtLastBoard", "32", 0, "0", false, "32", 0},
        {Window::Generator, "txtLastBoard", "32", 2, "45", false, "324", 3},
        {Window::Generator, "txtFirstBoard", "17", 2, "-", false, "17", 2},
        {Window::Generator, "txtFirstBoard", "", 0, "x9", false, "9", 1},
        {Window::Generator, "txtFirstBoard", "", 0, "99999999999999999999", true, "", 0},
        // The editor's count: up to 999, leading zeros kept.
        {Window::Editor, "txtCount", "", 0, "a3", false, "3", 1},
        {Window::Editor, "txtCount", "", 0, "12.5", false, "125", 3},
        {Window::Editor, "txtCount", "", 0, "1000", false, "100", 3},
        {Window::Editor, "txtCount", "", 0, "0012", false, "0012", 4},
        // The printing window: up to 99 copies and board numbers up to 999, no leading zero.
        {Window::Printing, "txtCopies", "9", 1, "90", false, "99", 2},
        {Window::Printing, "txtCopies", "", 0, "07", false, "7", 1},
        {Window::Printing, "txtFromBoard", "10", 2, "00", false, "100", 3},
        {Window::Printing, "txtToBoard", "99", 2, "9", false, "999", 3},
        {Window::Printing, "txtNSoffset", "", 0, "-5", false, "5", 1},
    };
    TestContext t;
    *t.set = RandomSet(1, 4);
    t.settings.values = {{"PrintMode", "1"}, {"PrintScoreCardMode", "1"}}; // the pair-number box in use
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " '" + c.start + "' + '" + c.typed + "'");
        std::unique_ptr<QWidget> window;
        if (c.window == Window::BoardNumbers)
            window = std::make_unique<BoardNumberDialog>(*t.set, "BRI", t.dialogs);
        if (c.window == Window::Generator) window = std::make_unique<GeneratorWindow>(t.ctx);
        if (c.window == Window::Editor) window = std::make_unique<EditorWindow>(t.ctx);
        if (c.window == Window::Printing) window = std::make_unique<PrintWindow>(t.ctx, printer);
        QLineEdit* box = Child<QLineEdit>(window.get(), c.box);
        ASSERT_NE(box, nullptr);
        box->setText(c.start);
        ASSERT_EQ(box->text(), c.start);
        box->setCursorPosition(c.caret);
        if (c.paste) {
            box->insert(QString::fromUtf8(c.typed));
        } else {
            TypeText(box, QString::fromUtf8(c.typed));
        }
        EXPECT_EQ(box->text(), c.shown);
        EXPECT_EQ(box->cursorPosition(), c.caretAfter);
    }
}

} // namespace
} // namespace orvenix::test
