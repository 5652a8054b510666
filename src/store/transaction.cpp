#include "store/transaction.h"

#include "store/database.h"

namespace store {

Transaction::Transaction(Database& db) : m_db(db)
{
    m_db.exec(QStringLiteral("SAVEPOINT tarvenix_work"));
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        m_db.exec(QStringLiteral("ROLLBACK TO tarvenix_work"));
        m_db.exec(QStringLiteral("RELEASE tarvenix_work"));
    } catch (...) {
        // The connection is gone or broken; nothing is left to undo.
    }
}

void Transaction::commit()
{
    m_db.exec(QStringLiteral("RELEASE tarvenix_work"));
    m_done = true;
}

}  // namespace store
