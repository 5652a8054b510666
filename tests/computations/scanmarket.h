#pragma once

#include "support/resultcolumns.h"

#include "query/queryengine.h"
#include "support/teststore.h"

#include <QDate>
#include <QStringList>

namespace scantest {

// One exchange's figures of a day: traded, delivered, percentage, close.
struct DayFigures {
    double traded = 0, delivered = 0, percent = 0, close = 0;
};

// A store built by each test: scrips, their day rows, bhavcopy rows and group
// links, and the query engine over it. day(k) is k calendar days after
// 1 March 2024; the trading days are the days the tests give rows.
class ScanMarket {
public:
    ScanMarket();

    store::Database& db() { return m_store.db(); }

    static QDate day(int k) { return QDate(2024, 3, 1).addDays(k); }

    void addScrip(int code, const QString& company, const QString& nse, const QString& bse);
    using Figures = DayFigures;
    void addDay(int code, const QDate& day, const Figures& nse, const Figures& bse = {});
    void addBhav(const QString& symbol, const QDate& day, double high, double low, double close,
                 const QVariant& ema14 = {}, const QVariant& ema34 = {}, const QString& series = QStringLiteral("EQ"));
    void link(const QString& group, int code);

    query::RunInputs inputs(int group, const QString& label, const QDate& first, const QString& number = {},
                            query::Exchange exchange = query::Exchange::Nse) const;
    query::RunOutcome run(const query::RunInputs& in, QStringList* progress = nullptr);

private:
    TestStore m_store;
};

using ::headings;
using ::numbers;
using ::texts;
QString nbsp(int width);

}  // namespace scantest
