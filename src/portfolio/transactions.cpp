#include "portfolio/transactions.h"

#include "store/datetext.h"
#include "store/jetfunctions.h"
#include "store/transaction.h"

#include <cmath>
#include <stdexcept>

namespace portfolio {

namespace {

const QString kEntryColumns = QStringLiteral(
    "SELECT PortfolioManager.Portfoliocd, PortfolioMaster.Name, PortfolioManager.ScriptCode, ScripMaster.company, "
    "PortfolioManager.tdt, PortfolioManager.Qty, PortfolioManager.Rate, PortfolioManager.Amt, PortfolioManager.BuySell, "
    "PortfolioManager.Code, PortfolioManager.Srno");
const QString kEntryJoins = QStringLiteral(
    " FROM ScripMaster INNER JOIN (PortfolioManager INNER JOIN PortfolioMaster ON PortfolioManager.Portfoliocd = "
    "PortfolioMaster.Code) ON ScripMaster.srno = PortfolioManager.ScriptCode");

QString numberText(const QVariant& value)
{
    return value.isNull() ? QString() : store::jetNumberText(value.toDouble());
}

}  // namespace

bool TransactionLine::isBlank() const
{
    return portfolio.isEmpty() && portfolioCode.isEmpty() && company.isEmpty() && scripCode.isEmpty() &&
           date.isEmpty() && buySell.isEmpty() && qty.isEmpty() && rate.isEmpty() && amt.isEmpty() && srno.isEmpty();
}

QString sideOf(const QString& stored)
{
    const QString side = stored.trimmed();
    if (side.compare(QLatin1String("Buy"), Qt::CaseInsensitive) == 0 || side.compare(QLatin1String("B"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Buy");
    if (side.compare(QLatin1String("Sell"), Qt::CaseInsensitive) == 0 || side.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Sell");
    return side;
}

double cellNumber(const QString& text)
{
    return store::jetVal(text);
}

std::optional<QString> lineAmount(const QString& qty, const QString& rate)
{
    const double quantity = std::nearbyint(cellNumber(qty));  // halves to even
    const float price = static_cast<float>(cellNumber(rate));
    if (quantity == 0 || price == 0)
        return std::nullopt;
    return store::jetNumberText(store::jetRound(static_cast<double>(price) * quantity, 2));
}

std::optional<QString> checkLines(const QList<TransactionLine>& lines)
{
    qsizetype used = lines.size();
    while (used > 0 && lines.at(used - 1).isBlank())
        --used;
    if (used == 0)
        return QStringLiteral("Please Enter Record In Grid");
    for (qsizetype i = 0; i < used; ++i) {
        const TransactionLine& line = lines.at(i);
        const QString row = QString::number(i + 1);
        if (line.portfolio.isEmpty())
            return QStringLiteral("Please Select Portfolio Name on Row : ") + row;
        if (line.company.isEmpty())
            return QStringLiteral("Please Select Company on Row : ") + row;
        if (line.buySell.isEmpty())
            return QStringLiteral("Please Select Buy /  Sell on Row : ") + row;
        if (cellNumber(line.qty) <= 0)
            return QStringLiteral("Please Enter Qty on Row : ") + row;
        if (cellNumber(line.rate) <= 0)
            return QStringLiteral("Please Enter Rate on Row : ") + row;
    }
    return std::nullopt;
}

qint64 saveEntry(store::Database& db, const QList<TransactionLine>& lines, std::optional<qint64> replacing)
{
    qsizetype used = lines.size();
    while (used > 0 && lines.at(used - 1).isBlank())
        --used;

    // Dates are checked before anything is written.
    QList<QVariant> dates;
    for (qsizetype i = 0; i < used; ++i) {
        const QString text = lines.at(i).date.trimmed();
        if (text.isEmpty()) {
            dates.append(QVariant());
            continue;
        }
        QString error;
        const auto day = datetext::fromDisplay(text, &error);
        if (!day)
            throw std::invalid_argument(
                QStringLiteral("The date on row %1 is not a day: %2").arg(QString::number(i + 1), text).toStdString());
        dates.append(*day);
    }

    store::Transaction transaction(db);
    qint64 code = 0;
    if (replacing) {
        code = *replacing;
        db.exec(QStringLiteral("DELETE FROM PortfolioManager WHERE code = ?"), {code});
    } else {
        code = static_cast<qint64>(
                   cellNumber(db.scalar(QStringLiteral("SELECT max(code) FROM PortfolioManager")).toString())) +
               1;
    }
    store::Statement insert(db, QStringLiteral("INSERT INTO PortfolioManager (code, srno, Portfoliocd, ScriptCode, tdt, "
                                               "BuySell, qty, rate, amt) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (qsizetype i = 0; i < used; ++i) {
        const TransactionLine& line = lines.at(i);
        insert.run({code, i + 1, cellNumber(line.portfolioCode), cellNumber(line.scripCode), dates.at(i),
                    line.buySell.trimmed(), cellNumber(line.qty), cellNumber(line.rate), cellNumber(line.amt)});
    }
    transaction.commit();
    return code;
}

QList<TransactionLine> loadEntry(store::Database& db, qint64 code)
{
    const store::Rows rows =
        db.query(kEntryColumns + kEntryJoins + QStringLiteral(" WHERE PortfolioManager.Code = ? ORDER BY PortfolioManager.Srno"),
                 {code});
    QList<TransactionLine> lines;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        TransactionLine line;
        line.portfolioCode = numberText(rows.value(r, QStringLiteral("Portfoliocd")));
        line.portfolio = rows.value(r, QStringLiteral("Name")).toString();
        line.scripCode = numberText(rows.value(r, QStringLiteral("ScriptCode")));
        line.company = rows.value(r, QStringLiteral("company")).toString();
        const QVariant day = rows.value(r, QStringLiteral("tdt"));
        line.date = day.typeId() == QMetaType::QDate ? datetext::toDisplay(day.toDate())
                                                     : datetext::storageToDisplay(day.toString());
        line.buySell = sideOf(rows.value(r, QStringLiteral("BuySell")).toString());
        line.qty = numberText(rows.value(r, QStringLiteral("Qty")));
        line.rate = numberText(rows.value(r, QStringLiteral("Rate")));
        line.amt = numberText(rows.value(r, QStringLiteral("Amt")));
        line.srno = numberText(rows.value(r, QStringLiteral("Srno")));
        lines.append(line);
    }
    return lines;
}

void deleteEntry(store::Database& db, qint64 code)
{
    db.exec(QStringLiteral("DELETE FROM PortfolioManager WHERE code = ?"), {code});
}

void deleteEntryLine(store::Database& db, qint64 code, qint64 srno)
{
    db.exec(QStringLiteral("DELETE FROM PortfolioManager WHERE code = ? AND srno = ?"), {code, srno});
}

QString entryLookupSql()
{
    return kEntryColumns + kEntryJoins + QLatin1Char(';');
}

QStringList entryLookupTypes()
{
    return {QStringLiteral("N"), QStringLiteral("T"), QStringLiteral("N"), QStringLiteral("T"), QStringLiteral("T"),
            QStringLiteral("N"), QStringLiteral("N"), QStringLiteral("N"), QStringLiteral("T"), QStringLiteral("N"),
            QStringLiteral("N")};
}

}  // namespace portfolio
