#include "viewer/chartwindow.h"

#include "shell/appservices.h"
#include "store/showntext.h"
#include "ui/prompt.h"
#include "ui/screenframe.h"
#include "viewer/chart2d.h"
#include "viewer/chart3dview.h"
#include "viewer/chartpreview.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace viewer {

namespace {

QPointer<ChartWindow> g_chartWindow;

constexpr int kTwipsPerPixel = 15;
// One degree per tick; the tick as short as the screen's refresh allows.
constexpr int kRotationTickMs = 16;

int pixels(int twips)
{
    return twips / kTwipsPerPixel;
}

QString valueText(double value)
{
    return QString::number(value, 'g', 15);
}

// Shows `window` again and makes it the active one, inside the main
// window's workspace or as a window of its own.
void bringForward(QWidget* window)
{
    if (QMdiSubWindow* frame = ui::subWindowOf(window)) {
        frame->showNormal();
        if (QMdiArea* area = frame->mdiArea())
            area->setActiveSubWindow(frame);
    } else {
        window->show();
        window->raise();
    }
}

const QString kChartTip = QStringLiteral("Click a point for its value, a legend entry for its series' colour");

}  // namespace

ChartWindow::ChartWindow(shell::AppServices* services, QWidget* parent) : QWidget(parent), m_services(services)
{
    setObjectName(QStringLiteral("Form2graph"));
    setWindowTitle(QStringLiteral("Graph"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_rotationTimer = new QTimer(this);
    m_rotationTimer->setObjectName(QStringLiteral("Timer1"));
    m_rotationTimer->setInterval(kRotationTickMs);
    connect(m_rotationTimer, &QTimer::timeout, this, &ChartWindow::turnOneStep);
    m_relayout = new QTimer(this);
    m_relayout->setSingleShot(true);
    m_relayout->setInterval(150);
    connect(m_relayout, &QTimer::timeout, this, &ChartWindow::redraw);

    // The whole window scrolls when it is made smaller than its controls.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("Picture1"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(buildControls());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    resize(pixels(11460), pixels(6210));
    redraw();
}

ChartWindow::~ChartWindow() = default;

QWidget* ChartWindow::buildControls()
{
    auto* controls = new QWidget;
    auto makeButton = [controls](const QString& name, const QString& caption, const QString& tip) {
        auto* button = new QPushButton(caption, controls);
        button->setObjectName(name);
        button->setToolTip(tip);
        return button;
    };

    auto* side = new QVBoxLayout;
    QPushButton* save = makeButton(QStringLiteral("cmdsave"), QStringLiteral("&Save As"), QStringLiteral("Save as other file"));
    QPushButton* rotate = makeButton(QStringLiteral("Command3"), QStringLiteral("Auto Rotate"),
                                     QStringLiteral("Auto X Axis Rotation For 3D Charts"));
    QPushButton* stop = makeButton(QStringLiteral("Command2"), QStringLiteral("Stop"), QStringLiteral("Stop Rotation"));
    QPushButton* withShadow =
        makeButton(QStringLiteral("cmdshadow0"), QStringLiteral("With Shadow"), QStringLiteral("Chart With Shadows"));
    QPushButton* withoutShadow =
        makeButton(QStringLiteral("cmdshadow1"), QStringLiteral("Without Shadow"), QStringLiteral("Chart Without Shadows"));
    QPushButton* withBorder =
        makeButton(QStringLiteral("cmdborder0"), QStringLiteral("With Border"), QStringLiteral("Chart With Borders"));
    QPushButton* withoutBorder =
        makeButton(QStringLiteral("cmdborder1"), QStringLiteral(" Without Border"), QStringLiteral("Chart Without Borders"));
    QPushButton* solid = makeButton(QStringLiteral("cmdeffect1"), QStringLiteral("&Solid"), QStringLiteral("Solid Background"));
    QPushButton* hatched =
        makeButton(QStringLiteral("cmdeffect0"), QStringLiteral("&Hatched"), QStringLiteral("Fine Division of Y axis"));
    for (QPushButton* button : {save, rotate, stop, withShadow, withoutShadow, withBorder, withoutBorder, solid, hatched})
        side->addWidget(button);
    side->addStretch(1);

    const QList<std::tuple<ChartType, QString, QString>> types = {
        {ChartType::Bar2D, QStringLiteral("2D Bar"), QStringLiteral("Two dimensional Bar Chart")},
        {ChartType::Bar3D, QStringLiteral("3D Bar"), QStringLiteral("Three dimensional Bar Chart")},
        {ChartType::Pie2D, QStringLiteral("2D Pie"), QStringLiteral("Two dimensional Pie Chart")},
        {ChartType::Line2D, QStringLiteral("2D Line"), QStringLiteral("Two dimensional Line Chart")},
        {ChartType::Line3D, QStringLiteral("3D Line"), QStringLiteral("Three dimensional Line Chart")},
        {ChartType::Step3D, QStringLiteral("3D step"), QStringLiteral("Three dimensional Step Chart")},
    };
    QList<QPushButton*> typeButtons;
    for (int index = 0; index < types.size(); ++index) {
        const auto& [type, caption, tip] = types[index];
        QPushButton* button = makeButton(QStringLiteral("cmdch") + QString::number(index), caption, tip);
        const ChartType chosen = type;
        connect(button, &QPushButton::clicked, this, [this, chosen] { restyle([chosen](ChartLook& look) { look.type = chosen; }); });
        typeButtons.append(button);
    }
    connect(withShadow, &QPushButton::clicked, this, [this] { restyle([](ChartLook& look) { look.shadow = true; }); });
    connect(withoutShadow, &QPushButton::clicked, this, [this] { restyle([](ChartLook& look) { look.shadow = false; }); });
    connect(withBorder, &QPushButton::clicked, this, [this] { restyle([](ChartLook& look) { look.border = true; }); });
    connect(withoutBorder, &QPushButton::clicked, this, [this] { restyle([](ChartLook& look) { look.border = false; }); });
    connect(solid, &QPushButton::clicked, this,
            [this] { restyle([](ChartLook& look) { look.wall = ChartLook::Wall::Solid; }); });
    connect(hatched, &QPushButton::clicked, this,
            [this] { restyle([](ChartLook& look) { look.wall = ChartLook::Wall::Hatched; }); });
    connect(save, &QPushButton::clicked, this, &ChartWindow::saveAs);
    connect(rotate, &QPushButton::clicked, this, &ChartWindow::startRotation);
    connect(stop, &QPushButton::clicked, this, &ChartWindow::stopRotation);

    QPushButton* rowCol = makeButton(QStringLiteral("cmdrowcol0"), QStringLiteral("Row/Col"), QStringLiteral("Rows into Columns"));
    QPushButton* colRow = makeButton(QStringLiteral("cmdrowcol1"), QStringLiteral("Col/Row"), QStringLiteral("Columns into Rows"));
    connect(rowCol, &QPushButton::clicked, this, [this] { restyle([](ChartLook& look) { look.seriesInRows = true; }); });
    connect(colRow, &QPushButton::clicked, this, [this] { restyle([](ChartLook& look) { look.seriesInRows = false; }); });

    m_defaults = new QRadioButton(QStringLiteral(" Default  Settings"), controls);
    m_defaults->setObjectName(QStringLiteral("optdef"));
    // Set when chosen and cleared by any other style button.
    m_defaults->setAutoExclusive(false);
    m_defaults->setToolTip(QStringLiteral("Default Settings Of Chart"));
    connect(m_defaults, &QRadioButton::clicked, this, &ChartWindow::toDefaults);

    QPushButton* previewButton = makeButton(QStringLiteral("cmdView"), QStringLiteral("&Preview"), QStringLiteral("Print Preview"));
    QPushButton* close = makeButton(QStringLiteral("cmdcancel"), QStringLiteral("&Close"), QStringLiteral("Close This Window"));
    connect(previewButton, &QPushButton::clicked, this, &ChartWindow::preview);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    m_chartView = new QChartView(new QChart, controls);
    m_chartView->setObjectName(QStringLiteral("MSChart1"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setToolTip(kChartTip);
    m_chartView->installEventFilter(this);
    m_view3D = new Chart3DView(controls);
    m_view3D->setObjectName(QStringLiteral("MSChart1_3D"));
    m_view3D->setToolTip(kChartTip);
    connect(m_view3D, &Chart3DView::pointClicked, this, &ChartWindow::showPointValue);
    connect(m_view3D, &Chart3DView::legendClicked, this, &ChartWindow::chooseSeriesColour);
    m_canvas = new QStackedWidget(controls);
    m_canvas->addWidget(m_chartView);
    m_canvas->addWidget(m_view3D);
    m_canvas->setMinimumSize(360, 220);

    // Bottom rows: the defaults, the types in pairs, rows/columns, then
    // Preview and Close.
    auto* bottom = new QGridLayout;
    bottom->addWidget(m_defaults, 0, 0, 2, 1);
    bottom->addWidget(typeButtons[0], 0, 1);
    bottom->addWidget(typeButtons[1], 1, 1);
    bottom->addWidget(typeButtons[3], 0, 2);
    bottom->addWidget(typeButtons[4], 1, 2);
    bottom->addWidget(typeButtons[2], 0, 3);
    bottom->addWidget(typeButtons[5], 1, 3);
    bottom->addWidget(rowCol, 0, 4);
    bottom->addWidget(colRow, 1, 4);
    bottom->addWidget(previewButton, 0, 5, 2, 1);
    bottom->addWidget(close, 0, 6, 2, 1);
    previewButton->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    close->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    bottom->setColumnStretch(7, 1);

    auto* top = new QHBoxLayout;
    top->addLayout(side);
    top->addWidget(m_canvas, 1);
    auto* layout = new QVBoxLayout(controls);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    return controls;
}

bool ChartWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Category labels are planned for the chart's width: lay the 2D chart
    // out again once a resize has settled.
    if (watched == m_chartView && event->type() == QEvent::Resize && !isThreeD(m_look.type) &&
        std::abs(m_chartView->width() - m_laidOutWidth) > 40)
        m_relayout->start();
    return QWidget::eventFilter(watched, event);
}

QChart* ChartWindow::chart() const
{
    return isThreeD(m_look.type) ? nullptr : m_chartView->chart();
}

QWidget* ChartWindow::canvas() const
{
    return m_canvas->currentWidget();
}

void ChartWindow::setRows(const store::Rows& rows)
{
    m_rows = rows;
    redraw();
}

void ChartWindow::restyle(const std::function<void(ChartLook&)>& change)
{
    change(m_look);
    m_defaults->setChecked(false);
    redraw();
}

void ChartWindow::toDefaults()
{
    m_look = ChartLook();
    m_view = View3D();
    m_defaults->setChecked(true);
    redraw();
}

void ChartWindow::redraw()
{
    m_data = chartDataFromRows(m_rows, m_look.seriesInRows);
    if (isThreeD(m_look.type)) {
        m_view3D->setChart(shownChart());
        m_canvas->setCurrentWidget(m_view3D);
        return;
    }
    m_laidOutWidth = m_chartView->width();
    QChart* chart = buildChart2D(m_data, m_look, m_laidOutWidth);
    connectChart2D(chart);
    QChart* old = m_chartView->chart();
    m_chartView->setChart(chart);
    delete old;
    m_canvas->setCurrentWidget(m_chartView);
}

void ChartWindow::connectChart2D(QChart* chart)
{
    for (QAbstractSeries* series : chart->series()) {
        if (auto* pie = qobject_cast<QPieSeries*>(series)) {
            connect(pie, &QPieSeries::clicked, this, [this](QPieSlice* slice) {
                const int category = pieSliceCategory(slice);
                if (category >= 0)
                    showPointValue(0, category);
            });
        } else if (auto* bars = qobject_cast<QBarSeries*>(series)) {
            connect(bars, &QBarSeries::clicked, this, [this, bars](int index, QBarSet* set) {
                showPointValue(int(bars->barSets().indexOf(set)), index);
            });
        } else if (auto* line = qobject_cast<QLineSeries*>(series)) {
            const int number = int(chart->series().indexOf(series));
            connect(line, &QLineSeries::clicked, this, [this, number](const QPointF& at) { showPointValue(number, qRound(at.x())); });
        }
    }
    // A legend entry stands for its series; the pie's entries for the one
    // series the pie shows.
    const QList<QLegendMarker*> markers = chart->legend()->markers();
    const bool pie = m_look.type == ChartType::Pie2D;
    for (qsizetype i = 0; i < markers.size(); ++i) {
        const int series = pie ? 0 : int(i);
        connect(markers[i], &QLegendMarker::clicked, this, [this, series] { chooseSeriesColour(series); });
    }
}

void ChartWindow::showPointValue(int series, int point)
{
    if (series < 0 || series >= m_data.series.size())
        return;
    const std::optional<double> value = m_data.series[series].values.value(point);
    ui::prompt().show(ui::Message::fromStyle(value ? valueText(*value) : QString(), 0));
}

void ChartWindow::chooseSeriesColour(int series)
{
    if (series < 0 || series >= m_data.series.size())
        return;
    const std::optional<QColor> chosen = ui::prompt().chooseColour(seriesColour(m_look, series), QString());
    if (!chosen || !chosen->isValid())
        return;
    m_look.seriesColours.insert(series, *chosen);
    redraw();
}

QImage ChartWindow::picture() const
{
    return chartImage(shownChart(), m_canvas->size());
}

void ChartWindow::saveAs()
{
    ui::FileRequest request;
    request.caption = QStringLiteral("Save As");
    request.directory = m_services ? m_services->dataFolder() : QString();
    request.filter = QStringLiteral("Pictures (*.bmp)");
    QString path = ui::prompt().saveFile(request);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".bmp");
    if (!picture().save(path, "BMP"))
        ui::prompt().show(ui::Message::fromStyle(
            QStringLiteral("The picture could not be saved to %1.").arg(store::shownPath(path)), 0));
}

void ChartWindow::setChartSize(int widthTwips, int heightTwips)
{
    m_chartWidth = widthTwips;
    m_chartHeight = heightTwips;
}

void ChartWindow::preview()
{
    if (m_preview) {
        bringForward(m_preview);
        return;
    }
    setChartSize(m_canvas->width() * kTwipsPerPixel, m_canvas->height() * kTwipsPerPixel);
    m_preview = new ChartPreviewWindow(this);
    if (m_services)
        m_services->showChild(m_preview);
    else
        m_preview->show();
}

ChartPreviewWindow* ChartWindow::previewWindow() const
{
    return m_preview;
}

void ChartWindow::startRotation()
{
    m_rotation.start(m_view);
    m_rotationTimer->start();
}

void ChartWindow::stopRotation()
{
    m_rotationTimer->stop();
    m_rotation.stop();
}

void ChartWindow::turnOneStep()
{
    if (!m_rotation.isTurning())
        return;
    m_view = m_rotation.tick();
    if (isThreeD(m_look.type))
        m_view3D->setChart(shownChart());
}

ChartWindow* showChart(shell::AppServices& services, const store::Rows& rows)
{
    if (!g_chartWindow) {
        g_chartWindow = new ChartWindow(&services);
        g_chartWindow->setRows(rows);
        services.showChild(g_chartWindow);
        return g_chartWindow;
    }
    g_chartWindow->setRows(rows);
    bringForward(g_chartWindow);
    return g_chartWindow;
}

ChartWindow* openChartWindow()
{
    return g_chartWindow;
}

}  // namespace viewer
