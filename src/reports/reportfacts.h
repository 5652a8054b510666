#pragma once

#include "query/exchange.h"

#include <QDate>
#include <QString>

// The facts about one query run that a printed report shows in its headings
// and that decide which layout prints it. Plain values: the query screen
// fills them from its inputs, the result viewer passes on the ones of the
// result it shows.
namespace reports {

// The query group options of the query screen, by their number.
enum class QueryGroup : int {
    None = 0,
    Average = 1,        // "Average Queries"
    Statistical = 2,    // "Statistical Queries"
    RisingFalling = 3,  // "Rising && Falling Queries"
    TopBottom = 4,      // "Top && Bottom Queries"
    Price = 5,          // "Price Queries"
    Combined = 6,       // "Combined Queries"
    Misc = 7,           // "Misc. Queries"
    Kelvarn = 8,        // "Kelvarn Queries"
    Research = 9,       // "Research Queries"
};

using query::Exchange;
using query::exchangeName;

// One number box of the query screen with its caption ("No Of Days", "3").
struct QueryParameter {
    QString caption;
    QString text;
};

struct ReportFacts {
    QString queryLabel;  // the chosen query's label, exactly as listed
    QueryGroup queryGroup = QueryGroup::None;
    Exchange exchange = Exchange::Nse;
    QString groupName;   // the chosen scrip group's name
    QDate firstDate;
    QDate secondDate;
    QueryParameter firstParameter;   // the main number box (N, a percentage) and its caption
    QueryParameter secondParameter;  // the second number box and its caption
};

}  // namespace reports
