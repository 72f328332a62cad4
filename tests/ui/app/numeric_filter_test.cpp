// The filter of number boxes, driven through a real text box as the windows use it.
#include "ui/app/numeric_filter.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace orvenix {
namespace {

// A number box wired as the windows wire theirs: every change passes through the filter.
struct NumberBox {
    explicit NumberBox(int maximum) {
        QObject::connect(&box, &QLineEdit::textChanged,
                         [this, maximum] { NumericFilter(&box, lastValid, maximum); });
    }
    QLineEdit box;
    QString lastValid;
};

TEST(NumericTextAllowed, DigitsUpToTheMaximum) {
    EXPECT_TRUE(NumericTextAllowed("", 640));
    EXPECT_TRUE(NumericTextAllowed("0", 640));
    EXPECT_TRUE(NumericTextAllowed("640", 640));
    EXPECT_FALSE(NumericTextAllowed("641", 640));
    EXPECT_TRUE(NumericTextAllowed("000640", 640)); // leading zeros keep the value
    EXPECT_FALSE(NumericTextAllowed("-1", 640));
    EXPECT_FALSE(NumericTextAllowed("+1", 640));
    EXPECT_FALSE(NumericTextAllowed(" 1", 640));
    EXPECT_FALSE(NumericTextAllowed("1.", 640));
    EXPECT_FALSE(NumericTextAllowed(QString::fromUtf8("\u0661"), 640)); // an Arabic-Indic one is no 0-9 digit
    EXPECT_FALSE(NumericTextAllowed("99999999999999999999999999", 2147483647));
    EXPECT_TRUE(NumericTextAllowed("2147483647", 2147483647));
    EXPECT_FALSE(NumericTextAllowed("2147483648", 2147483647));
    EXPECT_FALSE(NumericTextAllowed("1", 0));
    EXPECT_TRUE(NumericTextAllowed("0", 0));
}

TEST(NumericFilter, TypedDigitsAreKept) {
    NumberBox n(999);
    QTest::keyClicks(&n.box, "609");
    EXPECT_EQ(n.box.text(), "609");
    EXPECT_EQ(n.lastValid, "609");
    EXPECT_EQ(n.box.cursorPosition(), 3);
}

TEST(NumericFilter, ALetterIsUndoneAndTheCaretStepsBack) {
    NumberBox n(999);
    QTest::keyClicks(&n.box, "12");
    n.box.setCursorPosition(1);
    QTest::keyClicks(&n.box, "x"); // "1x2", caret after the x at 2
    EXPECT_EQ(n.box.text(), "12");
    EXPECT_EQ(n.lastValid, "12");
    EXPECT_EQ(n.box.cursorPosition(), 1);
}

TEST(NumericFilter, AValueAboveTheMaximumIsUndone) {
    NumberBox n(640);
    QTest::keyClicks(&n.box, "64");
    QTest::keyClicks(&n.box, "1");
    EXPECT_EQ(n.box.text(), "64");
    EXPECT_EQ(n.box.cursorPosition(), 2);
    QTest::keyClicks(&n.box, "0");
    EXPECT_EQ(n.box.text(), "640");
}

TEST(NumericFilter, EmptyingTheBoxIsAllowed) {
    NumberBox n(99);
    QTest::keyClicks(&n.box, "7");
    QTest::keyClick(&n.box, Qt::Key_Backspace);
    EXPECT_EQ(n.box.text(), "");
    EXPECT_EQ(n.lastValid, "");
}

TEST(NumericFilter, CaretNeverGoesBelowTheStart) {
    NumberBox n(99);
    n.box.setText("a"); // a change with the caret at the end of one character
    EXPECT_EQ(n.box.text(), "");
    EXPECT_EQ(n.box.cursorPosition(), 0);
    QTest::keyClicks(&n.box, "5");
    n.box.setCursorPosition(0);
    QTest::keyClicks(&n.box, "-"); // "-5", caret 1
    EXPECT_EQ(n.box.text(), "5");
    EXPECT_EQ(n.box.cursorPosition(), 0);
}

TEST(NumericFilter, APastedTextIsRefusedAsAWhole) {
    NumberBox n(999);
    QTest::keyClicks(&n.box, "12");
    n.box.insert("34x"); // "1234x", caret 5
    EXPECT_EQ(n.box.text(), "12");
    EXPECT_EQ(n.box.cursorPosition(), 2); // 5 - 1, kept within the restored text
}

TEST(NumericFilter, NoBoxIsIgnored) {
    QString last = "3";
    NumericFilter(nullptr, last, 10);
    EXPECT_EQ(last, "3");
}

} // namespace
} // namespace orvenix
