#pragma once

#include <optional>

#include "query/queryengine.h"
#include "support/resultcolumns.h"
#include "support/teststore.h"

#include <QDate>
#include <QStringList>
#include <QVariant>

namespace openinterest_test {

// A main store and an options store in one temporary folder, filled by the
// tests, with the query engine over the main store.
class TwoStores {
public:
    TwoStores();

    store::Database& db() { return m_main.db(); }
    store::Database& options() { return m_options; }
    QString optionsPath() const;
    query::QueryEngine& engine() { return m_engine; }

    void addScrip(int code, const QString& company, const QString& nse, const QString& bse);
    // One mto row: NSE and BSE traded, delivered and close.
    void addDay(int code, const QDate& day, double nseTraded, double nseDelivered, double nseClose, double bseTraded,
                double bseDelivered, double bseClose);
    void link(const QString& group, int code);
    // One options row: symbol, day, open interest, underlying price, instrument.
    void addOption(const QString& symbol, const QDate& day, double probability, double assetPrice,
                   const QString& instrument = QStringLiteral("OPTSTK"));
    void addSector(const QString& symbol, const QString& sector);

    query::RunInputs inputs(const QString& label, const QDate& first, int group = 7) const;
    // Runs with the options database of these stores, or the one set by
    // useOptionPath.
    query::RunOutcome run(query::RunInputs inputs)
    {
        inputs.optionPath = m_optionPath ? *m_optionPath : optionsPath();
        return m_engine.run(inputs);
    }
    void useOptionPath(const QString& path) { m_optionPath = path; }

private:
    TestStore m_main;
    store::Database m_options;
    query::QueryEngine m_engine;
    std::optional<QString> m_optionPath;
};

// One expected cell: the value of `heading` in the row whose `keyHeading`
// column holds `key`; an empty value stands for an empty cell.
struct Cell {
    const char* key;
    const char* heading;
    QVariant value;
};
void expectCells(const query::RunOutcome& outcome, const QString& keyHeading, const QList<Cell>& cells);

}  // namespace openinterest_test
