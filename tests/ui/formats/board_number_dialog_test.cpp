// The board-number dialog, alone and as the Load command opens it from the main window.
#include "base/messages.h"
#include "formats/bri.h"
#include "formats/frame.h"
#include "support/board_set_samples.h"
#include "support/window_test.h"
#include "ui/formats/board_number_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <memory>

namespace orvenix::test {
namespace {

class BoardNumberDialogTest : public ::testing::Test {
  protected:
    void Open(int boards, const std::string& format = "BRI") {
        set = std::make_unique<BoardSet>(orvenix::test::RandomSet(1, boards));
        loaded = std::make_unique<BoardSet>(*set);
        window = std::make_unique<BoardNumberDialog>(*set, format, dialogs);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        first = Child<QLineEdit>(window.get(), "txtFirstBoard");
        last = Child<QLineEdit>(window.get(), "txtLastBoard");
        ok = Child<QPushButton>(window.get(), "Command1");
        ASSERT_TRUE(first && last && ok);
    }
    void Enter(const QString& text) {
        first->selectAll();
        QTest::keyClick(first, Qt::Key_Backspace);
        QTest::keyClicks(first, text);
    }
    QString Label(const char* name) {
        auto* label = Child<QLabel>(window.get(), name);
        return label != nullptr ? label->text() : QString();
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<BoardSet> set;
    std::unique_ptr<BoardSet> loaded;
    std::unique_ptr<BoardNumberDialog> window;
    QLineEdit* first = nullptr;
    QLineEdit* last = nullptr;
    QPushButton* ok = nullptr;
};

TEST_F(BoardNumberDialogTest, ShowsTheLoadedRange) {
    Open(32);
    EXPECT_EQ(window->windowTitle(), "Boards Numbers");
    EXPECT_EQ(Label("lblBoardLoaded"), QString::fromStdString(FormatMessage(MsgBoardsWereLoaded, "32")));
    EXPECT_EQ(Label("lblFormat"), QString::fromStdString(FormatMessage(MsgNoBoardNumbersAllocated, "BRI")));
    EXPECT_EQ(Label("lblFirstBoard"), "First Board:");
    EXPECT_EQ(Label("lblLastBoard"), "Last Board:");
    EXPECT_EQ(Label("lblChangeBoards"), QString::fromStdString(MessageTemplate(MsgChangeAllocation)));
    EXPECT_EQ(first->text(), "1");
    EXPECT_EQ(last->text(), "32");
    EXPECT_TRUE(first->hasFocus());
    EXPECT_EQ(first->selectedText(), "1");
}

TEST_F(BoardNumberDialogTest, DupHasItsOwnExplanation) {
    Open(3, "DUP");
    EXPECT_EQ(Label("lblFormat"), QString::fromStdString(MessageTemplate(MsgDupNoBoardNumbers)));
}

TEST_F(BoardNumberDialogTest, LastBoardFollowsTheTypedFirstBoard) {
    Open(32);
    QTest::keyClicks(first, "6"); // replaces the selected "1"
    EXPECT_EQ(first->text(), "6");
    EXPECT_EQ(last->text(), "37");
    QTest::keyClicks(first, "x"); // not a digit: undone
    EXPECT_EQ(first->text(), "6");
    EXPECT_EQ(last->text(), "37");
    QTest::keyClicks(first, "00");
    EXPECT_EQ(first->text(), "600");
    QTest::keyClicks(first, "0"); // 6000 is above 999: undone
    EXPECT_EQ(first->text(), "600");
    EXPECT_EQ(last->text(), "631");
    Enter("");
    EXPECT_EQ(last->text(), "31"); // an empty box counts as 0
}

TEST_F(BoardNumberDialogTest, ThirtyTwoBoardsAcceptFirstBoard609) {
    Open(32);
    Enter("609");
    EXPECT_EQ(last->text(), "640");
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(set->firstBoard, 609);
    EXPECT_EQ(set->lastBoard, 640);
    EXPECT_EQ((*set)[609].cardOwner, (*loaded)[1].cardOwner);
    EXPECT_EQ((*set)[640].cardOwner, (*loaded)[32].cardOwner);
    EXPECT_EQ((*set)[640].number, 640);
    EXPECT_EQ((*set)[640].dealer, DealerOf(640));
    EXPECT_EQ((*set)[640].vulnerability, VulnerabilityOf(640));
}

TEST_F(BoardNumberDialogTest, FirstBoardOutsideTheRangeIsRefusedNamingTheLargest) {
    Open(32);
    for (const char* text : {"610", "0", ""}) {
        dialogs.messages.clear();
        Enter(text);
        QTest::mouseClick(ok, Qt::LeftButton);
        ASSERT_EQ(dialogs.messages.size(), 1U) << text;
        EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgIncorrectFirstBoard, "609"));
        EXPECT_EQ(dialogs.Last().title, "Incorrect value entered");
        EXPECT_EQ(dialogs.Last().icon, Icon::Critical);
        EXPECT_TRUE(window->isVisible()) << text;
        EXPECT_TRUE(first->hasFocus());
        EXPECT_EQ(set->firstBoard, 1);
        EXPECT_EQ(set->lastBoard, 32);
    }
}

TEST_F(BoardNumberDialogTest, ReturnConfirms) {
    Open(4);
    QTest::keyClicks(first, "9");
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_EQ(set->firstBoard, 9);
    EXPECT_EQ(set->lastBoard, 12);
}

TEST_F(BoardNumberDialogTest, EscapeLeavesTheBoardsWhereTheyWereLoaded) {
    Open(4);
    QTest::keyClicks(first, "9");
    QTest::keyClick(first, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(set->firstBoard, 1);
    EXPECT_EQ(set->lastBoard, 4);
    EXPECT_TRUE(dialogs.messages.empty());
}

// ---- From the main window -----------------------------------------------------------------------------

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

TEST_F(MainWindowTest, LoadOpensLoadNumberAndShowsTheMovedSet) {
    const BoardSet content = orvenix::test::RandomSet(1, 4);
    const std::filesystem::path path = t.dir / "club.bri";
    WriteFile(path, WriteBri(content));
    t.dialogs.QueueFile(path.string());
    bool opened = false;
    WhenModalOpens([&opened](QWidget* modal) {
        opened = true;
        EXPECT_EQ(modal->objectName(), "Load_number");
        auto* box = Child<QLineEdit>(modal, "txtFirstBoard");
        QTest::keyClicks(box, "5");
        QTest::mouseClick(Child<QPushButton>(modal, "Command1"), Qt::LeftButton);
    });
    Trigger("menuLoad");
    EXPECT_TRUE(opened);
    EXPECT_EQ(Text("txtFirstBoard"), "5");
    EXPECT_EQ(Text("txtLastBoard"), "8");
    EXPECT_EQ(Text("txtCount"), "4");
    EXPECT_EQ(Text("txtFileName"), QString::fromStdString(path.string()));
    EXPECT_EQ(window->statusText(), "Boards loaded: 4");
    EXPECT_EQ(t.settings.values[keys::kInitFormat], "bri");
    EXPECT_EQ((*t.set)[5].cardOwner, content[1].cardOwner);
}

TEST_F(MainWindowTest, SaveWritesTheFileAndShowsItsName) {
    *t.set = orvenix::test::RandomSet(1, 8);
    t.set->eventName = "Club night";
    t.set->modified = true;
    const std::filesystem::path path = t.dir / "night.pbn";
    t.dialogs.QueueFile(path.string());
    Trigger("menuSave");
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(t.set->modified);
    EXPECT_EQ(window->statusText(), "Boards Saved: 8");
    EXPECT_EQ(Text("txtFileName"), QString::fromStdString(path.string()));
    EXPECT_EQ(Text("txtEventName"), "Club night");

    // Loading it back: PBN carries its numbers, so no board-number dialog opens.
    t.set->modified = false;
    t.dialogs.QueueFile(path.string());
    Trigger("menuLoad");
    EXPECT_EQ(window->statusText(), "Boards loaded: 8");
    EXPECT_EQ(Text("txtEventName"), "Club night");
    EXPECT_FALSE(t.set->modified);
}

TEST_F(MainWindowTest, FailedLoadEmptiesTheWindow) {
    *t.set = orvenix::test::RandomSet(1, 8);
    t.set->eventName = "Old event";
    window->RefreshSetDisplay();
    const std::filesystem::path path = t.dir / "broken.all";
    WriteFile(path, "0123");
    t.dialogs.QueueFile(path.string());
    Trigger("menuLoad");
    ASSERT_FALSE(t.dialogs.messages.empty());
    EXPECT_EQ(t.dialogs.Last().title, "Load Error");
    EXPECT_NE(t.dialogs.Last().text.find("Incorrect record length = 4  in record: 1"), std::string::npos);
    EXPECT_EQ(window->statusText(), "Ready");
    EXPECT_EQ(Text("txtFirstBoard"), "");
    EXPECT_EQ(Text("txtCount"), "");
    EXPECT_EQ(Text("txtEventName"), "");
    EXPECT_EQ(Text("txtFileName"), "");
    EXPECT_EQ(t.set->lastBoard, 0);
}

} // namespace
} // namespace orvenix::test
