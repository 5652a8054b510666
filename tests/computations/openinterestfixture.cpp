#include "openinterestfixture.h"

#include "scanfixture.h"
#include "store/schema.h"

#include <QDir>
#include <gtest/gtest.h>

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
    return ScanFixture::inputs(group, label, first, query::Exchange::Combined);
}

void expectCells(const query::RunOutcome& outcome, const QString& keyHeading, const QList<Cell>& cells)
{
    for (const Cell& c : cells) {
        const std::string where = std::string(c.key) + " " + c.heading;
        const int row = static_cast<int>(texts(outcome, keyHeading).indexOf(QString::fromLatin1(c.key)));
        ASSERT_TRUE(row >= 0 && outcome.rows.columnIndex(QString::fromLatin1(c.heading)) >= 0) << where;
        const QVariant value = outcome.rows.value(row, QString::fromLatin1(c.heading));
        if (c.value.isNull())
            EXPECT_TRUE(value.isNull()) << where << ": " << value.toString().toStdString();
        else if (c.value.typeId() == QMetaType::Double || c.value.typeId() == QMetaType::Int)
            EXPECT_DOUBLE_EQ(value.toDouble(), c.value.toDouble()) << where;
        else
            EXPECT_EQ(value, c.value) << where;
    }
}

}  // namespace openinterest_test
