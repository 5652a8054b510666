#include "portfolio/transactiongrid.h"

#include "shell/mainwindow.h"
#include "shell/sharedstate.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleValidator>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <utility>

namespace portfolio {

QString portfolioManagerOwner()
{
    return QStringLiteral("Portfolio Manager");
}

void showDeleteRowMenu(shell::AppServices& services, QWidget* grid, const QString& owner, const QPoint& globalPosition)
{
    if (auto* window = dynamic_cast<shell::MainWindow*>(&services)) {
        window->showPopup(grid, owner, globalPosition);
        return;
    }
    shell::sharedState().popupForm = grid;
    shell::sharedState().popupOwner = owner;
}

namespace {

// Figures stand to the right, whether loaded, calculated or typed.
constexpr Qt::Alignment kFigureAlignment = Qt::AlignRight | Qt::AlignVCenter;

bool isFigureColumn(int column)
{
    return column == TransactionGrid::Qty || column == TransactionGrid::Rate || column == TransactionGrid::Amt ||
           column == TransactionGrid::SrNo;
}

// Editors of the typed columns; Enter moves on to the next cell as Tab does.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        switch (index.column()) {
        case TransactionGrid::BuySell: {
            auto* combo = new QComboBox(parent);
            combo->addItems({QStringLiteral("Buy"), QStringLiteral("Sell")});
            return combo;
        }
        case TransactionGrid::Qty: {
            auto* box = new QLineEdit(parent);
            box->setValidator(new QIntValidator(0, 99999999, box));
            return box;
        }
        case TransactionGrid::Rate: {
            auto* box = new QLineEdit(parent);
            auto* validator = new QDoubleValidator(-99999999.99, 99999999.99, 2, box);
            validator->setNotation(QDoubleValidator::StandardNotation);
            validator->setLocale(QLocale::c());
            box->setValidator(validator);
            return box;
        }
        case TransactionGrid::Date: {
            auto* box = new QLineEdit(parent);
            box->setMaxLength(11);
            box->setPlaceholderText(QStringLiteral("dd/MMM/yyyy"));
            return box;
        }
        default:
            (void)option;
            return nullptr;
        }
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const int found = combo->findText(index.data().toString());
            combo->setCurrentIndex(found >= 0 ? found : 0);
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, combo->currentText());
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
        // A cell typed into for the first time is made here.
        if (isFigureColumn(index.column()))
            model->setData(index, kFigureAlignment.toInt(), Qt::TextAlignmentRole);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                auto* editor = qobject_cast<QWidget*>(object);
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::EditNextItem);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }
};

}  // namespace

TransactionGrid::TransactionGrid(QWidget* parent) : QTableWidget(MaxRows, ColumnCount, parent)
{
    setObjectName(QStringLiteral("va1"));
    setHorizontalHeaderLabels({QStringLiteral("Portfolio"), QStringLiteral("..."), QStringLiteral("Portfoliocd"),
                               QStringLiteral("Company"), QStringLiteral("..."), QStringLiteral("Scriptcd"),
                               QStringLiteral("Date"), QStringLiteral("Buy/Sell"), QStringLiteral("Qty"),
                               QStringLiteral("Rate"), QStringLiteral("Amt"), QStringLiteral("SrNo")});
    setItemDelegate(new CellDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setColumnHidden(PortfolioCode, true);
    setColumnHidden(ScripCode, true);
    setColumnHidden(SrNo, true);
    // Each column as wide as the longest value it takes (in characters), or
    // its heading; the last one takes the room that is left.
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const std::pair<Column, int> widths[] = {{Portfolio, 20}, {PortfolioButton, 3}, {Company, 31},
                                             {CompanyButton, 3}, {Date, 12}, {BuySell, 5},
                                             {Qty, 10},       {Rate, 12},           {Amt, 15}};
    for (const auto& [column, characters] : widths)
        setColumnWidth(column, std::max(charWidth * characters, horizontalHeader()->sectionSizeHint(column)));
    horizontalHeader()->setStretchLastSection(true);
    clearCells();
}

QString TransactionGrid::cell(int row, int column) const
{
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void TransactionGrid::setCell(int row, int column, const QString& text)
{
    QTableWidgetItem* it = item(row, column);
    if (!it) {
        it = new QTableWidgetItem;
        if (isFigureColumn(column))
            it->setTextAlignment(kFigureAlignment);
        setItem(row, column, it);
    }
    it->setText(text);
}

void TransactionGrid::clearCells()
{
    clearContents();
    setRowCount(MaxRows);
    for (int row = 0; row < MaxRows; ++row) {
        for (int column : {PortfolioButton, CompanyButton}) {
            auto* button = new QTableWidgetItem(QStringLiteral("..."));
            button->setTextAlignment(Qt::AlignCenter);
            button->setFlags(Qt::ItemIsEnabled);
            setItem(row, column, button);
        }
    }
}

TransactionLine TransactionGrid::line(int row) const
{
    TransactionLine l;
    l.portfolio = cell(row, Portfolio);
    l.portfolioCode = cell(row, PortfolioCode);
    l.company = cell(row, Company);
    l.scripCode = cell(row, ScripCode);
    l.date = cell(row, Date);
    l.buySell = cell(row, BuySell);
    l.qty = cell(row, Qty);
    l.rate = cell(row, Rate);
    l.amt = cell(row, Amt);
    l.srno = cell(row, SrNo);
    return l;
}

void TransactionGrid::setLine(int row, const TransactionLine& l)
{
    setCell(row, Portfolio, l.portfolio);
    setCell(row, PortfolioCode, l.portfolioCode);
    setCell(row, Company, l.company);
    setCell(row, ScripCode, l.scripCode);
    setCell(row, Date, l.date);
    setCell(row, BuySell, l.buySell);
    setCell(row, Qty, l.qty);
    setCell(row, Rate, l.rate);
    setCell(row, Amt, l.amt);
    setCell(row, SrNo, l.srno);
}

int TransactionGrid::dataRowCount() const
{
    for (int row = rowCount() - 1; row >= 0; --row)
        if (!line(row).isBlank())
            return row + 1;
    return 0;
}

QList<TransactionLine> TransactionGrid::lines() const
{
    QList<TransactionLine> result;
    const int used = dataRowCount();
    for (int row = 0; row < used; ++row)
        result.append(line(row));
    return result;
}

void TransactionGrid::finishEditing()
{
    if (state() != EditingState)
        return;
    QWidget* editor = QApplication::focusWidget();
    if (editor && isAncestorOf(editor)) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TransactionGrid::deleteActiveRow(const QString& owner)
{
    if (dataRowCount() == 0)
        return;
    const int row = activeRow();
    if (owner == portfolioManagerOwner() && onRowDelete)
        onRowDelete(row);
    removeRow(row);
}

void TransactionGrid::mousePressEvent(QMouseEvent* event)
{
    shell::sharedState().popupOwner = portfolioManagerOwner();
    QTableWidget::mousePressEvent(event);
    if (event->button() == Qt::RightButton)
        emit contextMenuWanted(event->globalPosition().toPoint());
}

void TransactionGrid::keyPressEvent(QKeyEvent* event)
{
    // Enter moves on as Tab does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
        const int column = currentColumn() + 1;
        int next = column;
        while (next < ColumnCount && isColumnHidden(next))
            ++next;
        if (next < ColumnCount)
            setCurrentCell(activeRow(), next);
        else if (activeRow() + 1 < rowCount())
            setCurrentCell(activeRow() + 1, 0);
        return;
    }
    QTableWidget::keyPressEvent(event);
}

}  // namespace portfolio
