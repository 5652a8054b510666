#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QtGlobal>
#include "store/storeerror.h"

#include <array>
#include <optional>
#include <string_view>

struct sqlite3_stmt;

namespace store {
class Database;
}

namespace import {

// The figures of one scrip on one trading day, in the column order of `mto`
// from NSETrdQty to BSEClPrice.
enum MtoFigure {
    NSETrdQty,
    BSETrdQty,
    NSEDelyQty,
    BSEDelyQty,
    NSEPerc,
    BSEPerc,
    NSEClPrice,
    BSEClPrice,
    MtoFigureCount
};

// One row of `mto` without its day. The codes are views of text that the
// caller keeps alive until the row is written; they hold Latin-1 text.
struct MtoRow {
    qint64 scriptcode = 0;
    std::string_view nseScriptCode;
    std::string_view bseScriptCode;
    std::array<double, MtoFigureCount> figures{};
};

// Adds the rows of one trading day to `mto` through one prepared statement.
// Bulk loads (a day's file holds thousands of rows, the generator fills
// millions) bind their values straight from the decoded text, without
// building a value list per row. The caller runs it inside a transaction.
class MtoWriter {
public:
    explicit MtoWriter(store::Database& db);
    ~MtoWriter();
    MtoWriter(const MtoWriter&) = delete;
    MtoWriter& operator=(const MtoWriter&) = delete;

    // Returns false, writing nothing, when the scrip has a row on that day
    // already; raises store::StoreError when the store fails otherwise.
    bool write(const QDate& day, const MtoRow& row);

    // Rows that writeBlock writes with one statement at most: a statement
    // per row costs about as much again as the row itself.
    static constexpr int kBlockRows = 50;
    // Writes `count` rows of `day` (at most kBlockRows) in order, with one
    // statement. Returns how many were written: all, or fewer when the row
    // after the last one written could not be, because its scrip has a row on
    // that day already (`failure` left empty) or because the store failed
    // (`failure` says why). The rows written before it stay.
    int writeBlock(const QDate& day, const MtoRow* rows, int count, std::optional<store::StoreError>& failure);

private:
    void bindDay(const QDate& day);
    sqlite3_stmt* blockStatement(int count);

    store::Database& m_db;
    sqlite3_stmt* m_stmt = nullptr;
    std::array<sqlite3_stmt*, kBlockRows + 1> m_blocks{};
    QDate m_boundDay;
    QByteArray m_dayText;
};

// Whether `mto` holds any row of `day`.
bool dayHasRows(store::Database& db, const QDate& day);

}  // namespace import
