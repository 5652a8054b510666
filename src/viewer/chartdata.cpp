#include "viewer/chartdata.h"

#include "store/datetext.h"

namespace viewer {

namespace {

bool isBlank(const QString& text)
{
    return text.trimmed().isEmpty();
}

std::optional<double> numberOf(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return std::nullopt;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

QString categoryText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDate)
        return datetext::toDisplay(value.toDate());
    return value.toString();
}

}  // namespace

ChartStatement chartStatement(const QList<store::Column>& resultColumns, const ChartColumns& chosen,
                              const QList<SortKey>& order)
{
    ChartStatement statement;
    if (isBlank(chosen.xAxis) || isBlank(chosen.yAxis)) {
        statement.problem = kChartAxesMissing;
        return statement;
    }
    QStringList texts = {chosen.xAxis, chosen.yAxis};
    for (const QString& series : chosen.series) {
        if (!isBlank(series))
            texts.append(series);
    }
    QStringList selected;
    for (const QString& text : texts) {
        auto named = std::find_if(resultColumns.begin(), resultColumns.end(), [&text](const store::Column& column) {
            return column.name.compare(text, Qt::CaseInsensitive) == 0;
        });
        if (named == resultColumns.end()) {
            statement.problem = QStringLiteral("\"%1\" is not a column of the result.").arg(text);
            return statement;
        }
        selected.append(store::quoteIdentifier(named->name));
    }
    QStringList terms;
    for (const SortKey& key : order) {
        if (key.column < 0 || key.column >= resultColumns.size())
            continue;
        terms.append(store::quoteIdentifier(kResultTable) + QLatin1Char('.') +
                     store::quoteIdentifier(resultColumns[key.column].name) +
                     (key.ascending ? QLatin1String(" ASC") : QLatin1String(" DESC")));
    }
    statement.sql = QStringLiteral("SELECT ") + selected.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                    store::quoteIdentifier(kResultTable);
    if (!terms.isEmpty())
        statement.sql += QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
    return statement;
}

ChartData chartDataFromRows(const store::Rows& rows, bool seriesInRows)
{
    ChartData data;
    const qsizetype columnCount = rows.columns.size();
    if (columnCount < 2)
        return data;
    if (!seriesInRows) {
        for (const QVariantList& row : rows.rows)
            data.categories.append(categoryText(row.value(0)));
        for (qsizetype column = 1; column < columnCount; ++column) {
            ChartSeriesData series;
            series.name = rows.columns[column].name;
            for (const QVariantList& row : rows.rows)
                series.values.append(numberOf(row.value(column)));
            data.series.append(series);
        }
        return data;
    }
    for (qsizetype column = 1; column < columnCount; ++column)
        data.categories.append(rows.columns[column].name);
    for (const QVariantList& row : rows.rows) {
        ChartSeriesData series;
        series.name = categoryText(row.value(0));
        for (qsizetype column = 1; column < columnCount; ++column)
            series.values.append(numberOf(row.value(column)));
        data.series.append(series);
    }
    return data;
}

bool isThreeD(ChartType type)
{
    return type == ChartType::Bar3D || type == ChartType::Line3D || type == ChartType::Step3D;
}

QColor seriesColour(const ChartLook& look, int series)
{
    static const QList<QColor> palette = {
        QColor(0x20, 0x6f, 0xc4), QColor(0xd9, 0x53, 0x1e), QColor(0x3a, 0x9a, 0x3f), QColor(0xe0, 0xa1, 0x1b),
        QColor(0x7b, 0x4f, 0xb8), QColor(0x1b, 0xa3, 0xa8), QColor(0xc2, 0x3b, 0x7a), QColor(0x7d, 0x6b, 0x4e),
        QColor(0x5b, 0x8e, 0xdc), QColor(0x9c, 0xb8, 0x2e), QColor(0xe8, 0x6f, 0x5d), QColor(0x4d, 0x5a, 0x6a),
    };
    if (look.seriesColours.contains(series))
        return look.seriesColours.value(series);
    return palette.at(std::max(series, 0) % palette.size());
}

}  // namespace viewer
