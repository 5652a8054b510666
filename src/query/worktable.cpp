#include "query/worktable.h"

#include "query/statementreader.h"
#include "store/datetext.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <QStringList>
#include <sqlite3.h>

namespace query {

void remakeWorkTable(store::Database& db, const QString& name, const QList<store::Column>& columns,
                     const Sql& select)
{
    QStringList definitions;
    for (const auto& column : columns) {
        QString definition = store::quoteIdentifier(column.name) + QLatin1Char(' ') + store::declaredTypeFor(column.kind);
        if (column.kind == store::ColumnKind::Text)
            definition += QLatin1String(" COLLATE NOCASE");
        definitions.append(definition);
    }
    store::Transaction transaction(db);
    db.dropIfExists(name);
    db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(store::quoteIdentifier(name), definitions.join(QLatin1String(", "))));
    db.exec(QStringLiteral("INSERT INTO %1 ").arg(store::quoteIdentifier(name)) + select.text, select.params);
    transaction.commit();
}

void remakeTable(store::Database& db, const QString& name, const Sql& select)
{
    store::Transaction transaction(db);
    db.dropIfExists(name);
    db.makeTable(name, select.text, select.params);
    transaction.commit();
}

namespace {

// Whether a value reads as a day kept as yyyy-MM-dd text.
void storedDayFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    const int type = sqlite3_value_type(argv[0]);
    bool day = false;
    if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
        const auto* bytes = static_cast<const char*>(sqlite3_value_blob(argv[0]));
        day = datetext::fromStorage(QString::fromUtf8(bytes, sqlite3_value_bytes(argv[0]))).has_value();
    }
    sqlite3_result_int(context, day ? 1 : 0);
}

const QString kStagedRows = QStringLiteral("temp.result_rows");

}  // namespace

void makeResultTable(store::Database& db, const QString& name, const Sql& select)
{
    if (db.tableExists(name))
        throw store::StoreError(QStringLiteral("Table '%1' already exists.").arg(name));
    // A statement that starts with its own WITH cannot follow INSERT.
    if (select.text.trimmed().startsWith(QLatin1String("with"), Qt::CaseInsensitive)) {
        db.makeTable(name, select.text, select.params);
        return;
    }
    QList<store::Column> columns;
    QList<bool> declared;
    {
        StatementReader statement(db.handle(), select);
        if (!statement.prepared())
            throw store::StoreError(statement.error());
        for (int i = 0; i < statement.columns(); ++i) {
            const char* type = sqlite3_column_decltype(statement.statement(), i);
            columns.append({QString::fromUtf8(sqlite3_column_name(statement.statement(), i)),
                            type ? store::kindFromDeclaredType(QString::fromUtf8(type)) : store::ColumnKind::Text});
            declared.append(type != nullptr);
        }
    }

    store::Transaction transaction(db);
    // The rows, in their order, into a table without types.
    QStringList staged;
    for (int i = 0; i < columns.size(); ++i)
        staged.append(QStringLiteral("c%1").arg(i));
    db.exec(QStringLiteral("DROP TABLE IF EXISTS ") + kStagedRows);
    db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(kStagedRows, staged.join(QLatin1Char(','))));
    db.exec(QStringLiteral("INSERT INTO %1 ").arg(kStagedRows) + select.text, select.params);

    // An expression column takes its type from its values, as makeTable
    // infers it: any text that is no day makes it text, days with numbers
    // too; days alone a date, any real a real, whole numbers an integer.
    QStringList tests;
    for (int i = 0; i < columns.size(); ++i)
        if (!declared[i])
            tests.append(QStringLiteral("max(typeof(c%1) in ('text','blob') and not tarvenix_stored_day(c%1)),"
                                        "max(tarvenix_stored_day(c%1)),max(typeof(c%1)='real'),max(typeof(c%1)='integer')")
                             .arg(i));
    if (!tests.isEmpty()) {
        sqlite3_create_function(db.handle(), "tarvenix_stored_day", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                storedDayFunction, nullptr, nullptr);
        const store::Rows seen =
            db.query(QStringLiteral("SELECT %1 FROM %2").arg(tests.join(QLatin1Char(',')), kStagedRows));
        int at = 0;
        for (int i = 0; i < columns.size(); ++i) {
            if (declared[i])
                continue;
            const QVariantList& row = seen.rows.first();
            const bool text = row.at(at).toInt() == 1, day = row.at(at + 1).toInt() == 1;
            const bool real = row.at(at + 2).toInt() == 1, integer = row.at(at + 3).toInt() == 1;
            at += 4;
            using store::ColumnKind;
            columns[i].kind = text || (day && (integer || real)) ? ColumnKind::Text
                              : day                              ? ColumnKind::Date
                              : real                             ? ColumnKind::Real
                              : integer                          ? ColumnKind::Integer
                                                                 : ColumnKind::Text;
        }
    }

    // The table as makeTable declares it; the values go in as they are, and
    // each column's type turns them as binding them would.
    QStringList definitions, names;
    for (int i = 0; i < columns.size(); ++i) {
        QString columnName = columns[i].name;
        for (int suffix = 1; names.contains(columnName, Qt::CaseInsensitive); ++suffix)
            columnName = columns[i].name + QLatin1Char(':') + QString::number(suffix);
        names.append(columnName);
        QString definition = store::quoteIdentifier(columnName) + QLatin1Char(' ') + store::declaredTypeFor(columns[i].kind);
        if (columns[i].kind == store::ColumnKind::Text)
            definition += QLatin1String(" COLLATE NOCASE");
        definitions.append(definition);
    }
    db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(store::quoteIdentifier(name), definitions.join(QLatin1String(", "))));
    db.exec(QStringLiteral("INSERT INTO %1 SELECT %2 FROM %3 ORDER BY rowid")
                .arg(store::quoteIdentifier(name), staged.join(QLatin1Char(',')), kStagedRows));
    db.exec(QStringLiteral("DROP TABLE ") + kStagedRows);
    transaction.commit();
}

}  // namespace query
