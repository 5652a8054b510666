#include "scanfixture.h"

#include "store/database.h"
#include "store/transaction.h"

ScanFixture::ScanFixture()
{
    db().exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('ALL', ' All Stocks')"));
}

qint64 ScanFixture::addScrip(const QString& company, const QString& nse, const QString& bse, const QList<Day>& days)
{
    const qint64 code = m_nextCode++;
    store::Transaction transaction(db());
    db().exec(QStringLiteral("INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) VALUES (?,?,?,?)"),
              {code, company, nse, bse});
    db().exec(QStringLiteral("INSERT INTO LinkDetails VALUES ('ALL', ?)"), {code});
    for (const Day& d : days)
        db().exec(QStringLiteral("INSERT INTO mto VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"),
                  {d.day, code, nse, bse, d.nseTraded, d.bseTraded, d.nseDelivered, d.bseDelivered, d.nsePercent,
                   d.bsePercent, d.nseClose, d.bseClose});
    transaction.commit();
    return code;
}

void ScanFixture::link(const QString& groupCode, qint64 scrip)
{
    db().exec(QStringLiteral("INSERT OR IGNORE INTO GroupMaster VALUES (?, ?)"), {groupCode, groupCode});
    db().exec(QStringLiteral("INSERT INTO LinkDetails VALUES (?, ?)"), {groupCode, scrip});
}

query::RunInputs ScanFixture::inputs(int group, const QString& label, const QDate& first, query::Exchange exchange,
                                     const QString& number, const QString& number2)
{
    query::RunInputs in;
    in.group = group;
    in.label = label;
    in.firstDate = first;
    in.exchange = exchange;
    in.numberText = number;
    in.number2Text = number2;
    in.groupCode = QStringLiteral("ALL");
    in.groupName = QStringLiteral(" All Stocks");
    return in;
}

query::RunOutcome ScanFixture::run(const query::RunInputs& inputs, const query::ProgressCallback& progress)
{
    query::QueryEngine engine(db());
    return engine.run(inputs, progress);
}

QList<QDate> columnDates(const query::RunOutcome& outcome, const QString& column)
{
    QList<QDate> values;
    const int index = outcome.rows.columnIndex(column);
    for (const auto& row : outcome.rows.rows)
        values.append(index < 0 ? QDate() : row.at(index).toDate());
    return values;
}
