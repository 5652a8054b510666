#pragma once

#include "import/mtowriter.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
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
    // Whether the market has the events screens look for (see MarketEvent);
    // without them every scrip walks quietly.
    bool events = true;
};

struct Scrip {
    qint64 srno = 0;
    QString company;
    QString nseSymbol;
    QString bseCode;  // empty when the scrip is not listed on BSE
    bool derivative = false;  // traded in futures and options too (every third to every tenth scrip)
};

// What sets a scrip's day apart from its quiet walk. Each trading day a few
// scrips (a share of the market, at least one of each kind) start one:
// - Run: for 4 to 7 days the close, the traded and the delivered quantity
//   each move one way every day, on both exchanges, in one of six shapes
//   that between them pair every direction of each with every direction of
//   the others (and so of the delivery percentage), or down for two days
//   and then up for two;
// - Surge / DryUp: a day whose traded and delivered quantity (and delivery
//   percentage) jump to several times, or fall to a fraction of, the days
//   before, with the close up or down;
// - Jump: the close moves 6 to 12 % in a day; Flat: for 12 to 24 days the
//   close stands still;
// - Halt: a day without trades on either exchange.
// The derivative scrips trend, half of them up and half down. And where no
// derivative scrip does so by itself, one that is near enough
// crosses its 14- or 34-day exponential average or makes a new 52-week high
// or low, and one scrip crosses its 200-day average, each way.
enum class MarketEvent { None, Run, Surge, DryUp, Jump, Flat, Halt, Signal };

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
    // `eachDay` sees every day made, inside the transaction, to add what goes
    // with it to the store.
    qint64 fillMto(store::Database& db, int dayCount, const FillProgress& progress = {},
                   const std::function<void(const MarketDay&)>& eachDay = {});

    // `count` weekdays from the first weekday on or after `first`.
    static QList<QDate> tradingDays(const QDate& first, int count);

    // The event that shaped the scrip's figures of the last day made.
    MarketEvent lastEvent(int scripIndex) const { return m_states.at(static_cast<size_t>(scripIndex)).event; }

private:
    // An average carried the way the bhavcopy's columns are.
    struct EmaTrack {
        std::vector<double> firstCloses;
        std::optional<double> value;
    };

    struct ScripState {
        std::string nseSymbol;
        std::string bseCode;
        bool derivative = false;
        double nsePrice = 0;
        double bseOffset = 0;
        double volatility = 0;
        double trend = 0;  // the close's drift a day (log)
        double baseVolume = 0;
        double bseShare = 0;
        double deliveryShare = 0;

        // The figures of the day before (0 where the scrip did not trade).
        std::array<double, import::MtoFigureCount> previous{};
        std::deque<double> closes;  // the NSE close of each of the last days (0: none), oldest first
        std::deque<std::array<double, import::MtoFigureCount>> recent;  // the last days' figures
        EmaTrack ema14, ema34;

        MarketEvent event = MarketEvent::None;
        bool signalled = false;  // a signal moved the day's close further
        int daysLeft = 0;
        int quietUntil = 0;  // no new yearly high or low planted before this day
        int priceWay = 0, tradedWay = 0, deliveryWay = 0, percentWay = 0;  // +1 up, -1 down
        double priceStep = 0, tradedStep = 0, deliveryStep = 0;
        double percentStep = 0;  // a run's daily change of the delivery percentage
        int turnIn = 0;          // days until a turning run turns
    };

    double uniform();
    double normal();
    double eventUniform();
    double eventNormal();
    void makeScrips();
    void walk(ScripState& state, ScripDay& out);
    void scheduleEvents();
    bool startRun(ScripState& state, int shape);
    void applyEvent(ScripState& state, ScripDay& out, double previousPrice);
    void plantSignals(MarketDay& day);
    void remember(ScripState& state, const ScripDay& day);
    // How many scrips `fraction` of the market is, at least `least`.
    int share(double fraction, int least = 1) const;
    // The most (or least) of one figure over the last `days` days.
    static double recentFigure(const ScripState& state, int figure, size_t days, bool most);
    // The most (or least) delivered on both exchanges together in a day of
    // the last three months.
    static double recentDelivery(const ScripState& state, bool most);
    // Whether the scrip traded near its usual volume on every day kept: only
    // such a scrip starts a run or a surge, so that one event never builds on
    // the heights of another and the volumes stay those of a market.
    static bool tradesAsUsual(const ScripState& state);

    GeneratorOptions m_options;
    std::mt19937_64 m_random;
    std::mt19937_64 m_eventRandom;  // apart, so that events leave the quiet walk's draws as they were
    int m_daysMade = 0;
    double m_flatDue = 0;  // quiet scrips owed, a fraction a day
    double m_haltDue = 0;  // days without trades owed
    QList<Scrip> m_scrips;
    std::vector<ScripState> m_states;
    QDate m_lastDay;
};

}  // namespace marketgen
