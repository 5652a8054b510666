#pragma once

#include "masters/headersort.h"
#include "store/recordset.h"

#include <QWidget>

class QLineEdit;
class QRadioButton;
class QStandardItemModel;
class QTableView;

namespace store {
class Database;
class RecordsetModel;
}  // namespace store

namespace masters {

// "Script Search": every scrip with its NSE and BSE codes, narrowed by the
// start of a name, an NSE code or a BSE code; clicking a scrip lists the
// groups it belongs to. Each search looks through all scrips.
class ScripSearchScreen : public QWidget {
    Q_OBJECT
public:
    explicit ScripSearchScreen(store::Database& db, QWidget* parent = nullptr);
    ~ScripSearchScreen() override;

    store::Recordset& scrips() { return m_scrips; }

private:
    void search();
    void showAll();
    void showGroupsOfCurrentScrip(const QModelIndex& index);
    void sortByHeader(int column);

    store::Database& m_db;
    store::Recordset m_scrips;
    store::RecordsetModel* m_model = nullptr;
    QStandardItemModel* m_groups = nullptr;
    QLineEdit* m_searchText = nullptr;  // TxtSearch
    QRadioButton* m_script = nullptr;   // OptScript
    QRadioButton* m_nseCode = nullptr;  // OptNseCode
    QRadioButton* m_bseCode = nullptr;  // OptBseCode
    QTableView* m_grid = nullptr;       // DataGrid1
    QTableView* m_groupGrid = nullptr;  // DataGrid2
    HeaderSortToggle m_sort;
};

}  // namespace masters
