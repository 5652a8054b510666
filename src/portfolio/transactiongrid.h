#pragma once

#include "portfolio/transactions.h"

#include <QTableWidget>
#include <functional>

namespace shell {
class AppServices;
}

namespace portfolio {

// The owner name that the transactions grid gives the "Delete Row" menu.
QString portfolioManagerOwner();

// Shows the main window's "Delete Row" menu over `grid` for `owner`. Without
// a main window (tests) it only records the grid and its owner, as the menu
// would.
void showDeleteRowMenu(shell::AppServices& services, QWidget* grid, const QString& owner, const QPoint& globalPosition);

// The transactions grid "va1": one transaction per row, 500 rows, twelve
// columns of which the two code columns and the line number are hidden.
// Only the date, Buy/Sell, quantity and rate are typed; names and codes come
// from the look-ups, the amount from the calculation.
class TransactionGrid : public QTableWidget {
    Q_OBJECT
public:
    enum Column {
        Portfolio = 0, PortfolioButton, PortfolioCode, Company, CompanyButton, ScripCode,
        Date, BuySell, Qty, Rate, Amt, SrNo, ColumnCount
    };
    static constexpr int MaxRows = 500;

    explicit TransactionGrid(QWidget* parent = nullptr);

    // The last row holding data, counted from 1 (0 for an empty grid).
    int dataRowCount() const;
    QList<TransactionLine> lines() const;
    TransactionLine line(int row) const;
    void setLine(int row, const TransactionLine& line);
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    // Empties every cell and gives the grid its 500 rows again.
    void clearCells();
    // Writes the text of a cell being typed into the cell.
    void finishEditing();
    // The row being worked on (the active row).
    int activeRow() const { return std::max(currentRow(), 0); }

    // Runs for the active row before "Delete Row" of the portfolio manager
    // removes it, so the stored line goes too.
    std::function<void(int row)> onRowDelete;

public slots:
    // "Delete Row" of the main window's context menu.
    void deleteActiveRow(const QString& owner);

signals:
    void contextMenuWanted(const QPoint& globalPosition);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace portfolio
