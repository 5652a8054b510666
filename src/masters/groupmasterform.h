#pragma once

#include "masters/masterform.h"

#include <optional>

namespace masters {

// "Group Master": the scrip groups of GroupMaster, by name. A group's code
// is typed only when the group is added. Deleting a group deletes its
// members' links; the system's own groups cannot be deleted. A group made
// from a query result (the shared newGroupFlag and newGroupScrips) gets its
// members when that new group is saved.
class GroupMasterForm : public MasterForm {
    Q_OBJECT
public:
    explicit GroupMasterForm(store::Database& db, QWidget* parent = nullptr);

protected:
    bool mayDelete() override;
    void deleteCurrentRecord() override;
    bool storePendingRow(const QHash<QString, QString>& typed) override;
    void afterSave(bool added) override;

private:
    QLineEdit* m_code = nullptr;
    QLineEdit* m_name = nullptr;
    // The name to announce as created after a save that wrote a group made
    // from a result.
    std::optional<QString> m_createdGroup;
};

}  // namespace masters
