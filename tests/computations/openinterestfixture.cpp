#include "openinterestfixture.h"

#include "store/schema.h"

#include <QDir>

namespace openinterest_test {

TwoStores::TwoStores() : m_engine(m_main.db())
{
    m_options.open(optionsPath());
    store::createOptionsSchema(m_options);
    db().exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('ALL', ' All Stocks')"));
}

QString TwoStores::optionsPath() const
{
    return QDir(m_main.folder()).filePath(QStringLiteral("option.db"));
}

void TwoStores::addScrip(int code, const QString& company, const QString& nse, const QString& bse)
{
    db().exec(QStringLiteral("INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) VALUES (?,?,?,?)"),
              {code, company, nse, bse});
    link(QStringLiteral("ALL"), code);
}

void TwoStores::addDay(int code, const QDate& day, double nseTraded, double nseDelivered, double nseClose,
                       double bseTraded, double bseDelivered, double bseClose)
{
    auto percent = [](double delivered, double traded) { return traded > 0 ? delivered * 100 / traded : 0.0; };
    db().exec(QStringLiteral("INSERT INTO mto SELECT ?, srno, nsescrip, bsescrip, ?,?,?,?,?,?,?,? FROM ScripMaster WHERE srno = ?"),
              {day, nseTraded, bseTraded, nseDelivered, bseDelivered, percent(nseDelivered, nseTraded),
               percent(bseDelivered, bseTraded), nseClose, bseClose, code});
}

void TwoStores::link(const QString& group, int code)
{
    db().exec(QStringLiteral("INSERT INTO LinkDetails VALUES (?, ?)"), {group, code});
}

void TwoStores::addOption(const QString& symbol, const QDate& day, double probability, double assetPrice,
                          const QString& instrument)
{
    m_options.exec(QStringLiteral("INSERT INTO allscript VALUES (?,?,?,?,?)"),
                   {symbol, day, probability, assetPrice, instrument});
}

void TwoStores::addSector(const QString& symbol, const QString& sector)
{
    m_options.exec(QStringLiteral("INSERT INTO script VALUES (?,?)"), {symbol, sector});
}

query::RunInputs TwoStores::inputs(const QString& label, const QDate& first, int group) const
{
    query::RunInputs in;
    in.group = group;
    in.label = label;
    in.firstDate = first;
    in.exchange = query::Exchange::Combined;
    in.groupCode = QStringLiteral("ALL");
    in.groupName = QStringLiteral(" All Stocks");
    return in;
}

QVariantList column(const query::RunOutcome& outcome, const QString& heading)
{
    QVariantList values;
    const int index = outcome.rows.columnIndex(heading);
    for (const auto& row : outcome.rows.rows)
        values.append(index < 0 ? QVariant(QStringLiteral("<no column %1>").arg(heading)) : row.at(index));
    return values;
}

QStringList columnTexts(const query::RunOutcome& outcome, const QString& heading)
{
    QStringList texts;
    for (const QVariant& value : column(outcome, heading))
        texts.append(value.toString());
    return texts;
}

QStringList resultHeadings(const query::RunOutcome& outcome)
{
    QStringList names;
    for (const auto& c : outcome.rows.columns)
        names.append(c.name);
    return names;
}

QVariant cell(const query::RunOutcome& outcome, const QString& keyHeading, const QString& key, const QString& heading)
{
    const QStringList keys = columnTexts(outcome, keyHeading);
    const int row = static_cast<int>(keys.indexOf(key));
    if (row < 0)
        return QStringLiteral("<no row %1>").arg(key);
    return column(outcome, heading).at(row);
}

}  // namespace openinterest_test
