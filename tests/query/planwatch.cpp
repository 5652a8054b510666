#include "planwatch.h"

#include "query/dayrows.h"
#include "store/database.h"

#include <QHash>
#include <QList>
#include <QMutexLocker>
#include <QRegularExpression>
#include <sqlite3.h>

namespace {

struct PlanLine {
    int id = 0;
    QString detail;
    QList<int> children;  // in the order SQLite lists them: a select's loops outermost first
};

bool isLoop(const QString& detail)
{
    return detail.startsWith(QLatin1String("SCAN ")) || detail.startsWith(QLatin1String("SEARCH "));
}

// A loop that reads every row of its table, index or subquery: a SCAN, or a
// SEARCH through no index (SQLite calls the search for a smallest value so).
bool isFullScan(const QString& detail)
{
    if (detail.startsWith(QLatin1String("SEARCH ")))
        return !detail.contains(QLatin1String(" USING "));
    return detail.startsWith(QLatin1String("SCAN ")) && detail != QLatin1String("SCAN CONSTANT ROW");
}

// A subquery that SQLite runs again for every row of the select around it.
bool isCorrelated(const QString& detail)
{
    return detail.startsWith(QLatin1String("CORRELATED "));
}

// The name a scan reads: "SCAN b USING INDEX x" reads b.
QString scannedName(const QString& detail)
{
    return detail.section(QLatin1Char(' '), 1, 1);
}

// Adds to `found` the full scans under `line` that run once per row of an
// outer loop (`repeated`: `line` itself runs so) and to `all` every full
// scan. Reading a co-routine's rows as they come is no scan: its own loops
// tell what it reads.
void collectScans(const QHash<int, PlanLine>& lines, const PlanLine& line, bool repeated, QStringList& found,
                  QStringList& all)
{
    bool loopAbove = false;  // a loop of this select that encloses the next one
    QStringList coroutines;
    for (const int id : line.children) {
        const PlanLine& child = lines[id];
        if (child.detail.startsWith(QLatin1String("CO-ROUTINE ")))
            coroutines.append(child.detail.mid(11));
        if (isLoop(child.detail)) {
            if (isFullScan(child.detail) && !coroutines.contains(scannedName(child.detail))) {
                all.append(child.detail);
                if (loopAbove || repeated)
                    found.append(child.detail);
            }
            loopAbove = true;
            continue;
        }
        // A correlated subquery runs per row of this select's loops; any
        // other (materialised, a co-routine, a compound's part) runs once
        // for each run of this select.
        collectScans(lines, child, repeated || (isCorrelated(child.detail) && loopAbove), found, all);
    }
}

// The statement with its literal values blanked out: a statement built
// afresh for each scrip, its code written in, keeps one shape.
QString shapeOf(const QString& sql)
{
    static const QRegularExpression literal(QStringLiteral("'[^']*'|\\b[0-9]+(\\.[0-9]+)?\\b"));
    return QString(sql).replace(literal, QStringLiteral("?")).simplified();
}

// Whether a scan reads the one-row filler of blank columns: reading it again
// for every row costs nothing.
bool readsFillerRow(const QString& scan)
{
    return scannedName(scan).compare(query::kFillerRow, Qt::CaseInsensitive) == 0;
}

// The watch that the connections of this process report to, and whether
// this thread is asking SQLite about a plan (its own statements are not watched).
PlanWatch* g_watch = nullptr;
thread_local bool t_planning = false;

int onTrace(unsigned type, void*, void* statement, void* text)
{
    // A trigger's statements come as comments.
    if (type != SQLITE_TRACE_STMT || t_planning || !g_watch || static_cast<const char*>(text)[0] == '-')
        return 0;
    auto* stmt = static_cast<sqlite3_stmt*>(statement);
    char* expanded = sqlite3_expanded_sql(stmt);
    if (!expanded)
        return 0;
    const QString sql = QString::fromUtf8(expanded);
    sqlite3_free(expanded);
    t_planning = true;
    g_watch->seen(sqlite3_db_handle(stmt), sql);
    t_planning = false;
    return 0;
}

// Every connection opened while a watch lives (the readers of a long
// window, the options database) reports to it too.
int watchNewConnection(sqlite3* db, char**, const sqlite3_api_routines*)
{
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, onTrace, nullptr);
    return SQLITE_OK;
}

void (*connectionHook())()
{
    return reinterpret_cast<void (*)()>(&watchNewConnection);
}

}  // namespace

PlanWatch::PlanWatch(store::Database& db) : m_db(db)
{
    g_watch = this;
    sqlite3_trace_v2(db.handle(), SQLITE_TRACE_STMT, onTrace, nullptr);
    sqlite3_auto_extension(connectionHook());
}

PlanWatch::~PlanWatch()
{
    sqlite3_cancel_auto_extension(connectionHook());
    sqlite3_trace_v2(m_db.handle(), 0, nullptr, nullptr);
    g_watch = nullptr;
}

void PlanWatch::seen(sqlite3* db, const QString& sql)
{
    const QString shape = shapeOf(sql);
    {
        const QMutexLocker lock(&m_mutex);
        auto known = m_shapes.find(shape);
        if (known != m_shapes.end()) {
            ++known->runs;
            return;
        }
    }
    Shape planned = plan(db, sql);
    const QMutexLocker lock(&m_mutex);
    if (!planned.plan.isEmpty())
        ++m_planned;
    auto known = m_shapes.find(shape);
    if (known != m_shapes.end())
        ++known->runs;  // another reader planned it meanwhile
    else
        m_shapes.insert(shape, planned);
}

PlanWatch::Shape PlanWatch::plan(sqlite3* db, const QString& sql)
{
    Shape shape;
    shape.sql = sql.simplified();
    sqlite3_stmt* explain = nullptr;
    const QByteArray text = (QStringLiteral("EXPLAIN QUERY PLAN ") + sql).toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &explain, nullptr) != SQLITE_OK) {
        sqlite3_finalize(explain);
        return shape;  // a statement without a plan (a pragma)
    }
    QHash<int, PlanLine> lines;
    lines.insert(0, PlanLine{});
    QStringList steps;
    while (sqlite3_step(explain) == SQLITE_ROW) {
        PlanLine line;
        line.id = sqlite3_column_int(explain, 0);
        line.detail = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(explain, 3)));
        const int parent = sqlite3_column_int(explain, 1);
        lines.insert(line.id, line);
        lines[parent].children.append(line.id);
        steps.append(line.detail);
    }
    sqlite3_finalize(explain);
    collectScans(lines, lines[0], false, shape.scansInLoops, shape.scans);
    shape.scansInLoops.removeIf(readsFillerRow);
    shape.scans.removeIf(readsFillerRow);
    shape.plan = steps.join(QStringLiteral(" | "));
    return shape;
}

QStringList PlanWatch::scansInsideLoops() const
{
    const QMutexLocker lock(&m_mutex);
    QStringList found;
    for (const Shape& shape : m_shapes) {
        QStringList scans = shape.scansInLoops;
        if (shape.runs >= kRepeatedRuns)
            for (const QString& scan : shape.scans)
                scans.append(QStringLiteral("%1 (run %2 times)").arg(scan).arg(shape.runs));
        for (const QString& scan : scans)
            found.append(scan + QStringLiteral(" in: ") + shape.sql + QStringLiteral("\n  plan: ") + shape.plan);
    }
    return found;
}
