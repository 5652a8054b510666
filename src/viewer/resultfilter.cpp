#include "viewer/resultfilter.h"

#include "store/datetext.h"
#include "store/jetfunctions.h"

namespace viewer {

namespace {

const QString kLike = QStringLiteral("Like");

bool isWildcard(QChar c)
{
    return c == QLatin1Char('%') || c == QLatin1Char('*');
}

// -1, 0 or 1 as the cell orders against the condition's value; nothing when
// the two cannot be compared (an empty cell, a text in a number column).
std::optional<int> compareCell(const QVariant& cell, const FilterCondition& condition)
{
    if (cell.isNull())
        return std::nullopt;
    switch (condition.kind) {
    case store::ColumnKind::Integer:
    case store::ColumnKind::Real: {
        bool ok = false;
        const double number = cell.toDouble(&ok);
        if (!ok)
            return std::nullopt;
        const double wanted = condition.value.toDouble();
        return number < wanted ? -1 : (number > wanted ? 1 : 0);
    }
    case store::ColumnKind::Date: {
        if (cell.typeId() != QMetaType::QDate)
            return std::nullopt;
        const QDate date = cell.toDate(), wanted = condition.value.toDate();
        return date < wanted ? -1 : (date > wanted ? 1 : 0);
    }
    case store::ColumnKind::Text:
        break;
    }
    const int order = QString::compare(cell.toString(), condition.value.toString(), Qt::CaseInsensitive);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

bool likeMatches(const QVariant& cell, const QString& typed)
{
    if (cell.isNull())
        return false;
    qsizetype begin = 0, end = typed.size();
    while (begin < end && isWildcard(typed.at(begin)))
        ++begin;
    const bool anywhere = begin > 0;
    while (end > begin && isWildcard(typed.at(end - 1)))
        --end;
    const QStringView pattern = QStringView(typed).mid(begin, end - begin);
    const QString text = cell.toString();
    return anywhere ? text.contains(pattern, Qt::CaseInsensitive) : text.startsWith(pattern, Qt::CaseInsensitive);
}

FilterProblem problem(const QString& message, int style, int row, FilterProblem::Field field)
{
    return FilterProblem{message, style, row, field};
}

}  // namespace

QStringList operatorCaptions(store::ColumnKind kind)
{
    if (kind == store::ColumnKind::Text)
        return {QStringLiteral("="), kLike};
    return {QStringLiteral("="), QStringLiteral(">"), QStringLiteral("<"), QStringLiteral(">="), QStringLiteral("<=")};
}

std::optional<FilterOperator> operatorFromCaption(const QString& caption)
{
    static const QList<std::pair<QString, FilterOperator>> operators = {
        {QStringLiteral("="), FilterOperator::Equal},
        {QStringLiteral(">"), FilterOperator::Greater},
        {QStringLiteral("<"), FilterOperator::Less},
        {QStringLiteral(">="), FilterOperator::GreaterOrEqual},
        {QStringLiteral("<="), FilterOperator::LessOrEqual},
        {kLike, FilterOperator::Like},
    };
    for (const auto& [text, op] : operators)
        if (text == caption)
            return op;
    return std::nullopt;
}

QString operatorCaption(FilterOperator op)
{
    switch (op) {
    case FilterOperator::Equal:
        return QStringLiteral("=");
    case FilterOperator::Greater:
        return QStringLiteral(">");
    case FilterOperator::Less:
        return QStringLiteral("<");
    case FilterOperator::GreaterOrEqual:
        return QStringLiteral(">=");
    case FilterOperator::LessOrEqual:
        return QStringLiteral("<=");
    case FilterOperator::Like:
        break;
    }
    return kLike;
}

QStringList joinerCaptions()
{
    return {QStringLiteral("AND"), QStringLiteral("OR")};
}

std::optional<FilterJoiner> joinerFromCaption(const QString& caption)
{
    if (caption == QLatin1String("AND"))
        return FilterJoiner::And;
    if (caption == QLatin1String("OR"))
        return FilterJoiner::Or;
    return std::nullopt;
}

bool FilterCondition::matches(const QVariantList& row) const
{
    const QVariant& cell = row.at(column);
    if (op == FilterOperator::Like)
        return likeMatches(cell, value.toString());
    const std::optional<int> order = compareCell(cell, *this);
    if (!order)
        return false;
    switch (op) {
    case FilterOperator::Equal:
        return *order == 0;
    case FilterOperator::Greater:
        return *order > 0;
    case FilterOperator::Less:
        return *order < 0;
    case FilterOperator::GreaterOrEqual:
        return *order >= 0;
    case FilterOperator::LessOrEqual:
        return *order <= 0;
    case FilterOperator::Like:
        break;
    }
    return false;
}

QString FilterCondition::text() const
{
    QString shownValue;
    switch (kind) {
    case store::ColumnKind::Integer:
    case store::ColumnKind::Real:
        shownValue = store::jetNumberText(value.toDouble());
        break;
    case store::ColumnKind::Date:
        shownValue = QLatin1Char('#') + typedText + QLatin1Char('#');
        break;
    case store::ColumnKind::Text:
        shownValue = QLatin1Char('\'') + typedText + (op == FilterOperator::Like ? QLatin1String("%'") : QLatin1String("'"));
        break;
    }
    return QLatin1Char('[') + columnName + QLatin1String("] ") + operatorCaption(op) + QLatin1Char(' ') + shownValue;
}

std::optional<FilterCondition> makeCondition(const store::Column& column, int columnIndex, FilterOperator op,
                                             const QString& typedValue)
{
    FilterCondition condition;
    condition.column = columnIndex;
    condition.columnName = column.name;
    condition.kind = column.kind;
    condition.op = op;
    condition.typedText = typedValue;
    switch (column.kind) {
    case store::ColumnKind::Integer:
    case store::ColumnKind::Real:
        condition.value = store::jetVal(typedValue);
        break;
    case store::ColumnKind::Date: {
        const std::optional<QDate> date = datetext::fromDisplay(typedValue);
        if (!date)
            return std::nullopt;
        condition.value = *date;
        break;
    }
    case store::ColumnKind::Text:
        condition.value = typedValue;
        break;
    }
    return condition;
}

void ResultFilter::append(FilterJoiner joiner, const FilterCondition& condition)
{
    m_terms.append({joiner, condition});
}

bool ResultFilter::accepts(const QVariantList& row) const
{
    if (m_terms.isEmpty())
        return true;
    bool passes = m_terms.first().condition.matches(row);
    for (qsizetype i = 1; i < m_terms.size(); ++i) {
        const Term& term = m_terms[i];
        // Left to right: a decided AND or OR needs no further look at the row.
        if (term.joiner == FilterJoiner::And)
            passes = passes && term.condition.matches(row);
        else
            passes = passes || term.condition.matches(row);
    }
    return passes;
}

QString ResultFilter::text() const
{
    QString text;
    bool holdsOr = false;
    for (qsizetype i = 0; i < m_terms.size(); ++i) {
        const Term& term = m_terms[i];
        if (i == 0) {
            text = term.condition.text();
        } else if (term.joiner == FilterJoiner::And) {
            if (holdsOr)
                text = QLatin1Char('(') + text + QLatin1Char(')');
            holdsOr = false;
            text += QLatin1String(" And ") + term.condition.text();
        } else {
            holdsOr = true;
            text += QLatin1String(" OR (") + term.condition.text() + QLatin1Char(')');
        }
    }
    return text;
}

FilterRowsReading readFilterRows(const QList<store::Column>& columns, const QList<FilterRowInput>& rows)
{
    FilterRowsReading reading;
    const FilterRowInput first = rows.value(0);
    if (first.column < 0) {
        reading.problem = problem(QStringLiteral("Please Select Filter "), 48, 0, FilterProblem::Field::Column);
        return reading;
    }
    if (first.operatorText.isEmpty()) {
        reading.problem =
            problem(QStringLiteral("Please Select Filter Condition "), 48, 0, FilterProblem::Field::Operator);
        return reading;
    }
    if (first.valueText.isEmpty()) {
        reading.problem = problem(QStringLiteral("Please Enter Value "), 48, 0, FilterProblem::Field::Value);
        return reading;
    }

    FilterJoiner joiner = FilterJoiner::And;
    for (int r = 0; r < rows.size(); ++r) {
        const FilterRowInput& row = rows[r];
        if (row.column < 0)
            continue;
        if (row.column >= columns.size()) {
            reading.problem = problem(QStringLiteral("Please Select Filter "), 48, r, FilterProblem::Field::Column);
            return reading;
        }
        const std::optional<FilterOperator> op = operatorFromCaption(row.operatorText);
        if (!op) {
            reading.problem =
                problem(QStringLiteral("Please Select Filter Condition "), 48, r, FilterProblem::Field::Operator);
            return reading;
        }
        const std::optional<FilterCondition> condition = makeCondition(columns[row.column], row.column, *op, row.valueText);
        if (!condition) {
            reading.problem = problem(QStringLiteral("INVALID DATE"), 0, r, FilterProblem::Field::None);
            return reading;
        }
        if (reading.composed.isEmpty())
            reading.firstRow = *condition;
        reading.composed.append(joiner, *condition);
        joiner = joinerFromCaption(row.joinerText).value_or(FilterJoiner::And);
    }
    return reading;
}

}  // namespace viewer
