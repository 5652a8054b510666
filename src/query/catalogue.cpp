#include "query/catalogue.h"

#include <stdexcept>

namespace query {

namespace {

QList<QueryGroup> makeGroups()
{
    using C = ControlChange;
    QList<QueryGroup> groups;

    groups.append({1, QStringLiteral("Average Queries"),
                   {QStringLiteral("Average Traded Quantity [Between Dates]"),
                    QStringLiteral("Average Delivery Quantity [Between Dates]"),
                    QStringLiteral("Average % Delivery Quantity [Between Dates]"),
                    QStringLiteral("Highest Delivery Quantity [Between Dates]"),
                    QStringLiteral("Lowest Delivery Quantity [Between Dates]"),
                    QStringLiteral("Highest % Delivery Quantity [Between Dates]"),
                    QStringLiteral("Lowest % Delivery Quantity [Between Dates]"), QStringLiteral("Combined Report")},
                   QColor(255, 192, 192), C::Enable, C::Enable, C::Enable});

    groups.append({2, QStringLiteral("Statistical Queries"),
                   {QStringLiteral("Delivery Qty moving above Average Delivery Qty"),
                    QStringLiteral("Delivery Qty moving below Average Delivery Qty"),
                    QStringLiteral("Delivery % Qty moving above its Average % Delivery Qty"),
                    QStringLiteral("Delivery % Qty moving below its Average % Delivery Qty"),
                    QStringLiteral("Abnormal Change in delivery qty over previous day"),
                    QStringLiteral("Abnormal Change in % delivery qty over previous day"),
                    QStringLiteral("Abnormal Change in Trading qty over previous day"),
                    QStringLiteral("Abnormal Change in delivery qty above Average Delivery Qty"),
                    QStringLiteral("Abnormal Change in Trading qty above Average Trading Qty"),
                    QStringLiteral("Abnormal Change in Trading qty below Average Trading Qty"),
                    QStringLiteral("Rate Change in % Over n Days"),
                    QStringLiteral("Groupwise Delivery Statistics Over n days"),
                    QStringLiteral("Rate Above/Below High/Low"), QStringLiteral("Volume Above/Below High/Low"),
                    QStringLiteral("Delivery Above/Below High/Low"), QStringLiteral("Strev Query")},
                   QColor(255, 128, 128), C::Disable, C::Enable, C::Enable});

    groups.append({3, QStringLiteral("Rising && Falling Queries"),
                   {QStringLiteral("Rising Delivery Quantity for N days"),
                    QStringLiteral("Falling Delivery Quantity for N days"),
                    QStringLiteral("Rising % Delivery Quantity for N days"),
                    QStringLiteral("Falling % Delivery Quantity for N days"),
                    QStringLiteral("Rising Traded Quantity for N days"),
                    QStringLiteral("Falling Traded Quantity for N days"), QStringLiteral("Rising Price for N days"),
                    QStringLiteral("Falling Price for N days")},
                   QColor(255, 224, 192), C::Disable, C::Enable, C::Enable});

    groups.append({4, QStringLiteral("Top && Bottom Queries"),
                   {QStringLiteral("Top N Traded Quantity"), QStringLiteral("Top N Delivery Quantity"),
                    QStringLiteral("Top N % Delivery Quantity"), QStringLiteral("Bottom N Traded Quantity"),
                    QStringLiteral("Bottom N Delivery Quantity"), QStringLiteral("Bottom N % Delivery Quantity"),
                    QStringLiteral("Top N Combined Query"), QStringLiteral("Top N by Delivery Value")},
                   QColor(192, 192, 255), C::Disable, C::Enable, C::Enable});

    groups.append({5, QStringLiteral("Price Queries"),
                   {QStringLiteral("Top Gainer in price (%)"), QStringLiteral("Top Loser in price (%)"),
                    QStringLiteral("New 52 Week High in price"), QStringLiteral("New 52 Week Low in price"),
                    QStringLiteral("52 Week High / Low"), QStringLiteral("Top 5 Gainer & Loser")},
                   QColor(128, 255, 128), C::Disable, C::Disable, C::Unchanged});

    groups.append({6, QStringLiteral("Combined Queries"),
                   {QStringLiteral("Rising Traded Qty and Rising Delivery Qty"),
                    QStringLiteral("Rising Traded Qty and Falling Delivery Qty"),
                    QStringLiteral("Falling Traded Qty and Rising Delivery Qty"),
                    QStringLiteral("Falling Traded Qty and Falling Delivery Qty"),
                    QStringLiteral("Rising Traded Qty and Rising % Delivery Qty"),
                    QStringLiteral("Rising Traded Qty and Falling % Delivery Qty"),
                    QStringLiteral("Falling Traded Qty and Rising % Delivery Qty"),
                    QStringLiteral("Falling Traded Qty and Falling % Delivery Qty"),
                    QStringLiteral("Rising Price & Rising Delivery Quantity"),
                    QStringLiteral("Rising price & Falling Delivery Quantity"),
                    QStringLiteral("Falling price & Rising Delivery Quantity"),
                    QStringLiteral("Falling price & Falling Delivery Quantity"),
                    QStringLiteral("Rising Price & Rising % Delivery Quantity"),
                    QStringLiteral("Rising price & Falling % Delivery Quantity"),
                    QStringLiteral("Falling price & Rising % Delivery Quantity"),
                    QStringLiteral("Falling price & Falling % Delivery Quantity"),
                    QStringLiteral("Rising Traded Qty, Rising Delivery Qty, Rising Price"),
                    QStringLiteral("Rising Traded Qty, Rising Delivery Qty, Falling Price"),
                    QStringLiteral("Belmora - Price Query"), QStringLiteral("Delivery Value - Summary")},
                   QColor(255, 255, 128), C::Disable, C::Enable, C::Enable});

    groups.append({7, QStringLiteral("Misc. Queries"),
                   {QStringLiteral("View All Records"), QStringLiteral("Total Delivery Value"),
                    QStringLiteral("Total Delivery Value - Harnwell"), QStringLiteral("Total Delivery Value - GroupWise"),
                    QStringLiteral("Stock Statistics"), QStringLiteral("Maltry Query"), QStringLiteral("QXV Query"),
                    QStringLiteral("Pellam Query"), QStringLiteral("Ivro Query"),
                    QStringLiteral("Tovil Query - Cash Volume"), QStringLiteral("Tovil Query - Delivery Volume"),
                    QStringLiteral("Tovil Query - Delivery Value"), QStringLiteral("Top 5 Gainer & Loser"),
                    QStringLiteral("Delivery Value - Summary")},
                   QColor(255, 192, 255), C::Enable, C::Enable, C::Enable});

    groups.append({8, QStringLiteral("Kelvarn Queries"),
                   {QStringLiteral("Volume breakout with upward price"),
                    QStringLiteral("Volume breakout with downward price"),
                    QStringLiteral("Delivery breakout with upward price (Avg)"),
                    QStringLiteral("Delivery breakout with downward price (Avg)"),
                    QStringLiteral("Delivery breakout with upward price (Previous Day)"),
                    QStringLiteral("Delivery breakout with downward price (Previous Day)"),
                    QStringLiteral("Last N Days Movement"), QStringLiteral("Total Delivery Value for the rising scrips"),
                    QStringLiteral("Total Delivery Value for the falling scrips"),
                    QStringLiteral("Total Delivery Value for the unchanged scrips"),
                    QStringLiteral("Stocks by Delivery Value ( price has gone up )"),
                    QStringLiteral("Stocks by Delivery Value ( price has gone down )"),
                    QStringLiteral("Market Strength"), QStringLiteral("Abnormal Rise in Delivery Qty"),
                    QStringLiteral("Abnormal Fall in Delivery Qty"), QStringLiteral("Rise in Delivery Qty over 3 days"),
                    QStringLiteral("Fall in Delivery Qty over 3 days"), QStringLiteral("3 Months High Delivery"),
                    QStringLiteral("3 Months Low Delivery"), QStringLiteral("14 day EMA Positive"),
                    QStringLiteral("14 day EMA Negative"), QStringLiteral("34 day EMA Positive"),
                    QStringLiteral("34 day EMA Negative"), QStringLiteral("200 day SMA Positive"),
                    QStringLiteral("200 day SMA Negative"), QStringLiteral("Weekly High"), QStringLiteral("Weekly Low"),
                    QStringLiteral("Monthly High"), QStringLiteral("Monthly Low"), QStringLiteral("52 Week High"),
                    QStringLiteral("52 Week Low"), QStringLiteral("Rate Change")},
                   QColor(128, 255, 255), C::Enable, C::Unchanged, C::Unchanged});

    groups.append({9, QStringLiteral("Research Queries"),
                   {QStringLiteral("Delivery Quantity"), QStringLiteral("% Delivery Quantity"),
                    QStringLiteral("Traded Quantity"), QStringLiteral("Rate"),
                    QStringLiteral("Delivery breakout with upward price (Avg)"),
                    QStringLiteral("Delivery breakout with downward price (Avg)"),
                    QStringLiteral("Delivery breakout with upward price (Previous Day)"),
                    QStringLiteral("Delivery breakout with downward price (Previous Day)")},
                   QColor(128, 255, 128), C::Disable, C::Enable, C::Disable});
    return groups;
}

}  // namespace

const QList<QueryGroup>& queryGroups()
{
    static const QList<QueryGroup> groups = makeGroups();
    return groups;
}

const QueryGroup& queryGroup(int number)
{
    if (number < 1 || number > queryGroups().size())
        throw std::out_of_range("query group number out of range");
    return queryGroups().at(number - 1);
}

int labelPosition(int group, const QString& label)
{
    if (group < 1 || group > queryGroups().size())
        return -1;
    return static_cast<int>(queryGroup(group).labels.indexOf(label));
}

QStringList catalogueLabels()
{
    QStringList labels;
    for (const auto& group : queryGroups())
        for (const auto& label : group.labels)
            if (!labels.contains(label))
                labels.append(label);
    return labels;
}

QStringList separatorLabels()
{
    return {QString(25, QLatin1Char('-')), QString(53, QLatin1Char('-'))};
}

}  // namespace query
