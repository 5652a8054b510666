// Times the chart on generated rows of 10 and 300 categories with 1 and 5
// series: one frame of a turning 3D chart (laid out and painted, as each
// rotation tick does), a 2D chart drawn to a picture, and the chart's page
// printed to a PDF file.
#include "viewer/chart3d.h"
#include "viewer/chartpage.h"
#include "viewer/chartrender.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

constexpr int kRepeats = 5;
const QSize kWindow(760, 420);

viewer::ChartPicture makeChart(int categories, int series, viewer::ChartType type)
{
    QRandomGenerator random(7);
    viewer::ChartPicture chart;
    chart.look.type = type;
    for (int i = 0; i < categories; ++i)
        chart.data.categories.append(QStringLiteral("Scrip %1 Industries Ltd").arg(i));
    for (int s = 0; s < series; ++s) {
        viewer::ChartSeriesData values{QStringLiteral("Series %1").arg(s), {}};
        for (int i = 0; i < categories; ++i)
            values.values.append(double(random.bounded(20000000)));
        chart.data.series.append(values);
    }
    return chart;
}

double best(const std::function<void()>& work)
{
    double fastest = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e6);
    }
    return fastest;
}

void report(const QString& what, double ms, double limit)
{
    std::printf("%-52s %8.1f ms  (limit %.0f ms)%s\n", qPrintable(what), ms, limit, ms <= limit ? "" : "  OVER");
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QImage frame(kWindow, QImage::Format_RGB32);
    QTemporaryDir folder;
    for (int categories : {10, 300}) {
        for (int series : {1, 5}) {
            const QString size = QStringLiteral("%1 x %2").arg(categories).arg(series);
            for (auto [type, name] : {std::pair{viewer::ChartType::Bar3D, "3D bar"}, std::pair{viewer::ChartType::Line3D, "3D line"},
                                      std::pair{viewer::ChartType::Step3D, "3D step"}}) {
                viewer::ChartPicture chart = makeChart(categories, series, type);
                const double ms = best([&] {
                    chart.view = viewer::turnedBy(chart.view, 1);
                    QPainter painter(&frame);
                    viewer::Chart3DPainter(chart.data, chart.look, chart.view, QRectF(QPointF(0, 0), QSizeF(kWindow)))
                        .paint(painter);
                });
                report(QStringLiteral("%1 rotation frame, %2").arg(QLatin1String(name), size), ms, 16);
            }
            const viewer::ChartPicture bars = makeChart(categories, series, viewer::ChartType::Bar2D);
            report(QStringLiteral("2D bar picture, %1").arg(size), best([&] { viewer::chartImage(bars, kWindow); }), 200);
            const viewer::ChartPicture turning = makeChart(categories, series, viewer::ChartType::Bar3D);
            const double print = best([&] {
                viewer::ChartPage page(kWindow * 15);
                QPrinter printer(QPrinter::HighResolution);
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(folder.filePath(QStringLiteral("chart.pdf")));
                viewer::prepareChartPrinter(printer, page);
                viewer::printChartPage(printer, page, turning);
            });
            report(QStringLiteral("3D bar page to PDF, %1").arg(size), print, 1000);
        }
    }
    return 0;
}
