#pragma once

#include "masters/headersort.h"
#include "store/recordset.h"

#include <QWidget>

class QTableView;

namespace store {
class Database;
class RecordsetModel;
}  // namespace store

namespace masters {

// "Bulk Deals": the BulkDeals table whole, sorted by a clicked heading.
class BulkDealsScreen : public QWidget {
    Q_OBJECT
public:
    explicit BulkDealsScreen(store::Database& db, QWidget* parent = nullptr);
    ~BulkDealsScreen() override;

    store::Recordset& deals() { return m_deals; }

private:
    void sortByHeader(int column);

    store::Recordset m_deals;
    store::RecordsetModel* m_model = nullptr;
    QTableView* m_grid = nullptr;
    HeaderSortToggle m_sort;
};

}  // namespace masters
