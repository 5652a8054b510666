#pragma once

#include "masters/headersort.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace store {
class Recordset;
class RecordsetModel;
}  // namespace store

namespace masters {

// A modal window over a master form's own recordset: it lists the rows,
// finds a row by the start of a value typed for a chosen field, sorts by a
// clicked column, and closes on Close, Esc, Enter or a double-click. Since it
// moves and orders the caller's recordset, the row current when it closes is
// the caller's current row (and the sort stays).
class BrowseDialog : public QDialog {
    Q_OBJECT
public:
    // `caption`: "Browse Script", "Browse Group", ...; `fields`: the fields
    // the field list and the grid show, in that order (all of the
    // recordset's, in its order, when empty).
    BrowseDialog(store::Recordset& rsBrowse, const QString& caption, const QStringList& fields = {},
                 QWidget* parent = nullptr);
    ~BrowseDialog() override;

    QTableView* grid() const { return m_grid; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showFields(const QStringList& fields);
    void typeAhead(const QString& text);
    void sortByHeader(int column);
    void selectCurrentRow();
    void rowChosen(int row);

    store::Recordset& m_records;
    store::RecordsetModel* m_model = nullptr;
    QTableView* m_grid = nullptr;
    QComboBox* m_fields = nullptr;
    QList<int> m_fieldColumns;  // the recordset's column of each item of m_fields
    QLineEdit* m_search = nullptr;
    QPushButton* m_close = nullptr;
    HeaderSortToggle m_sort;
    bool m_selecting = false;
};

}  // namespace masters
