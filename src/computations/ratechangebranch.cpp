// Rate change over n days: going back from the query's day through N pairs of
// consecutive trading days, every scrip of the group whose close moved by
// more than 5 per cent within a pair, with the closes of the five trading
// days after the later day of the pair.

#include "computations/scanbranches.h"

#include "query/branch.h"
#include "query/plainstatements.h"
#include "query/statementreader.h"
#include "query/windowreading.h"
#include "query/worktable.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/storeerror.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QHash>
#include <QSet>
#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

namespace computations {

using query::Sql;

namespace {

const QString kChangeTable = QStringLiteral("QChangeRateDerivatives");
const QString kCloseA = QStringLiteral("iif(a.nseclprice>0,a.nseclprice,a.bseclprice)");
const QString kCloseB = QStringLiteral("iif(b.nseclprice>0,b.nseclprice,b.bseclprice)");

QList<store::Column> changeColumns()
{
    using store::ColumnKind;
    QList<store::Column> columns{{QStringLiteral("nsescrip"), ColumnKind::Text},
                                 {QStringLiteral("bsescrip"), ColumnKind::Text},
                                 {QStringLiteral("Company"), ColumnKind::Text},
                                 {QStringLiteral("a_transdate"), ColumnKind::Date},
                                 {QStringLiteral("b_transdate"), ColumnKind::Date}};
    for (const char* name : {"Rate", "PrevRate", "% Rate Chg", "day1", "day2", "day3", "day4", "day5", "Volume",
                             "% Vol Chg", "Delivery", "% Dely Chg"})
        columns.append({QString::fromLatin1(name), ColumnKind::Real});
    return columns;
}

// The pairs (later day, earlier day) of passes first .. last as one bound
// JSON array.
Sql dayPairs(const query::RunState& state, int first, int last)
{
    QJsonArray pairs;
    for (int k = first; k <= last; ++k)
        pairs.append(QJsonArray{k, datetext::toStorage(state.tradingDayBefore(k - 1)),
                                datetext::toStorage(state.tradingDayBefore(k))});
    return Sql::value(QString::fromUtf8(QJsonDocument(pairs).toJson(QJsonDocument::Compact)));
}

void makeChangeTable(query::RunContext& context, int passes)
{
    const query::RunState& state = context.state;
    const QString change = QStringLiteral("round(((%1*100)/%2)-100,2)").arg(kCloseA, kCloseB);
    // The quantities' changes divide by the earlier day's NSE + BSE sum, the
    // same sum as the Volume and Delivery shown. The passes are read in
    // shares, each share's rows in pass and company order.
    // The group's membership; read in shares, as one look-up table per share
    // rather than a search of the links at every row.
    const Sql code = Sql::value(state.groupCode.isEmpty() ? QStringLiteral("ALL") : state.groupCode);
    const Sql membership = query::plainStatementsOnly()
                               ? Sql(" where Exists(Select ScrCode From LinkDetails Where GrpCode = ") + code +
                                     " And LinkDetails.ScrCode = a.scriptcode)"
                               : Sql(" where +a.scriptcode in (select ScrCode from LinkDetails where GrpCode = ") + code + ")";
    auto select = [&](int part, int parts) {
        const int first = 1 + passes * part / parts;
        const int last = passes * (part + 1) / parts;
        // The pairs are taken apart once, not at each row they meet.
        return Sql("with p(pass, later, earlier) as materialized (select json_extract(value,'$[0]'),"
                   " json_extract(value,'$[1]'), json_extract(value,'$[2]') from json_each(") +
               dayPairs(state, first, last) + ")) " +
               Sql(QStringLiteral(
                "select scripmaster.nsescrip, scripmaster.bsescrip, scripmaster.company, a.TransDate, b.TransDate,"
                " round(val(%1),2), round(val(%2),2), %3, 0.01, 0.01, 0.01, 0.01, 0.01,"
                " (a.NSETrdQty+a.BSETrdQty),"
                " round(((a.NSETrdQty+a.BSETrdQty)*100) / iif(b.nsetrdqty+b.bsetrdqty>0,b.nsetrdqty+b.bsetrdqty,1)-100,2),"
                " (a.NSEDelyQty+a.BSEDelyQty),"
                " round(((a.NSEDelyQty+a.BSEDelyQty)*100) / iif(b.nsedelyqty+b.bsedelyqty>0,b.nsedelyqty+b.bsedelyqty,1)-100,2)"
                " from p")
                .arg(kCloseA, kCloseB, change)) +
        " join mto as a on a.TransDate = p.later"
        " join mto as b on b.TransDate = p.earlier and b.scriptcode = a.scriptcode"
        " join scripmaster on scripmaster.srno = a.scriptcode" +
        membership + " and (" + Sql(change) + " > 5 or " + Sql(change) +
        " < -5) order by p.pass, scripmaster.company";
    };
    const int shares = query::windowreading::shareCount(
        context.db, static_cast<double>(passes) * static_cast<double>(query::windowreading::scripRange(context.db).count()));
    query::remakeWorkTableInShares(context.db, kChangeTable, changeColumns(), std::min(shares, passes), select);
}

// day1 .. day5: the closes of the first five mto rows after the later day
// under the scrip's NSE symbol (the NSE close when above 0, else the BSE
// close); 0.01 where there is no such row or no symbol.
void fillLaterCloses(store::Database& db)
{
    db.exec(QStringLiteral("drop table if exists temp.laterclose"));
    db.exec(QStringLiteral(
        "create temp table laterclose as select m.NSEScriptCode as symbol, m.TransDate as day,"
        " iif(m.nseclprice>0,m.nseclprice,m.bseclprice) as close,"
        " row_number() over (partition by m.NSEScriptCode order by m.TransDate) as dayNo"
        " from mto as m where m.TransDate > (select min(a_transdate) from QChangeRateDerivatives)"
        " and m.NSEScriptCode in (select nsescrip from QChangeRateDerivatives where trim(ifnull(nsescrip,'')) <> '')"));
    db.exec(QStringLiteral("create index temp.laterclose_symbol on laterclose (symbol, day)"));
    db.exec(QStringLiteral("create index temp.laterclose_number on laterclose (symbol, dayNo)"));
    QStringList assignments;
    for (int k = 1; k <= 5; ++k)
        assignments.append(
            QStringLiteral("day%1 = ifnull((select l.close from laterclose as l where l.symbol = r.nsescrip and"
                           " l.dayNo = (select min(f.dayNo) from laterclose as f where f.symbol = r.nsescrip and"
                           " f.day > r.a_transdate) + %2), 0.01)")
                .arg(k)
                .arg(k - 1));
    db.exec(QStringLiteral("update QChangeRateDerivatives as r set %1 where trim(ifnull(r.nsescrip,'')) <> ''")
                .arg(assignments.join(QLatin1Char(','))));
    db.exec(QStringLiteral("drop table temp.laterclose"));
}

// fillLaterCloses() in one pass over the day rows after the earliest later
// day: each symbol's rows met day by day fill the closes of its changes whose
// later day lies before them, five each. The scrips are read in shares; a
// symbol met in two shares (two scrips trading under it) has its rows read
// again in one.
void fillLaterClosesInOnePass(store::Database& db)
{
    struct Change {
        QByteArray laterDay;
        qint64 row = 0;
    };
    QHash<QByteArray, std::vector<Change>> changesOf;  // by later day
    {
        query::StatementReader rows(db.handle(), Sql("select rowid, nsescrip, a_transdate from QChangeRateDerivatives"
                                                     " where trim(ifnull(nsescrip,'')) <> ''"));
        while (rows.next())
            changesOf[rows.bytes(1)].push_back({rows.bytes(2), rows.integer(0)});
    }
    if (changesOf.isEmpty())
        return;
    for (auto& changes : changesOf)
        std::stable_sort(changes.begin(), changes.end(),
                         [](const Change& a, const Change& b) { return a.laterDay < b.laterDay; });
    const QString after = db.scalar(QStringLiteral("select min(a_transdate) from QChangeRateDerivatives")).toString();
    const QString last = db.scalar(QStringLiteral("select max(TransDate) from mto")).toString();

    // One symbol's filling in one share: the closes of each of its changes.
    struct Filling {
        size_t waiting = 0;              // the first change whose later day is not yet behind
        std::vector<size_t> open;        // changes behind their later day, short of five closes
        std::vector<std::vector<std::optional<double>>> closes;
    };
    namespace reading = query::windowreading;
    const reading::ScripRange scrips = reading::scripRange(db);
    std::vector<QHash<QByteArray, Filling>> parts;
    auto fill = [&](int shares) {
        QString error;
        reading::readShares(
            db, shares, [&parts](int count) { parts.assign(static_cast<size_t>(count), {}); },
            [&](int part, int count) {
                return reading::daysOfWindow(after, last) +
                       "select m.NSEScriptCode, m.TransDate, iif(m.nseclprice>0,m.nseclprice,m.bseclprice)"
                       " from summary_days cross join mto as m where m.TransDate = summary_days.day" +
                       reading::withinWindow(after, last) + " and summary_days.day > " + Sql::value(after) +
                       (count > 1 ? reading::scripShare(QStringLiteral("m.scriptcode"), scrips, part, count) : Sql());
            },
            [&](int part, query::StatementReader& rows) {
                QHash<QByteArray, Filling>& fillings = parts[static_cast<size_t>(part)];
                while (rows.next()) {
                    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(rows.statement(), 0));
                    if (!text)
                        continue;
                    const QByteArray symbol = QByteArray::fromRawData(text, sqlite3_column_bytes(rows.statement(), 0));
                    const auto found = changesOf.constFind(symbol);
                    if (found == changesOf.cend())
                        continue;
                    const std::vector<Change>& changes = *found;
                    Filling& filling = fillings[found.key()];
                    filling.closes.resize(changes.size());
                    const QByteArray day = rows.bytes(1);
                    while (filling.waiting < changes.size() && changes[filling.waiting].laterDay < day)
                        filling.open.push_back(filling.waiting++);
                    const std::optional<double> close =
                        rows.isNull(2) ? std::nullopt : std::optional<double>(rows.real(2));
                    for (size_t& at : filling.open) {
                        filling.closes[at].push_back(close);
                        if (filling.closes[at].size() == 5)
                            at = SIZE_MAX;
                    }
                    std::erase(filling.open, SIZE_MAX);
                }
            },
            error);
        if (!error.isEmpty())
            throw store::StoreError(error);
    };
    const auto firstDay = datetext::fromStorage(after), lastDay = datetext::fromStorage(last);
    const double days =
        firstDay && lastDay ? static_cast<double>(reading::tradingDays(db, *firstDay, *lastDay).size()) : 1.0;
    fill(reading::shareCount(db, days * static_cast<double>(scrips.count()), reading::Reading::MarketTables));
    QSet<QByteArray> met;
    bool split = false;
    for (const auto& part : parts)
        for (auto it = part.cbegin(); it != part.cend() && !split; ++it) {
            split = met.contains(it.key());
            met.insert(it.key());
        }
    if (split && parts.size() > 1)
        fill(1);

    // The closes go in through one statement; five 0.01 where none came.
    db.exec(QStringLiteral("drop table if exists temp.laterclosing"));
    db.exec(QStringLiteral("create temp table laterclosing (id INTEGER PRIMARY KEY, d1, d2, d3, d4, d5)"));
    query::RepeatedStatement insert(db.handle(), QStringLiteral("insert into temp.laterclosing values (?,?,?,?,?,?)"));
    for (auto symbol = changesOf.cbegin(); symbol != changesOf.cend(); ++symbol) {
        const Filling* filling = nullptr;
        for (const auto& part : parts)
            if (const auto found = part.constFind(symbol.key()); found != part.cend())
                filling = &*found;
        for (size_t c = 0; c < symbol->size(); ++c) {
            insert.bindInteger(1, (*symbol)[c].row);
            for (size_t k = 0; k < 5; ++k) {
                const bool given = filling && k < filling->closes[c].size() && filling->closes[c][k];
                insert.bindReal(static_cast<int>(k) + 2, given ? *filling->closes[c][k] : 0.01);
            }
            insert.run();
        }
    }
    db.exec(QStringLiteral("update QChangeRateDerivatives set day1 = c.d1, day2 = c.d2, day3 = c.d3, day4 = c.d4,"
                           " day5 = c.d5 from temp.laterclosing as c where QChangeRateDerivatives.rowid = c.id"));
    db.exec(QStringLiteral("drop table temp.laterclosing"));
}

query::BranchResult rateChange(query::RunContext& context)
{
    query::RunState& state = context.state;
    const int passes = state.rankCount();
    state.secondDate = state.tradingDayBefore(passes);
    makeChangeTable(context, passes);
    if (query::plainStatementsOnly())
        fillLaterCloses(context.db);
    else
        fillLaterClosesInOnePass(context.db);
    return query::BranchResult::result(Sql("Select * from QChangeRateDerivatives"));
}

}  // namespace

void registerRateChangeBranch(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Rate Change"), rateChange);
}

}  // namespace computations
