#pragma once

#include "support/resultcolumns.h"

#include "query/queryengine.h"
#include "support/teststore.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

// A small store for the N-day scans: four trading days (1 to 4 January 2024,
// newest first D1 .. D4), scrips added by each test with hand-picked figures.
class ScanFixture {
public:
    static inline const QDate D1{2024, 1, 4};
    static inline const QDate D2{2024, 1, 3};
    static inline const QDate D3{2024, 1, 2};
    static inline const QDate D4{2024, 1, 1};

    struct Day {
        QDate day;
        double nseTraded, nseDelivered, nsePercent, nseClose;
        double bseTraded = 0, bseDelivered = 0, bsePercent = 0, bseClose = 0;
    };

    ScanFixture();

    store::Database& db() { return m_store.db(); }

    // Adds a scrip with its codes ("" for none) and its days; returns its code.
    qint64 addScrip(const QString& company, const QString& nse, const QString& bse, const QList<Day>& days);
    // Puts the scrip in the group `code` (made when missing).
    void link(const QString& groupCode, qint64 scrip);

    // Inputs of one run, group "ALL".
    static query::RunInputs inputs(int group, const QString& label, const QDate& first,
                                   query::Exchange exchange = query::Exchange::Nse, const QString& number = {},
                                   const QString& number2 = {});

    query::RunOutcome run(const query::RunInputs& inputs, const query::ProgressCallback& progress = {});

private:
    TestStore m_store;
    qint64 m_nextCode = 1;
};

// One result column, as text or as numbers.
QList<QDate> columnDates(const query::RunOutcome& outcome, const QString& column);
