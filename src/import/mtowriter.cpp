#include "import/mtowriter.h"

#include "store/database.h"
#include "store/datetext.h"
#include "store/storeerror.h"

#include <QString>
#include <sqlite3.h>

namespace import {

namespace {

const char* const kInsert =
    "INSERT INTO mto (TransDate, scriptcode, NSEScriptCode, BSEScriptCode, NSETrdQty, BSETrdQty, "
    "NSEDelyQty, BSEDelyQty, NSEPerc, BSEPerc, NSEClPrice, BSEClPrice) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)";

bool isAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Binds Latin-1 text; ASCII (the usual case) goes as it is, anything else is
// turned into UTF-8 in `buffer`, which must outlive the statement's step.
int bindLatin1(sqlite3_stmt* stmt, int index, std::string_view text, QByteArray& buffer)
{
    if (isAscii(text))
        return sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    buffer = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
    return sqlite3_bind_text(stmt, index, buffer.constData(), static_cast<int>(buffer.size()), SQLITE_STATIC);
}

}  // namespace

MtoWriter::MtoWriter(store::Database& db) : m_db(db)
{
    if (!db.isOpen())
        throw store::StoreError(QStringLiteral("The database is not open."));
    if (sqlite3_prepare_v2(db.handle(), kInsert, -1, &m_stmt, nullptr) != SQLITE_OK) {
        const QString error = db.lastError();
        sqlite3_finalize(m_stmt);
        throw store::StoreError(error);
    }
}

MtoWriter::~MtoWriter()
{
    sqlite3_finalize(m_stmt);
}

bool MtoWriter::write(const QDate& day, const MtoRow& row)
{
    if (day != m_boundDay) {
        m_dayText = datetext::toStorage(day).toUtf8();
        m_boundDay = day;
    }
    QByteArray nseBuffer, bseBuffer;
    int rc = sqlite3_bind_text(m_stmt, 1, m_dayText.constData(), static_cast<int>(m_dayText.size()), SQLITE_STATIC);
    if (rc == SQLITE_OK)
        rc = sqlite3_bind_int64(m_stmt, 2, row.scriptcode);
    if (rc == SQLITE_OK)
        rc = bindLatin1(m_stmt, 3, row.nseScriptCode, nseBuffer);
    if (rc == SQLITE_OK)
        rc = bindLatin1(m_stmt, 4, row.bseScriptCode, bseBuffer);
    for (int i = 0; i < MtoFigureCount && rc == SQLITE_OK; ++i)
        rc = sqlite3_bind_double(m_stmt, 5 + i, row.figures[static_cast<size_t>(i)]);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(m_stmt) == SQLITE_DONE ? SQLITE_OK : sqlite3_extended_errcode(m_db.handle());
    const QString error = rc == SQLITE_OK ? QString() : m_db.lastError();
    sqlite3_reset(m_stmt);
    // The bound texts belong to the caller; no binding may outlive this call.
    sqlite3_clear_bindings(m_stmt);
    if (rc == SQLITE_CONSTRAINT_UNIQUE)
        return false;
    if (rc != SQLITE_OK)
        throw store::StoreError(error);
    return true;
}

bool dayHasRows(store::Database& db, const QDate& day)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM mto WHERE TransDate = ?"), {day}).toLongLong() != 0;
}

}  // namespace import
