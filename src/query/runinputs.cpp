#include "query/runinputs.h"

#include "store/jetfunctions.h"

namespace query {

RangeBox RangeBox::fromTexts(bool ticked, const QString& lowText, const QString& highText)
{
    return {ticked, store::jetVal(lowText), store::jetVal(highText)};
}

QString exchangeName(Exchange exchange)
{
    switch (exchange) {
    case Exchange::Nse:
        return QStringLiteral("NSE");
    case Exchange::Bse:
        return QStringLiteral("BSE");
    case Exchange::Combined:
        break;
    }
    return QStringLiteral("NSE & BSE");
}

}  // namespace query
