#include "store/database.h"

#include "store/datetext.h"
#include "store/filelocks.h"
#include "store/jetfunctions.h"
#include "store/showntext.h"
#include "store/storeerror.h"
#include "store/transaction.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace store {

namespace {

QVariant readValue(sqlite3_stmt* stmt, int column, ColumnKind kind)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        if (kind == ColumnKind::Real)
            return sqlite3_column_double(stmt, column);
        return QVariant::fromValue<qint64>(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt, column);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                          sqlite3_column_bytes(stmt, column));
    default: {
        const QString text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                                               sqlite3_column_bytes(stmt, column));
        if (kind == ColumnKind::Date) {
            if (const auto date = datetext::fromStorage(text))
                return *date;
        }
        return text;
    }
    }
}

// The kind of an expression column, from the values it gave.
ColumnKind inferKind(const QList<QVariantList>& rows, int column)
{
    bool sawInteger = false, sawReal = false, sawDate = false, sawText = false;
    for (const auto& row : rows) {
        const QVariant& value = row.at(column);
        if (value.isNull())
            continue;
        switch (value.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
            sawInteger = true;
            break;
        case QMetaType::Double:
            sawReal = true;
            break;
        case QMetaType::QDate:
            sawDate = true;
            break;
        default:
            if (datetext::fromStorage(value.toString()))
                sawDate = true;
            else
                sawText = true;
        }
    }
    if (sawText || (sawDate && (sawInteger || sawReal)))
        return ColumnKind::Text;
    if (sawDate)
        return ColumnKind::Date;
    if (sawReal)
        return ColumnKind::Real;
    if (sawInteger)
        return ColumnKind::Integer;
    return ColumnKind::Text;
}

}  // namespace

int Rows::columnIndex(const QString& name) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Rows::value(int row, const QString& column) const
{
    const int index = columnIndex(column);
    if (index < 0 || row < 0 || row >= rows.size())
        return {};
    return rows[row].at(index);
}

ColumnKind kindFromDeclaredType(const QString& declaredType)
{
    const QString type = declaredType.toUpper();
    if (type.contains(QLatin1String("DATE")) || type.contains(QLatin1String("TIME")))
        return ColumnKind::Date;
    if (type.contains(QLatin1String("INT")))
        return ColumnKind::Integer;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB")) || type.contains(QLatin1String("NUM")) ||
        type.contains(QLatin1String("DEC")))
        return ColumnKind::Real;
    return ColumnKind::Text;
}

QString declaredTypeFor(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Integer:
        return QStringLiteral("INTEGER");
    case ColumnKind::Real:
        return QStringLiteral("REAL");
    case ColumnKind::Date:
        return QStringLiteral("DATE");
    case ColumnKind::Text:
        break;
    }
    return QStringLiteral("TEXT");
}

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

Statement::Statement(Database& db, const QString& sql) : m_db(db), m_stmt(db.prepare(sql)) {}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::run(const Params& params)
{
    m_db.bind(m_stmt, params);
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        const StoreError error = m_db.lastFailure();
        sqlite3_reset(m_stmt);
        throw error;
    }
    sqlite3_reset(m_stmt);
}

Database::Database() = default;

Database::~Database()
{
    close();
}

void Database::open(const QString& path)
{
    openFile(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, false);
}

namespace {

// SQLite counts every allocation under one global lock unless told so before
// its first use; the threads that read a query's window side by side would
// queue on it. Nothing here reads the count.
void configureSqliteOnce()
{
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
}

// Whether the store at `path`, which could not be read with `code`, is a WAL
// store that only its main file holds, read without its -wal and -shm files.
// SQLite makes those files beside the store even to read it, and stops where
// it cannot: in a folder that cannot be written (SQLITE_READONLY_DIRECTORY),
// or on read-only media (SQLITE_CANTOPEN). Where a -wal file is left, it may
// hold changes not yet copied into the main file, and is not passed over.
bool isWalStoreWithoutItsFiles(const QString& path, int code)
{
    if (code != SQLITE_READONLY_DIRECTORY && (code & 0xff) != SQLITE_CANTOPEN)
        return false;
    if (QFileInfo::exists(path + QLatin1String("-wal")))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The header's file format versions: 2 for both in WAL mode.
    const QByteArray header = file.read(20);
    return header.size() == 20 && header.at(18) == 2 && header.at(19) == 2;
}

// The URI that opens the store at `path` as a file that does not change:
// SQLite then reads it without locks, journal or WAL files.
QByteArray unchangeableUri(const QString& path)
{
    return "file:" + QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/") + "?immutable=1";
}

// Whether the file at `path` lies on a file system mounted read-only, where
// nobody can change it.
bool onReadOnlyFileSystem(const QString& path)
{
    struct statvfs system {};
    return statvfs(QFile::encodeName(path).constData(), &system) == 0 && (system.f_flag & ST_RDONLY) != 0;
}

// Whether the folder of the file at `path` takes new files, asked with the
// rights the program works with, as SQLite will use them.
bool folderWritable(const QString& path)
{
    return faccessat(AT_FDCWD, QFile::encodeName(QFileInfo(path).absolutePath()).constData(), W_OK | X_OK,
                     AT_EACCESS) == 0;
}

QString notOpenedMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The database \"%1\" could not be opened: %2").arg(shownPath(path), reason);
}

// Why a WAL store in a folder that this user cannot write, on a file system
// that others can, is not read.
QString sharedWalStoreMessage(const QString& path)
{
    return notOpenedMessage(
        path, QStringLiteral("its folder \"%1\" cannot be written. The database keeps its changes in a journal "
                             "(WAL) that readers share through files made beside it, and without them another user "
                             "could change the database while it is read, unseen, and the program would show "
                             "figures that are no longer there.\n\nGet the right to write the folder, or copy the "
                             "database into a folder you can write and open the copy.")
                  .arg(shownPath(QFileInfo(path).absolutePath())));
}

}  // namespace

void Database::openFile(const QString& path, int flags, bool keepJournalMode, bool unchangeable)
{
    close();
    configureSqliteOnce();
    useOwnFileLocks();
    const QByteArray name = unchangeable ? unchangeableUri(path) : path.toUtf8();
    if (unchangeable)
        flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
    if (sqlite3_open_v2(name.constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        const QString error = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
        const int code = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_NOMEM;
        close();
        throw StoreError(notOpenedMessage(path, error), code, path);
    }
    m_path = path;
    sqlite3_busy_timeout(m_db, 5000);
    try {
        // Reading the schema proves that the file is a database at all.
        scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        // A read-only file keeps the journal mode it has: changing it is a write.
        const bool wal = path != QLatin1String(":memory:") && !keepJournalMode && !isReadOnly();
        if (wal)
            scalar(QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        // A day's import touches one index page per scrip; a larger page
        // cache keeps those pages between days instead of re-reading them.
        exec(QStringLiteral("PRAGMA cache_size=-65536"));
        // Grouping and ranking sort many rows: keep those sorts in memory,
        // and let a large sort use a few helper threads.
        exec(QStringLiteral("PRAGMA temp_store=MEMORY"));
        scalar(QStringLiteral("PRAGMA threads=4"));
        // Dropping a large work table need not write zeros over every page
        // it frees (the system library's default).
        scalar(QStringLiteral("PRAGMA secure_delete=FAST"));
        // ... and a day's changed pages are copied back into the file every
        // few days rather than after each one.
        if (wal)
            scalar(QStringLiteral("PRAGMA wal_autocheckpoint=10000"));
    } catch (const StoreError& error) {
        close();
        if (!unchangeable && isWalStoreWithoutItsFiles(path, error.code())) {
            // Nothing can change a store on a file system mounted read-only,
            // so it is read as one that does not change: without locks and
            // without looking for changes.
            if (onReadOnlyFileSystem(path))
                return openFile(path, flags, true, true);
            // Elsewhere whoever may write the folder may write the store, and
            // a reader that looked for no changes would read pages of the
            // store before and after them as one.
            if (!folderWritable(path))
                throw StoreError(sharedWalStoreMessage(path), error.code(), path);
        }
        if (error.message().contains(shownPath(path)))
            throw;
        throw StoreError(notOpenedMessage(path, error.message()), error.code(), path);
    }
    registerJetFunctions(m_db);
}

namespace {

// Refuses a path where no store file stands, saying what stands there.
QFileInfo requireStoreFile(const QString& path)
{
    const QFileInfo file(path);
    QString reason;
    if (file.isDir())
        reason = QStringLiteral("it is a folder, not a database file.");
    else if (!file.exists())
        reason = QStringLiteral("the file does not exist.");
    else if (!file.isFile())
        reason = QStringLiteral("it is not a regular file (a pipe, socket or device).");
    if (!reason.isEmpty())
        throw StoreError(notOpenedMessage(path, reason));
    return file;
}

}  // namespace

void Database::openExisting(const QString& path)
{
    requireStoreFile(path);
    open(path);
}

void Database::openForeign(const QString& path)
{
    const QFileInfo file = requireStoreFile(path);
    // An empty file would be taken for a new database and written as one.
    if (file.size() == 0)
        throw StoreError(notOpenedMessage(path, QStringLiteral("the file is empty.")));
    openFile(path, SQLITE_OPEN_READWRITE, true);
}

bool Database::isReadOnly() const
{
    return m_db && sqlite3_db_readonly(m_db, "main") == 1;
}

bool Database::isWritable(const QString& path)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    ::close(descriptor);
    return folderWritable(path);
}

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_path.clear();
}

QString Database::lastError() const
{
    if (!m_db)
        return QStringLiteral("the database is not open");
    return lastErrorOf(m_db);
}

QString Database::lastErrorOf(sqlite3* connection)
{
    const QString message = QString::fromUtf8(sqlite3_errmsg(connection));
    // A damaged file is named, so that the user knows which file to restore.
    if ((sqlite3_errcode(connection) & 0xff) == SQLITE_CORRUPT)
        return QStringLiteral("The database \"%1\" is damaged (%2).")
            .arg(shownPath(QString::fromUtf8(sqlite3_db_filename(connection, "main"))), message);
    return message;
}

StoreError Database::lastFailure(const QString& context) const
{
    const QString reason = context.isEmpty() ? lastError() : QStringLiteral("%1: %2").arg(context, lastError());
    if (!m_db)
        return StoreError(reason);
    return StoreError(reason, sqlite3_extended_errcode(m_db), QString::fromUtf8(sqlite3_db_filename(m_db, "main")));
}

void Database::fail(const QString& context)
{
    throw lastFailure(context);
}

sqlite3_stmt* Database::prepare(const QString& sql)
{
    if (!m_db)
        throw StoreError(QStringLiteral("The database is not open."));
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), static_cast<int>(text.size()), &stmt, nullptr) != SQLITE_OK)
        fail(QString());
    if (!stmt)
        throw StoreError(QStringLiteral("The statement is empty."));
    return stmt;
}

void Database::bind(sqlite3_stmt* stmt, const Params& params)
{
    sqlite3_clear_bindings(stmt);
    const int expected = sqlite3_bind_parameter_count(stmt);
    if (params.size() != expected) {
        throw StoreError(
            QStringLiteral("The statement takes %1 values but %2 were given.").arg(expected).arg(params.size()));
    }
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& value = params[i];
        const int index = i + 1;
        int rc = SQLITE_OK;
        if (value.isNull()) {
            rc = sqlite3_bind_null(stmt, index);
        } else {
            switch (value.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
                rc = sqlite3_bind_int64(stmt, index, value.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(stmt, index, value.toDouble());
                break;
            case QMetaType::QDate: {
                const QByteArray text = datetext::toStorage(value.toDate()).toUtf8();
                rc = sqlite3_bind_text(stmt, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QByteArray: {
                const QByteArray blob = value.toByteArray();
                rc = sqlite3_bind_blob(stmt, index, blob.constData(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray text = value.toString().toUtf8();
                rc = sqlite3_bind_text(stmt, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            fail(QStringLiteral("A value could not be bound"));
    }
}

void Database::exec(const QString& sql, const Params& params)
{
    Statement statement(*this, sql);
    statement.run(params);
}

void Database::execScript(const QString& sql)
{
    if (!m_db)
        throw StoreError(QStringLiteral("The database is not open."));
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const StoreError failure = error ? lastFailure() : StoreError(QStringLiteral("unknown error"));
        sqlite3_free(error);
        throw failure;
    }
}

Rows Database::query(const QString& sql, const Params& params)
{
    sqlite3_stmt* stmt = prepare(sql);
    Rows result;
    try {
        bind(stmt, params);
        const int count = sqlite3_column_count(stmt);
        QList<bool> declared;
        for (int i = 0; i < count; ++i) {
            const char* decl = sqlite3_column_decltype(stmt, i);
            Column column;
            column.name = QString::fromUtf8(sqlite3_column_name(stmt, i));
            column.kind = decl ? kindFromDeclaredType(QString::fromUtf8(decl)) : ColumnKind::Text;
            result.columns.append(column);
            declared.append(decl != nullptr);
        }
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            QVariantList row;
            row.reserve(count);
            for (int i = 0; i < count; ++i)
                row.append(readValue(stmt, i, result.columns[i].kind));
            result.rows.append(std::move(row));
        }
        if (rc != SQLITE_DONE)
            fail(QString());
        // Expression columns have no declared type: take it from their values.
        for (int i = 0; i < count; ++i) {
            if (declared[i])
                continue;
            result.columns[i].kind = inferKind(result.rows, i);
            if (result.columns[i].kind == ColumnKind::Date) {
                for (auto& row : result.rows)
                    if (!row[i].isNull())
                        row[i] = *datetext::fromStorage(row[i].toString());
            }
        }
    } catch (...) {
        sqlite3_finalize(stmt);
        throw;
    }
    sqlite3_finalize(stmt);
    return result;
}

QVariant Database::scalar(const QString& sql, const Params& params)
{
    const Rows rows = query(sql, params);
    if (rows.rows.isEmpty() || rows.columns.isEmpty())
        return {};
    return rows.rows.first().first();
}

qint64 Database::lastInsertId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

int Database::changes() const
{
    return m_db ? sqlite3_changes(m_db) : 0;
}

bool Database::tableExists(const QString& table)
{
    return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
                  {table})
               .toInt() > 0;
}

QList<Column> Database::tableColumns(const QString& table)
{
    const Rows info = query(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"), {table});
    QList<Column> columns;
    for (const auto& row : info.rows)
        columns.append({row[0].toString(), kindFromDeclaredType(row[1].toString())});
    return columns;
}

void Database::dropIfExists(const QString& table)
{
    exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoteIdentifier(table)));
}

void Database::makeTable(const QString& table, const QString& select, const Params& params)
{
    if (tableExists(table))
        throw StoreError(QStringLiteral("Table '%1' already exists.").arg(table));
    Rows rows = query(select, params);

    QStringList definitions, names, placeholders;
    for (int i = 0; i < rows.columns.size(); ++i) {
        // Two columns of one name get "name:1", "name:2", ... as SQLite's own
        // CREATE TABLE AS does.
        QString name = rows.columns[i].name;
        for (int suffix = 1; names.contains(name, Qt::CaseInsensitive); ++suffix)
            name = rows.columns[i].name + QLatin1Char(':') + QString::number(suffix);
        names.append(name);
        QString definition = quoteIdentifier(name) + QLatin1Char(' ') + declaredTypeFor(rows.columns[i].kind);
        if (rows.columns[i].kind == ColumnKind::Text)
            definition += QLatin1String(" COLLATE NOCASE");
        definitions.append(definition);
        placeholders.append(QStringLiteral("?"));
    }

    Transaction transaction(*this);
    exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdentifier(table), definitions.join(QLatin1String(", "))));
    if (!rows.rows.isEmpty()) {
        Statement insert(*this, QStringLiteral("INSERT INTO %1 VALUES (%2)")
                                    .arg(quoteIdentifier(table), placeholders.join(QLatin1String(", "))));
        for (const auto& row : rows.rows)
            insert.run(row);
    }
    transaction.commit();
}

}  // namespace store
