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

private:
    QTemporaryDir m_dir;
    store::Database m_db;
};
