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
#include "store/jetfunctions.h"
#include "store/storeerror.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <optional>
#include <tuple>
#include <unordered_map>
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
// day (the NSE close when above 0, else the BSE close, which may be empty);
// 0.01 where there is no such row.
QString laterCloses()
{
    QStringList closes;
    for (int k = 1; k <= 5; ++k)
        closes.append(QStringLiteral("(select iif(count(*) = 0, 0.01, max(close)) from"
                                     " (select iif(m.nseclprice>0,m.nseclprice,m.bseclprice) as close from mto as m"
                                     " where m.scriptcode = a.scriptcode and m.TransDate > a.TransDate"
                                     " order by m.TransDate limit 1 offset %1))")
                          .arg(k - 1));
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

// The group's code as bound to the statement: the chosen group, else all scrips.
Sql groupValue(const query::RunState& state)
{
    return Sql::value(state.groupCode.isEmpty() ? QStringLiteral("ALL") : state.groupCode);
}

// Whether the group holds the scrip `scrip`.
Sql inGroup(const query::RunState& state, const QString& scrip)
{
    return Sql("Exists(Select ScrCode From LinkDetails Where GrpCode = ") + groupValue(state) +
           QStringLiteral(" And LinkDetails.ScrCode = %1)").arg(scrip);
}

// The group's membership and the change beyond 5 per cent either way.
Sql memberAndMoved(const query::RunState& state)
{
    return Sql(" where ") + inGroup(state, QStringLiteral("a.scriptcode")) + " and (" + Sql(kChange) + " > 5 or " +
           Sql(kChange) + " < -5)";
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
// came (empty for a row without a close).
struct Candidate {
    int pass = 0;
    qint64 scrip = 0;
    DayFigures later, earlier;
    int closesFound = 0;
    std::array<std::optional<double>, 5> closes{};
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

// A value as SQLite gave it, kept to be written as it is.
struct StoredValue {
    int type = SQLITE_NULL;
    qint64 integer = 0;
    double real = 0;
    QByteArray text;

    // False for a blob, which this pass does not keep.
    bool read(const query::RowValue& value)
    {
        type = value.type();
        if (type == SQLITE_INTEGER)
            integer = value.integer();
        else if (type == SQLITE_FLOAT)
            real = value.real();
        else if (type == SQLITE_TEXT)
            text = value.view().toByteArray();
        return type != SQLITE_BLOB;
    }
    void bind(query::RepeatedStatement& statement, int index) const
    {
        if (type == SQLITE_INTEGER)
            statement.bindInteger(index, integer);
        else if (type == SQLITE_FLOAT)
            statement.bindReal(index, real);
        else if (type == SQLITE_TEXT)
            statement.bindText(index, text);
        else
            statement.bindNull(index);
    }
};

// A scrip as the statement joins it from the scrip master: its NSE and BSE
// names and its company, the rank of the company in the statement's order
// (the column's own collation; equal names share a rank), and whether the
// group holds it.
struct MasterScrip {
    std::array<StoredValue, 3> names;
    qint64 companyRank = 0;
    bool member = false;
};

// The scrip master by scrip code; false when a name is a blob.
bool readMaster(store::Database& db, const query::RunState& state, std::unordered_map<qint64, MasterScrip>& master)
{
    query::StatementReader rows(
        db.handle(), Sql("select srno, nsescrip, bsescrip, company, dense_rank() over (order by company), ") +
                         inGroup(state, QStringLiteral("scripmaster.srno")) + " from scripmaster");
    while (rows.next()) {
        MasterScrip scrip;
        for (int i = 0; i < 3; ++i)
            if (!scrip.names[static_cast<size_t>(i)].read(rows.value(1 + i)))
                return false;
        scrip.companyRank = rows.integer(4);
        scrip.member = rows.integer(5) != 0;
        master.emplace(rows.integer(0), std::move(scrip));
    }
    if (!rows.error().isEmpty())
        throw store::StoreError(rows.error());
    return true;
}

// The statement's arithmetic on the figures, as SQLite does it on reals with
// the store's round(): an empty operand, or a division by 0, gives an empty
// value.
using Number = std::optional<double>;

// The sum of the figure `first` and the next (NSE + BSE).
Number exchangeSum(const DayFigures& day, int first)
{
    if (!day.has(first) || !day.has(first + 1))
        return std::nullopt;
    return day.values[static_cast<size_t>(first)] + day.values[static_cast<size_t>(first + 1)];
}

// round(((now*100)/before)-100,2)
Number percentChange(Number now, Number before)
{
    if (!now || !before || *before == 0)
        return std::nullopt;
    return store::jetRound(*now * 100 / *before - 100, 2);
}

// round(((now*100) / iif(before>0,before,1)-100,2)
Number quantityChange(Number now, Number before)
{
    return percentChange(now, before && *before > 0 ? *before : 1.0);
}

// round(val(close),2)
Number roundedClose(const DayFigures& day)
{
    const Number close = day.close();
    return close ? Number(store::jetRound(*close, 2)) : std::nullopt;
}

// The closes after the later day that the pass did not meet (past the end of
// its window), looked up as the statement looks them up; false when one is
// a blob.
bool lookUpCloses(store::Database& db, qint64 scrip, const QByteArray& day, std::array<StoredValue, 5>& closes)
{
    query::StatementReader rows(db.handle(), Sql("select ") + Sql(laterCloses()) + " from (select " +
                                                 Sql::value(scrip) + " as scriptcode, " +
                                                 Sql::value(QString::fromUtf8(day)) + " as TransDate) as a");
    if (!rows.next())
        throw store::StoreError(rows.error());
    for (int k = 0; k < 5; ++k)
        if (!closes[static_cast<size_t>(k)].read(rows.value(k)))
            return false;
    return true;
}

// The change table made from the pairs the pass kept (share by share): each
// pair goes through the statement's test and columns worked out here, and
// the rows are written once, in the statement's order (pass, then company;
// pairs of one pass whose companies are named alike in scrip order, as the
// statement meets them). False when the scrip master or a close looked up
// holds a value this does not keep (the statement then makes the table
// again).
bool writeChangeRows(store::Database& db, const query::RunState& state, int passes,
                     const std::vector<const std::vector<Candidate>*>& candidates)
{
    std::unordered_map<qint64, MasterScrip> master;
    if (!readMaster(db, state, master))
        return false;
    struct Kept {
        const Candidate* candidate;
        const MasterScrip* scrip;
        Number change;
    };
    std::vector<Kept> kept;
    for (const std::vector<Candidate>* share : candidates)
        for (const Candidate& candidate : *share) {
            const auto found = master.find(candidate.scrip);
            if (found == master.end() || !found->second.member)
                continue;
            const Number change = percentChange(candidate.later.close(), candidate.earlier.close());
            if (change && (*change > 5 || *change < -5))
                kept.push_back({&candidate, &found->second, change});
        }
    std::sort(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) {
        return std::tie(a.candidate->pass, a.scrip->companyRank, a.candidate->scrip) <
               std::tie(b.candidate->pass, b.scrip->companyRank, b.candidate->scrip);
    });

    const QList<store::Column> columns = changeColumns();
    QStringList nothing, marks;
    for (qsizetype c = 0; c < columns.size(); ++c) {
        nothing.append(QStringLiteral("null"));
        marks.append(QStringLiteral("?"));
    }
    query::remakeWorkTable(db, kChangeTable, columns,
                           Sql(QStringLiteral("select %1 where 0").arg(nothing.join(QLatin1Char(',')))));
    std::vector<QByteArray> pairDays(static_cast<size_t>(passes) + 1);
    for (int k = 0; k <= passes; ++k)
        pairDays[static_cast<size_t>(k)] = datetext::toStorage(state.tradingDayBefore(k)).toUtf8();
    // The rows go in by chunks of kRowsAtOnce, each a statement of that many
    // rows of values, the last few one by one.
    constexpr int kRowsAtOnce = 16;
    const QString oneRow = QStringLiteral("(%1)").arg(marks.join(QLatin1Char(',')));
    const QString insertText = QStringLiteral("insert into %1 values ").arg(kChangeTable);
    query::RepeatedStatement single(db.handle(), insertText + oneRow);
    query::RepeatedStatement chunk(db.handle(), insertText + QStringList(kRowsAtOnce, oneRow).join(QLatin1Char(',')));
    const int width = static_cast<int>(columns.size());
    auto bindRow = [&](query::RepeatedStatement& insert, int first, const Kept& row) -> bool {
        auto bindNumber = [&insert](int index, Number value) {
            if (value)
                insert.bindReal(index, *value);
            else
                insert.bindNull(index);
        };
        const Candidate& candidate = *row.candidate;
        for (int i = 0; i < 3; ++i)
            row.scrip->names[static_cast<size_t>(i)].bind(insert, first + i);
        const QByteArray& laterDay = pairDays[static_cast<size_t>(candidate.pass - 1)];
        insert.bindText(first + 3, laterDay);
        insert.bindText(first + 4, pairDays[static_cast<size_t>(candidate.pass)]);
        bindNumber(first + 5, roundedClose(candidate.later));
        bindNumber(first + 6, roundedClose(candidate.earlier));
        bindNumber(first + 7, row.change);
        std::array<StoredValue, 5> closes;
        if (candidate.closesFound < 5 && !lookUpCloses(db, candidate.scrip, laterDay, closes))
            return false;
        for (int k = 0; k < 5; ++k) {
            if (k < candidate.closesFound)
                bindNumber(first + 8 + k, candidate.closes[static_cast<size_t>(k)]);
            else
                closes[static_cast<size_t>(k)].bind(insert, first + 8 + k);
        }
        constexpr int kTraded = 0, kDelivered = 2;
        const Number volume = exchangeSum(candidate.later, kTraded);
        const Number delivery = exchangeSum(candidate.later, kDelivered);
        bindNumber(first + 13, volume);
        bindNumber(first + 14, quantityChange(volume, exchangeSum(candidate.earlier, kTraded)));
        bindNumber(first + 15, delivery);
        bindNumber(first + 16, quantityChange(delivery, exchangeSum(candidate.earlier, kDelivered)));
        return true;
    };
    size_t at = 0;
    for (; at + kRowsAtOnce <= kept.size(); at += kRowsAtOnce) {
        for (int r = 0; r < kRowsAtOnce; ++r)
            if (!bindRow(chunk, 1 + r * width, kept[at + static_cast<size_t>(r)]))
                return false;
        chunk.run();
    }
    for (; at < kept.size(); ++at) {
        if (!bindRow(single, 1, kept[at]))
            return false;
        single.run();
    }
    return true;
}

// makeChangeTable() in one pass over the day rows of the window, read in
// shares of the scrips: each scrip's rows of two consecutive trading days
// whose closes moved by nearly 5 per cent or more are kept, and the rows
// that follow give each its next five closes. The kept rows then go through
// the statement's test and columns, worked out as SQLite works them out
// (writeChangeRows()), so the rows are the statement's; a close not met in
// the window (a scrip with gaps near the newest day) is looked up as the
// statement looks it up. Gives false when the rows hold values this pass
// does not read.
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
                    candidate.closes[static_cast<size_t>(candidate.closesFound++)] = close;
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
    std::vector<const std::vector<Candidate>*> candidates;
    for (const Share& share : shares) {
        if (share.unreadable)
            return false;
        candidates.push_back(&share.candidates);
    }
    return writeChangeRows(db, state, passes, candidates);
}

query::BranchResult rateChange(query::RunContext& context)
{
    query::RunState& state = context.state;
    const int passes = state.count;
    state.secondDate = state.tradingDayBefore(passes);
    if (query::plainStatementsOnly() || !makeChangeTableInOnePass(context, passes))
        makeChangeTable(context, passes);
    return query::BranchResult::wholeWorkTable(kChangeTable);
}

}  // namespace

void registerRateChangeBranch(query::BranchRegistry& registry)
{
    registry.add(QStringLiteral("Rate Change"), rateChange);
}

}  // namespace computations
