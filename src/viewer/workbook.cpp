#include "viewer/workbook.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>
#include <QRegularExpression>
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <xlsxwriter.h>
#include <memory>

namespace viewer {

namespace {

using CellKey = std::pair<int, int>;

// Excel counts days from 30 Dec 1899 (its serial 60 is a 29 Feb 1900 that
// never was; dates before March 1900 are not met here).
const QDate kSerialZero(1899, 12, 30);
constexpr int kMaxText = 32767;

// ---- reading -------------------------------------------------------------

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

// "BC12" -> (12, 55); (0, 0) when the reference is not one.
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

// The sheet names and the archive entries that hold them, in workbook order.
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

// ---- writing -------------------------------------------------------------

struct WorkbookCloser {
    void operator()(lxw_workbook* book) const
    {
        if (book)
            workbook_close(book);
    }
};

QString libraryError(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

}  // namespace

// ---- sheet ---------------------------------------------------------------

void WorkbookSheet::setValue(int row, int column, const QVariant& value)
{
    const CellKey key{row, column};
    if (!value.isValid() || value.isNull()) {
        auto found = m_cells.find(key);
        if (found != m_cells.end()) {
            found->value = QVariant();
            if (!found->bold)
                m_cells.erase(found);
        }
        return;
    }
    m_cells[key].value = value;
}

QVariant WorkbookSheet::value(int row, int column) const
{
    return m_cells.value({row, column}).value;
}

void WorkbookSheet::setBold(int row, int firstColumn, int lastColumn, bool bold)
{
    for (int column = firstColumn; column <= lastColumn; ++column) {
        const CellKey key{row, column};
        if (bold) {
            m_cells[key].bold = true;
        } else if (auto found = m_cells.find(key); found != m_cells.end()) {
            found->bold = false;
            if (!found->value.isValid())
                m_cells.erase(found);
        }
    }
}

bool WorkbookSheet::isBold(int row, int column) const
{
    return m_cells.value({row, column}).bold;
}

void WorkbookSheet::clear(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    for (auto it = m_cells.begin(); it != m_cells.end();) {
        const auto [row, column] = it.key();
        if (row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn)
            it = m_cells.erase(it);
        else
            ++it;
    }
}

int WorkbookSheet::lastRow() const
{
    return m_cells.isEmpty() ? 0 : m_cells.lastKey().first;
}

int WorkbookSheet::lastColumn() const
{
    int last = 0;
    for (auto it = m_cells.keyBegin(); it != m_cells.keyEnd(); ++it)
        last = std::max(last, it->second);
    return last;
}

// ---- workbook ------------------------------------------------------------

WorkbookSheet& Workbook::addSheet(const QString& name)
{
    m_sheets.append(WorkbookSheet(name));
    return m_sheets.last();
}

WorkbookSheet* Workbook::sheet(const QString& name)
{
    for (WorkbookSheet& candidate : m_sheets) {
        if (candidate.name().compare(name, Qt::CaseInsensitive) == 0)
            return &candidate;
    }
    return nullptr;
}

const WorkbookSheet* Workbook::sheet(const QString& name) const
{
    return const_cast<Workbook*>(this)->sheet(name);
}

Workbook Workbook::read(const QString& path)
{
    if (!QFileInfo::exists(path))
        throw WorkbookError(QStringLiteral("The workbook %1 does not exist.").arg(QDir::toNativeSeparators(path)));
    ZipReader zip(path);
    const auto notAWorkbook = [&path] {
        return WorkbookError(QStringLiteral("%1 is not an Excel workbook (.xlsx).").arg(QDir::toNativeSeparators(path)));
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

void Workbook::save(const QString& path) const
{
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        std::unique_ptr<lxw_workbook, WorkbookCloser> book(workbook_new(QFile::encodeName(partial).constData()));
        if (!book)
            throw WorkbookError(QStringLiteral("The workbook %1 could not be made.").arg(QDir::toNativeSeparators(path)));
        lxw_format* bold = workbook_add_format(book.get());
        format_set_bold(bold);
        lxw_format* date = workbook_add_format(book.get());
        format_set_num_format(date, "dd/mmm/yyyy");
        lxw_format* boldDate = workbook_add_format(book.get());
        format_set_bold(boldDate);
        format_set_num_format(boldDate, "dd/mmm/yyyy");

        const QList<WorkbookSheet> sheets = m_sheets.isEmpty() ? QList<WorkbookSheet>{WorkbookSheet(QStringLiteral("Sheet1"))}
                                                               : m_sheets;
        for (const WorkbookSheet& sheet : sheets) {
            const QByteArray name = sheet.name().toUtf8();
            lxw_worksheet* worksheet = workbook_add_worksheet(book.get(), name.isEmpty() ? nullptr : name.constData());
            if (!worksheet)
                throw WorkbookError(QStringLiteral("The sheet name \"%1\" cannot be used.").arg(sheet.name()));
            for (auto it = sheet.cells().cbegin(); it != sheet.cells().cend(); ++it) {
                const lxw_row_t row = static_cast<lxw_row_t>(it.key().first - 1);
                const lxw_col_t column = static_cast<lxw_col_t>(it.key().second - 1);
                const QVariant& value = it->value;
                const bool isBold = it->bold;
                lxw_error error = LXW_NO_ERROR;
                if (!value.isValid()) {
                    error = worksheet_write_blank(worksheet, row, column, isBold ? bold : nullptr);
                } else if (value.typeId() == QMetaType::QDate) {
                    const QDate day = value.toDate();
                    lxw_datetime when{day.year(), day.month(), day.day(), 0, 0, 0};
                    error = worksheet_write_datetime(worksheet, row, column, &when, isBold ? boldDate : date);
                } else if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray) {
                    const QByteArray text = value.toString().left(kMaxText).toUtf8();
                    error = worksheet_write_string(worksheet, row, column, text.constData(), isBold ? bold : nullptr);
                } else {
                    bool isNumber = false;
                    const double number = value.toDouble(&isNumber);
                    if (isNumber) {
                        error = worksheet_write_number(worksheet, row, column, number, isBold ? bold : nullptr);
                    } else {
                        const QByteArray text = value.toString().left(kMaxText).toUtf8();
                        error = worksheet_write_string(worksheet, row, column, text.constData(), isBold ? bold : nullptr);
                    }
                }
                if (error != LXW_NO_ERROR)
                    throw WorkbookError(QStringLiteral("Cell %1%2 of \"%3\" could not be written: %4")
                                            .arg(columnLetters(it.key().second))
                                            .arg(it.key().first)
                                            .arg(sheet.name(), libraryError(error)));
            }
        }
        const lxw_error closed = workbook_close(book.release());
        if (closed != LXW_NO_ERROR) {
            QFile::remove(partial);
            throw WorkbookError(QStringLiteral("The workbook %1 could not be saved: %2")
                                    .arg(QDir::toNativeSeparators(path), libraryError(closed)));
        }
    } catch (const WorkbookError&) {
        // The half-written file was closed when the scope ended.
        QFile::remove(partial);
        throw;
    }
    if (QFile::exists(path) && !QFile::remove(path)) {
        QFile::remove(partial);
        throw WorkbookError(QStringLiteral("The workbook %1 is in use and could not be replaced.").arg(QDir::toNativeSeparators(path)));
    }
    if (!QFile::rename(partial, path))
        throw WorkbookError(QStringLiteral("The workbook %1 could not be saved.").arg(QDir::toNativeSeparators(path)));
}

QStringList workbookSheetNames(const QString& path)
{
    if (!QFileInfo::exists(path))
        throw WorkbookError(QStringLiteral("The workbook %1 does not exist.").arg(QDir::toNativeSeparators(path)));
    ZipReader zip(path);
    const std::optional<QByteArray> workbookXml = zip.isOpen() ? zip.entry(QStringLiteral("xl/workbook.xml")) : std::nullopt;
    const std::optional<QByteArray> relsXml = zip.isOpen() ? zip.entry(QStringLiteral("xl/_rels/workbook.xml.rels")) : std::nullopt;
    if (!workbookXml || !relsXml)
        throw WorkbookError(QStringLiteral("%1 is not an Excel workbook (.xlsx).").arg(QDir::toNativeSeparators(path)));
    QStringList names;
    for (const auto& entry : readSheetList(*workbookXml, *relsXml))
        names.append(entry.first);
    return names;
}

// ---- patching ------------------------------------------------------------

namespace {

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

bool inBlock(const std::optional<CellBlock>& block, int row, int column)
{
    return block && row >= block->firstRow && row <= block->lastRow && column >= block->firstColumn &&
           column <= block->lastColumn;
}

QString patchSheet(const QString& xml, const WorkbookSheet& cells, const std::optional<CellBlock>& clear,
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

    // Clear the block, then put the new cells over what is left.
    for (auto row = rows.begin(); row != rows.end(); ++row) {
        for (auto cell = row->cells.begin(); cell != row->cells.end();) {
            if (inBlock(clear, row.key(), cell.key()))
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
        data += QStringLiteral("<row r=\"%1\"%2").arg(row.key()).arg(row->startTagAttributes);
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
        throw WorkbookError(QStringLiteral("%1 is not an Excel workbook (.xlsx).").arg(QDir::toNativeSeparators(path)));
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
        throw WorkbookError(QStringLiteral("%1 could not be read.").arg(QDir::toNativeSeparators(path)));
    return entries;
}

void writeAllEntries(const QString& path, const QList<std::pair<QString, QByteArray>>& entries)
{
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        throw WorkbookError(QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(path)));
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
        throw WorkbookError(QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(path)));
    }
}

QString removeMatching(QString text, const QString& pattern)
{
    return text.remove(QRegularExpression(pattern));
}

}  // namespace

void patchWorkbookSheet(const QString& path, const QString& sheetName, const WorkbookSheet& cells,
                        const std::optional<CellBlock>& clear)
{
    if (!QFileInfo::exists(path))
        throw WorkbookError(QStringLiteral("The workbook %1 does not exist.").arg(QDir::toNativeSeparators(path)));
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
        throw WorkbookError(QStringLiteral("%1 is not an Excel workbook (.xlsx).").arg(QDir::toNativeSeparators(path)));
    QString target;
    for (const auto& [name, sheetTarget] : readSheetList(*workbookXml, *relsXml)) {
        if (name.compare(sheetName, Qt::CaseInsensitive) == 0)
            target = sheetTarget;
    }
    QByteArray* sheetXml = target.isEmpty() ? nullptr : entry(target);
    if (!sheetXml)
        throw WorkbookError(QStringLiteral("The workbook %1 has no sheet \"%2\".").arg(QDir::toNativeSeparators(path), sheetName));

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
        throw WorkbookError(QStringLiteral("The workbook %1 is in use and could not be replaced.").arg(QDir::toNativeSeparators(path)));
    }
}

QString columnLetters(int column)
{
    QString letters;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        letters.prepend(QChar('A' + digit));
        column = (column - 1) / 26;
    }
    return letters;
}

}  // namespace viewer
