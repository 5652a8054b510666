#pragma once

#include "marketgenerator.h"
#include "store/database.h"

#include <QVariantList>

// Rows of `mto` as the tests compare them: every column in table order,
// sorted by day and scrip, with the storage type of each value.
inline QList<QVariantList> storedMtoRows(store::Database& db)
{
    const store::Rows rows = db.query(QStringLiteral(
        "SELECT TransDate, scriptcode, NSEScriptCode, BSEScriptCode, NSETrdQty, BSETrdQty, NSEDelyQty, BSEDelyQty, "
        "NSEPerc, BSEPerc, NSEClPrice, BSEClPrice, typeof(BSEScriptCode) FROM mto ORDER BY TransDate, scriptcode"));
    return rows.rows;
}

// The rows that `day` should give, in the same form as storedMtoRows.
inline QList<QVariantList> expectedMtoRows(const marketgen::MarketGenerator& generator,
                                           const marketgen::MarketDay& day)
{
    QList<QVariantList> expected;
    for (const auto& scripDay : day.scrips) {
        const import::MtoRow row = generator.row(scripDay);
        QVariantList values{day.day, QVariant::fromValue<qint64>(row.scriptcode),
                            QString::fromLatin1(row.nseScriptCode.data(), qsizetype(row.nseScriptCode.size())),
                            QString::fromLatin1(row.bseScriptCode.data(), qsizetype(row.bseScriptCode.size()))};
        for (double figure : row.figures)
            values.append(figure);
        values.append(QStringLiteral("text"));
        expected.append(values);
    }
    std::sort(expected.begin(), expected.end(),
              [](const QVariantList& a, const QVariantList& b) { return a[1].toLongLong() < b[1].toLongLong(); });
    return expected;
}

// Empty when both lists hold the same rows, else the first difference.
inline QString firstDifference(const QList<QVariantList>& actual, const QList<QVariantList>& expected)
{
    auto show = [](const QVariantList& row) {
        QStringList texts;
        for (const QVariant& value : row)
            texts.append(value.toString());
        return texts.join(QLatin1Char('|'));
    };
    for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i) {
        if (actual[i] != expected[i])
            return QStringLiteral("row %1: stored %2, expected %3").arg(i).arg(show(actual[i]), show(expected[i]));
    }
    if (actual.size() != expected.size())
        return QStringLiteral("%1 rows stored, %2 expected").arg(actual.size()).arg(expected.size());
    return {};
}
