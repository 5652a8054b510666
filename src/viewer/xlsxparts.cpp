#include "viewer/xlsxparts.h"

#include <QHash>
#include <QXmlStreamReader>

namespace viewer::xlsx {

CellKey parseReference(QStringView reference)
{
    int column = 0;
    int i = 0;
    for (; i < reference.size() && reference[i].isLetter(); ++i)
        column = column * 26 + (reference[i].toUpper().unicode() - 'A' + 1);
    bool ok = false;
    const int row = reference.mid(i).toInt(&ok);
    return ok ? CellKey{row, column} : CellKey{0, 0};
}

QList<std::pair<QString, QString>> readSheetList(const QByteArray& workbookXml, const QByteArray& relsXml)
{
    QHash<QString, QString> targets;
    QXmlStreamReader rels(relsXml);
    while (!rels.atEnd()) {
        rels.readNext();
        if (rels.isStartElement() && rels.name() == QLatin1String("Relationship")) {
            QString target = rels.attributes().value(QLatin1String("Target")).toString();
            target = target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target;
            targets.insert(rels.attributes().value(QLatin1String("Id")).toString(), target);
        }
    }
    QList<std::pair<QString, QString>> list;
    QXmlStreamReader reader(workbookXml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement() || reader.name() != QLatin1String("sheet"))
            continue;
        const auto attributes = reader.attributes();
        QString id;
        for (const QXmlStreamAttribute& attribute : attributes) {
            if (attribute.name() == QLatin1String("id"))
                id = attribute.value().toString();
        }
        list.append({attributes.value(QLatin1String("name")).toString(), targets.value(id)});
    }
    return list;
}

}  // namespace viewer::xlsx
