#pragma once

#include "query/exchange.h"

#include <QDate>
#include <QList>
#include <QString>
#include <array>

namespace query {

// The five range filters of the query screen, in the order of their check
// boxes: "Rate", "Trading Qty", "Delivery Qty", "% Delivery Qty", "Trades".
enum class RangeMeasure { Price, TradedQty, DeliveryQty, DeliveryPercent, Trades };
inline constexpr int kRangeMeasureCount = 5;

// One range filter: its check box and the numbers of its two bound boxes.
struct RangeBox {
    bool ticked = false;
    double low = 0;
    double high = 0;

    // The bounds as the boxes hold them: each text read for its leading
    // number, 0 when it has none ("1,500" gives 1).
    static RangeBox fromTexts(bool ticked, const QString& lowText, const QString& highText);
};

// The query screen's controls at the moment a run starts.
struct RunInputs {
    int group = 1;            // the query-group option, 1 to 9
    QString label;            // the chosen query, compared exactly
    QDate firstDate;          // the trading date; null when none is chosen
    QDate secondDate;         // the second date; null when none is chosen
    QString numberText;       // the first number box (N, days or percentage) as typed
    QString number2Text;      // the second number box as typed
    Exchange exchange = Exchange::Nse;
    QString groupCode;        // code of the chosen scrip group; "ALL" or empty: no restriction
    QString groupName;        // the chosen group's name as shown
    QList<qint64> scripCodes; // the chosen scrips (their ScripMaster.srno), "ALL" left out
    QString scripText;        // the scrip list's current item
    std::array<RangeBox, kRangeMeasureCount> ranges{};
    // The options (open-interest) database file of the settings, read by the
    // open-interest queries.
    QString optionPath;
    // The data folder, where the client exports write their files.
    QString dataFolder;

    RangeBox& range(RangeMeasure measure) { return ranges[static_cast<int>(measure)]; }
    const RangeBox& range(RangeMeasure measure) const { return ranges[static_cast<int>(measure)]; }
};

}  // namespace query
