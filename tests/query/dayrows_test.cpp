// The day-row lists read scrip by scrip (as long periods are) give the rows
// of their plain statements in the same order, also where company names or
// exchange codes differ only in letter case or outer blanks, or repeat.
#include "daystore.h"

#include "query/dayrows.h"
#include "query/plainstatements.h"
#include "query/worktable.h"
#include "store/transaction.h"

#include <gtest/gtest.h>

namespace {

using query::Exchange;

// The first row and column where the two results differ, or empty.
std::string difference(const query::RunOutcome& a, const query::RunOutcome& b)
{
    if (!a.completed() || !b.completed())
        return "not completed: " + a.message.toStdString() + b.message.toStdString();
    if (a.rows.size() != b.rows.size() || a.rows.columns.size() != b.rows.columns.size())
        return "sizes " + std::to_string(a.rows.size()) + " against " + std::to_string(b.rows.size());
    for (int c = 0; c < a.rows.columns.size(); ++c)
        if (a.rows.columns[c].name != b.rows.columns[c].name || a.rows.columns[c].kind != b.rows.columns[c].kind)
            return "column " + a.rows.columns[c].name.toStdString();
    for (qsizetype r = 0; r < a.rows.size(); ++r)
        if (a.rows.rows[r] != b.rows.rows[r])
            return "row " + std::to_string(r) + ": " + a.rows.rows[r].value(2).toString().toStdString() + " against " +
                   b.rows.rows[r].value(2).toString().toStdString();
    return {};
}

}  // namespace

TEST(DayRows, ReadScripByScripTheyKeepThePlainOrderAndFigures)
{
    DayStore store(8);
    // Same names but for letter case or outer blanks, a repeated name, and
    // NSE codes that differ only in letter case.
    const struct {
        int code;
        const char* company;
        const char* nse;
    } scrips[] = {{1, "Gamma", "GAM"}, {2, "gamma", "gam"}, {3, " Beta", "BET"}, {4, "Beta", "BETB"},
                  {5, "Gamma", "GAMX"}, {6, "Alpha", "ALP"},  {7, "Delta", "alp"}, {8, "Omega", ""}};
    for (const auto& s : scrips) {
        store.scrip(s.code, s.company, s.nse, QStringLiteral("B%1").arg(s.code));
        for (int k = 0; k < 8; ++k) {
            if ((s.code + k) % 5 == 0)
                continue;  // a day without a row
            const double traded = 100 * s.code + 37 * k % 11, delivered = 20 * s.code + k, close = 10 + (s.code * k) % 7;
            store.day(s.code, k, {traded, delivered, close, traded / 2, delivered / 3, close + 1});
        }
    }
    struct Case {
        int group;
        const char* label;
        Exchange exchange;
    };
    for (const Case& c : {Case{7, "View All Records", Exchange::Nse}, Case{7, "View All Records", Exchange::Bse},
                          Case{7, "View All Records", Exchange::Combined}, Case{8, "Last N Days Movement", Exchange::Nse},
                          Case{8, "Last N Days Movement", Exchange::Combined}}) {
        query::RunInputs in = DayStore::inputs(c.group, c.label, c.exchange, QStringLiteral("5"));
        in.secondDate = DayStore::date(6);
        query::setPlainStatementsOnly(true);
        const query::RunOutcome plain = store.run(in);
        query::setPlainStatementsOnly(false);
        query::setRowsSortedAtOnce(1);
        const query::RunOutcome byScrip = store.run(in);
        query::setRowsSortedAtOnce(0);
        EXPECT_GT(plain.rows.size(), 20) << c.label;
        EXPECT_EQ(difference(plain, byScrip), "") << c.label << " on " << query::exchangeName(c.exchange).toStdString();
    }
}

// Lists long enough for their sort to run in several parts on helper
// threads, merged from files, give the plain statements' rows in the same
// order: exchange codes that repeat or differ only in letter case, blank
// codes, and for Last N Days Movement also two scrips of one name, each
// walked on its own.
TEST(DayRows, ListsSortedInFilesKeepThePlainOrderAndFigures)
{
    constexpr int kDays = 100;
    DayStore store(kDays);
    store.db().exec(QStringLiteral(
        "WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < 700)"
        " INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) SELECT n + 100, 'Co ' || (n * 7919 % 700),"
        " iif(n % 50 = 0, '', iif(n % 2, 'c', 'C') || (n % 691)), 'B' || n FROM s"));
    store.db().exec(QStringLiteral("INSERT INTO LinkDetails SELECT 'ALL', srno FROM ScripMaster WHERE srno > 100"));
    store.db().exec(QStringLiteral(
        "WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < %1)"
        " INSERT INTO mto SELECT date('2024-03-29', '-' || i || ' days'), srno, nsescrip, bsescrip,"
        " 100 * srno + i * 37 % 11, 50 + i, 20 * srno % 97 + i, i % 5, (srno + i) % 100, i % 3, 10 + (srno * i) % 7, 12"
        " FROM ScripMaster, k WHERE srno > 100 AND (srno + i) % 7 <> 0")
                        .arg(kDays - 1));
    struct Case {
        int group;
        const char* label;
        Exchange exchange;
    };
    const auto agree = [&store](const Case& c) {
        query::RunInputs in = DayStore::inputs(c.group, c.label, c.exchange, QString::number(kDays - 3));
        in.secondDate = DayStore::date(kDays - 1);
        query::setPlainStatementsOnly(true);
        const query::RunOutcome plain = store.run(in);
        query::setPlainStatementsOnly(false);
        const query::RunOutcome fast = store.run(in);
        EXPECT_GT(plain.rows.size(), 50000) << c.label;
        EXPECT_EQ(difference(plain, fast), "") << c.label << " on " << query::exchangeName(c.exchange).toStdString();
    };
    for (const Case& c : {Case{7, "View All Records", Exchange::Nse}, Case{7, "View All Records", Exchange::Combined},
                          Case{8, "Last N Days Movement", Exchange::Nse}})
        agree(c);
    store.db().exec(QStringLiteral("UPDATE ScripMaster SET company = 'Co 1' WHERE company = 'Co 2'"));
    agree(Case{8, "Last N Days Movement", Exchange::Nse});
}

// View All Records, NSE & BSE, declares each figure it works out as the
// plain statement's result takes it from the values: real, whole where
// every delivery percentage is the 0 of a day without delivery, text where
// no row is listed.
TEST(DayRows, WorkedOutFiguresOfBothExchangesTakeTheKindsOfTheirValues)
{
    DayStore store(6, {1000, 0, 100, 800, 0, 90});
    store.scrip(1, QStringLiteral("Delivered Ltd"), QStringLiteral("DEL"), QStringLiteral("B1"));
    store.days(1, 0, 5, {500, 200, 40, 300, 100, 41});
    store.link(QStringLiteral("SOME"), 1);
    store.scrip(2, QStringLiteral("Idle Ltd"), QStringLiteral("IDL"), QStringLiteral("B2"));
    const auto kindOf = [](const query::RunOutcome& outcome, const char* column) {
        for (const store::Column& c : outcome.rows.columns)
            if (c.name == QLatin1String(column))
                return c.kind;
        return store::ColumnKind::Integer;
    };
    struct Case {
        QString group;
        QList<qint64> scrips;
        store::ColumnKind perc, total;
    };
    using store::ColumnKind;
    for (const Case& c : {Case{QStringLiteral("ALL"), {DayStore::kAnchor}, ColumnKind::Integer, ColumnKind::Real},
                          Case{QStringLiteral("SOME"), {}, ColumnKind::Real, ColumnKind::Real},
                          Case{QStringLiteral("ALL"), {2}, ColumnKind::Text, ColumnKind::Text}}) {
        query::RunInputs in = DayStore::inputs(7, QStringLiteral("View All Records"), Exchange::Combined);
        in.secondDate = DayStore::date(5);
        in.groupCode = c.group;
        in.scripCodes = c.scrips;
        query::setPlainStatementsOnly(true);
        const query::RunOutcome plain = store.run(in);
        query::setPlainStatementsOnly(false);
        const query::RunOutcome fast = store.run(in);
        EXPECT_EQ(kindOf(plain, "DelyPerc"), c.perc) << c.group.toStdString();
        EXPECT_EQ(kindOf(plain, "TotalDel"), c.total) << c.group.toStdString();
        EXPECT_EQ(difference(plain, fast), "") << c.group.toStdString();
    }
}

// Sorts inside a run move to files unless a temporary table keeps the
// temporary database open; closing it between runs lets them move again.
TEST(DayRows, SortsMoveToFilesOnceNoTemporaryTableIsLeft)
{
    DayStore store(1);
    store::Database& db = store.db();
    const auto sortsInFilesWithinARun = [&db] {
        store::Transaction run(db);
        const query::SortsInFiles sorts(db);
        return db.scalar(QStringLiteral("PRAGMA temp_store")).toInt() == 1;
    };
    EXPECT_TRUE(sortsInFilesWithinARun());
    EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA temp_store")).toInt(), 2);
    db.exec(QStringLiteral("create temp table left_over (x)"));
    EXPECT_FALSE(sortsInFilesWithinARun());
    query::closeTemporaryDatabase(db);
    EXPECT_TRUE(sortsInFilesWithinARun());
    EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA temp_store")).toInt(), 2);
}

// The day-row lists whose result takes over the work table that holds
// their rows give the same rows when run again after one another, and the
// statement kept for the run still makes them.
TEST(DayRows, ResultsTakenOverFromTheirWorkTablesStayWholeRunAfterRun)
{
    DayStore store(6);
    for (int code = 1; code <= 6; ++code) {
        store.scrip(code, QStringLiteral("Scrip %1").arg(code), QStringLiteral("N%1").arg(code),
                    QStringLiteral("B%1").arg(code));
        for (int k = 0; k < 6; ++k)
            store.day(code, k, {100.0 * code + k, 10.0 * code + k, 5.0 + k, 50.0 * code, 5.0 * code + k, 6.0 + k});
    }
    struct Case {
        int group;
        const char* label;
        Exchange exchange;
    };
    const Case cases[] = {{8, "Last N Days Movement", Exchange::Nse}, {7, "View All Records", Exchange::Combined}};
    QList<query::RunOutcome> first;
    for (int round = 0; round < 2; ++round)
        for (const Case& c : cases) {
            query::RunInputs in = DayStore::inputs(c.group, c.label, c.exchange, QStringLiteral("4"));
            in.secondDate = DayStore::date(5);
            const query::RunOutcome outcome = store.run(in);
            ASSERT_TRUE(outcome.completed()) << c.label << ": " << outcome.message.toStdString();
            EXPECT_GT(outcome.rows.size(), 10) << c.label;
            EXPECT_EQ(store.db().query(outcome.lastQuerySql).rows, outcome.rows.rows) << c.label;
            if (round == 0)
                first.append(outcome);
            else
                EXPECT_EQ(difference(first.at(&c - cases), outcome), "") << c.label << " run again";
        }
}
