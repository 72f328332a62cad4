// The board-number dialog, alone and as the Load command opens it from the main window.
#include "base/messages.h"
#include "formats/bri.h"
#include "support/board_set_samples.h"
#include "support/window_test.h"
#include "ui/formats/board_number_dialog.h"

namespace orvenix::test {
namespace {

TEST(BoardNumberDialog, LastBoardFollowsTheFirstWhichIsCheckedAgainstTheLargestThatFits) {
    const std::tuple<const char*, Qt::Key, int> cases[] = {
        // The key that confirms (Key_unknown: the OK button is clicked) and the first board after it (0: the
        // number is refused and the dialog stays; 1: the boards stay where they were loaded).
        {"610", Qt::Key_unknown, 0}, {"0", Qt::Key_unknown, 0},     {"", Qt::Key_Return, 0},
        {"9", Qt::Key_Escape, 1},    {"609", Qt::Key_unknown, 609}, {"9", Qt::Key_Return, 9}};
    for (const auto& [typed, confirm, firstAfter] : cases) {
        SCOPED_TRACE(typed);
        ScriptedDialogs dialogs;
        BoardSet set = RandomSet(1, 32);
        BoardNumberDialog window(set, "BRI", dialogs);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        auto* first = Child<QLineEdit>(&window, "txtFirstBoard");
        EXPECT_EQ(std::tuple(first->hasFocus(), first->selectedText()), std::tuple(true, "1"));
        QTest::keyClick(first, Qt::Key_Delete);
        QTest::keyClicks(first, typed);
        // 32 boards from the first; an empty box counts as 0.
        EXPECT_EQ(Child<QLineEdit>(&window, "txtLastBoard")->text(), QString::number(std::atoi(typed) + 31));
        if (confirm == Qt::Key_unknown) {
            QTest::mouseClick(Child<QPushButton>(&window, "Command1"), Qt::LeftButton);
        } else {
            QTest::keyClick(first, confirm);
        }
        const bool refused = firstAfter == 0;
        ASSERT_EQ(dialogs.messages.size(), refused ? 1U : 0U);
        EXPECT_TRUE(!refused || dialogs.Last().text == FormatMessage(MsgIncorrectFirstBoard, "609"));
        EXPECT_EQ(std::tuple(window.isVisible(), first->hasFocus(), set.firstBoard, set.lastBoard),
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
