#pragma once

#include "masters/masterform.h"

namespace portfolio {

// "Portfolio Master": the portfolios of PortfolioMaster, by name. A portfolio
// added with New takes its number from the table; only the first portfolio,
// entered from the empty-table question, may be numbered by hand. No two
// portfolios share a name (compared without regard to case).
class PortfolioMasterForm : public masters::MasterForm {
    Q_OBJECT
public:
    explicit PortfolioMasterForm(store::Database& db, QWidget* parent = nullptr);

    void Toolbar1_ButtonClick(const QString& button) override;

protected:
    bool storePendingRow(const QHash<QString, QString>& typed) override;

private:
    // True when the typed name belongs to another portfolio; tells the user.
    bool refuseName();

    QLineEdit* m_code = nullptr;
    QLineEdit* m_name = nullptr;
    QString m_oldName;
    bool m_codeLocked = false;  // a New row: the table numbers it
};

}  // namespace portfolio
