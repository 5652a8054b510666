#include "bhavcopywriter.h"

#include <QDir>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace marketgen {

namespace {

using import::bhavcopyfile::Row;

double toTick(double price)
{
    return std::max(0.05, std::round(price * 20.0) / 20.0);
}

double roundTo2(double value)
{
    return std::round(value * 100.0) / 100.0;
}

}  // namespace

BhavcopyWriter::BhavcopyWriter(const MarketGenerator& generator, const BhavcopyOptions& options)
    : m_generator(generator), m_options(options), m_random(options.seed)
{
    const auto count = static_cast<size_t>(generator.scrips().size());
    m_previousClose.assign(count, 0.0);
    m_tradesOtherSeries.resize(count);
    for (size_t i = 0; i < count; ++i)
        m_tradesOtherSeries[i] = uniform() < options.otherSeriesShare;
}

double BhavcopyWriter::uniform()
{
    return static_cast<double>(m_random() >> 11) * 0x1.0p-53;
}

double BhavcopyWriter::normal()
{
    const double u1 = 1.0 - uniform();
    const double u2 = uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

QList<Row> BhavcopyWriter::rows(const MarketDay& day)
{
    using namespace import::bhavcopyfile;
    QList<Row> result;
    result.reserve(static_cast<qsizetype>(day.scrips.size()));
    for (const ScripDay& scripDay : day.scrips) {
        const auto index = static_cast<size_t>(scripDay.scripIndex);
        const double close = scripDay.figures[import::NSEClPrice];
        const double traded = scripDay.figures[import::NSETrdQty];
        if (close <= 0 || traded <= 0)
            continue;  // no NSE trade that day: no line
        const double previous = m_previousClose[index] > 0 ? m_previousClose[index] : close;
        m_previousClose[index] = close;

        Row row;
        row.symbol = m_generator.scrips().at(scripDay.scripIndex).nseSymbol;
        row.series = QStringLiteral("EQ");
        auto& f = row.figures;
        f[Open] = toTick(previous * (1.0 + 0.006 * normal()));
        f[High] = toTick(std::max(f[Open], close) * (1.0 + 0.01 * uniform()));
        f[Low] = toTick(std::min(f[Open], close) * (1.0 - 0.01 * uniform()));
        f[Close] = close;
        f[Last] = uniform() < 0.5 ? close : toTick(close + (uniform() < 0.5 ? -0.05 : 0.05));
        f[PrevClose] = previous;
        f[TotTrdQty] = traded;
        f[TotTrdVal] = roundTo2(traded * (f[Open] + f[High] + f[Low] + close) / 4.0);
        result.append(row);

        if (m_tradesOtherSeries[index]) {
            Row other = row;
            other.series = QStringLiteral("BE");
            other.figures[TotTrdQty] = std::max(1.0, std::round(traded * 0.02));
            other.figures[TotTrdVal] = roundTo2(other.figures[TotTrdQty] * close);
            result.append(other);
        }
    }
    return result;
}

QByteArray BhavcopyWriter::file(const QDate& day, const QList<Row>& rows, bool windowsLineEnds)
{
    const QByteArray lineEnd = windowsLineEnds ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    QByteArray out;
    out.reserve(rows.size() * 96 + 128);
    out.append(import::bhavcopyfile::kHeader.data(), static_cast<qsizetype>(import::bhavcopyfile::kHeader.size()));
    out.append(lineEnd);
    for (const Row& row : rows) {
        out.append(import::bhavcopyfile::lineText(row, day));
        out.append(lineEnd);
    }
    return out;
}

QString BhavcopyWriter::writeFile(const QString& folder, const QDate& day, const QList<Row>& rows,
                                  bool windowsLineEnds)
{
    const QString path = QDir(folder).filePath(import::bhavcopyfile::fileName(day));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file(day, rows, windowsLineEnds)) < 0 || !out.commit())
        throw std::runtime_error(QStringLiteral("%1 could not be written: %2").arg(path, out.errorString()).toStdString());
    return path;
}

QString BhavcopyWriter::writeDay(const QString& folder, const MarketDay& day)
{
    return writeFile(folder, day.day, rows(day), m_options.windowsLineEnds);
}

}  // namespace marketgen
