#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

namespace store {
class Database;
}

// Scripts of SQL insert statements that fill another copy of the database
// with the rows of LinkDetails, of one day's GainLoss, and of hilo. One
// statement per line, each line beginning with a blank and ending in CR LF.
// Values are written as SQL literals that read back as stored: text in single
// quotes with inner quotes doubled, numbers in plain C form, days as
// yyyy-MM-dd text, empty values as NULL.
namespace import::sqlscript {

// " insert into linkdetails values ('<GrpCode>',<ScrCode>);" per row.
QString linkDetailsScript(store::Database& db);
// " insert into gainloss values ('<trndate>','<Script>',<ClosePrice>,<PrevClose>,<perc>,'<gainloss>');"
// per row of `day`.
QString gainLossScript(store::Database& db, const QDate& day);
// "delete from hilo;" followed by " insert into hilo values ('<Script>',<Hi52Week>,<Lo52week>,<ClosePrice>);"
// per row.
QString hiloScript(store::Database& db);

// A value in a quoted (text) place of a statement: 'text', or NULL.
QString textLiteral(const QVariant& value);
// A value in an unquoted (number) place: the number, or NULL; a stored value
// that is not a number is written as text so the statement stays sound.
QString numberLiteral(const QVariant& value);

}  // namespace import::sqlscript

namespace import::sqlscriptmessages {
inline const QString kLinkDetails = QStringLiteral("MTO - Data Exported");
inline const QString kGainLoss = QStringLiteral("GainLoss - Data Exported");
inline const QString kHiLo = QStringLiteral("HiLo - Data Exported");
}  // namespace import::sqlscriptmessages
