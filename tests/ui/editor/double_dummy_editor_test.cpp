// The board editor's double-dummy table: offered for a complete board only, solved without holding up
// the window, then shown from the run's cache in a place of its own that never moves the other controls.
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
#include <vector>

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

    // The tricks of a seat (0 N, 1 E, 2 S, 3 W) in the strains C, D, H, S, NT, blank-separated.
    QString Row(int seat) {
        QStringList cells;
        for (int strain = 0; strain < 5; ++strain)
            cells << Get<QLabel>(QString("lblTricks%1%2").arg(seat).arg(strain))->text();
        return cells.join(' ').trimmed();
    }

    test::GeneratorContext t{42};
    std::unique_ptr<EditorWindow> window;
};

TEST_F(DoubleDummyEditorTest, CompleteBoardIsAnalysedOnRequest) {
    window = std::make_unique<EditorWindow>(t.ctx);
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QLabel* par = Get<QLabel>("lblDoubleDummy");
    EXPECT_EQ(par->text(), "Double dummy: the board is not complete");
    EXPECT_FALSE(Button("cmdDoubleDummy")->isEnabled());
    EXPECT_EQ(Row(0), "");

    // Board 1, every hand one whole suit: North spades, East hearts, South diamonds, West clubs.
    Type(1, 1, "AKQJT98765432");
    Type(2, 2, "AKQJT98765432");
    Type(3, 3, "AKQJT98765432");
    EXPECT_EQ(par->text(), "Double dummy: the board is not complete");
    Type(4, 4, "AKQJT98765432");
    ASSERT_TRUE(Button("cmdDoubleDummy")->isEnabled());
    QTest::mouseClick(Button("cmdDoubleDummy"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return par->text().contains("Par:"); }, 60000))
        << par->text().toStdString();
    // The side holding the trumps takes every trick; in notrump the opening leader runs a whole suit.
    EXPECT_EQ(Row(0), "0 13 0 13 0");
    EXPECT_EQ(Row(1), "13 0 13 0 0");
    // Board 1: dealer North, nobody vulnerable; 7S by North-South, 210 + 300 + 1000.
    EXPECT_EQ(par->text(), "Par: 7S NS, NS +1510");
    EXPECT_FALSE(Button("cmdDoubleDummy")->isEnabled());

    // Moving a card makes the board incomplete; putting it back shows the cached result at once.
    Type(4, 4, "KQJT98765432");
    EXPECT_EQ(par->text(), "Double dummy: the board is not complete");
    EXPECT_EQ(Row(0), "");
    Type(4, 4, "AKQJT98765432");
    EXPECT_EQ(par->text(), "Par: 7S NS, NS +1510");
    EXPECT_EQ(Row(0), "0 13 0 13 0");
}

TEST_F(DoubleDummyEditorTest, TheTableAppearsInItsOwnPlaceAndMovesNothing) {
    window = std::make_unique<EditorWindow>(t.ctx);
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto geometries = [&] {
        std::vector<QRect> out{window->geometry()};
        for (int seat = 0; seat < 4; ++seat)
            out.push_back(Get<QLabel>(QString("lblCnt%1").arg(seat))->geometry());
        out.push_back(Get<QWidget>("fraDoubleDummy")->geometry());
        out.push_back(Button("cmdExit")->geometry());
        return out;
    };
    const std::vector<QRect> before = geometries();
    Type(1, 1, "AKQJT98765432");
    Type(2, 2, "AKQJT98765432");
    Type(3, 3, "AKQJT98765432");
    Type(4, 4, "AKQJT98765432");
    QTest::mouseClick(Button("cmdDoubleDummy"), Qt::LeftButton);
    QLabel* par = Get<QLabel>("lblDoubleDummy");
    ASSERT_TRUE(QTest::qWaitFor([&] { return par->text().contains("Par:"); }, 60000));
    QApplication::processEvents();
    EXPECT_EQ(geometries(), before);
    // The table is written in the window's own font.
    EXPECT_EQ(Get<QLabel>("lblTricks00")->font(), window->font());
    EXPECT_EQ(par->font(), window->font());
}

} // namespace
} // namespace orvenix
