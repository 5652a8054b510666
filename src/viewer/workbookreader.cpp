// Reading an .xlsx workbook into values: Workbook::read() and
// workbookSheetNames().
#include "viewer/workbook.h"

#include "store/showntext.h"
#include "viewer/xlsxparts.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>
#include <minizip/unzip.h>
#include <optional>

namespace viewer {

namespace {

using xlsx::CellKey;
using xlsx::kSerialZero;
using xlsx::parseReference;
using xlsx::readSheetList;

class ZipReader {
public:
    explicit ZipReader(const QString& path) : m_zip(unzOpen64(QFile::encodeName(path).constData())) {}
    ~ZipReader()
    {
        if (m_zip)
            unzClose(m_zip);
    }
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    bool isOpen() const { return m_zip != nullptr; }

    // The entry's bytes, or nothing when the archive has no such entry.
    std::optional<QByteArray> entry(const QString& name)
    {
        if (unzLocateFile(m_zip, name.toUtf8().constData(), 0) != UNZ_OK)
            return std::nullopt;
        if (unzOpenCurrentFile(m_zip) != UNZ_OK)
            return std::nullopt;
        QByteArray bytes;
        char buffer[16384];
        int read = 0;
        while ((read = unzReadCurrentFile(m_zip, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, read);
        unzCloseCurrentFile(m_zip);
        if (read < 0)
            return std::nullopt;
        return bytes;
    }

private:
    unzFile m_zip;
};

struct CellStyle {
    bool bold = false;
    bool date = false;
};

bool isDateFormatCode(QString code)
{
    code = code.toLower();
    QString plain;
    bool quoted = false;
    bool bracket = false;
    for (QChar c : code) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (c == QLatin1Char('['))
            bracket = true;
        else if (c == QLatin1Char(']'))
            bracket = false;
        else if (!quoted && !bracket)
            plain.append(c);
    }
    return plain.contains(QLatin1Char('d')) || plain.contains(QLatin1Char('y'));
}

QList<CellStyle> readStyles(const QByteArray& xml)
{
    QHash<int, bool> customDateFormats;
    QList<bool> boldFonts;
    QList<CellStyle> styles;
    QXmlStreamReader reader(xml);
    bool inFonts = false;
    bool inCellXfs = false;
    while (!reader.atEnd()) {
        reader.readNext();
        const auto name = reader.name();
        if (reader.isStartElement()) {
            if (name == QLatin1String("numFmt")) {
                const auto attributes = reader.attributes();
                customDateFormats.insert(attributes.value(QLatin1String("numFmtId")).toInt(),
                                         isDateFormatCode(attributes.value(QLatin1String("formatCode")).toString()));
            } else if (name == QLatin1String("fonts")) {
                inFonts = true;
            } else if (name == QLatin1String("font") && inFonts) {
                boldFonts.append(false);
            } else if (name == QLatin1String("b") && inFonts && !boldFonts.isEmpty()) {
                const auto val = reader.attributes().value(QLatin1String("val"));
                boldFonts.last() = val.isEmpty() || val == QLatin1String("1") || val == QLatin1String("true");
            } else if (name == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (name == QLatin1String("xf") && inCellXfs) {
                const auto attributes = reader.attributes();
                const int font = attributes.value(QLatin1String("fontId")).toInt();
                const int format = attributes.value(QLatin1String("numFmtId")).toInt();
                CellStyle style;
                style.bold = font >= 0 && font < boldFonts.size() && boldFonts[font];
                style.date = (format >= 14 && format <= 17) || format == 22 || customDateFormats.value(format, false);
                styles.append(style);
            }
        } else if (reader.isEndElement()) {
            if (name == QLatin1String("fonts"))
                inFonts = false;
            else if (name == QLatin1String("cellXfs"))
                inCellXfs = false;
        }
    }
    return styles;
}

QStringList readSharedStrings(const QByteArray& xml)
{
    QStringList strings;
    QXmlStreamReader reader(xml);
    bool inItem = false;
    bool inPhonetic = false;
    while (!reader.atEnd()) {
        reader.readNext();
        const auto name = reader.name();
        if (reader.isStartElement()) {
            if (name == QLatin1String("si")) {
                strings.append(QString());
                inItem = true;
            } else if (name == QLatin1String("rPh")) {
                inPhonetic = true;
            } else if (name == QLatin1String("t") && inItem && !inPhonetic) {
                strings.last() += reader.readElementText();
            }
        } else if (reader.isEndElement()) {
            if (name == QLatin1String("si"))
                inItem = false;
            else if (name == QLatin1String("rPh"))
                inPhonetic = false;
        }
    }
    return strings;
}

void readSheet(const QByteArray& xml, const QStringList& strings, const QList<CellStyle>& styles,
               WorkbookSheet& sheet)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement() || reader.name() != QLatin1String("c"))
            continue;
        const auto attributes = reader.attributes();
        const CellKey key = parseReference(attributes.value(QLatin1String("r")));
        const QString type = attributes.value(QLatin1String("t")).toString();
        const int styleIndex = attributes.value(QLatin1String("s")).toInt();
        const CellStyle style = styleIndex >= 0 && styleIndex < styles.size() ? styles[styleIndex] : CellStyle();
        QString raw;
        bool hasValue = false;
        while (reader.readNextStartElement()) {
            if (reader.name() == QLatin1String("v")) {
                raw = reader.readElementText();
                hasValue = true;
            } else if (reader.name() == QLatin1String("is")) {
                while (reader.readNextStartElement()) {
                    if (reader.name() == QLatin1String("t"))
                        raw += reader.readElementText();
                    else
                        reader.skipCurrentElement();
                }
                hasValue = true;
            } else {
                reader.skipCurrentElement();
            }
        }
        if (key.first <= 0 || key.second <= 0)
            continue;
        QVariant value;
        if (hasValue) {
            if (type == QLatin1String("s")) {
                const int index = raw.toInt();
                if (index >= 0 && index < strings.size())
                    value = strings[index];
            } else if (type == QLatin1String("str") || type == QLatin1String("inlineStr")) {
                value = raw;
            } else if (type == QLatin1String("e")) {
                value = QVariant();
            } else {
                bool ok = false;
                const double number = raw.toDouble(&ok);
                if (ok)
                    value = style.date ? QVariant(kSerialZero.addDays(static_cast<qint64>(number))) : QVariant(number);
            }
        }
        sheet.setValue(key.first, key.second, value);
        if (style.bold)
            sheet.setBold(key.first, key.second, key.second);
    }
    if (reader.hasError())
        throw WorkbookError(QStringLiteral("The sheet \"%1\" could not be read: %2").arg(sheet.name(), reader.errorString()));
}

}  // namespace

Workbook Workbook::read(const QString& path)
{
    if (!QFileInfo::exists(path))
        throw WorkbookError(QStringLiteral("The workbook %1 does not exist.").arg(store::shownPath(path)));
    ZipReader zip(path);
    const auto notAWorkbook = [&path] {
        return WorkbookError(QStringLiteral("%1 is not an Excel workbook (.xlsx).").arg(store::shownPath(path)));
    };
    if (!zip.isOpen())
        throw notAWorkbook();
    const std::optional<QByteArray> workbookXml = zip.entry(QStringLiteral("xl/workbook.xml"));
    const std::optional<QByteArray> relsXml = zip.entry(QStringLiteral("xl/_rels/workbook.xml.rels"));
    if (!workbookXml || !relsXml)
        throw notAWorkbook();
    const QStringList strings = readSharedStrings(zip.entry(QStringLiteral("xl/sharedStrings.xml")).value_or(QByteArray()));
    const QList<CellStyle> styles = readStyles(zip.entry(QStringLiteral("xl/styles.xml")).value_or(QByteArray()));

    Workbook book;
    for (const auto& [name, target] : readSheetList(*workbookXml, *relsXml)) {
        WorkbookSheet& sheet = book.addSheet(name);
        const std::optional<QByteArray> xml = zip.entry(target);
        if (!xml)
            throw notAWorkbook();
        readSheet(*xml, strings, styles, sheet);
    }
    return book;
}

QStringList workbookSheetNames(const QString& path)
{
    if (!QFileInfo::exists(path))
        throw WorkbookError(QStringLiteral("The workbook %1 does not exist.").arg(store::shownPath(path)));
    ZipReader zip(path);
    const std::optional<QByteArray> workbookXml = zip.isOpen() ? zip.entry(QStringLiteral("xl/workbook.xml")) : std::nullopt;
    const std::optional<QByteArray> relsXml = zip.isOpen() ? zip.entry(QStringLiteral("xl/_rels/workbook.xml.rels")) : std::nullopt;
    if (!workbookXml || !relsXml)
        throw WorkbookError(QStringLiteral("%1 is not an Excel workbook (.xlsx).").arg(store::shownPath(path)));
    QStringList names;
    for (const auto& entry : readSheetList(*workbookXml, *relsXml))
        names.append(entry.first);
    return names;
}

}  // namespace viewer
