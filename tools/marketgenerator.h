#pragma once

#include "import/mtowriter.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace store {
class Database;
}

// Market data made up for tests and benchmarks: a scrip master and the daily
// figures of every scrip, the same for the same seed. Figures are plausible:
// delivered quantities never exceed traded ones, delivery percentages match
// the quantities, and prices walk from day to day in ticks of 0.05.
namespace marketgen {

struct GeneratorOptions {
    quint64 seed = 1;
    int scripCount = 100;
    // Share of the scrips that also have a BSE code (the others trade on NSE only).
    double bseListedShare = 0.85;
    // The first trading day is the first weekday on or after this day.
    QDate firstDay = QDate(2024, 1, 1);
    // Delivery files end their lines with "\r\n" (as published) or "\n".
    bool windowsLineEnds = true;
};

struct Scrip {
    qint64 srno = 0;
    QString company;
    QString nseSymbol;
    QString bseCode;  // empty when the scrip is not listed on BSE
};

// One scrip's figures of one trading day. A bit of `emptyFigures` set for an
// import::MtoFigure means the delivery file leaves that field empty; the
// figure is then 0, as the store holds it.
struct ScripDay {
    int scripIndex = 0;
    std::array<double, import::MtoFigureCount> figures{};
    unsigned emptyFigures = 0;
};

struct MarketDay {
    QDate day;
    std::vector<ScripDay> scrips;
};

// Progress of a long fill: days done out of all days.
using FillProgress = std::function<void(int daysDone, int dayCount)>;

class MarketGenerator {
public:
    explicit MarketGenerator(const GeneratorOptions& options = {});

    const GeneratorOptions& options() const { return m_options; }
    const QList<Scrip>& scrips() const { return m_scrips; }

    // The next trading day (weekdays only), its figures walked on from the
    // day before.
    MarketDay nextDay();

    // The `mto` row of one scrip's day; its codes point into this generator.
    import::MtoRow row(const ScripDay& scripDay) const;

    // Writes the scrip master into `ScripMaster` (srno 1..N), in one transaction.
    void writeScripMaster(store::Database& db) const;

    // The delivery file of `day`, encoded as the importer reads it.
    QByteArray deliveryFile(const MarketDay& day) const;
    // Writes it as folder/NB<dd><MMM>.csv (replacing a file of that name) and
    // returns the path. Raises std::runtime_error when it cannot be written.
    QString writeDeliveryFile(const QString& folder, const MarketDay& day) const;

    // Adds the next `dayCount` trading days of every scrip to `mto` directly,
    // in one transaction, as an import of their files would. Returns the rows
    // written. Meant for big stores (thousands of scrips over years).
    qint64 fillMto(store::Database& db, int dayCount, const FillProgress& progress = {});

    // `count` weekdays from the first weekday on or after `first`.
    static QList<QDate> tradingDays(const QDate& first, int count);

private:
    struct ScripState {
        std::string nseSymbol;
        std::string bseCode;
        double nsePrice = 0;
        double bseOffset = 0;
        double volatility = 0;
        double baseVolume = 0;
        double bseShare = 0;
        double deliveryShare = 0;
    };

    double uniform();
    double normal();
    void makeScrips();
    void walk(ScripState& state, ScripDay& out);

    GeneratorOptions m_options;
    std::mt19937_64 m_random;
    QList<Scrip> m_scrips;
    std::vector<ScripState> m_states;
    QDate m_lastDay;
};

}  // namespace marketgen
