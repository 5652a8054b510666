#include "masters/recordsearch.h"

#include "masters/textmatch.h"
#include "store/database.h"
#include "store/datetext.h"

namespace masters {

std::optional<store::Recordset::RowPredicate> typeAheadCriterion(const store::Recordset& records, int column,
                                                                 const QString& text)
{
    if (text.isEmpty() || column < 0 || column >= records.fieldCount())
        return std::nullopt;
    switch (records.fields().at(column).kind) {
    case store::ColumnKind::Text:
        return [column, text](const store::Recordset&, const store::Recordset::Row& row) {
            return !row.at(column).isNull() && startsWithText(row.at(column).toString(), text);
        };
    case store::ColumnKind::Integer:
    case store::ColumnKind::Real: {
        bool ok = false;
        const double number = text.trimmed().toDouble(&ok);
        if (!ok)
            return std::nullopt;
        return [column, number](const store::Recordset&, const store::Recordset::Row& row) {
            bool isNumber = false;
            const double value = row.at(column).toDouble(&isNumber);
            return !row.at(column).isNull() && isNumber && value == number;
        };
    }
    case store::ColumnKind::Date: {
        const auto date = datetext::fromDisplay(text);
        if (!date)
            return std::nullopt;
        const QDate day = *date;
        return [column, day](const store::Recordset&, const store::Recordset::Row& row) {
            return row.at(column).toDate() == day;
        };
    }
    }
    return std::nullopt;
}

QString scripSearchSql()
{
    return QStringLiteral(
        "SELECT srno AS Srno, company AS Script, nsescrip AS \"Nse Code\", bsescrip AS \"Bse Code\" FROM ScripMaster");
}

store::Recordset::RowPredicate scripSearchFilter(const store::Recordset& scrips, ScripSearchField field,
                                                 const QString& text)
{
    switch (field) {
    case ScripSearchField::Script: {
        const int column = scrips.fieldIndex(QStringLiteral("Script"));
        const QString start = text.trimmed();
        return [column, start](const store::Recordset&, const store::Recordset::Row& row) {
            return !row.at(column).isNull() && startsWithText(row.at(column).toString(), start);
        };
    }
    case ScripSearchField::NseCode:
    case ScripSearchField::BseCode: {
        const bool nse = field == ScripSearchField::NseCode;
        const int column = scrips.fieldIndex(nse ? QStringLiteral("Nse Code") : QStringLiteral("Bse Code"));
        const QString code = nse ? text.trimmed() : text;
        return [column, code](const store::Recordset&, const store::Recordset::Row& row) {
            return !row.at(column).isNull() && row.at(column).toString().compare(code, Qt::CaseInsensitive) == 0;
        };
    }
    }
    return {};
}

QStringList groupsOfScrip(store::Database& db, qint64 srno)
{
    QStringList names;
    const store::Rows rows = db.query(QStringLiteral("SELECT GroupMaster.GroupName FROM GroupMaster INNER JOIN LinkDetails "
                                                     "ON GroupMaster.GroupCode = LinkDetails.GrpCode WHERE ScrCode = ?"),
                                      {srno});
    for (const auto& row : rows.rows)
        names.append(row[0].toString());
    return names;
}

}  // namespace masters
