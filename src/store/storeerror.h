#pragma once

#include <QString>
#include <stdexcept>

namespace store {

// Raised by every store call that fails. what() holds the reason in UTF-8;
// message() holds it for display.
class StoreError : public std::runtime_error {
public:
    // `code`: SQLite's result code of the failure (0 when SQLite gave none);
    // `storePath`: the store file it happened on, when known.
    explicit StoreError(const QString& message, int code = 0, QString storePath = {})
        : std::runtime_error(message.toStdString()), m_message(message), m_code(code), m_storePath(std::move(storePath))
    {
    }
    const QString& message() const { return m_message; }
    int code() const { return m_code; }
    const QString& storePath() const { return m_storePath; }

    // Whether the store file itself could not be written (it is read-only,
    // the disk is full or failed, the file could not be opened), as opposed
    // to a statement or a value that the store refused. No data is to blame.
    bool storeUnwritable() const;

private:
    QString m_message;
    int m_code = 0;
    QString m_storePath;
};

// What the user is told when the store could not be written: the store's
// file and why, e.g. The database "/data/mto.db" could not be written: the
// disk is full (database or disk is full).
QString storeUnwritableMessage(const StoreError& error);

}  // namespace store
