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
#include <QStringList>
#include <sqlite3.h>

#include <algorithm>
#include <array>
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

// The pairs (later day, earlier day) of passes 1 .. N as one bound JSON array.
Sql dayPairs(const query::RunState& state, int passes)
{
    QJsonArray pairs;
    for (int k = 1; k <= passes; ++k)
        pairs.append(QJsonArray{k, datetext::toStorage(state.tradingDayBefore(k - 1)),
                                datetext::toStorage(state.tradingDayBefore(k))});
    return Sql::value(QString::fromUtf8(QJsonDocument(pairs).toJson(QJsonDocument::Compact)));
}

// day1 .. day5: the close of the k-th mto row of the scrip after the later
// day (the NSE close when above 0, else the BSE close); 0.01 where there is
// no such row. `known` names a column of that close found beforehand, used
// where it is not empty.
QString laterCloses(const QString& known = QString())
{
    QStringList closes;
    for (int k = 1; k <= 5; ++k) {
        const QString lookUp = QStringLiteral("ifnull((select iif(m.nseclprice>0,m.nseclprice,m.bseclprice) from mto as m"
                                              " where m.scriptcode = a.scriptcode and m.TransDate > a.TransDate"
                                              " order by m.TransDate limit 1 offset %1), 0.01)")
                                   .arg(k - 1);
        closes.append(known.isEmpty() ? lookUp : QStringLiteral("coalesce(%1%2, %3)").arg(known).arg(k).arg(lookUp));
    }
    return closes.join(QStringLiteral(", "));
}

const QString kChange = QStringLiteral("round(((%1*100)/%2)-100,2)").arg(kCloseA, kCloseB);

// The columns of the change table over the rows a (later day) and b
// (earlier day), with the later closes `closes`.
QString changeSelectList(const QString& closes)
{
    // The quantities' changes divide by the earlier day's NSE + BSE sum, the
    // same sum as the Volume and Delivery shown.
    return QStringLiteral(
               "select scripmaster.nsescrip, scripmaster.bsescrip, scripmaster.company, a.TransDate, b.TransDate,"
               " round(val(%1),2), round(val(%2),2), %3, %4,"
               " (a.NSETrdQty+a.BSETrdQty),"
               " round(((a.NSETrdQty+a.BSETrdQty)*100) / iif(b.nsetrdqty+b.bsetrdqty>0,b.nsetrdqty+b.bsetrdqty,1)-100,2),"
               " (a.NSEDelyQty+a.BSEDelyQty),"
               " round(((a.NSEDelyQty+a.BSEDelyQty)*100) / iif(b.nsedelyqty+b.bsedelyqty>0,b.nsedelyqty+b.bsedelyqty,1)-100,2)")
        .arg(kCloseA, kCloseB, kChange, closes);
}

// The group's membership and the change beyond 5 per cent either way.
Sql memberAndMoved(const query::RunState& state)
{
    return Sql(" where Exists(Select ScrCode From LinkDetails Where GrpCode = ") +
           Sql::value(state.groupCode.isEmpty() ? QStringLiteral("ALL") : state.groupCode) +
           " And LinkDetails.ScrCode = a.scriptcode) and (" + Sql(kChange) + " > 5 or " + Sql(kChange) + " < -5)";
}

void makeChangeTable(query::RunContext& context, int passes)
{
    const query::RunState& state = context.state;
    const Sql select = Sql(changeSelectList(laterCloses()) + QStringLiteral(" from json_each(")) + dayPairs(state, passes) +
                       ") as p join mto as a on a.TransDate = json_extract(p.value,'$[1]')"
                       " join mto as b on b.TransDate = json_extract(p.value,'$[2]') and b.scriptcode = a.scriptcode"
                       " join scripmaster on scripmaster.srno = a.scriptcode" +
                       memberAndMoved(state) + " order by json_extract(p.value,'$[0]'), scripmaster.company";
    query::remakeWorkTable(context.db, kChangeTable, changeColumns(), select);
}

// The figures of a day row that the change table shows, in the order of
// kFigureColumns; an empty value is flagged in `empty`.
const char* const kFigureColumns = "NSETrdQty, BSETrdQty, NSEDelyQty, BSEDelyQty, NSEClPrice, BSEClPrice";
constexpr int kFigures = 6;
constexpr int kNseClose = 4;

struct DayFigures {
    std::array<double, kFigures> values{};
    unsigned empty = 0;

    bool has(int f) const { return (empty & (1u << f)) == 0; }
    // The close as the statement takes it: the NSE close when above 0, else
    // the BSE close.
    std::optional<double> close() const
    {
        if (has(kNseClose) && values[kNseClose] > 0)
            return values[kNseClose];
        if (has(kNseClose + 1))
            return values[kNseClose + 1];
        return std::nullopt;
    }
};

// A scrip's move within a pass that may pass the 5 per cent test: its rows
// of the later and the earlier day, and the closes of its next rows as they
// came.
struct Candidate {
    int pass = 0;
    qint64 scrip = 0;
    DayFigures later, earlier;
    int closesFound = 0;
    std::array<double, 5> closes{};
};

// Reads the figures from column `first` on; false when a value is no real
// number (market figures are kept as reals: whole numbers would divide as
// whole numbers in the statement, which then judges the rows itself).
bool readFigures(query::StatementReader& rows, int first, DayFigures& figures)
{
    figures.empty = 0;
    for (int f = 0; f < kFigures; ++f) {
        const query::RowValue value = rows.value(first + f);
        const int type = value.type();
        if (type == SQLITE_FLOAT)
            figures.values[static_cast<size_t>(f)] = value.real();
        else if (type == SQLITE_NULL)
            figures.empty |= 1u << f;
        else
            return false;
    }
    return true;
}

// makeChangeTable() in one pass over the day rows of the window, read in
// shares of the scrips: each scrip's rows of two consecutive trading days
// whose closes moved by nearly 5 per cent or more are kept, and the rows
// that follow give each its next five closes. The kept rows then go through
// the statement's own test and columns, so the rows are the statement's; a
// close not met in the window (a scrip with gaps near the newest day) is
// looked up as the statement looks it up. Gives false when the rows hold
// values this pass does not read.
bool makeChangeTableInOnePass(query::RunContext& context, int passes)
{
    namespace reading = query::windowreading;
    store::Database& db = context.db;
    const query::RunState& state = context.state;
    // The window: the earliest day of a pair to five trading days past the
    // query's day, for the closes that follow the latest pairs.
    const QList<QDate>& newestFirst = state.calendar.dates();
    const qsizetype firstAt = newestFirst.indexOf(state.firstDate);
    const QDate from = state.tradingDayBefore(passes);
    const QDate to = newestFirst.at(std::max<qsizetype>(0, firstAt - 5));
    const std::vector<QByteArray> days = reading::tradingDays(db, from, to);
    const reading::ScripRange scrips = reading::scripRange(db);

    struct Scrip {
        int lastDay = -1;
        DayFigures last;
        std::vector<size_t> open;  // candidates short of five closes
    };
    struct Share {
        std::vector<Candidate> candidates;
        bool unreadable = false;
    };
    std::vector<Scrip> scripState(static_cast<size_t>(scrips.count()));
    std::vector<Share> shares;
    const int lastPairDay = passes;  // the query's day: index `passes` of `days`
    QString error;
    const int count = reading::shareCount(db, static_cast<double>(days.size()) * static_cast<double>(scrips.count()),
                                          reading::Reading::MarketTables);
    reading::readShares(
        db, count,
        [&](int parts) {
            shares.assign(static_cast<size_t>(parts), Share());
            std::fill(scripState.begin(), scripState.end(), Scrip());
        },
        [&](int part, int parts) {
            return reading::daysOfWindow(from, to) +
                   Sql(QStringLiteral("select mto.scriptcode, mto.TransDate, %1"
                                      " from summary_days cross join mto where mto.TransDate = summary_days.day")
                           .arg(QLatin1String(kFigureColumns))) +
                   reading::withinWindow(from, to) +
                   (parts > 1 ? reading::scripShare(QStringLiteral("mto.scriptcode"), scrips, part, parts) : Sql());
        },
        [&](int part, query::StatementReader& rows) {
            Share& share = shares[static_cast<size_t>(part)];
            int day = 0;
            DayFigures figures;
            while (rows.next()) {
                const qint64 place = rows.integer(0) - scrips.low;
                if (place < 0 || place >= scrips.count())
                    continue;
                // The days come in order: step to this row's.
                const QByteArrayView dayText = rows.value(1).view();
                while (day < static_cast<int>(days.size()) && QByteArrayView(days[static_cast<size_t>(day)]) != dayText)
                    ++day;
                if (day >= static_cast<int>(days.size()) || !readFigures(rows, 2, figures)) {
                    share.unreadable = true;
                    return;
                }
                const std::optional<double> close = figures.close();
                Scrip& scrip = scripState[static_cast<size_t>(place)];
                for (const size_t at : scrip.open) {
                    Candidate& candidate = share.candidates[at];
                    candidate.closes[static_cast<size_t>(candidate.closesFound++)] = close ? *close : 0.01;
                }
                std::erase_if(scrip.open, [&share](size_t at) { return share.candidates[at].closesFound == 5; });
                const std::optional<double> earlierClose = scrip.last.close();
                if (day >= 1 && day <= lastPairDay && scrip.lastDay == day - 1 && close && earlierClose &&
                    *earlierClose != 0) {
                    // Anything that rounds to beyond 5 per cent lies beyond 4.99.
                    const double change = *close * 100 / *earlierClose - 100;
                    if (change > 4.99 || change < -4.99) {
                        scrip.open.push_back(share.candidates.size());
                        share.candidates.push_back({lastPairDay - day + 1, rows.integer(0), figures, scrip.last, 0, {}});
                    }
                }
                scrip.lastDay = day;
                scrip.last = figures;
            }
        },
        error);
    if (!error.isEmpty())
        throw store::StoreError(error);
    std::vector<Candidate> candidates;
    for (const Share& share : shares) {
        if (share.unreadable)
            return false;
        candidates.insert(candidates.end(), share.candidates.begin(), share.candidates.end());
    }
    // In pass and scrip order, as the statement meets the pairs.
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return a.pass != b.pass ? a.pass < b.pass : a.scrip < b.scrip;
    });

    // The kept rows as one table of the later day's row with the earlier
    // day's beside it, and a view of the earlier day's under the day rows'
    // own column names, so that the statement's columns read them as they
    // read mto.
    const QString later = QStringLiteral("temp.ratechange_later"), earlier = QStringLiteral("temp.ratechange_earlier");
    QStringList figureColumns, earlierColumns, earlierNames;
    for (const QString& name : QString::fromLatin1(kFigureColumns).split(QStringLiteral(", "))) {
        figureColumns.append(name + QStringLiteral(" REAL"));
        earlierColumns.append(QStringLiteral("earlier_%1 REAL").arg(name));
        earlierNames.append(QStringLiteral("earlier_%1 as %1").arg(name));
    }
    db.exec(QStringLiteral("drop view if exists ") + earlier);
    db.exec(QStringLiteral("drop table if exists ") + later);
    db.exec(QStringLiteral("create table %1 (id INTEGER PRIMARY KEY, pass INTEGER, TransDate DATE, scriptcode INTEGER, %2,"
                           " close1 REAL, close2 REAL, close3 REAL, close4 REAL, close5 REAL, earlier_TransDate DATE, %3)")
                .arg(later, figureColumns.join(QLatin1Char(',')), earlierColumns.join(QLatin1Char(','))));
    db.exec(QStringLiteral("create view %1 as select id, earlier_TransDate as TransDate, scriptcode, %2 from %3")
                .arg(earlier, earlierNames.join(QLatin1Char(',')), later));
    {
        std::vector<QByteArray> pairDays(static_cast<size_t>(passes) + 1);
        for (int k = 0; k <= passes; ++k)
            pairDays[static_cast<size_t>(k)] = datetext::toStorage(state.tradingDayBefore(k)).toUtf8();
        query::RepeatedStatement insert(
            db.handle(), QStringLiteral("insert into %1 values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)").arg(later));
        auto bindFigures = [&insert](int first, const DayFigures& figures) {
            for (int f = 0; f < kFigures; ++f) {
                if (figures.has(f))
                    insert.bindReal(first + f, figures.values[static_cast<size_t>(f)]);
                else
                    insert.bindNull(first + f);
            }
        };
        qint64 id = 0;
        for (const Candidate& candidate : candidates) {
            insert.bindInteger(1, ++id);
            insert.bindInteger(2, candidate.pass);
            insert.bindText(3, pairDays[static_cast<size_t>(candidate.pass - 1)]);
            insert.bindInteger(4, candidate.scrip);
            bindFigures(5, candidate.later);
            for (int k = 0; k < 5; ++k) {
                if (k < candidate.closesFound)
                    insert.bindReal(11 + k, candidate.closes[static_cast<size_t>(k)]);
                else
                    insert.bindNull(11 + k);
            }
            insert.bindText(16, pairDays[static_cast<size_t>(candidate.pass)]);
            bindFigures(17, candidate.earlier);
            insert.run();
        }
    }
    const Sql select =
        Sql(changeSelectList(laterCloses(QStringLiteral("a.close"))) +
            QStringLiteral(" from %1 as a join %2 as b on b.id = a.id join scripmaster on scripmaster.srno = a.scriptcode")
                .arg(later, earlier)) +
        memberAndMoved(state) + " order by a.pass, scripmaster.company";
    query::remakeWorkTable(db, kChangeTable, changeColumns(), select);
    db.exec(QStringLiteral("drop view ") + earlier);
    db.exec(QStringLiteral("drop table ") + later);
    return true;
}

query::BranchResult rateChange(query::RunContext& context)
{
    query::RunState& state = context.state;
    const int passes = state.count;
    state.secondDate = state.tradingDayBefore(passes);
    if (query::plainStatementsOnly() || !makeChangeTableInOnePass(context, passes))
        makeChangeTable(context, passes);
    return query::BranchResult::result(Sql("Select * from QChangeRateDerivatives"));
}

}  // namespace

void registerRateChangeBranch(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Rate Change"), rateChange);
}

}  // namespace computations
