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
    void Open() {
        set = RandomSet(1, 32);
        window = std::make_unique<BoardNumberDialog>(set, "BRI", dialogs);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        first = Child<QLineEdit>(window.get(), "txtFirstBoard");
        last = Child<QLineEdit>(window.get(), "txtLastBoard");
    }
    ScriptedDialogs dialogs;
    BoardSet set;
    std::unique_ptr<BoardNumberDialog> window;
    QLineEdit* first = nullptr;
    QLineEdit* last = nullptr;
};

TEST_F(BoardNumberDialogTest, LastBoardFollowsTheFirstTypedOverTheLoadedRange) {
    Open();
    EXPECT_EQ(std::tuple(last->text(), first->hasFocus(), first->selectedText()),
              std::tuple("32", true, "1"));
    QTest::keyClicks(first, "6"); // replaces the selected "1"
    EXPECT_EQ(last->text(), "37");
    QTest::keyClicks(first, "00");
    EXPECT_EQ(last->text(), "631");
    first->clear();
    EXPECT_EQ(last->text(), "31"); // an empty box counts as 0
}

TEST_F(BoardNumberDialogTest, FirstBoardIsCheckedAgainstTheLargestThatFits) {
    const std::tuple<const char*, Qt::Key, int> cases[] = {
        // The key that confirms (Key_unknown: the OK button is clicked) and the first board after it (0: the
        // number is refused and the dialog stays; 1: the boards stay where they were loaded).
        {"610", Qt::Key_unknown, 0}, {"0", Qt::Key_unknown, 0},     {"", Qt::Key_Return, 0},
        {"9", Qt::Key_Escape, 1},    {"609", Qt::Key_unknown, 609}, {"9", Qt::Key_Return, 9}};
    for (const auto& [typed, confirm, firstAfter] : cases) {
        SCOPED_TRACE(typed);
        Open();
        dialogs.messages.clear();
        first->clear();
        QTest::keyClicks(first, typed);
        if (confirm == Qt::Key_unknown) {
            QTest::mouseClick(Child<QPushButton>(window.get(), "Command1"), Qt::LeftButton);
        } else {
            QTest::keyClick(first, confirm);
        }
        const bool refused = firstAfter == 0;
        ASSERT_EQ(dialogs.messages.size(), refused ? 1U : 0U);
        EXPECT_TRUE(!refused || dialogs.Last().text == FormatMessage(MsgIncorrectFirstBoard, "609"));
        EXPECT_EQ(std::tuple(window->isVisible(), first->hasFocus(), set.firstBoard, set.lastBoard),
                  std::tuple(refused, refused, std::max(firstAfter, 1), std::max(firstAfter, 1) + 31));
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
    EXPECT_EQ(Text("txtFirstBoard") + "-" + Text("txtLastBoard"), "5-8");
}

} // namespace
} // namespace orvenix::test
