#pragma once

#include "import/bhavcopyfile.h"
#include "marketgenerator.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <random>
#include <vector>

namespace marketgen {

struct BhavcopyOptions {
    quint64 seed = 7;
    // Share of the scrips that also trade in series "BE" every day.
    double otherSeriesShare = 0.05;
    // Files end their lines with "\r\n" (as published) or "\n".
    bool windowsLineEnds = true;
};

// Cash-market bhavcopies of generated days: one "EQ" row per scrip that
// traded on NSE that day, closing at the generator's NSE close, with open,
// high, low and last prices around it and the previous day's close; and a
// "BE" row for a few scrips. The same for the same seeds.
class BhavcopyWriter {
public:
    explicit BhavcopyWriter(const MarketGenerator& generator, const BhavcopyOptions& options = {});

    // The rows of `day`. Call it in day order: each scrip's previous close
    // is carried from one call to the next.
    QList<import::bhavcopyfile::Row> rows(const MarketDay& day);

    // The text of a bhavcopy of `rows` on `day`: the header, then a line per row.
    static QByteArray file(const QDate& day, const QList<import::bhavcopyfile::Row>& rows,
                           bool windowsLineEnds = true);
    // Writes it as folder/cm<dd><MMM><yyyy>bhav.csv (replacing a file of that
    // name) and returns the path. Raises std::runtime_error when it cannot be
    // written.
    static QString writeFile(const QString& folder, const QDate& day, const QList<import::bhavcopyfile::Row>& rows,
                             bool windowsLineEnds = true);
    // rows(day) written into `folder`.
    QString writeDay(const QString& folder, const MarketDay& day);

private:
    double uniform();
    double normal();

    const MarketGenerator& m_generator;
    BhavcopyOptions m_options;
    std::mt19937_64 m_random;
    std::vector<double> m_previousClose;  // 0 until the scrip first trades
    std::vector<bool> m_tradesOtherSeries;
};

}  // namespace marketgen
