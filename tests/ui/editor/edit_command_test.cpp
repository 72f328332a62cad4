// The main window's Edit command: the editor opens modally with "Edit Board" in the status line, and its
// accepted changes reach the summary and make Exit ask before they are discarded.
#include "ui/app/main_window.h"
#include "ui/editor/editor_window.h"

#include "support/board_set_samples.h"
#include "support/generator_context.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace orvenix {
namespace {

class EditCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        options.historyPath = dir.path() / "history.dat";
        options.seed = 5;
        window = std::make_unique<MainWindow>(t.ctx, options);
        window->Start();
    }
    void TearDown() override {
        t.set.modified = false;
        window->close();
        window.reset();
    }

    // Runs the Edit command; `inside` gets the editor window while it is open and must close it.
    void RunEdit(const std::function<void(EditorWindow*)>& inside) {
        bool seen = false;
        QTimer poller;
        poller.setInterval(10);
        QObject::connect(&poller, &QTimer::timeout, [&] {
            auto* editor = qobject_cast<EditorWindow*>(QApplication::activeModalWidget());
            if (editor == nullptr) return;
            poller.stop();
            seen = true;
            statusWhileOpen = window->statusText();
            inside(editor);
            if (editor->isVisible()) editor->reject();
        });
        poller.start();
        QAction* action = window->findChild<QAction*>("menuEdit");
        ASSERT_NE(action, nullptr);
        action->trigger();
        poller.stop();
        EXPECT_TRUE(seen) << "the editor did not open";
    }
    static void Click(EditorWindow* editor, const char* name) {
        auto* button = editor->findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->isEnabled()) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QString MainBox(const char* name) {
        auto* box = window->findChild<QLineEdit*>(name);
        return box != nullptr ? box->text() : QString("<missing>");
    }

    test::TempDir dir;
    test::GeneratorContext t{3};
    ProgramOptions options;
    std::unique_ptr<MainWindow> window;
    QString statusWhileOpen;
};

TEST_F(EditCommandTest, AcceptedChangesReachTheSummaryAndMakeExitAsk) {
    t.set = test::RandomSet(1, 4);
    t.set.modified = false;
    RunEdit([](EditorWindow* editor) {
        Click(editor, "cmdAdd");
        Click(editor, "cmdExit");
    });
    EXPECT_EQ(statusWhileOpen, "Edit Board");
    EXPECT_EQ(window->statusText(), "Ready");
    EXPECT_EQ(t.set.lastBoard, 5);
    EXPECT_EQ(MainBox("txtLastBoard"), "5");
    EXPECT_TRUE(t.set.modified);
    // Exit now asks whether to save; Cancel keeps the program running.
    t.dialogs.QueueAnswer(Answer::Cancel);
    window->close();
    ASSERT_FALSE(t.dialogs.messages.empty());
    EXPECT_EQ(t.dialogs.Last().title, "Exit");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(EditCommandTest, DiscardedEditsLeaveTheSetUntouched) {
    t.set = test::RandomSet(1, 4);
    const auto before = std::make_unique<BoardSet>(t.set);
    t.dialogs.QueueAnswer(Answer::Ok);
    RunEdit([](EditorWindow* editor) {
        Click(editor, "cmdSwap6");
        editor->close();
    });
    ASSERT_EQ(t.dialogs.messages.size(), 1U);
    EXPECT_EQ(t.dialogs.Last().text, "Discard changes?");
    EXPECT_TRUE(test::SameBoards(t.set, *before, 1, 4));
    EXPECT_FALSE(t.set.modified);
    EXPECT_EQ(window->statusText(), "Ready");
}

TEST_F(EditCommandTest, EditingWithoutASetCreatesBoardOne) {
    RunEdit([](EditorWindow* editor) { Click(editor, "cmdExit"); });
    EXPECT_EQ(t.set.firstBoard, 1);
    EXPECT_EQ(t.set.lastBoard, 1);
    EXPECT_EQ(MainBox("txtLastBoard"), "1");
    EXPECT_FALSE(t.set.modified);
}

} // namespace
} // namespace orvenix
