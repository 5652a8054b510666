#pragma once

#include "bhavcopywriter.h"
#include "import/bhavcopyfile.h"
#include "store/database.h"

#include <QDir>
#include <QFile>

// Hand-made bhavcopy rows and files for the import tests.
inline import::bhavcopyfile::Row bhavRow(const QString& symbol, const QString& series, double close,
                                         double quantity = 1000)
{
    // OPEN, HIGH, LOW, CLOSE, LAST, PREVCLOSE, TOTTRDQTY, TOTTRDVAL
    return {symbol, series,
            {close - 1, close + 2, close - 2, close, close + 0.05, close - 0.5, quantity, quantity * close}};
}

// Writes `text` as it is into folder/name; returns the path.
inline QString writeText(const QString& folder, const QString& name, const QByteArray& text)
{
    QFile file(QDir(folder).filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? file.fileName() : QString();
}

// Every allbhavcopy row as text, ordered, to compare whole tables.
inline QStringList bhavcopyTable(store::Database& db)
{
    QStringList rows;
    for (const auto& row : db.query("SELECT symbol || '|' || series || '|' || openprice || '|' || highprice || '|' || "
                                    "lowprice || '|' || closeprice || '|' || lastprice || '|' || prevclose || '|' || "
                                    "tottrdqty || '|' || tottrdval || '|' || TransDate || '|' || ifnull(EMA14Days, "
                                    "'<null>') || '|' || ifnull(EMA34days, '<null>') FROM allbhavcopy "
                                    "ORDER BY TransDate, symbol, series").rows)
        rows.append(row[0].toString());
    return rows;
}
