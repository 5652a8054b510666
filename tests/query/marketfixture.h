#pragma once

#include "support/resultcolumns.h"

#include "query/queryengine.h"
#include "support/teststore.h"

#include <QDate>
#include <QStringList>

// A small market with hand-checked figures: six scrips over five trading
// days (2 to 5 January 2024, newest first D1 .. D5), two groups and a few
// price-table rows. Quantities are stored in units of kLot.
class MarketFixture {
public:
    static constexpr double kLot = 1000;
    static inline const QDate D1{2024, 1, 5};
    static inline const QDate D2{2024, 1, 4};
    static inline const QDate D3{2024, 1, 3};
    static inline const QDate D4{2024, 1, 2};
    static inline const QDate D5{2024, 1, 1};

    MarketFixture();

    store::Database& db() { return m_store.db(); }
    query::QueryEngine& engine() { return m_engine; }

    // Inputs for a label with the group "ALL" (" All Stocks") chosen.
    static query::RunInputs inputs(int group, const QString& label, const QDate& first, const QDate& second = {},
                                   query::Exchange exchange = query::Exchange::Nse, const QString& number = {});

    query::RunOutcome run(const query::RunInputs& inputs) { return m_engine.run(inputs); }

private:
    TestStore m_store;
    query::QueryEngine m_engine;
};
