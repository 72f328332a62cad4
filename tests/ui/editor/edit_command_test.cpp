// The main window's Edit command: the editor opens modally and accepted changes reach the summary and mark
// the set as unsaved.
#include "support/board_set_samples.h"
#include "support/window_test.h"
#include "ui/editor/editor_window.h"

namespace orvenix::test {
namespace {

TEST_F(MainWindowTest, EditedSetReachesTheSummary) {
    *t.set = test::RandomSet(1, 4);
    t.set->modified = false;
    bool editor = false;
    WhenModalOpens([&](QWidget* modal) {
        editor = qobject_cast<EditorWindow*>(modal) != nullptr;
        QTest::mouseClick(modal->findChild<QPushButton*>("cmdAdd"), Qt::LeftButton);
        QTest::mouseClick(modal->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
    });
    Trigger("menuEdit");
    EXPECT_EQ(std::tuple(editor, t.set->lastBoard, Text("txtLastBoard").toStdString(), t.set->modified,
                         window->statusText()),
              std::tuple(true, 5, "5", true, "Ready"));
}

} // namespace
} // namespace orvenix::test
