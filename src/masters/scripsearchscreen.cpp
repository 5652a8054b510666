#include "masters/scripsearchscreen.h"

#include "masters/readonlygrid.h"
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

}  // namespace

ScripSearchScreen::ScripSearchScreen(store::Database& db, QWidget* parent) : QWidget(parent), m_db(db)
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
    m_grid = makeReadOnlyGrid(this, QStringLiteral("DataGrid1"));
    m_grid->setModel(m_model);

    auto* groupFrame = new QGroupBox(this);
    groupFrame->setObjectName(QStringLiteral("Frame1"));
    m_groups = new QStandardItemModel(0, 1, this);
    m_groups->setHorizontalHeaderLabels({QStringLiteral("GroupName")});
    m_groupGrid = makeReadOnlyGrid(groupFrame, QStringLiteral("DataGrid2"));
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
    connect(okButton, &QPushButton::clicked, this, &ScripSearchScreen::search);
    connect(showAllButton, &QPushButton::clicked, this, &ScripSearchScreen::showAll);
    connect(m_grid, &QTableView::clicked, this, &ScripSearchScreen::showGroupsOfCurrentScrip);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &ScripSearchScreen::sortByHeader);

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
ScripSearchScreen::~ScripSearchScreen()
{
    m_model->setRecordset(nullptr);
}

void ScripSearchScreen::search()
{
    const QString text = m_searchText->text();
    if (text.isEmpty()) {
        ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Enter Script / Nse Code / Bse Code"), 48));
        return;
    }
    // After a search that found nothing, the user restores the list with
    // "Show All" before searching again.
    if (m_scrips.fieldCount() == 0 || m_scrips.isEmpty())
        return;
    const ScripSearchField field = m_nseCode->isChecked()   ? ScripSearchField::NseCode
                                   : m_bseCode->isChecked() ? ScripSearchField::BseCode
                                                            : ScripSearchField::Script;
    // Each search looks through every scrip, whatever the previous one found.
    m_scrips.setFilter(scripSearchFilter(m_scrips, field, text));
    m_model->reset();
}

void ScripSearchScreen::showAll()
{
    m_scrips.clearFilter();
    m_scrips.moveFirst();
    m_model->reset();
}

void ScripSearchScreen::showGroupsOfCurrentScrip(const QModelIndex& index)
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

void ScripSearchScreen::sortByHeader(int column)
{
    sortByClickedColumn(m_sort, m_scrips, m_model, column);
}

}  // namespace masters
