#include "marketgenerator.h"

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

QDate firstWeekdayFrom(QDate day)
{
    while (day.dayOfWeek() > 5)
        day = day.addDays(1);
    return day;
}

}  // namespace

MarketGenerator::MarketGenerator(const GeneratorOptions& options) : m_options(options), m_random(options.seed)
{
    makeScrips();
}

double MarketGenerator::uniform()
{
    // 53 random bits: a value in [0, 1) that is the same on every platform
    // for a given seed (the engine's sequence is fixed by the standard).
    return static_cast<double>(m_random() >> 11) * 0x1.0p-53;
}

double MarketGenerator::normal()
{
    // Box-Muller; the standard library's normal distribution is not the same
    // everywhere, which would break reproducible data.
    const double u1 = 1.0 - uniform();
    const double u2 = uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

void MarketGenerator::makeScrips()
{
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

        ScripState state;
        state.nseSymbol = scrip.nseSymbol.toStdString();
        state.bseCode = scrip.bseCode.toStdString();
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

    state.nsePrice = toTick(state.nsePrice * std::exp(state.volatility * normal()));
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
}

MarketDay MarketGenerator::nextDay()
{
    MarketDay result;
    result.day = m_lastDay.isValid() ? firstWeekdayFrom(m_lastDay.addDays(1)) : firstWeekdayFrom(m_options.firstDay);
    m_lastDay = result.day;
    result.scrips.resize(m_states.size());
    for (size_t i = 0; i < m_states.size(); ++i) {
        result.scrips[i].scripIndex = static_cast<int>(i);
        walk(m_states[i], result.scrips[i]);
    }
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

qint64 MarketGenerator::fillMto(store::Database& db, int dayCount, const FillProgress& progress)
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
