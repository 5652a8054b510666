#include "reports/reportengine.h"

#include "store/showntext.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace reports {

namespace {

// Sizes in points.
constexpr qreal kTitlePointSize = 12.0;
constexpr qreal kTextPointSize = 8.0;
constexpr qreal kCellPadding = 2.0;
constexpr qreal kBandGap = 6.0;
constexpr qreal kRuleWidth = 0.5;
constexpr qreal kPageMarginMillimetres = 10.0;

// Fonts are sized in report units, not in points of the device, so that
// their metrics are the same whatever the device's resolution.
QFont makeFont(qreal pointSize, bool bold)
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qRound(pointSize * ReportPager::kReportDotsPerInch / 72.0));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setBold(bold);
    return font;
}

}  // namespace

ReportPager::ReportPager(const ReportDocument& document, const QSizeF& areaInInches)
    : m_document(document),
      m_area(areaInInches * kReportDotsPerInch),
      m_unitsPerPoint(kReportDotsPerInch / 72.0),
      m_titleFont(makeFont(kTitlePointSize, true)),
      m_headerFont(makeFont(kTextPointSize + 1, false)),
      m_headingFont(makeFont(kTextPointSize, true)),
      m_detailFont(makeFont(kTextPointSize, false)),
      m_headingLineHeight(lineHeight(m_headingFont)),
      m_detailLineHeight(lineHeight(m_detailFont))
{
    layOutColumns();
    m_headerHeight = measureHeader();
    m_rowHeights.reserve(document.rows.size());
    for (const QStringList& row : document.rows)
        m_rowHeights.append(measureRow(row));
    m_footerHeight = measureFooter();
    if (!document.closingPicture.isEmpty())
        m_pictureHeight = std::min(document.closingPicture.heightInches * kReportDotsPerInch + points(kBandGap),
                                   std::max<qreal>(0, m_area.height() - m_headerHeight));
    paginate();
}

void ReportPager::layOutColumns()
{
    // Figures that do not fit the page even with the names at their least
    // make the table's type smaller, in proportion, until they fit.
    QList<ColumnNeed> needs = measureColumns();
    for (int attempt = 0; attempt < 4; ++attempt) {
        qreal least = 0;
        for (const ColumnNeed& need : needs)
            least += need.least;
        if (least <= m_area.width())
            break;
        const qreal scale = m_area.width() / least;
        for (QFont* font : {&m_headingFont, &m_detailFont})
            font->setPixelSize(std::max(1, int(std::floor(font->pixelSize() * scale))));
        m_headingLineHeight = lineHeight(m_headingFont);
        m_detailLineHeight = lineHeight(m_detailFont);
        needs = measureColumns();
    }
    placeColumns(needs);
}

QList<ReportPager::ColumnNeed> ReportPager::measureColumns() const
{
    const qreal padding = 2 * points(kCellPadding);
    const QFontMetricsF detail(m_detailFont);
    const QFontMetricsF heading(m_headingFont);
    // A name may be cut down to this many characters before figures give way.
    const qreal leastName = detail.horizontalAdvance(QLatin1Char('0')) * 12;
    QList<ColumnNeed> needs;
    for (qsizetype i = 0; i < m_document.columns.size(); ++i) {
        const ReportColumn& column = m_document.columns[i];
        qreal values = 0;
        for (const QStringList& row : m_document.rows)
            if (i < row.size())
                values = std::max(values, detail.horizontalAdvance(row[i]));
        if (i < m_document.totals.size())
            values = std::max(values, heading.horizontalAdvance(m_document.totals[i]));
        qreal widestWord = 0;
        for (const QString& word : column.heading.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            widestWord = std::max(widestWord, heading.horizontalAdvance(word));
        const qreal wholeHeading = heading.horizontalAdvance(column.heading);

        ColumnNeed need;
        need.figures = column.alignRight;
        need.least = (need.figures ? std::max(values, widestWord) : std::max(std::min(values, leastName), widestWord))
                     + padding;
        // Where there is room, a figure keeps a space from its neighbour's.
        const qreal space = need.figures ? detail.horizontalAdvance(QLatin1Char(' ')) : 0;
        need.wanted = std::max({values + space, wholeHeading, need.least - padding}) + padding;
        needs.append(need);
    }
    return needs;
}

void ReportPager::placeColumns(const QList<ColumnNeed>& needs)
{
    QList<qreal> widths;
    qreal left = m_area.width();
    for (const ColumnNeed& need : needs) {
        widths.append(need.least);
        left -= need.least;
    }
    // Names grow back first, then headings of figures onto one line.
    for (const bool figures : {false, true}) {
        qreal missing = 0;
        for (qsizetype i = 0; i < needs.size(); ++i)
            if (needs[i].figures == figures)
                missing += needs[i].wanted - widths[i];
        if (missing <= 0 || left <= 0)
            continue;
        const qreal share = std::min<qreal>(1, left / missing);
        for (qsizetype i = 0; i < needs.size(); ++i) {
            if (needs[i].figures != figures)
                continue;
            const qreal grown = (needs[i].wanted - widths[i]) * share;
            widths[i] += grown;
            left -= grown;
        }
    }
    // The room still left goes to the columns by their shares.
    qreal shares = 0;
    for (const ReportColumn& column : m_document.columns)
        shares += std::max(0.0, column.width);
    if (left > 0 && shares > 0)
        for (qsizetype i = 0; i < widths.size(); ++i)
            widths[i] += left * std::max(0.0, m_document.columns[i].width) / shares;

    m_columnX = {0};
    for (const qreal width : widths)
        m_columnX.append(m_columnX.last() + width);
}

qreal ReportPager::lineHeight(const QFont& font)
{
    return QFontMetricsF(font).lineSpacing();
}

qreal ReportPager::textHeight(const QFont& font, const QString& text, qreal width) const
{
    if (text.isEmpty())
        return lineHeight(font);
    const QFontMetricsF metrics(font);
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, std::max<qreal>(width, 1), 1e9),
                                               Qt::TextWordWrap, text);
    return std::max(bounds.height(), metrics.lineSpacing());
}

qreal ReportPager::spanWidth(qsizetype first, int span) const
{
    const qsizetype last = std::min<qsizetype>(first + span, m_columnX.size() - 1);
    return m_columnX[last] - m_columnX[first];
}

qreal ReportPager::measureHeader()
{
    const qreal padding = points(kCellPadding);
    for (const QList<HeadingSpan>& band : m_document.headingBands) {
        qreal bandHeight = m_headingLineHeight;
        qsizetype column = 0;
        for (const HeadingSpan& span : band) {
            if (column >= m_document.columns.size())
                break;
            bandHeight = std::max(bandHeight, textHeight(m_headingFont, span.text,
                                                         spanWidth(column, span.span) - 2 * padding));
            column += span.span;
        }
        m_bandHeights.append(bandHeight);
    }
    m_headingHeight = m_headingLineHeight;
    for (qsizetype i = 0; i < m_document.columns.size(); ++i)
        m_headingHeight = std::max(m_headingHeight, textHeight(m_headingFont, m_document.columns[i].heading,
                                                               columnWidth(i) - 2 * padding));

    qreal height = m_document.titleLines.size() * lineHeight(m_titleFont);
    height += m_document.headerLines.size() * lineHeight(m_headerFont);
    if (m_document.titleLines.isEmpty() && m_document.headerLines.isEmpty() && !m_document.pageText.isEmpty())
        height += lineHeight(m_headerFont);
    height += points(kBandGap);
    for (qreal bandHeight : m_bandHeights)
        height += bandHeight + 2 * padding;
    return height + m_headingHeight + 2 * padding;
}

qreal ReportPager::measureRow(const QStringList& cells) const
{
    const qreal padding = points(kCellPadding);
    qreal height = m_detailLineHeight;
    for (qsizetype i = 0; i < m_document.columns.size() && i < cells.size(); ++i) {
        if (m_document.columns[i].canGrow)
            height = std::max(height, textHeight(m_detailFont, cells[i], columnWidth(i) - 2 * padding));
    }
    return height + padding;
}

qreal ReportPager::measureFooter() const
{
    qreal height = points(kBandGap);
    if (!m_document.totals.isEmpty())
        height += m_headingLineHeight + 2 * points(kCellPadding);
    height += m_document.footerLines.size() * m_headingLineHeight;
    height += m_document.footnotes.size() * m_detailLineHeight;
    return height;
}

void ReportPager::paginate()
{
    const qreal available = m_area.height() - m_headerHeight;
    Page page;
    qreal y = 0;
    for (qsizetype row = 0; row < m_rowHeights.size(); ++row) {
        const qreal height = m_rowHeights[row];
        if (y + height > available && page.endRow > page.firstRow) {
            m_pages.append(page);
            page = Page{row, row, false};
            y = 0;
        }
        y += height;
        page.endRow = row + 1;
    }
    if (y + m_footerHeight <= available || page.endRow == page.firstRow) {
        page.footer = true;
        y += m_footerHeight;
    } else {
        m_pages.append(page);
        page = Page{page.endRow, page.endRow, true};
        y = m_footerHeight;
    }
    if (m_pictureHeight > 0) {
        if (y + m_pictureHeight <= available) {
            page.picture = true;
        } else {
            m_pages.append(page);
            page = Page{page.endRow, page.endRow, false, true};
        }
    }
    m_pages.append(page);
}

qreal ReportPager::paintHeader(QPainter& painter, int page) const
{
    const qreal width = m_area.width();
    QString pageText = m_document.pageText;
    if (pageText.contains(QLatin1String("%2")))
        pageText = pageText.arg(page + 1).arg(pageCount());
    else if (pageText.contains(QLatin1String("%1")))
        pageText = pageText.arg(page + 1);
    const qreal pageTextWidth = pageText.isEmpty()
                                    ? 0
                                    : QFontMetricsF(m_headerFont).horizontalAdvance(pageText) + points(12);
    painter.setFont(m_headerFont);
    painter.drawText(QRectF(0, 0, width, lineHeight(m_headerFont)), Qt::AlignRight | Qt::AlignVCenter, pageText);

    qreal y = 0;
    painter.setFont(m_titleFont);
    for (const QString& title : m_document.titleLines) {
        const qreal height = lineHeight(m_titleFont);
        painter.drawText(QRectF(0, y, width - pageTextWidth, height), Qt::AlignLeft | Qt::AlignVCenter, title);
        y += height;
    }
    QFont captionFont = m_headerFont;
    captionFont.setBold(true);
    for (const HeaderLine& line : m_document.headerLines) {
        const qreal height = lineHeight(m_headerFont);
        qreal x = 0;
        if (!line.caption.isEmpty()) {
            painter.setFont(captionFont);
            painter.drawText(QRectF(0, y, width, height), Qt::AlignLeft | Qt::AlignVCenter, line.caption);
            x = QFontMetricsF(captionFont).horizontalAdvance(line.caption + QLatin1Char(' '));
        }
        painter.setFont(m_headerFont);
        painter.drawText(QRectF(x, y, width - x - (y == 0 ? pageTextWidth : 0), height),
                         Qt::AlignLeft | Qt::AlignVCenter, line.text);
        y += height;
    }
    if (m_document.titleLines.isEmpty() && m_document.headerLines.isEmpty() && !pageText.isEmpty())
        y += lineHeight(m_headerFont);
    y += points(kBandGap);

    const qreal padding = points(kCellPadding);
    const qreal headingTop = y;
    painter.setFont(m_headingFont);
    for (qsizetype band = 0; band < m_document.headingBands.size(); ++band) {
        const qreal bandHeight = m_bandHeights[band];
        qsizetype column = 0;
        for (const HeadingSpan& span : m_document.headingBands[band]) {
            if (column >= m_document.columns.size())
                break;
            const QRectF cell(columnX(column) + padding, y + padding, spanWidth(column, span.span) - 2 * padding,
                              bandHeight);
            painter.drawText(cell, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap, span.text);
            if (!span.text.trimmed().isEmpty())
                painter.drawLine(QPointF(cell.left(), y + bandHeight + 1.5 * padding),
                                 QPointF(cell.right(), y + bandHeight + 1.5 * padding));
            column += span.span;
        }
        y += bandHeight + 2 * padding;
    }
    for (qsizetype i = 0; i < m_document.columns.size(); ++i) {
        const ReportColumn& column = m_document.columns[i];
        const Qt::Alignment alignment = (column.alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignBottom;
        painter.drawText(QRectF(columnX(i) + padding, y + padding, columnWidth(i) - 2 * padding, m_headingHeight),
                         alignment | Qt::TextWordWrap, column.heading);
    }
    y += m_headingHeight + 2 * padding;
    painter.drawLine(QPointF(0, headingTop), QPointF(width, headingTop));
    painter.drawLine(QPointF(0, y), QPointF(width, y));
    return y;
}

qreal ReportPager::paintRow(QPainter& painter, qreal y, const QStringList& cells, qreal height, bool bold) const
{
    const qreal padding = points(kCellPadding);
    const QFont& font = bold ? m_headingFont : m_detailFont;
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    for (qsizetype i = 0; i < m_document.columns.size() && i < cells.size(); ++i) {
        const ReportColumn& column = m_document.columns[i];
        const QRectF cell(columnX(i) + padding, y + padding / 2, columnWidth(i) - 2 * padding, height - padding);
        if (column.canGrow) {
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, cells[i]);
        } else if (column.alignRight) {
            // Figures are never cut short: a wide one reaches into the padding.
            painter.drawText(cell, Qt::AlignRight | Qt::AlignTop | Qt::TextDontClip, cells[i]);
        } else {
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop,
                             metrics.elidedText(cells[i], Qt::ElideRight, cell.width()));
        }
    }
    return y + height;
}

qreal ReportPager::paintFooter(QPainter& painter, qreal y) const
{
    const qreal width = m_area.width();
    const qreal padding = points(kCellPadding);
    y += points(kBandGap) / 2;
    if (!m_document.totals.isEmpty()) {
        painter.drawLine(QPointF(0, y), QPointF(width, y));
        y = paintRow(painter, y + padding / 2, m_document.totals, m_headingLineHeight + padding, true);
        painter.drawLine(QPointF(0, y), QPointF(width, y));
        y += padding / 2;
    }
    y += points(kBandGap) / 2;
    const QFont captionFont = m_headingFont;
    for (const FooterLine& line : m_document.footerLines) {
        const qreal height = m_headingLineHeight;
        painter.setFont(captionFont);
        painter.drawText(QRectF(0, y, width, height), Qt::AlignLeft | Qt::AlignVCenter, line.caption);
        const qreal x = QFontMetricsF(captionFont).horizontalAdvance(line.caption) + points(12);
        painter.drawText(QRectF(x, y, width - x, height), Qt::AlignLeft | Qt::AlignVCenter, line.text);
        y += height;
    }
    painter.setFont(m_detailFont);
    for (const QString& note : m_document.footnotes) {
        const qreal height = m_detailLineHeight;
        painter.drawText(QRectF(0, y, width, height), Qt::AlignLeft | Qt::AlignVCenter, note);
        y += height;
    }
    return y;
}

void ReportPager::paintPage(QPainter& painter, int page) const
{
    if (page < 0 || page >= pageCount())
        return;
    painter.save();
    QPen pen(Qt::black);
    pen.setWidthF(points(kRuleWidth));
    painter.setPen(pen);
    const Page& bounds = m_pages[page];
    qreal y = paintHeader(painter, page);
    for (qsizetype row = bounds.firstRow; row < bounds.endRow; ++row)
        y = paintRow(painter, y, m_document.rows[row], m_rowHeights[row], false);
    if (bounds.footer)
        y = paintFooter(painter, y);
    if (bounds.picture) {
        y += points(kBandGap);
        m_document.closingPicture.paint(painter, QRectF(0, y, m_area.width(), m_pictureHeight - points(kBandGap)));
    }
    painter.restore();
}

QPageLayout reportPageLayout(QPageLayout::Orientation orientation)
{
    const qreal margin = kPageMarginMillimetres;
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(margin, margin, margin, margin),
                       QPageLayout::Millimeter);
}

void ReportPager::paintPage(QPainter& painter, int page, qreal dotsPerInchX, qreal dotsPerInchY) const
{
    painter.save();
    painter.scale(dotsPerInchX / kReportDotsPerInch, dotsPerInchY / kReportDotsPerInch);
    paintPage(painter, page);
    painter.restore();
}

bool printReport(const ReportDocument& document, QPagedPaintDevice& device)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const qreal dpiX = device.logicalDpiX();
    const qreal dpiY = device.logicalDpiY();
    const ReportPager pager(document, QSizeF(device.width() / dpiX, device.height() / dpiY));
    for (int page = 0; page < pager.pageCount(); ++page) {
        if (page > 0)
            device.newPage();
        pager.paintPage(painter, page, dpiX, dpiY);
    }
    return painter.end();
}

bool writeReportPdf(const ReportDocument& document, const QString& path, QString* error)
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setPageLayout(reportPageLayout(document.orientation));
    writer.setTitle(document.windowCaption);
    writer.setCreator(QStringLiteral("Tarvenix"));
    if (!printReport(document, writer)) {
        if (error)
            *error = QStringLiteral("Cannot write the file ") + store::shownPath(path);
        return false;
    }
    return true;
}

QList<QImage> renderReportPages(const ReportDocument& document, int dotsPerInch)
{
    const QPageLayout pageLayout = reportPageLayout(document.orientation);
    const QRect full = pageLayout.fullRectPixels(dotsPerInch);
    const QRect printable = pageLayout.paintRectPixels(dotsPerInch);
    const int dotsPerMetre = qRound(dotsPerInch / 0.0254);

    auto blankPage = [&] {
        QImage image(full.size(), QImage::Format_RGB32);
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        image.fill(Qt::white);
        return image;
    };
    const ReportPager pager(document, QSizeF(printable.size()) / dotsPerInch);
    QList<QImage> pages;
    for (int page = 0; page < pager.pageCount(); ++page) {
        QImage image = blankPage();
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(printable.topLeft());
        pager.paintPage(painter, page, dotsPerInch, dotsPerInch);
        painter.end();
        pages.append(image);
    }
    return pages;
}

}  // namespace reports
