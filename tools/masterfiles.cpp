#include "masterfiles.h"

namespace marketgen {

QByteArray sqlText(const QString& text)
{
    QByteArray quoted = text.toUtf8();
    quoted.replace('\'', "''");
    return '\'' + quoted + '\'';
}

QByteArray scripMasterFile(const QList<Scrip>& scrips)
{
    QByteArray file;
    for (const Scrip& scrip : scrips) {
        file += "insert into scripmaster values(" + QByteArray::number(scrip.srno) + ',' + sqlText(scrip.company) +
                ',' + sqlText(scrip.nseSymbol) + ',' + sqlText(scrip.bseCode) + ")\r\n";
    }
    return file;
}

QByteArray derivativeGroupFile(const QList<qint64>& members)
{
    QByteArray file;
    for (const qint64 scrip : members)
        file += "insert into linkdetails values('Derivative'," + QByteArray::number(scrip) + ")\r\n";
    return file;
}

}  // namespace marketgen
