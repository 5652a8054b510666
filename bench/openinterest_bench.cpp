// Times "Belmora - Price Query", "Pellam Query" and "Ivro Query" on a
// generated main store and an options store made beside it.
//
//   openinterest_bench [scrips] [days] [futures symbols] [option rows per symbol and day]

#include "computations/optionsdatabase.h"
#include "marketgenerator.h"
#include "query/queryengine.h"
#include "store/database.h"
#include "store/schema.h"
#include "store/transaction.h"
#include "benchscreens.h"

#include <QCoreApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchscreens::DeclinePrompt decline;
    ui::setPrompt(&decline);
    const int scripCount = argc > 1 ? std::max(10, atoi(argv[1])) : 2000;
    const int dayCount = argc > 2 ? std::max(60, atoi(argv[2])) : 300;
    const int futuresCount = argc > 3 ? std::clamp(atoi(argv[3]), 1, scripCount) : 200;
    const int rowsPerDay = argc > 4 ? std::max(1, atoi(argv[4])) : 20;

    QTemporaryDir work;
    store::Database db;
    db.open(work.filePath(QStringLiteral("mto.db")));
    store::createMainSchema(db);
    marketgen::GeneratorOptions options;
    options.seed = 2024;
    options.scripCount = scripCount;
    marketgen::MarketGenerator generator(options);
    generator.writeScripMaster(db);
    const qint64 mtoRows = generator.fillMto(db, dayCount);
    {
        store::Transaction transaction(db);
        db.exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('ALL',' All Stocks'),('BSE100','BSE 100'),('BSE500','BSE 500')"));
        db.exec(QStringLiteral("INSERT INTO LinkDetails SELECT 'ALL', srno FROM ScripMaster"));
        db.exec(QStringLiteral("INSERT INTO LinkDetails SELECT 'BSE100', srno FROM ScripMaster WHERE srno <= 100"));
        db.exec(QStringLiteral("INSERT INTO LinkDetails SELECT 'BSE500', srno FROM ScripMaster WHERE srno <= 500"));
        transaction.commit();
    }
    const QList<QDate> days = marketgen::MarketGenerator::tradingDays(options.firstDay, dayCount);

    const QString optionsPath = work.filePath(QStringLiteral("option.db"));
    qint64 optionRows = 0;
    {
        store::Database optionsDb;
        optionsDb.open(optionsPath);
        store::createOptionsSchema(optionsDb);
        store::Transaction transaction(optionsDb);
        store::Statement insert(optionsDb, QStringLiteral("INSERT INTO allscript VALUES (?,?,?,?,?)"));
        store::Statement sector(optionsDb, QStringLiteral("INSERT INTO script VALUES (?,?)"));
        for (int s = 0; s < futuresCount; ++s) {
            const QString symbol = generator.scrips().at(s).nseSymbol;
            sector.run({symbol, QStringLiteral("Sector %1").arg(s % 12)});
            for (int d = 0; d < dayCount; ++d) {
                for (int r = 0; r < rowsPerDay; ++r) {
                    insert.run({symbol, days.at(d), 1000.0 + 7 * r + d, 100.0 + s + d * 0.1,
                                r == 0 ? QStringLiteral("FUTSTK") : QStringLiteral("OPTSTK")});
                    ++optionRows;
                }
            }
        }
        transaction.commit();
    }
    std::printf("data: %d scrips x %d trading days = %lld mto rows; options: %d symbols, %lld allscript rows\n",
                scripCount, dayCount, static_cast<long long>(mtoRows), futuresCount, static_cast<long long>(optionRows));

    query::QueryEngine engine(db);
    for (const char* label : {"Belmora - Price Query", "Pellam Query", "Ivro Query"}) {
        query::RunInputs in;
        in.label = QString::fromLatin1(label);
        in.optionPath = optionsPath;
        in.group = 7;
        in.firstDate = days.last();
        in.exchange = query::Exchange::Combined;
        in.groupCode = QStringLiteral("ALL");
        in.numberText = QStringLiteral("12");
        in.number2Text = QStringLiteral("48");
        in.range(query::RangeMeasure::Price) = {false, 50, 0};
        in.range(query::RangeMeasure::TradedQty) = {false, 25000, 0};
        in.range(query::RangeMeasure::DeliveryPercent) = {false, 30, 0};
        QElapsedTimer timer;
        timer.start();
        const query::RunOutcome outcome = engine.run(in);
        std::printf("%-24s %7lld ms, %lld rows%s%s\n", label, static_cast<long long>(timer.elapsed()),
                    static_cast<long long>(outcome.rows.size()), outcome.completed() ? "" : " - ",
                    outcome.message.toLocal8Bit().constData());
    }
    return 0;
}
