#pragma once

#include "reports/layouts.h"
#include "reports/reportdocument.h"
#include "reports/reportfacts.h"
#include "store/database.h"

#include <QString>
#include <QStringList>
#include <ostream>

// Readable QString in test messages and failures.
inline std::ostream& operator<<(std::ostream& stream, const QString& text)
{
    return stream << text.toStdString();
}
inline void PrintTo(const QString& text, std::ostream* stream)
{
    *stream << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* stream)
{
    *stream << '[' << texts.join(QStringLiteral("|")).toStdString() << ']';
}

// Small fixed results shaped like the queries each layout prints, and the
// means to read back what a PDF shows.
namespace reportfixtures {

using store::ColumnKind;

inline const QString kFiller = QString(QChar(0x00A0));

// Facts of a run on 05/Dec/2026 against 20/Nov/2026 for the group "ALL".
reports::ReportFacts sampleFacts(const QString& label = QStringLiteral("Top N Traded Quantity"),
                                 reports::QueryGroup group = reports::QueryGroup::TopBottom,
                                 reports::Exchange exchange = reports::Exchange::Nse);

// A twelve-column result: Stock, TradingDate, then whole and decimal figures.
store::Rows wideResult(int rowCount = 5);

// A result shaped like the query that `layout` prints, with five rows.
store::Rows resultFor(reports::LayoutId layout);

// The name of the n-th sample company ("Company 007").
QString companyName(int index);

// The text of each page of a PDF file, read with pdftotext, runs of white
// space made one blank.
QStringList pdfPages(const QString& path);

// The text of each page of the report written to a PDF file.
QStringList printedPages(const reports::ReportDocument& document);

}  // namespace reportfixtures
