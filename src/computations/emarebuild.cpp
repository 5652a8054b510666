#include "computations/emarebuild.h"

#include "computations/ema.h"

namespace computations {

qint64 rebuildEmaWithProgress(store::Database& db, const EmaPeriod& period, const query::ProgressCallback& progress)
{
    return rebuildAllEma(db, period, [&progress](int done, int total, const QString& symbol) {
        if (progress && !symbol.isEmpty())
            progress(QStringLiteral("Processing For Scrip  ") + symbol, done, total);
    });
}

qint64 EMA14Day(store::Database& db, const query::ProgressCallback& progress)
{
    return rebuildEmaWithProgress(db, kEma14, progress);
}

qint64 EMA34Day(store::Database& db, const query::ProgressCallback& progress)
{
    return rebuildEmaWithProgress(db, kEma34, progress);
}

}  // namespace computations
