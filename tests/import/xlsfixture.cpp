#include "import/xlsfixture.h"

#include <QDataStream>
#include <QFile>

namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE, kFree = 0xFFFFFFFF;

// The values one after another, little-endian.
template <typename... Values>
QByteArray le(Values... values)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    (out << ... << values);
    return bytes;
}

QByteArray record(quint16 type, const QByteArray& body)
{
    return le(type, quint16(body.size())) + body;
}

QByteArray beginning(quint16 substream)
{
    return record(0x0809, le(quint16(0x0600), substream, quint16(0x0DBB), quint16(0x07CC), quint32(0), quint32(6)));
}

// A string as UTF-16 after its length: 8 bits for sheet names, 16 for texts.
QByteArray unicodeString(const QString& text, bool shortLength)
{
    QByteArray out = shortLength ? le(quint8(text.size())) : le(quint16(text.size()));
    out += '\x01';
    for (const QChar c : text)
        out += le(c.unicode());
    return out;
}

// The workbook stream: globals with one BOUNDSHEET per sheet, then each
// sheet's cells.
QByteArray workbookStream(const QList<XlsFixtureSheet>& sheets)
{
    QByteArray stream = beginning(0x0005);
    QList<qsizetype> offsetPlaces;
    for (const auto& sheet : sheets) {
        offsetPlaces.append(stream.size() + 4);
        stream += record(0x0085, le(quint32(0), quint16(0)) + unicodeString(sheet.name, true));
    }
    stream += record(0x000A, {});

    for (qsizetype s = 0; s < sheets.size(); ++s) {
        stream.replace(offsetPlaces[s], 4, le(quint32(stream.size())));
        const auto& rows = sheets[s].rows;
        qsizetype columns = 0;
        for (const auto& row : rows)
            columns = std::max(columns, row.size());
        stream += beginning(0x0010) +
                  record(0x0200, le(quint32(0), quint32(rows.size()), quint16(0), quint16(columns), quint16(0)));
        for (qsizetype r = 0; r < rows.size(); ++r) {
            for (qsizetype c = 0; c < rows[r].size(); ++c) {
                const QVariant& value = rows[r][c];
                const QByteArray place = le(quint16(r), quint16(c), quint16(0));
                if (value.typeId() == QMetaType::QString)
                    stream += record(0x0204, place + unicodeString(value.toString(), false));  // LABEL
                else if (!value.isNull())
                    stream += record(0x0203, place + le(value.toDouble()));  // NUMBER
            }
        }
        stream += record(0x000A, {});
    }
    return stream;
}

QByteArray directoryEntry(const QString& name, quint8 type, quint32 child, quint32 start, quint32 size)
{
    QByteArray utf16(64, '\0');
    for (qsizetype i = 0; i < name.size(); ++i)
        utf16.replace(2 * i, 2, le(name[i].unicode()));
    return utf16 + le(quint16(name.isEmpty() ? 0 : (name.size() + 1) * 2), type, quint8(1), kFree, kFree, child) +
           QByteArray(36, '\0') + le(start, size, quint32(0));
}

}  // namespace

bool writeXlsFixture(const QString& path, const QList<XlsFixtureSheet>& sheets)
{
    // The compound file: header, the workbook stream's sectors (at least the
    // 4096 bytes below which a stream would belong in the mini stream), one
    // directory sector and one allocation-table sector.
    QByteArray stream = workbookStream(sheets);
    stream += QByteArray(std::max<qsizetype>(0, 4096 - stream.size()), '\0');
    const auto streamSize = quint32(stream.size()), sectors = (streamSize + 511) / 512;
    stream += QByteArray(sectors * 512 - streamSize, '\0');
    if (sectors + 2 > 128)
        return false;  // one allocation sector is enough for the tests' sheets

    const QByteArray header = le(quint32(0xE011CFD0), quint32(0xE11AB1A1), quint64(0), quint64(0), quint16(0x3E),
                                 quint16(3), quint16(0xFFFE), quint16(9), quint16(6), quint16(0), quint32(0),
                                 quint32(0), quint32(1), sectors, quint32(0), quint32(4096), kEndOfChain, quint32(0),
                                 kEndOfChain, quint32(0), sectors + 1) +
                              QByteArray(108 * 4, '\xFF');
    const QByteArray directory = directoryEntry("Root Entry", 5, 1, kEndOfChain, 0) +
                                 directoryEntry("Workbook", 2, kFree, 0, streamSize) +
                                 directoryEntry({}, 0, kFree, 0, 0) + directoryEntry({}, 0, kFree, 0, 0);
    QByteArray fat;
    for (quint32 i = 1; i < sectors; ++i)
        fat += le(i);
    fat += le(kEndOfChain, kEndOfChain, quint32(0xFFFFFFFD)) + QByteArray(512 - 4 * (sectors + 2), '\xFF');

    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(header + stream + directory + fat) > 0;
}
