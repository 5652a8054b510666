#include "query/worktable.h"

#include "query/plainstatements.h"
#include "query/statementreader.h"
#include "query/windowreading.h"
#include "store/datetext.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <QStringList>
#include <sqlite3.h>

#include <cstring>
#include <optional>
#include <vector>

namespace query {

namespace {

// A unit of work of its own, or none inside a transaction already open (a
// query run): that one takes everything back on failure, and a savepoint
// nested in it would have the store keep the former content of every page
// the work writes over, in memory, until the run ends.
class WorkScope {
public:
    explicit WorkScope(store::Database& db)
    {
        if (sqlite3_get_autocommit(db.handle()))
            m_transaction.emplace(db);
    }
    void commit()
    {
        if (m_transaction)
            m_transaction->commit();
    }

private:
    std::optional<store::Transaction> m_transaction;
};

// Drops `name` and makes it empty with the declared `columns`.
void createWorkTable(store::Database& db, const QString& name, const QList<store::Column>& columns)
{
    QStringList definitions;
    for (const auto& column : columns) {
        QString definition = store::quoteIdentifier(column.name) + QLatin1Char(' ') + store::declaredTypeFor(column.kind);
        if (column.kind == store::ColumnKind::Text)
            definition += QLatin1String(" COLLATE NOCASE");
        definitions.append(definition);
    }
    db.dropIfExists(name);
    db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(store::quoteIdentifier(name), definitions.join(QLatin1String(", "))));
}

}  // namespace

void remakeWorkTable(store::Database& db, const QString& name, const QList<store::Column>& columns,
                     const Sql& select)
{
    WorkScope transaction(db);
    createWorkTable(db, name, columns);
    db.exec(QStringLiteral("INSERT INTO %1 ").arg(store::quoteIdentifier(name)) + select.text, select.params);
    transaction.commit();
}

namespace {

// The rows of one share, each value kept as SQLite gave it: a type byte,
// then eight bytes of a number or the length and bytes of a text.
class RowBuffer {
public:
    void append(StatementReader& rows)
    {
        for (int i = 0; i < rows.columns(); ++i) {
            const int type = rows.type(i);
            m_bytes.append(static_cast<char>(type));
            if (type == SQLITE_INTEGER) {
                const qint64 value = rows.integer(i);
                m_bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
            } else if (type == SQLITE_FLOAT) {
                const double value = rows.real(i);
                m_bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
            } else if (type != SQLITE_NULL) {
                const QByteArray bytes = rows.bytes(i);
                const qint32 length = static_cast<qint32>(bytes.size());
                m_bytes.append(reinterpret_cast<const char*>(&length), sizeof length);
                m_bytes.append(bytes);
            }
        }
        ++m_rows;
    }

    // Binds each row in turn to `insert` (one '?' per column) and runs it.
    void insertInto(sqlite3* db, sqlite3_stmt* insert, int columns) const
    {
        const char* at = m_bytes.constData();
        for (qint64 row = 0; row < m_rows; ++row) {
            for (int i = 1; i <= columns; ++i) {
                const int type = *at++;
                if (type == SQLITE_INTEGER) {
                    qint64 value;
                    std::memcpy(&value, at, sizeof value);
                    at += sizeof value;
                    sqlite3_bind_int64(insert, i, value);
                } else if (type == SQLITE_FLOAT) {
                    double value;
                    std::memcpy(&value, at, sizeof value);
                    at += sizeof value;
                    sqlite3_bind_double(insert, i, value);
                } else if (type == SQLITE_NULL) {
                    sqlite3_bind_null(insert, i);
                } else {
                    qint32 length;
                    std::memcpy(&length, at, sizeof length);
                    at += sizeof length;
                    if (type == SQLITE_TEXT)
                        sqlite3_bind_text(insert, i, at, length, SQLITE_TRANSIENT);
                    else
                        sqlite3_bind_blob(insert, i, at, length, SQLITE_TRANSIENT);
                    at += length;
                }
            }
            if (sqlite3_step(insert) != SQLITE_DONE)
                throw store::StoreError(QString::fromUtf8(sqlite3_errmsg(db)));
            sqlite3_reset(insert);
        }
    }

private:
    QByteArray m_bytes;
    qint64 m_rows = 0;
};

}  // namespace

void remakeWorkTableInShares(store::Database& db, const QString& name, const QList<store::Column>& columns,
                             int shares, const std::function<Sql(int part, int parts)>& shareOf)
{
    if (plainStatementsOnly() || shares <= 1) {
        remakeWorkTable(db, name, columns, shareOf(0, 1));
        return;
    }
    std::vector<RowBuffer> parts;
    QString error;
    windowreading::readShares(
        db, shares, [&parts](int count) { parts.assign(static_cast<size_t>(count), RowBuffer()); }, shareOf,
        [&parts](int part, StatementReader& rows) {
            while (rows.next())
                parts[static_cast<size_t>(part)].append(rows);
        },
        error);
    if (!error.isEmpty())
        throw store::StoreError(error);
    WorkScope transaction(db);
    createWorkTable(db, name, columns);
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks.append(QStringLiteral("?"));
    sqlite3_stmt* insert = nullptr;
    const QByteArray text =
        QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(store::quoteIdentifier(name), marks.join(QLatin1Char(','))).toUtf8();
    if (sqlite3_prepare_v2(db.handle(), text.constData(), static_cast<int>(text.size()), &insert, nullptr) != SQLITE_OK) {
        sqlite3_finalize(insert);
        throw store::StoreError(db.lastError());
    }
    try {
        for (const RowBuffer& part : parts)
            part.insertInto(db.handle(), insert, static_cast<int>(columns.size()));
    } catch (...) {
        sqlite3_finalize(insert);
        throw;
    }
    sqlite3_finalize(insert);
    transaction.commit();
}

void remakeTable(store::Database& db, const QString& name, const Sql& select)
{
    WorkScope transaction(db);
    db.dropIfExists(name);
    db.makeTable(name, select.text, select.params);
    transaction.commit();
}

void indexWorkTable(store::Database& db, const QString& name, const QStringList& keys)
{
    if (keys.isEmpty())
        return;
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString schema = dot < 0 ? QString() : name.left(dot + 1);
    const QString table = name.mid(dot + 1);
    QStringList columns;
    for (const QString& key : keys)
        columns.append(store::quoteIdentifier(key));
    // The index goes with its table when the table is dropped; one of the
    // same name left on a table that a result took over by renaming gives way.
    const QString index = schema + store::quoteIdentifier(table + QStringLiteral("_keys"));
    db.exec(QStringLiteral("DROP INDEX IF EXISTS ") + index);
    db.exec(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                .arg(index, store::quoteIdentifier(table), columns.join(QLatin1String(", "))));
}

namespace {

// What kinds of value a column holds, one bit each: text that is no day
// kept as yyyy-MM-dd text, such a day, a real, a whole number.
enum ValueKind { kTextSeen = 1, kDaySeen = 2, kRealSeen = 4, kIntegerSeen = 8 };

void valueKindsStep(sqlite3_context* context, int, sqlite3_value** argv)
{
    auto* seen = static_cast<int*>(sqlite3_aggregate_context(context, sizeof(int)));
    if (!seen)
        return;
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_FLOAT) {
        *seen |= kRealSeen;
    } else if (type == SQLITE_INTEGER) {
        *seen |= kIntegerSeen;
    } else if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
        if (*seen & kTextSeen)
            return;  // text already: no value changes the column's kind now
        const auto* bytes = static_cast<const char*>(sqlite3_value_blob(argv[0]));
        const int size = sqlite3_value_bytes(argv[0]);
        // Most texts are no day, which their length and dashes tell at once.
        const bool day = (size == 10 || (size == 11 && bytes[10] == '\n')) && bytes[4] == '-' && bytes[7] == '-' &&
                         datetext::fromStorage(QString::fromUtf8(bytes, size)).has_value();
        *seen |= day ? kDaySeen : kTextSeen;
    }
}

void valueKindsFinal(sqlite3_context* context)
{
    const auto* seen = static_cast<int*>(sqlite3_aggregate_context(context, 0));
    sqlite3_result_int(context, seen ? *seen : 0);
}

// In the main file: a temporary table would be kept whole in memory.
const QString kStagedRows = QStringLiteral("result_rows");

}  // namespace

SortsInFiles::SortsInFiles(store::Database& db) : m_db(db)
{
    // No temporary database open: the setting may change inside a transaction.
    if (sqlite3_db_filename(db.handle(), "temp") != nullptr)
        return;
    if (db.scalar(QStringLiteral("PRAGMA temp_store")).toInt() != 2)
        return;  // temporary data goes to files already
    db.exec(QStringLiteral("PRAGMA temp_store=FILE"));
    m_switched = true;
    // The sorter fills a page cache's worth of rows before handing them to
    // a helper thread: a small cache keeps the helpers busy, and memory low.
    m_cacheSize = db.scalar(QStringLiteral("PRAGMA cache_size")).toLongLong();
    db.exec(QStringLiteral("PRAGMA cache_size=-4096"));
}

SortsInFiles::~SortsInFiles()
{
    if (!m_switched)
        return;
    try {
        m_db.exec(QStringLiteral("PRAGMA cache_size=%1").arg(m_cacheSize));
        m_db.exec(QStringLiteral("PRAGMA temp_store=MEMORY"));
    } catch (const store::StoreError&) {
        // Sorts go on in files: slower for small ones, but the same rows.
    }
}

void closeTemporaryDatabase(store::Database& db)
{
    if (sqlite3_db_filename(db.handle(), "temp") == nullptr || !sqlite3_get_autocommit(db.handle()))
        return;
    // Any change of the setting closes the temporary database.
    const int store = db.scalar(QStringLiteral("PRAGMA temp_store")).toInt();
    db.exec(QStringLiteral("PRAGMA temp_store=%1").arg(store == 2 ? 1 : 2));
    db.exec(QStringLiteral("PRAGMA temp_store=%1").arg(store));
}

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

    WorkScope transaction(db);
    // With every column's type declared the rows go straight into the table;
    // otherwise they go, in their order, into a table without types first.
    const bool allDeclared = !declared.contains(false);
    QStringList staged;
    for (int i = 0; i < columns.size(); ++i)
        staged.append(QStringLiteral("c%1").arg(i));
    if (!allDeclared) {
        db.exec(QStringLiteral("DROP TABLE IF EXISTS ") + kStagedRows);
        db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(kStagedRows, staged.join(QLatin1Char(','))));
        db.exec(QStringLiteral("INSERT INTO %1 ").arg(kStagedRows) + select.text, select.params);
    }

    // An expression column takes its type from its values, as makeTable
    // infers it: any text that is no day makes it text, days with numbers
    // too; days alone a date, any real a real, whole numbers an integer.
    QStringList tests;
    for (int i = 0; i < columns.size(); ++i)
        if (!declared[i])
            tests.append(QStringLiteral("tarvenix_value_kinds(c%1)").arg(i));
    if (!tests.isEmpty()) {
        sqlite3_create_function(db.handle(), "tarvenix_value_kinds", 1, SQLITE_UTF8, nullptr, nullptr, valueKindsStep,
                                valueKindsFinal);
        const store::Rows seen =
            db.query(QStringLiteral("SELECT %1 FROM %2").arg(tests.join(QLatin1Char(',')), kStagedRows));
        int at = 0;
        for (int i = 0; i < columns.size(); ++i) {
            if (declared[i])
                continue;
            const int kinds = seen.rows.first().at(at++).toInt();
            const bool text = kinds & kTextSeen, day = kinds & kDaySeen;
            const bool real = kinds & kRealSeen, integer = kinds & kIntegerSeen;
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
    if (allDeclared) {
        db.exec(QStringLiteral("INSERT INTO %1 ").arg(store::quoteIdentifier(name)) + select.text, select.params);
    } else {
        db.exec(QStringLiteral("INSERT INTO %1 SELECT %2 FROM %3 ORDER BY rowid")
                    .arg(store::quoteIdentifier(name), staged.join(QLatin1Char(',')), kStagedRows));
        db.exec(QStringLiteral("DROP TABLE ") + kStagedRows);
    }
    transaction.commit();
}

}  // namespace query
