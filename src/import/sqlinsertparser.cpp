#include "import/sqlinsertparser.h"

#include "import/textlines.h"

#include <QSet>

namespace import::sqlinsert {

namespace {

// One literal of a VALUES list.
struct Literal {
    enum class Kind { Number, Text, Null };
    Kind kind = Kind::Null;
    QString text;         // the text without quotes, or the number as written
    bool integral = false;  // a number without a fraction
};

// A cursor over one line that reads the parts of the statement in order.
class LineCursor {
public:
    explicit LineCursor(const QString& line) : m_line(line) {}

    void skipBlanks()
    {
        while (m_pos < m_line.size() && (m_line[m_pos] == QLatin1Char(' ') || m_line[m_pos] == QLatin1Char('\t')))
            ++m_pos;
    }

    bool atEnd()
    {
        skipBlanks();
        return m_pos >= m_line.size();
    }

    // Reads `symbol` when it comes next.
    bool take(QChar symbol)
    {
        skipBlanks();
        if (m_pos < m_line.size() && m_line[m_pos] == symbol) {
            ++m_pos;
            return true;
        }
        return false;
    }

    // A name: a letter or '_' followed by letters, digits or '_'.
    QString name()
    {
        skipBlanks();
        const qsizetype start = m_pos;
        if (m_pos < m_line.size() && (isLetter(m_line[m_pos]) || m_line[m_pos] == QLatin1Char('_'))) {
            ++m_pos;
            while (m_pos < m_line.size() &&
                   (isLetter(m_line[m_pos]) || isDigit(m_line[m_pos]) || m_line[m_pos] == QLatin1Char('_')))
                ++m_pos;
        }
        return m_line.mid(start, m_pos - start);
    }

    bool keyword(const char* word)
    {
        const qsizetype start = m_pos;
        if (name().compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return true;
        m_pos = start;
        return false;
    }

    // A number, a quoted text or NULL; false with a reason otherwise.
    bool literal(Literal& out, QString& reason)
    {
        skipBlanks();
        if (m_pos >= m_line.size()) {
            reason = QStringLiteral("a value is missing");
            return false;
        }
        const QChar first = m_line[m_pos];
        if (first == QLatin1Char('\''))
            return quotedText(out, reason);
        if (isDigit(first) || first == QLatin1Char('-') || first == QLatin1Char('+') || first == QLatin1Char('.'))
            return number(out, reason);
        if (keyword("NULL")) {
            out = {Literal::Kind::Null, {}, false};
            return true;
        }
        reason = QStringLiteral("\"%1\" is not a value").arg(shownValue(QStringView(m_line).sliced(m_pos)));
        return false;
    }

    QString rest() const { return m_line.mid(m_pos); }

private:
    static bool isLetter(QChar c) { return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')); }
    static bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

    bool quotedText(Literal& out, QString& reason)
    {
        QString text;
        ++m_pos;  // the opening quote
        while (m_pos < m_line.size()) {
            const QChar c = m_line[m_pos++];
            if (c != QLatin1Char('\'')) {
                text += c;
                continue;
            }
            if (m_pos < m_line.size() && m_line[m_pos] == QLatin1Char('\'')) {
                text += c;
                ++m_pos;
                continue;
            }
            out = {Literal::Kind::Text, text, false};
            return true;
        }
        reason = QStringLiteral("a quoted text is not closed");
        return false;
    }

    bool number(Literal& out, QString& reason)
    {
        const qsizetype start = m_pos;
        if (m_line[m_pos] == QLatin1Char('-') || m_line[m_pos] == QLatin1Char('+'))
            ++m_pos;
        qsizetype digits = 0;
        while (m_pos < m_line.size() && isDigit(m_line[m_pos])) {
            ++m_pos;
            ++digits;
        }
        bool integral = true;
        if (m_pos < m_line.size() && m_line[m_pos] == QLatin1Char('.')) {
            integral = false;
            ++m_pos;
            while (m_pos < m_line.size() && isDigit(m_line[m_pos])) {
                ++m_pos;
                ++digits;
            }
        }
        // A number runs up to a blank, a comma or the closing bracket.
        const bool ended = m_pos >= m_line.size() || m_line[m_pos] == QLatin1Char(' ') ||
                           m_line[m_pos] == QLatin1Char('\t') || m_line[m_pos] == QLatin1Char(',') ||
                           m_line[m_pos] == QLatin1Char(')');
        if (digits == 0 || !ended) {
            reason = QStringLiteral("\"%1\" is not a number").arg(shownValue(QStringView(m_line).sliced(start)));
            return false;
        }
        QString text = m_line.mid(start, m_pos - start);
        if (text.startsWith(QLatin1Char('+')))
            text.remove(0, 1);
        out = {Literal::Kind::Number, text, integral};
        return true;
    }

    const QString& m_line;
    qsizetype m_pos = 0;
};

int columnIndex(const TableShape& shape, const QString& name)
{
    for (qsizetype i = 0; i < shape.columns.size(); ++i)
        if (shape.columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

bool fail(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
    return false;
}

// The value a literal gives a column, or false with a reason.
bool columnValue(const ColumnShape& column, const Literal& literal, QVariant& value, QString* reason)
{
    switch (literal.kind) {
    case Literal::Kind::Null:
        if (column.required)
            return fail(reason, QStringLiteral("%1 must not be NULL").arg(column.name));
        value = QVariant();
        return true;
    case Literal::Kind::Text:
        if (column.kind == ValueKind::WholeNumber)
            return fail(reason, QStringLiteral("%1 must be a whole number, not a text").arg(column.name));
        // A NUL would cut the text short for every query.
        if (holdsControlCharacter(literal.text))
            return fail(reason, QStringLiteral("%1 holds a control character").arg(column.name));
        value = literal.text;
        return true;
    case Literal::Kind::Number:
        if (column.kind == ValueKind::Text) {
            value = literal.text;
            return true;
        }
        bool ok = false;
        const qint64 number = literal.text.toLongLong(&ok);
        if (!literal.integral || !ok)
            return fail(reason,
                        QStringLiteral("%1 must be a whole number, not %2").arg(column.name, shownValue(literal.text)));
        value = number;
        return true;
    }
    return false;
}

}  // namespace

std::optional<QVariantList> parseInsert(const QString& line, const TableShape& shape, QString* reason)
{
    LineCursor cursor(line);
    const QString expected = QStringLiteral("the line is not an insert into %1").arg(shape.table);
    if (!cursor.keyword("INSERT") || !cursor.keyword("INTO")) {
        fail(reason, expected);
        return std::nullopt;
    }
    const QString table = cursor.name();
    if (table.compare(shape.table, Qt::CaseInsensitive) != 0) {
        fail(reason, table.isEmpty() ? expected
                                     : QStringLiteral("the line inserts into %1, not into %2")
                                           .arg(shownValue(table), shape.table));
        return std::nullopt;
    }

    // The columns the values are for: as named, or every column in order.
    QList<int> targets;
    if (cursor.take(QLatin1Char('('))) {
        QSet<int> named;
        do {
            const QString name = cursor.name();
            const int index = columnIndex(shape, name);
            if (index < 0) {
                fail(reason, name.isEmpty() ? QStringLiteral("a column name is missing")
                                            : QStringLiteral("%1 has no column %2").arg(shape.table, shownValue(name)));
                return std::nullopt;
            }
            if (named.contains(index)) {
                fail(reason, QStringLiteral("the column %1 is named twice").arg(shownValue(name)));
                return std::nullopt;
            }
            named.insert(index);
            targets.append(index);
        } while (cursor.take(QLatin1Char(',')));
        if (!cursor.take(QLatin1Char(')'))) {
            fail(reason, QStringLiteral("the column list is not closed"));
            return std::nullopt;
        }
    } else {
        for (int i = 0; i < shape.columns.size(); ++i)
            targets.append(i);
    }

    if (!cursor.keyword("VALUES") || !cursor.take(QLatin1Char('('))) {
        fail(reason, QStringLiteral("VALUES ( ... ) is expected after the table"));
        return std::nullopt;
    }
    QList<Literal> literals;
    do {
        Literal literal;
        QString why;
        if (!cursor.literal(literal, why)) {
            fail(reason, why);
            return std::nullopt;
        }
        literals.append(literal);
    } while (cursor.take(QLatin1Char(',')));
    if (!cursor.take(QLatin1Char(')'))) {
        fail(reason, QStringLiteral("the value list is not closed"));
        return std::nullopt;
    }
    cursor.take(QLatin1Char(';'));
    if (!cursor.atEnd()) {
        fail(reason, QStringLiteral("the line goes on after the statement (\"%1\")")
                         .arg(shownValue(cursor.rest().trimmed())));
        return std::nullopt;
    }
    if (literals.size() != targets.size()) {
        fail(reason, QStringLiteral("%1 values are given for %2 columns").arg(literals.size()).arg(targets.size()));
        return std::nullopt;
    }

    QVariantList values(shape.columns.size());
    QList<bool> given(shape.columns.size(), false);
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const int column = targets[i];
        if (!columnValue(shape.columns[column], literals[i], values[column], reason))
            return std::nullopt;
        given[column] = true;
    }
    for (qsizetype i = 0; i < shape.columns.size(); ++i) {
        if (shape.columns[i].required && !given[i]) {
            fail(reason, QStringLiteral("no value is given for %1").arg(shape.columns[i].name));
            return std::nullopt;
        }
    }
    return values;
}

}  // namespace import::sqlinsert
