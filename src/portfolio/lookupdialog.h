#pragma once

#include "portfolio/lookuprows.h"

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace portfolio {

// The portfolio and scrip look-ups that the portfolio screens offer.
QString portfolioLookupSql();
QStringList portfolioLookupTypes();
QString scripLookupSql();
QStringList scripLookupTypes();

// Runs a look-up: the query, one type letter per column; gives the chosen
// row's texts, one per column, or an empty list when nothing was chosen.
// Screens take one of these so that tests can answer the look-ups.
using LookupRunner = std::function<QStringList(const QString& sql, const QStringList& columnTypes)>;

// The look-up dialog shown modally over `parent`.
LookupRunner dialogLookup(store::Database& db, QWidget* parent);

// "Seach": the pick-a-row dialog. search_call prepares it; the caller shows
// it modally and then reads chosenRow().
class LookupDialog : public QDialog {
    Q_OBJECT
public:
    explicit LookupDialog(QWidget* parent = nullptr);
    ~LookupDialog() override;

    // A column name to choose for the search instead of the first.
    QString DefaultComboVal;

    // Runs the query and fills the grid and the column list; raises
    // store::StoreError when the store refuses the query.
    void search_call(store::Database& db, const QString& search_qry, const QStringList& args);
    // Shows the dialog modally, unless the query found nothing: then it says
    // "No records found" and returns at once.
    void showModal();

    // The texts of the chosen row; empty when nothing was chosen.
    const QStringList& chosenRow() const { return m_chosen; }

    // What the controls do, for the screen and for tests.
    void typeAhead(const QString& text);
    void headerClick(int column);
    void cmd_ok_Click();

    QLineEdit* searchBox() const { return m_search; }
    QComboBox* columnList() const { return m_columns; }
    QTableWidget* grid() const { return m_grid; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showRows();
    void showCurrentRow();

    std::unique_ptr<LookupRows> m_rows;
    QLineEdit* m_search = nullptr;
    QTableWidget* m_grid = nullptr;
    QPushButton* m_ok = nullptr;
    QComboBox* m_columns = nullptr;
    QPushButton* m_close = nullptr;
    QStringList m_chosen;
    int m_shownOrder = -1;  // the rows' order changes count when the grid was filled
};

}  // namespace portfolio
