// The day-row lists read scrip by scrip (as long periods are) give the rows
// of their plain statements in the same order, also where company names or
// exchange codes differ only in letter case or outer blanks, or repeat.
#include "daystore.h"

#include "query/dayrows.h"
#include "query/plainstatements.h"

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
