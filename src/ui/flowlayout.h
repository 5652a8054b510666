#pragma once

#include <QLayout>
#include <QList>

namespace ui {

// Lays its widgets out left to right in the order they were added, starting
// a new line below where the next one would pass the right edge, so that
// every widget is shown whole at any width down to that of the widest one.
// Hidden widgets take no room. Widgets keep their preferred sizes and line
// up at the top of their line.
class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget* parent = nullptr);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the shown items in `rect` (or only measures, when `place` is
    // false) and returns the height they take.
    int arrange(const QRect& rect, bool place) const;

    QList<QLayoutItem*> m_items;
};

}  // namespace ui
