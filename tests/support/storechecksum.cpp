#include "support/storechecksum.h"

#include "store/database.h"

#include <QCryptographicHash>

std::string storeChecksum(store::Database& db)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const auto& table : db.query("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name").rows) {
        hash.addData(table[0].toString().toUtf8());
        const QString select =
            QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(store::quoteIdentifier(table[0].toString()));
        for (const auto& row : db.query(select).rows)
            for (const QVariant& value : row)
                hash.addData(QByteArray(value.isNull() ? "null" : value.typeName()) + value.toString().toUtf8() + '|');
    }
    return hash.result().toHex().toStdString();
}
