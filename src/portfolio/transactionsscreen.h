#pragma once

#include "portfolio/lookupdialog.h"
#include "portfolio/transactiongrid.h"

#include <QWidget>

class QAction;
class QLineEdit;
class QToolBar;

namespace shell {
class AppServices;
}

namespace portfolio {

// "Portfolio Details": the buy and sell transactions of the portfolios, kept
// as numbered entries. New, fill rows, Save; or Find, Modify, change, Save
// (the entry keeps its number); or Find, Delete. "Delete Row" of the grid's
// context menu removes a row and its stored line at once.
class TransactionsScreen : public QWidget {
    Q_OBJECT
public:
    // `lookup` answers the look-ups; by default the look-up dialog.
    explicit TransactionsScreen(shell::AppServices& services, LookupRunner lookup = {}, QWidget* parent = nullptr);

    // The commands; the toolbar and the File menu reach them through
    // Toolbar1_ButtonClick with a button's key.
    void Toolbar1_ButtonClick(const QString& key);
    void CmdNew_Click();
    void cmdsave_Click();
    void CmdModify_Click();
    void cmdDelete_Click();
    void cmdFind_Click();
    void CmdUndo_Click();
    void cmdclose_Click();

    // The look-ups of the button cells, on the active row.
    void portfolioLookup();
    void scripLookup();
    // Deletes the stored line of grid row `row` (the grid then removes it).
    void RowDelete(int row);
    // The amounts of every row, from quantity and rate.
    void Calc_Amt();

    TransactionGrid* grid() const { return m_grid; }
    QLineEdit* entryBox() const { return m_text1; }
    QAction* button(const QString& key) const;
    QString toolbarMask() const { return m_mask; }
    bool isModifying() const { return mbModifyFlag; }
    bool isLocked() const { return !m_grid->isEnabled(); }

private:
    void cmdPrint_Click();
    void Gridrec();
    void SetToolbarButtons(const QString& mask);
    void EnableControls(bool enabled);
    qint64 typedEntryCode() const;

    shell::AppServices& m_services;
    LookupRunner m_lookup;
    QToolBar* m_toolbar = nullptr;
    QList<QAction*> m_buttons;
    TransactionGrid* m_grid = nullptr;
    QLineEdit* m_text1 = nullptr;
    QString m_mask;
    bool mbModifyFlag = false;
    qint64 m_entryCode = 0;
};

}  // namespace portfolio
