// The main window's Edit command: the editor opens modally; accepted changes reach the summary and make
// Exit ask, discarded ones leave the set untouched.
#include "support/board_set_samples.h"
#include "support/window_test.h"
#include "ui/editor/editor_window.h"

namespace orvenix::test {
namespace {

TEST_F(MainWindowTest, EditedSetReachesTheSummaryDiscardedEditsDoNot) {
    *t.set = test::RandomSet(1, 4);
    t.set->modified = false;
    const BoardSet before = *t.set;
    // Changes closed with Discard: nothing reaches the set.
    t.dialogs.QueueAnswer(Answer::Ok);
    WhenModalOpens([&](QWidget* modal) {
        auto* editor = qobject_cast<EditorWindow*>(modal);
        ASSERT_NE(editor, nullptr);
        QTest::mouseClick(editor->findChild<QPushButton*>("cmdSwap6"), Qt::LeftButton);
        editor->close();
    });
    Trigger("menuEdit");
    ASSERT_EQ(t.dialogs.messages.size(), 1U);
    EXPECT_EQ(t.dialogs.Last().text, "Discard changes?");
    EXPECT_TRUE(test::SameBoards(*t.set, before, 1, 4));
    EXPECT_FALSE(t.set->modified);
    EXPECT_EQ(window->statusText(), "Ready");

    WhenModalOpens([&](QWidget* modal) {
        QTest::mouseClick(modal->findChild<QPushButton*>("cmdAdd"), Qt::LeftButton);
        QTest::mouseClick(modal->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
    });
    Trigger("menuEdit");
    EXPECT_EQ(t.set->lastBoard, 5);
    EXPECT_EQ(Text("txtLastBoard"), "5");
    EXPECT_TRUE(t.set->modified);
    // Exit now asks whether to save; Cancel keeps the program running.
    t.dialogs.QueueAnswer(Answer::Cancel);
    window->close();
    EXPECT_EQ(t.dialogs.Last().title, "Exit");
    EXPECT_TRUE(window->isVisible());
}

} // namespace
} // namespace orvenix::test
