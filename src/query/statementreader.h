#pragma once

#include "query/sql.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace query {

// A value of the current row of a StatementReader, its column looked up
// once for its type and its number or bytes; valid until the next row.
class RowValue {
public:
    explicit RowValue(sqlite3_value* value) : m_value(value) {}
    int type() const;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL
    double real() const;
    qint64 integer() const;
    QByteArrayView view() const;  // a text's or blob's bytes, no copy

private:
    sqlite3_value* m_value;
};

// Steps through the rows of one statement on a connection and reads their
// values as SQLite holds them, without turning each into a QVariant: for
// statements that pass over many rows. Usable on a connection of another
// thread.
class StatementReader {
public:
    StatementReader(sqlite3* db, const Sql& statement);
    ~StatementReader();
    StatementReader(const StatementReader&) = delete;
    StatementReader& operator=(const StatementReader&) = delete;

    // Whether the statement was prepared; error() says why not.
    bool prepared() const { return m_stmt != nullptr; }
    // The next row; false at the end or on an error (error() is then set).
    bool next();
    QString error() const { return m_error; }

    int columns() const;
    int type(int column) const;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL
    bool isNull(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;  // 0 for an empty value
    QByteArray bytes(int column) const;
    // The value of `column`: for rows whose values are each read for their
    // type and content (one column look-up instead of two).
    RowValue value(int column) const;
    // A day kept as yyyy-MM-dd text; null when the value is no such day.
    QDate day(int column) const;

    sqlite3_stmt* statement() const { return m_stmt; }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_error;
};

// One statement run again and again with new values (the rows of a bulk
// insert), bound one by one without QVariants. Raises store::StoreError when
// it cannot be prepared or a run fails.
class RepeatedStatement {
public:
    RepeatedStatement(sqlite3* db, const QString& text);
    ~RepeatedStatement();
    RepeatedStatement(const RepeatedStatement&) = delete;
    RepeatedStatement& operator=(const RepeatedStatement&) = delete;

    void bindInteger(int index, qint64 value);
    void bindReal(int index, double value);
    void bindText(int index, const QByteArray& value);  // UTF-8
    void bindNull(int index);
    // Runs the statement with the values bound, then keeps them for the next run.
    void run();

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// Binds `params` to the '?' marks of `stmt` in order, as
// store::Database binds them (a day as yyyy-MM-dd text).
void bindParams(sqlite3_stmt* stmt, const store::Params& params);

}  // namespace query
