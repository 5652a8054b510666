#include "marketstore.h"

#include "bhavcopywriter.h"
#include "computations/ema.h"
#include "nnfwriter.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/schema.h"
#include "store/transaction.h"

#include <QFileInfo>
#include <cmath>
#include <random>

namespace marketgen {

namespace {

// Sectors by the trade that a company's name ends with: code, name, ending.
struct Sector {
    const char* code;
    const char* name;
    const char* ending;
};

const Sector kSectors[] = {
    {"BANKS", "Banks", " Bank Ltd"},           {"SOFTWARE", "Software", " Infotech Ltd"},
    {"PHARMA", "Pharmaceuticals", " Pharma Ltd"}, {"POWER", "Power", " Power Ltd"},
    {"AUTO", "Automobiles", " Motors Ltd"},     {"CEMENT", "Cement", " Cements Ltd"},
};

const char* const kOtherSector = "Miscellaneous";

void insertGroups(store::Database& db, const QList<Scrip>& scrips)
{
    store::Statement group(db, QStringLiteral("INSERT INTO GroupMaster (GroupCode, GroupName) VALUES (?, ?)"));
    store::Statement member(db, QStringLiteral("INSERT INTO LinkDetails (GrpCode, ScrCode) VALUES (?, ?)"));
    for (const GeneratedGroup& g : generatedGroups(scrips)) {
        group.run({g.code, g.name});
        for (const qint64 srno : g.members)
            member.run({g.code, srno});
    }
    store::Statement derivative(db, QStringLiteral("INSERT INTO derisymbol (symbol) VALUES (?)"));
    for (const Scrip& scrip : scrips)
        if (scrip.derivative)
            derivative.run({scrip.nseSymbol});
}

void insertSecurities(store::Database& db, const MarketGenerator& generator)
{
    // As the NNF security import keeps them: the equity securities only.
    store::Statement insert(db, QStringLiteral("INSERT INTO nnf_security (srno, symbol, segment) VALUES (?, ?, 'EQ')"));
    for (const NnfSecurity& security : nnfSecurities(generator))
        if (security.series == QLatin1String("EQ"))
            insert.run({security.number, security.symbol});
}

// The futures row and two option rows of each derivative scrip's NSE
// trading day: open interest that wanders from day to day, the close as the
// underlying price.
class OpenInterestWriter {
public:
    OpenInterestWriter(store::Database& options, const MarketGenerator& generator)
        : m_generator(generator), m_random(generator.options().seed * 31 + 17),
          m_insert(options, QStringLiteral("INSERT INTO allscript (SCRIPT, filedate, probability, assetprice, optionstkidx)"
                                           " VALUES (?, ?, ?, ?, ?)")),
          m_interest(static_cast<size_t>(generator.scrips().size()), 0.0)
    {
    }

    qint64 writeDay(const MarketDay& day)
    {
        qint64 rows = 0;
        const QString date = datetext::toStorage(day.day);
        for (const ScripDay& scripDay : day.scrips) {
            const Scrip& scrip = m_generator.scrips().at(scripDay.scripIndex);
            const double close = scripDay.figures[import::NSEClPrice];
            if (!scrip.derivative || close <= 0)
                continue;
            double& interest = m_interest[static_cast<size_t>(scripDay.scripIndex)];
            if (interest == 0)
                interest = std::floor(1e5 + uniform() * 2e6);
            interest = std::max(1000.0, std::floor(interest * (0.9 + uniform() * 0.2)));
            m_insert.run({scrip.nseSymbol, date, interest, close, QStringLiteral("FUTSTK")});
            m_insert.run({scrip.nseSymbol, date, std::floor(interest * 0.3), close, QStringLiteral("OPTSTK")});
            m_insert.run({scrip.nseSymbol, date, std::floor(interest * 0.2), close, QStringLiteral("OPTSTK")});
            rows += 3;
        }
        return rows;
    }

private:
    double uniform() { return static_cast<double>(m_random() >> 11) * 0x1.0p-53; }

    const MarketGenerator& m_generator;
    std::mt19937_64 m_random;
    store::Statement m_insert;
    std::vector<double> m_interest;
};

// The newest day's price tables: its ten best and ten worst NSE price moves
// ('G', 'L') and its new 52-week highs and lows ('U', 'D', beside the old
// high or low), and every scrip's 52-week high, low and last close.
void writePriceTables(store::Database& db)
{
    const store::Rows days = db.query(QStringLiteral("SELECT DISTINCT TransDate FROM mto ORDER BY TransDate DESC LIMIT 250"));
    if (days.rows.size() < 2)
        return;
    const QVariant day = days.rows.first().at(0);
    const QVariant previous = days.rows.at(1).at(0);
    const QVariant yearStart = days.rows.last().at(0);
    const QString moves = QStringLiteral(
        "INSERT INTO GainLoss (trndate, Script, ClosePrice, PrevClose, perc, gainloss)"
        " SELECT a.TransDate, s.nsescrip, a.NSEClPrice, b.NSEClPrice, round(a.NSEClPrice * 100 / b.NSEClPrice - 100, 2), '%1'"
        " FROM mto a JOIN mto b ON b.scriptcode = a.scriptcode AND b.TransDate = ? JOIN ScripMaster s ON s.srno = a.scriptcode"
        " WHERE a.TransDate = ? AND a.NSEClPrice > 0 AND b.NSEClPrice > 0 AND a.NSEClPrice %2 b.NSEClPrice"
        " ORDER BY a.NSEClPrice / b.NSEClPrice %3, s.nsescrip LIMIT 10");
    db.exec(moves.arg(QLatin1String("G"), QLatin1String(">"), QLatin1String("DESC")), {previous, day});
    db.exec(moves.arg(QLatin1String("L"), QLatin1String("<"), QLatin1String("ASC")), {previous, day});
    const QString extremes = QStringLiteral(
        "INSERT INTO GainLoss (trndate, Script, ClosePrice, PrevClose, perc, gainloss)"
        " SELECT a.TransDate, s.nsescrip, a.NSEClPrice, y.price, round(a.NSEClPrice * 100 / y.price - 100, 2), '%1'"
        " FROM mto a JOIN (SELECT scriptcode, %2(NSEClPrice) AS price FROM mto WHERE TransDate >= ? AND TransDate < ?"
        " AND NSEClPrice > 0 GROUP BY scriptcode) y ON y.scriptcode = a.scriptcode JOIN ScripMaster s ON s.srno = a.scriptcode"
        " WHERE a.TransDate = ? AND a.NSEClPrice > 0 AND a.NSEClPrice %3 y.price ORDER BY s.nsescrip");
    db.exec(extremes.arg(QLatin1String("U"), QLatin1String("max"), QLatin1String(">")), {yearStart, day, day});
    db.exec(extremes.arg(QLatin1String("D"), QLatin1String("min"), QLatin1String("<")), {yearStart, day, day});
    db.exec(QStringLiteral("INSERT INTO hilo (Script, Hi52Week, Lo52week, ClosePrice)"
                           " SELECT s.nsescrip, max(m.NSEClPrice), min(m.NSEClPrice),"
                           " (SELECT d.NSEClPrice FROM mto d WHERE d.scriptcode = s.srno AND d.NSEClPrice > 0"
                           " ORDER BY d.TransDate DESC LIMIT 1)"
                           " FROM mto m JOIN ScripMaster s ON s.srno = m.scriptcode"
                           " WHERE m.TransDate >= ? AND m.NSEClPrice > 0 AND s.nsescrip <> ''"
                           " GROUP BY s.srno ORDER BY s.nsescrip"),
            {yearStart});
}

// The definitions of a table's indexes, dropped for a big fill and made
// again after it (one sort instead of millions of index insertions).
store::Rows dropIndexes(store::Database& db, const QString& table)
{
    store::Rows indexes = db.query(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index'"
                                                  " AND tbl_name = ? AND sql IS NOT NULL"),
                                   {table});
    for (const auto& index : indexes.rows)
        db.exec(QStringLiteral("DROP INDEX %1").arg(store::quoteIdentifier(index[0].toString())));
    return indexes;
}

}  // namespace

QString sectorOf(const Scrip& scrip)
{
    for (const Sector& sector : kSectors)
        if (scrip.company.endsWith(QLatin1String(sector.ending)))
            return QString::fromLatin1(sector.name);
    return QString::fromLatin1(kOtherSector);
}

QList<GeneratedGroup> generatedGroups(const QList<Scrip>& scrips)
{
    QList<GeneratedGroup> groups{{QStringLiteral("ALL"), QStringLiteral(" All Stocks"), {}},
                                 {QStringLiteral("Derivative"), QStringLiteral("Derivatives F & O"), {}},
                                 {QStringLiteral("BSE100"), QStringLiteral("BSE 100"), {}},
                                 {QStringLiteral("BSE500"), QStringLiteral("BSE 500"), {}}};
    for (const Sector& sector : kSectors)
        groups.append({QString::fromLatin1(sector.code), QString::fromLatin1(sector.name), {}});
    for (const Scrip& scrip : scrips) {
        groups[0].members.append(scrip.srno);
        if (scrip.derivative)
            groups[1].members.append(scrip.srno);
        if (!scrip.bseCode.isEmpty() && scrip.srno % 6 == 2)
            groups[2].members.append(scrip.srno);
        if (!scrip.bseCode.isEmpty() && scrip.srno % 2 == 0)
            groups[3].members.append(scrip.srno);
        for (qsizetype s = 0; s < qsizetype(std::size(kSectors)); ++s)
            if (scrip.company.endsWith(QLatin1String(kSectors[s].ending)))
                groups[4 + s].members.append(scrip.srno);
    }
    // A small market may have no scrip of a trade: no empty group for it.
    groups.removeIf([](const GeneratedGroup& group) { return group.members.isEmpty(); });
    return groups;
}

StoreFill fillMarketStore(MarketGenerator& generator, store::Database& db, int dayCount, const QString& optionsPath,
                          const FillProgress& progress)
{
    StoreFill fill;
    generator.writeScripMaster(db);
    {
        store::Transaction transaction(db);
        insertGroups(db, generator.scrips());
        insertSecurities(db, generator);
        transaction.commit();
    }

    store::Database options;
    options.open(optionsPath);
    store::createOptionsSchema(options);
    store::Transaction optionsTransaction(options);
    options.exec(QStringLiteral("DELETE FROM allscript"));
    options.exec(QStringLiteral("DELETE FROM script"));
    {
        store::Statement sector(options, QStringLiteral("INSERT INTO script (M_SCRIPT, sector) VALUES (?, ?)"));
        for (const Scrip& scrip : generator.scrips())
            if (scrip.derivative)
                sector.run({scrip.nseSymbol, sectorOf(scrip)});
    }
    OpenInterestWriter openInterest(options, generator);

    const bool big = qint64(generator.scrips().size()) * dayCount >= 200000;
    const store::Rows bhavcopyIndexes = big ? dropIndexes(db, QStringLiteral("allbhavcopy")) : store::Rows();
    BhavcopyWriter bhavcopy(generator);
    store::Statement insert(db, QStringLiteral("INSERT INTO allbhavcopy (symbol, series, openprice, highprice, lowprice,"
                                               " closeprice, lastprice, prevclose, tottrdqty, tottrdval, TransDate)"
                                               " VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
    fill.mtoRows = generator.fillMto(db, dayCount, progress, [&](const MarketDay& day) {
        using namespace import::bhavcopyfile;
        const QString date = datetext::toStorage(day.day);
        for (const Row& row : bhavcopy.rows(day)) {
            const auto& f = row.figures;
            insert.run({row.symbol, row.series, f[Open], f[High], f[Low], f[Close], f[Last], f[PrevClose], f[TotTrdQty],
                        f[TotTrdVal], date});
            ++fill.bhavcopyRows;
        }
        fill.optionRows += openInterest.writeDay(day);
    });
    optionsTransaction.commit();
    for (const auto& index : bhavcopyIndexes.rows)
        db.exec(index[1].toString());

    // The averages as the application's own full computation makes them.
    for (const auto& period : computations::kEmaPeriods)
        computations::rebuildAllEma(db, period);
    store::Transaction transaction(db);
    writePriceTables(db);
    transaction.commit();
    return fill;
}

}  // namespace marketgen
