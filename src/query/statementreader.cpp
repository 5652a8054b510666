#include "query/statementreader.h"

#include "store/database.h"

#include "store/datetext.h"
#include "store/storeerror.h"

#include <sqlite3.h>

namespace query {

void bindParams(sqlite3_stmt* stmt, const store::Params& params)
{
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& value = params[i];
        const int index = i + 1;
        if (value.isNull()) {
            sqlite3_bind_null(stmt, index);
            continue;
        }
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            sqlite3_bind_int64(stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            sqlite3_bind_double(stmt, index, value.toDouble());
            break;
        case QMetaType::QDate: {
            const QByteArray text = datetext::toStorage(value.toDate()).toUtf8();
            sqlite3_bind_text(stmt, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QByteArray: {
            const QByteArray blob = value.toByteArray();
            sqlite3_bind_blob(stmt, index, blob.constData(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(stmt, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
        }
    }
}

StatementReader::StatementReader(sqlite3* db, const Sql& statement) : m_db(db)
{
    const QByteArray text = statement.text.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &m_stmt, nullptr) != SQLITE_OK || !m_stmt) {
        m_error = store::Database::lastErrorOf(db);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        return;
    }
    if (sqlite3_bind_parameter_count(m_stmt) != statement.params.size()) {
        m_error = QStringLiteral("The statement takes %1 values but %2 were given.")
                      .arg(sqlite3_bind_parameter_count(m_stmt))
                      .arg(statement.params.size());
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        return;
    }
    bindParams(m_stmt, statement.params);
}

StatementReader::~StatementReader()
{
    sqlite3_finalize(m_stmt);
}

bool StatementReader::next()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_error = store::Database::lastErrorOf(m_db);
    return false;
}

int StatementReader::columns() const
{
    return sqlite3_column_count(m_stmt);
}

int StatementReader::type(int column) const
{
    return sqlite3_column_type(m_stmt, column);
}

bool StatementReader::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 StatementReader::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double StatementReader::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

QByteArray StatementReader::bytes(int column) const
{
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
    return QByteArray(data, sqlite3_column_bytes(m_stmt, column));
}

int RowValue::type() const
{
    return sqlite3_value_type(m_value);
}

double RowValue::real() const
{
    return sqlite3_value_double(m_value);
}

qint64 RowValue::integer() const
{
    return sqlite3_value_int64(m_value);
}

QByteArrayView RowValue::view() const
{
    const auto* data = static_cast<const char*>(sqlite3_value_blob(m_value));
    return QByteArrayView(data, sqlite3_value_bytes(m_value));
}

RowValue StatementReader::value(int column) const
{
    // The reader's connection serves one thread at a time, so the value
    // needs no protection of its own.
    return RowValue(sqlite3_column_value(m_stmt, column));
}

QDate StatementReader::day(int column) const
{
    if (sqlite3_column_type(m_stmt, column) != SQLITE_TEXT)
        return {};
    const QByteArrayView text = value(column).view();
    // yyyy-MM-dd in ASCII digits, read without a pattern: the form every
    // stored day has. Anything else goes through the date module.
    if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        int fields[3] = {0, 0, 0};
        bool digits = true;
        const int starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
        for (int f = 0; f < 3 && digits; ++f)
            for (int i = starts[f]; i < starts[f] + lengths[f] && digits; ++i) {
                digits = text[i] >= '0' && text[i] <= '9';
                fields[f] = fields[f] * 10 + (text[i] - '0');
            }
        if (digits) {
            const QDate date(fields[0], fields[1], fields[2]);
            return date.isValid() ? date : QDate();
        }
    }
    const auto parsed = datetext::fromStorage(QString::fromLatin1(text.data(), text.size()));
    return parsed ? *parsed : QDate();
}

RepeatedStatement::RepeatedStatement(sqlite3* db, const QString& text) : m_db(db)
{
    const QByteArray bytes = text.toUtf8();
    if (sqlite3_prepare_v2(db, bytes.constData(), static_cast<int>(bytes.size()), &m_stmt, nullptr) != SQLITE_OK || !m_stmt) {
        const QString error = store::Database::lastErrorOf(db);
        sqlite3_finalize(m_stmt);
        throw store::StoreError(error);
    }
}

RepeatedStatement::~RepeatedStatement()
{
    sqlite3_finalize(m_stmt);
}

void RepeatedStatement::bindInteger(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void RepeatedStatement::bindReal(int index, double value)
{
    sqlite3_bind_double(m_stmt, index, value);
}

void RepeatedStatement::bindText(int index, const QByteArray& value)
{
    sqlite3_bind_text(m_stmt, index, value.constData(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

void RepeatedStatement::bindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
}

void RepeatedStatement::run()
{
    if (sqlite3_step(m_stmt) != SQLITE_DONE) {
        const QString error = store::Database::lastErrorOf(m_db);
        sqlite3_reset(m_stmt);
        throw store::StoreError(error);
    }
    sqlite3_reset(m_stmt);
}

}  // namespace query
