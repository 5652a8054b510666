#pragma once

#include <QString>

namespace query {

// The exchange option of the query screen.
enum class Exchange { Nse, Bse, Combined };

// "NSE", "BSE" or "NSE & BSE", as screens and report headings show it.
QString exchangeName(Exchange exchange);

}  // namespace query
