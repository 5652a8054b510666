#pragma once

#include "reports/reportdocument.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QSizeF>

class QPagedPaintDevice;
class QPainter;

// The banded report engine: a page header on every page (titles, heading
// lines, page number), the column headings, the detail rows, and the report
// footer (totals, counts, notes) after the last row. It paints with QPainter,
// so the same report goes to the print preview, a printer, a PDF file or an
// image.
namespace reports {

// The pages of one report. It lays the report out in units of
// 1/kReportDotsPerInch inch with fonts sized in those units, so that a page
// holds the same rows on the screen, a printer and a PDF file alike.
//
// Each column is as wide as the widest text it prints (its values in every
// row, its total, its heading) and the room left over is shared by the
// columns' widths. When the page is too narrow, text columns (names) give up
// room first and their values are cut short or wrap; a figure is never cut
// and never runs into its neighbour: when the figures alone are wider than
// the page, the table's type is made smaller.
class ReportPager {
public:
    static constexpr qreal kReportDotsPerInch = 1200.0;

    // `area` is the printable size in inches. `document` must outlive the pager.
    ReportPager(const ReportDocument& document, const QSizeF& areaInInches);

    int pageCount() const { return int(m_pages.size()); }
    // Paints page `page` (0-based). The painter's origin is the top left of the
    // printable area; its scale maps report units to the device.
    void paintPage(QPainter& painter, int page) const;
    // Paints page `page` on a device of `dotsPerInch`, origin at the printable area.
    void paintPage(QPainter& painter, int page, qreal dotsPerInchX, qreal dotsPerInchY) const;

private:
    struct Page {
        qsizetype firstRow = 0;
        qsizetype endRow = 0;
        bool footer = false;
        bool picture = false;
    };
    // The room a column's texts ask for, in report units.
    struct ColumnNeed {
        qreal least = 0;   // below this a figure or a heading's word is cut
        qreal wanted = 0;  // every value and the heading on one line
        bool figures = false;
    };

    qreal points(qreal value) const { return value * m_unitsPerPoint; }
    void layOutColumns();
    QList<ColumnNeed> measureColumns() const;
    void placeColumns(const QList<ColumnNeed>& needs);
    qreal textHeight(const QFont& font, const QString& text, qreal width) const;
    static qreal lineHeight(const QFont& font);
    qreal columnX(qsizetype column) const { return m_columnX[column]; }
    qreal columnWidth(qsizetype column) const { return m_columnX[column + 1] - m_columnX[column]; }
    qreal spanWidth(qsizetype first, int span) const;

    qreal measureHeader();
    qreal measureRow(const QStringList& cells) const;
    qreal measureFooter() const;
    void paginate();

    qreal paintHeader(QPainter& painter, int page) const;
    qreal paintRow(QPainter& painter, qreal y, const QStringList& cells, qreal height, bool bold) const;
    qreal paintFooter(QPainter& painter, qreal y) const;

    const ReportDocument& m_document;
    QSizeF m_area;
    qreal m_unitsPerPoint = 1;
    QFont m_titleFont;
    QFont m_headerFont;
    QFont m_headingFont;
    QFont m_detailFont;
    qreal m_headingLineHeight = 0;
    qreal m_detailLineHeight = 0;
    QList<qreal> m_columnX;  // left edges, and the right edge of the last column
    QList<qreal> m_bandHeights;  // heights of the heading bands
    qreal m_headingHeight = 0;    // height of the column headings
    QList<qreal> m_rowHeights;
    qreal m_headerHeight = 0;
    qreal m_footerHeight = 0;
    qreal m_pictureHeight = 0;
    QList<Page> m_pages;
};

// Paints every page on `device` (a printer or a PDF writer) in its current
// page layout. False when painting could not start.
bool printReport(const ReportDocument& document, QPagedPaintDevice& device);

// Writes the report to a PDF file on A4 paper in the report's orientation.
bool writeReportPdf(const ReportDocument& document, const QString& path, QString* error = nullptr);

// The report's pages as A4 images in its orientation, white, at `dotsPerInch`.
QList<QImage> renderReportPages(const ReportDocument& document, int dotsPerInch = 96);

// The page the reports are made for: A4 in `orientation` with 10 mm margins.
QPageLayout reportPageLayout(QPageLayout::Orientation orientation);

}  // namespace reports
