// The board-number dialog, alone and as the Load command opens it from the main window.
#include "base/messages.h"
#include "formats/bri.h"
#include "support/board_set_samples.h"
#include "support/window_test.h"
#include "ui/formats/board_number_dialog.h"

namespace orvenix::test {
namespace {

class BoardNumberDialogTest : public ::testing::Test {
  protected:
    void Open(const std::string& format = "BRI") {
        set = RandomSet(1, 32);
        window = std::make_unique<BoardNumberDialog>(set, format, dialogs);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        first = Child<QLineEdit>(window.get(), "txtFirstBoard");
        last = Child<QLineEdit>(window.get(), "txtLastBoard");
    }
    void Enter(const QString& text) {
        first->selectAll();
        QTest::keyClick(first, Qt::Key_Backspace);
        QTest::keyClicks(first, text);
    }
    ScriptedDialogs dialogs;
    BoardSet set;
    std::unique_ptr<BoardNumberDialog> window;
    QLineEdit* first = nullptr;
    QLineEdit* last = nullptr;
};

TEST_F(BoardNumberDialogTest, LastBoardFollowsTheFirstTypedOverTheLoadedRange) {
    Open("DUP");
    const QString dupExplanation = Child<QLabel>(window.get(), "lblFormat")->text();
    Open();
    EXPECT_NE(Child<QLabel>(window.get(), "lblFormat")->text(), dupExplanation);
    EXPECT_EQ(last->text(), "32");
    EXPECT_TRUE(first->hasFocus());
    EXPECT_EQ(first->selectedText(), "1");
    QTest::keyClicks(first, "6"); // replaces the selected "1"
    EXPECT_EQ(last->text(), "37");
    QTest::keyClicks(first, "00");
    EXPECT_EQ(last->text(), "631");
    Enter("");
    EXPECT_EQ(last->text(), "31"); // an empty box counts as 0
}

TEST_F(BoardNumberDialogTest, FirstBoardIsCheckedAgainstTheLargestThatFits) {
    const struct {
        const char* first;
        Qt::Key confirm; // Key_unknown: the OK button is clicked
        int firstAfter;  // 1: the boards stay where they were loaded
        bool refused;
    } cases[] = {{"610", Qt::Key_unknown, 1, true},    {"0", Qt::Key_unknown, 1, true},
                 {"", Qt::Key_Return, 1, true},        {"9", Qt::Key_Escape, 1, false},
                 {"609", Qt::Key_unknown, 609, false}, {"9", Qt::Key_Return, 9, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        Open();
        dialogs.messages.clear();
        const BoardSet loaded = set;
        Enter(c.first);
        if (c.confirm == Qt::Key_unknown) {
            QTest::mouseClick(Child<QPushButton>(window.get(), "Command1"), Qt::LeftButton);
        } else {
            QTest::keyClick(first, c.confirm);
        }
        ASSERT_EQ(dialogs.messages.size(), c.refused ? 1U : 0U);
        if (c.refused) {
            EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgIncorrectFirstBoard, "609"));
        }
        EXPECT_EQ(window->isVisible(), c.refused);
        EXPECT_EQ(first->hasFocus(), c.refused);
        EXPECT_EQ(set.firstBoard, c.firstAfter);
        EXPECT_EQ(set.lastBoard, c.firstAfter + 31);
        EXPECT_EQ(set[c.firstAfter].cardOwner, loaded[1].cardOwner);
        EXPECT_EQ(set[c.firstAfter + 31].cardOwner, loaded[32].cardOwner);
    }
}

TEST_F(MainWindowTest, LoadAsksForTheNumbersAndShowsTheMovedSet) {
    const std::filesystem::path path = t.dir / "club.bri";
    WriteFile(path, WriteBri(RandomSet(1, 4)));
    t.dialogs.QueueFile(path.string());
    WhenModalOpens([](QWidget* modal) {
        QTest::keyClicks(Child<QLineEdit>(modal, "txtFirstBoard"), "5");
        QTest::mouseClick(Child<QPushButton>(modal, "Command1"), Qt::LeftButton);
    });
    Trigger("menuLoad");
    EXPECT_EQ(Text("txtFirstBoard"), "5");
    EXPECT_EQ(Text("txtLastBoard"), "8");
    EXPECT_EQ(Text("txtFileName"), QString::fromStdString(path.string()));
    EXPECT_EQ(window->statusText(), "Boards loaded: 4");
}

} // namespace
} // namespace orvenix::test
