#pragma once

#include "store/database.h"

#include <QDate>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Portfolios, scrips, prices and transactions written straight into a test store.
namespace pf {

inline qint64 addPortfolio(store::Database& db, const QString& name, qint64 code = 0)
{
    if (code > 0)
        db.exec(QStringLiteral("INSERT INTO PortfolioMaster (Code, Name) VALUES (?, ?)"), {code, name});
    else
        db.exec(QStringLiteral("INSERT INTO PortfolioMaster (Name) VALUES (?)"), {name});
    return db.lastInsertId();
}

inline qint64 addScrip(store::Database& db, const QString& company)
{
    db.exec(QStringLiteral("INSERT INTO ScripMaster (company, nsescrip, bsescrip) VALUES (?, ?, ?)"),
            {company, company.toUpper(), QString()});
    return db.lastInsertId();
}

inline void addPrice(store::Database& db, const QDate& day, qint64 srno, double nseClose, double bseClose)
{
    db.exec(QStringLiteral("INSERT INTO mto (TransDate, scriptcode, NSEClPrice, BSEClPrice) VALUES (?, ?, ?, ?)"),
            {day, srno, nseClose, bseClose});
}

inline void addTransaction(store::Database& db, qint64 entry, qint64 line, qint64 portfolio, qint64 scrip,
                           const QDate& day, const QString& buySell, double qty, double rate)
{
    db.exec(QStringLiteral("INSERT INTO PortfolioManager (code, srno, Portfoliocd, ScriptCode, tdt, BuySell, qty, rate, amt) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {entry, line, portfolio, scrip, day, buySell, qty, rate, qty * rate});
}

inline int count(store::Database& db, const QString& table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt();
}

}  // namespace pf
