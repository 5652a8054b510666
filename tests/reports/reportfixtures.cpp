#include "reportfixtures.h"

#include "reports/reportengine.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace reportfixtures {

namespace {

using K = ColumnKind;

store::Rows makeRows(const QList<store::Column>& columns, const std::function<QVariantList(int)>& row, int rowCount = 5)
{
    store::Rows rows;
    rows.columns = columns;
    for (int i = 0; i < rowCount; ++i)
        rows.rows.append(row(i));
    return rows;
}

}  // namespace

reports::ReportFacts sampleFacts(const QString& label, reports::QueryGroup group, reports::Exchange exchange)
{
    reports::ReportFacts facts;
    facts.queryLabel = label;
    facts.queryGroup = group;
    facts.exchange = exchange;
    facts.groupName = "ALL       ";
    facts.firstDate = QDate(2026, 12, 5);
    facts.secondDate = QDate(2026, 11, 20);
    facts.firstParameter = {"No Of Days", "3"};
    facts.secondParameter = {"Falling For", "2"};
    return facts;
}

QString companyName(int index)
{
    return QStringLiteral("Company %1").arg(index, 3, 10, QLatin1Char('0'));
}

store::Rows wideResult(int rowCount)
{
    QList<store::Column> columns{{"Stock", K::Text}, {"TradingDate", K::Date}};
    for (int i = 1; i <= 5; ++i)
        columns.append({QStringLiteral("Qty%1").arg(i), K::Integer});
    for (int i = 1; i <= 5; ++i)
        columns.append({QStringLiteral("Rate%1").arg(i), K::Real});
    return makeRows(columns, [](int i) {
        QVariantList row{companyName(i), QDate(2026, 12, 5).addDays(-i)};
        for (int k = 1; k <= 5; ++k)
            row.append(qlonglong(1234567) * k + i);
        for (int k = 1; k <= 5; ++k)
            row.append(100.25 * k + i);
        return row;
    }, rowCount);
}

store::Rows resultFor(reports::LayoutId layout)
{
    using reports::LayoutId;
    switch (layout) {
    case LayoutId::DrTovilI: {
        // Each figure with its change, headed "%C" and fillers that keep the headings apart.
        QList<store::Column> columns{{"Company", K::Text}};
        QString change = "%C";
        for (const char* name : {"Cl Price", "Cash Vol", "Del Vol", "Del %", "Del Value"}) {
            columns.append({{name, K::Real}, {change, K::Real}});
            change += kFiller;
        }
        return makeRows(columns, [](int i) {
            return QVariantList{companyName(i), 250.5 + i, 2.0, 1500000.0 * (i + 1), -3.0,
                                600000.0 * (i + 1), 4.0, 40.0, 1.0, 150.38 * (i + 1), 5.0};
        });
    }
    case LayoutId::DrBelmora:
        return makeRows({{"SrNo", K::Integer}, {"NameOfSecurity", K::Text}, {"Volume", K::Integer},
                         {"DeliveryQty", K::Integer}, {"Per%", K::Real}, {"TodaysClosing", K::Real},
                         {"PrvClosing", K::Real}, {"NetChangeInRsTerms", K::Real}},
                        [](int i) {
                            return QVariantList{i + 1, companyName(i), 900000 - i, 450000 - i, 50.0 - i,
                                                310.0 + i, 300.0, 10.0 + i};
                        });
    case LayoutId::DrBelm:
        return makeRows({{"Scrip", K::Text}, {"TodayDely", K::Integer}, {"PrevDely", K::Integer},
                         {"TodayPerc", K::Real}, {"PrevPerc", K::Real}, {"TodayRate", K::Real}, {"PrevRate", K::Real},
                         {"TodayTrdQty", K::Integer}, {"PrevTrdQty", K::Integer}},
                        [](int i) {
                            return QVariantList{companyName(i), 50000 + i, 40000 + i, 45.5, 40.25, 120.0 + i,
                                                118.0, 110000 + i, 100000 + i};
                        });
    case LayoutId::DrMarket:
        return makeRows({{"Condition", K::Text}, {"Count" + kFiller, K::Integer}, {kFiller, K::Text}}, [](int i) {
            return QVariantList{QStringLiteral("No. of Stocks where the price has gone up and the delivery > avg "
                                               "delivery ( 10 days) by band %1")
                                    .arg(i),
                                12 + i, " "};
        });
    default:
        return wideResult(5);
    }
}

QStringList pdfPages(const QString& path)
{
    QProcess process;
    process.start("pdftotext", {"-raw", "-enc", "UTF-8", path, "-"});
    EXPECT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0) << "pdftotext did not read " << path;
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    static const QRegularExpression blanks("\\s+");
    for (QString& page : pages)
        page = page.replace(blanks, " ").trimmed();
    return pages;
}

QStringList printedPages(const reports::ReportDocument& document)
{
    QTemporaryDir folder;
    QString error;
    EXPECT_TRUE(reports::writeReportPdf(document, folder.filePath("report.pdf"), &error)) << error;
    return pdfPages(folder.filePath("report.pdf"));
}

}  // namespace reportfixtures
