#pragma once

#include "store/database.h"

#include <QTemporaryDir>
#include <memory>

// A main database in a temporary folder with the whole schema, removed when
// the test ends.
class TestStore {
public:
    TestStore();
    store::Database& db() { return m_db; }
    QString folder() const { return m_dir.path(); }
    QString path() const { return m_dir.filePath(QStringLiteral("mto.db")); }
    // Overwrites the first page of the table or index `name` in the file with
    // junk, as a failing disk would, and opens the store again.
    void damage(const QString& name);

private:
    QTemporaryDir m_dir;
    store::Database m_db;
};
