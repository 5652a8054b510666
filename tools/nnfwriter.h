#pragma once

#include "marketgenerator.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace marketgen {

// One line of an NNF security file.
struct NnfSecurity {
    qint64 number = 0;
    QString symbol;
    QString series;
    QString name;
};

// The securities of the generator's scrips: each in series "EQ", and every
// seventh scrip also in "BE" and every eleventh in "BL", numbered apart.
QList<NnfSecurity> nnfSecurities(const MarketGenerator& generator);

// The text of an NNF security file: a header line, then
// "number|symbol|series|name|" per security.
QByteArray nnfSecurityFile(const QList<NnfSecurity>& securities, bool windowsLineEnds = true);
// Writes it at `path` (replacing a file there) and returns the path. Raises
// std::runtime_error when it cannot be written.
QString writeNnfSecurityFile(const QString& path, const QList<NnfSecurity>& securities, bool windowsLineEnds = true);

}  // namespace marketgen
