#include "viewer/sheetpatcher.h"

#include "store/showntext.h"
#include "viewer/xlsxparts.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <algorithm>

namespace viewer {

namespace {

using xlsx::CellKey;
using xlsx::kMaxText;
using xlsx::kSerialZero;
using xlsx::parseReference;
using xlsx::readSheetList;

QString escapeXml(const QString& text)
{
    return text.toHtmlEscaped();
}

// Characters of an XML text, read whole: the positions QXmlStreamReader
// reports are positions in this text, so parts can be cut out and put back
// unchanged.
struct XmlSlice {
    qint64 begin = 0;
    qint64 end = 0;
};

struct RowText {
    QString startTagAttributes;  // the row's attributes other than r and spans
    QMap<int, QString> cells;    // column -> the cell element as written
};

// The number of the xf entries a patch uses for its own cells.
struct PatchStyles {
    int bold = 0;
    int date = 0;
    int boldDate = 0;
};

const QString kBoldFont = QStringLiteral("<font><b/><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>");

QString xfText(int fontId, bool date)
{
    return QStringLiteral("<xf numFmtId=\"%1\" fontId=\"%2\" fillId=\"0\" borderId=\"0\" xfId=\"0\"%3/>")
        .arg(date ? 14 : 0)
        .arg(fontId)
        .arg(date ? QStringLiteral(" applyNumberFormat=\"1\"") : QStringLiteral(" applyFont=\"1\""));
}

QString withCount(QString startTag, int count)
{
    static const QRegularExpression countAttribute(QStringLiteral("\\scount=\"\\d*\""));
    if (startTag.contains(countAttribute))
        return startTag.replace(countAttribute, QStringLiteral(" count=\"%1\"").arg(count));
    const qsizetype close = startTag.endsWith(QStringLiteral("/>")) ? startTag.size() - 2 : startTag.size() - 1;
    return startTag.insert(close, QStringLiteral(" count=\"%1\"").arg(count));
}

// Adds (or finds from an earlier patch) a bold font and the xf entries for
// bold, date and bold date cells.
QString patchStyles(const QString& xml, PatchStyles& styles)
{
    QXmlStreamReader reader(xml);
    QList<QString> fonts;
    QList<QString> xfs;
    XmlSlice fontsStart, fontsEnd, xfsStart, xfsEnd;
    bool inFonts = false, inXfs = false;
    qint64 elementStart = 0;
    int depth = 0;
    while (!reader.atEnd()) {
        const qint64 before = reader.characterOffset();
        reader.readNext();
        const auto name = reader.name();
        if (reader.isStartElement()) {
            ++depth;
            if (name == QLatin1String("fonts")) {
                inFonts = true;
                fontsStart = {before, reader.characterOffset()};
            } else if (name == QLatin1String("cellXfs")) {
                inXfs = true;
                xfsStart = {before, reader.characterOffset()};
            } else if ((inFonts && name == QLatin1String("font")) || (inXfs && name == QLatin1String("xf"))) {
                elementStart = before;
            }
        } else if (reader.isEndElement()) {
            --depth;
            if (name == QLatin1String("fonts")) {
                inFonts = false;
                fontsEnd = {before, reader.characterOffset()};
            } else if (name == QLatin1String("cellXfs")) {
                inXfs = false;
                xfsEnd = {before, reader.characterOffset()};
            } else if (inFonts && name == QLatin1String("font")) {
                fonts.append(xml.mid(elementStart, reader.characterOffset() - elementStart));
            } else if (inXfs && name == QLatin1String("xf")) {
                xfs.append(xml.mid(elementStart, reader.characterOffset() - elementStart));
            }
        }
    }
    if (reader.hasError() || fontsEnd.end == 0 || xfsEnd.end == 0 || fontsStart.end > xfsStart.begin)
        throw WorkbookError(QStringLiteral("The workbook's styles could not be read."));

    QString addedFonts;
    int boldFont = static_cast<int>(fonts.indexOf(kBoldFont));
    if (boldFont < 0) {
        boldFont = static_cast<int>(fonts.size());
        addedFonts = kBoldFont;
    }
    QString addedXfs;
    int xfCount = static_cast<int>(xfs.size());
    auto xfFor = [&](int fontId, bool date) {
        const QString text = xfText(fontId, date);
        const qsizetype found = xfs.indexOf(text);
        if (found >= 0)
            return static_cast<int>(found);
        addedXfs += text;
        return xfCount++;
    };
    styles.bold = xfFor(boldFont, false);
    styles.date = xfFor(0, true);
    styles.boldDate = xfFor(boldFont, true);

    const bool fontsSelfClosed = fontsStart.end == fontsEnd.end;
    const bool xfsSelfClosed = xfsStart.end == xfsEnd.end;
    if (fontsSelfClosed || xfsSelfClosed)
        throw WorkbookError(QStringLiteral("The workbook's styles could not be read."));
    QString result;
    result += xml.left(fontsStart.begin);
    result += withCount(xml.mid(fontsStart.begin, fontsStart.end - fontsStart.begin), static_cast<int>(fonts.size()) + (addedFonts.isEmpty() ? 0 : 1));
    result += xml.mid(fontsStart.end, fontsEnd.begin - fontsStart.end) + addedFonts;
    result += xml.mid(fontsEnd.begin, xfsStart.begin - fontsEnd.begin);
    result += withCount(xml.mid(xfsStart.begin, xfsStart.end - xfsStart.begin), xfCount);
    result += xml.mid(xfsStart.end, xfsEnd.begin - xfsStart.end) + addedXfs;
    result += xml.mid(xfsEnd.begin);
    return result;
}

QString newCellText(int row, int column, const WorkbookCell& cell, const PatchStyles& styles)
{
    const QString reference = columnLetters(column) + QString::number(row);
    const QVariant& value = cell.value;
    const bool isDate = value.typeId() == QMetaType::QDate;
    int style = 0;
    if (isDate)
        style = cell.bold ? styles.boldDate : styles.date;
    else if (cell.bold)
        style = styles.bold;
    const QString styleText = style ? QStringLiteral(" s=\"%1\"").arg(style) : QString();
    if (!value.isValid())
        return QStringLiteral("<c r=\"%1\"%2/>").arg(reference, styleText);
    if (isDate) {
        return QStringLiteral("<c r=\"%1\"%2><v>%3</v></c>")
            .arg(reference, styleText)
            .arg(kSerialZero.daysTo(value.toDate()));
    }
    bool isNumber = false;
    const double number = value.typeId() == QMetaType::QString ? 0.0 : value.toDouble(&isNumber);
    if (isNumber)
        return QStringLiteral("<c r=\"%1\"%2><v>%3</v></c>").arg(reference, styleText, QString::number(number, 'g', 17));
    return QStringLiteral("<c r=\"%1\"%2 t=\"inlineStr\"><is><t xml:space=\"preserve\">%3</t></is></c>")
        .arg(reference, styleText, escapeXml(value.toString().left(kMaxText)));
}

bool inBlock(const CellBlock& block, int row, int column)
{
    return row >= block.firstRow && row <= block.lastRow && column >= block.firstColumn && column <= block.lastColumn;
}

QString patchSheet(const QString& xml, const WorkbookSheet& cells, const QList<CellBlock>& clear,
                   const PatchStyles& styles)
{
    QXmlStreamReader reader(xml);
    QMap<int, RowText> rows;
    XmlSlice sheetData;
    bool dataClosed = false;
    int currentRow = 0;
    int nextRow = 1;
    qint64 cellStart = 0;
    CellKey cellKey{0, 0};
    while (!reader.atEnd()) {
        const qint64 before = reader.characterOffset();
        reader.readNext();
        const auto name = reader.name();
        if (reader.isStartElement()) {
            if (name == QLatin1String("sheetData")) {
                sheetData.begin = before;
            } else if (name == QLatin1String("row") && sheetData.begin > 0) {
                const auto attributes = reader.attributes();
                bool ok = false;
                currentRow = attributes.value(QLatin1String("r")).toInt(&ok);
                if (!ok)
                    currentRow = nextRow;
                nextRow = currentRow + 1;
                RowText& row = rows[currentRow];
                for (const QXmlStreamAttribute& attribute : attributes) {
                    const QString qualified = attribute.qualifiedName().toString();
                    if (qualified == QLatin1String("r") || qualified == QLatin1String("spans"))
                        continue;
                    row.startTagAttributes +=
                        QStringLiteral(" %1=\"%2\"").arg(qualified, escapeXml(attribute.value().toString()));
                }
            } else if (name == QLatin1String("c") && currentRow > 0) {
                cellStart = before;
                cellKey = parseReference(reader.attributes().value(QLatin1String("r")));
                if (cellKey.first == 0)
                    throw WorkbookError(QStringLiteral("A cell of the sheet has no reference."));
            }
        } else if (reader.isEndElement()) {
            if (name == QLatin1String("c") && currentRow > 0) {
                rows[cellKey.first].cells.insert(cellKey.second, xml.mid(cellStart, reader.characterOffset() - cellStart));
            } else if (name == QLatin1String("row")) {
                currentRow = 0;
            } else if (name == QLatin1String("sheetData")) {
                sheetData.end = reader.characterOffset();
                dataClosed = true;
            }
        }
    }
    if (reader.hasError() || !dataClosed)
        throw WorkbookError(QStringLiteral("The sheet could not be read: %1").arg(reader.errorString()));

    // Clear the blocks, then put the new cells over what is left.
    for (auto row = rows.begin(); row != rows.end(); ++row) {
        for (auto cell = row->cells.begin(); cell != row->cells.end();) {
            if (std::any_of(clear.cbegin(), clear.cend(),
                            [&](const CellBlock& block) { return inBlock(block, row.key(), cell.key()); }))
                cell = row->cells.erase(cell);
            else
                ++cell;
        }
    }
    for (auto it = cells.cells().cbegin(); it != cells.cells().cend(); ++it) {
        if (!it->value.isValid())
            continue;
        const auto [row, column] = it.key();
        rows[row].cells.insert(column, newCellText(row, column, *it, styles));
    }

    int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    QString data = QStringLiteral("<sheetData>");
    for (auto row = rows.cbegin(); row != rows.cend(); ++row) {
        if (row->cells.isEmpty() && row->startTagAttributes.isEmpty())
            continue;
        data += QStringLiteral("<row r=\"%1\"%2").arg(QString::number(row.key()), row->startTagAttributes);
        if (row->cells.isEmpty()) {
            data += QStringLiteral("/>");
            continue;
        }
        data += QLatin1Char('>');
        for (auto cell = row->cells.cbegin(); cell != row->cells.cend(); ++cell) {
            data += *cell;
            firstRow = firstRow ? std::min(firstRow, row.key()) : row.key();
            lastRow = std::max(lastRow, row.key());
            firstColumn = firstColumn ? std::min(firstColumn, cell.key()) : cell.key();
            lastColumn = std::max(lastColumn, cell.key());
        }
        data += QStringLiteral("</row>");
    }
    data += QStringLiteral("</sheetData>");

    QString result = xml.left(sheetData.begin) + data + xml.mid(sheetData.end);
    static const QRegularExpression dimension(QStringLiteral("<dimension\\s+ref=\"[^\"]*\"\\s*/>"));
    const QString range = firstRow ? QStringLiteral("%1%2:%3%4")
                                         .arg(columnLetters(firstColumn))
                                         .arg(firstRow)
                                         .arg(columnLetters(lastColumn))
                                         .arg(lastRow)
                                   : QStringLiteral("A1");
    const qsizetype at = result.indexOf(dimension);
    if (at >= 0 && at < sheetData.begin)
        result.replace(dimension, QStringLiteral("<dimension ref=\"%1\"/>").arg(range));
    return result;
}

// Every entry of a zip archive, in archive order.
QList<std::pair<QString, QByteArray>> readAllEntries(const QString& path)
{
    unzFile zip = unzOpen64(QFile::encodeName(path).constData());
    if (!zip)
        throw WorkbookError(QStringLiteral("%1 is not an Excel workbook (.xlsx).").arg(store::shownPath(path)));
    QList<std::pair<QString, QByteArray>> entries;
    bool failed = false;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        char name[1024];
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzOpenCurrentFile(zip) != UNZ_OK) {
            failed = true;
            break;
        }
        QByteArray bytes;
        char buffer[16384];
        int read = 0;
        while ((read = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, read);
        unzCloseCurrentFile(zip);
        if (read < 0) {
            failed = true;
            break;
        }
        entries.append({QString::fromUtf8(name), bytes});
    }
    unzClose(zip);
    if (failed || entries.isEmpty())
        throw WorkbookError(QStringLiteral("%1 could not be read.").arg(store::shownPath(path)));
    return entries;
}

void writeAllEntries(const QString& path, const QList<std::pair<QString, QByteArray>>& entries)
{
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        throw WorkbookError(QStringLiteral("%1 could not be written.").arg(store::shownPath(path)));
    bool failed = false;
    const QDateTime now = QDateTime::currentDateTime();
    zip_fileinfo info{};
    info.tmz_date.tm_sec = static_cast<unsigned>(now.time().second());
    info.tmz_date.tm_min = static_cast<unsigned>(now.time().minute());
    info.tmz_date.tm_hour = static_cast<unsigned>(now.time().hour());
    info.tmz_date.tm_mday = static_cast<unsigned>(now.date().day());
    info.tmz_date.tm_mon = static_cast<unsigned>(now.date().month() - 1);
    info.tmz_date.tm_year = static_cast<unsigned>(now.date().year());
    for (const auto& [name, bytes] : entries) {
        if (zipOpenNewFileInZip(zip, name.toUtf8().constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                Z_DEFAULT_COMPRESSION) != ZIP_OK ||
            zipWriteInFileInZip(zip, bytes.constData(), static_cast<unsigned>(bytes.size())) != ZIP_OK ||
            zipCloseFileInZip(zip) != ZIP_OK) {
            failed = true;
            break;
        }
    }
    if (zipClose(zip, nullptr) != ZIP_OK || failed) {
        QFile::remove(path);
        throw WorkbookError(QStringLiteral("%1 could not be written.").arg(store::shownPath(path)));
    }
}

QString removeMatching(QString text, const QString& pattern)
{
    return text.remove(QRegularExpression(pattern));
}

}  // namespace

void patchWorkbookSheet(const QString& path, const QString& sheetName, const WorkbookSheet& cells,
                        const QList<CellBlock>& clear)
{
    if (!QFileInfo::exists(path))
        throw WorkbookError(QStringLiteral("The workbook %1 does not exist.").arg(store::shownPath(path)));
    QList<std::pair<QString, QByteArray>> entries = readAllEntries(path);
    auto entry = [&entries](const QString& name) -> QByteArray* {
        for (auto& [entryName, bytes] : entries) {
            if (entryName == name)
                return &bytes;
        }
        return nullptr;
    };
    QByteArray* workbookXml = entry(QStringLiteral("xl/workbook.xml"));
    QByteArray* relsXml = entry(QStringLiteral("xl/_rels/workbook.xml.rels"));
    QByteArray* stylesXml = entry(QStringLiteral("xl/styles.xml"));
    if (!workbookXml || !relsXml || !stylesXml)
        throw WorkbookError(QStringLiteral("%1 is not an Excel workbook (.xlsx).").arg(store::shownPath(path)));
    QString target;
    for (const auto& [name, sheetTarget] : readSheetList(*workbookXml, *relsXml)) {
        if (name.compare(sheetName, Qt::CaseInsensitive) == 0)
            target = sheetTarget;
    }
    QByteArray* sheetXml = target.isEmpty() ? nullptr : entry(target);
    if (!sheetXml)
        throw WorkbookError(
            QStringLiteral("The workbook %1 has no sheet \"%2\".").arg(store::shownPath(path), sheetName));

    PatchStyles styles;
    *stylesXml = patchStyles(QString::fromUtf8(*stylesXml), styles).toUtf8();
    *sheetXml = patchSheet(QString::fromUtf8(*sheetXml), cells, clear, styles).toUtf8();

    // The calculation chain may name cells that are gone; the spreadsheet
    // program rebuilds it when it is missing.
    const qsizetype chainCount = entries.size();
    entries.removeIf([](const auto& item) { return item.first == QLatin1String("xl/calcChain.xml"); });
    if (entries.size() != chainCount) {
        *entry(QStringLiteral("xl/_rels/workbook.xml.rels")) =
            removeMatching(QString::fromUtf8(*entry(QStringLiteral("xl/_rels/workbook.xml.rels"))),
                           QStringLiteral("<Relationship\\s[^>]*calcChain[^>]*/>"))
                .toUtf8();
        if (QByteArray* types = entry(QStringLiteral("[Content_Types].xml")))
            *types = removeMatching(QString::fromUtf8(*types), QStringLiteral("<Override\\s[^>]*calcChain[^>]*/>")).toUtf8();
    }

    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    writeAllEntries(partial, entries);
    if (!QFile::remove(path) || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw WorkbookError(
            QStringLiteral("The workbook %1 is in use and could not be replaced.").arg(store::shownPath(path)));
    }
}

}  // namespace viewer
