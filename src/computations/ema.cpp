#include "computations/ema.h"

#include "store/database.h"
#include "store/jetfunctions.h"
#include "store/transaction.h"

namespace computations {

namespace {

// How a stored average is read when the series goes on from it.
double asStored(double value)
{
    return static_cast<double>(static_cast<float>(value));
}

}  // namespace

double emaStep(double previousStored, double close, const EmaPeriod& period)
{
    const double previous = asStored(previousStored);
    return previous + period.factor * (close - previous);
}

double emaSeed(std::span<const double> firstCloses)
{
    if (firstCloses.empty())
        return 0.0;
    double sum = 0.0;
    for (const double close : firstCloses)
        sum += close;
    return asStored(store::jetRound(sum / static_cast<double>(firstCloses.size()), 4));
}

std::vector<std::optional<double>> emaSeries(std::span<const double> closes, const EmaPeriod& period)
{
    std::vector<std::optional<double>> values(closes.size());
    const auto n = static_cast<size_t>(period.days);
    if (period.days < 1 || closes.size() < n)
        return values;
    double previous = emaSeed(closes.first(n));
    values[n - 1] = previous;
    for (size_t i = n; i < closes.size(); ++i) {
        previous = emaStep(previous, closes[i], period);
        values[i] = previous;
    }
    return values;
}

int rebuildSymbolEma(store::Database& db, const QString& symbol, const EmaPeriod& period, const QDate& through)
{
    QString select = QStringLiteral(
        "SELECT rowid, closeprice FROM allbhavcopy WHERE symbol = ? AND series = 'EQ' AND closeprice IS NOT NULL");
    store::Params params{symbol};
    if (through.isValid()) {
        select += QStringLiteral(" AND TransDate <= ?");
        params.append(through);
    }
    select += QStringLiteral(" ORDER BY TransDate");
    const store::Rows rows = db.query(select, params);
    if (rows.size() < period.days)
        return 0;

    std::vector<double> closes;
    closes.reserve(static_cast<size_t>(rows.size()));
    for (const QVariantList& row : rows.rows)
        closes.push_back(row[1].toDouble());
    const std::vector<std::optional<double>> values = emaSeries(closes, period);

    store::Statement update(db, QStringLiteral("UPDATE allbhavcopy SET %1 = ? WHERE rowid = ?")
                                    .arg(QLatin1String(period.column)));
    int written = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        if (!values[i])
            continue;
        update.run({*values[i], rows.rows[static_cast<qsizetype>(i)][0]});
        ++written;
    }
    return written;
}

qint64 rebuildAllEma(store::Database& db, const EmaPeriod& period, const EmaProgress& progress)
{
    QStringList symbols;
    for (const QVariantList& row : db.query(QStringLiteral("SELECT symbol FROM derisymbol ORDER BY symbol")).rows) {
        const QString symbol = row[0].toString().trimmed();
        if (!symbol.isEmpty())
            symbols.append(symbol);
    }
    store::Transaction transaction(db);
    qint64 written = 0;
    for (int i = 0; i < symbols.size(); ++i) {
        if (progress)
            progress(i, static_cast<int>(symbols.size()), symbols[i]);
        written += rebuildSymbolEma(db, symbols[i], period);
    }
    transaction.commit();
    if (progress)
        progress(static_cast<int>(symbols.size()), static_cast<int>(symbols.size()), QString());
    return written;
}

}  // namespace computations
