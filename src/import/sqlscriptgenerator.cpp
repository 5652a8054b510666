#include "import/sqlscriptgenerator.h"

#include "store/database.h"
#include "store/datetext.h"

#include <QLocale>
#include <cmath>

namespace import::sqlscript {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// The kind of literal each place of a statement takes.
enum class Place { Text, Number };

QString statement(const QString& table, const QVariantList& row, std::initializer_list<Place> places)
{
    QString line = QStringLiteral(" insert into %1 values (").arg(table);
    qsizetype i = 0;
    for (const Place place : places) {
        if (i > 0)
            line += QLatin1Char(',');
        const QVariant& value = row.at(i++);
        line += place == Place::Text ? textLiteral(value) : numberLiteral(value);
    }
    return line + QStringLiteral(");") + kLineEnd;
}

QString numberText(double value)
{
    // Whole numbers without a fraction ("12", not "12.0"); others in the
    // shortest form that reads back as the same number.
    if (std::floor(value) == value && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

}  // namespace

QString textLiteral(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    QString text;
    switch (value.typeId()) {
    case QMetaType::QDate:
        text = datetext::toStorage(value.toDate());
        break;
    case QMetaType::Double:
        text = numberText(value.toDouble());
        break;
    default:
        text = value.toString();
    }
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString numberLiteral(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        if (std::isfinite(value.toDouble()))
            return numberText(value.toDouble());
        return QStringLiteral("NULL");
    default:
        return textLiteral(value);
    }
}

QString linkDetailsScript(store::Database& db)
{
    QString script;
    for (const QVariantList& row :
         db.query(QStringLiteral("SELECT GrpCode, ScrCode FROM LinkDetails ORDER BY rowid")).rows)
        script += statement(QStringLiteral("linkdetails"), row, {Place::Text, Place::Number});
    return script;
}

QString gainLossScript(store::Database& db, const QDate& day)
{
    QString script;
    for (const QVariantList& row :
         db.query(QStringLiteral("SELECT trndate, Script, ClosePrice, PrevClose, perc, gainloss FROM GainLoss "
                                 "WHERE trndate = ? ORDER BY rowid"),
                  {day})
             .rows)
        script += statement(QStringLiteral("gainloss"), row,
                            {Place::Text, Place::Text, Place::Number, Place::Number, Place::Number, Place::Text});
    return script;
}

QString hiloScript(store::Database& db)
{
    QString script = QStringLiteral("delete from hilo;");
    for (const QVariantList& row :
         db.query(QStringLiteral("SELECT Script, Hi52Week, Lo52week, ClosePrice FROM hilo ORDER BY rowid")).rows)
        script += statement(QStringLiteral("hilo"), row, {Place::Text, Place::Number, Place::Number, Place::Number});
    return script;
}

}  // namespace import::sqlscript
