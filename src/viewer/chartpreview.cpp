#include "viewer/chartpreview.h"

#include "ui/prompt.h"
#include "viewer/chartwindow.h"

#include <QActionGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace viewer {

namespace {

constexpr int kTwipsPerPixel = 15;

int pixels(int twips)
{
    return int(std::lround(twips / double(kTwipsPerPixel)));
}

QRect pixels(const QRect& twips)
{
    return QRect(pixels(twips.left()), pixels(twips.top()), std::max(1, pixels(twips.width())),
                 std::max(1, pixels(twips.height())));
}

QScrollBar* makeBar(const QString& name, int least, int most, int first, QWidget* parent)
{
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setRange(least, most);
    bar->setSingleStep(1);
    bar->setPageStep(10);
    bar->setValue(first);
    bar->setMinimumWidth(90);
    return bar;
}

// The page: in the window colour, framed, on a darker ground.
class PageView : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Window));
        painter.setPen(QPen(palette().color(QPalette::Shadow), 0));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

}  // namespace

// ---- the chart on the page ------------------------------------------------------

ChartPageChart::ChartPageChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture2"));
    setToolTip(QStringLiteral("Drag and drop anywhere on the page"));
    setCursor(Qt::SizeAllCursor);
}

void ChartPageChart::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void ChartPageChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), m_picture);
}

void ChartPageChart::mousePressEvent(QMouseEvent* event)
{
    m_dragging = true;
    m_last = event->globalPosition();
}

void ChartPageChart::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    const QPoint moved = (event->globalPosition() - m_last).toPoint();
    if (moved.isNull())
        return;
    m_last += moved;
    emit movedBy(moved);
}

void ChartPageChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    mouseMoveEvent(event);
    m_dragging = false;
    emit dropped();
}

// ---- the window ---------------------------------------------------------------------

ChartPreviewWindow::ChartPreviewWindow(ChartWindow* chart, QWidget* parent)
    : QWidget(parent),
      m_chart(chart),
      m_shown(chart ? chart->shownChart() : ChartPicture()),
      m_page(chart ? QSize(chart->chartWidth(), chart->chartHeight()) : QSize(9000, 6000))
{
    setObjectName(QStringLiteral("graph2"));
    setWindowTitle(QStringLiteral("PRINT PREVIEW"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_chooser = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };

    auto* pageArea = new QScrollArea;
    pageArea->setObjectName(QStringLiteral("PageArea"));
    pageArea->setBackgroundRole(QPalette::Dark);
    pageArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pageArea->horizontalScrollBar()->setObjectName(QStringLiteral("HScroll1"));
    pageArea->verticalScrollBar()->setObjectName(QStringLiteral("VScroll1"));
    m_pageView = new PageView;
    m_pageView->setObjectName(QStringLiteral("Picture1"));
    pageArea->setWidget(m_pageView);
    m_chartOnPage = new ChartPageChart(m_pageView);
    connect(m_chartOnPage, &ChartPageChart::movedBy, this, [this](const QPoint& moved) {
        m_page.moveChartBy(moved * kTwipsPerPixel);
        placeWidgets();
    });
    connect(m_chartOnPage, &ChartPageChart::dropped, this, [this] { m_page.dropChart(); });

    // The controls scroll as a whole when the window is made small.
    auto* content = new QWidget;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addWidget(pageArea, 1);
    contentLayout->addWidget(buildStrip());
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    buildMenu(layout);
    layout->addWidget(scroll);

    // The designed size, made larger where the controls need more room.
    const QSize designed(pixels(9180), pixels(6270));
    resize(designed.expandedTo(content->sizeHint() + QSize(0, layout->menuBar()->sizeHint().height())));
    keepChartSize();
    zoomChanged(m_zoom->value());
}

void ChartPreviewWindow::buildMenu(QVBoxLayout* layout)
{
    auto* bar = new QMenuBar(this);
    QMenu* options = bar->addMenu(QStringLiteral("Options"));
    QMenu* paper = options->addMenu(QStringLiteral("Paper Size"));
    QAction* a4 = paper->addAction(QStringLiteral("A4"));
    a4->setCheckable(true);
    a4->setChecked(true);
    a4->setEnabled(true);
    connect(a4, &QAction::triggered, a4, [a4] { a4->setChecked(true); });

    QMenu* orientation = options->addMenu(QStringLiteral("Orientation"));
    m_orientation = orientation->addAction(QStringLiteral("Portrait/Landscape"));
    m_orientation->setObjectName(QStringLiteral("or1"));
    m_orientation->setCheckable(true);
    m_orientation->setChecked(true);  // ticked: portrait
    connect(m_orientation, &QAction::triggered, this, [this] {
        m_page.toggleOrientation();
        m_orientation->setChecked(m_page.isPortrait());
        // The chart may have a new size on the turned page.
        showSizeBars();
        keepChartSize();
        placeWidgets();
        renderChart();
    });

    QMenu* quality = options->addMenu(QStringLiteral("Print Quality"));
    auto* qualities = new QActionGroup(this);
    const QList<std::pair<QString, ChartPage::Quality>> levels = {
        {QStringLiteral("Low"), ChartPage::Quality::Low},
        {QStringLiteral("Medium"), ChartPage::Quality::Medium},
        {QStringLiteral("High"), ChartPage::Quality::High},
    };
    for (int i = 0; i < levels.size(); ++i) {
        QAction* item = quality->addAction(levels[i].first);
        item->setObjectName(QStringLiteral("pq1_%1").arg(i));
        item->setCheckable(true);
        item->setChecked(levels[i].second == m_page.quality());
        qualities->addAction(item);
        const ChartPage::Quality level = levels[i].second;
        connect(item, &QAction::triggered, this, [this, level] { m_page.setQuality(level); });
    }

    QMenu* copies = options->addMenu(QStringLiteral("No Of Copies"));
    auto* counts = new QActionGroup(this);
    for (int i = 0; i < 10; ++i) {
        QAction* item = copies->addAction(QString::number(i + 1));
        item->setObjectName(QStringLiteral("noc1_%1").arg(i));
        item->setCheckable(true);
        item->setChecked(i == 0);
        counts->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { m_page.setCopies(i + 1); });
    }
    layout->setMenuBar(bar);
}

QWidget* ChartPreviewWindow::buildStrip()
{
    auto* strip = new QWidget;
    auto* zoomFrame = new QGroupBox(QStringLiteral("ZOOM"), strip);
    m_zoom = makeBar(QStringLiteral("HScroll2"), ChartPage::kLeastZoom, ChartPage::kMostZoom, ChartPage::kFirstZoom, zoomFrame);
    m_zoomLabel = new QLabel(zoomFrame);
    m_zoomLabel->setObjectName(QStringLiteral("Label1"));
    m_zoomLabel->setMinimumWidth(m_zoomLabel->fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 4);
    auto* zoomRow = new QHBoxLayout(zoomFrame);
    zoomRow->addWidget(m_zoom, 1);
    zoomRow->addWidget(m_zoomLabel);
    connect(m_zoom, &QScrollBar::valueChanged, this, &ChartPreviewWindow::zoomChanged);

    auto* sizeFrame = new QGroupBox(QStringLiteral("Chart Dim"), strip);
    m_height = makeBar(QStringLiteral("chtscroll0"), ChartPage::kLeastSize, ChartPage::kMostSize, ChartPage::kFirstSize, sizeFrame);
    m_width = makeBar(QStringLiteral("chtscroll1"), ChartPage::kLeastSize, ChartPage::kMostSize, ChartPage::kFirstSize, sizeFrame);
    auto* sizeGrid = new QGridLayout(sizeFrame);
    sizeGrid->addWidget(new QLabel(QStringLiteral("Height"), sizeFrame), 0, 0);
    sizeGrid->addWidget(new QLabel(QStringLiteral("Width"), sizeFrame), 0, 1);
    sizeGrid->addWidget(m_height, 1, 0);
    sizeGrid->addWidget(m_width, 1, 1);
    connect(m_height, &QScrollBar::valueChanged, this, [this](int value) { sizeChanged(0, value); });
    connect(m_width, &QScrollBar::valueChanged, this, [this](int value) { sizeChanged(1, value); });

    auto* close = new QPushButton(QStringLiteral("&Close"), strip);
    close->setObjectName(QStringLiteral("cmdcancel"));
    close->setToolTip(QStringLiteral("Cancel"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* print = new QPushButton(QStringLiteral("P&rint"), strip);
    print->setObjectName(QStringLiteral("cmdPrint"));
    print->setToolTip(QStringLiteral("Print"));
    connect(print, &QPushButton::clicked, this, &ChartPreviewWindow::print);

    auto* row = new QHBoxLayout(strip);
    row->addWidget(zoomFrame, 1);
    row->addWidget(sizeFrame, 2);
    row->addWidget(close);
    row->addWidget(print);
    return strip;
}

void ChartPreviewWindow::takeChart()
{
    // A change made in the chart window shows at the next zoom or size
    // change; once that window is closed, the page keeps its last chart.
    if (m_chart)
        m_shown = m_chart->shownChart();
}

void ChartPreviewWindow::zoomChanged(int value)
{
    m_zoomLabel->setText(QString::number(value) + QLatin1Char('%'));
    m_page.setZoom(value);
    showSizeBars();
    takeChart();
    placeWidgets();
    renderChart();
}

void ChartPreviewWindow::sizeChanged(int index, int value)
{
    if (index == 0)
        m_page.setHeightBar(value);
    else
        m_page.setWidthBar(value);
    keepChartSize();
    takeChart();
    placeWidgets();
    renderChart();
}

void ChartPreviewWindow::showSizeBars()
{
    const QSignalBlocker quietHeight(m_height);
    const QSignalBlocker quietWidth(m_width);
    m_height->setValue(m_page.heightBar());
    m_width->setValue(m_page.widthBar());
}

void ChartPreviewWindow::keepChartSize()
{
    if (m_chart)
        m_chart->setChartSize(m_page.chartSize().width(), m_page.chartSize().height());
}

void ChartPreviewWindow::placeWidgets()
{
    m_pageView->setFixedSize(pixels(m_page.pageSize().width()), pixels(m_page.pageSize().height()));
    m_chartOnPage->setGeometry(pixels(m_page.chartPlace()));
}

void ChartPreviewWindow::renderChart()
{
    // The chart laid out at its size at 100 percent and drawn at the
    // page's scale, as it will print.
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(m_chartOnPage->size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    const QSizeF layout(m_page.chartSize().width() / double(kTwipsPerPixel), m_page.chartSize().height() / double(kTwipsPerPixel));
    paintChart(painter, QRectF(QPointF(0, 0), QSizeF(m_chartOnPage->size())), m_shown, layout);
    painter.end();
    m_chartOnPage->setPicture(picture);
}

void ChartPreviewWindow::print()
{
    m_zoom->setValue(ChartPage::kMostZoom);
    takeChart();
    QPrinter printer(QPrinter::HighResolution);
    prepareChartPrinter(printer, m_page);
    if (!m_chooser || !m_chooser(printer))
        return;
    if (!printChartPage(printer, m_page, m_shown))
        ui::prompt().show(ui::Message::fromStyle(QStringLiteral("The chart could not be printed."), 48));
}

}  // namespace viewer
