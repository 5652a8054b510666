#include "portfolio/portfoliomasterform.h"

#include "masters/duplicatecheck.h"
#include "ui/prompt.h"

#include <QLineEdit>

namespace portfolio {

namespace {
const QString kCode = QStringLiteral("Code");
const QString kName = QStringLiteral("Name");
}  // namespace

PortfolioMasterForm::PortfolioMasterForm(store::Database& db, QWidget* parent)
    : MasterForm(db,
                 {QStringLiteral("Portfolio Master"), QStringLiteral("PortfolioMaster"), QStringLiteral("ORDER BY Name"),
                  QStringLiteral("Browse Portfolio"), reports::MasterList{},
                  {QStringLiteral("Code"), QStringLiteral("Name")}, masters::StepsOnEmptyTable::BeepAndRefuse,
                  masters::AfterDeletingTheLast::PastTheEnd},
                 parent)
{
    setObjectName(QStringLiteral("FrmPortFolio"));
    m_code = addField(QStringLiteral("Text1"), QStringLiteral("Code :"), kCode, BoxUse::TypedOnlyWhenAdding);
    m_name = addField(QStringLiteral("Text2"), QStringLiteral("Name :"), kName, BoxUse::Editable);
    Form_Load();
}

void PortfolioMasterForm::Toolbar1_ButtonClick(const QString& button)
{
    const QString key = button.toLower();
    if (key == QLatin1String("print"))
        return;  // the portfolio list has no printed form
    if (key == QLatin1String("new")) {
        AddRecord();
        if (mbAddNewFlag) {
            m_codeLocked = true;
            m_code->setEnabled(false);
        }
        return;
    }
    if (key == QLatin1String("edit")) {
        m_oldName = m_name->text();
        EditRecord();
        return;
    }
    if (key == QLatin1String("save")) {
        if (refuseName())
            return;
        SaveRecord();
        if (mbAddNewFlag && m_codeLocked)
            m_code->setEnabled(false);  // a refused save reopens the frame
        if (!mbAddNewFlag)
            m_codeLocked = false;
        return;
    }
    if (key == QLatin1String("delete") || key == QLatin1String("cancel"))
        m_codeLocked = false;
    MasterForm::Toolbar1_ButtonClick(button);
}

bool PortfolioMasterForm::refuseName()
{
    const QString name = m_name->text().trimmed();
    // An edit that keeps the name (apart from its letter case) needs no check.
    if (mbEditFlag && m_oldName.trimmed().compare(name, Qt::CaseInsensitive) == 0)
        return false;
    const masters::DuplicateCheck check = masters::CheckDuplicateData(
        m_db, QStringLiteral("PortfolioMaster"), kName, QStringLiteral("T"), name, QStringLiteral("I"));
    if (check.failed())
        return true;  // the check told the user why
    if (!check.isDuplicate())
        return false;
    ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Portfolio Name Already Entered ..."), 48));
    m_name->setFocus();
    m_name->setSelection(0, static_cast<int>(m_name->text().size()));
    return true;
}

bool PortfolioMasterForm::storePendingRow(const QHash<QString, QString>& typed)
{
    QHash<QString, QString> values = typed;
    const QString code = values.take(kCode).trimmed();
    // An empty code leaves the row's number to the table.
    if (mbAddNewFlag && !m_codeLocked && !code.isEmpty()) {
        bool isNumber = false;
        const qlonglong number = code.toLongLong(&isNumber);
        if (!isNumber || number <= 0) {
            ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Type mismatch"), 0));
            return false;
        }
        const masters::DuplicateCheck check = masters::CheckDuplicateData(
            m_db, QStringLiteral("PortfolioMaster"), kCode, QStringLiteral("N"), QString::number(number), QStringLiteral("I"));
        if (check.failed())
            return false;
        if (check.isDuplicate()) {
            ui::prompt().show(ui::Message::fromStyle(QStringLiteral("Portfolio Code Already exists.Enter New Code"), 16));
            return false;
        }
        m_records.setValue(kCode, number);
    }
    return MasterForm::storePendingRow(values);
}

}  // namespace portfolio
