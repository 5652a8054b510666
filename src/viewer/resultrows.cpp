#include "viewer/resultrows.h"

#include "query/statementreader.h"
#include "query/windowreading.h"
#include "query/worktable.h"
#include "store/datetext.h"
#include "store/recordsetmodel.h"
#include "store/transaction.h"

#include <QRegularExpression>
#include <algorithm>
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

// A value as SQLite holds it, written as store::displayText writes it for
// the grid, without making a QVariant of it: a number is written into
// `buffer`, text is handed back as it is stored (a day therefore as
// yyyy-MM-dd, which datetext::storageToDisplay writes as the grid does).
// Empty for an empty cell.
QByteArrayView storedCellText(const query::RowValue& value, store::ColumnKind kind, store::NumberText& buffer)
{
    switch (value.type()) {
    case SQLITE_INTEGER:
        if (kind == store::ColumnKind::Real)
            return store::writeNumber(static_cast<double>(value.integer()), buffer);
        return store::writeNumber(value.integer(), buffer);
    case SQLITE_FLOAT:
        return store::writeNumber(value.real(), buffer);
    case SQLITE_TEXT:
    case SQLITE_BLOB:
        return value.view();
    default:
        return {};
    }
}

// Each column's widest values as the grid writes them, over the rows read
// into it: the few widest by the column's character widths, each text once.
class WidestValues {
public:
    WidestValues(const QList<store::Column>& columns, const CharacterWidths& textWidths,
                 const CharacterWidths& figureWidths)
    {
        for (const store::Column& column : columns)
            m_columns.push_back(
                {column.kind, column.kind == store::ColumnKind::Text ? &textWidths : &figureWidths, {}});
    }

    void read(query::StatementReader& rows)
    {
        const size_t columns = std::min(m_columns.size(), size_t(rows.columns()));
        store::NumberText number;
        while (rows.next()) {
            for (size_t column = 0; column < columns; ++column) {
                Column& kept = m_columns[column];
                const QByteArrayView text = storedCellText(rows.value(int(column)), kept.kind, number);
                if (!text.isEmpty())
                    offer(kept, text, kept.widths->of(text));
            }
        }
    }
    // Takes the wider values of `other`, read from other rows.
    void merge(const WidestValues& other)
    {
        for (size_t column = 0; column < m_columns.size(); ++column)
            for (const Candidate& candidate : other.m_columns[column].widest)
                offer(m_columns[column], candidate.text, candidate.width);
    }
    QStringList texts(qsizetype column) const
    {
        QStringList texts;
        const Column& kept = m_columns.at(size_t(column));
        for (const Candidate& candidate : kept.widest) {
            const QString text = QString::fromUtf8(candidate.text);
            texts.append(kept.kind == store::ColumnKind::Date ? datetext::storageToDisplay(text) : text);
        }
        return texts;
    }

private:
    // The widest values a column keeps to be measured.
    static constexpr size_t kKept = 8;

    struct Candidate {
        double width;
        QByteArray text;
    };
    struct Column {
        store::ColumnKind kind;
        const CharacterWidths* widths;
        std::vector<Candidate> widest;  // widest first
    };

    static void offer(Column& column, QByteArrayView text, double width)
    {
        std::vector<Candidate>& widest = column.widest;
        if (widest.size() == kKept && width <= widest.back().width)
            return;
        auto at = widest.begin();
        for (; at != widest.end() && at->width >= width; ++at) {
            if (at->width == width && at->text == text)
                return;
        }
        widest.insert(at, Candidate{width, text.toByteArray()});
        if (widest.size() > kKept)
            widest.pop_back();
    }

    std::vector<Column> m_columns;
};

}  // namespace

CharacterWidths::CharacterWidths(const std::function<double(char32_t)>& width)
{
    for (char32_t c = 0; c < kTabled; ++c) {
        m_widths[c] = float(width(c));
        m_other = std::max(m_other, m_widths[c]);
    }
}

double CharacterWidths::of(QByteArrayView text) const
{
    float sum = 0;
    const auto* byte = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = byte + text.size();
    while (byte < end) {
        if (*byte < 0x80) {
            sum += m_widths[*byte++];
            continue;
        }
        // A UTF-8 sequence: its lead byte says how many bytes follow.
        char32_t c = *byte++;
        const int following = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        c &= following == 3 ? 0x07 : following == 2 ? 0x0F : 0x1F;
        for (int i = 0; i < following && byte < end; ++i)
            c = (c << 6) | (*byte++ & 0x3F);
        sum += c < kTabled ? m_widths[c] : m_other;
    }
    return sum;
}

ResultRows::ResultRows(store::Database& db, const QString& rowsTable, const QString& orderTable)
    : m_db(db), m_rowsTable(rowsTable), m_orderTable(orderTable)
{
}

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
    m_db.dropIfExists(m_orderTable);
    m_db.dropIfExists(m_rowsTable);
    transaction.commit();
}

void ResultRows::clear()
{
    m_columns.clear();
    m_held = 0;
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
        m_columns = m_db.query(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoted(m_rowsTable))).columns;
        m_held = m_count;
    } catch (const store::StoreError&) {
        clear();
        throw;
    }
}

QList<QStringList> ResultRows::widestTexts(const CharacterWidths& textWidths, const CharacterWidths& figureWidths) const
{
    namespace reading = query::windowreading;
    if (m_columns.isEmpty())
        return {};
    // One pass over the copy, in shares of its row numbers.
    std::vector<WidestValues> shares;
    QString error;
    reading::readShares(
        m_db, reading::shareCount(m_db, double(m_held)),
        [&](int parts) { shares.assign(size_t(parts), WidestValues(m_columns, textWidths, figureWidths)); },
        [&](int part, int parts) {
            return query::Sql(QStringLiteral("SELECT * FROM %1 WHERE rowid BETWEEN %2 AND %3")
                                  .arg(quoted(m_rowsTable), QString::number(m_held * part / parts + 1),
                                       QString::number(m_held * (part + 1) / parts)));
        },
        [&](int part, query::StatementReader& rows) { shares[size_t(part)].read(rows); }, error);
    if (!error.isEmpty())
        throw store::StoreError(error);
    for (size_t part = 1; part < shares.size(); ++part)
        shares.front().merge(shares[part]);

    QList<QStringList> texts;
    for (qsizetype column = 0; column < m_columns.size(); ++column)
        texts.append(shares.front().texts(column));
    return texts;
}

void ResultRows::copyResult(store::Database& db, const QString& select)
{
    if (!copyWholeTable(db, select)) {
        // Any other select: its rows are written in its order, numbered from 1.
        query::makeResultTable(db, m_rowsTable, query::Sql(select));
        m_count = db.scalar(QStringLiteral("SELECT max(rowid) FROM ") + quoted(m_rowsTable)).toLongLong();
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
    statement.replace(0, match.capturedLength(), QStringLiteral("CREATE TABLE %1 (").arg(quoted(m_rowsTable)));

    // Left without its commit, the scope takes the copy back.
    store::Transaction transaction(db);
    db.exec(statement);
    db.exec(QStringLiteral("INSERT INTO %1 SELECT * FROM %2").arg(quoted(m_rowsTable), quoted(source)));
    m_count = db.changes();
    const qint64 last = db.scalar(QStringLiteral("SELECT max(rowid) FROM ") + quoted(m_rowsTable)).toLongLong();
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
    db.dropIfExists(m_orderTable);
    const bool filtered = filter && !filter->isEmpty();
    const bool sorted = order && order->column >= 0 && order->column < m_columns.size();
    if (!filtered && !sorted) {
        transaction.commit();
        m_ordered = false;
        m_count = m_held;
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
    db.exec(QStringLiteral("CREATE TABLE %1 (position INTEGER PRIMARY KEY, row INTEGER)").arg(quoted(m_orderTable)));
    db.exec(QStringLiteral("INSERT INTO %1 (row) SELECT rowid FROM %2 WHERE %3 ORDER BY %4")
                .arg(quoted(m_orderTable), quoted(m_rowsTable), where.condition, orderBy),
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
                              .arg(quoted(m_orderTable), quoted(m_rowsTable)),
                          {first + 1, first + count});
    return m_db.query(
        QStringLiteral("SELECT * FROM %1 WHERE rowid BETWEEN ? AND ? ORDER BY rowid").arg(quoted(m_rowsTable)),
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
