#pragma once

#include "portfolio/lookupdialog.h"
#include "store/database.h"
#include "support/fakeservices.h"
#include "support/scriptedprompt.h"

#include <QDate>
#include <QLineEdit>
#include <QQueue>
#include <QString>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Portfolios, scrips, prices and transactions written straight into a test store.
namespace pf {

inline qint64 addPortfolio(store::Database& db, const QString& name, qint64 code = 0)
{
    db.exec("INSERT INTO PortfolioMaster (Code, Name) VALUES (?, ?)", {code > 0 ? QVariant(code) : QVariant(), name});
    return db.lastInsertId();
}

inline qint64 addScrip(store::Database& db, const QString& company)
{
    db.exec("INSERT INTO ScripMaster (company, nsescrip, bsescrip) VALUES (?, ?, ?)",
            {company, company.toUpper(), QString()});
    return db.lastInsertId();
}

inline void addPrice(store::Database& db, const QDate& day, qint64 srno, double nseClose, double bseClose)
{
    db.exec("INSERT INTO mto (TransDate, scriptcode, NSEClPrice, BSEClPrice) VALUES (?, ?, ?, ?)",
            {day, srno, nseClose, bseClose});
}

inline void addTransaction(store::Database& db, qint64 entry, qint64 line, qint64 portfolio, qint64 scrip,
                           const QDate& day, const QString& buySell, double qty, double rate)
{
    db.exec("INSERT INTO PortfolioManager (code, srno, Portfoliocd, ScriptCode, tdt, BuySell, qty, rate, amt) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {entry, line, portfolio, scrip, day, buySell, qty, rate, qty * rate});
}

inline int count(store::Database& db, const QString& table)
{
    return db.scalar("SELECT count(*) FROM " + table).toInt();
}

// The texts of the line edits of `form` with the blank-separated `names`.
inline QStringList boxTexts(const QObject* form, const QString& names)
{
    QStringList texts;
    for (const QString& name : names.split(' '))
        texts << form->findChild<QLineEdit*>(name)->text();
    return texts;
}

// A screen test's store, services and prompt, and look-ups answered from a
// queue of chosen rows (an empty queue cancels the look-up).
class ScreenTest : public ::testing::Test {
protected:
    store::Database& db() { return services.store.db(); }
    portfolio::LookupRunner lookups()
    {
        return [this](const QString&, const QStringList&) {
            return choices.isEmpty() ? QStringList() : choices.dequeue();
        };
    }

    FakeServices services;
    ScriptedPrompt prompt;
    QQueue<QStringList> choices;
};

}  // namespace pf
