#include "viewer/resultfilter.h"

#include "store/datetext.h"
#include "store/jetfunctions.h"
#include "viewer/resultsort.h"

namespace viewer {

namespace {

const QString kLike = QStringLiteral("Like");

bool isWildcard(QChar c)
{
    return c == QLatin1Char('%') || c == QLatin1Char('*');
}

// The typed value of a "Like" without its leading and trailing wildcards,
// as a LIKE pattern whose every character matches itself.
QString likePattern(const QString& typed)
{
    qsizetype begin = 0, end = typed.size();
    while (begin < end && isWildcard(typed.at(begin)))
        ++begin;
    const bool anywhere = begin > 0;
    while (end > begin && isWildcard(typed.at(end - 1)))
        --end;
    QString pattern;
    for (const QChar c : QStringView(typed).mid(begin, end - begin)) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return (anywhere ? QStringLiteral("%") : QString()) + pattern + QLatin1Char('%');
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

FilterSql FilterCondition::sql(const QString& column) const
{
    if (op == FilterOperator::Like)
        return {column + QStringLiteral(" LIKE ? ESCAPE '\\'"), {likePattern(value.toString())}};
    const QString compare = operatorCaption(op) + QStringLiteral(" ?");
    switch (kind) {
    case store::ColumnKind::Integer:
    case store::ColumnKind::Real:
        return {QStringLiteral("(typeof(%1) IN ('integer','real') AND %1 %2)").arg(column, compare),
                {value.toDouble()}};
    case store::ColumnKind::Date:
        // Days are kept as yyyy-MM-dd text, which orders as the days do.
        return {QStringLiteral("(typeof(%1) = 'text' AND date(%1) %2)").arg(column, compare),
                {value.toDate().toString(Qt::ISODate)}};
    case store::ColumnKind::Text:
        break;
    }
    return {QStringLiteral("(CAST(%1 AS TEXT) %2 COLLATE NOCASE)").arg(column, compare), {value.toString()}};
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
        const std::optional<QDate> date = datetext::fromTyped(typedValue);
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

FilterSql ResultFilter::sql(const QList<store::Column>& columns) const
{
    FilterSql whole{QStringLiteral("1"), {}};
    for (qsizetype i = 0; i < m_terms.size(); ++i) {
        const Term& term = m_terms[i];
        const qsizetype at = term.condition.column;
        const QString name = at >= 0 && at < columns.size() ? columns[at].name : term.condition.columnName;
        const FilterSql one = term.condition.sql(store::quoteIdentifier(name));
        // Strictly left to right: each joiner takes all that comes before it.
        if (i == 0)
            whole.condition = one.condition;
        else
            whole.condition = QStringLiteral("(%1 %2 %3)")
                                  .arg(whole.condition,
                                       term.joiner == FilterJoiner::And ? QStringLiteral("AND") : QStringLiteral("OR"),
                                       one.condition);
        whole.params += one.params;
    }
    return whole;
}

std::optional<ResultFilter> ResultFilter::onColumns(const QList<store::Column>& columns) const
{
    ResultFilter moved;
    for (Term term : m_terms) {
        term.condition.column = columnPosition(columns, term.condition.columnName);
        if (term.condition.column < 0)
            return std::nullopt;
        moved.m_terms.append(term);
    }
    return moved;
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
