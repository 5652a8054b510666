#pragma once

#include "marketgenerator.h"

#include <QList>
#include <QString>

namespace store {
class Database;
}

// A store filled as a user's is once the generated days are imported and
// the reference tables have come: everything that the catalogue's queries
// read, consistent with `mto` and the scrip master.
namespace marketgen {

// A scrip group and its members (ScripMaster.srno).
struct GeneratedGroup {
    QString code;
    QString name;
    QList<qint64> members;
};

// The groups of the generated scrips: "ALL" (every scrip), "Derivative"
// (the derivative scrips), the BSE index groups "BSE100" and "BSE500", and a
// few sectors named by the companies' trade; only groups with members.
QList<GeneratedGroup> generatedGroups(const QList<Scrip>& scrips);

// The sector of a scrip as the options database names it.
QString sectorOf(const Scrip& scrip);

struct StoreFill {
    qint64 mtoRows = 0;
    qint64 bhavcopyRows = 0;
    qint64 optionRows = 0;
};

// Writes into `db` (which has the main schema and no scrips yet) the scrip
// master, the groups with their members, `derisymbol` and `nnf_security`,
// then the next `dayCount` trading days: `mto`, the "EQ" and "BE" rows of
// `allbhavcopy` with the moving averages of the derivative symbols (as the
// application computes them), and `GainLoss` and `hilo` of the newest day.
// The options database at `optionsPath` (made when missing, its rows
// replaced) gets the futures and options rows of the derivative scrips with
// their open interest, and their sectors.
StoreFill fillMarketStore(MarketGenerator& generator, store::Database& db, int dayCount, const QString& optionsPath,
                          const FillProgress& progress = {});

}  // namespace marketgen
