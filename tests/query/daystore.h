#pragma once

#include "query/queryengine.h"
#include "support/teststore.h"

#include <QDate>

// A store of consecutive trading days built per test: day k is k trading
// days before the newest (k = 0). An "Anchor Ltd" scrip trades the same
// figures every day so that every day is a trading day; each test adds the
// scrips it reasons about. Every scrip belongs to the group "ALL".
class DayStore {
public:
    struct Figures {
        double nseTraded = 0, nseDelivered = 0, nseClose = 0;
        double bseTraded = 0, bseDelivered = 0, bseClose = 0;
    };
    static constexpr int kAnchor = 99;

    explicit DayStore(int days, Figures anchor = {1000, 500, 100, 1000, 500, 100});

    static QDate date(int k) { return QDate(2024, 3, 29).addDays(-k); }

    void scrip(int code, const QString& company, const QString& nse, const QString& bse);
    // One day's row of a scrip; the delivery percentages follow from the figures.
    void day(int code, int k, const Figures& figures);
    // The same figures on days from .. to (both included).
    void days(int code, int from, int to, const Figures& figures);
    void link(const QString& group, int code);

    // Inputs for a label with the group "ALL" chosen and the newest day first.
    static query::RunInputs inputs(int group, const QString& label, query::Exchange exchange = query::Exchange::Nse,
                                   const QString& number = {}, const QString& number2 = {});

    query::RunOutcome run(const query::RunInputs& inputs) { return m_engine.run(inputs); }
    store::Database& db() { return m_store.db(); }
    QString folder() const { return m_store.folder(); }

private:
    TestStore m_store;
    query::QueryEngine m_engine;
    QHash<int, std::pair<QString, QString>> m_codes;
};
