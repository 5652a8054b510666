#pragma once

#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>

class QPainter;

// A report ready to paint: every text already written, every column placed.
// Bindings make one from a layout and a result; the engine pages and paints
// it on a printer, a PDF file or an image.
namespace reports {

// A caption and its text on one line of the page header ("Query:", "Top N
// Traded Quantity"); a line without caption shows the text alone.
struct HeaderLine {
    QString caption;
    QString text;
};

// A heading cell above the column headings that spans `span` columns.
struct HeadingSpan {
    QString text;
    int span = 1;
};

struct ReportColumn {
    QString heading;
    double width = 1.0;  // share of the room its texts leave on the page, against the other columns
    bool alignRight = false;
    bool canGrow = false;  // long text wraps and the row grows, instead of being cut short
};

// A line of the report footer: "Total No Of Records" and its count.
struct FooterLine {
    QString caption;
    QString text;
};

// A picture after the report footer (a chart), the printable width wide.
struct ReportPicture {
    // Paints the picture into the rectangle it is given.
    std::function<void(QPainter&, const QRectF&)> paint;
    double heightInches = 0.0;

    bool isEmpty() const { return !paint || heightInches <= 0.0; }
};

struct ReportDocument {
    QString windowCaption;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;

    // Page header, on every page.
    QStringList titleLines;          // bold, at the top
    QList<HeaderLine> headerLines;   // under the titles
    QString pageText;                // "%1" the page, "%2" the page count; empty for none
    QList<QList<HeadingSpan>> headingBands;  // rows of spanning headings over the columns

    QList<ReportColumn> columns;
    QList<QStringList> rows;  // one text per column, in printing order

    // Report footer, after the last row.
    QStringList totals;  // one text per column under the rows; empty for no totals line
    QList<FooterLine> footerLines;
    QStringList footnotes;
    // Under the footer, on a page of its own when it does not fit there.
    ReportPicture closingPicture;
};

}  // namespace reports
