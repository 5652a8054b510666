#include "masters/frmscriptsearch.h"

#include "masters/recordsearch.h"
#include "store/recordsetmodel.h"
#include "store/storeerror.h"
#include "ui/prompt.h"
#include "ui/viewfit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace masters {

namespace {

// The longest group name the group master takes.
constexpr int kGroupNameLength = 30;

QTableView* makeGrid(QWidget* parent, const QString& name)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->horizontalHeader()->setSectionsClickable(true);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setWordWrap(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    return grid;
}

// Sorts `records` by the clicked column of a grid; filler columns stay.
void applyHeaderSort(HeaderSortToggle& toggle, store::Recordset& records, store::RecordsetModel* model, int column)
{
    if (column < 0 || column >= records.fieldCount())
        return;
    if (const auto key = toggle.click(records.fields().at(column).name)) {
        records.setSort({*key});
        model->reset();
    }
}

}  // namespace

FrmScript_Search::FrmScript_Search(store::Database& db, QWidget* parent) : QWidget(parent), m_db(db)
{
    setObjectName(QStringLiteral("FrmScript_Search"));
    setWindowTitle(QStringLiteral("Script Search"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_searchText = new QLineEdit(this);
    m_searchText->setObjectName(QStringLiteral("TxtSearch"));
    m_script = new QRadioButton(QStringLiteral("Script"), this);
    m_script->setObjectName(QStringLiteral("OptScript"));
    m_script->setChecked(true);
    m_nseCode = new QRadioButton(QStringLiteral("Nse Code"), this);
    m_nseCode->setObjectName(QStringLiteral("OptNseCode"));
    m_bseCode = new QRadioButton(QStringLiteral("Bse Code"), this);
    m_bseCode->setObjectName(QStringLiteral("OptBseCode"));
    auto* okButton = new QPushButton(QStringLiteral("Ok"), this);
    okButton->setObjectName(QStringLiteral("CmdOk"));
    auto* showAllButton = new QPushButton(QStringLiteral("Show All"), this);
    showAllButton->setObjectName(QStringLiteral("CmdShow_All"));

    m_model = new store::RecordsetModel(this);
    m_grid = makeGrid(this, QStringLiteral("DataGrid1"));
    m_grid->setModel(m_model);

    auto* groupFrame = new QGroupBox(this);
    groupFrame->setObjectName(QStringLiteral("Frame1"));
    m_groups = new QStandardItemModel(0, 1, this);
    m_groups->setHorizontalHeaderLabels({QStringLiteral("GroupName")});
    m_groupGrid = makeGrid(groupFrame, QStringLiteral("DataGrid2"));
    m_groupGrid->setModel(m_groups);
    m_groupGrid->horizontalHeader()->setStretchLastSection(true);
    // Room for a group name of the longest the group master takes.
    m_groupGrid->horizontalHeader()->resizeSection(
        0, m_groupGrid->fontMetrics().horizontalAdvance(QLatin1Char('0')) * kGroupNameLength);
    m_groupGrid->setMinimumWidth(ui::columnsWidth(m_groupGrid));
    auto* groupLayout = new QVBoxLayout(groupFrame);
    groupLayout->addWidget(m_groupGrid);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(m_searchText, 1);
    searchRow->addWidget(m_script);
    searchRow->addWidget(m_nseCode);
    searchRow->addWidget(m_bseCode);
    searchRow->addWidget(okButton);
    searchRow->addWidget(showAllButton);
    auto* grids = new QHBoxLayout;
    grids->addWidget(m_grid, 1);
    grids->addWidget(groupFrame);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addLayout(grids, 1);

    for (QRadioButton* option : {m_script, m_nseCode, m_bseCode})
        connect(option, &QRadioButton::clicked, m_searchText, &QLineEdit::clear);
    connect(okButton, &QPushButton::clicked, this, &FrmScript_Search::search);
    connect(showAllButton, &QPushButton::clicked, this, &FrmScript_Search::showAll);
    connect(m_grid, &QTableView::clicked, this, &FrmScript_Search::showGroupsOfCurrentScrip);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &FrmScript_Search::sortByHeader);

    try {
        m_scrips = store::Recordset::fromQuery(m_db, scripSearchSql());
    } catch (const store::StoreError& error) {
        ui::prompt().show(ui::Message::fromStyle(error.message(), 16));
    }
    m_model->setRecordset(&m_scrips);
    ui::fitColumns(m_grid);
    resize(720, 420);
    ui::widenForColumns(this, m_grid);
}

// The grid outlives the recordset member while the window's children are
// taken down: let it read nothing from then on.
FrmScript_Search::~FrmScript_Search()
{
    m_model->setRecordset(nullptr);
}

void FrmScript_Search::search()
{
    const QString text = m_searchText->text();
    if (text.isEmpty()) {
        ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Enter Script / Nse Code / Bse Code"), 48));
        return;
    }
    if (m_scrips.fieldCount() == 0)
        return;
    const ScripSearchField field = m_nseCode->isChecked()   ? ScripSearchField::NseCode
                                   : m_bseCode->isChecked() ? ScripSearchField::BseCode
                                                            : ScripSearchField::Script;
    // Each search looks through every scrip, whatever the previous one found.
    m_scrips.setFilter(scripSearchFilter(m_scrips, field, text));
    m_model->reset();
}

void FrmScript_Search::showAll()
{
    m_scrips.clearFilter();
    m_scrips.moveFirst();
    m_model->reset();
}

void FrmScript_Search::showGroupsOfCurrentScrip(const QModelIndex& index)
{
    if (!index.isValid() || index.row() >= m_scrips.recordCount())
        return;
    try {
        m_scrips.moveTo(index.row());
        const QVariant srno = m_scrips.value(QStringLiteral("Srno"));
        if (srno.isNull())
            return;
        // A scrip of no group shows an empty list, not the previous scrip's.
        const QStringList names = groupsOfScrip(m_db, srno.toLongLong());
        m_groups->setRowCount(0);
        for (const QString& name : names) {
            auto* item = new QStandardItem(name);
            item->setEditable(false);
            m_groups->appendRow(item);
        }
    } catch (const store::StoreError& error) {
        ui::prompt().show(ui::Message::fromStyle(error.message(), 0));
    }
}

void FrmScript_Search::sortByHeader(int column)
{
    applyHeaderSort(m_sort, m_scrips, m_model, column);
}

FrmBulk_Deals::FrmBulk_Deals(store::Database& db, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmBulk_Deals"));
    setWindowTitle(QStringLiteral("Bulk Deals"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    m_model = new store::RecordsetModel(this);
    m_grid = makeGrid(frame, QStringLiteral("DataGrid1"));
    m_grid->setModel(m_model);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_grid);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &FrmBulk_Deals::sortByHeader);

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

FrmBulk_Deals::~FrmBulk_Deals()
{
    m_model->setRecordset(nullptr);
}

void FrmBulk_Deals::sortByHeader(int column)
{
    applyHeaderSort(m_sort, m_deals, m_model, column);
}

}  // namespace masters
