#include "store/schema.h"

#include "store/database.h"
#include "store/transaction.h"

namespace store {

namespace {

// Market figures are REAL so that division is never integer division; text
// keys compare without regard to case; dates are ISO text declared DATE.
const char* const kMainSchema = R"SQL(
CREATE TABLE IF NOT EXISTS mto (
    TransDate     DATE NOT NULL,
    scriptcode    INTEGER NOT NULL,
    NSEScriptCode TEXT COLLATE NOCASE,
    BSEScriptCode TEXT COLLATE NOCASE,
    NSETrdQty     REAL,
    BSETrdQty     REAL,
    NSEDelyQty    REAL,
    BSEDelyQty    REAL,
    NSEPerc       REAL,
    BSEPerc       REAL,
    NSEClPrice    REAL,
    BSEClPrice    REAL
);
CREATE UNIQUE INDEX IF NOT EXISTS mto_day_scrip ON mto (TransDate, scriptcode);
CREATE INDEX IF NOT EXISTS mto_scrip_day ON mto (scriptcode, TransDate);

CREATE TABLE IF NOT EXISTS ScripMaster (
    srno     INTEGER PRIMARY KEY AUTOINCREMENT,
    company  TEXT COLLATE NOCASE,
    nsescrip TEXT COLLATE NOCASE,
    bsescrip TEXT COLLATE NOCASE
);

CREATE TABLE IF NOT EXISTS GroupMaster (
    GroupCode TEXT COLLATE NOCASE PRIMARY KEY,
    GroupName TEXT COLLATE NOCASE
);

CREATE TABLE IF NOT EXISTS LinkDetails (
    GrpCode TEXT COLLATE NOCASE NOT NULL,
    ScrCode INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS LinkDetails_group_scrip ON LinkDetails (GrpCode, ScrCode);

CREATE TABLE IF NOT EXISTS allbhavcopy (
    symbol     TEXT COLLATE NOCASE,
    series     TEXT COLLATE NOCASE,
    openprice  REAL,
    highprice  REAL,
    lowprice   REAL,
    closeprice REAL,
    lastprice  REAL,
    prevclose  REAL,
    tottrdqty  REAL,
    tottrdval  REAL,
    TransDate  DATE,
    EMA14Days  REAL,
    EMA34days  REAL
);
CREATE INDEX IF NOT EXISTS allbhavcopy_symbol_series_day ON allbhavcopy (symbol, series, TransDate);
CREATE INDEX IF NOT EXISTS allbhavcopy_day ON allbhavcopy (TransDate);

CREATE TABLE IF NOT EXISTS nnf_security (
    srno    INTEGER,
    symbol  TEXT COLLATE NOCASE,
    segment TEXT COLLATE NOCASE
);

CREATE TABLE IF NOT EXISTS GainLoss (
    trndate    DATE,
    Script     TEXT COLLATE NOCASE,
    ClosePrice REAL,
    PrevClose  REAL,
    perc       REAL,
    gainloss   TEXT COLLATE NOCASE
);

CREATE TABLE IF NOT EXISTS hilo (
    Script     TEXT COLLATE NOCASE,
    Hi52Week   REAL,
    Lo52week   REAL,
    ClosePrice REAL
);

CREATE TABLE IF NOT EXISTS Script (
    Symbol   TEXT COLLATE NOCASE,
    Security TEXT COLLATE NOCASE
);

CREATE TABLE IF NOT EXISTS BulkDeals (
    DealDate   DATE,
    Exchange   TEXT COLLATE NOCASE,
    Symbol     TEXT COLLATE NOCASE,
    Security   TEXT COLLATE NOCASE,
    ClientName TEXT COLLATE NOCASE,
    BuySell    TEXT COLLATE NOCASE,
    Quantity   REAL,
    Price      REAL
);

CREATE TABLE IF NOT EXISTS derisymbol (
    symbol TEXT COLLATE NOCASE
);

CREATE TABLE IF NOT EXISTS PortfolioMaster (
    Code INTEGER PRIMARY KEY,
    Name TEXT COLLATE NOCASE
);

CREATE TABLE IF NOT EXISTS PortfolioManager (
    code        INTEGER NOT NULL,
    srno        INTEGER NOT NULL,
    Portfoliocd INTEGER,
    ScriptCode  INTEGER,
    tdt         DATE,
    BuySell     TEXT COLLATE NOCASE,
    qty         REAL,
    rate        REAL,
    amt         REAL
);
CREATE INDEX IF NOT EXISTS PortfolioManager_entry ON PortfolioManager (code, srno);
)SQL";

const char* const kOptionsSchema = R"SQL(
CREATE TABLE IF NOT EXISTS allscript (
    SCRIPT       TEXT COLLATE NOCASE,
    filedate     DATE,
    probability  REAL,
    assetprice   REAL,
    optionstkidx TEXT COLLATE NOCASE
);
CREATE INDEX IF NOT EXISTS allscript_day_script ON allscript (filedate, SCRIPT);

CREATE TABLE IF NOT EXISTS script (
    M_SCRIPT TEXT COLLATE NOCASE,
    sector   TEXT COLLATE NOCASE
);
)SQL";

}  // namespace

void createMainSchema(Database& db)
{
    Transaction transaction(db);
    db.execScript(QString::fromUtf8(kMainSchema));
    transaction.commit();
}

void createOptionsSchema(Database& db)
{
    Transaction transaction(db);
    db.execScript(QString::fromUtf8(kOptionsSchema));
    transaction.commit();
}

QStringList mainTableNames()
{
    return {QStringLiteral("mto"),        QStringLiteral("ScripMaster"),     QStringLiteral("GroupMaster"),
            QStringLiteral("LinkDetails"), QStringLiteral("allbhavcopy"),     QStringLiteral("nnf_security"),
            QStringLiteral("GainLoss"),    QStringLiteral("hilo"),            QStringLiteral("Script"),
            QStringLiteral("BulkDeals"),   QStringLiteral("derisymbol"),      QStringLiteral("PortfolioMaster"),
            QStringLiteral("PortfolioManager")};
}

QStringList missingMainTables(Database& db)
{
    QStringList missing;
    for (const QString& table : mainTableNames())
        if (!db.tableExists(table))
            missing.append(table);
    return missing;
}

}  // namespace store
