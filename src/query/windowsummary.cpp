#include "query/windowsummary.h"

#include "query/plainstatements.h"
#include "query/statementreader.h"
#include "query/summarylist.h"
#include "query/windowreading.h"
#include "query/worktable.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/storeerror.h"

#include <QRegularExpression>
#include <QSet>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace query {

namespace {

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
    // The entries of ofScrip by scrip code, for codes below kIndexedCodes:
    // a row finds its scrip's values without hashing.
    static constexpr qint64 kIndexedCodes = 1 << 20;
    std::vector<const std::vector<int>*> byCode;

    void index()
    {
        for (const auto& [code, joined] : ofScrip) {
            if (code < 0 || code >= kIndexedCodes)
                continue;
            if (static_cast<size_t>(code) >= byCode.size())
                byCode.resize(static_cast<size_t>(code) + 1, nullptr);
            byCode[static_cast<size_t>(code)] = &joined;
        }
    }
    // The values `scrip` joins, in the order the statement meets them, or
    // nullptr when it joins none.
    const std::vector<int>* valuesOf(qint64 scrip) const
    {
        if (scrip >= 0 && scrip < kIndexedCodes)
            return static_cast<size_t>(scrip) < byCode.size() ? byCode[static_cast<size_t>(scrip)] : nullptr;
        const auto at = ofScrip.find(scrip);
        return at == ofScrip.end() ? nullptr : &at->second;
    }
};

// Where a figure comes from: a reader column, or the product of two (a
// figure "a * b" of two columns, each read once however many figures name
// it, and multiplied here as SQLite multiplies two reals).
struct FigureSource {
    int column = 0;
    int factor = -1;  // the second column of a product
};

// Where a reader row holds what: the reader column of each group term (-1:
// the joined term), the scrip column (with a join), the first figure's
// column and where each figure comes from, relative to it.
struct RowLayout {
    std::vector<int> termColumn;
    std::vector<bool> termNoCase;
    int scripColumn = -1;
    int firstFigure = 0;
    int figureColumns = 0;
    std::vector<FigureSource> figureSources;
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
    // Whole-number keys below kIndexedNumbers (scrip codes) find their group
    // in byIndex, others in byNumber.
    constexpr qint64 kIndexedNumbers = 1 << 20;
    std::vector<int> byIndex;
    std::unordered_map<qint64, int> byNumber;
    std::unordered_map<std::string, int> byBytes;  // the group, or with a join the row's slots
    std::vector<std::vector<int>> joinSlots;        // per key of the row's own terms: the group of each joined value
    std::string key;
    int found = -1;
    // The row's own terms as the row before gave them, byte for byte: a row
    // that repeats them (the rows of one day) keeps the group found for it.
    struct Term {
        int type = SQLITE_NULL;
        qint64 integer = 0;
        double real = 0;
        std::string bytes;
    };
    std::vector<Term> before(terms);
    // The row's own terms, each looked up once per row (nullptr: the joined
    // term), and their types.
    std::vector<sqlite3_value*> termValue(terms, nullptr);
    std::vector<int> termType(terms, SQLITE_NULL);
    auto sameTermsAsBefore = [&]() {
        for (size_t t = 0; t < terms; ++t) {
            sqlite3_value* value = termValue[t];
            if (!value)
                continue;
            const Term& term = before[t];
            const int type = termType[t];
            if (type != term.type)
                return false;
            if (type == SQLITE_INTEGER && sqlite3_value_int64(value) != term.integer)
                return false;
            if (type == SQLITE_FLOAT && !(sqlite3_value_double(value) == term.real))
                return false;
            if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
                const auto* bytes = static_cast<const char*>(sqlite3_value_blob(value));
                const auto length = static_cast<size_t>(sqlite3_value_bytes(value));
                if (length != term.bytes.size() || (length > 0 && std::memcmp(bytes, term.bytes.data(), length) != 0))
                    return false;
            }
        }
        return true;
    };
    auto rememberTerms = [&]() {
        for (size_t t = 0; t < terms; ++t) {
            const int column = layout.termColumn[t];
            if (column < 0)
                continue;
            // Each value is read as what it is (reading it as another type
            // would convert it).
            Term& term = before[t];
            term.type = sqlite3_column_type(stmt, column);
            term.bytes.clear();
            if (term.type == SQLITE_INTEGER) {
                term.integer = sqlite3_column_int64(stmt, column);
            } else if (term.type == SQLITE_FLOAT) {
                term.real = sqlite3_column_double(stmt, column);
            } else if (term.type != SQLITE_NULL) {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
                term.bytes.assign(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
            }
        }
    };
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

    std::vector<Value> read(static_cast<size_t>(layout.figureColumns));
    while (rows.next()) {
        for (size_t t = 0; t < terms; ++t) {
            if (layout.termColumn[t] < 0)
                continue;
            termValue[t] = sqlite3_column_value(stmt, layout.termColumn[t]);
            termType[t] = sqlite3_value_type(termValue[t]);
        }
        for (int c = 0; c < layout.figureColumns; ++c) {
            // One look-up of the column's value, then its type and number
            // (each sqlite3_column_* call looks the column up afresh). The
            // reader's connection is used by this thread alone.
            sqlite3_value* column = sqlite3_column_value(stmt, layout.firstFigure + c);
            Value& value = read[static_cast<size_t>(c)];
            switch (sqlite3_value_type(column)) {
            case SQLITE_NULL:
                value.type = SQLITE_NULL;
                break;
            case SQLITE_INTEGER:
                value = {SQLITE_INTEGER, sqlite3_value_int64(column), 0};
                break;
            case SQLITE_FLOAT:
                value = {SQLITE_FLOAT, 0, sqlite3_value_double(column)};
                break;
            default:
                out.unsupported = true;
                return;
            }
        }
        for (int f = 0; f < figures; ++f) {
            const FigureSource& source = layout.figureSources[static_cast<size_t>(f)];
            const Value& a = read[static_cast<size_t>(source.column)];
            Value& value = values[static_cast<size_t>(f)];
            if (source.factor < 0) {
                value = a;
                continue;
            }
            const Value& b = read[static_cast<size_t>(source.factor)];
            if (a.type == SQLITE_NULL || b.type == SQLITE_NULL) {
                value.type = SQLITE_NULL;
            } else if (a.type == SQLITE_FLOAT && b.type == SQLITE_FLOAT) {
                // A product that is no number is empty, as in SQLite.
                const double product = a.real * b.real;
                value = std::isnan(product) ? Value() : Value{SQLITE_FLOAT, 0, product};
            } else {
                out.unsupported = true;  // whole numbers multiply otherwise
                return;
            }
        }
        if (oneNumber && termType[0] == SQLITE_INTEGER) {
            const qint64 number = sqlite3_value_int64(termValue[0]);
            if (number >= 0 && number < kIndexedNumbers) {
                // A scrip's code: its group by index, without hashing.
                if (static_cast<size_t>(number) >= byIndex.size())
                    byIndex.resize(static_cast<size_t>(number) + 1, -1);
                int& slot = byIndex[static_cast<size_t>(number)];
                if (slot < 0)
                    slot = addGroup(-1);
                found = slot;
            } else if (const auto at = byNumber.find(number); at != byNumber.end()) {
                found = at->second;
            } else {
                found = addGroup(-1);
                byNumber.emplace(number, found);
            }
            addRow(found);
            continue;
        }
        if (found < 0 || !sameTermsAsBefore()) {
            key.clear();
            for (size_t t = 0; t < terms; ++t)
                if (layout.termColumn[t] >= 0)
                    appendKey(key, stmt, layout.termColumn[t], layout.termNoCase[t]);
            rememberTerms();
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
        }
        if (!layout.join) {
            addRow(found);
            continue;
        }
        // The row counts once for each value its scrip joins.
        const std::vector<int>* joined = layout.join->valuesOf(sqlite3_column_int64(stmt, layout.scripColumn));
        if (!joined)
            continue;
        for (const int value : *joined) {
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
    const auto parsed = SummaryList::parse(withoutSelect(selectList), source.groupBy);
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
            if (SummaryList::sameColumn(source.groupBy[t], source.scripJoin->column))
                joinedTerm = t;
        if (joinedTerm < 0)
            return std::nullopt;
        join = readJoin(handle, source.scripJoin->pairs, keys[static_cast<size_t>(joinedTerm)]);
        if (!join)
            return std::nullopt;
        join->index();  // where the pairs now stay
        fromList = source.scripJoin->from;
        condition = source.scripJoin->condition;
    }

    // Each share walks a part of the scrips (when a group is one scrip's)
    // or of the days (when a group is one day's), so that every group is
    // gathered by one share in the statement's order.
    auto isTerm = [&source](const QString& column) {
        return std::any_of(source.groupBy.begin(), source.groupBy.end(),
                           [&column](const QString& term) { return SummaryList::sameColumn(term, column); });
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
    {
        // Each column read once: a figure that multiplies two columns reads
        // them, and the product is made from them.
        static const QRegularExpression product(
            QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*(?:\\.[A-Za-z_][A-Za-z0-9_]*)?)\\s*\\*\\s*"
                           "([A-Za-z_][A-Za-z0-9_]*(?:\\.[A-Za-z_][A-Za-z0-9_]*)?)\\s*$"));
        QStringList columns, keys;
        // A column name is told apart without regard to case, as SQL does;
        // any other expression by its text.
        auto columnOf = [&columns, &keys](const QString& expression, bool name) {
            const QString key = name ? expression.toLower() : expression;
            const qsizetype at = keys.indexOf(key);
            if (at >= 0)
                return static_cast<int>(at);
            columns.append(expression);
            keys.append(key);
            return static_cast<int>(columns.size()) - 1;
        };
        for (const QString& figure : parsed->figures()) {
            const auto match = product.match(figure);
            FigureSource source;
            if (match.hasMatch()) {
                source.column = columnOf(match.captured(1), true);
                source.factor = columnOf(match.captured(2), true);
            } else {
                source.column = columnOf(figure, false);
            }
            layout.figureSources.push_back(source);
        }
        layout.figureColumns = static_cast<int>(columns.size());
        selected += columns;
    }
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
    QStringList keyColumns;
    QSet<QString> names;
    for (int t = 0; t < terms; ++t) {
        const KeyColumn& key = keys[static_cast<size_t>(t)];
        static const QRegularExpression totalName(QStringLiteral("^(f[0-9]+_(avg|sum|min|max|n)|rows_n)$"),
                                                  QRegularExpression::CaseInsensitiveOption);
        if (names.contains(key.name.toLower()) || totalName.match(key.name).hasMatch())
            return std::nullopt;
        names.insert(key.name.toLower());
        layout.termNoCase[static_cast<size_t>(t)] = key.noCase;
        keyColumns.append(store::quoteIdentifier(key.name));
    }

    const int figures = static_cast<int>(parsed->figures().size());
    // Lowest and highest are kept only of the figures that show them.
    layout.extremes.resize(static_cast<size_t>(figures));
    for (int f = 0; f < figures; ++f)
        layout.extremes[static_cast<size_t>(f)] = parsed->showsExtremes(f);

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
    using Total = SummaryList::Total;
    for (int f = 0; f < figures; ++f)
        for (const Total total : {Total::Average, Total::Sum, Total::Lowest, Total::Highest, Total::Count})
            definitions.append(SummaryList::totalColumn(f, total));
    definitions.append(SummaryList::rowCountColumn());
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
    QStringList keyNames;
    for (const KeyColumn& key : keys)
        keyNames.append(key.name);
    // The statements that read the totals join them on their group terms.
    indexWorkTable(db, summary.m_table, keyNames);
    summary.m_columns = parsed->columnsOver(keyColumns);
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
    // The table is joined on its group terms, which its columns of the same
    // names hold: it is indexed on as many of them, in order, as it keeps.
    QStringList made;
    for (const store::Column& column : db.tableColumns(name))
        made.append(column.name.toLower());
    QStringList keys;
    for (const QString& term : source.groupBy) {
        const QString column = term.section(QLatin1Char('.'), -1).trimmed();
        if (!made.contains(column.toLower()))
            break;
        keys.append(column);
    }
    indexWorkTable(db, name, keys);
}

}  // namespace query
