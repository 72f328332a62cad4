// The main window's New command with the generator window.
#include "app/options.h"
#include "base/messages.h"
#include "support/board_set_samples.h"
#include "support/generator_context.h"
#include "ui/app/main_window.h"
#include "ui/generate/generator_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

using namespace orvenix;

namespace {

// Calls the handler with every modal window that opens while it lives (once per window); a window the
// handler leaves open is closed, so that a test can never hang on it.
class ModalWatch {
  public:
    explicit ModalWatch(std::function<void(QWidget*)> handler) : handler_(std::move(handler)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    int opened = 0;

  private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == current_) return;
        current_ = modal;
        ++opened;
        handler_(modal);
        if (QApplication::activeModalWidget() == modal) modal->close();
    }
    std::function<void(QWidget*)> handler_;
    QTimer timer_;
    QWidget* current_ = nullptr;
};

class NewCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        dir = std::filesystem::temp_directory_path() /
              ("orvenix-new-command-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
               std::to_string(counter++));
        std::filesystem::create_directories(dir);
        options.historyPath = dir / "history.dat";
        options.machine = "emulated";
        options.seed = 99;
        QApplication::setQuitOnLastWindowClosed(false);
        window = std::make_unique<MainWindow>(t.ctx, options);
        t.ctx.status = [this, inner = t.ctx.status](const std::string& text) {
            statuses.push_back(text);
            if (inner) inner(text);
        };
        window->Start();
    }
    void TearDown() override {
        t.set.modified = false;
        window->close();
        window.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    void Trigger(const char* name) {
        auto* action = window->findChild<QAction*>(name);
        ASSERT_NE(action, nullptr);
        action->trigger();
    }

    // Generates boards first..last in the generator window and closes it.
    static void GenerateIn(QWidget* modal, const char* first, const char* last) {
        ASSERT_NE(qobject_cast<GeneratorWindow*>(modal), nullptr) << "the generator window opened";
        modal->findChild<QLineEdit*>("txtFirstBoard")->setText(first);
        modal->findChild<QLineEdit*>("txtLastBoard")->setText(last);
        QTest::mouseClick(modal->findChild<QPushButton*>("cmdDeal"), Qt::LeftButton);
        QTest::mouseClick(modal->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
    }

    std::filesystem::path dir;
    ProgramOptions options;
    orvenix::test::GeneratorContext t;
    std::unique_ptr<MainWindow> window;
    std::vector<std::string> statuses;
};

} // namespace

TEST_F(NewCommandTest, OpensTheGenerateWindowAndShowsTheNewSet) {
    statuses.clear();
    ModalWatch watch([](QWidget* modal) { GenerateIn(modal, "3", "10"); });
    Trigger("menuNew");
    EXPECT_EQ(watch.opened, 1);
    EXPECT_EQ(t.set.firstBoard, 3);
    EXPECT_EQ(t.set.lastBoard, 10);
    EXPECT_EQ(t.set[3].status, kBoardComplete);
    EXPECT_TRUE(t.set.modified);
    // The summary was redrawn from the new set.
    EXPECT_EQ(window->findChild<QLineEdit*>("txtFirstBoard")->text(), "3");
    EXPECT_EQ(window->findChild<QLineEdit*>("txtLastBoard")->text(), "10");
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.front(), "Generate");
    EXPECT_EQ(window->statusText(), "Ready");
}

TEST_F(NewCommandTest, UnsavedSetAnsweredNoIsReplaced) {
    t.set = orvenix::test::RandomSet(1, 4);
    t.set.modified = true;
    t.dialogs.QueueAnswer(Answer::No);
    ModalWatch watch([](QWidget* modal) { GenerateIn(modal, "1", "2"); });
    Trigger("menuNew");
    ASSERT_FALSE(t.dialogs.messages.empty());
    EXPECT_EQ(t.dialogs.messages.front().text, FormatMessage(MsgSetNotSaved));
    EXPECT_EQ(watch.opened, 1);
    EXPECT_EQ(t.set.lastBoard, 2);
}

TEST_F(NewCommandTest, UnsavedSetWhoseSaveIsCancelledIsKept) {
    t.set = orvenix::test::RandomSet(1, 4);
    t.set.modified = true;
    const BoardSet before = t.set;
    t.dialogs.QueueAnswer(Answer::Yes); // save it ...
    t.dialogs.QueueFile(std::nullopt);  // ... but the file dialog is cancelled
    ModalWatch watch([](QWidget*) {});
    Trigger("menuNew");
    EXPECT_EQ(watch.opened, 0) << "the generator does not open over a set that was not saved";
    EXPECT_EQ(t.set.lastBoard, 4);
    EXPECT_TRUE(t.set.modified);
    EXPECT_TRUE(orvenix::test::SameBoards(t.set, before, 1, 4));
    EXPECT_EQ(window->statusText(), "Ready");
}

TEST_F(NewCommandTest, UnsavedSetAnsweredCancelIsKept) {
    t.set = orvenix::test::RandomSet(1, 4);
    t.set.modified = true;
    t.dialogs.QueueAnswer(Answer::Cancel);
    ModalWatch watch([](QWidget*) {});
    Trigger("menuNew");
    EXPECT_EQ(watch.opened, 0);
    EXPECT_EQ(t.set.lastBoard, 4);
}
