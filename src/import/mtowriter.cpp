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
        const store::StoreError error = db.lastFailure();
        sqlite3_finalize(m_stmt);
        throw error;
    }
}

MtoWriter::~MtoWriter()
{
    sqlite3_finalize(m_stmt);
    for (sqlite3_stmt* block : m_blocks)
        sqlite3_finalize(block);
}

void MtoWriter::bindDay(const QDate& day)
{
    if (day != m_boundDay) {
        m_dayText = datetext::toStorage(day).toUtf8();
        m_boundDay = day;
    }
}

sqlite3_stmt* MtoWriter::blockStatement(int count)
{
    sqlite3_stmt*& stmt = m_blocks[static_cast<size_t>(count)];
    if (!stmt) {
        // OR FAIL: a refused row ends the statement and keeps the rows before
        // it, so the store needs no copy of the pages the statement touches
        // to undo it; the caller undoes the file's work as a whole.
        QByteArray sql = QByteArray(kInsert).replace("INSERT INTO", "INSERT OR FAIL INTO");
        for (int i = 1; i < count; ++i)
            sql += ",(?,?,?,?,?,?,?,?,?,?,?,?)";
        if (sqlite3_prepare_v2(m_db.handle(), sql.constData(), static_cast<int>(sql.size()), &stmt, nullptr) !=
            SQLITE_OK) {
            const store::StoreError error = m_db.lastFailure();
            sqlite3_finalize(stmt);
            stmt = nullptr;
            throw error;
        }
    }
    return stmt;
}

int MtoWriter::writeBlock(const QDate& day, const MtoRow* rows, int count, std::optional<store::StoreError>& failure)
{
    failure.reset();
    if (count <= 0)
        return 0;
    if (count > kBlockRows)
        count = kBlockRows;
    bindDay(day);
    sqlite3_stmt* stmt = nullptr;
    try {
        stmt = blockStatement(count);
    } catch (const store::StoreError& error) {
        failure = error;
        return 0;
    }
    std::array<QByteArray, 2 * kBlockRows> buffers;
    int rc = SQLITE_OK;
    for (int k = 0; k < count && rc == SQLITE_OK; ++k) {
        const MtoRow& row = rows[k];
        const int base = k * 12;
        rc = sqlite3_bind_text(stmt, base + 1, m_dayText.constData(), static_cast<int>(m_dayText.size()), SQLITE_STATIC);
        if (rc == SQLITE_OK)
            rc = sqlite3_bind_int64(stmt, base + 2, row.scriptcode);
        if (rc == SQLITE_OK)
            rc = bindLatin1(stmt, base + 3, row.nseScriptCode, buffers[static_cast<size_t>(2 * k)]);
        if (rc == SQLITE_OK)
            rc = bindLatin1(stmt, base + 4, row.bseScriptCode, buffers[static_cast<size_t>(2 * k + 1)]);
        for (int i = 0; i < MtoFigureCount && rc == SQLITE_OK; ++i)
            rc = sqlite3_bind_double(stmt, base + 5 + i, row.figures[static_cast<size_t>(i)]);
    }
    const sqlite3_int64 before = sqlite3_total_changes64(m_db.handle());
    if (rc == SQLITE_OK)
        rc = sqlite3_step(stmt) == SQLITE_DONE ? SQLITE_OK : sqlite3_extended_errcode(m_db.handle());
    const int written = rc == SQLITE_OK ? count : static_cast<int>(sqlite3_total_changes64(m_db.handle()) - before);
    if (rc != SQLITE_OK && rc != SQLITE_CONSTRAINT_UNIQUE)
        failure = m_db.lastFailure();
    sqlite3_reset(stmt);
    // The bound texts belong to the caller; no binding may outlive this call.
    sqlite3_clear_bindings(stmt);
    return written;
}

bool MtoWriter::write(const QDate& day, const MtoRow& row)
{
    bindDay(day);
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
    std::optional<store::StoreError> failure;
    if (rc != SQLITE_OK && rc != SQLITE_CONSTRAINT_UNIQUE)
        failure = m_db.lastFailure();
    sqlite3_reset(m_stmt);
    // The bound texts belong to the caller; no binding may outlive this call.
    sqlite3_clear_bindings(m_stmt);
    if (failure)
        throw *failure;
    return rc == SQLITE_OK;
}

bool dayHasRows(store::Database& db, const QDate& day)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM mto WHERE TransDate = ?"), {day}).toLongLong() != 0;
}

}  // namespace import
