#include "query/exchange.h"

namespace query {

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
