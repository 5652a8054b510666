#pragma once

#include <QHeaderView>

namespace viewer {

// The column headings of the result grid. A filler column's heading takes
// clicks without effect on the grid: the rows, the sort arrow and the
// selection stay as they were. The click is still reported through
// sectionClicked, so the viewer can record it.
class ResultGridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit ResultGridHeader(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool onFiller(const QPoint& at) const;
};

}  // namespace viewer
