// The board editor's double-dummy table: offered for a complete board only, solved without holding up
// the window, then shown from the run's cache.
#include "editor/hand_edit.h"
#include "support/generator_context.h"
#include "ui/editor/editor_window.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace orvenix {
namespace {

class DoubleDummyEditorTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (window) {
            if (window->editor().NeedsDiscardQuestion())
                QTest::mouseClick(Button("cmdRestore"), Qt::LeftButton);
            window->close();
            window.reset();
        }
    }
    template <typename T> T* Get(const QString& name) {
        T* child = window->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name.toStdString();
        return child;
    }
    QPushButton* Button(const QString& name) { return Get<QPushButton>(name); }
    void Type(int seat, int suit, const QString& text) {
        QLineEdit* box = Get<QLineEdit>(QString("txtSuit%1").arg(SuitBoxIndex(seat, suit)));
        ASSERT_NE(box, nullptr);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    testing::GeneratorContext t{42};
    std::unique_ptr<EditorWindow> window;
};

TEST_F(DoubleDummyEditorTest, CompleteBoardIsAnalysedOnRequest) {
    window = std::make_unique<EditorWindow>(t.ctx);
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QLabel* table = Get<QLabel>("lblDoubleDummy");
    EXPECT_EQ(table->text(), "Double dummy: the board is not complete");
    EXPECT_FALSE(Button("cmdDoubleDummy")->isEnabled());

    // Board 1, every hand one whole suit: North spades, East hearts, South diamonds, West clubs.
    Type(1, 1, "AKQJT98765432");
    Type(2, 2, "AKQJT98765432");
    Type(3, 3, "AKQJT98765432");
    EXPECT_EQ(table->text(), "Double dummy: the board is not complete");
    Type(4, 4, "AKQJT98765432");
    ASSERT_TRUE(Button("cmdDoubleDummy")->isEnabled());
    QTest::mouseClick(Button("cmdDoubleDummy"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return table->text().contains("Par:"); }, 60000))
        << table->text().toStdString();
    // The side holding the trumps takes every trick; in notrump the opening leader runs a whole suit.
    EXPECT_TRUE(table->text().contains("  N   0 13  0 13  0\n")) << table->text().toStdString();
    EXPECT_TRUE(table->text().contains("  E  13  0 13  0  0\n")) << table->text().toStdString();
    // Board 1: dealer North, nobody vulnerable; 7S by North-South, 210 + 300 + 1000.
    EXPECT_TRUE(table->text().endsWith("Par: 7S NS, NS +1510")) << table->text().toStdString();
    EXPECT_FALSE(Button("cmdDoubleDummy")->isEnabled());

    // Moving a card makes the board incomplete; putting it back shows the cached result at once.
    Type(4, 4, "KQJT98765432");
    EXPECT_EQ(table->text(), "Double dummy: the board is not complete");
    Type(4, 4, "AKQJT98765432");
    EXPECT_TRUE(table->text().endsWith("Par: 7S NS, NS +1510"));
}

} // namespace
} // namespace orvenix
