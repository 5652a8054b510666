#include "portfolio/valuation.h"

#include <QStringList>

namespace portfolio {

namespace {

// The side as stored (see sideOf): the word, or the letter that rows entered
// one at a time stored before they stored the word.
const QString kBuy = QStringLiteral("upper(trim(PortfolioManager.BuySell)) IN ('BUY', 'B')");
const QString kSell = QStringLiteral("upper(trim(PortfolioManager.BuySell)) IN ('SELL', 'S')");
const QString kQty = QStringLiteral("PortfolioManager.qty");
const QString kValue = QStringLiteral("(PortfolioManager.qty * PortfolioManager.rate)");

QString when(const QString& condition, const QString& value)
{
    return QStringLiteral("(CASE WHEN %1 THEN %2 ELSE 0 END)").arg(condition, value);
}

// The day's price of the row's scrip (the day is the first bound value).
QString dayPrice()
{
    return QStringLiteral("round((SELECT round(CASE WHEN mto.NSEClPrice > 0 THEN mto.NSEClPrice ELSE mto.BSEClPrice END, 2) "
                          "FROM mto WHERE mto.TransDate = ? AND mto.scriptcode = PortfolioManager.ScriptCode), 2)");
}

QString holdingColumns()
{
    return QStringLiteral("sum(%1 - %2) AS NetQty, sum(%3) AS PurAmt, sum(%4) AS SalesAmt, sum(%3 - %4) AS NetPurchase, ")
               .arg(when(kBuy, kQty), when(kSell, kQty), when(kBuy, kValue), when(kSell, kValue)) +
           dayPrice() + QStringLiteral(" AS CurrPrice");
}

const QString kJoins = QStringLiteral(
    " FROM (PortfolioMaster INNER JOIN PortfolioManager ON PortfolioMaster.Code = PortfolioManager.Portfoliocd) "
    "INNER JOIN ScripMaster ON PortfolioManager.ScriptCode = ScripMaster.srno");

struct Filter {
    QStringList conditions;
    store::Params values;

    QString where(const QString& keyword) const
    {
        return conditions.isEmpty() ? QString() : keyword + conditions.join(QLatin1String(" AND "));
    }
};

Filter filterFor(const ValuationRequest& request)
{
    Filter filter;
    if (request.portfolioCode) {
        filter.conditions.append(QStringLiteral("PortfolioManager.Portfoliocd = ?"));
        filter.values.append(*request.portfolioCode);
    }
    if (request.scripCode) {
        filter.conditions.append(QStringLiteral("PortfolioManager.ScriptCode = ?"));
        filter.values.append(*request.scripCode);
    }
    return filter;
}

QVariant dayValue(const QDate& day)
{
    return day.isValid() ? QVariant(day) : QVariant();
}

// Value and gain from the price and the net figures of an inner select.
QString valuedSelect(const QString& leading, const QString& inner, const QString& trailing, const QString& order)
{
    return QStringLiteral("SELECT %1, NetQty, PurAmt, SalesAmt, NetPurchase, CurrPrice, round(CurrPrice * NetQty, 2) AS NetValue, "
                          "round(round(CurrPrice * NetQty, 2) - NetPurchase, 2) AS Gainloss%2 FROM (%3) AS holding ORDER BY %4")
        .arg(leading, trailing, inner, order);
}

}  // namespace

bool isSectorGroup(const QString& groupCode)
{
    const QString code = groupCode.trimmed();
    if (code.compare(QLatin1String("BANKS"), Qt::CaseInsensitive) == 0)
        return true;
    bool isNumber = false;
    code.toDouble(&isNumber);
    return isNumber;
}

QList<QDate> tradingDays(store::Database& db)
{
    QList<QDate> days;
    for (const QVariantList& row : db.query(QStringLiteral("SELECT DISTINCT TransDate FROM mto ORDER BY TransDate DESC")).rows)
        days.append(row.value(0).toDate());
    return days;
}

store::Rows valuationRows(store::Database& db, const ValuationRequest& request)
{
    const Filter filter = filterFor(request);
    store::Params values{dayValue(request.day)};
    values.append(filter.values);
    const bool byScrip = request.order == ValuationOrder::ScriptWise;

    switch (request.kind) {
    case ValuationKind::Summary: {
        const QString inner = QStringLiteral("SELECT PortfolioMaster.Name AS Name, min(ScripMaster.company) AS Company, ") +
                              holdingColumns() + kJoins + filter.where(QStringLiteral(" WHERE ")) +
                              QStringLiteral(" GROUP BY PortfolioMaster.Name, PortfolioManager.ScriptCode");
        return db.query(valuedSelect(QStringLiteral("Name, Company"), inner, {},
                                     byScrip ? QStringLiteral("Company, Name") : QStringLiteral("Name, Company")),
                        values);
    }
    case ValuationKind::Detail: {
        const QString sql =
            QStringLiteral("SELECT PortfolioMaster.Name AS Name, ScripMaster.company AS Company, PortfolioManager.tdt AS tdt, "
                           "%1 AS PurQty, %2 AS SellQty, %3 AS PurAmt, %4 AS SalesAmt, ")
                .arg(when(kBuy, kQty), when(kSell, kQty), when(kBuy, kValue), when(kSell, kValue)) +
            dayPrice() + QStringLiteral(" AS CurrPrice") + kJoins + filter.where(QStringLiteral(" WHERE ")) +
            (byScrip ? QStringLiteral(" ORDER BY Company, Name, tdt, PortfolioManager.code, PortfolioManager.srno")
                     : QStringLiteral(" ORDER BY Name, Company, tdt, PortfolioManager.code, PortfolioManager.srno"));
        return db.query(sql, values);
    }
    case ValuationKind::SectorWise: {
        QStringList sectors;
        for (const QVariantList& row : db.query(QStringLiteral("SELECT GroupCode FROM GroupMaster")).rows)
            if (isSectorGroup(row.value(0).toString()))
                sectors.append(row.value(0).toString());
        QStringList marks;
        for (qsizetype i = 0; i < sectors.size(); ++i)
            marks.append(QStringLiteral("?"));
        // The sector codes follow the day and the filter's values.
        store::Params ordered{values.first()};
        ordered.append(filter.values);
        for (const QString& code : sectors)
            ordered.append(code);
        QString where = filter.where(QStringLiteral(" WHERE "));
        const QString sectorCondition = marks.isEmpty()
                                            ? QStringLiteral("0")
                                            : QStringLiteral("GroupMaster.GroupCode IN (%1)").arg(marks.join(QLatin1String(", ")));
        where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) + sectorCondition;
        const QString inner =
            QStringLiteral("SELECT PortfolioMaster.Name AS Name, GroupMaster.GroupName AS GroupName, "
                           "min(ScripMaster.company) AS company, ") +
            holdingColumns() + QStringLiteral(", ScripMaster.srno AS srno") +
            QStringLiteral(" FROM PortfolioMaster INNER JOIN PortfolioManager ON PortfolioMaster.Code = PortfolioManager.Portfoliocd "
                           "INNER JOIN LinkDetails ON PortfolioManager.ScriptCode = LinkDetails.ScrCode "
                           "INNER JOIN GroupMaster ON LinkDetails.GrpCode = GroupMaster.GroupCode "
                           "INNER JOIN ScripMaster ON LinkDetails.ScrCode = ScripMaster.srno") +
            where +
            QStringLiteral(" GROUP BY PortfolioMaster.Name, ScripMaster.srno, GroupMaster.GroupName, PortfolioManager.ScriptCode");
        return db.query(valuedSelect(QStringLiteral("Name, GroupName, company"), inner, QStringLiteral(", srno"),
                                     QStringLiteral("Name, GroupName, company")),
                        ordered);
    }
    }
    return {};
}

}  // namespace portfolio
