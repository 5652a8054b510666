#include "reportfixtures.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <functional>

namespace reportfixtures {

namespace {

store::Rows makeRows(const QList<store::Column>& columns, int rowCount,
                     const std::function<QVariantList(int)>& row)
{
    store::Rows rows;
    rows.columns = columns;
    for (int i = 0; i < rowCount; ++i)
        rows.rows.append(row(i));
    return rows;
}

std::optional<QString> runPdfToText(const QString& path)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (program.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(program, {QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                            QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString collapse(QString text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.replace(blanks, QStringLiteral(" ")).trimmed();
}

}  // namespace

reports::ReportFacts sampleFacts(const QString& label, reports::QueryGroup group, reports::Exchange exchange)
{
    reports::ReportFacts facts;
    facts.queryLabel = label;
    facts.queryGroup = group;
    facts.exchange = exchange;
    facts.groupName = QStringLiteral("ALL       ");
    facts.firstDate = QDate(2026, 12, 5);
    facts.secondDate = QDate(2026, 11, 20);
    facts.firstParameter = {QStringLiteral("No Of Days"), QStringLiteral("3")};
    facts.secondParameter = {QStringLiteral("Falling For"), QStringLiteral("2")};
    return facts;
}

QString companyName(int index)
{
    return QStringLiteral("Company %1").arg(index, 3, 10, QLatin1Char('0'));
}

store::Rows wideResult(int rowCount)
{
    QList<store::Column> columns{{QStringLiteral("Stock"), ColumnKind::Text},
                                 {QStringLiteral("TradingDate"), ColumnKind::Date}};
    for (int i = 0; i < 5; ++i)
        columns.append({QStringLiteral("Qty%1").arg(i + 1), ColumnKind::Integer});
    for (int i = 0; i < 5; ++i)
        columns.append({QStringLiteral("Rate%1").arg(i + 1), ColumnKind::Real});
    return makeRows(columns, rowCount, [](int i) {
        QVariantList row{companyName(i), QDate(2026, 12, 5).addDays(-i)};
        for (int k = 0; k < 5; ++k)
            row.append(qlonglong(1234567) * (k + 1) + i);
        for (int k = 0; k < 5; ++k)
            row.append(100.25 * (k + 1) + i);
        return row;
    });
}

store::Rows resultFor(reports::LayoutId layout)
{
    using reports::LayoutId;
    switch (layout) {
    case LayoutId::DrTovilI: {
        const QStringList names{QStringLiteral("Company"), QStringLiteral("Cl Price"), QStringLiteral("%C"),
                                QStringLiteral("Cash Vol"), QStringLiteral("%C") + kFiller,
                                QStringLiteral("Del Vol"), QStringLiteral("%C") + kFiller + kFiller,
                                QStringLiteral("Del %"), QStringLiteral("%C") + kFiller + kFiller + kFiller,
                                QStringLiteral("Del Value"), QStringLiteral("%C") + QString(4, QChar(0x00A0))};
        QList<store::Column> columns;
        for (const QString& name : names)
            columns.append({name, name == QLatin1String("Company") ? ColumnKind::Text : ColumnKind::Real});
        return makeRows(columns, 5, [](int i) {
            return QVariantList{companyName(i), 250.5 + i, 2.0, 1500000.0 * (i + 1), -3.0,
                                600000.0 * (i + 1), 4.0, 40.0, 1.0, 150.38 * (i + 1), 5.0};
        });
    }
    case LayoutId::DrBelmora:
        return makeRows({{QStringLiteral("SrNo"), ColumnKind::Integer},
                         {QStringLiteral("NameOfSecurity"), ColumnKind::Text},
                         {QStringLiteral("Volume"), ColumnKind::Integer},
                         {QStringLiteral("DeliveryQty"), ColumnKind::Integer},
                         {QStringLiteral("Per%"), ColumnKind::Real},
                         {QStringLiteral("TodaysClosing"), ColumnKind::Real},
                         {QStringLiteral("PrvClosing"), ColumnKind::Real},
                         {QStringLiteral("NetChangeInRsTerms"), ColumnKind::Real}},
                        5, [](int i) {
                            return QVariantList{i + 1, companyName(i), 900000 - i, 450000 - i, 50.0 - i,
                                                310.0 + i, 300.0, 10.0 + i};
                        });
    case LayoutId::DrBelm:
        return makeRows({{QStringLiteral("Scrip"), ColumnKind::Text},
                         {QStringLiteral("TodayDely"), ColumnKind::Integer},
                         {QStringLiteral("PrevDely"), ColumnKind::Integer},
                         {QStringLiteral("TodayPerc"), ColumnKind::Real},
                         {QStringLiteral("PrevPerc"), ColumnKind::Real},
                         {QStringLiteral("TodayRate"), ColumnKind::Real},
                         {QStringLiteral("PrevRate"), ColumnKind::Real},
                         {QStringLiteral("TodayTrdQty"), ColumnKind::Integer},
                         {QStringLiteral("PrevTrdQty"), ColumnKind::Integer}},
                        5, [](int i) {
                            return QVariantList{companyName(i), 50000 + i, 40000 + i, 45.5, 40.25, 120.0 + i,
                                                118.0, 110000 + i, 100000 + i};
                        });
    case LayoutId::DrMarket:
        return makeRows({{QStringLiteral("Condition"), ColumnKind::Text},
                         {QStringLiteral("Count") + kFiller, ColumnKind::Integer},
                         {kFiller, ColumnKind::Text}},
                        5, [](int i) {
                            return QVariantList{
                                QStringLiteral("No. of Stocks where the price has gone up and the delivery > avg "
                                               "delivery ( 10 days) by band %1")
                                    .arg(i),
                                12 + i, QStringLiteral(" ")};
                        });
    default:
        return wideResult(5);
    }
}

std::optional<QString> pdfText(const QString& path, int* pageCount)
{
    const std::optional<QString> text = runPdfToText(path);
    if (!text)
        return std::nullopt;
    if (pageCount)
        *pageCount = int(text->count(QLatin1Char('\f')));
    return collapse(*text);
}

QStringList pdfPages(const QString& path)
{
    const std::optional<QString> text = runPdfToText(path);
    if (!text)
        return {};
    QStringList pages = text->split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    for (QString& page : pages)
        page = collapse(page);
    return pages;
}

}  // namespace reportfixtures
