#include "masters/browsedialog.h"

#include "masters/recordsearch.h"
#include "store/recordset.h"
#include "store/recordsetmodel.h"
#include "ui/viewfit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace masters {

BrowseDialog::BrowseDialog(store::Recordset& rsBrowse, const QString& caption, const QStringList& fields,
                           QWidget* parent)
    : QDialog(parent), m_records(rsBrowse)
{
    setObjectName(QStringLiteral("FrmBrowse"));
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Browse") : caption);
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);

    m_model = new store::RecordsetModel(this);
    m_model->setRecordset(&m_records);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setWordWrap(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 8);
    m_grid->installEventFilter(this);

    m_fields = new QComboBox(this);
    m_fields->setObjectName(QStringLiteral("Combo1"));
    showFields(fields);
    ui::fitColumns(m_grid);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txt_search"));
    m_search->installEventFilter(this);
    auto* searchLabel = new QLabel(QStringLiteral("Search For"), this);
    searchLabel->setBuddy(m_search);

    m_close = new QPushButton(QStringLiteral("&Close"), this);
    m_close->setObjectName(QStringLiteral("cmdclose"));
    m_close->setAutoDefault(false);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(m_fields);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(m_grid, 1);
    resize(640, 420);
    ui::widenForColumns(this, m_grid);
    move(0, 0);

    connect(m_search, &QLineEdit::textChanged, this, &BrowseDialog::typeAhead);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &BrowseDialog::sortByHeader);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_selecting && current.isValid())
                    rowChosen(current.row());
            });
    connect(m_grid, &QTableView::doubleClicked, this, [this] { close(); });
    connect(m_close, &QPushButton::clicked, this, [this] { close(); });
    selectCurrentRow();
}

BrowseDialog::~BrowseDialog() = default;

void BrowseDialog::showFields(const QStringList& fields)
{
    for (const QString& field : fields)
        if (const int column = m_records.fieldIndex(field); column >= 0)
            m_fieldColumns.append(column);
    if (fields.isEmpty())
        for (int column = 0; column < m_records.fieldCount(); ++column)
            m_fieldColumns.append(column);

    // The grid shows the same fields in the same order; a heading click still
    // names the recordset's own column.
    QHeaderView* header = m_grid->horizontalHeader();
    for (int column = 0; column < m_records.fieldCount(); ++column)
        m_grid->setColumnHidden(column, !m_fieldColumns.contains(column));
    for (int position = 0; position < m_fieldColumns.size(); ++position) {
        const int column = m_fieldColumns[position];
        header->moveSection(header->visualIndex(column), position);
        m_fields->addItem(m_records.fields().at(column).name);
    }
    m_fields->setCurrentIndex(m_fieldColumns.isEmpty() ? -1 : 0);
}

bool BrowseDialog::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_search || watched == m_grid) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            close();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void BrowseDialog::rowChosen(int row)
{
    m_records.moveTo(row);
}

void BrowseDialog::selectCurrentRow()
{
    m_selecting = true;
    if (m_records.bof() || m_records.eof()) {
        m_grid->selectionModel()->clearSelection();
        m_grid->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        const int column = m_grid->currentIndex().isValid() ? m_grid->currentIndex().column() : m_fieldColumns.value(0);
        const QModelIndex index = m_model->index(m_records.position(), column);
        m_grid->selectionModel()->setCurrentIndex(index,
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_grid->scrollTo(index);
    }
    m_selecting = false;
}

void BrowseDialog::typeAhead(const QString& text)
{
    // A text that is not of the chosen field's kind (letters for a number
    // field) leaves the position alone.
    const auto criterion = typeAheadCriterion(m_records, m_fieldColumns.value(m_fields->currentIndex(), -1), text);
    if (!criterion)
        return;
    m_records.moveFirst();
    m_records.find(*criterion, 0);
    selectCurrentRow();
}

void BrowseDialog::sortByHeader(int column)
{
    if (column < 0 || column >= m_records.fieldCount())
        return;
    const auto key = m_sort.click(m_records.fields().at(column).name);
    if (!key)
        return;
    m_records.setSort({*key});
    m_model->reset();
    selectCurrentRow();
}

}  // namespace masters
