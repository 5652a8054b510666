#include "computations/scanframe.h"

#include "query/plainstatements.h"
#include "query/statementreader.h"
#include "query/worktable.h"
#include "store/storeerror.h"
#include "store/database.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <algorithm>

namespace computations {

using query::Sql;

namespace {

const QString kWindowTable = QStringLiteral("QR");
const QString kPassingTable = QStringLiteral("queryresult1");

bool isListedCode(const QString& column)
{
    return column.compare(QLatin1String("NSEScriptCode"), Qt::CaseInsensitive) == 0 ||
           column.compare(QLatin1String("BSEScriptCode"), Qt::CaseInsensitive) == 0;
}

QString mtoColumnList(const QList<store::Column>& columns, const QString& alias, bool withListedCodes = true)
{
    QStringList names;
    for (const auto& column : columns)
        names.append(!withListedCodes && isListedCode(column.name)
                         ? QStringLiteral("null")
                         : alias + QLatin1Char('.') + store::quoteIdentifier(column.name));
    return names.join(QLatin1Char(','));
}

}  // namespace

ScanFrame::ScanFrame(query::RunContext& context, ScripListing listing)
    : m_context(context), m_listing(listing), m_days(context.state.count)
{
}

void ScanFrame::useWholeWindow(const QDate& start, const query::Sql& rowCondition)
{
    m_windowStart = start;
    m_newestOnly = false;
    m_rowCondition = rowCondition;
}

Sql ScanFrame::scripCondition(const QString& alias) const
{
    const QString nse = alias + QStringLiteral(".nsescrip <> ''");
    const QString bse = alias + QStringLiteral(".bsescrip <> ''");
    QString listed = QStringLiteral("1=1");
    if (m_listing == ScripListing::ByExchange) {
        switch (m_context.state.exchange) {
        case query::Exchange::Nse: listed = nse; break;
        case query::Exchange::Bse: listed = bse; break;
        case query::Exchange::Combined: listed = nse + QStringLiteral(" and ") + bse; break;
        }
    }
    return Sql(listed) + m_context.state.groupFilterOn(alias + QStringLiteral(".srno"));
}

void ScanFrame::defineWindow(const QList<ExtraColumn>& extraColumns)
{
    if (query::plainStatementsOnly()) {
        makeWindowTable(extraColumns);
        return;
    }
    setWindow(extraColumns);
}

void ScanFrame::setWindow(const QList<ExtraColumn>& extraColumns)
{
    if (m_newestOnly)
        m_windowStart = m_context.state.requireSecondDate();
    m_extras = extraColumns;
    m_windowTable = false;
}

void ScanFrame::makeWindowTable(const QList<ExtraColumn>& extraColumns)
{
    setWindow(extraColumns);
    QList<store::Column> columns = m_context.db.tableColumns(QStringLiteral("mto"));
    for (const auto& extra : extraColumns)
        columns.append({extra.name, store::ColumnKind::Real});
    query::remakeWorkTable(m_context.db, kWindowTable, columns,
                           Sql("select * from (") + windowRows() + ") as w order by w.scriptcode, w.TransDate desc");
    m_windowTable = true;
}

Sql ScanFrame::windowRows() const
{
    QString extras;
    for (const auto& extra : m_extras)
        extras += QLatin1Char(',') + extra.expression;
    // The N newest rows of each scrip between the window start and the first
    // date (the bounds taken as they are: a start after the first date gives
    // an empty window). A window of N trading days or fewer holds no other
    // rows: then every row of it is taken as it stands.
    const QDate first = m_context.state.firstDate;
    const bool countDays = m_newestOnly && windowDays().size() > m_days;
    // The window is read day by day through the day index (+ keeps the
    // scrip index out), or, narrowed to a few scrips, scrip by scrip.
    const Sql scrips = m_narrowedTo ? Sql(" and mto.scriptcode in (select value from json_each(") +
                                          codeList(*m_narrowedTo) + "))"
                                    : Sql(" and +mto.scriptcode in (select s.srno from scripmaster as s where ") +
                                          scripCondition(QStringLiteral("s")) + ")";
    return Sql(QStringLiteral("select %1%2 from (select mto.*%3 from mto where mto.TransDate <= ")
                   .arg(mtoColumnList(m_context.db.tableColumns(QStringLiteral("mto")), QStringLiteral("w")), extras,
                        countDays ? QStringLiteral(", row_number() over (partition by mto.scriptcode"
                                                   " order by mto.TransDate desc) as dayNo")
                                  : QString())) +
           Sql::value(first) + " and mto.TransDate >= " + Sql::value(m_windowStart) + m_rowCondition + scrips +
           ") as w" + (countDays ? Sql(" where w.dayNo <= ") + Sql::value(m_days) : Sql());
}

void ScanFrame::narrowTo(const QList<qint64>& codes)
{
    m_narrowedTo = codes;
}

QList<QDate> ScanFrame::windowDays() const
{
    QList<QDate> days;
    for (const QDate& day : m_context.state.calendar.dates())
        if (day <= m_context.state.firstDate && day >= m_windowStart)
            days.append(day);
    std::sort(days.begin(), days.end(), std::greater<>());
    return days;
}

Sql ScanFrame::windowSource() const
{
    return m_windowTable ? Sql(kWindowTable) : Sql("(") + windowRows() + ")";
}

Sql ScanFrame::listedScrips(const QString& columns) const
{
    return Sql(QStringLiteral("select %1 from scripmaster as s where ").arg(columns)) +
           scripCondition(QStringLiteral("s")) + " order by s.company, s.srno";
}

void ScanFrame::reportScrips()
{
    const Sql count = Sql("select count(*) from scripmaster as s where ") + scripCondition(QStringLiteral("s"));
    const int total = m_context.db.scalar(count.text, count.params).toInt();
    query::StatementReader scrips(m_context.db.handle(), listedScrips(QStringLiteral("s.company")));
    for (int done = 1; scrips.next(); ++done)
        m_context.progress(QStringLiteral("Processing for Stock ") + QString::fromUtf8(scrips.bytes(0)), done, total);
    if (!scrips.error().isEmpty())
        throw store::StoreError(scrips.error());
}

void ScanFrame::scan(const std::function<void(const ScanScrip&)>& visit)
{
    const Sql listing = listedScrips(QStringLiteral("s.srno, s.company"));
    const store::Rows scrips = m_context.db.query(listing.text, listing.params);

    // The window's rows, newest day first, gathered by scrip.
    QHash<qint64, QList<ScanDay>> windows;
    query::StatementReader rows(
        m_context.db.handle(),
        Sql("select w.scriptcode, w.TransDate, w.nsetrdqty, w.bsetrdqty, w.nsedelyqty, w.bsedelyqty, w.nseperc, w.bseperc,"
            " w.nseclprice, w.bseclprice from ") +
            windowSource() + " as w order by w.TransDate desc");
    while (rows.next()) {
        ScanDay day;
        day.day = rows.day(1);
        day.nseTraded = rows.real(2);
        day.bseTraded = rows.real(3);
        day.nseDelivered = rows.real(4);
        day.bseDelivered = rows.real(5);
        day.nsePercent = rows.real(6);
        day.bsePercent = rows.real(7);
        day.nseClose = rows.real(8);
        day.bseClose = rows.real(9);
        windows[rows.integer(0)].append(day);
    }
    if (!rows.error().isEmpty())
        throw store::StoreError(rows.error());

    const int total = static_cast<int>(scrips.size());
    for (int i = 0; i < total; ++i) {
        ScanScrip scrip;
        scrip.code = scrips.rows.at(i).at(0).toLongLong();
        scrip.company = scrips.rows.at(i).at(1).toString();
        m_context.progress(QStringLiteral("Processing for Stock ") + scrip.company, i + 1, total);
        scrip.days = windows.value(scrip.code);
        if (!scrip.days.isEmpty())
            visit(scrip);
    }
}

void ScanFrame::copyPassingScrips(const QList<qint64>& codes, bool withListedCodes)
{
    const QList<store::Column> columns = m_context.db.tableColumns(QStringLiteral("mto"));
    copyPassingScrips(codes, columns, mtoColumnList(columns, QStringLiteral("w"), withListedCodes));
}

void ScanFrame::copyPassingScrips(const QList<qint64>& codes, const QList<store::Column>& columns,
                                  const QString& selectList)
{
    copyRows(passingRows(codes), columns, selectList);
}

void ScanFrame::copyPassingScrips(const Sql& passingCodes)
{
    const QList<store::Column> columns = m_context.db.tableColumns(QStringLiteral("mto"));
    copyRows(rowsWhere(passingCodes), columns, mtoColumnList(columns, QStringLiteral("w")));
}

void ScanFrame::copyRows(const Sql& rows, const QList<store::Column>& columns, const QString& selectList)
{
    query::remakeWorkTable(m_context.db, kPassingTable, columns,
                           Sql(QStringLiteral("select %1 from ").arg(selectList)) + rows + " as w");
}

Sql ScanFrame::rowsWhere(const Sql& scripTest) const
{
    // In the window's order: by scrip, newest day first.
    return Sql("(select * from ") + windowSource() + " as w where w.scriptcode in (" + scripTest +
           ") order by w.scriptcode, w.TransDate desc)";
}

Sql ScanFrame::passingRows(const QList<qint64>& codes) const
{
    // A window narrowed to these very scrips holds their rows alone.
    if (!m_windowTable && m_narrowedTo == codes)
        return Sql("(") + windowRows() + " order by w.scriptcode, w.TransDate desc)";
    return rowsWhere(Sql("select value from json_each(") + codeList(codes) + ")");
}

double entry(const QList<double>& series, int k)
{
    return k >= 1 && k <= series.size() ? series.at(k - 1) : 0.0;
}

Sql codeList(const QList<qint64>& codes)
{
    QJsonArray array;
    for (const qint64 code : codes)
        array.append(code);
    return Sql::value(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
}

Sql rangeOnFirstDate(const query::RunState& state, const QString& scripColumn)
{
    return rangeOnFirstDate(state, scripColumn, query::MeasureColumns::ofMto(state.exchange, QStringLiteral("a")));
}

Sql rangeOnFirstDate(const query::RunState& state, const QString& scripColumn, const query::MeasureColumns& columns)
{
    const Sql condition = state.rangeCondition(columns);
    if (condition.isBlank())
        return {};
    return Sql(QStringLiteral(" and %1 in (select a.scriptcode from queryresult1 as a where").arg(scripColumn)) +
           condition + " and a.TransDate = " + Sql::value(state.firstDate) + ")";
}

}  // namespace computations
