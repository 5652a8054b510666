#include "query/scripselectionpanel.h"

#include "masters/textmatch.h"
#include "query/querywidgets.h"
#include "store/recordsetmodel.h"
#include "store/storeerror.h"
#include "ui/prompt.h"
#include "ui/viewfit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

namespace query {

ScripSelectionPanel::ScripSelectionPanel(store::Database& db, QWidget* parent) : QWidget(parent), m_db(db)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildSelection(), 1);
    layout->addWidget(buildDetails());
    // The find box keeps room to type a name.
    m_findText->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
}

ScripSelectionPanel::~ScripSelectionPanel()
{
    // The grid and its model let go of the rows before they go.
    m_detailsGrid->setModel(nullptr);
    m_detailsModel->setRecordset(nullptr);
}

QWidget* ScripSelectionPanel::buildSelection()
{
    auto* frame = named(new QGroupBox(QStringLiteral("Stock Selection"), this), QStringLiteral("Frame2"));
    auto* layout = new QVBoxLayout(frame);
    m_groupList = named(new QComboBox(frame), QStringLiteral("cboGroup"));
    m_scripList = named(new QListWidget(frame), QStringLiteral("cboscript"));
    m_scripList->setSelectionMode(QAbstractItemView::MultiSelection);
    m_scripList->setUniformItemSizes(true);
    m_scripList->setToolTip(QStringLiteral("Select Multiple Script by click"));
    m_findText = makeBox(QStringLiteral("txtFind"), frame);
    auto* find = named(new QPushButton(QStringLiteral("Find"), frame), QStringLiteral("cmdFind"));
    auto* details = named(new QPushButton(QStringLiteral("Details"), frame), QStringLiteral("CmdDetails"));

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(m_findText, 1);
    findRow->addWidget(find);
    findRow->addWidget(details);
    layout->addWidget(m_groupList);
    layout->addWidget(m_scripList, 1);
    layout->addLayout(findRow);

    connect(m_groupList, &QComboBox::currentIndexChanged, this, &ScripSelectionPanel::chooseGroup);
    connect(m_scripList, &QListWidget::currentRowChanged, this, &ScripSelectionPanel::scripClicked);
    connect(m_scripList, &QListWidget::itemDoubleClicked, this, &ScripSelectionPanel::scripDoubleClicked);
    connect(find, &QPushButton::clicked, this, &ScripSelectionPanel::findScrip);
    connect(details, &QPushButton::clicked, this, &ScripSelectionPanel::fillDetails);
    return frame;
}

QWidget* ScripSelectionPanel::buildDetails()
{
    m_details = named(new QGroupBox(this), QStringLiteral("FrameGroup"));
    auto* grid = new QGridLayout(m_details);
    m_nseCode = makeBox(QStringLiteral("TxtNseCode"), m_details);
    m_bseCode = makeBox(QStringLiteral("TxtBseCode"), m_details);
    m_nseCode->setReadOnly(true);
    m_bseCode->setReadOnly(true);
    m_detailsGrid = named(new QTableView(m_details), QStringLiteral("DataGrid1"));
    m_detailsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_detailsGrid->setWordWrap(false);
    m_detailsGrid->horizontalHeader()->setSectionsClickable(true);
    m_detailsGrid->horizontalHeader()->setStretchLastSection(true);
    m_detailsModel = new store::RecordsetModel(this);
    m_detailsModel->setRecordset(&m_groupsOfScrip);
    m_detailsGrid->setModel(m_detailsModel);
    connect(m_detailsGrid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &ScripSelectionPanel::sortDetails);

    grid->addWidget(makeLabel(QStringLiteral("Label2"), QStringLiteral("Nse Code"), m_details), 0, 0);
    grid->addWidget(m_nseCode, 0, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label3"), QStringLiteral("Bse Code"), m_details), 1, 0);
    grid->addWidget(m_bseCode, 1, 1);
    grid->addWidget(makeLabel(QStringLiteral("DataGrid1Caption"), QStringLiteral("Double Click To Sort"), m_details), 2,
                    0, 1, 2);
    grid->addWidget(m_detailsGrid, 3, 0, 1, 2);
    m_details->hide();
    return m_details;
}

void ScripSelectionPanel::setScrips(QList<ListedScrip> scrips)
{
    m_scrips = std::move(scrips);
    fillList(m_scrips, true);
}

void ScripSelectionPanel::setGroups(const QList<ListedGroup>& groups)
{
    {
        const QSignalBlocker blocker(m_groupList);
        m_groupList->clear();
        for (const ListedGroup& group : groups)
            m_groupList->addItem(group.name, group.code);
        m_groupList->setCurrentIndex(m_groupList->count() > 0 ? 0 : -1);
    }
    if (m_groupList->count() > 0)
        chooseGroup(0);
}

void ScripSelectionPanel::chooseGroupNamed(const QString& name)
{
    const int index = m_groupList->findText(name, Qt::MatchFixedString);
    if (index >= 0)
        m_groupList->setCurrentIndex(index);
}

void ScripSelectionPanel::setListAvailable(bool available)
{
    m_scripList->setEnabled(available);
}

void ScripSelectionPanel::fitListToItems()
{
    ui::fitListToItems(m_scripList);
}

QString ScripSelectionPanel::groupName() const
{
    return m_groupList->currentText();
}

QList<qint64> ScripSelectionPanel::pickedScrips() const
{
    QList<qint64> picked;
    if (!m_scripList->isEnabled())
        return picked;
    for (int row = 0; row < m_scripList->count(); ++row) {
        const QListWidgetItem* item = m_scripList->item(row);
        const QVariant srno = item->data(Qt::UserRole);
        if (item->isSelected() && srno.isValid())
            picked.append(srno.toLongLong());
    }
    return picked;
}

QString ScripSelectionPanel::currentScripText() const
{
    const QListWidgetItem* current = m_scripList->currentItem();
    return current ? current->text() : QString();
}

void ScripSelectionPanel::chooseGroup(int index)
{
    if (index < 0)
        return;
    m_groupCode = m_groupList->itemData(index).toString();
    QList<ListedScrip> members;
    try {
        members = readGroupMembers(m_db, m_groupCode);
    } catch (const store::StoreError& error) {
        ui::prompt().warn(error.message());
    }
    fillList(members, false);
}

void ScripSelectionPanel::fillList(const QList<ListedScrip>& scrips, bool withAll)
{
    const QSignalBlocker blocker(m_scripList);
    m_scripList->clear();
    if (withAll)
        m_scripList->addItem(QStringLiteral("ALL"));
    for (const ListedScrip& scrip : scrips) {
        auto* item = new QListWidgetItem(scrip.company);
        item->setData(Qt::UserRole, scrip.srno);
        m_scripList->addItem(item);
    }
}

void ScripSelectionPanel::scripClicked()
{
    if (!m_details->isHidden())
        fillDetails();
}

void ScripSelectionPanel::scripDoubleClicked()
{
    if (!m_details->isHidden()) {
        m_details->hide();
        return;
    }
    m_details->show();
    fillDetails();
}

void ScripSelectionPanel::fillDetails()
{
    const QListWidgetItem* item = m_scripList->currentItem();
    const QVariant srno = item ? item->data(Qt::UserRole) : QVariant();
    const ListedScrip* scrip = nullptr;
    if (srno.isValid()) {
        for (const ListedScrip& candidate : m_scrips) {
            if (candidate.srno == srno.toLongLong()) {
                scrip = &candidate;
                break;
            }
        }
    }
    // "ALL", no scrip, or one that is no longer stored: nothing to show.
    m_nseCode->setText(scrip ? scrip->nseCode : QString());
    m_bseCode->setText(scrip ? scrip->bseCode : QString());
    m_details->setTitle(scrip ? scrip->company : QString());
    store::Recordset groups;
    if (scrip && scrip->srno != 0) {
        try {
            groups = readGroupsOfScrip(m_db, scrip->srno);
        } catch (const store::StoreError& error) {
            ui::prompt().warn(error.message());
        }
    }
    m_groupsOfScrip = std::move(groups);
    m_detailsModel->reset();
}

void ScripSelectionPanel::sortDetails(int column)
{
    if (column < 0 || column >= m_groupsOfScrip.fieldCount())
        return;
    if (const auto key = m_detailsSort.click(m_groupsOfScrip.fields().at(column).name)) {
        m_groupsOfScrip.setSort({*key});
        m_detailsModel->reset();
    }
}

void ScripSelectionPanel::findScrip()
{
    // A scrip can only be picked where the list is available.
    if (!m_scripList->isEnabled())
        return;
    const QString typed = m_findText->text();
    // The first name that begins with the typed text, without regard to case.
    for (int row = 0; row < m_scripList->count(); ++row) {
        QListWidgetItem* item = m_scripList->item(row);
        if (masters::likeMatches(item->text(), typed + QLatin1Char('*'))) {
            m_scripList->setCurrentItem(item, QItemSelectionModel::Select);
            m_scripList->scrollToItem(item);
            m_scripList->setFocus();
            return;
        }
    }
    // Otherwise the scrip of that BSE code, then of that NSE code.
    const QString code = typed.trimmed();
    if (code.isEmpty())
        return;
    for (const auto codeOf : {&ListedScrip::bseCode, &ListedScrip::nseCode}) {
        for (const ListedScrip& scrip : m_scrips) {
            if ((scrip.*codeOf).compare(code, Qt::CaseInsensitive) == 0) {
                if (selectScrip(scrip.srno))
                    return;
                break;
            }
        }
    }
}

bool ScripSelectionPanel::selectScrip(qint64 srno)
{
    for (int row = 0; row < m_scripList->count(); ++row) {
        QListWidgetItem* item = m_scripList->item(row);
        const QVariant code = item->data(Qt::UserRole);
        if (code.isValid() && code.toLongLong() == srno) {
            m_scripList->setCurrentItem(item, QItemSelectionModel::Select);
            m_scripList->scrollToItem(item);
            m_scripList->setFocus();
            return true;
        }
    }
    return false;
}

}  // namespace query
