#include "viewer/chartwindow.h"

#include "shell/appservices.h"
#include "ui/prompt.h"
#include "viewer/chartpreview.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPieSeries>
#include <QPieSlice>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValueAxis>

namespace viewer {

namespace {

QPointer<ChartWindow> g_chartWindow;

int pixels(int twips)
{
    return twips / 15;
}

QString valueText(double value)
{
    return QString::number(value, 'g', 15);
}

}  // namespace

ChartWindow::ChartWindow(const QString& dataFolder, QWidget* parent) : QWidget(parent), m_dataFolder(dataFolder)
{
    setObjectName(QStringLiteral("Form2graph"));
    setWindowTitle(QStringLiteral("Graph"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_view = new QChartView(new QChart, this);
    m_view->setObjectName(QStringLiteral("MSChart1"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumSize(pixels(9000), pixels(4800));
    buildButtons();
    resize(pixels(11460), pixels(6210));
    redraw();
}

void ChartWindow::buildButtons()
{
    auto makeButton = [this](const QString& name, const QString& caption, const QString& tip) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setToolTip(tip);
        return button;
    };

    auto* side = new QVBoxLayout;
    QPushButton* save = makeButton(QStringLiteral("cmdsave"), QStringLiteral("&Save As"), QStringLiteral("Save as other file"));
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
    for (QPushButton* button : {save, withShadow, withoutShadow, withBorder, withoutBorder, solid, hatched})
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

    QPushButton* rowCol = makeButton(QStringLiteral("cmdrowcol0"), QStringLiteral("Row/Col"), QStringLiteral("Rows into Columns"));
    QPushButton* colRow = makeButton(QStringLiteral("cmdrowcol1"), QStringLiteral("Col/Row"), QStringLiteral("Columns into Rows"));
    connect(rowCol, &QPushButton::clicked, this, [this] { restyle([](ChartLook& look) { look.seriesInRows = true; }); });
    connect(colRow, &QPushButton::clicked, this, [this] { restyle([](ChartLook& look) { look.seriesInRows = false; }); });

    m_defaults = new QRadioButton(QStringLiteral(" Default  Settings"), this);
    m_defaults->setObjectName(QStringLiteral("optdef"));
    // Set when chosen and cleared by any other style button.
    m_defaults->setAutoExclusive(false);
    m_defaults->setToolTip(QStringLiteral("Default Settings Of Chart"));
    connect(m_defaults, &QRadioButton::clicked, this, &ChartWindow::toDefaults);

    QPushButton* previewButton = makeButton(QStringLiteral("cmdView"), QStringLiteral("&Preview"), QStringLiteral("Print Preview"));
    QPushButton* close = makeButton(QStringLiteral("cmdcancel"), QStringLiteral("&Close"), QStringLiteral("Close This Window"));
    connect(previewButton, &QPushButton::clicked, this, &ChartWindow::preview);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

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
    top->addWidget(m_view, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
}

QChart* ChartWindow::chart() const
{
    return m_view->chart();
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
    m_defaults->setChecked(true);
    redraw();
}

void ChartWindow::redraw()
{
    m_data = chartDataFromRows(m_rows, m_look.seriesInRows);
    auto* chart = new QChart;
    chart->legend()->setVisible(true);
    chart->setDropShadowEnabled(m_look.shadow);
    chart->setPlotAreaBackgroundVisible(m_look.border || m_look.wall != ChartLook::Wall::Plain);
    QBrush wall(Qt::white);
    if (m_look.wall == ChartLook::Wall::Hatched)
        wall = QBrush(Qt::lightGray, Qt::HorPattern);
    else if (m_look.wall == ChartLook::Wall::Plain)
        wall = QBrush(Qt::NoBrush);
    chart->setPlotAreaBackgroundBrush(wall);
    chart->setPlotAreaBackgroundPen(m_look.border ? QPen(Qt::black, 3) : QPen(Qt::NoPen));

    const DrawnChart drawn = drawnChartFor(m_look.type);
    if (drawn == DrawnChart::Pie) {
        // A pie shows the first series, one slice per category.
        auto* pie = new QPieSeries;
        if (!m_data.series.isEmpty()) {
            const ChartSeriesData& first = m_data.series.first();
            for (int i = 0; i < m_data.categories.size(); ++i) {
                const std::optional<double> value = first.values.value(i);
                if (value && *value > 0)
                    pie->append(m_data.categories[i], *value);
            }
            if (m_look.seriesColours.contains(0)) {
                for (QPieSlice* slice : pie->slices())
                    slice->setColor(m_look.seriesColours.value(0));
            }
        }
        connect(pie, &QPieSeries::clicked, this, [this](QPieSlice* slice) {
            const int category = static_cast<int>(m_data.categories.indexOf(slice->label()));
            if (category >= 0)
                showPointValue(0, category);
        });
        connect(pie, &QPieSeries::doubleClicked, this, [this](QPieSlice*) { chooseSeriesColour(0); });
        chart->addSeries(pie);
    } else if (drawn == DrawnChart::Bar) {
        auto* bars = new QBarSeries;
        for (int s = 0; s < m_data.series.size(); ++s) {
            auto* set = new QBarSet(m_data.series[s].name);
            for (const std::optional<double>& value : m_data.series[s].values)
                set->append(value.value_or(0.0));
            if (m_look.seriesColours.contains(s))
                set->setColor(m_look.seriesColours.value(s));
            bars->append(set);
        }
        connect(bars, &QBarSeries::clicked, this,
                [this, bars](int index, QBarSet* set) { showPointValue(static_cast<int>(bars->barSets().indexOf(set)), index); });
        connect(bars, &QBarSeries::doubleClicked, this,
                [this, bars](int, QBarSet* set) { chooseSeriesColour(static_cast<int>(bars->barSets().indexOf(set))); });
        chart->addSeries(bars);
    } else {
        for (int s = 0; s < m_data.series.size(); ++s) {
            auto* line = new QLineSeries;
            line->setName(m_data.series[s].name);
            const QList<std::optional<double>>& values = m_data.series[s].values;
            for (int i = 0; i < values.size(); ++i) {
                if (!values[i])
                    continue;
                if (drawn == DrawnChart::StepLine) {
                    line->append(i - 0.5, *values[i]);
                    line->append(i + 0.5, *values[i]);
                } else {
                    line->append(i, *values[i]);
                }
            }
            if (m_look.seriesColours.contains(s)) {
                QPen pen = line->pen();
                pen.setColor(m_look.seriesColours.value(s));
                line->setPen(pen);
            }
            connect(line, &QLineSeries::clicked, this,
                    [this, s](const QPointF& at) { showPointValue(s, qRound(at.x())); });
            connect(line, &QLineSeries::doubleClicked, this, [this, s](const QPointF&) { chooseSeriesColour(s); });
            chart->addSeries(line);
        }
    }

    if (drawn != DrawnChart::Pie && !chart->series().isEmpty()) {
        auto* categories = new QBarCategoryAxis;
        categories->append(m_data.categories);
        chart->addAxis(categories, Qt::AlignBottom);
        auto* values = new QValueAxis;
        chart->addAxis(values, Qt::AlignLeft);
        for (QAbstractSeries* series : chart->series()) {
            series->attachAxis(categories);
            series->attachAxis(values);
        }
        // The value range from the data itself (bars start at 0), so an
        // empty or flat chart still has a range to draw.
        double low = 0.0;
        double high = 0.0;
        bool first = drawn != DrawnChart::Bar;
        for (const ChartSeriesData& series : m_data.series) {
            for (const std::optional<double>& value : series.values) {
                if (!value)
                    continue;
                low = first ? *value : std::min(low, *value);
                high = first ? *value : std::max(high, *value);
                first = false;
            }
        }
        if (high <= low)
            high = low + 1.0;
        values->setRange(low, high);
        values->applyNiceNumbers();
    }

    QChart* old = m_view->chart();
    m_view->setChart(chart);
    delete old;
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
    const QColor current = m_look.seriesColours.value(series, Qt::blue);
    const std::optional<QColor> chosen = ui::prompt().chooseColour(current, QString());
    if (!chosen || !chosen->isValid())
        return;
    m_look.seriesColours.insert(series, *chosen);
    redraw();
}

QImage ChartWindow::picture() const
{
    return m_view->grab().toImage();
}

void ChartWindow::saveAs()
{
    ui::FileRequest request;
    request.caption = QStringLiteral("Save As");
    request.directory = m_dataFolder;
    request.filter = QStringLiteral("Pictures (*.bmp)");
    QString path = ui::prompt().saveFile(request);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".bmp");
    if (!picture().save(path, "BMP"))
        ui::prompt().show(ui::Message::fromStyle(QStringLiteral("The picture could not be saved to %1.").arg(path), 0));
}

void ChartWindow::preview()
{
    showChartPreview(m_view, this);
}

ChartWindow* showChart(shell::AppServices& services, const store::Rows& rows)
{
    if (!g_chartWindow) {
        g_chartWindow = new ChartWindow(services.dataFolder());
        g_chartWindow->setRows(rows);
        services.showChild(g_chartWindow);
        return g_chartWindow;
    }
    g_chartWindow->setRows(rows);
    if (auto* frame = qobject_cast<QMdiSubWindow*>(g_chartWindow->parentWidget())) {
        frame->showNormal();
        if (QMdiArea* area = frame->mdiArea())
            area->setActiveSubWindow(frame);
    } else {
        g_chartWindow->show();
        g_chartWindow->raise();
    }
    return g_chartWindow;
}

ChartWindow* openChartWindow()
{
    return g_chartWindow;
}

}  // namespace viewer
