#include "query/summarylist.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace query {

namespace {

struct Token {
    enum Kind { Word, Quoted, Text, Number, Other } kind;
    qsizetype begin, end;
};

std::vector<Token> tokenize(const QString& s)
{
    std::vector<Token> tokens;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s[i];
        const qsizetype start = i;
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('\'')) {
            ++i;
            while (i < n) {
                if (s[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && s[i + 1] == QLatin1Char('\'')) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            tokens.push_back({Token::Text, start, i});
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            ++i;
            while (i < n && s[i] != close)
                ++i;
            i = std::min(n, i + 1);
            tokens.push_back({Token::Quoted, start, i});
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            while (i < n && (s[i].isLetterOrNumber() || s[i] == QLatin1Char('_') || s[i] == QLatin1Char('$')))
                ++i;
            tokens.push_back({Token::Word, start, i});
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())) {
            while (i < n && (s[i].isLetterOrNumber() || s[i] == QLatin1Char('.')))
                ++i;
            tokens.push_back({Token::Number, start, i});
        } else {
            ++i;
            tokens.push_back({Token::Other, start, i});
        }
    }
    return tokens;
}

QString normalized(const QString& expression)
{
    QString out;
    for (const QChar c : expression)
        if (!c.isSpace())
            out.append(c.toLower());
    return out;
}

// The name a group term's column takes in the totals: the term's own column
// name ("m.TransDate" gives "TransDate").
QString keyName(const QString& term)
{
    const QString trimmed = term.trimmed();
    return trimmed.mid(trimmed.lastIndexOf(QLatin1Char('.')) + 1);
}

bool isIdentifier(const QString& name)
{
    if (name.isEmpty() || !(name[0].isLetter() || name[0] == QLatin1Char('_')))
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); });
}

// Where the list names the column of group term `k`; the column's own name
// (as its table declares it) takes its place once known.
QString keyPlaceholder(int k)
{
    return QStringLiteral("\u0001%1\u0001").arg(k);
}

// One item of the list rewritten over the totals, or nothing when it reads
// a column outside an aggregate or uses an aggregate this pass does not
// gather (DISTINCT, total(), nested aggregates).
std::optional<QString> rewriteItem(const QString& item, const QStringList& groupBy, QStringList& figures)
{
    static const QSet<QString> aggregates{QStringLiteral("avg"), QStringLiteral("sum"), QStringLiteral("min"),
                                          QStringLiteral("max"), QStringLiteral("count"), QStringLiteral("total"),
                                          QStringLiteral("group_concat")};
    static const QSet<QString> keywords{QStringLiteral("and"),  QStringLiteral("or"),   QStringLiteral("not"),
                                        QStringLiteral("null"), QStringLiteral("is"),   QStringLiteral("case"),
                                        QStringLiteral("when"), QStringLiteral("then"), QStringLiteral("else"),
                                        QStringLiteral("end"),  QStringLiteral("between"), QStringLiteral("in"),
                                        QStringLiteral("like"), QStringLiteral("glob")};
    const std::vector<Token> tokens = tokenize(item);
    auto text = [&item](const Token& t) { return item.mid(t.begin, t.end - t.begin); };

    // A group term, with or without an alias: the term's column in the totals.
    qsizetype expressionEnd = item.size();
    QString aliasPart;
    if (tokens.size() >= 2 && tokens[tokens.size() - 2].kind == Token::Word &&
        text(tokens[tokens.size() - 2]).compare(QLatin1String("as"), Qt::CaseInsensitive) == 0) {
        expressionEnd = tokens[tokens.size() - 2].begin;
        aliasPart = QLatin1Char(' ') + item.mid(expressionEnd).trimmed();
    }
    const QString expression = normalized(item.left(expressionEnd));
    for (qsizetype k = 0; k < groupBy.size(); ++k)
        if (SummaryList::sameColumn(groupBy[k], expression))
            return QStringLiteral("t.") + keyPlaceholder(static_cast<int>(k)) + aliasPart;

    QString out;
    qsizetype copied = 0;
    for (size_t t = 0; t < tokens.size(); ++t) {
        const Token& token = tokens[t];
        if (token.kind == Token::Quoted)
            return std::nullopt;  // a column named in quotes or brackets
        if (token.kind != Token::Word)
            continue;
        const QString word = text(token).toLower();
        const bool call = t + 1 < tokens.size() && text(tokens[t + 1]) == QLatin1String("(");
        if (word == QLatin1String("as")) {
            ++t;  // the alias
            continue;
        }
        if (!call) {
            if (keywords.contains(word))
                continue;
            return std::nullopt;
        }
        if (!aggregates.contains(word))
            continue;  // a function of the aggregates' values
        // The aggregate's argument runs to the matching parenthesis.
        int depth = 0;
        size_t close = t + 1;
        bool topComma = false;
        for (; close < tokens.size(); ++close) {
            const QString piece = text(tokens[close]);
            if (piece == QLatin1String("("))
                ++depth;
            else if (piece == QLatin1String(")") && --depth == 0)
                break;
            else if (piece == QLatin1String(",") && depth == 1)
                topComma = true;
        }
        if (close >= tokens.size())
            return std::nullopt;
        if (topComma) {
            // min(a, b) and max(a, b) of several values are plain functions.
            if (word == QLatin1String("min") || word == QLatin1String("max"))
                continue;
            return std::nullopt;
        }
        for (size_t inner = t + 2; inner < close; ++inner)
            if (tokens[inner].kind == Token::Word && aggregates.contains(text(tokens[inner]).toLower()))
                return std::nullopt;
        const QString argument = item.mid(tokens[t + 1].end, tokens[close].begin - tokens[t + 1].end).trimmed();
        QString column;
        if (argument.isEmpty() || argument.section(QLatin1Char(' '), 0, 0).compare(QLatin1String("distinct"),
                                                                                     Qt::CaseInsensitive) == 0)
            return std::nullopt;
        if (word == QLatin1String("count") && argument == QLatin1String("*")) {
            column = SummaryList::rowCountColumn();
        } else {
            if (word == QLatin1String("total") || word == QLatin1String("group_concat"))
                return std::nullopt;
            qsizetype figure = figures.indexOf(argument);
            if (figure < 0) {
                figures.append(argument);
                figure = figures.size() - 1;
            }
            const SummaryList::Total gathered = word == QLatin1String("avg")   ? SummaryList::Total::Average
                                      : word == QLatin1String("sum") ? SummaryList::Total::Sum
                                      : word == QLatin1String("min") ? SummaryList::Total::Lowest
                                      : word == QLatin1String("max") ? SummaryList::Total::Highest
                                                                     : SummaryList::Total::Count;
            column = SummaryList::totalColumn(static_cast<int>(figure), gathered);
        }
        // "(+t.x)" is an expression: a table made from it takes its type
        // from the values, as it would from the aggregate.
        out += item.mid(copied, token.begin - copied) + QStringLiteral("(+t.") + column + QLatin1Char(')');
        copied = tokens[close].end;
        t = close;
    }
    return out + item.mid(copied);
}

}  // namespace

QString SummaryList::totalColumn(int figure, Total total)
{
    static const char* const suffixes[] = {"avg", "sum", "min", "max", "n"};
    return QStringLiteral("f%1_%2").arg(figure).arg(QLatin1String(suffixes[static_cast<int>(total)]));
}

QString SummaryList::rowCountColumn()
{
    return QStringLiteral("rows_n");
}

bool SummaryList::sameColumn(const QString& a, const QString& b)
{
    const QString x = normalized(a), y = normalized(b);
    if (x == y)
        return true;
    const QString xName = keyName(x), yName = keyName(y);
    return isIdentifier(xName) && xName == yName && (xName == x || yName == y);
}

std::optional<SummaryList> SummaryList::parse(const QString& selectList, const QStringList& groupBy)
{
    Q_ASSERT(!selectList.trimmed().startsWith(QLatin1String("select "), Qt::CaseInsensitive));
    // The items, split at the commas outside parentheses and quotes.
    QStringList items;
    const std::vector<Token> tokens = tokenize(selectList);
    int depth = 0;
    qsizetype start = 0;
    for (const Token& token : tokens) {
        const QString piece = selectList.mid(token.begin, token.end - token.begin);
        if (piece == QLatin1String("("))
            ++depth;
        else if (piece == QLatin1String(")"))
            --depth;
        else if (piece == QLatin1String(",") && depth == 0) {
            items.append(selectList.mid(start, token.begin - start));
            start = token.end;
        }
    }
    items.append(selectList.mid(start));

    SummaryList parsed;
    QStringList columns;
    for (const QString& item : items) {
        const auto rewritten = rewriteItem(item, groupBy, parsed.m_figures);
        if (!rewritten)
            return std::nullopt;
        columns.append(*rewritten);
    }
    parsed.m_columns = columns.join(QLatin1Char(','));
    return parsed;
}


QString SummaryList::columnsOver(const QStringList& keyColumns) const
{
    QString columns = m_columns;
    for (qsizetype k = 0; k < keyColumns.size(); ++k)
        columns.replace(keyPlaceholder(static_cast<int>(k)), keyColumns[k]);
    return columns;
}

bool SummaryList::showsExtremes(int figure) const
{
    return m_columns.contains(QStringLiteral("t.%1)").arg(totalColumn(figure, Total::Lowest))) ||
           m_columns.contains(QStringLiteral("t.%1)").arg(totalColumn(figure, Total::Highest)));
}

}  // namespace query
