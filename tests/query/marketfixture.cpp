#include "marketfixture.h"

#include "store/database.h"
#include "store/transaction.h"

namespace {

struct DayFigures {
    int scrip;
    QDate day;
    double nseTraded, nseDelivered, nsePercent, nseClose;
    double bseTraded, bseDelivered, bsePercent, bseClose;
};

using F = MarketFixture;

// Quantities in lots; percentages and closes as they are.
const DayFigures kFigures[] = {
    {1, F::D1, 1000, 400, 40.125, 100, 500, 250, 50, 101},
    {1, F::D2, 900, 360, 40.125, 95, 400, 100, 25, 96},
    {1, F::D3, 800, 320, 40.125, 90, 300, 150, 50, 91},
    {1, F::D4, 100, 10, 10, 80, 100, 10, 10, 81},
    {1, F::D5, 100, 10, 10, 70, 100, 10, 10, 71},
    {2, F::D1, 800, 225, 25, 50, 200, 100, 50, 51},
    {2, F::D2, 600, 300, 50, 55, 100, 20, 20, 54},
    {2, F::D3, 700, 140, 20, 52, 150, 30, 20, 52},
    {3, F::D1, 800, 600, 75, 20, 0, 0, 0, 0},
    {3, F::D2, 400, 100, 25, 25, 100, 50, 50, 24},
    {3, F::D3, 500, 250, 50, 22, 200, 20, 10, 22},
    {4, F::D1, 0, 0, 0, 10, 0, 0, 0, 0},
    {4, F::D2, 300, 30, 10, 11, 0, 0, 0, 0},
    {4, F::D3, 200, 100, 50, 12, 0, 0, 0, 0},
    {5, F::D1, 0, 0, 0, 0, 700, 350, 50, 300},
    {5, F::D2, 0, 0, 0, 0, 500, 100, 20, 250},
    {5, F::D3, 0, 0, 0, 0, 600, 300, 50, 270},
    {6, F::D1, 99999, 99999, 100, 1000, 99999, 99999, 100, 1000},
};

struct Scrip {
    int code;
    const char* company;
    const char* nse;
    const char* bse;
};

const Scrip kScrips[] = {
    {1, "Alpha Ltd", "ALPHA", "500001"},  {2, "Beta Ltd", "BETA", "500002"},  {3, "Gamma Ltd", "GAMMA", "500003"},
    {4, "Delta Ltd", "DELTA", ""},        {5, "Epsilon Ltd", "", "500005"},   {6, "Zeta Ltd", "ZETA", "500006"},
};

}  // namespace

MarketFixture::MarketFixture() : m_engine(m_store.db())
{
    store::Database& database = db();
    store::Transaction transaction(database);
    {
        store::Statement insert(database, QStringLiteral("INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) VALUES (?,?,?,?)"));
        for (const auto& scrip : kScrips)
            insert.run({scrip.code, QString::fromLatin1(scrip.company), QString::fromLatin1(scrip.nse),
                        QString::fromLatin1(scrip.bse)});
    }
    {
        store::Statement insert(database, QStringLiteral("INSERT INTO mto VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"));
        for (const auto& f : kFigures) {
            const Scrip& scrip = kScrips[f.scrip - 1];
            insert.run({f.day, f.scrip, QString::fromLatin1(scrip.nse), QString::fromLatin1(scrip.bse),
                        f.nseTraded * kLot, f.bseTraded * kLot, f.nseDelivered * kLot, f.bseDelivered * kLot,
                        f.nsePercent, f.bsePercent, f.nseClose, f.bseClose});
        }
    }
    database.exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('ALL', ' All Stocks'), ('BANK', 'Banks')"));
    database.exec(QStringLiteral("INSERT INTO LinkDetails SELECT 'ALL', srno FROM ScripMaster"));
    database.exec(QStringLiteral("INSERT INTO LinkDetails VALUES ('BANK', 1), ('BANK', 3)"));
    {
        store::Statement insert(database, QStringLiteral("INSERT INTO GainLoss VALUES (?,?,?,?,?,?)"));
        const QVariantList rows[] = {
            {D1, "AAA", 109, 100, 9, "G"},     {D1, "BBB", 150, 100, 50, "G"}, {D1, "CCC", 112.5, 100, 12.5, "G"},
            {D1, "DDD", 90, 100, -10, "L"},    {D1, "EEE", 80, 100, -20, "L"}, {D1, "FFF", 200, 190, 0, "U"},
            {D1, "GGG", 50, 55, 0, "D"},       {D2, "HHH", 300, 100, 200, "G"},
        };
        for (const auto& row : rows)
            insert.run(row);
    }
    database.exec(QStringLiteral("INSERT INTO hilo VALUES ('ZZZ', 30, 10, 20), ('AAA', 120, 60, 109)"));
    transaction.commit();
}

query::RunInputs MarketFixture::inputs(int group, const QString& label, const QDate& first, const QDate& second,
                                       query::Exchange exchange, const QString& number)
{
    query::RunInputs in;
    in.group = group;
    in.label = label;
    in.firstDate = first;
    in.secondDate = second;
    in.exchange = exchange;
    in.numberText = number;
    in.groupCode = QStringLiteral("ALL");
    in.groupName = QStringLiteral(" All Stocks");
    return in;
}

