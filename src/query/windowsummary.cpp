#include "query/windowsummary.h"

#include "query/plainstatements.h"
#include "query/statementreader.h"
#include "query/windowreading.h"
#include "query/worktable.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/storeerror.h"

#include <QRegularExpression>
#include <QSet>
#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace query {

namespace {

// ------------------------------------------------------------ the select list

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

// What the totals keep of a figure, and the column that holds it.
enum class Gathered { Average, Sum, Lowest, Highest, Count };

const char* columnSuffix(Gathered gathered)
{
    switch (gathered) {
    case Gathered::Average: return "avg";
    case Gathered::Sum: return "sum";
    case Gathered::Lowest: return "min";
    case Gathered::Highest: return "max";
    case Gathered::Count: return "n";
    }
    return "";
}

QString totalColumn(int figure, Gathered gathered)
{
    return QStringLiteral("f%1_%2").arg(figure).arg(QLatin1String(columnSuffix(gathered)));
}

const QString kRowCount = QStringLiteral("rows_n");

// The select list taken apart: its figures (the arguments of its aggregate
// calls) and the list rewritten over the totals as t.
struct ParsedList {
    QStringList figures;
    QString columns;
};

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

// Whether `a` and `b` name one column: the same text, or the same column
// name where one of them leaves out the table ("scriptcode" and
// "m.scriptcode").
bool sameColumn(const QString& a, const QString& b)
{
    const QString x = normalized(a), y = normalized(b);
    if (x == y)
        return true;
    const QString xName = keyName(x), yName = keyName(y);
    return isIdentifier(xName) && xName == yName && (xName == x || yName == y);
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
        if (sameColumn(groupBy[k], expression))
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
            column = kRowCount;
        } else {
            if (word == QLatin1String("total") || word == QLatin1String("group_concat"))
                return std::nullopt;
            qsizetype figure = figures.indexOf(argument);
            if (figure < 0) {
                figures.append(argument);
                figure = figures.size() - 1;
            }
            const Gathered gathered = word == QLatin1String("avg")   ? Gathered::Average
                                      : word == QLatin1String("sum") ? Gathered::Sum
                                      : word == QLatin1String("min") ? Gathered::Lowest
                                      : word == QLatin1String("max") ? Gathered::Highest
                                                                     : Gathered::Count;
            column = totalColumn(static_cast<int>(figure), gathered);
        }
        // "(+t.x)" is an expression: a table made from it takes its type
        // from the values, as it would from the aggregate.
        out += item.mid(copied, token.begin - copied) + QStringLiteral("(+t.") + column + QLatin1Char(')');
        copied = tokens[close].end;
        t = close;
    }
    return out + item.mid(copied);
}

std::optional<ParsedList> parseList(const QString& selectList, const QStringList& groupBy)
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

    ParsedList parsed;
    QStringList columns;
    for (const QString& item : items) {
        const auto rewritten = rewriteItem(item, groupBy, parsed.figures);
        if (!rewritten)
            return std::nullopt;
        columns.append(*rewritten);
    }
    parsed.columns = columns.join(QLatin1Char(','));
    return parsed;
}

// ------------------------------------------------------------ the totals

// One figure of one group, gathered as SQLite's own aggregates gather it:
// avg() and sum() add the values in the order they come, in double
// precision (sum() of whole numbers exactly); min() and max() keep the first
// of equal values.
struct Value {
    int type = SQLITE_NULL;  // SQLITE_NULL, SQLITE_INTEGER or SQLITE_FLOAT
    qint64 integer = 0;
    double real = 0;

    double asDouble() const { return type == SQLITE_INTEGER ? static_cast<double>(integer) : real; }
};

int compare(const Value& a, const Value& b)
{
    if (a.type == SQLITE_INTEGER && b.type == SQLITE_INTEGER)
        return a.integer < b.integer ? -1 : a.integer > b.integer ? 1 : 0;
    const double x = a.asDouble(), y = b.asDouble();
    return x < y ? -1 : x > y ? 1 : 0;
}

struct FigureTotal {
    double realSum = 0;
    qint64 integerSum = 0;
    qint64 count = 0;
    bool approximate = false;  // a value that was not a whole number came
    bool overflow = false;
    Value lowest, highest;

    void add(const Value& value, bool extremes)
    {
        ++count;
        if (value.type == SQLITE_INTEGER) {
            realSum += static_cast<double>(value.integer);
            if (!approximate && !overflow && __builtin_add_overflow(integerSum, value.integer, &integerSum))
                approximate = overflow = true;
        } else {
            realSum += value.real;
            approximate = true;
        }
        if (!extremes)
            return;
        if (count == 1) {
            lowest = highest = value;
        } else {
            if (compare(lowest, value) > 0)
                lowest = value;
            if (compare(highest, value) < 0)
                highest = value;
        }
    }
};

// A value of a group term as it was read: a number, or the bytes of a text.
struct KeyValue {
    Value number;
    int type = SQLITE_NULL;
    QByteArray bytes;

    static KeyValue read(sqlite3_stmt* stmt, int column)
    {
        KeyValue value;
        value.type = sqlite3_column_type(stmt, column);
        if (value.type == SQLITE_INTEGER)
            value.number = {SQLITE_INTEGER, sqlite3_column_int64(stmt, column), 0};
        else if (value.type == SQLITE_FLOAT)
            value.number = {SQLITE_FLOAT, 0, sqlite3_column_double(stmt, column)};
        else if (value.type != SQLITE_NULL)
            value.bytes = QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                                     sqlite3_column_bytes(stmt, column));
        return value;
    }
};

// A group term: the column it names in the totals, its declared type, and
// whether its values compare without regard to case.
struct KeyColumn {
    QString name;
    QByteArray declaredType;
    bool noCase = false;
};

struct Group {
    std::vector<KeyValue> keys;  // in the order of the group terms
    qint64 rows = 0;
};

// The groups one reader gathered.
struct Gathering {
    std::vector<Group> groups;
    std::vector<FigureTotal> totals;  // groups x figures
    bool unsupported = false;         // a value this pass does not take (text, blob)
};

// The values of the joined term, each told apart once, and the values each
// scrip joins in the order the statement meets them.
struct ScripJoin {
    std::vector<KeyValue> values;
    std::unordered_map<qint64, std::vector<int>> ofScrip;
};

// Where a reader row holds what: the reader column of each group term (-1:
// the joined term), the scrip column (with a join), the first figure.
struct RowLayout {
    std::vector<int> termColumn;
    std::vector<bool> termNoCase;
    int scripColumn = -1;
    int firstFigure = 0;
    std::vector<char> extremes;  // per figure: keep its lowest and highest
    const ScripJoin* join = nullptr;
};

// Appends the bytes that tell a key value apart to `key`.
void appendKey(std::string& key, sqlite3_stmt* stmt, int column, bool noCase)
{
    const int type = sqlite3_column_type(stmt, column);
    key.push_back(static_cast<char>('0' + type));
    if (type == SQLITE_INTEGER) {
        const qint64 value = sqlite3_column_int64(stmt, column);
        key.append(reinterpret_cast<const char*>(&value), sizeof value);
    } else if (type == SQLITE_FLOAT) {
        const double value = sqlite3_column_double(stmt, column);
        key.append(reinterpret_cast<const char*>(&value), sizeof value);
    } else if (type != SQLITE_NULL) {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        const int length = sqlite3_column_bytes(stmt, column);
        key.append(reinterpret_cast<const char*>(&length), sizeof length);
        const size_t at = key.size();
        key.append(bytes ? bytes : "", static_cast<size_t>(length));
        if (noCase)
            for (size_t i = at; i < key.size(); ++i)
                if (key[i] >= 'A' && key[i] <= 'Z')
                    key[i] = static_cast<char>(key[i] - 'A' + 'a');
    }
}

// Reads the rows of `reader` into groups. Keys are told apart by their
// bytes; a run of rows of one key (a scrip's days, a day's rows) finds its
// group without a look-up, and one whole-number key (a scrip) is looked up
// by its number.
void gather(StatementReader& rows, const RowLayout& layout, Gathering& out)
{
    sqlite3_stmt* stmt = rows.statement();
    const int figures = static_cast<int>(layout.extremes.size());
    const size_t terms = layout.termColumn.size();
    const bool oneNumber = terms == 1 && !layout.join;
    std::unordered_map<qint64, int> byNumber;
    std::unordered_map<std::string, int> byBytes;  // the group, or with a join the row's slots
    std::vector<std::vector<int>> joinSlots;        // per key of the row's own terms: the group of each joined value
    std::string key, previousKey;
    int found = -1;
    std::vector<Value> values(static_cast<size_t>(figures));

    auto addGroup = [&](int joined) {
        Group group;
        for (size_t t = 0; t < terms; ++t)
            group.keys.push_back(layout.termColumn[t] < 0 ? layout.join->values[static_cast<size_t>(joined)]
                                                          : KeyValue::read(stmt, layout.termColumn[t]));
        out.groups.push_back(std::move(group));
        out.totals.resize(out.groups.size() * static_cast<size_t>(figures));
        return static_cast<int>(out.groups.size()) - 1;
    };
    auto addRow = [&](int group) {
        ++out.groups[static_cast<size_t>(group)].rows;
        FigureTotal* totals = out.totals.data() + static_cast<size_t>(group) * static_cast<size_t>(figures);
        for (int f = 0; f < figures; ++f)
            if (values[static_cast<size_t>(f)].type != SQLITE_NULL)
                totals[f].add(values[static_cast<size_t>(f)], layout.extremes[static_cast<size_t>(f)] != 0);
    };

    while (rows.next()) {
        for (int f = 0; f < figures; ++f) {
            const int column = layout.firstFigure + f;
            Value& value = values[static_cast<size_t>(f)];
            switch (sqlite3_column_type(stmt, column)) {
            case SQLITE_NULL:
                value.type = SQLITE_NULL;
                break;
            case SQLITE_INTEGER:
                value = {SQLITE_INTEGER, sqlite3_column_int64(stmt, column), 0};
                break;
            case SQLITE_FLOAT:
                value = {SQLITE_FLOAT, 0, sqlite3_column_double(stmt, column)};
                break;
            default:
                out.unsupported = true;
                return;
            }
        }
        if (oneNumber && sqlite3_column_type(stmt, layout.termColumn[0]) == SQLITE_INTEGER) {
            const qint64 number = sqlite3_column_int64(stmt, layout.termColumn[0]);
            const auto at = byNumber.find(number);
            if (at != byNumber.end()) {
                found = at->second;
            } else {
                found = addGroup(-1);
                byNumber.emplace(number, found);
            }
            previousKey.clear();
            addRow(found);
            continue;
        }
        key.clear();
        for (size_t t = 0; t < terms; ++t)
            if (layout.termColumn[t] >= 0)
                appendKey(key, stmt, layout.termColumn[t], layout.termNoCase[t]);
        if (found < 0 || key != previousKey) {
            const auto at = byBytes.find(key);
            if (at != byBytes.end()) {
                found = at->second;
            } else if (layout.join) {
                found = static_cast<int>(joinSlots.size());
                joinSlots.emplace_back(layout.join->values.size(), -1);
                byBytes.emplace(key, found);
            } else {
                found = addGroup(-1);
                byBytes.emplace(key, found);
            }
            previousKey.swap(key);
        }
        if (!layout.join) {
            addRow(found);
            continue;
        }
        // The row counts once for each value its scrip joins.
        const auto joined = layout.join->ofScrip.find(sqlite3_column_int64(stmt, layout.scripColumn));
        if (joined == layout.join->ofScrip.end())
            continue;
        for (const int value : joined->second) {
            int& group = joinSlots[static_cast<size_t>(found)][static_cast<size_t>(value)];
            if (group < 0)
                group = addGroup(value);
            addRow(group);
        }
    }
}

// sum() and avg() of SQLite 3.43 and later add with a compensated sum, which
// this pass does not copy: there the plain statement runs.
bool sumsAddAsThisPassAdds()
{
    return sqlite3_libversion_number() < 3043000;
}


QString uniqueTableName(const QString& name)
{
    QString table = QStringLiteral("summary_");
    for (const QChar c : name)
        table.append(c.isLetterOrNumber() ? c.toLower() : QLatin1Char('_'));
    return table;
}

// The pairs of a join by scrip, each value told apart once (without regard
// to case where its column compares so). Nothing when the pairs do not read
// as whole-number scrips.
std::optional<ScripJoin> readJoin(sqlite3* db, const Sql& pairs, KeyColumn& column)
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = pairs.text.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &stmt, nullptr) != SQLITE_OK ||
        sqlite3_column_count(stmt) != 2) {
        sqlite3_finalize(stmt);
        return std::nullopt;
    }
    bindParams(stmt, pairs.params);
    const char* table = sqlite3_column_table_name(stmt, 1);
    const char* origin = sqlite3_column_origin_name(stmt, 1);
    const char* declared = nullptr;
    const char* collation = nullptr;
    if (!table || !origin ||
        sqlite3_table_column_metadata(db, sqlite3_column_database_name(stmt, 1), table, origin, &declared, &collation,
                                      nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return std::nullopt;
    }
    column.name = QString::fromUtf8(origin);
    column.declaredType = declared ? QByteArray(declared) : QByteArray();
    const QByteArray coll = collation ? QByteArray(collation).toUpper() : QByteArrayLiteral("BINARY");
    column.noCase = coll == "NOCASE";
    ScripJoin join;
    std::unordered_map<std::string, int> known;
    std::string key;
    bool readable = coll == "BINARY" || coll == "NOCASE";
    int rc;
    while (readable && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (sqlite3_column_type(stmt, 0) != SQLITE_INTEGER) {
            readable = false;
            break;
        }
        key.clear();
        appendKey(key, stmt, 1, column.noCase);
        auto at = known.find(key);
        if (at == known.end()) {
            at = known.emplace(key, static_cast<int>(join.values.size())).first;
            join.values.push_back(KeyValue::read(stmt, 1));
        }
        join.ofScrip[sqlite3_column_int64(stmt, 0)].push_back(at->second);
    }
    sqlite3_finalize(stmt);
    if (!readable)
        return std::nullopt;
    return join;
}

}  // namespace

QString withoutSelect(const QString& selectList)
{
    static const QRegularExpression select(QStringLiteral("^\\s*select\\s+"), QRegularExpression::CaseInsensitiveOption);
    QString list = selectList;
    return list.remove(select);
}

Sql summaryStatement(const QString& selectList, const SummarySource& source)
{
    return Sql(QStringLiteral("SELECT %1 FROM %2 WHERE %3 BETWEEN ").arg(withoutSelect(selectList), source.from, source.dayColumn)) +
           Sql::value(std::min(source.first, source.last)) + " AND " + Sql::value(std::max(source.first, source.last)) +
           source.condition + Sql(QStringLiteral(" GROUP BY ") + source.groupBy.join(QLatin1Char(',')));
}

std::optional<WindowSummary> WindowSummary::compute(store::Database& db, const QString& name, const QString& selectList,
                                                    const SummarySource& source)
{
    if (plainStatementsOnly() || !sumsAddAsThisPassAdds() || source.groupBy.isEmpty())
        return std::nullopt;
    const auto parsed = parseList(withoutSelect(selectList), source.groupBy);
    if (!parsed)
        return std::nullopt;

    const QDate first = std::min(source.first, source.last);
    const QDate last = std::max(source.first, source.last);
    sqlite3* handle = db.handle();
    const int terms = static_cast<int>(source.groupBy.size());
    std::vector<KeyColumn> keys(static_cast<size_t>(terms));

    // The join by scrip, read ahead.
    QString fromList = source.from;
    Sql condition = source.condition;
    int joinedTerm = -1;
    std::optional<ScripJoin> join;
    if (source.scripJoin) {
        for (int t = 0; t < terms; ++t)
            if (sameColumn(source.groupBy[t], source.scripJoin->column))
                joinedTerm = t;
        if (joinedTerm < 0)
            return std::nullopt;
        join = readJoin(handle, source.scripJoin->pairs, keys[static_cast<size_t>(joinedTerm)]);
        if (!join)
            return std::nullopt;
        fromList = source.scripJoin->from;
        condition = source.scripJoin->condition;
    }

    // Each share walks a part of the scrips (when a group is one scrip's)
    // or of the days (when a group is one day's), so that every group is
    // gathered by one share in the statement's order.
    auto isTerm = [&source](const QString& column) {
        return std::any_of(source.groupBy.begin(), source.groupBy.end(),
                           [&column](const QString& term) { return sameColumn(term, column); });
    };
    const bool byScrip = isTerm(source.scripColumn);
    const bool byDay = !byScrip && isTerm(source.dayColumn);
    const std::vector<QByteArray> days = windowreading::tradingDays(db, first, last);
    const windowreading::ScripRange scrips = windowreading::scripRange(db);
    int shares = windowreading::shareCount(db, static_cast<double>(days.size()) * static_cast<double>(scrips.count()));
    if (!byScrip && !byDay)
        shares = 1;
    if (byDay)
        shares = std::min<int>(shares, static_cast<int>(std::max<size_t>(1, days.size())));
    // The statement sums a day's rows as the day index gives them, without
    // sorting: read by one connection, it is the quicker of the two.
    if (byDay && !join && shares == 1)
        return std::nullopt;

    // The reader statement: the group terms but the joined one, the scrip
    // (with a join), then the figures.
    RowLayout layout;
    QStringList selected;
    for (int t = 0; t < terms; ++t) {
        layout.termColumn.push_back(t == joinedTerm ? -1 : static_cast<int>(selected.size()));
        layout.termNoCase.push_back(false);
        if (t != joinedTerm)
            selected.append(source.groupBy[t]);
    }
    if (join) {
        layout.scripColumn = static_cast<int>(selected.size());
        selected.append(source.scripColumn);
        layout.join = &*join;
    }
    layout.firstFigure = static_cast<int>(selected.size());
    selected += parsed->figures;
    auto readerFor = [&](int part, int parts) {
        QByteArray dayFrom = days.empty() ? QByteArray() : days.front();
        QByteArray dayTo = days.empty() ? QByteArray() : days.back();
        Sql share;
        if (parts > 1 && byDay) {
            const size_t begin = days.size() * static_cast<size_t>(part) / static_cast<size_t>(parts);
            const size_t end = days.size() * static_cast<size_t>(part + 1) / static_cast<size_t>(parts);
            dayFrom = days[begin];
            dayTo = days[end - 1];
        } else if (parts > 1 && byScrip) {
            share = windowreading::scripShare(source.scripColumn, scrips, part, parts);
        }
        const QString from = QString::fromLatin1(dayFrom), to = QString::fromLatin1(dayTo);
        return windowreading::daysOfWindow(from, to) +
               Sql(QStringLiteral(" SELECT %1 FROM summary_days CROSS JOIN %2 WHERE %3 = summary_days.day")
                       .arg(selected.join(QLatin1Char(',')), fromList, source.dayColumn)) +
               windowreading::withinWindow(from, to) + share + condition;
    };

    // The group terms' declared types and whether they compare without
    // regard to case, from the columns they name.
    {
        const Sql probe = readerFor(0, 1);
        sqlite3_stmt* stmt = nullptr;
        const QByteArray text = probe.text.toUtf8();
        if (sqlite3_prepare_v2(handle, text.constData(), static_cast<int>(text.size()), &stmt, nullptr) != SQLITE_OK) {
            sqlite3_finalize(stmt);
            return std::nullopt;
        }
        bool known = true;
        for (int t = 0; t < terms && known; ++t) {
            const int column = layout.termColumn[static_cast<size_t>(t)];
            if (column < 0)
                continue;
            const char* table = sqlite3_column_table_name(stmt, column);
            const char* origin = sqlite3_column_origin_name(stmt, column);
            const char* declared = nullptr;
            const char* collation = nullptr;
            if (!table || !origin ||
                sqlite3_table_column_metadata(handle, sqlite3_column_database_name(stmt, column), table, origin, &declared,
                                              &collation, nullptr, nullptr, nullptr) != SQLITE_OK) {
                known = false;
                break;
            }
            KeyColumn& key = keys[static_cast<size_t>(t)];
            key.name = QString::fromUtf8(origin);
            key.declaredType = declared ? QByteArray(declared) : QByteArray();
            const QByteArray coll = collation ? QByteArray(collation).toUpper() : QByteArrayLiteral("BINARY");
            known = coll == "BINARY" || coll == "NOCASE";
            key.noCase = coll == "NOCASE";
        }
        sqlite3_finalize(stmt);
        if (!known)
            return std::nullopt;
    }
    // The terms' columns take the names their tables declare, as the
    // statement's own columns would; two of one name cannot be told apart.
    QString columns = parsed->columns;
    QSet<QString> names;
    for (int t = 0; t < terms; ++t) {
        const KeyColumn& key = keys[static_cast<size_t>(t)];
        static const QRegularExpression totalName(QStringLiteral("^(f[0-9]+_(avg|sum|min|max|n)|rows_n)$"),
                                                  QRegularExpression::CaseInsensitiveOption);
        if (names.contains(key.name.toLower()) || totalName.match(key.name).hasMatch())
            return std::nullopt;
        names.insert(key.name.toLower());
        layout.termNoCase[static_cast<size_t>(t)] = key.noCase;
        columns.replace(keyPlaceholder(t), store::quoteIdentifier(key.name));
    }

    const int figures = static_cast<int>(parsed->figures.size());
    // Lowest and highest are kept only of the figures that show them.
    layout.extremes.resize(static_cast<size_t>(figures));
    for (int f = 0; f < figures; ++f)
        layout.extremes[static_cast<size_t>(f)] =
            parsed->columns.contains(QStringLiteral("t.%1)").arg(totalColumn(f, Gathered::Lowest))) ||
            parsed->columns.contains(QStringLiteral("t.%1)").arg(totalColumn(f, Gathered::Highest)));

    std::vector<Gathering> parts;
    QString error;
    windowreading::readShares(
        db, shares, [&parts](int count) { parts.assign(static_cast<size_t>(count), Gathering()); }, readerFor,
        [&](int part, StatementReader& rows) { gather(rows, layout, parts[static_cast<size_t>(part)]); }, error);
    if (!error.isEmpty())
        return std::nullopt;  // the plain statement says what is wrong
    for (const Gathering& part : parts) {
        // Rows this pass cannot read: the plain statement reads them.
        if (part.unsupported)
            return std::nullopt;
        for (const FigureTotal& total : part.totals)
            if (total.overflow)
                return std::nullopt;  // the statement itself fails: let it say so
    }

    // The totals table.
    WindowSummary summary;
    summary.m_table = QStringLiteral("temp.") + uniqueTableName(name);
    QStringList definitions, placeholders, orderTerms;
    for (const KeyColumn& key : keys) {
        definitions.append(store::quoteIdentifier(key.name) + QLatin1Char(' ') + QString::fromUtf8(key.declaredType) +
                           (key.noCase ? QStringLiteral(" COLLATE NOCASE") : QString()));
        orderTerms.append(QStringLiteral("t.") + store::quoteIdentifier(key.name));
    }
    for (int f = 0; f < figures; ++f)
        for (const Gathered gathered : {Gathered::Average, Gathered::Sum, Gathered::Lowest, Gathered::Highest, Gathered::Count})
            definitions.append(totalColumn(f, gathered));
    definitions.append(kRowCount);
    for (int i = 0; i < definitions.size(); ++i)
        placeholders.append(QStringLiteral("?"));
    db.exec(QStringLiteral("DROP TABLE IF EXISTS ") + summary.m_table);
    db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(summary.m_table, definitions.join(QLatin1String(", "))));

    sqlite3_stmt* insert = nullptr;
    const QByteArray insertText =
        QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(summary.m_table, placeholders.join(QLatin1Char(','))).toUtf8();
    if (sqlite3_prepare_v2(handle, insertText.constData(), -1, &insert, nullptr) != SQLITE_OK) {
        const QString error = QString::fromUtf8(sqlite3_errmsg(handle));
        sqlite3_finalize(insert);
        throw store::StoreError(error);
    }
    auto bindValue = [insert](int index, const Value& value) {
        if (value.type == SQLITE_INTEGER)
            sqlite3_bind_int64(insert, index, value.integer);
        else if (value.type == SQLITE_FLOAT)
            sqlite3_bind_double(insert, index, value.real);
        else
            sqlite3_bind_null(insert, index);
    };
    for (const Gathering& part : parts) {
        for (size_t g = 0; g < part.groups.size(); ++g) {
            const Group& group = part.groups[g];
            int column = 1;
            for (const KeyValue& key : group.keys) {
                if (key.type == SQLITE_TEXT)
                    sqlite3_bind_text(insert, column, key.bytes.constData(), static_cast<int>(key.bytes.size()),
                                      SQLITE_TRANSIENT);
                else if (key.type == SQLITE_BLOB)
                    sqlite3_bind_blob(insert, column, key.bytes.constData(), static_cast<int>(key.bytes.size()),
                                      SQLITE_TRANSIENT);
                else
                    bindValue(column, key.number);
                ++column;
            }
            for (int f = 0; f < figures; ++f) {
                const FigureTotal& total = part.totals[g * static_cast<size_t>(figures) + static_cast<size_t>(f)];
                Value average, sum;
                if (total.count > 0) {
                    average = {SQLITE_FLOAT, 0, total.realSum / static_cast<double>(total.count)};
                    sum = total.approximate ? Value{SQLITE_FLOAT, 0, total.realSum}
                                            : Value{SQLITE_INTEGER, total.integerSum, 0};
                }
                bindValue(column++, average);
                bindValue(column++, sum);
                bindValue(column++, total.count > 0 ? total.lowest : Value());
                bindValue(column++, total.count > 0 ? total.highest : Value());
                sqlite3_bind_int64(insert, column++, total.count);
            }
            sqlite3_bind_int64(insert, column, group.rows);
            if (sqlite3_step(insert) != SQLITE_DONE) {
                const QString error = QString::fromUtf8(sqlite3_errmsg(handle));
                sqlite3_finalize(insert);
                throw store::StoreError(error);
            }
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    summary.m_columns = columns;
    summary.m_order = orderTerms.join(QLatin1Char(','));
    return summary;
}

Sql summaryTable(store::Database& db, const QString& name, const QString& selectList, const SummarySource& source)
{
    if (const auto summary = WindowSummary::compute(db, name, selectList, source))
        return Sql(QStringLiteral("(SELECT %1 FROM %2 AS t ORDER BY %3)")
                       .arg(summary->columns(), summary->table(), summary->order()));
    return Sql("(") + summaryStatement(selectList, source) + ")";
}

void remakeSummaryTable(store::Database& db, const QString& name, const QString& selectList, const SummarySource& source)
{
    remakeTable(db, name, Sql("SELECT * FROM ") + summaryTable(db, name, selectList, source) + " AS summary");
}

}  // namespace query
