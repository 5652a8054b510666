#include "masters/duplicatecheck.h"

#include "store/database.h"
#include "store/datetext.h"
#include "store/storeerror.h"
#include "ui/prompt.h"

#include <stdexcept>

namespace masters {

namespace {

DuplicateCheck failure(const QString& error)
{
    return {DuplicateCheck::Outcome::Failed, error};
}

// The stored name of `name` among `names` (compared without regard to case),
// or an empty text.
QString storedName(const QStringList& names, const QString& name)
{
    for (const QString& candidate : names)
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    return {};
}

}  // namespace

DuplicateCheck checkDuplicate(store::Database& db, const QString& TableName, const QString& FieldName,
                              const QString& FieldType, const QString& FieldValue, const QString& Mode)
{
    try {
        // Table and field names come from the caller's code, but they still
        // reach the statement as text: accept only names the store knows.
        if (TableName.trimmed().isEmpty() || !db.tableExists(TableName))
            return failure(QStringLiteral("The table \"%1\" does not exist.").arg(TableName));
        QStringList fields;
        for (const auto& column : db.tableColumns(TableName))
            fields.append(column.name);
        const QString field = storedName(fields, FieldName);
        if (field.isEmpty())
            return failure(QStringLiteral("The table \"%1\" has no field \"%2\".").arg(TableName, FieldName));

        QVariant value;
        const QString type = FieldType.trimmed().toUpper();
        if (type == QLatin1String("T")) {
            value = FieldValue;
        } else if (type == QLatin1String("D")) {
            auto date = datetext::fromDisplay(FieldValue);
            if (!date)
                date = datetext::fromStorage(FieldValue.trimmed());
            if (!date)
                return failure(QStringLiteral("\"%1\" is not a date.").arg(FieldValue));
            value = *date;
        } else if (type == QLatin1String("N")) {
            bool ok = false;
            const double number = FieldValue.trimmed().toDouble(&ok);
            if (!ok)
                return failure(QStringLiteral("\"%1\" is not a number.").arg(FieldValue));
            value = number;
        } else {
            return failure(QStringLiteral("\"%1\" is not a field type (T, D or N).").arg(FieldType));
        }

        const QVariant count =
            db.scalar(QStringLiteral("SELECT count(*) AS my_count FROM %1 WHERE %2 = ?")
                          .arg(store::quoteIdentifier(TableName), store::quoteIdentifier(field)),
                      {value});
        const double rows = NullToZero(count);
        const QString mode = Mode.trimmed().toUpper();
        bool duplicate = false;
        if (mode == QLatin1String("I"))
            duplicate = rows > 0;
        else if (mode == QLatin1String("U"))
            duplicate = rows >= 2;
        return {duplicate ? DuplicateCheck::Outcome::Duplicate : DuplicateCheck::Outcome::Unique, {}};
    } catch (const store::StoreError& error) {
        return failure(error.message());
    } catch (const std::invalid_argument& error) {
        return failure(QString::fromUtf8(error.what()));
    }
}

DuplicateCheck CheckDuplicateData(store::Database& db, const QString& TableName, const QString& FieldName,
                                  const QString& FieldType, const QString& FieldValue, const QString& Mode)
{
    DuplicateCheck check = checkDuplicate(db, TableName, FieldName, FieldType, FieldValue, Mode);
    if (check.failed())
        ui::prompt().show(ui::Message::fromStyle(check.error, 16, QStringLiteral("Error In CheckDuplicateData Function ... ")));
    return check;
}

double NullToZero(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return 0;
    if (v.typeId() == QMetaType::QString && v.toString().isEmpty())
        return 0;
    bool ok = false;
    const double number = v.toDouble(&ok);
    if (!ok)
        throw std::invalid_argument("Type mismatch");
    return number;
}

}  // namespace masters
