#include "scanmarket.h"

#include "scanfixture.h"
#include "store/database.h"

namespace scantest {

ScanMarket::ScanMarket()
{
    db().exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('ALL', ' All Stocks'), ('BANK', 'Banks'),"
                             " ('Derivative', 'Derivatives F & O')"));
}

void ScanMarket::addScrip(int code, const QString& company, const QString& nse, const QString& bse)
{
    db().exec(QStringLiteral("INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) VALUES (?,?,?,?)"),
              {code, company, nse, bse});
    link(QStringLiteral("ALL"), code);
}

void ScanMarket::addDay(int code, const QDate& day, const Figures& nse, const Figures& bse)
{
    const store::Rows scrip = db().query(QStringLiteral("SELECT nsescrip, bsescrip FROM ScripMaster WHERE srno = ?"), {code});
    db().exec(QStringLiteral("INSERT INTO mto VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"),
              {day, code, scrip.value(0, QStringLiteral("nsescrip")), scrip.value(0, QStringLiteral("bsescrip")),
               nse.traded, bse.traded, nse.delivered, bse.delivered, nse.percent, bse.percent, nse.close, bse.close});
}

void ScanMarket::addBhav(const QString& symbol, const QDate& day, double high, double low, double close,
                         const QVariant& ema14, const QVariant& ema34, const QString& series)
{
    db().exec(QStringLiteral("INSERT INTO allbhavcopy (symbol, series, highprice, lowprice, closeprice, TransDate,"
                             " EMA14Days, EMA34days) VALUES (?,?,?,?,?,?,?,?)"),
              {symbol, series, high, low, close, day, ema14, ema34});
}

void ScanMarket::link(const QString& group, int code)
{
    db().exec(QStringLiteral("INSERT INTO LinkDetails VALUES (?, ?)"), {group, code});
}

query::RunInputs ScanMarket::inputs(int group, const QString& label, const QDate& first, const QString& number,
                                    query::Exchange exchange) const
{
    return ScanFixture::inputs(group, label, first, exchange, number);
}

query::RunOutcome ScanMarket::run(const query::RunInputs& in, QStringList* progress)
{
    query::QueryEngine engine(db());
    query::ProgressCallback callback;
    if (progress)
        callback = [progress](const QString& text, int, int) {
            if (!text.isEmpty())
                progress->append(text);
        };
    return engine.run(in, callback);
}

QString nbsp(int width)
{
    return QString(width, QChar(0x00A0));
}

}  // namespace scantest
