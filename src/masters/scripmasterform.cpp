#include "masters/scripmasterform.h"

namespace masters {

ScripMasterForm::ScripMasterForm(store::Database& db, QWidget* parent)
    : MasterForm(db,
                 {QStringLiteral("Stock Master"), QStringLiteral("ScripMaster"), QStringLiteral("ORDER BY company"),
                  QStringLiteral("Browse Script"), reports::scripMasterList(),
                  {QStringLiteral("srno"), QStringLiteral("bsescrip"), QStringLiteral("nsescrip"),
                   QStringLiteral("company")}},
                 parent)
{
    setObjectName(QStringLiteral("FrmScriptMaster"));
    addField(QStringLiteral("Text4"), QString(), QStringLiteral("srno"), BoxUse::ShownOnly);
    addField(QStringLiteral("Text1"), QStringLiteral("NSE Code :"), QStringLiteral("nsescrip"), BoxUse::Editable);
    addField(QStringLiteral("Text3"), QStringLiteral("BSE Code :"), QStringLiteral("bsescrip"), BoxUse::Editable);
    addField(QStringLiteral("Text2"), QStringLiteral("Stock Name :"), QStringLiteral("company"), BoxUse::Editable);
    Form_Load();
}

}  // namespace masters
