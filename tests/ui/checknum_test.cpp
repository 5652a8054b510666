#include "ui/checknum.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class CheckNumTest : public ::testing::Test {
protected:
    CheckNumTest()
    {
        check.setTextBox(&box);
        window.resize(200, 50);
        box.setParent(&window);
        other.setParent(&window);
        other.move(0, 25);
        window.show();
    }
    void focus(QWidget* widget)
    {
        widget->setFocus();
        QApplication::processEvents();
        // Offscreen windows may not take focus; deliver the events directly.
        if (!widget->hasFocus()) {
            QFocusEvent out(QEvent::FocusOut), in(QEvent::FocusIn);
            QApplication::sendEvent(widget == &box ? static_cast<QWidget*>(&other) : &box, &out);
            QApplication::sendEvent(widget, &in);
        }
    }
    QWidget window;
    QLineEdit box;
    QLineEdit other;
    ui::CheckNum check;
};

TEST_F(CheckNumTest, WithoutDecimalsOnlyDigitsGetIn)
{
    QTest::keyClicks(&box, QStringLiteral("1.5-a,2"));
    EXPECT_EQ(box.text(), QStringLiteral("152"));
}

TEST_F(CheckNumTest, DecimalsAreCutWhileTypingAndASecondPointIsRefused)
{
    check.setAllowDec(true);
    QTest::keyClicks(&box, QStringLiteral("3.14159"));
    EXPECT_EQ(box.text(), QStringLiteral("3.14"));
    EXPECT_EQ(box.cursorPosition(), 4);
    QTest::keyClicks(&box, QStringLiteral("."));
    EXPECT_EQ(box.text(), QStringLiteral("3.14"));

    // With the point deleted, one may be typed again elsewhere.
    box.setText(QStringLiteral("314"));
    box.setCursorPosition(1);
    QTest::keyClicks(&box, QStringLiteral("."));
    EXPECT_EQ(box.text(), QStringLiteral("3.14"));
}

TEST_F(CheckNumTest, AnEmptyBoxEnteredAndLeftShowsZeroWithItsDecimals)
{
    check.setAllowDec(true);
    focus(&box);
    EXPECT_EQ(box.text(), QStringLiteral("0.00"));
    box.setText(QStringLiteral("12.5"));
    focus(&other);
    EXPECT_EQ(box.text(), QStringLiteral("12.50"));
    check.setDecPlaces(3);
    focus(&box);
    EXPECT_EQ(box.text(), QStringLiteral("12.500"));
}

TEST_F(CheckNumTest, ValidationRaisesAnErrorOnlyOutsideTheRange)
{
    int errors = 0;
    QObject::connect(&check, &ui::CheckNum::validateError, [&](bool* cancel) {
        ++errors;
        *cancel = true;
    });
    box.setText(QStringLiteral("0"));
    EXPECT_TRUE(check.validate());
    EXPECT_EQ(errors, 0);
    check.Min = 1;
    EXPECT_FALSE(check.validate());
    EXPECT_EQ(errors, 1);
    check.Max = 10;
    box.setText(QStringLiteral("11"));
    EXPECT_FALSE(check.validate());
    box.setText(QStringLiteral("5"));
    EXPECT_TRUE(check.validate());
    EXPECT_EQ(errors, 2);
}

}  // namespace
