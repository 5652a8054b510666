#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>
#include <utility>

// Pieces of the .xlsx format that reading a workbook and patching a sheet
// both need.
namespace viewer::xlsx {

// A cell's row and column, both from 1.
using CellKey = std::pair<int, int>;

// Excel counts days from 30 Dec 1899 (its serial 60 is a 29 Feb 1900 that
// never was; dates before March 1900 are not met here).
inline const QDate kSerialZero(1899, 12, 30);
// The longest text a cell holds.
inline constexpr int kMaxText = 32767;

// "BC12" -> (12, 55); (0, 0) when the reference is not one.
CellKey parseReference(QStringView reference);

// The sheet names and the archive entries that hold them, in workbook order,
// from xl/workbook.xml and xl/_rels/workbook.xml.rels.
QList<std::pair<QString, QString>> readSheetList(const QByteArray& workbookXml, const QByteArray& relsXml);

}  // namespace viewer::xlsx
