#include "marketgenerator.h"

#include "computations/ema.h"
#include "import/deliverycodec.h"
#include "import/deliveryfile.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/transaction.h"

#include <QDir>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <numbers>
#include <stdexcept>

namespace marketgen {

namespace {

const char* const kCompanySuffixes[] = {" Ltd",         " Industries Ltd", " Finance Ltd", " Steels Ltd",
                                        " Pharma Ltd",  " Textiles Ltd",   " Power Ltd",   " Chemicals Ltd",
                                        " Motors Ltd",  " Infotech Ltd",   " Cements Ltd", " Bank Ltd"};

// The tag of every data line of a delivery file (any text without a blank).
const QByteArray kDataTag = QByteArrayLiteral("<Detail>");

double roundTo2(double value)
{
    return std::round(value * 100.0) / 100.0;
}

// Prices move in ticks of 0.05 and never fall below one tick.
double toTick(double price)
{
    return std::max(0.05, std::round(price * 20.0) / 20.0);
}

// 53 random bits: a value in [0, 1) that is the same on every platform for a
// given seed (the engine's sequence is fixed by the standard).
double uniformFrom(std::mt19937_64& random)
{
    return static_cast<double>(random() >> 11) * 0x1.0p-53;
}

// Box-Muller; the standard library's normal distribution is not the same
// everywhere, which would break reproducible data.
double normalFrom(std::mt19937_64& random)
{
    const double u1 = 1.0 - uniformFrom(random);
    const double u2 = uniformFrom(random);
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

QDate firstWeekdayFrom(QDate day)
{
    while (day.dayOfWeek() > 5)
        day = day.addDays(1);
    return day;
}

}  // namespace

MarketGenerator::MarketGenerator(const GeneratorOptions& options)
    : m_options(options), m_random(options.seed), m_eventRandom(options.seed ^ 0x5DEECE66DULL)
{
    makeScrips();
    if (m_options.events) {
        // The derivative scrips trend, in turn up and down, so that some are
        // always near a new yearly high and some near a new low.
        int way = 1;
        for (ScripState& state : m_states) {
            if (!state.derivative)
                continue;
            state.trend = way * (0.0015 + eventUniform() * 0.0015);
            way = -way;
        }
    }
}

double MarketGenerator::uniform()
{
    return uniformFrom(m_random);
}

double MarketGenerator::normal()
{
    return normalFrom(m_random);
}

void MarketGenerator::makeScrips()
{
    // About a tenth of a big market trades in futures and options; a small
    // one keeps some twenty such scrips.
    const int derivativeEvery = std::clamp(m_options.scripCount / 20, 3, 10);
    QSet<QString> used;
    m_scrips.reserve(m_options.scripCount);
    m_states.reserve(static_cast<size_t>(std::max(0, m_options.scripCount)));
    for (int i = 0; i < m_options.scripCount; ++i) {
        QString symbol;
        do {
            const int length = 3 + static_cast<int>(uniform() * 7);
            symbol.clear();
            for (int c = 0; c < length; ++c)
                symbol.append(QLatin1Char(static_cast<char>('A' + static_cast<int>(uniform() * 26))));
            // A few symbols carry the marks real ones do ("M&M", "BAJAJ-AUTO").
            const double mark = uniform();
            if (mark < 0.03)
                symbol.insert(1, QLatin1Char('&'));
            else if (mark < 0.06)
                symbol.insert(length / 2, QLatin1Char('-'));
        } while (used.contains(symbol));
        used.insert(symbol);

        Scrip scrip;
        scrip.srno = i + 1;
        scrip.nseSymbol = symbol;
        const auto suffix = static_cast<size_t>(uniform() * std::size(kCompanySuffixes));
        scrip.company = symbol.left(1) + symbol.mid(1).toLower() + QLatin1String(kCompanySuffixes[suffix]);
        if (uniform() < m_options.bseListedShare)
            scrip.bseCode = QString::number(500000 + scrip.srno);
        scrip.derivative = scrip.srno % derivativeEvery == 1;

        ScripState state;
        state.nseSymbol = scrip.nseSymbol.toStdString();
        state.bseCode = scrip.bseCode.toStdString();
        state.derivative = scrip.derivative;
        state.nsePrice = toTick(std::exp(2.5 + uniform() * 5.5));  // about 12 to 3000
        state.volatility = 0.01 + uniform() * 0.025;
        state.baseVolume = std::exp(8.0 + uniform() * 7.0);  // about 3,000 to 3,000,000 shares
        state.bseShare = 0.05 + uniform() * 0.4;
        state.deliveryShare = 0.1 + uniform() * 0.65;
        m_scrips.append(scrip);
        m_states.push_back(std::move(state));
    }
}

void MarketGenerator::walk(ScripState& state, ScripDay& out)
{
    using namespace import;
    auto& f = out.figures;
    f.fill(0.0);
    out.emptyFigures = 0;
    const double previousPrice = state.nsePrice;

    state.nsePrice = toTick(state.nsePrice * std::exp(state.trend + state.volatility * normal()));
    const double bsePrice = toTick(state.nsePrice * (1.0 + 0.002 * normal()));
    const double volume = state.baseVolume * std::exp(0.6 * normal());

    // One exchange's traded and delivered quantity, delivery percentage and
    // close; a day without trades leaves the four fields empty.
    auto trade = [&](double traded, double close, int qty, int dely, int perc, int price, bool tradedToday) {
        if (!tradedToday || traded < 1.0) {
            out.emptyFigures |= (1u << qty) | (1u << dely) | (1u << perc) | (1u << price);
            return;
        }
        const double share = std::clamp(state.deliveryShare + 0.08 * normal(), 0.02, 1.0);
        f[static_cast<size_t>(qty)] = std::round(traded);
        f[static_cast<size_t>(dely)] = std::floor(f[static_cast<size_t>(qty)] * share);
        f[static_cast<size_t>(perc)] = roundTo2(f[static_cast<size_t>(dely)] * 100.0 / f[static_cast<size_t>(qty)]);
        f[static_cast<size_t>(price)] = close;
    };
    const bool nseTrades = uniform() >= 0.02;
    trade(volume, state.nsePrice, NSETrdQty, NSEDelyQty, NSEPerc, NSEClPrice, nseTrades);
    if (state.bseCode.empty()) {
        trade(0, 0, BSETrdQty, BSEDelyQty, BSEPerc, BSEClPrice, false);
    } else {
        const bool bseTrades = uniform() >= 0.05;
        trade(volume * state.bseShare * std::exp(0.4 * normal()), bsePrice, BSETrdQty, BSEDelyQty, BSEPerc,
              BSEClPrice, bseTrades);
    }
    if (state.event != MarketEvent::None)
        applyEvent(state, out, previousPrice);
}

MarketDay MarketGenerator::nextDay()
{
    MarketDay result;
    result.day = m_lastDay.isValid() ? firstWeekdayFrom(m_lastDay.addDays(1)) : firstWeekdayFrom(m_options.firstDay);
    m_lastDay = result.day;
    result.scrips.resize(m_states.size());
    if (m_options.events && m_daysMade > 0)
        scheduleEvents();
    for (size_t i = 0; i < m_states.size(); ++i) {
        result.scrips[i].scripIndex = static_cast<int>(i);
        walk(m_states[i], result.scrips[i]);
    }
    if (m_options.events && m_daysMade > 0)
        plantSignals(result);
    for (size_t i = 0; i < m_states.size(); ++i)
        remember(m_states[i], result.scrips[i]);
    ++m_daysMade;
    return result;
}

import::MtoRow MarketGenerator::row(const ScripDay& scripDay) const
{
    const ScripState& state = m_states.at(static_cast<size_t>(scripDay.scripIndex));
    import::MtoRow row;
    row.scriptcode = m_scrips.at(scripDay.scripIndex).srno;
    row.nseScriptCode = state.nseSymbol;
    row.bseScriptCode = state.bseCode;
    row.figures = scripDay.figures;
    return row;
}

void MarketGenerator::writeScripMaster(store::Database& db) const
{
    store::Transaction transaction(db);
    store::Statement insert(db, QStringLiteral("INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) VALUES (?, ?, ?, ?)"));
    for (const Scrip& scrip : m_scrips)
        insert.run({scrip.srno, scrip.company, scrip.nseSymbol, scrip.bseCode});
    transaction.commit();
}

QByteArray MarketGenerator::deliveryFile(const MarketDay& day) const
{
    const QByteArray lineEnd = m_options.windowsLineEnds ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    QByteArray out;
    out.reserve(static_cast<qsizetype>(day.scrips.size()) * 340 + 128);
    out.append(import::deliverycodec::encode(import::deliverycodec::kHeaderTag,
                                             import::deliveryfile::headerText(day.day)));
    out.append(lineEnd);
    qint64 serial = 0;
    for (const ScripDay& scripDay : day.scrips) {
        const QByteArray text = import::deliveryfile::dataLineText(++serial, row(scripDay), scripDay.emptyFigures);
        import::deliverycodec::appendEncoded(out, kDataTag, text.constData(), text.size());
        out.append(lineEnd);
    }
    return out;
}

QString MarketGenerator::writeDeliveryFile(const QString& folder, const MarketDay& day) const
{
    const QString path = QDir(folder).filePath(import::deliveryfile::fileName(day.day));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(deliveryFile(day)) < 0 || !file.commit())
        throw std::runtime_error(QStringLiteral("%1 could not be written: %2").arg(path, file.errorString()).toStdString());
    return path;
}

qint64 MarketGenerator::fillMto(store::Database& db, int dayCount, const FillProgress& progress,
                                const std::function<void(const MarketDay&)>& eachDay)
{
    // A big page cache keeps the indexes in memory while rows of every scrip
    // are added day after day; the store's own setting returns after.
    const QVariant cacheSize = db.scalar(QStringLiteral("PRAGMA cache_size"));
    db.exec(QStringLiteral("PRAGMA cache_size = -262144"));
    qint64 rows = 0;
    try {
        store::Transaction transaction(db);
        // Adding millions of rows one by one to the (scrip, day) index touches
        // every scrip's index page every day; building the indexes afresh
        // afterwards sorts once instead. They are made again from their own
        // definitions, so the schema stays as it was.
        const bool rebuildIndexes = qint64(m_states.size()) * dayCount >= 200000;
        store::Rows indexes;
        if (rebuildIndexes) {
            indexes = db.query(QStringLiteral(
                "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'mto' AND sql IS NOT NULL"));
            for (const auto& index : indexes.rows)
                db.exec(QStringLiteral("DROP INDEX %1").arg(store::quoteIdentifier(index[0].toString())));
        }
        {
            import::MtoWriter writer(db);
            for (int d = 0; d < dayCount; ++d) {
                const MarketDay day = nextDay();
                for (const ScripDay& scripDay : day.scrips) {
                    if (!writer.write(day.day, row(scripDay)))
                        throw std::runtime_error(QStringLiteral("mto already holds scrip %1 on %2")
                                                     .arg(m_scrips.at(scripDay.scripIndex).srno)
                                                     .arg(datetext::toStorage(day.day))
                                                     .toStdString());
                    ++rows;
                }
                if (eachDay)
                    eachDay(day);
                if (progress)
                    progress(d + 1, dayCount);
            }
        }
        // A unique index made again over rows that repeat a (day, scrip) fails,
        // and the whole fill is undone.
        for (const auto& index : indexes.rows)
            db.exec(index[1].toString());
        transaction.commit();
    } catch (...) {
        db.exec(QStringLiteral("PRAGMA cache_size = %1").arg(cacheSize.toLongLong()));
        throw;
    }
    db.exec(QStringLiteral("PRAGMA cache_size = %1").arg(cacheSize.toLongLong()));
    return rows;
}

// ---------------------------------------------------------------- events

namespace {

using import::BSEClPrice;
using import::BSEDelyQty;
using import::BSEPerc;
using import::BSETrdQty;
using import::NSEClPrice;
using import::NSEDelyQty;
using import::NSEPerc;
using import::NSETrdQty;

// The closes kept per scrip: a year of trading days, for new 52-week highs
// and lows and the 200-day average.
constexpr size_t kClosesKept = 250;
constexpr size_t kLongAverageDays = 200;
// The largest move of a day that takes a close to a planted signal.
constexpr double kFarthest = 0.2;
// The days of figures kept per scrip: three months of trading days.
constexpr size_t kRecentDays = 66;

// A run's shape: the way of the close, of the traded quantity and of the
// delivery percentage, the traded quantity's daily step and the percentage's
// daily change (each drawn between the two bounds). The delivered quantity
// follows from the two; the shapes give every pair of ways of close, traded
// quantity, delivered quantity and delivery percentage, and as many rising
// closes as falling ones.
struct RunShape {
    int priceWay, tradedWay, percentWay;
    double tradedLow, tradedHigh, percentLow, percentHigh;
    int turnAfter = 0;  // days after which every way turns (0: never)
};

const RunShape kRunShapes[] = {
    {+1, +1, +1, 0.03, 0.07, 0.04, 0.08},  // everything up
    {-1, +1, -1, 0.08, 0.12, 0.02, 0.04},  // quantities up, price and percentage down
    {+1, +1, -1, 0.03, 0.07, 0.12, 0.16},  // price and volume up, delivery down
    {-1, -1, +1, 0.03, 0.05, 0.08, 0.12},  // price and volume down, delivery up
    {-1, -1, -1, 0.03, 0.06, 0.03, 0.06},  // everything down
    {+1, -1, -1, 0.03, 0.06, 0.03, 0.06},  // price up on falling quantities
    {-1, -1, -1, 0.03, 0.06, 0.03, 0.06, 2},  // two days down, then two up
};
constexpr int kTurningShape = 6;

// A close moved by `step` (a fraction) the given way, at least one tick.
double moved(double close, int way, double step)
{
    double next = toTick(close * (1.0 + way * step));
    if (next == close)
        next = toTick(close + way * 0.05);
    return next;
}

// A quantity moved by `step` the given way, at least by one share.
double movedQuantity(double quantity, int way, double step)
{
    double next = std::round(quantity * (1.0 + way * step));
    if (next == quantity)
        next = quantity + way;
    return std::max(1.0, next);
}

double deliveryShareOf(const std::array<double, import::MtoFigureCount>& f, int traded, int delivered)
{
    return f[static_cast<size_t>(traded)] > 0 ? f[static_cast<size_t>(delivered)] / f[static_cast<size_t>(traded)] : 0;
}

// One exchange's four figures of a day; clears their "empty" marks.
void setTrade(ScripDay& out, int traded, int delivered, int percent, int price, double tradedQty, double deliveredQty,
              double close)
{
    auto& f = out.figures;
    const double qty = std::max(1.0, std::round(tradedQty));
    f[static_cast<size_t>(traded)] = qty;
    f[static_cast<size_t>(delivered)] = std::clamp(std::round(deliveredQty), 0.0, qty);
    f[static_cast<size_t>(percent)] = roundTo2(f[static_cast<size_t>(delivered)] * 100.0 / qty);
    f[static_cast<size_t>(price)] = close;
    out.emptyFigures &= ~((1u << traded) | (1u << delivered) | (1u << percent) | (1u << price));
}

}  // namespace

double MarketGenerator::eventUniform()
{
    return uniformFrom(m_eventRandom);
}

double MarketGenerator::eventNormal()
{
    return normalFrom(m_eventRandom);
}

int MarketGenerator::share(double fraction, int least) const
{
    return std::max(least, static_cast<int>(std::lround(fraction * static_cast<double>(m_states.size()))));
}

double MarketGenerator::recentFigure(const ScripState& state, int figure, size_t days, bool most)
{
    double value = most ? 0.0 : std::numeric_limits<double>::max();
    const size_t count = std::min(days, state.recent.size());
    for (auto day = state.recent.end() - static_cast<std::ptrdiff_t>(count); day != state.recent.end(); ++day)
        value = most ? std::max(value, (*day)[static_cast<size_t>(figure)])
                     : std::min(value, (*day)[static_cast<size_t>(figure)]);
    return count == 0 ? 0.0 : value;
}

double MarketGenerator::recentDelivery(const ScripState& state, bool most)
{
    double value = most ? 0.0 : std::numeric_limits<double>::max();
    for (const auto& day : state.recent)
        value = most ? std::max(value, day[NSEDelyQty] + day[BSEDelyQty])
                     : std::min(value, day[NSEDelyQty] + day[BSEDelyQty]);
    return state.recent.empty() ? 0.0 : value;
}

bool MarketGenerator::tradesAsUsual(const ScripState& state)
{
    // The quiet walk's volume goes past six times its usual level about once
    // in a thousand days.
    constexpr double kUsualMost = 6.0;
    const double nseMost = kUsualMost * state.baseVolume;
    const double bseMost = kUsualMost * state.baseVolume * state.bseShare;
    return std::all_of(state.recent.begin(), state.recent.end(), [&](const auto& day) {
        return day[NSETrdQty] <= nseMost && day[BSETrdQty] <= bseMost;
    });
}

bool MarketGenerator::startRun(ScripState& state, int shape)
{
    const auto& y = state.previous;
    if (!tradesAsUsual(state) || state.bseCode.empty() || y[NSETrdQty] < 1000 || y[BSETrdQty] < 500 || y[NSEDelyQty] < 50 ||
        y[BSEDelyQty] < 50)
        return false;
    const RunShape& run = kRunShapes[shape];
    const double tradedStep = run.tradedLow + eventUniform() * (run.tradedHigh - run.tradedLow);
    const double percentStep = run.percentLow + eventUniform() * (run.percentHigh - run.percentLow);
    const double ratio = run.percentWay > 0 ? 1.0 + percentStep : 1.0 / (1.0 + percentStep);
    const double deliveryChange = ratio * (1.0 + run.tradedWay * tradedStep) - 1.0;
    // A turning run ends two days after it turns.
    const int days = run.turnAfter > 0 ? run.turnAfter + 2 : 4 + static_cast<int>(eventUniform() * 4);
    // Both exchanges' delivery percentage must stay within what can be.
    for (const double share : {deliveryShareOf(y, NSETrdQty, NSEDelyQty), deliveryShareOf(y, BSETrdQty, BSEDelyQty)}) {
        const double last = share * std::pow(ratio, run.turnAfter > 0 ? run.turnAfter : days);
        if (last > 0.95 || last < 0.02)
            return false;
    }
    state.event = MarketEvent::Run;
    state.daysLeft = days;
    state.priceWay = run.priceWay;
    state.priceStep = 0.005 + eventUniform() * 0.01;
    state.tradedWay = run.tradedWay;
    state.tradedStep = tradedStep;
    state.deliveryWay = deliveryChange > 0 ? 1 : -1;
    state.deliveryStep = std::abs(deliveryChange);
    state.turnIn = run.turnAfter;
    state.percentWay = run.percentWay;
    state.percentStep = percentStep;
    return true;
}

void MarketGenerator::scheduleEvents()
{
    std::vector<size_t> free;
    for (size_t i = 0; i < m_states.size(); ++i) {
        ScripState& state = m_states[i];
        state.signalled = false;
        if ((state.event == MarketEvent::Run || state.event == MarketEvent::Flat) && state.daysLeft > 0)
            continue;
        state.event = MarketEvent::None;
        free.push_back(i);
    }
    for (size_t i = free.size(); i > 1; --i)
        std::swap(free[i - 1], free[static_cast<size_t>(eventUniform() * static_cast<double>(i))]);

    // Gives `count` free scrips that `accept` takes the event it sets.
    auto pick = [&](int count, const std::function<bool(ScripState&)>& accept) {
        for (const size_t i : free) {
            if (count == 0)
                return;
            ScripState& state = m_states[i];
            if (state.event == MarketEvent::None && accept(state))
                --count;
        }
    };
    auto oneDay = [this](MarketEvent event, int way, const std::function<bool(const ScripState&)>& fits) {
        return [this, event, way, fits](ScripState& state) {
            if (!fits(state))
                return false;
            state.event = event;
            state.priceWay = way;
            state.priceStep = event == MarketEvent::Jump ? 0.06 + eventUniform() * 0.06 : 0.01 + eventUniform() * 0.04;
            return true;
        };
    };
    const auto tradedBoth = [](const ScripState& s) {
        const auto& y = s.previous;
        return tradesAsUsual(s) && !s.bseCode.empty() && y[NSETrdQty] >= 1000 && y[BSETrdQty] >= 500 && y[NSEDelyQty] >= 50 &&
               y[BSEDelyQty] >= 50;
    };
    // Delivery percentages low enough to double.
    const auto lowShares = [&tradedBoth](const ScripState& s) {
        return tradedBoth(s) && deliveryShareOf(s.previous, NSETrdQty, NSEDelyQty) <= 0.4 &&
               deliveryShareOf(s.previous, BSETrdQty, BSEDelyQty) <= 0.4;
    };
    // A dry day goes below the least of the last three months: none of them
    // may be a day without deliveries.
    const auto tradedOnNse = [](const ScripState& s) {
        return s.previous[NSETrdQty] >= 1000 && s.previous[NSEDelyQty] >= 50 && recentDelivery(s, false) > 0;
    };
    const auto closedOnNse = [](const ScripState& s) { return s.previous[NSEClPrice] > 0; };
    const auto any = [](const ScripState&) { return true; };

    // Runs and still closes leave the derivative scrips free for the signals
    // planted on them.
    // The turning runs first: each gives its pattern on one day only.
    for (int shape = static_cast<int>(std::size(kRunShapes)) - 1; shape >= 0; --shape)
        pick(share(0.004, shape == kTurningShape ? 2 : 1),
             [this, shape](ScripState& state) { return !state.derivative && startRun(state, shape); });
    for (const int way : {+1, -1})
        pick(1, oneDay(MarketEvent::Surge, way, lowShares));
    for (const int way : {+1, -1})
        pick(share(0.01), oneDay(MarketEvent::Surge, way, tradedBoth));
    for (const int way : {+1, -1})
        pick(share(0.008, 2), oneDay(MarketEvent::DryUp, way, tradedOnNse));
    for (const int way : {+1, -1})
        pick(share(0.01), oneDay(MarketEvent::Jump, way, closedOnNse));
    // Quiet scrips whose close stands still for two to four weeks, and days
    // without trades, come now and then rather than every day.
    m_flatDue += 0.005 * static_cast<double>(m_states.size());
    const int flats = static_cast<int>(m_flatDue);
    m_flatDue -= flats;
    pick(flats, [this, &closedOnNse](ScripState& state) {
        if (state.derivative || !closedOnNse(state))
            return false;
        state.event = MarketEvent::Flat;
        state.daysLeft = 12 + static_cast<int>(eventUniform() * 13);
        return true;
    });
    m_haltDue += 0.0005 * static_cast<double>(m_states.size());
    const int halts = static_cast<int>(m_haltDue);
    m_haltDue -= halts;
    pick(halts, oneDay(MarketEvent::Halt, 0, any));
}

void MarketGenerator::applyEvent(ScripState& state, ScripDay& out, double previousPrice)
{
    auto& f = out.figures;
    const auto& y = state.previous;
    switch (state.event) {
    case MarketEvent::None:
    case MarketEvent::Signal:
        return;
    case MarketEvent::Run: {
        const double close = moved(y[NSEClPrice], state.priceWay, state.priceStep);
        state.nsePrice = close;
        setTrade(out, NSETrdQty, NSEDelyQty, NSEPerc, NSEClPrice,
                 movedQuantity(y[NSETrdQty], state.tradedWay, state.tradedStep),
                 movedQuantity(y[NSEDelyQty], state.deliveryWay, state.deliveryStep), close);
        setTrade(out, BSETrdQty, BSEDelyQty, BSEPerc, BSEClPrice,
                 movedQuantity(y[BSETrdQty], state.tradedWay, state.tradedStep),
                 movedQuantity(y[BSEDelyQty], state.deliveryWay, state.deliveryStep),
                 moved(y[BSEClPrice], state.priceWay, state.priceStep));
        --state.daysLeft;
        if (state.turnIn > 0 && --state.turnIn == 0) {
            // Every way turns; the delivery percentage keeps its pace.
            state.priceWay = -state.priceWay;
            state.tradedWay = -state.tradedWay;
            state.percentWay = -state.percentWay;
            const double ratio = state.percentWay > 0 ? 1.0 + state.percentStep : 1.0 / (1.0 + state.percentStep);
            const double change = ratio * (1.0 + state.tradedWay * state.tradedStep) - 1.0;
            state.deliveryWay = change > 0 ? 1 : -1;
            state.deliveryStep = std::abs(change);
        }
        return;
    }
    case MarketEvent::Surge:
    case MarketEvent::DryUp: {
        // Several times the most of the last two weeks, a delivery share two
        // to three times the day before's, and (on NSE alone) more delivered
        // than on any day of the last three months on both exchanges; or a
        // fraction of the least of them all.
        const bool surge = state.event == MarketEvent::Surge;
        const double close = moved(y[NSEClPrice] > 0 ? y[NSEClPrice] : previousPrice, state.priceWay, state.priceStep);
        state.nsePrice = close;
        const double quarter = recentDelivery(state, surge);
        auto trade = [&](int traded, int delivered, double usual, double usualShare, double quarterShare) {
            const double before = y[static_cast<size_t>(traded)] > 0 ? deliveryShareOf(y, traded, delivered) : usualShare;
            const double factor = surge ? 2.8 + eventUniform() : 0.1 + eventUniform() * 0.1;
            const double share = surge ? std::min(0.95, before * (2.3 + eventUniform() * 0.7))
                                       : std::max(0.02, before * (0.3 + eventUniform() * 0.2));
            const double mostTraded = std::max(recentFigure(state, traded, 10, surge), usual);
            const double mostDelivered = recentFigure(state, delivered, 10, surge);
            double qty = surge ? std::max({mostTraded * factor, mostDelivered * factor / share, quarter * 1.02 * quarterShare / share})
                               : std::min(mostTraded * factor, quarter * 0.98 * quarterShare / share);
            return std::pair{qty, qty * share};
        };
        const bool onBse = !state.bseCode.empty();
        const auto nse = trade(NSETrdQty, NSEDelyQty, state.baseVolume, state.deliveryShare, surge || !onBse ? 1.0 : 0.7);
        setTrade(out, NSETrdQty, NSEDelyQty, NSEPerc, NSEClPrice, nse.first, nse.second, close);
        if (onBse) {
            const auto bse = trade(BSETrdQty, BSEDelyQty, state.baseVolume * state.bseShare, state.deliveryShare,
                                   surge ? 0.0 : 0.25);
            setTrade(out, BSETrdQty, BSEDelyQty, BSEPerc, BSEClPrice, bse.first, bse.second,
                     y[BSEClPrice] > 0 ? moved(y[BSEClPrice], state.priceWay, state.priceStep)
                                       : toTick(close * (1.0 + 0.002 * eventNormal())));
        }
        return;
    }
    case MarketEvent::Jump: {
        state.nsePrice = moved(previousPrice, state.priceWay, state.priceStep);
        if (f[NSEClPrice] > 0)
            f[NSEClPrice] = state.nsePrice;
        if (f[BSEClPrice] > 0)
            f[BSEClPrice] = toTick(state.nsePrice * (1.0 + 0.002 * eventNormal()));
        return;
    }
    case MarketEvent::Flat:
        state.nsePrice = previousPrice;
        if (f[NSEClPrice] > 0)
            f[NSEClPrice] = previousPrice;
        if (f[BSEClPrice] > 0 && y[BSEClPrice] > 0)
            f[BSEClPrice] = y[BSEClPrice];
        --state.daysLeft;
        return;
    case MarketEvent::Halt:
        state.nsePrice = previousPrice;
        f.fill(0.0);
        out.emptyFigures = (1u << import::MtoFigureCount) - 1;
        return;
    }
}

void MarketGenerator::plantSignals(MarketDay& day)
{
    struct Signal {
        bool derivativesOnly;
        int way;  // +1: from below the level to above it; -1 the other way
        double margin;  // how far beyond the level the close goes
        std::function<std::optional<double>(const ScripState&)> level;
    };
    // The closes of the last `days` trading days before today, the days
    // without one left out, as the queries read their windows; none while
    // the history is shorter.
    const auto closesOver = [](const ScripState& s, size_t days) {
        std::vector<double> closes;
        if (s.closes.size() < days)
            return closes;
        for (auto close = s.closes.end() - static_cast<std::ptrdiff_t>(days); close != s.closes.end(); ++close)
            if (*close > 0)
                closes.push_back(*close);
        return closes;
    };
    // The 52-week window is the 250 trading days up to today; the 200-day
    // average takes today's close in with the 199 before it.
    const auto yearHigh = [&closesOver](const ScripState& s) -> std::optional<double> {
        const auto closes = closesOver(s, std::min(s.closes.size(), kClosesKept - 1));
        if (closes.size() < 20)
            return std::nullopt;
        return *std::max_element(closes.begin(), closes.end());
    };
    const auto yearLow = [&closesOver](const ScripState& s) -> std::optional<double> {
        const auto closes = closesOver(s, std::min(s.closes.size(), kClosesKept - 1));
        if (closes.size() < 20)
            return std::nullopt;
        return *std::min_element(closes.begin(), closes.end());
    };
    const auto ema14 = [](const ScripState& s) { return s.ema14.value; };
    const auto ema34 = [](const ScripState& s) { return s.ema34.value; };
    const auto longAverage = [&closesOver](const ScripState& s) -> std::optional<double> {
        const auto closes = closesOver(s, kLongAverageDays - 1);
        if (closes.empty())
            return std::nullopt;
        return std::accumulate(closes.begin(), closes.end(), 0.0) / static_cast<double>(closes.size());
    };
    // New highs and lows beat the day highs and lows around the old closes;
    // the exponential averages move with the day's close, so any close past
    // the day before's average crosses it.
    // The crossings come first: they can only be planted on scrips on the
    // other side of their average, while a new high or low can always be
    // had from the nearest scrip.
    const Signal wanted[] = {
        {true, +1, 0.035, yearHigh},       {true, -1, 0.035, yearLow},
        {true, +1, 0.005, ema14},          {true, -1, 0.005, ema14},          {true, +1, 0.005, ema34},
        {true, -1, 0.005, ema34},          {false, +1, 0.02, longAverage},    {false, -1, 0.02, longAverage},
    };
    for (const Signal& signal : wanted) {
        // Whether a scrip already does it by itself (the yearly levels need no
        // close on the other side the day before).
        const bool crossing = signal.margin < 0.03;
        // The nearest scrip, and the nearest that made a new high or low of
        // late (taken when no other is near enough).
        ScripDay* best = nullptr;
        double bestMove = std::numeric_limits<double>::max();
        double bestTarget = 0;
        ScripDay* again = nullptr;
        double againMove = kFarthest;
        double againTarget = 0;
        bool natural = false;
        for (ScripDay& scripDay : day.scrips) {
            ScripState& state = m_states[static_cast<size_t>(scripDay.scripIndex)];
            if (signal.derivativesOnly && !state.derivative)
                continue;
            const double before = state.previous[NSEClPrice];
            const double close = scripDay.figures[NSEClPrice];
            const std::optional<double> level = signal.level(state);
            if (!level || before <= 0 || close <= 0)
                continue;
            const double beyond = *level * (1.0 + signal.way * signal.margin);
            const bool wasOtherSide = !crossing || (signal.way > 0 ? before < *level * 0.99 : before > *level * 1.01);
            if (wasOtherSide && (signal.way > 0 ? close > beyond && close > before : close < beyond && close < before)) {
                // It keeps its close: no later signal may move it.
                state.signalled = true;
                natural = true;
                break;
            }
            // A scrip whose close goes the signal's way anyway (in a run or a
            // day's event) may go further; others keep their own way.
            const bool free = !state.signalled &&
                              (state.event == MarketEvent::None || state.priceWay == signal.way) &&
                              (state.event == MarketEvent::None ||
                               state.event == MarketEvent::Run || state.event == MarketEvent::Surge ||
                               state.event == MarketEvent::DryUp || state.event == MarketEvent::Jump);
            if (!wasOtherSide || !free)
                continue;
            const double move = std::abs(beyond / before - 1.0);
            if (state.quietUntil > m_daysMade) {
                if (move < againMove) {
                    againMove = move;
                    again = &scripDay;
                    againTarget = beyond;
                }
            } else if (move < bestMove) {
                bestMove = move;
                best = &scripDay;
                bestTarget = beyond;
            }
        }
        if (natural || (!best && !again))
            continue;
        if ((!best || bestMove > kFarthest) && again) {
            best = again;
            bestMove = againMove;
            bestTarget = againTarget;
        }
        ScripState& state = m_states[static_cast<size_t>(best->scripIndex)];
        double close = moved(bestTarget, signal.way, 0.002);
        if (bestMove > kFarthest) {
            // Too far for a day: the nearest rallies (or slides) towards it.
            close = moved(state.previous[NSEClPrice], signal.way, 0.02 + eventUniform() * 0.02);
        } else if (!crossing) {
            // A scrip at a new high (or low) rests before it makes another,
            // unless no other is near enough.
            state.quietUntil = m_daysMade + 5;
        }
        if (state.event == MarketEvent::None)
            state.event = MarketEvent::Signal;
        state.signalled = true;
        state.nsePrice = close;
        best->figures[NSEClPrice] = close;
        if (best->figures[BSEClPrice] > 0)
            best->figures[BSEClPrice] = toTick(close * (1.0 + 0.002 * eventNormal()));
    }
}

void MarketGenerator::remember(ScripState& state, const ScripDay& day)
{
    state.previous = day.figures;
    state.recent.push_back(day.figures);
    if (state.recent.size() > kRecentDays)
        state.recent.pop_front();
    const double close = day.figures[NSETrdQty] > 0 ? day.figures[NSEClPrice] : 0.0;
    state.closes.push_back(close);
    if (state.closes.size() > kClosesKept)
        state.closes.pop_front();
    if (close <= 0)
        return;
    // The averages as the bhavcopy table carries them over its "EQ" rows.
    auto carry = [close](EmaTrack& track, const computations::EmaPeriod& period) {
        if (track.value) {
            track.value = computations::emaStep(*track.value, close, period);
            return;
        }
        track.firstCloses.push_back(close);
        if (track.firstCloses.size() == static_cast<size_t>(period.days)) {
            track.value = computations::emaSeed(track.firstCloses);
            track.firstCloses.clear();
        }
    };
    carry(state.ema14, computations::kEma14);
    carry(state.ema34, computations::kEma34);
}

QList<QDate> MarketGenerator::tradingDays(const QDate& first, int count)
{
    QList<QDate> days;
    QDate day = firstWeekdayFrom(first);
    for (int i = 0; i < count; ++i) {
        days.append(day);
        day = firstWeekdayFrom(day.addDays(1));
    }
    return days;
}

}  // namespace marketgen
