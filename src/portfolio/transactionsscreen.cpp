#include "portfolio/transactionsscreen.h"

#include "portfolio/portfolioreportscreen.h"
#include "shell/appservices.h"
#include "store/datetext.h"
#include "store/storeerror.h"
#include "ui/navigationtoolbar.h"
#include "ui/prompt.h"
#include "ui/screenframe.h"
#include "ui/viewfit.h"

#include <QAction>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace portfolio {

namespace {

struct ToolbarCommand {
    const char* caption;
    const char* key;
    const char* menuName;
    const char* menuCaption;
    const char* themeIcon;
    QStyle::StandardPixmap fallbackIcon;
};

constexpr ToolbarCommand kButtons[] = {
    {"&New", "New", "MnuNew", "New", "document-new", QStyle::SP_FileIcon},
    {"&Save", "Save", "MnuSave", "Save", "document-save", QStyle::SP_DialogSaveButton},
    {"M&odify", "Modify", "MnuModify", "Modify", "document-edit", QStyle::SP_FileDialogDetailedView},
    {"&Delete", "Delete", "MnuDelete", "Delete", "edit-delete", QStyle::SP_TrashIcon},
    {"&Find", "Find", "MnuFind", "Find", "edit-find", QStyle::SP_FileDialogContentsView},
    {"&Undo", "Undo", "Mnuundo", "Undo", "edit-undo", QStyle::SP_ArrowBack},
    {"&Print", "Print", "MnuPrint", "Print", "document-print", QStyle::SP_ComputerIcon},
    {"&Close", "Close", "Mnuclose", "Close", "window-close", QStyle::SP_DialogCloseButton},
};

QString failureText(const std::exception& error)
{
    if (const auto* storeError = dynamic_cast<const store::StoreError*>(&error))
        return storeError->message();
    return QString::fromUtf8(error.what());
}

}  // namespace

TransactionsScreen::TransactionsScreen(shell::AppServices& services, LookupRunner lookup, QWidget* parent)
    : QWidget(parent), m_services(services), m_lookup(std::move(lookup))
{
    setObjectName(QStringLiteral("FrmPortFolioManager_New"));
    setWindowTitle(QStringLiteral("Portfolio Details"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (!m_lookup)
        m_lookup = dialogLookup(services.database(), this);

    auto* menuBar = new QMenuBar(this);
    QMenu* fileMenu = menuBar->addMenu(QStringLiteral("File"));
    fileMenu->setObjectName(QStringLiteral("mnuFile"));
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setIconSize(ui::kToolbarIconSize);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ToolbarCommand& command : kButtons) {
        const QString key = QString::fromLatin1(command.key);
        QAction* action = m_toolbar->addAction(ui::toolbarIcon(command.themeIcon, command.fallbackIcon, this),
                                               QString::fromLatin1(command.caption));
        action->setObjectName(key);
        action->setToolTip(key);
        connect(action, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        m_buttons.append(action);
        // A menu item works exactly when its button does.
        QAction* item = fileMenu->addAction(QString::fromLatin1(command.menuCaption));
        item->setObjectName(QString::fromLatin1(command.menuName));
        connect(item, &QAction::triggered, this, [this, action] {
            if (action->isEnabled())
                action->trigger();
        });
    }

    // Every button stays on the bar: none folds into an overflow menu.
    m_toolbar->setMinimumWidth(m_toolbar->sizeHint().width());

    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    // The number names the entry that Save replaces: it is never typed.
    m_text1->setReadOnly(true);
    m_text1->setMaximumWidth(m_text1->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
    m_grid = new TransactionGrid(this);
    m_grid->setContextMenuPolicy(Qt::NoContextMenu);
    m_grid->onRowDelete = [this](int row) { RowDelete(row); };
    connect(m_grid, &TransactionGrid::contextMenuWanted, this, [this](const QPoint& position) {
        showDeleteRowMenu(m_services, m_grid, portfolioManagerOwner(), position);
    });
    connect(m_grid, &QTableWidget::cellClicked, this, [this](int, int column) {
        if (column == TransactionGrid::PortfolioButton)
            portfolioLookup();
        else if (column == TransactionGrid::CompanyButton)
            scripLookup();
    });
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this] { Calc_Amt(); });
    connect(m_grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == TransactionGrid::Qty || item->column() == TransactionGrid::Rate)
            Calc_Amt();
    });

    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(new QLabel(QStringLiteral("Entry No :"), this));
    entryRow->addWidget(m_text1);
    entryRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(m_toolbar);
    layout->addLayout(entryRow);
    layout->addWidget(m_grid, 1);
    resize(900, 480);
    ui::widenForColumns(this, m_grid);

    m_grid->clearCells();
    EnableControls(false);
    SetToolbarButtons(QStringLiteral("11111111"));
}

QAction* TransactionsScreen::button(const QString& key) const
{
    for (QAction* action : m_buttons)
        if (action->objectName().compare(key, Qt::CaseInsensitive) == 0)
            return action;
    return nullptr;
}

void TransactionsScreen::SetToolbarButtons(const QString& mask)
{
    m_mask = mask.trimmed();
    for (int i = 0; i < m_mask.size() && i < m_buttons.size(); ++i)
        m_buttons.at(i)->setEnabled(m_mask.at(i) == QLatin1Char('1'));
}

void TransactionsScreen::EnableControls(bool enabled)
{
    m_text1->setEnabled(enabled);
    m_grid->setEnabled(enabled);
}

qint64 TransactionsScreen::typedEntryCode() const
{
    return static_cast<qint64>(cellNumber(m_text1->text()));
}

void TransactionsScreen::Toolbar1_ButtonClick(const QString& key)
{
    const QString command = key.toUpper();
    if (command == QLatin1String("NEW"))
        CmdNew_Click();
    else if (command == QLatin1String("SAVE"))
        cmdsave_Click();
    else if (command == QLatin1String("MODIFY"))
        CmdModify_Click();
    else if (command == QLatin1String("DELETE"))
        cmdDelete_Click();
    else if (command == QLatin1String("FIND"))
        cmdFind_Click();
    else if (command == QLatin1String("UNDO"))
        CmdUndo_Click();
    else if (command == QLatin1String("PRINT"))
        cmdPrint_Click();
    else if (command == QLatin1String("CLOSE"))
        cmdclose_Click();
}

void TransactionsScreen::CmdNew_Click()
{
    m_grid->clearCells();
    SetToolbarButtons(QStringLiteral("01000101"));
    EnableControls(true);
    mbModifyFlag = false;
    m_grid->setCurrentCell(0, TransactionGrid::Portfolio);
    m_grid->setFocus();
}

void TransactionsScreen::CmdModify_Click()
{
    EnableControls(true);
    SetToolbarButtons(QStringLiteral("01000111"));
    mbModifyFlag = true;
}

void TransactionsScreen::Calc_Amt()
{
    const int used = m_grid->dataRowCount();
    const QSignalBlocker blocker(m_grid);
    for (int row = 0; row < used; ++row) {
        if (const auto amount = lineAmount(m_grid->cell(row, TransactionGrid::Qty), m_grid->cell(row, TransactionGrid::Rate)))
            m_grid->setCell(row, TransactionGrid::Amt, *amount);
    }
}

void TransactionsScreen::cmdsave_Click()
{
    m_grid->finishEditing();
    Calc_Amt();
    const QList<TransactionLine> lines = m_grid->lines();
    if (const auto fault = checkLines(lines)) {
        ui::prompt().show(ui::Message::fromStyle(*fault, 48));
        return;
    }
    try {
        const std::optional<qint64> replacing = mbModifyFlag ? std::optional<qint64>(typedEntryCode()) : std::nullopt;
        m_entryCode = saveEntry(m_services.database(), lines, replacing);
    } catch (const std::exception& error) {
        ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Error In Save Click ") + failureText(error), 0));
        return;
    }
    m_text1->setText(QString::number(m_entryCode));
    {
        const QSignalBlocker blocker(m_grid);
        for (int row = 0; row < lines.size(); ++row)
            m_grid->setCell(row, TransactionGrid::SrNo, QString::number(row + 1));
    }
    ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Record Saved Successfully! "), 64));
    SetToolbarButtons(QStringLiteral("10101111"));
    EnableControls(false);
}

void TransactionsScreen::cmdFind_Click()
{
    SetToolbarButtons(QStringLiteral("10111111"));
    EnableControls(false);
    m_grid->clearCells();
    try {
        const QStringList chosen = m_lookup(entryLookupSql(), entryLookupTypes());
        if (chosen.isEmpty()) {
            m_grid->clearCells();
            m_text1->clear();
            return;
        }
        m_text1->setText(chosen.value(9));
        m_entryCode = static_cast<qint64>(cellNumber(chosen.value(9)));
        Gridrec();
    } catch (const std::exception& error) {
        ui::prompt().show(ui::Message::fromStyle(failureText(error), 0));
    }
}

void TransactionsScreen::Gridrec()
{
    const QList<TransactionLine> lines = loadEntry(m_services.database(), typedEntryCode());
    const QSignalBlocker blocker(m_grid);
    for (int row = 0; row < lines.size() && row < m_grid->rowCount(); ++row)
        m_grid->setLine(row, lines.at(row));
}

void TransactionsScreen::cmdDelete_Click()
{
    const auto answer =
        ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Are You Sure You Want To Delete Record"), 68));
    if (answer != ui::Answer::Yes)
        return;
    try {
        deleteEntry(m_services.database(), typedEntryCode());
    } catch (const std::exception& error) {
        ui::prompt().show(ui::Message::fromStyle(failureText(error), 0));
        return;
    }
    m_grid->clearCells();
    ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Record Deleted Successfully"), 64));
}

void TransactionsScreen::CmdUndo_Click()
{
    if (auto* subWindow = ui::subWindowOf(this))
        subWindow->move(0, 0);
    SetToolbarButtons(QStringLiteral("10001011"));
    m_grid->clearCells();
}

void TransactionsScreen::cmdclose_Click()
{
    // Its window in the main window's workspace goes with it.
    close();
}

void TransactionsScreen::cmdPrint_Click()
{
    // The report screen outlives this one: it shows its own look-ups.
    auto* report = new PortfolioReportScreen(m_services.database(), {});
    report->show();
}

void TransactionsScreen::portfolioLookup()
{
    const int row = m_grid->activeRow();
    const QStringList chosen = m_lookup(portfolioLookupSql(), portfolioLookupTypes());
    const QSignalBlocker blocker(m_grid);
    m_grid->setCell(row, TransactionGrid::Portfolio, chosen.value(0));
    m_grid->setCell(row, TransactionGrid::PortfolioCode, chosen.value(1));
}

void TransactionsScreen::scripLookup()
{
    const int row = m_grid->activeRow();
    const QStringList chosen = m_lookup(scripLookupSql(), scripLookupTypes());
    const QSignalBlocker blocker(m_grid);
    m_grid->setCell(row, TransactionGrid::Company, chosen.value(0));
    m_grid->setCell(row, TransactionGrid::ScripCode, chosen.value(1));
    // While an entry is being changed its dates stay as they are.
    if (!mbModifyFlag)
        m_grid->setCell(row, TransactionGrid::Date, chosen.isEmpty() ? QString() : datetext::toDisplay(QDate::currentDate()));
}

void TransactionsScreen::RowDelete(int row)
{
    const auto srno = static_cast<qint64>(cellNumber(m_grid->cell(row, TransactionGrid::SrNo)));
    try {
        deleteEntryLine(m_services.database(), typedEntryCode(), srno);
    } catch (const std::exception& error) {
        ui::prompt().show(ui::Message::fromStyle(failureText(error), 0));
        return;
    }
    ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Record Deleted"), 64));
}

}  // namespace portfolio
