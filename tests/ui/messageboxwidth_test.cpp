// A message box is wide enough to show its whole title in a window frame's
// title bar, however short its text.
#include "ui/qtprompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct ShownBox {
    QString title;
    int width = 0;
    Qt::TextFormat format = Qt::AutoText;
};

// Shows `message` through the application's prompt and answers the box as
// soon as it is up, noting its title and width as shown.
ShownBox showAndAnswer(const ui::Message& message)
{
    ShownBox shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = {box->windowTitle(), box->width(), box->textFormat()};
        box->buttons().first()->click();
    });
    ui::QtPrompt prompt;
    prompt.show(message);
    return shown;
}

// The least room a frame's title bar takes for `title`: the title in the bold
// title-bar font, and beside it the window's icon and three buttons, square
// in a bar about twice as high as its text. (Boxes that allowed only half of
// that beside an eight-letter title showed it cut to its first letters.)
int leastTitleBar(const QString& title)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) + 4 * 2 * metrics.height();
}

}  // namespace

TEST(MessageBoxWidth, ShortMessagesLeaveRoomForTheirWholeTitle)
{
    const QList<ui::Message> messages{
        {"Type mismatch"},
        {"Error downloading!"},
        {"Done", ui::applicationTitle(), ui::Icon::Information},
        {"Updation Over"},
        {"Done", "Tarvenix - Portfolio Master", ui::Icon::Question, ui::Buttons::YesNo},
        {"Delete this record?", "Message", ui::Icon::Question, ui::Buttons::YesNo},
    };
    for (const ui::Message& message : messages) {
        const ShownBox shown = showAndAnswer(message);
        ASSERT_EQ(shown.title, message.title) << "no box for " << message.text.toStdString();
        EXPECT_GE(shown.width, leastTitleBar(message.title))
            << message.title.toStdString() << " / " << message.text.toStdString();
    }

    // The title's room is a least width, not a fixed one: a text wider than
    // the title keeps the box as wide as the text makes it.
    const QString text = QStringLiteral("The Database Already Contains The Data Of 04/Jan/2024");
    EXPECT_GT(showAndAnswer({text}).width, QFontMetrics(QApplication::font("QMessageBox")).horizontalAdvance(text));
}


// A message quotes names from outside as they are: a folder named "<b>x</b>"
// is not taken for markup.
TEST(MessageBoxText, NamesThatLookLikeMarkupShowAsTheyAre)
{
    EXPECT_EQ(showAndAnswer({"The folder /tmp/<b>x</b> cannot be made."}).format, Qt::PlainText);
}
