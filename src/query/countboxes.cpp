#include "query/countboxes.h"

#include "query/catalogue.h"
#include "query/parametersetup.h"
#include "query/runstate.h"

#include <QRegularExpression>

namespace query {

namespace {

// The queries that scan each scrip's N newest days, which they keep in
// series of at most kMaxScanDays entries.
bool isScan(int group, const QString& label)
{
    switch (group) {
    case 2:
        return label == QLatin1String("Delivery Qty moving above Average Delivery Qty") ||
               label == QLatin1String("Delivery Qty moving below Average Delivery Qty") ||
               label == QLatin1String("Delivery % Qty moving above its Average % Delivery Qty") ||
               label == QLatin1String("Delivery % Qty moving below its Average % Delivery Qty");
    case 3:
        return true;
    case 6: {
        // The two- and three-condition scans lead the list; the two labels
        // that no list offers scan as well.
        const int position = labelPosition(group, label);
        return (position >= 0 && position < 18) ||
               label == QLatin1String("Increasing Delivery Qty & Increasing Price") ||
               label == QLatin1String("Increasing Delivery Qty & Decreasing Price");
    }
    case 9:
        return label == QLatin1String("Delivery Quantity") || label == QLatin1String("% Delivery Quantity") ||
               label == QLatin1String("Traded Quantity") || label == QLatin1String("Rate");
    default:
        return false;
    }
}

// A shown box counts unless its caption asks for a percentage.
std::optional<CountBox> countBox(const NumberField& field, int maximum)
{
    if (!field.shown || field.caption.contains(QLatin1Char('%')))
        return std::nullopt;
    CountBox box;
    box.caption = field.caption;
    box.days = field.caption != QLatin1String("Value of 'N'");
    box.maximum = maximum;
    return box;
}

}  // namespace

CountBoxes countBoxes(int group, const QString& label)
{
    const ParameterFields fields = setUpParameters(group, label, ParameterFields{}, {}).fields;
    const bool scan = isScan(group, label);
    const int maximum = scan ? kMaxScanDays : CountBox{}.maximum;
    CountBoxes boxes;
    boxes.first = countBox(fields.number, maximum);
    boxes.second = countBox(fields.number2, maximum);
    // The falling days of a run come on top of its rising days, and a run
    // may have none.
    if (boxes.second && fields.number2.caption == QLatin1String("Falling For")) {
        boxes.second->minimum = 0;
        if (scan)
            boxes.jointMaximum = kMaxScanDays;
    }
    return boxes;
}

int readCount(const QString& text, const CountBox& box)
{
    static const QRegularExpression whole(QStringLiteral("^\\s*\\+?([0-9]+)(\\.0*)?\\s*$"));
    const QRegularExpressionMatch match = whole.match(text);
    bool isNumber = false;
    const qlonglong count = match.hasMatch() ? match.captured(1).toLongLong(&isNumber) : 0;
    if (!isNumber || count < box.minimum || count > box.maximum)
        throw Refusal(countRefusal(box));
    return static_cast<int>(count);
}

WindowBox windowBox(int group, const QString& label)
{
    if (setUpParameters(group, label, ParameterFields{}, {}).fields.secondDateShown)
        return WindowBox::None;
    const CountBoxes boxes = countBoxes(group, label);
    if (boxes.first && boxes.first->days)
        return WindowBox::First;
    if (boxes.second && boxes.second->days)
        return WindowBox::Second;
    return WindowBox::None;
}

QString countRefusal(const CountBox& box)
{
    return QStringLiteral("Enter a whole number%1 from %2 to %3 in \"%4\".")
        .arg(box.days ? QStringLiteral(" of days") : QString(), QString::number(box.minimum),
             QString::number(box.maximum), box.caption);
}

}  // namespace query
