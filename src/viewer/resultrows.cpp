#include "viewer/resultrows.h"

#include "query/statementreader.h"
#include "query/windowreading.h"
#include "query/worktable.h"
#include "store/datetext.h"
#include "store/transaction.h"

#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <sqlite3.h>
#include <vector>

namespace viewer {

const QString ResultRows::kShownTable = QStringLiteral("ViewerRows");
const QString ResultRows::kShownOrder = QStringLiteral("ViewerOrder");

namespace {

constexpr qint64 kPageRows = 512;
constexpr int kKeptPages = 16;

QString quoted(const QString& name)
{
    return store::quoteIdentifier(name);
}

// The table a select reads whole and as it stands ("select * from T"), or
// empty for any other select.
QString wholeTableOf(const QString& select)
{
    static const QRegularExpression plain(
        QStringLiteral(R"re(^\s*select\s+\*\s+from\s+(?:"([^"]+)"|\[([^\]]+)\]|(\w+))\s*;?\s*$)re"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = plain.match(select);
    if (!match.hasMatch())
        return QString();
    for (int group = 1; group <= 3; ++group)
        if (!match.captured(group).isEmpty())
            return match.captured(group);
    return QString();
}

// The connection that copies and orders the rows: one of its own on the
// same store file, whose sorts spill to temporary files once they outgrow
// its page cache (the application's connection keeps its sorts in memory,
// which suits the small sorts of queries but not an order over millions of
// rows). The application's connection does the work when the store is not
// a file or a transaction is open on it.
class WorkConnection {
public:
    explicit WorkConnection(store::Database& db) : m_db(&db)
    {
        if (db.path().isEmpty() || db.path() == QLatin1String(":memory:") || !sqlite3_get_autocommit(db.handle()))
            return;
        try {
            m_own.openExisting(db.path());
            m_own.exec(QStringLiteral("PRAGMA temp_store=FILE"));
            // One sorter: helper threads would each fill a page cache's worth.
            m_own.scalar(QStringLiteral("PRAGMA threads=0"));
            m_db = &m_own;
        } catch (const store::StoreError&) {
            m_own.close();
        }
    }
    store::Database& db() { return *m_db; }

private:
    store::Database m_own;
    store::Database* m_db;
};

// Each column's longest value as the grid writes it (see
// store::displayText), with that text's length in characters, over the rows
// read into it.
class LongestValues {
public:
    explicit LongestValues(qsizetype columns) : m_lengths(size_t(columns), 0), m_texts(size_t(columns)) {}

    void read(query::StatementReader& rows)
    {
        const size_t columns = std::min(m_lengths.size(), size_t(rows.columns()));
        char number[40];
        while (rows.next()) {
            for (size_t column = 0; column < columns; ++column) {
                const query::RowValue value = rows.value(int(column));
                switch (value.type()) {
                case SQLITE_INTEGER: {
                    const char* end = std::to_chars(number, number + sizeof number, value.integer()).ptr;
                    offer(column, QByteArrayView(number, end), end - number);
                    break;
                }
                case SQLITE_FLOAT: {
                    // Whole numbers in full, others with 15 significant digits.
                    const double real = value.real();
                    const char* end =
                        std::abs(real) < 1e15 && real == std::trunc(real)
                            ? std::to_chars(number, number + sizeof number, static_cast<qint64>(real)).ptr
                            : std::to_chars(number, number + sizeof number, real, std::chars_format::general, 15).ptr;
                    offer(column, QByteArrayView(number, end), end - number);
                    break;
                }
                case SQLITE_TEXT: {
                    // Characters, not bytes: every byte but the continuation
                    // bytes of UTF-8 starts one.
                    const QByteArrayView text = value.view();
                    offer(column, text, std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
                    break;
                }
                default:
                    break;
                }
            }
        }
    }
    // Takes the longer values of `other`, read from other rows.
    void merge(const LongestValues& other)
    {
        for (size_t column = 0; column < m_lengths.size(); ++column)
            offer(column, other.m_texts[column], other.m_lengths[column]);
    }
    QString text(qsizetype column) const { return QString::fromUtf8(m_texts.at(size_t(column))); }

private:
    void offer(size_t column, QByteArrayView text, qsizetype characters)
    {
        if (characters <= m_lengths[column])
            return;
        m_lengths[column] = characters;
        m_texts[column] = text.toByteArray();
    }

    std::vector<qsizetype> m_lengths;
    std::vector<QByteArray> m_texts;
};

}  // namespace

ResultRows::ResultRows(store::Database& db) : m_db(db) {}

ResultRows::~ResultRows()
{
    try {
        if (m_db.isOpen())
            dropTables();
    } catch (const store::StoreError&) {
        // The store is going away; the next result shown replaces the tables.
    }
}

void ResultRows::dropTables()
{
    store::Transaction transaction(m_db);
    m_db.dropIfExists(kShownOrder);
    m_db.dropIfExists(kShownTable);
    transaction.commit();
}

void ResultRows::clear()
{
    m_columns.clear();
    m_longestTexts.clear();
    m_count = 0;
    m_ordered = false;
    m_pages.clear();
    m_pageAge.clear();
    dropTables();
}

void ResultRows::load(const QString& select)
{
    clear();
    try {
        WorkConnection work(m_db);
        copyResult(work.db(), select);
        m_columns = m_db.query(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoted(kShownTable))).columns;
        m_longestTexts = readLongestTexts();
    } catch (const store::StoreError&) {
        clear();
        throw;
    }
}

// One pass over the copy, in shares of its row numbers read side by side
// when it is large.
QStringList ResultRows::readLongestTexts() const
{
    namespace reading = query::windowreading;
    if (m_columns.isEmpty())
        return {};
    std::vector<LongestValues> shares;
    QString error;
    reading::readShares(
        m_db, reading::shareCount(m_db, double(m_count)),
        [&](int parts) { shares.assign(size_t(parts), LongestValues(m_columns.size())); },
        [&](int part, int parts) {
            return query::Sql(QStringLiteral("SELECT * FROM %1 WHERE rowid BETWEEN %2 AND %3")
                                  .arg(quoted(kShownTable))
                                  .arg(m_count * part / parts + 1)
                                  .arg(m_count * (part + 1) / parts));
        },
        [&](int part, query::StatementReader& rows) { shares[size_t(part)].read(rows); }, error);
    if (!error.isEmpty())
        throw store::StoreError(error);
    for (size_t part = 1; part < shares.size(); ++part)
        shares.front().merge(shares[part]);

    QStringList texts;
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        const QString text = shares.front().text(i);
        texts.append(m_columns[i].kind == store::ColumnKind::Date ? datetext::storageToDisplay(text) : text);
    }
    return texts;
}

void ResultRows::copyResult(store::Database& db, const QString& select)
{
    if (!copyWholeTable(db, select)) {
        // Any other select: its rows are written in its order, numbered from 1.
        query::makeResultTable(db, kShownTable, query::Sql(select));
        m_count = db.scalar(QStringLiteral("SELECT max(rowid) FROM ") + quoted(kShownTable)).toLongLong();
    }
}

// A result read whole from one table is copied as it is stored: the table
// is declared as the source is, so SQLite moves the stored rows across
// without reading them into values. The copy keeps the row numbers, which
// must run from 1 without gaps to serve as positions.
bool ResultRows::copyWholeTable(store::Database& db, const QString& select)
{
    const QString source = wholeTableOf(select);
    if (source.isEmpty())
        return false;
    const store::Rows definition = db.query(
        QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"), {source});
    if (definition.isEmpty())
        return false;
    // A column without a declared type takes its kind from its values: the
    // general copy works that out.
    const store::Rows types =
        db.query(QStringLiteral("SELECT count(*) FROM pragma_table_info(?) WHERE trim(type) = ''"), {source});
    if (types.rows.value(0).value(0).toLongLong() > 0)
        return false;
    static const QRegularExpression head(QStringLiteral(R"re(^\s*CREATE\s+TABLE\s+(?:"[^"]+"|\[[^\]]+\]|\S+?)\s*\()re"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString statement = definition.rows.first().first().toString();
    const QRegularExpressionMatch match = head.match(statement);
    if (!match.hasMatch())
        return false;
    statement.replace(0, match.capturedLength(), QStringLiteral("CREATE TABLE %1 (").arg(quoted(kShownTable)));

    // Left without its commit, the scope takes the copy back.
    store::Transaction transaction(db);
    db.exec(statement);
    db.exec(QStringLiteral("INSERT INTO %1 SELECT * FROM %2").arg(quoted(kShownTable), quoted(source)));
    m_count = db.changes();
    const qint64 last = db.scalar(QStringLiteral("SELECT max(rowid) FROM ") + quoted(kShownTable)).toLongLong();
    if (last != m_count)
        return false;
    transaction.commit();
    return true;
}

void ResultRows::show(const std::optional<ResultFilter>& filter, const std::optional<SortKey>& order)
{
    m_pages.clear();
    m_pageAge.clear();
    // Should the store refuse, the rows shown before stay.
    WorkConnection work(m_db);
    store::Database& db = work.db();
    store::Transaction transaction(db);
    db.dropIfExists(kShownOrder);
    const bool filtered = filter && !filter->isEmpty();
    const bool sorted = order && order->column >= 0 && order->column < m_columns.size();
    if (!filtered && !sorted) {
        transaction.commit();
        m_ordered = false;
        m_count = m_columns.isEmpty() ? 0 : db.scalar(QStringLiteral("SELECT max(rowid) FROM ") + quoted(kShownTable)).toLongLong();
        return;
    }
    FilterSql where{QStringLiteral("1"), {}};
    if (filtered)
        where = filter->sql(m_columns);
    QString orderBy = QStringLiteral("rowid");
    if (sorted) {
        const store::Column& column = m_columns[order->column];
        orderBy = quoted(column.name) +
                  (column.kind == store::ColumnKind::Text ? QStringLiteral(" COLLATE NOCASE") : QString()) +
                  (order->ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC")) + QStringLiteral(", rowid");
    }
    db.exec(QStringLiteral("CREATE TABLE %1 (position INTEGER PRIMARY KEY, row INTEGER)").arg(quoted(kShownOrder)));
    db.exec(QStringLiteral("INSERT INTO %1 (row) SELECT rowid FROM %2 WHERE %3 ORDER BY %4")
                .arg(quoted(kShownOrder), quoted(kShownTable), where.condition, orderBy),
            where.params);
    const qint64 count = db.changes();
    transaction.commit();
    m_count = count;
    m_ordered = true;
}

store::Rows ResultRows::readPage(qint64 first, qint64 count) const
{
    // Positions count from 0; row numbers and order positions from 1.
    if (m_ordered)
        return m_db.query(QStringLiteral("SELECT r.* FROM %1 AS o JOIN %2 AS r ON r.rowid = o.row"
                                         " WHERE o.position BETWEEN ? AND ? ORDER BY o.position")
                              .arg(quoted(kShownOrder), quoted(kShownTable)),
                          {first + 1, first + count});
    return m_db.query(QStringLiteral("SELECT * FROM %1 WHERE rowid BETWEEN ? AND ? ORDER BY rowid").arg(quoted(kShownTable)),
                      {first + 1, first + count});
}

QVariantList ResultRows::row(qint64 position) const
{
    if (position < 0 || position >= m_count)
        return {};
    const qint64 page = position / kPageRows;
    auto kept = m_pages.constFind(page);
    if (kept == m_pages.constEnd()) {
        if (m_pageAge.size() >= kKeptPages)
            m_pages.remove(m_pageAge.takeFirst());
        kept = m_pages.insert(page, readPage(page * kPageRows, kPageRows).rows);
        m_pageAge.append(page);
    }
    return kept->value(position - page * kPageRows);
}

void ResultRows::forEach(const RecordVisitor& visit, qint64 first) const
{
    constexpr qint64 kStreamRows = 4096;
    for (qint64 at = std::max<qint64>(first, 0); at < m_count; at += kStreamRows) {
        const store::Rows page = readPage(at, kStreamRows);
        for (const QVariantList& values : page.rows)
            visit(values);
    }
}

store::Rows ResultRows::all() const
{
    store::Rows rows;
    rows.columns = m_columns;
    rows.rows.reserve(m_count);
    forEach([&rows](const QVariantList& values) { rows.rows.append(values); });
    return rows;
}

}  // namespace viewer
