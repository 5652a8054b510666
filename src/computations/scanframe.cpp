#include "computations/scanframe.h"

#include "query/worktable.h"
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

void ScanFrame::makeWindowTable(const QList<ExtraColumn>& extraColumns)
{
    if (m_newestOnly)
        m_windowStart = m_context.state.requireSecondDate();
    QList<store::Column> columns = m_context.db.tableColumns(QStringLiteral("mto"));
    QString extras;
    for (const auto& extra : extraColumns) {
        columns.append({extra.name, store::ColumnKind::Real});
        extras += QLatin1Char(',') + extra.expression;
    }
    // The N newest rows of each scrip between the window start and the first
    // date (the bounds taken as they are: a start after the first date gives
    // an empty window).
    const Sql select =
        Sql(QStringLiteral("select %1%2 from (select mto.*, row_number() over (partition by mto.scriptcode"
                           " order by mto.TransDate desc) as dayNo from mto where mto.TransDate <= ")
                .arg(mtoColumnList(m_context.db.tableColumns(QStringLiteral("mto")), QStringLiteral("w")), extras)) +
        Sql::value(m_context.state.firstDate) + " and mto.TransDate >= " + Sql::value(m_windowStart) +
        m_rowCondition + " and mto.scriptcode in (select s.srno from scripmaster as s where " +
        scripCondition(QStringLiteral("s")) + ")) as w" +
        (m_newestOnly ? Sql(" where w.dayNo <= ") + Sql::value(m_days) : Sql());
    query::remakeWorkTable(m_context.db, kWindowTable, columns, select);
}

void ScanFrame::scan(const std::function<void(const ScanScrip&)>& visit)
{
    const Sql listing = Sql("select s.srno, s.company from scripmaster as s where ") +
                        scripCondition(QStringLiteral("s")) + " order by s.company, s.srno";
    const store::Rows scrips = m_context.db.query(listing.text, listing.params);

    QHash<qint64, QList<ScanDay>> windows;
    const store::Rows days = m_context.db.query(
        QStringLiteral("select scriptcode, TransDate, nsetrdqty, bsetrdqty, nsedelyqty, bsedelyqty, nseperc, bseperc,"
                       " nseclprice, bseclprice from QR order by scriptcode, TransDate desc"));
    for (const auto& row : days.rows) {
        ScanDay day;
        day.day = row.at(1).toDate();
        day.nseTraded = row.at(2).toDouble();
        day.bseTraded = row.at(3).toDouble();
        day.nseDelivered = row.at(4).toDouble();
        day.bseDelivered = row.at(5).toDouble();
        day.nsePercent = row.at(6).toDouble();
        day.bsePercent = row.at(7).toDouble();
        day.nseClose = row.at(8).toDouble();
        day.bseClose = row.at(9).toDouble();
        windows[row.at(0).toLongLong()].append(day);
    }

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
    query::remakeWorkTable(m_context.db, kPassingTable, columns,
                           Sql(QStringLiteral("select %1 from QR as w where w.scriptcode in (select value from json_each(")
                                   .arg(mtoColumnList(columns, QStringLiteral("w"), withListedCodes))) +
                               codeList(codes) + "))");
}

void ScanFrame::copyPassingScrips(const QList<qint64>& codes, const QList<store::Column>& columns,
                                  const QString& selectList)
{
    query::remakeWorkTable(m_context.db, kPassingTable, columns,
                           Sql(QStringLiteral("select %1 from QR as w where w.scriptcode in (select value from json_each(")
                                   .arg(selectList)) +
                               codeList(codes) + "))");
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
