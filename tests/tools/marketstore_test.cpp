#include "computations/ema.h"
#include "marketgenerator.h"
#include "marketstore.h"
#include "store/database.h"
#include "support/teststore.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QSet>
#include <vector>

using namespace marketgen;

namespace {

GeneratorOptions market(int scrips)
{
    GeneratorOptions options;
    options.seed = 5;
    options.scripCount = scrips;
    options.firstDay = QDate(2024, 3, 1);
    return options;
}

qint64 count(store::Database& db, const QString& sql)
{
    return db.scalar(sql).toLongLong();
}

}  // namespace

// A filled store agrees with itself: the bhavcopy, the groups, the securities,
// the price tables and the options database all follow mto and the scrips.
TEST(MarketStore, EveryTableFollowsMtoAndTheScripMaster)
{
    TestStore store;
    MarketGenerator generator(market(40));
    const QString optionsPath = QDir(store.folder()).filePath(QStringLiteral("option.db"));
    const StoreFill fill = fillMarketStore(generator, store.db(), 60, optionsPath);
    store::Database& db = store.db();
    EXPECT_EQ(fill.mtoRows, 2400);

    // One "EQ" row per NSE trading day at the NSE close, a few "BE" rows.
    EXPECT_EQ(count(db, "SELECT count(*) FROM allbhavcopy WHERE series = 'EQ'"),
              count(db, "SELECT count(*) FROM mto WHERE NSETrdQty > 0"));
    EXPECT_EQ(count(db, "SELECT count(*) FROM allbhavcopy b JOIN mto m ON m.NSEScriptCode = b.symbol"
                        " AND m.TransDate = b.TransDate WHERE b.series = 'EQ' AND b.closeprice = m.NSEClPrice"
                        " AND b.tottrdqty = m.NSETrdQty AND b.highprice >= b.closeprice AND b.lowprice <= b.closeprice"),
              count(db, "SELECT count(*) FROM allbhavcopy WHERE series = 'EQ'"));
    EXPECT_GT(count(db, "SELECT count(*) FROM allbhavcopy WHERE series = 'BE'"), 0);
    EXPECT_EQ(fill.bhavcopyRows, count(db, "SELECT count(*) FROM allbhavcopy"));

    // The averages of the derivative symbols are the application's own; the
    // other symbols have none.
    const auto derivatives = db.query("SELECT symbol FROM derisymbol ORDER BY symbol").rows;
    ASSERT_GE(derivatives.size(), 10);
    for (const auto& symbol : derivatives) {
        const auto rows = db.query("SELECT closeprice, EMA14Days, EMA34days FROM allbhavcopy WHERE symbol = ?"
                                   " AND series = 'EQ' ORDER BY TransDate",
                                   {symbol[0]})
                              .rows;
        std::vector<double> closes;
        for (const auto& row : rows)
            closes.push_back(row[0].toDouble());
        const auto ema14 = computations::emaSeries(closes, computations::kEma14);
        const auto ema34 = computations::emaSeries(closes, computations::kEma34);
        for (size_t i = 0; i < closes.size(); ++i) {
            EXPECT_EQ(rows[qsizetype(i)][1].isNull(), !ema14[i].has_value()) << symbol[0].toString().toStdString();
            EXPECT_EQ(rows[qsizetype(i)][2].isNull(), !ema34[i].has_value());
            if (ema14[i] && ema34[i]) {
                EXPECT_DOUBLE_EQ(rows[qsizetype(i)][1].toDouble(), *ema14[i]);
                EXPECT_DOUBLE_EQ(rows[qsizetype(i)][2].toDouble(), *ema34[i]);
            }
        }
        EXPECT_FALSE(rows.last()[2].isNull());
    }
    EXPECT_EQ(count(db, "SELECT count(*) FROM allbhavcopy WHERE EMA14Days IS NOT NULL AND symbol NOT IN"
                        " (SELECT symbol FROM derisymbol)"),
              0);

    // Groups: every scrip in "ALL", the derivative symbols in "Derivative",
    // only BSE-listed scrips in the BSE index groups, no group without members.
    EXPECT_EQ(count(db, "SELECT count(*) FROM LinkDetails WHERE GrpCode = 'ALL'"), 40);
    EXPECT_EQ(count(db, "SELECT count(*) FROM LinkDetails l JOIN ScripMaster s ON s.srno = l.ScrCode"
                        " JOIN derisymbol d ON d.symbol = s.nsescrip WHERE l.GrpCode = 'Derivative'"),
              derivatives.size());
    EXPECT_EQ(count(db, "SELECT count(*) FROM LinkDetails l JOIN ScripMaster s ON s.srno = l.ScrCode"
                        " WHERE l.GrpCode IN ('BSE100', 'BSE500') AND s.bsescrip = ''"),
              0);
    EXPECT_EQ(count(db, "SELECT count(*) FROM GroupMaster g WHERE NOT EXISTS"
                        " (SELECT 1 FROM LinkDetails WHERE GrpCode = g.GroupCode)"),
              0);
    EXPECT_EQ(db.scalar("SELECT GroupName FROM GroupMaster WHERE GroupCode = 'Derivative'").toString(),
              QStringLiteral("Derivatives F & O"));
    EXPECT_EQ(count(db, "SELECT count(*) FROM nnf_security n JOIN ScripMaster s ON s.nsescrip = n.symbol"
                        " WHERE n.segment = 'EQ'"),
              40);

    // The price tables: the newest day's moves, new highs and lows above or
    // below every close of the year before, and each scrip's range.
    const QString newest = db.scalar("SELECT max(TransDate) FROM mto").toString();
    EXPECT_EQ(count(db, QStringLiteral("SELECT count(*) FROM GainLoss WHERE trndate <> '%1'").arg(newest)), 0);
    EXPECT_EQ(count(db, "SELECT count(*) FROM GainLoss WHERE gainloss = 'G'"), 10);
    EXPECT_EQ(count(db, "SELECT count(*) FROM GainLoss WHERE gainloss = 'L'"), 10);
    EXPECT_EQ(count(db, "SELECT count(*) FROM GainLoss g JOIN ScripMaster s ON s.nsescrip = g.Script"
                        " JOIN mto m ON m.scriptcode = s.srno AND m.TransDate = g.trndate"
                        " WHERE (g.gainloss = 'G' AND g.ClosePrice <= g.PrevClose) OR (g.gainloss = 'L' AND"
                        " g.ClosePrice >= g.PrevClose) OR g.ClosePrice <> m.NSEClPrice"
                        " OR (g.gainloss = 'U' AND EXISTS (SELECT 1 FROM mto o WHERE o.scriptcode = s.srno"
                        " AND o.TransDate < g.trndate AND o.NSEClPrice >= g.ClosePrice))"
                        " OR (g.gainloss = 'D' AND EXISTS (SELECT 1 FROM mto o WHERE o.scriptcode = s.srno"
                        " AND o.TransDate < g.trndate AND o.NSEClPrice > 0 AND o.NSEClPrice <= g.ClosePrice))"),
              0);
    EXPECT_EQ(count(db, "SELECT count(*) FROM hilo WHERE Hi52Week >= ClosePrice AND ClosePrice >= Lo52week"), 40);

    // The options database: futures and options rows of the derivative
    // symbols on their NSE trading days, at the day's close, and their sectors.
    store::Database options;
    options.openExisting(optionsPath);
    const auto allscript = options.query("SELECT SCRIPT, filedate, assetprice, optionstkidx, probability FROM allscript").rows;
    EXPECT_EQ(fill.optionRows, allscript.size());
    QSet<QString> futuresDays, symbols;
    for (const auto& row : allscript) {
        symbols.insert(row[0].toString());
        EXPECT_GT(row[4].toDouble(), 0);
        if (row[3].toString() == QLatin1String("FUTSTK"))
            futuresDays.insert(row[0].toString() + row[1].toString());
        EXPECT_EQ(row[2].toDouble(), db.scalar("SELECT NSEClPrice FROM mto WHERE NSEScriptCode = ? AND TransDate = ?",
                                               {row[0], row[1]})
                                         .toDouble());
    }
    EXPECT_EQ(symbols.size(), derivatives.size());
    EXPECT_EQ(futuresDays.size(), fill.optionRows / 3);
    EXPECT_EQ(options.scalar("SELECT count(*) FROM script WHERE sector <> ''").toLongLong(), derivatives.size());
}

// The events come to a share of the market, every kind of them, and only
// when asked for; figures stay plausible through them.
TEST(MarketStore, EventsComeToAShareOfTheMarket)
{
    GeneratorOptions options = market(1000);
    MarketGenerator generator(options);
    options.events = false;
    MarketGenerator quiet(options);
    QMap<MarketEvent, int> days;
    int quietEvents = 0;
    for (int d = 0; d < 120; ++d) {
        const MarketDay day = generator.nextDay();
        quiet.nextDay();
        for (const ScripDay& s : day.scrips) {
            ++days[generator.lastEvent(s.scripIndex)];
            quietEvents += quiet.lastEvent(s.scripIndex) == MarketEvent::None ? 0 : 1;
            EXPECT_LE(s.figures[import::NSEDelyQty], s.figures[import::NSETrdQty]);
            EXPECT_LE(s.figures[import::BSEDelyQty], s.figures[import::BSETrdQty]);
        }
    }
    EXPECT_EQ(quietEvents, 0);
    const double scripDays = 120.0 * 1000;
    for (const MarketEvent kind : {MarketEvent::Run, MarketEvent::Surge, MarketEvent::DryUp, MarketEvent::Jump,
                                   MarketEvent::Flat, MarketEvent::Halt, MarketEvent::Signal})
        EXPECT_GT(days.value(kind), 0) << int(kind);
    EXPECT_GT(days.value(MarketEvent::None) / scripDays, 0.6);
    EXPECT_LT(days.value(MarketEvent::None) / scripDays, 0.9);
}

// In a small market each scrip meets an event every few weeks; events must
// not build on one another's heights, or after a year the quantities pass
// any figure the importers take (they refuse more than 1e15).
TEST(MarketStore, QuantitiesStayThoseOfAMarketOverTheYears)
{
    for (const int scrips : {25, 200}) {
        MarketGenerator generator(market(scrips));
        double most = 0;
        for (int d = 0; d < 600; ++d)
            for (const ScripDay& s : generator.nextDay().scrips)
                most = std::max({most, s.figures[import::NSETrdQty], s.figures[import::BSETrdQty]});
        EXPECT_LT(most, 1e9) << scrips << " scrips";
    }
}
