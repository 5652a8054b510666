#pragma once

#include "bhavcopywriter.h"
#include "import/bhavcopyfile.h"
#include "store/database.h"

#include <QDir>
#include <QFile>

// Hand-made bhavcopy rows and files for the bhavcopy and EMA tests.
inline import::bhavcopyfile::Row bhavRow(const QString& symbol, const QString& series, double close,
                                         double quantity = 1000)
{
    using namespace import::bhavcopyfile;
    Row row;
    row.symbol = symbol;
    row.series = series;
    row.figures[Open] = close - 1;
    row.figures[High] = close + 2;
    row.figures[Low] = close - 2;
    row.figures[Close] = close;
    row.figures[Last] = close + 0.05;
    row.figures[PrevClose] = close - 0.5;
    row.figures[TotTrdQty] = quantity;
    row.figures[TotTrdVal] = quantity * close;
    return row;
}

// Writes `rows` as the bhavcopy of `day` into `folder`; returns the path.
inline QString writeBhavcopy(const QString& folder, const QDate& day, const QList<import::bhavcopyfile::Row>& rows)
{
    return marketgen::BhavcopyWriter::writeFile(folder, day, rows);
}

// Writes `text` as it is into folder/name; returns the path.
inline QString writeText(const QString& folder, const QString& name, const QByteArray& text)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return QString();
    return path;
}

// Every allbhavcopy row as text, ordered, to compare whole tables.
inline QStringList bhavcopyTable(store::Database& db)
{
    QStringList rows;
    for (const auto& row : db.query(QStringLiteral("SELECT symbol, series, openprice, highprice, lowprice, closeprice, "
                                                   "lastprice, prevclose, tottrdqty, tottrdval, TransDate, EMA14Days, "
                                                   "EMA34days FROM allbhavcopy ORDER BY TransDate, symbol, series"))
                               .rows) {
        QStringList values;
        for (const QVariant& value : row)
            values.append(value.isNull() ? QStringLiteral("<null>") : value.toString());
        rows.append(values.join(QLatin1Char('|')));
    }
    return rows;
}
