#include "daystore.h"

#include "marketfixture.h"
#include "store/database.h"

DayStore::DayStore(int days, Figures anchor) : m_engine(m_store.db())
{
    db().exec(QStringLiteral("INSERT INTO GroupMaster VALUES ('ALL', ' All Stocks')"));
    scrip(kAnchor, QStringLiteral("Anchor Ltd"), QStringLiteral("ANCH"), QStringLiteral("599999"));
    this->days(kAnchor, 0, days - 1, anchor);
}

void DayStore::scrip(int code, const QString& company, const QString& nse, const QString& bse)
{
    db().exec(QStringLiteral("INSERT INTO ScripMaster (srno, company, nsescrip, bsescrip) VALUES (?,?,?,?)"),
              {code, company, nse, bse});
    m_codes.insert(code, {nse, bse});
    link(QStringLiteral("ALL"), code);
}

void DayStore::day(int code, int k, const Figures& f)
{
    auto percent = [](double delivered, double traded) { return traded > 0 ? delivered * 100 / traded : 0.0; };
    const auto& codes = m_codes.value(code);
    db().exec(QStringLiteral("INSERT INTO mto VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"),
              {date(k), code, codes.first, codes.second, f.nseTraded, f.bseTraded, f.nseDelivered, f.bseDelivered,
               percent(f.nseDelivered, f.nseTraded), percent(f.bseDelivered, f.bseTraded), f.nseClose, f.bseClose});
}

void DayStore::days(int code, int from, int to, const Figures& figures)
{
    for (int k = from; k <= to; ++k)
        day(code, k, figures);
}

void DayStore::link(const QString& group, int code)
{
    db().exec(QStringLiteral("INSERT OR IGNORE INTO GroupMaster VALUES (?, ?)"), {group, group});
    db().exec(QStringLiteral("INSERT INTO LinkDetails VALUES (?, ?)"), {group, code});
}

query::RunInputs DayStore::inputs(int group, const QString& label, query::Exchange exchange, const QString& number,
                                  const QString& number2)
{
    query::RunInputs in = MarketFixture::inputs(group, label, date(0), {}, exchange, number);
    in.number2Text = number2;
    return in;
}
