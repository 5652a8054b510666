#include "masters/bulkdealsscreen.h"

#include "masters/readonlygrid.h"
#include "store/recordsetmodel.h"
#include "store/storeerror.h"
#include "ui/prompt.h"
#include "ui/viewfit.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

namespace masters {

BulkDealsScreen::BulkDealsScreen(store::Database& db, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmBulk_Deals"));
    setWindowTitle(QStringLiteral("Bulk Deals"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    m_model = new store::RecordsetModel(this);
    m_grid = makeReadOnlyGrid(frame, QStringLiteral("DataGrid1"));
    m_grid->setModel(m_model);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_grid);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &BulkDealsScreen::sortByHeader);

    try {
        m_deals = store::Recordset::fromQuery(db, QStringLiteral("SELECT * FROM BulkDeals"));
    } catch (const store::StoreError& error) {
        ui::prompt().show(ui::Message::fromStyle(error.message(), 16));
    }
    m_model->setRecordset(&m_deals);
    ui::fitColumns(m_grid);
    resize(820, 420);
    ui::widenForColumns(this, m_grid);
}

BulkDealsScreen::~BulkDealsScreen()
{
    m_model->setRecordset(nullptr);
}

void BulkDealsScreen::sortByHeader(int column)
{
    sortByClickedColumn(m_sort, m_deals, m_model, column);
}

}  // namespace masters
