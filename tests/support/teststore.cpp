#include "support/teststore.h"

#include "store/schema.h"

#include <QFile>

TestStore::TestStore()
{
    m_db.open(path());
    store::createMainSchema(m_db);
}

void TestStore::damage(const QString& name)
{
    const qint64 page = m_db.scalar(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = ?"), {name}).toLongLong();
    const qint64 pageSize = m_db.scalar(QStringLiteral("PRAGMA page_size")).toLongLong();
    m_db.scalar(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    m_db.close();
    QFile file(path());
    if (file.open(QIODevice::ReadWrite) && file.seek((page - 1) * pageSize))
        file.write(QByteArray(pageSize, 'x'));
    file.close();
    m_db.open(path());
}
