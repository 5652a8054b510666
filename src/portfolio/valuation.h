#pragma once

#include "store/database.h"

#include <QDate>
#include <QList>
#include <optional>

// The valuation of the portfolio holdings at one trading day's closing
// prices: the rows that the portfolio reports print.
namespace portfolio {

enum class ValuationKind {
    Summary,     // net holding per portfolio and scrip, its value and gain or loss
    Detail,      // one line per transaction with the day's price
    SectorWise,  // the summary split by the scrips' sector groups
};

enum class ValuationOrder { PortfolioWise, ScriptWise };

struct ValuationRequest {
    ValuationKind kind = ValuationKind::Detail;
    ValuationOrder order = ValuationOrder::PortfolioWise;
    QDate day;                            // the valuation day
    std::optional<qint64> portfolioCode;  // only this portfolio
    std::optional<qint64> scripCode;      // only this scrip
};

// The trading days of the market table, newest first.
QList<QDate> tradingDays(store::Database& db);

// The report rows of `request`. Only "Buy" and "Sell" transactions count
// (the letters "B" and "S" read as those),
// and only those whose portfolio and scrip exist. The day's price is the NSE
// close when above 0, else the BSE close; a scrip without a row that day has
// no price, value or gain.
//  Summary:    Name, Company, NetQty, PurAmt, SalesAmt, NetPurchase, CurrPrice, NetValue, Gainloss
//  Detail:     Name, Company, tdt, PurQty, SellQty, PurAmt, SalesAmt, CurrPrice
//  SectorWise: Name, GroupName, company, NetQty, PurAmt, SalesAmt, NetPurchase, CurrPrice, NetValue,
//              Gainloss, srno
// Sector groups are those with a numeric code, and BANKS; a scrip in two of
// them is listed under both.
store::Rows valuationRows(store::Database& db, const ValuationRequest& request);

// True for the code of a sector group.
bool isSectorGroup(const QString& groupCode);

}  // namespace portfolio
