#pragma once

// The runs of the query benchmarks: every label of the catalogue once, with
// the inputs the query screen gives it when chosen on the newest trading
// day, and a prompt that keeps the runs quiet.

#include "query/catalogue.h"
#include "query/parametersetup.h"
#include "query/queryengine.h"
#include "query/tradingcalendar.h"
#include "ui/prompt.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

namespace querycases {

// Answers every question of a query with No (the exports are not timed) and
// keeps every message quiet.
class QuietPrompt : public ui::Prompt {
public:
    ui::Answer show(const ui::Message& message) override
    {
        if (message.buttons == ui::Buttons::YesNo || message.buttons == ui::Buttons::YesNoCancel)
            return ui::Answer::No;
        if (message.buttons == ui::Buttons::Ok)
            return ui::Answer::Ok;
        return ui::Answer::Cancel;
    }
    QString openFile(const ui::FileRequest&) override { return {}; }
    QString saveFile(const ui::FileRequest&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override { return std::nullopt; }
    std::optional<QColor> chooseColour(const QColor&, const QString&) override { return std::nullopt; }
};

// How a query reads its window of days.
enum class WindowKind {
    OneDay,      // a day (and the day before): run once
    SecondDate,  // between the first and the second date
    DaysNumber,  // N trading days in the first number box
    DaysNumber2, // N trading days in the second number box
};

struct Case {
    int group;
    QString label;
    WindowKind kind;
    query::RunInputs base;
};

inline QString windowName(WindowKind kind)
{
    switch (kind) {
    case WindowKind::OneDay: return QStringLiteral("day");
    case WindowKind::SecondDate: return QStringLiteral("dates");
    case WindowKind::DaysNumber: return QStringLiteral("N box");
    case WindowKind::DaysNumber2: return QStringLiteral("N2 box");
    }
    return {};
}

inline const char* statusText(query::RunStatus status)
{
    switch (status) {
    case query::RunStatus::Completed: return "ok";
    case query::RunStatus::Refused: return "refused";
    case query::RunStatus::NotBuilt: return "not built";
    case query::RunStatus::Failed: return "failed";
    case query::RunStatus::Stopped: return "stopped";
    }
    return "?";
}

// Every label once (the first group that lists it), with the inputs the
// query screen gives it when chosen on the newest trading day.
inline QList<Case> makeCases(const QList<QDate>& dates, const QString& dataFolder, const QString& optionsPath)
{
    QList<Case> cases;
    QSet<QString> seen;
    for (const auto& group : query::queryGroups()) {
        for (const QString& label : group.labels) {
            if (seen.contains(label))
                continue;
            seen.insert(label);
            query::ParameterFields fields;
            fields.firstDate = dates.first();
            fields.secondDate = dates.first();
            const query::ParameterSetup setup = query::setUpParameters(group.number, label, fields, dates);
            Case c{group.number, label, WindowKind::OneDay, {}};
            query::RunInputs& in = c.base;
            in.group = group.number;
            in.label = label;
            in.firstDate = setup.fields.firstDate;
            in.secondDate = setup.fields.secondDate;
            in.numberText = setup.fields.number.text;
            in.number2Text = setup.fields.number2.text;
            in.exchange = setup.chooseCombine ? query::Exchange::Combined : query::Exchange::Nse;
            in.groupCode = QStringLiteral("ALL");
            in.groupName = QStringLiteral(" All Stocks");
            if (setup.groupName == QLatin1String("Derivatives F & O")) {
                in.groupCode = QStringLiteral("Derivative");
                in.groupName = setup.groupName;
            }
            for (const auto& preset : setup.rangePresets)
                in.range(preset.measure) = query::rangeFromBoxes(true, preset.lowText, QString());
            in.optionPath = optionsPath;
            in.dataFolder = dataFolder;
            if (query::secondDateFollowsDays(label) ||
                (setup.fields.number.shown && setup.fields.number.caption == QLatin1String("No Of Days")))
                c.kind = WindowKind::DaysNumber;
            else if (setup.fields.number2.shown && setup.fields.number2.caption == QLatin1String("No Of Days"))
                c.kind = WindowKind::DaysNumber2;
            else if (setup.fields.secondDateShown)
                c.kind = WindowKind::SecondDate;
            cases.append(c);
        }
    }
    return cases;
}

// The inputs of `c` over a window of `days` trading days (0: the case as it comes).
inline query::RunInputs withWindow(const Case& c, int days, const QList<QDate>& dates)
{
    query::RunInputs in = c.base;
    if (days <= 0)
        return in;
    const QString n = QString::number(days);
    switch (c.kind) {
    case WindowKind::OneDay:
        break;
    case WindowKind::SecondDate:
        in.secondDate = dates.at(days - 1);
        break;
    case WindowKind::DaysNumber:
        in.numberText = n;
        if (query::secondDateFollowsDays(c.label))
            in.secondDate = query::windowStartDate(in.firstDate, n, dates);
        break;
    case WindowKind::DaysNumber2:
        in.number2Text = n;
        break;
    }
    return in;
}

inline QString exchangeShort(query::Exchange exchange)
{
    switch (exchange) {
    case query::Exchange::Nse: return QStringLiteral("NSE");
    case query::Exchange::Bse: return QStringLiteral("BSE");
    case query::Exchange::Combined: return QStringLiteral("NSE&BSE");
    }
    return {};
}

}  // namespace querycases
