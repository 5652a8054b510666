#include "masters/groupmasterform.h"

#include "masters/duplicatecheck.h"
#include "masters/groups.h"
#include "shell/appservices.h"
#include "ui/prompt.h"

#include <QLineEdit>

namespace masters {

GroupMasterForm::GroupMasterForm(store::Database& db, QWidget* parent)
    : MasterForm(db,
                 {QStringLiteral("Group Master"), QStringLiteral("GroupMaster"), QStringLiteral("ORDER BY GroupName"),
                  QStringLiteral("Browse Group"), reports::groupMasterList(),
                  {QStringLiteral("GroupCode"), QStringLiteral("GroupName")}, StepsOnEmptyTable::BeepAndRefuse,
                  AfterDeletingTheLast::PastTheEnd},
                 parent)
{
    setObjectName(QStringLiteral("FrmGroupMaster"));
    m_code = addField(QStringLiteral("Text1"), QStringLiteral("Code :"), QStringLiteral("GroupCode"),
                      BoxUse::TypedOnlyWhenAdding, 10);
    m_name = addField(QStringLiteral("Text2"), QStringLiteral("Desc :"), QStringLiteral("GroupName"), BoxUse::Editable, 30);
    Form_Load();
}

bool GroupMasterForm::mayDelete()
{
    if (!isProtectedGroup(m_code->text()))
        return true;
    ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Can Not Delete System Generated Groups"), 16));
    return false;
}

void GroupMasterForm::deleteCurrentRecord()
{
    deleteCurrentGroup(m_db, m_records);
}

bool GroupMasterForm::storePendingRow(const QHash<QString, QString>& typed)
{
    const bool adding = mbAddNewFlag;
    const QString code = adding ? typed.value(QStringLiteral("GroupCode")) : m_records.value(QStringLiteral("GroupCode")).toString();
    const QString name = m_name->text();
    if (adding) {
        // The code is stored as typed; blanks around it make no other group.
        if (code.trimmed().isEmpty()) {
            ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Index or primary key cannot contain a Null value."), 0));
            return false;
        }
        const DuplicateCheck check =
            CheckDuplicateData(m_db, QStringLiteral("GroupMaster"), QStringLiteral("GroupCode"), QStringLiteral("T"),
                               code.trimmed(), QStringLiteral("I"));
        if (check.failed())
            return false;
        if (check.isDuplicate()) {
            ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Group Code Already exists.Enter New Code"), 16));
            return false;
        }
    }

    // A group made from a result stays pending until the next save of any
    // group in this screen: that group takes the result's scrips.
    shell::SharedState& shared = shell::sharedState();
    const bool fromResult = shared.newGroupFlag;
    if (fromResult) {
        shared.newGroupCode = code;
        shared.newGroupName = name;
    }
    setTypedValues(typed);
    saveGroup(m_db, m_records, code, name, fromResult ? &shared.newGroupScrips : nullptr);
    if (fromResult) {
        m_createdGroup = shared.newGroupName;
        shared.newGroupFlag = false;
        shared.newGroupScrips.clear();
        shared.newGroupCode.clear();
        shared.newGroupName.clear();
    }
    return true;
}

void GroupMasterForm::afterSave(bool added)
{
    (void)added;
    if (!m_createdGroup)
        return;
    const QString name = *m_createdGroup;
    m_createdGroup.reset();
    ui::prompt().show(ui::Message::fromStyle(name + QStringLiteral(" Group Created"), 64));
}

}  // namespace masters
