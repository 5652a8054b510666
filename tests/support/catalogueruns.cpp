#include "support/catalogueruns.h"

#include "query/catalogue.h"
#include "query/parametersetup.h"
#include "query/tradingcalendar.h"

#include <QDir>

using namespace query;

RunInputs screenDefaults(int group, const QString& label, Exchange exchange, const QList<QDate>& dates,
                         const QString& folder)
{
    ParameterFields fields;
    fields.firstDate = dates.first();
    fields.secondDate = dates.first();
    const ParameterSetup setup = setUpParameters(group, label, fields, dates);
    RunInputs in;
    in.group = group;
    in.label = label;
    in.firstDate = setup.fields.firstDate;
    in.secondDate = setup.fields.secondDate;
    if (setup.fields.secondDateShown && in.secondDate == in.firstDate && !secondDateFollowsDays(label))
        in.secondDate = dates.at(19);
    in.numberText = setup.fields.number.text;
    in.number2Text = setup.fields.number2.text;
    in.exchange = setup.chooseCombine ? Exchange::Combined : exchange;
    in.groupCode = QStringLiteral("ALL");
    in.groupName = QStringLiteral(" All Stocks");
    if (!setup.groupName.isEmpty()) {
        in.groupCode = QStringLiteral("Derivative");
        in.groupName = setup.groupName;
    }
    for (const auto& preset : setup.rangePresets)
        in.range(preset.measure) = rangeFromBoxes(true, preset.lowText, QString());
    in.optionPath = QDir(folder).filePath(QStringLiteral("option.db"));
    in.dataFolder = folder;
    return in;
}

void forEveryCatalogueRun(const QList<QDate>& dates, const QString& folder,
                          const std::function<void(const RunInputs&, Exchange)>& visit)
{
    for (const QueryGroup& group : queryGroups()) {
        QList<Exchange> modes{Exchange::Nse, Exchange::Bse};
        if (group.combine != ControlChange::Disable)
            modes.append(Exchange::Combined);
        for (const QString& label : group.labels)
            for (const Exchange mode : modes)
                visit(screenDefaults(group.number, label, mode, dates, folder), mode);
    }
}
