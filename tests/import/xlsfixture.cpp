#include "import/xlsfixture.h"

#include <QFile>
#include <QtEndian>
#include <cstring>

namespace {

// Little-endian byte writing.
void put16(QByteArray& out, quint16 value)
{
    out.append(char(value & 0xFF)).append(char(value >> 8));
}

void put32(QByteArray& out, quint32 value)
{
    put16(out, quint16(value & 0xFFFF));
    put16(out, quint16(value >> 16));
}

void set32(QByteArray& out, qsizetype at, quint32 value)
{
    qToLittleEndian(value, out.data() + at);
}

void record(QByteArray& out, quint16 type, const QByteArray& body)
{
    put16(out, type);
    put16(out, quint16(body.size()));
    out.append(body);
}

QByteArray beginning(quint16 substream)
{
    QByteArray body;
    put16(body, 0x0600);  // BIFF8
    put16(body, substream);
    put16(body, 0x0DBB);
    put16(body, 0x07CC);
    put32(body, 0);
    put32(body, 6);
    return body;
}

// A string as UTF-16 with a 16-bit (texts) or 8-bit (sheet names) length.
QByteArray unicodeString(const QString& text, bool shortLength)
{
    QByteArray out;
    if (shortLength)
        out.append(char(text.size()));
    else
        put16(out, quint16(text.size()));
    out.append(char(1));
    for (const QChar c : text)
        put16(out, c.unicode());
    return out;
}

// The workbook stream: globals with one BOUNDSHEET per sheet and the shared
// strings, then each sheet's cells.
QByteArray workbookStream(const QList<XlsFixtureSheet>& sheets)
{
    QStringList strings;
    for (const auto& sheet : sheets)
        for (const auto& row : sheet.rows)
            for (const QVariant& value : row)
                if (value.typeId() == QMetaType::QString && !strings.contains(value.toString()))
                    strings.append(value.toString());

    QByteArray stream;
    record(stream, 0x0809, beginning(0x0005));
    QByteArray codepage;
    put16(codepage, 0x04B0);
    record(stream, 0x0042, codepage);
    QList<qsizetype> sheetOffsets;
    for (const auto& sheet : sheets) {
        QByteArray body;
        put32(body, 0);  // the sheet's offset, set below
        body.append(char(0)).append(char(0));
        body.append(unicodeString(sheet.name, true));
        sheetOffsets.append(stream.size() + 4);
        record(stream, 0x0085, body);
    }
    QByteArray sst;
    put32(sst, quint32(strings.size()));
    put32(sst, quint32(strings.size()));
    for (const QString& text : strings)
        sst.append(unicodeString(text, false));
    Q_ASSERT(sst.size() <= 8224);
    record(stream, 0x00FC, sst);
    record(stream, 0x000A, {});

    for (qsizetype s = 0; s < sheets.size(); ++s) {
        set32(stream, sheetOffsets[s], quint32(stream.size()));
        record(stream, 0x0809, beginning(0x0010));
        const auto& rows = sheets[s].rows;
        int columns = 0;
        for (const auto& row : rows)
            columns = std::max(columns, int(row.size()));
        QByteArray dimensions;
        put32(dimensions, 0);
        put32(dimensions, quint32(rows.size()));
        put16(dimensions, 0);
        put16(dimensions, quint16(columns));
        put16(dimensions, 0);
        record(stream, 0x0200, dimensions);
        for (qsizetype r = 0; r < rows.size(); ++r) {
            for (qsizetype c = 0; c < rows[r].size(); ++c) {
                const QVariant& value = rows[r][c];
                if (value.isNull())
                    continue;
                QByteArray cell;
                put16(cell, quint16(r));
                put16(cell, quint16(c));
                put16(cell, 0);
                if (value.typeId() == QMetaType::QString) {
                    put32(cell, quint32(strings.indexOf(value.toString())));
                    record(stream, 0x00FD, cell);  // LABELSST
                } else {
                    const double number = value.toDouble();
                    quint64 bits;
                    std::memcpy(&bits, &number, sizeof bits);
                    put32(cell, quint32(bits & 0xFFFFFFFF));
                    put32(cell, quint32(bits >> 32));
                    record(stream, 0x0203, cell);  // NUMBER
                }
            }
        }
        record(stream, 0x000A, {});
    }
    return stream;
}

}  // namespace

bool writeXlsFixture(const QString& path, const QList<XlsFixtureSheet>& sheets)
{
    // The compound file: header, the workbook stream's sectors (at least the
    // 4096 bytes below which a stream would belong in the mini stream), one
    // directory sector and one allocation-table sector.
    constexpr quint32 kEndOfChain = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSector = 0xFFFFFFFD;
    QByteArray stream = workbookStream(sheets);
    if (stream.size() < 4096)
        stream.append(QByteArray(4096 - stream.size(), '\0'));
    const quint32 streamSize = quint32(stream.size());
    const quint32 streamSectors = (streamSize + 511) / 512;
    stream.append(QByteArray(qsizetype(streamSectors) * 512 - stream.size(), '\0'));
    if (streamSectors + 2 > 128)
        return false;  // one allocation sector is enough for the tests' sheets
    const quint32 directorySector = streamSectors, fatSector = streamSectors + 1;

    QByteArray header(512, '\0');
    const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(header.data(), signature, 8);
    qToLittleEndian<quint16>(0x003E, header.data() + 0x18);
    qToLittleEndian<quint16>(0x0003, header.data() + 0x1A);
    qToLittleEndian<quint16>(0xFFFE, header.data() + 0x1C);
    qToLittleEndian<quint16>(9, header.data() + 0x1E);
    qToLittleEndian<quint16>(6, header.data() + 0x20);
    set32(header, 0x2C, 1);
    set32(header, 0x30, directorySector);
    set32(header, 0x38, 4096);
    set32(header, 0x3C, kEndOfChain);
    set32(header, 0x44, kEndOfChain);
    for (int i = 0; i < 109; ++i)
        set32(header, 0x4C + 4 * i, i == 0 ? fatSector : kFree);

    QByteArray directory(512, '\0');
    auto entry = [&](int index, const QString& name, char type, quint32 child, quint32 start, quint32 size) {
        const qsizetype at = index * 128;
        for (qsizetype i = 0; i < name.size(); ++i)
            qToLittleEndian<quint16>(name[i].unicode(), directory.data() + at + 2 * i);
        qToLittleEndian<quint16>(quint16((name.size() + 1) * 2), directory.data() + at + 64);
        directory[at + 66] = type;
        directory[at + 67] = 1;
        set32(directory, at + 68, kFree);
        set32(directory, at + 72, kFree);
        set32(directory, at + 76, child);
        set32(directory, at + 116, start);
        set32(directory, at + 120, size);
    };
    entry(0, QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    entry(1, QStringLiteral("Workbook"), 2, kFree, 0, streamSize);
    for (int i = 2; i < 4; ++i)
        for (int k = 68; k < 80; ++k)
            directory[i * 128 + k] = char(0xFF);

    QByteArray fat(512, char(0xFF));
    for (quint32 i = 0; i < streamSectors; ++i)
        set32(fat, 4 * i, i + 1 == streamSectors ? kEndOfChain : i + 1);
    set32(fat, 4 * directorySector, kEndOfChain);
    set32(fat, 4 * fatSector, kFatSector);

    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(header + stream + directory + fat) > 0;
}
