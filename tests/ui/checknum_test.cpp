#include "ui/checknum.h"

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QTest>

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
    // The box's text after typing `keys` into it.
    QString typed(const QString& keys)
    {
        QTest::keyClicks(&box, keys);
        return box.text();
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

TEST_F(CheckNumTest, OnlyDigitsAndOnePointGetInAndDecimalsAreCutWhileTyping)
{
    EXPECT_EQ(typed("1.5-a,2"), "152");
    box.clear();
    check.setAllowDec(true);
    EXPECT_EQ(typed("3..14159"), "3.14");
    EXPECT_EQ(box.cursorPosition(), 4);
    // With the point deleted, one may be typed again elsewhere.
    box.setText("314");
    box.setCursorPosition(1);
    EXPECT_EQ(typed("."), "3.14");
}

TEST_F(CheckNumTest, AnEmptyBoxEnteredAndLeftShowsZeroWithItsDecimals)
{
    check.setAllowDec(true);
    focus(&box);
    EXPECT_EQ(box.text(), "0.00");
    box.setText("12.5");
    focus(&other);
    EXPECT_EQ(box.text(), "12.50");
    check.setDecPlaces(3);
    focus(&box);
    EXPECT_EQ(box.text(), "12.500");
}

TEST_F(CheckNumTest, ValidationRaisesAnErrorOnlyOutsideTheRange)
{
    int errors = 0;
    QObject::connect(&check, &ui::CheckNum::validateError, [&](bool* cancel) {
        ++errors;
        *cancel = true;
    });
    box.setText("0");
    EXPECT_TRUE(check.validate());
    check.Min = 1;
    EXPECT_FALSE(check.validate());
    check.Max = 10;
    box.setText("11");
    EXPECT_FALSE(check.validate());
    box.setText("5");
    EXPECT_TRUE(check.validate());
    EXPECT_EQ(errors, 2);
}

}  // namespace
