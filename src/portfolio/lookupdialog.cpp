#include "portfolio/lookupdialog.h"

#include "ui/prompt.h"
#include "ui/viewfit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace portfolio {

QString portfolioLookupSql()
{
    return QStringLiteral("select  Name , code  from PortfolioMaster order by Name");
}

QStringList portfolioLookupTypes()
{
    return {QStringLiteral("T"), QStringLiteral("N")};
}

QString scripLookupSql()
{
    return QStringLiteral("Select company as [Script], srno as [Srno], nsescrip as [Nse Code], bsescrip as [Bse Code] "
                          "from scripmaster order by company");
}

QStringList scripLookupTypes()
{
    return {QStringLiteral("T"), QStringLiteral("N"), QStringLiteral("T"), QStringLiteral("T")};
}

LookupRunner dialogLookup(store::Database& db, QWidget* parent)
{
    return [&db, parent](const QString& sql, const QStringList& columnTypes) {
        LookupDialog dialog(parent);
        dialog.search_call(db, sql, columnTypes);
        dialog.showModal();
        return dialog.chosenRow();
    };
}

LookupDialog::LookupDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmSearch"));
    setWindowTitle(QStringLiteral("Seach"));
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txt_search"));
    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setWordWrap(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_ok = new QPushButton(QStringLiteral("&Ok"), this);
    m_ok->setObjectName(QStringLiteral("cmd_ok"));
    m_ok->setDefault(true);
    m_columns = new QComboBox(this);
    m_columns->setObjectName(QStringLiteral("Combo1"));
    m_close = new QPushButton(QStringLiteral("&Close"), this);
    m_close->setObjectName(QStringLiteral("Command1"));

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(QStringLiteral("Search For"), this));
    searchRow->addWidget(m_columns);
    searchRow->addWidget(new QLabel(QStringLiteral("="), this));
    searchRow->addWidget(m_search, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    setTabOrder(m_search, m_grid);
    setTabOrder(m_grid, m_ok);
    setTabOrder(m_ok, m_columns);
    setTabOrder(m_columns, m_close);
    resize(640, 420);

    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, this, &LookupDialog::typeAhead);
    connect(m_ok, &QPushButton::clicked, this, &LookupDialog::cmd_ok_Click);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this] { cmd_ok_Click(); });
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (m_rows)
            m_rows->setCurrentRow(row);
    });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &LookupDialog::headerClick);
}

LookupDialog::~LookupDialog() = default;

void LookupDialog::search_call(store::Database& db, const QString& search_qry, const QStringList& args)
{
    m_chosen.clear();
    m_rows = std::make_unique<LookupRows>(db, search_qry, args);
    m_columns->clear();
    m_columns->addItems(m_rows->fieldNames());
    if (!DefaultComboVal.isEmpty()) {
        const int index = m_columns->findText(DefaultComboVal, Qt::MatchFixedString);
        m_columns->setCurrentIndex(index);
        DefaultComboVal.clear();
    } else {
        m_columns->setCurrentIndex(0);
    }
    showRows();
    ui::widenForColumns(this, m_grid);
}

void LookupDialog::showModal()
{
    if (!m_rows || m_rows->rowCount() < 1) {
        ui::prompt().show(ui::Message::fromStyle(QStringLiteral("No records found"), 64, QStringLiteral("No Records")));
        return;
    }
    m_search->setFocus();
    exec();
}

void LookupDialog::showRows()
{
    const QSignalBlocker blocker(m_grid);
    m_grid->clear();
    m_grid->setColumnCount(static_cast<int>(m_rows->fieldNames().size()));
    m_grid->setHorizontalHeaderLabels(m_rows->fieldNames());
    m_grid->setRowCount(m_rows->rowCount());
    m_shownOrder = m_rows->orderChanges();
    for (int row = 0; row < m_rows->rowCount(); ++row)
        for (int column = 0; column < m_grid->columnCount(); ++column)
            m_grid->setItem(row, column, new QTableWidgetItem(m_rows->text(row, column)));
    ui::fitColumns(m_grid);
    showCurrentRow();
}

void LookupDialog::showCurrentRow()
{
    const QSignalBlocker blocker(m_grid);
    const int row = m_rows ? m_rows->currentRow() : -1;
    if (row < 0) {
        m_grid->clearSelection();
        m_grid->setCurrentCell(-1, -1);
        return;
    }
    m_grid->setCurrentCell(row, std::max(m_grid->currentColumn(), 0));
    m_grid->selectRow(row);
    m_grid->scrollToItem(m_grid->item(row, 0));
}

void LookupDialog::typeAhead(const QString& text)
{
    if (!m_rows || text.isEmpty())
        return;
    const auto failure = m_rows->typeAhead(m_columns->currentIndex(), text);
    // Only a return to the query's order needs the rows written again.
    if (m_rows->orderChanges() != m_shownOrder)
        showRows();
    else
        showCurrentRow();
    if (failure)
        ui::prompt().show(
            ui::Message::fromStyle(QStringLiteral(" Error In Query ") + *failure, 16, QStringLiteral("Error")));
}

void LookupDialog::headerClick(int column)
{
    if (!m_rows)
        return;
    m_rows->headerClick(column);
    showRows();
}

void LookupDialog::cmd_ok_Click()
{
    if (m_rows) {
        if (auto texts = m_rows->currentTexts())
            m_chosen = *texts;
    }
    accept();
}

bool LookupDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Backspace starts the search again from the first row.
    if (watched == m_search && event->type() == QEvent::KeyPress && m_rows &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backspace) {
        m_rows->reset();
        if (m_rows->orderChanges() != m_shownOrder)
            showRows();
        else
            showCurrentRow();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace portfolio
