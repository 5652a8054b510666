#include "computations/optionsdatabase.h"

#include "query/worktable.h"
#include "store/showntext.h"
#include "store/storeerror.h"

#include <QStringList>

namespace computations {

namespace {

const QString kDeliveryDays = QStringLiteral("TDely");
const QString kSideBySide = QStringLiteral("tDelyFinal");

// The day figures of `TDely` that `tDelyFinal` shows for every day.
const char* const kDayFigures[] = {"QtyTraded", "QtyDely", "Dely %", "NSEClPrice"};

// The scrips the user chose, tested on the alias `a`.
query::Sql scripChoiceOnA(const QList<qint64>& codes)
{
    query::Sql clause;
    for (const qint64 code : codes)
        clause += query::Sql(clause.text.isEmpty() ? " and a.scriptcode in (" : ",") + query::Sql::value(code);
    if (!clause.text.isEmpty())
        clause += ")";
    return clause;
}

}  // namespace

QString optionsUnavailableMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The options database \"%1\" cannot be opened: %2").arg(store::shownPath(path), reason);
}

void openOptionsDatabase(store::Database& options, const QString& path)
{
    if (path.trimmed().isEmpty())
        throw query::Refusal(optionsUnavailableMessage(path, QStringLiteral("no file is set.")), ui::Icon::Critical);
    try {
        options.openForeign(path);
    } catch (const store::StoreError& error) {
        throw query::Refusal(optionsUnavailableMessage(path, error.message()), ui::Icon::Critical);
    }
    options.dropIfExists(QStringLiteral("toi"));
}

void makeDeliveryDays(query::RunContext& context, const QDate& from, const QDate& to)
{
    using store::ColumnKind;
    const QList<store::Column> columns{{QStringLiteral("NSEScriptCode"), ColumnKind::Text},
                                       {QStringLiteral("company"), ColumnKind::Text},
                                       {QStringLiteral("transdate"), ColumnKind::Date},
                                       {QStringLiteral("QtyTraded"), ColumnKind::Real},
                                       {QStringLiteral("QtyDely"), ColumnKind::Real},
                                       {QStringLiteral("Dely %"), ColumnKind::Real},
                                       {QStringLiteral("NSEClPrice"), ColumnKind::Real}};
    // A day without trades divides by 0.00001, so the percentage stays a number.
    const query::Sql select =
        query::Sql("SELECT a.NSEScriptCode, company, a.transdate, (a.nsetrdqty+a.bsetrdqty), (a.nsedelyqty+a.bsedelyqty),"
                   " round(((a.NSEDelyQty + a.BSEDelyQty) * 100) / (CASE WHEN (a.NSETrdQty + a.BSETrdQty) IS NULL"
                   " OR (a.NSETrdQty + a.BSETrdQty) <= 0 THEN 0.00001 ELSE (a.NSETrdQty + a.BSETrdQty) END), 2),"
                   " a.NSEClPrice from mto a, scripmaster where a.transdate between ") +
        query::Sql::value(std::min(from, to)) + " and " + query::Sql::value(std::max(from, to)) +
        " and a.ScriptCode = scripmaster.srno" + scripChoiceOnA(context.inputs.scripCodes) +
        context.state.groupFilterOn(QStringLiteral("a.scriptcode")) + " order by company, a.transdate desc";
    query::remakeWorkTable(context.db, kDeliveryDays, columns, select);
}

QString openInterestColumn(int index)
{
    return index == 0 ? QStringLiteral("OI") : QStringLiteral("OI%1").arg(index);
}

QString dayColumn(int index, const QString& name)
{
    return QChar(QLatin1Char('a').unicode() + index) + QStringLiteral("_") + name;
}

void makeSideBySideTable(store::Database& db, const QList<QDate>& days, const QStringList& markers)
{
    using store::ColumnKind;
    QList<store::Column> columns{{QStringLiteral("NSEScriptCode"), ColumnKind::Text},
                                 {QStringLiteral("company"), ColumnKind::Text},
                                 {QStringLiteral("transdate"), ColumnKind::Date}};
    QStringList selectList{QStringLiteral("a.NSEScriptCode"), QStringLiteral("a.company"), QStringLiteral("a.transdate")};
    QString from = QStringLiteral(" FROM TDely AS a");
    query::Sql where(" WHERE trim(a.NSEScriptCode) <> ''");
    for (int i = 0; i < days.size(); ++i) {
        const QString letter(QChar(QLatin1Char('a').unicode() + i));
        for (const char* figure : kDayFigures) {
            const QString name = QString::fromLatin1(figure);
            columns.append({dayColumn(i, name), ColumnKind::Real});
            selectList.append(letter + QLatin1Char('.') + store::quoteIdentifier(name));
        }
        columns.append({openInterestColumn(i), ColumnKind::Real});
        selectList.append(QStringLiteral("0.01"));
        // Rows of one symbol are matched across the days; the company keeps
        // two scrips that share a symbol apart.
        if (i > 0)
            from += QStringLiteral(" JOIN TDely AS %1 ON a.NSEScriptCode = %1.NSEScriptCode AND a.company IS %1.company")
                        .arg(letter);
        where += query::Sql(QStringLiteral(" AND %1.transdate = ").arg(letter)) + query::Sql::value(days.at(i));
    }
    columns.append({QStringLiteral("Sector"), ColumnKind::Text});
    selectList.append(QStringLiteral("space(50)"));
    for (const QString& marker : markers) {
        columns.append({marker, ColumnKind::Real});
        selectList.append(QStringLiteral("0.01"));
    }
    query::remakeWorkTable(db, kSideBySide, columns,
                           query::Sql(QStringLiteral("SELECT ") + selectList.join(QLatin1Char(',')) + from) + where);
    db.exec(QStringLiteral("CREATE INDEX tDelyFinal_symbol ON tDelyFinal (NSEScriptCode)"));
}

void fillSideBySideTable(query::RunContext& context, const store::Rows& lookup,
                         const std::function<FieldValues(int row)>& fieldsOf)
{
    const int symbolColumn = lookup.columnIndex(QStringLiteral("script"));
    store::Statement addSymbol(context.db, QStringLiteral("INSERT INTO tDelyFinal (NSEScriptCode) VALUES (?)"));
    const int total = static_cast<int>(lookup.size());
    for (int row = 0; row < total; ++row) {
        // Symbols come from outside the system: padded ones are trimmed, and a
        // row without one matches nothing.
        const QString symbol = lookup.rows.at(row).at(symbolColumn).toString().trimmed();
        if (symbol.isEmpty())
            continue;
        context.progress(QStringLiteral("Processing for Stock ") + symbol, row + 1, total);
        const QVariant found = context.db.scalar(
            QStringLiteral("SELECT 1 FROM tDelyFinal WHERE NSEScriptCode = ? LIMIT 1"), {symbol});
        if (found.isNull())
            addSymbol.run({symbol});
        const FieldValues fields = fieldsOf(row);
        if (fields.isEmpty())
            continue;
        QStringList assignments;
        store::Params params;
        for (const auto& [column, value] : fields) {
            assignments.append(store::quoteIdentifier(column) + QStringLiteral(" = ?"));
            params.append(value);
        }
        params.append(symbol);
        context.db.exec(QStringLiteral("UPDATE tDelyFinal SET %1 WHERE NSEScriptCode = ?").arg(assignments.join(QLatin1Char(','))),
                        params);
    }
}

}  // namespace computations
