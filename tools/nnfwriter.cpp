#include "nnfwriter.h"

#include <QSaveFile>
#include <stdexcept>

namespace marketgen {

QList<NnfSecurity> nnfSecurities(const MarketGenerator& generator)
{
    QList<NnfSecurity> securities;
    for (const Scrip& scrip : generator.scrips()) {
        securities.append({1000 + scrip.srno, scrip.nseSymbol, QStringLiteral("EQ"), scrip.company});
        if (scrip.srno % 7 == 0)
            securities.append({50000 + scrip.srno, scrip.nseSymbol, QStringLiteral("BE"), scrip.company});
        if (scrip.srno % 11 == 0)
            securities.append({70000 + scrip.srno, scrip.nseSymbol, QStringLiteral("BL"), scrip.company});
    }
    return securities;
}

QByteArray nnfSecurityFile(const QList<NnfSecurity>& securities, bool windowsLineEnds)
{
    const QByteArray lineEnd = windowsLineEnds ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    QByteArray out = QByteArrayLiteral("Token|Symbol|Series|Security Name|") + lineEnd;
    for (const NnfSecurity& security : securities) {
        out.append(QByteArray::number(security.number));
        out.append('|');
        out.append(security.symbol.toLatin1());
        out.append('|');
        out.append(security.series.toLatin1());
        out.append('|');
        out.append(security.name.toLatin1());
        out.append('|');
        out.append(lineEnd);
    }
    return out;
}

QString writeNnfSecurityFile(const QString& path, const QList<NnfSecurity>& securities, bool windowsLineEnds)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(nnfSecurityFile(securities, windowsLineEnds)) < 0 ||
        !out.commit())
        throw std::runtime_error(QStringLiteral("%1 could not be written: %2").arg(path, out.errorString()).toStdString());
    return path;
}

}  // namespace marketgen
