#include "masters/groupmembershipscreen.h"

#include "masters/textmatch.h"
#include "store/storeerror.h"
#include "ui/prompt.h"
#include "ui/viewfit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace masters {

namespace {

// The row of the list's selected item, or -1.
int selectedRow(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

QListWidgetItem* makeItem(const QString& text, const QVariant& key)
{
    auto* item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, key);
    return item;
}

// Enter in the scrip list adds the chosen scrip and goes on to the next.
class EnterKeyFilter : public QObject {
public:
    EnterKeyFilter(QObject* parent, std::function<void()> onEnter) : QObject(parent), m_onEnter(std::move(onEnter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_onEnter();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onEnter;
};

}  // namespace

GroupMembershipScreen::GroupMembershipScreen(store::Database& db, QWidget* parent) : QWidget(parent), m_db(db)
{
    setObjectName(QStringLiteral("frmLink"));
    setWindowTitle(QStringLiteral("Link GROUP<<------------------->>STOCKS"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* groupFrame = new QGroupBox(QStringLiteral("Group"), this);
    groupFrame->setObjectName(QStringLiteral("Frame1"));
    m_groupNames = new QListWidget(groupFrame);
    m_groupNames->setObjectName(QStringLiteral("lstGrpName"));
    m_groupName = new QLineEdit(groupFrame);
    m_groupName->setObjectName(QStringLiteral("txtGrpName"));
    m_groupName->setReadOnly(true);
    auto* groupLayout = new QVBoxLayout(groupFrame);
    groupLayout->addWidget(new QLabel(QStringLiteral("Group Name"), groupFrame));
    groupLayout->addWidget(m_groupName);
    groupLayout->addWidget(m_groupNames, 1);

    auto* scripFrame = new QGroupBox(QStringLiteral("Stocks"), this);
    scripFrame->setObjectName(QStringLiteral("Frame2"));
    m_scripNames = new QListWidget(scripFrame);
    m_scripNames->setObjectName(QStringLiteral("lstScripName"));
    m_scripName = new QLineEdit(scripFrame);
    m_scripName->setObjectName(QStringLiteral("txtScripName"));
    m_scripName->setReadOnly(true);
    m_nseCode = new QRadioButton(QStringLiteral("Nse Code"), scripFrame);
    m_nseCode->setObjectName(QStringLiteral("OptNseCode"));
    m_nseCode->setChecked(true);
    m_bseCode = new QRadioButton(QStringLiteral("Bse Code"), scripFrame);
    m_bseCode->setObjectName(QStringLiteral("OptBseCode"));
    m_scripCode = new QComboBox(scripFrame);
    m_scripCode->setObjectName(QStringLiteral("CmbScriptCode"));
    m_scripCode->setEditable(true);
    m_scripCode->setInsertPolicy(QComboBox::NoInsert);
    // A code chooses its scrip once it is typed whole: the box does not
    // complete the start of a code to the first code that begins with it.
    m_scripCode->setCompleter(nullptr);
    m_findText = new QLineEdit(scripFrame);
    m_findText->setObjectName(QStringLiteral("txtFind"));
    auto* findButton = new QPushButton(QStringLiteral("Find"), scripFrame);
    findButton->setObjectName(QStringLiteral("cmdFind"));
    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(m_nseCode);
    codeRow->addWidget(m_bseCode);
    codeRow->addWidget(m_scripCode, 1);
    auto* findRow = new QHBoxLayout;
    findRow->addWidget(m_findText, 1);
    findRow->addWidget(findButton);
    auto* scripLayout = new QVBoxLayout(scripFrame);
    scripLayout->addWidget(new QLabel(QStringLiteral("Stock Name"), scripFrame));
    scripLayout->addWidget(m_scripName);
    scripLayout->addLayout(codeRow);
    scripLayout->addLayout(findRow);
    scripLayout->addWidget(m_scripNames, 1);

    auto* addedFrame = new QGroupBox(QStringLiteral("Selected Stocks"), this);
    addedFrame->setObjectName(QStringLiteral("Frame3"));
    m_addedScrips = new QListWidget(addedFrame);
    m_addedScrips->setObjectName(QStringLiteral("lstAddedScripts"));
    auto* addedLayout = new QVBoxLayout(addedFrame);
    addedLayout->addWidget(m_addedScrips, 1);

    auto* addButton = new QPushButton(QStringLiteral("Add"), this);
    addButton->setObjectName(QStringLiteral("cmdAdd"));
    auto* removeButton = new QPushButton(QStringLiteral("Remove"), this);
    removeButton->setObjectName(QStringLiteral("cmdRemove"));
    auto* saveButton = new QPushButton(QStringLiteral("Save"), this);
    saveButton->setObjectName(QStringLiteral("cmdSave"));
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(addButton);
    buttons->addWidget(removeButton);
    buttons->addStretch(1);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_progress, 1);
    bottom->addWidget(saveButton);
    bottom->addWidget(closeButton);

    auto* lists = new QHBoxLayout;
    lists->addWidget(groupFrame, 2);
    lists->addWidget(scripFrame, 3);
    lists->addLayout(buttons);
    lists->addWidget(addedFrame, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);

    // A group or scrip is chosen by selecting it (a click, the arrow keys).
    // A list makes its first row current, unselected, when it takes the
    // focus; that is no choice of the user's.
    connect(m_groupNames, &QListWidget::itemSelectionChanged, this, [this] {
        if (const int row = selectedRow(m_groupNames); row >= 0)
            chooseGroup(row);
    });
    connect(m_scripNames, &QListWidget::itemSelectionChanged, this, [this] {
        if (const int row = selectedRow(m_scripNames); row >= 0)
            chooseScrip(row);
    });
    connect(m_scripNames, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { chooseScrip(m_scripNames->row(item)); });
    connect(m_scripNames, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_scripNames->currentRow() >= 0)
            add();
    });
    m_scripNames->installEventFilter(new EnterKeyFilter(this, [this] {
        const int position = m_scripNames->currentRow();
        add();
        if (position >= 0 && position < m_scripNames->count())
            m_scripNames->setCurrentRow(position);
    }));
    connect(m_addedScrips, &QListWidget::itemDoubleClicked, this, [this] {
        if (selectedRow(m_addedScrips) >= 0)
            remove();
    });
    connect(m_scripCode, &QComboBox::editTextChanged, this, &GroupMembershipScreen::chooseScripByCode);
    connect(m_nseCode, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            Load_Script();
    });
    connect(m_bseCode, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            Load_Script();
    });
    connect(findButton, &QPushButton::clicked, this, &GroupMembershipScreen::find);
    connect(addButton, &QPushButton::clicked, this, &GroupMembershipScreen::add);
    connect(removeButton, &QPushButton::clicked, this, &GroupMembershipScreen::remove);
    connect(saveButton, &QPushButton::clicked, this, &GroupMembershipScreen::save);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    try {
        const QSignalBlocker blockGroups(m_groupNames);
        const QSignalBlocker blockScrips(m_scripNames);
        for (const GroupEntry& group : getGrpCode(m_db))
            m_groupNames->addItem(makeItem(group.name, group.code));
        for (const ScripEntry& scrip : getScripCode(m_db))
            m_scripNames->addItem(makeItem(scrip.company, scrip.srno));
        m_groupNames->setCurrentRow(-1);
        m_scripNames->setCurrentRow(-1);
    } catch (const store::StoreError& error) {
        ui::prompt().show(ui::Message::fromStyle(error.message(), 16));
    }
    Load_Script();
    // Names show whole; the chosen stocks are names of the same list.
    ui::fitListToItems(m_groupNames);
    ui::fitListToItems(m_scripNames);
    m_addedScrips->setMinimumWidth(m_scripNames->minimumWidth());
}

void GroupMembershipScreen::tell(const QString& text, const QString& title) const
{
    ui::prompt().show({text, title, ui::Icon::None, ui::Buttons::Ok});
}

bool GroupMembershipScreen::bseChosen() const
{
    return m_bseCode->isChecked();
}

QString GroupMembershipScreen::chosenGroupCode() const
{
    const QListWidgetItem* item = m_groupNames->item(selectedRow(m_groupNames));
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void GroupMembershipScreen::chooseGroup(int position)
{
    QListWidgetItem* item = m_groupNames->item(position);
    if (!item)
        return;
    m_groupName->setText(item->text());
    fillGroupLists(item->data(Qt::UserRole).toString());
}

void GroupMembershipScreen::fillGroupLists(const QString& groupCode)
{
    const QSignalBlocker blockScrips(m_scripNames);
    const QSignalBlocker blockAdded(m_addedScrips);
    m_addedScrips->clear();
    m_scripNames->clear();
    m_scripIndex = -1;
    setCursor(Qt::WaitCursor);
    try {
        const LinkedScripts lists = getLinkedScripts(m_db, groupCode, [this](int value, int maximum) {
            m_progress->setMaximum(maximum);
            m_progress->setValue(value);
        });
        for (const ScripEntry& scrip : lists.unlinked)
            m_scripNames->addItem(makeItem(scrip.company, scrip.srno));
        for (const ScripEntry& scrip : lists.linked)
            m_addedScrips->addItem(makeItem(scrip.company, scrip.srno));
    } catch (const store::StoreError& error) {
        m_progress->setValue(0);
        ui::prompt().show(ui::Message::fromStyle(error.message(), 16));
    }
    m_scripNames->setCurrentRow(-1);
    m_addedScrips->setCurrentRow(-1);
    unsetCursor();
}

void GroupMembershipScreen::selectScripQuietly(int position)
{
    const QSignalBlocker block(m_scripNames);
    m_scripNames->setCurrentRow(position);
}

void GroupMembershipScreen::chooseScrip(int position)
{
    QListWidgetItem* item = m_scripNames->item(position);
    if (!item)
        return;
    m_scripName->setText(item->text());
    m_scripIndex = position;
    Load_Script();
}

void GroupMembershipScreen::Load_Script()
{
    try {
        m_scrips = allScripCodes(m_db);
    } catch (const store::StoreError& error) {
        m_scrips.clear();
        ui::prompt().show(ui::Message::fromStyle(error.message(), 16));
    }
    const bool bse = bseChosen();
    const QSignalBlocker block(m_scripCode);
    m_scripCode->clear();
    // Scrips without a code on the chosen exchange have no entry.
    for (const ScripCodes& scrip : std::as_const(m_scrips)) {
        const QString code = bse ? scrip.bsescrip : scrip.nsescrip;
        if (!code.isEmpty())
            m_scripCode->addItem(code);
    }
    m_scripCode->setCurrentIndex(-1);
    m_scripCode->setEditText(QString());
    const QString chosen = m_scripName->text();
    if (chosen.isEmpty())
        return;
    for (const ScripCodes& scrip : std::as_const(m_scrips)) {
        if (scrip.company.compare(chosen, Qt::CaseInsensitive) == 0) {
            m_scripCode->setEditText(bse ? scrip.bsescrip : scrip.nsescrip);
            break;
        }
    }
}

void GroupMembershipScreen::chooseScripByCode(const QString& code)
{
    if (m_scrips.isEmpty() || code.isEmpty())
        return;
    const bool bse = bseChosen();
    for (const ScripCodes& scrip : std::as_const(m_scrips)) {
        if ((bse ? scrip.bsescrip : scrip.nsescrip).compare(code, Qt::CaseInsensitive) != 0)
            continue;
        m_scripName->setText(scrip.company);
        m_findText->setText(scrip.company);
        // The scrip's own place in "Stocks", or none when it is a member
        // already (Add then says so).
        m_scripIndex = -1;
        for (int i = 0; i < m_scripNames->count(); ++i) {
            if (m_scripNames->item(i)->text() == scrip.company) {
                m_scripIndex = i;
                break;
            }
        }
        if (m_scripIndex >= 0)
            selectScripQuietly(m_scripIndex);
        return;
    }
}

void GroupMembershipScreen::find()
{
    const QString pattern = m_findText->text() + QLatin1Char('*');
    for (int i = 0; i < m_scripNames->count(); ++i) {
        if (likeMatches(m_scripNames->item(i)->text(), pattern)) {
            selectScripQuietly(i);
            chooseScrip(i);
            m_scripNames->setFocus();
            return;
        }
    }
}

void GroupMembershipScreen::add()
{
    const QString name = m_scripName->text();
    if (name.isEmpty() || m_groupName->text().isEmpty()) {
        tell(QStringLiteral("Please Select A Group And A "), QStringLiteral("No Group Or  Selected"));
        return;
    }
    for (int i = 0; i < m_addedScrips->count(); ++i) {
        if (m_addedScrips->item(i)->text() == name) {
            tell(QStringLiteral("The  You Selected For The Group Is Allready Present For That Group"),
                 QStringLiteral(" AllReady Existing"));
            return;
        }
    }
    int position = m_scripIndex;
    if (position < 0 || position >= m_scripNames->count() || m_scripNames->item(position)->text() != name) {
        position = -1;
        for (int i = 0; i < m_scripNames->count() && position < 0; ++i)
            if (m_scripNames->item(i)->text() == name)
                position = i;
        if (position < 0)
            return;
    }
    {
        const QSignalBlocker blockScrips(m_scripNames);
        const QSignalBlocker blockAdded(m_addedScrips);
        m_addedScrips->addItem(m_scripNames->takeItem(position));
        m_scripNames->setCurrentRow(-1);
        m_addedScrips->setCurrentRow(-1);
    }
    m_scripName->clear();
    m_findText->clear();
    save();
}

void GroupMembershipScreen::remove()
{
    if (m_addedScrips->count() == 0) {
        tell(QStringLiteral("The List Has No Items To Be Removed"), QStringLiteral("No Items To Be Removed"));
        return;
    }
    // Only a selected member is a choice: the list's current row may be one
    // it made itself on taking the focus.
    const int position = selectedRow(m_addedScrips);
    if (position < 0) {
        tell(QStringLiteral("Please Select The  To Be Removed"), QStringLiteral("No  Selected"));
        return;
    }
    {
        const QSignalBlocker blockScrips(m_scripNames);
        const QSignalBlocker blockAdded(m_addedScrips);
        m_scripNames->addItem(m_addedScrips->takeItem(position));
        m_addedScrips->setCurrentRow(-1);
        m_scripNames->setCurrentRow(-1);
    }
    save();
}

void GroupMembershipScreen::save()
{
    if (selectedRow(m_groupNames) < 0) {
        tell(QStringLiteral("Please Select A Group To Save"), QStringLiteral("No Group Selected"));
        return;
    }
    const QString code = chosenGroupCode();
    QList<qint64> members;
    for (int i = 0; i < m_addedScrips->count(); ++i)
        members.append(m_addedScrips->item(i)->data(Qt::UserRole).toLongLong());
    try {
        saveMembership(m_db, code, members);
    } catch (const store::StoreError& error) {
        ui::prompt().show(ui::Message::fromStyle(error.message(), 16));
        // The group kept its former members: show them again.
        fillGroupLists(code);
    }
}

}  // namespace masters
