#pragma once

#include "store/storeerror.h"

#include <QList>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

// How a column's values are kept and shown. Dates are stored as ISO text and
// read back as QDate.
enum class ColumnKind { Integer, Real, Date, Text };

struct Column {
    QString name;
    ColumnKind kind = ColumnKind::Text;
};

using Params = QVariantList;

// The rows of one query, read whole into memory.
struct Rows {
    QList<Column> columns;
    QList<QVariantList> rows;

    // Index of the column named `name` without regard to case, or -1.
    int columnIndex(const QString& name) const;
    QVariant value(int row, const QString& column) const;
    bool isEmpty() const { return rows.isEmpty(); }
    qsizetype size() const { return rows.size(); }
};

ColumnKind kindFromDeclaredType(const QString& declaredType);
QString declaredTypeFor(ColumnKind kind);

class Database;

// A prepared statement, for statements run many times (bulk inserts).
class Statement {
public:
    Statement(Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds `params` in order, runs the statement to its end and resets it.
    void run(const Params& params);

private:
    Database& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// The connection to one store file. The application keeps one open for the
// whole run; every call raises StoreError on failure.
class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens (creating if missing) the file at `path` and registers the
    // Jet-compatible SQL functions. `path` ":memory:" gives a private store.
    // A store in WAL mode on a file system mounted read-only is opened as a
    // file that does not change; one in a folder that this user cannot write
    // on a file system that others can is refused with the reason, unless a
    // writer already shares it through its -wal and -shm files.
    void open(const QString& path);
    // Opens an existing file only; a missing file is an error.
    void openExisting(const QString& path);
    // Opens a store file that another program keeps, as it is: never
    // created, its journal mode left alone, so that reading it changes none
    // of its bytes. A missing or empty file is refused.
    void openForeign(const QString& path);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }
    // Whether the store file can only be read (the system opened it so,
    // because the file or its folder cannot be written).
    bool isReadOnly() const;
    // Whether a store at `path` could be written: the file opens for writing
    // and its folder takes the journal files that SQLite keeps beside it.
    static bool isWritable(const QString& path);

    // Runs one statement with bound parameters.
    void exec(const QString& sql, const Params& params = {});
    // Runs several statements, separated by ';', without parameters.
    void execScript(const QString& sql);
    // Reads the rows of one statement.
    Rows query(const QString& sql, const Params& params = {});
    // The first column of the first row, or a null value when there is none.
    QVariant scalar(const QString& sql, const Params& params = {});

    qint64 lastInsertId() const;
    int changes() const;

    bool tableExists(const QString& table);
    QList<Column> tableColumns(const QString& table);
    void dropIfExists(const QString& table);

    // Makes a new table `table` from the rows of `select`, declaring each
    // column's type (from the source column, or from the values an
    // expression gives: text in yyyy-MM-dd form is a date). Fails when the
    // table exists already.
    void makeTable(const QString& table, const QString& select, const Params& params = {});

    sqlite3* handle() const { return m_db; }
    // SQLite's reason for the last failure; a damaged file is named with it.
    QString lastError() const;
    // The last failure as an error to raise: the reason (after `context`
    // when given), SQLite's code and the store file.
    StoreError lastFailure(const QString& context = {}) const;
    // The same for a connection of its own (a reader on another thread).
    static QString lastErrorOf(sqlite3* connection);

private:
    friend class Statement;
    sqlite3_stmt* prepare(const QString& sql);
    void bind(sqlite3_stmt* stmt, const Params& params);
    [[noreturn]] void fail(const QString& context);
    void openFile(const QString& path, int flags, bool keepJournalMode, bool unchangeable = false);

    sqlite3* m_db = nullptr;
    QString m_path;
};

// Quotes an identifier for SQL text ("name" with inner quotes doubled).
QString quoteIdentifier(const QString& name);

}  // namespace store
