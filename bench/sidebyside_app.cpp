// The application's side of the side-by-side benchmark (bench/sidebyside.py):
// each call does one thing, once, in its own process, so that the caller can
// time it and read its memory high-water mark.
//
//   sidebyside_app prepare --cache DIR --scrips N --days D --year-days Y
//       makes (once) the cached store DIR/store-<N>x<D>.db with tarvenix-gen,
//       the year's delivery files DIR/files-<N>x<Y>/ and three files of the
//       days after the store's last day; prints their paths as JSON.
//   sidebyside_app query --store PATH --screen NAME --first DAY [--second DAY] --out FILE
//       runs one screen of the query engine and writes its rows as JSON.
//   sidebyside_app import-year --files DIR --scrips N --store PATH --out FILE
//       imports every NB file of DIR into a new store through the folder batch.
//   sidebyside_app one-day --store PATH --file FILE
//       imports one more day into an existing store (the "Process" button's path).
//   sidebyside_app range-download --base URL --first DAY --last DAY --scrips N --store PATH --save DIR
//       downloads and imports every day of the range into a new store.
//
// Every call prints one JSON object: seconds (the work alone), peak_kib
// (VmHWM of this process at the end), base_kib (VmHWM before the work).

#include "benchstore.h"
#include "import/batchimport.h"
#include "import/deliverydownload.h"
#include "import/deliveryimporter.h"
#include "shell/downloadservice.h"
#include "query/queryengine.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/schema.h"
#include "store/storeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <cstdio>
#include <exception>

namespace {

using Arguments = QMap<QString, QString>;

Arguments readArguments(const QStringList& list)
{
    Arguments arguments;
    for (qsizetype i = 2; i + 1 < list.size(); i += 2)
        arguments.insert(list[i].mid(2), list[i + 1]);
    return arguments;
}

QString need(const Arguments& arguments, const char* name)
{
    const QString value = arguments.value(QString::fromLatin1(name));
    if (value.isEmpty())
        throw std::runtime_error(std::string("missing --") + name);
    return value;
}

QDate day(const QString& text)
{
    const auto parsed = datetext::fromStorage(text);
    if (!parsed)
        throw std::runtime_error("not a day: " + text.toStdString());
    return *parsed;
}

void print(const QJsonObject& object)
{
    std::printf("%s\n", QJsonDocument(object).toJson(QJsonDocument::Compact).constData());
}

QJsonValue jsonValue(const QVariant& value)
{
    if (value.isNull())
        return QJsonValue::Null;
    switch (value.typeId()) {
    case QMetaType::QDate:
        return datetext::toStorage(value.toDate());
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::Int:
    case QMetaType::LongLong:
        return static_cast<double>(value.toLongLong());
    default:
        return value.toString();
    }
}

// The inputs of one screen of the table, as the query screen would hand them over.
query::RunInputs screenInputs(const QString& screen, const QDate& first, const QDate& second)
{
    query::RunInputs in;
    in.firstDate = first;
    in.secondDate = second;
    in.exchange = query::Exchange::Nse;
    in.groupCode = QStringLiteral("ALL");
    in.groupName = QStringLiteral(" All Stocks");
    if (screen == QLatin1String("adq")) {
        in.group = 1;
        in.label = QStringLiteral("Average Delivery Quantity [Between Dates]");
    } else if (screen == QLatin1String("combined")) {
        in.group = 1;
        in.label = QStringLiteral("Combined Report");
        in.exchange = query::Exchange::Combined;
    } else if (screen == QLatin1String("groupwise")) {
        in.group = 7;
        in.label = QStringLiteral("Total Delivery Value - GroupWise");
    } else if (screen == QLatin1String("rising")) {
        in.group = 3;
        in.label = QStringLiteral("Rising Delivery Quantity for N days");
        in.numberText = QStringLiteral("5");
        in.secondDate = {};
    } else if (screen == QLatin1String("topn")) {
        in.group = 4;
        in.label = QStringLiteral("Top N Delivery Quantity");
        in.numberText = QStringLiteral("10");
        in.secondDate = {};
    } else {
        throw std::runtime_error("unknown screen " + screen.toStdString());
    }
    return in;
}

int runQuery(const Arguments& arguments)
{
    store::Database db;
    db.openExisting(need(arguments, "store"));
    query::QueryEngine engine(db);
    const QString screen = need(arguments, "screen");
    const QString second = arguments.value(QStringLiteral("second"));
    const query::RunInputs inputs =
        screenInputs(screen, day(need(arguments, "first")), second.isEmpty() ? QDate() : day(second));

    const qint64 base = benchstore::peakKiB();
    QElapsedTimer timer;
    timer.start();
    const query::RunOutcome outcome = engine.run(inputs);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const qint64 peak = benchstore::peakKiB();
    if (!outcome.completed())
        throw std::runtime_error("the query did not complete: " + outcome.message.toStdString());

    QJsonArray columns;
    for (const auto& column : outcome.rows.columns)
        columns.append(column.name);
    QJsonArray rows;
    for (const auto& row : outcome.rows.rows) {
        QJsonArray values;
        for (const QVariant& value : row)
            values.append(jsonValue(value));
        rows.append(values);
    }
    QFile out(need(arguments, "out"));
    if (!out.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write " + out.fileName().toStdString());
    out.write(QJsonDocument(QJsonObject{{"columns", columns}, {"rows", rows}}).toJson(QJsonDocument::Compact));
    print({{"seconds", seconds}, {"rows", static_cast<double>(outcome.rows.size())}, {"peak_kib", double(peak)},
           {"base_kib", double(base)}});
    return 0;
}

int importYear(const Arguments& arguments)
{
    const QString path = need(arguments, "store");
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
    store::Database db;
    db.open(path);
    store::createMainSchema(db);
    marketgen::MarketGenerator(benchstore::generatorOptions(need(arguments, "scrips").toInt())).writeScripMaster(db);

    const QString folder = need(arguments, "files");
    const QStringList names = import::batchFileNames(folder);
    const qint64 base = benchstore::peakKiB();
    QElapsedTimer timer;
    timer.start();
    const auto outcomes = import::importBatch(db, folder, names);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    qint64 refused = 0;
    for (const auto& file : outcomes)
        refused += file.outcome.imported() ? 0 : 1;
    const qint64 rows = db.scalar(QStringLiteral("SELECT count(*) FROM mto")).toLongLong();
    print({{"seconds", seconds}, {"rows", double(rows)}, {"files", double(names.size())}, {"refused", double(refused)},
           {"peak_kib", double(benchstore::peakKiB())}, {"base_kib", double(base)}});
    return refused == 0 ? 0 : 1;
}

// The "Data Updation" screen's range download, from `base` (a web server
// holding updates/NB<dd><MMM>.csv) into a new store.
int rangeDownload(const Arguments& arguments)
{
    const QString path = need(arguments, "store");
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
    store::Database db;
    db.open(path);
    store::createMainSchema(db);
    marketgen::MarketGenerator(benchstore::generatorOptions(need(arguments, "scrips").toInt())).writeScripMaster(db);
    const QString folder = need(arguments, "save");
    QDir().mkpath(folder);

    shell::DownloadService service;
    import::DeliveryDownload download(service, need(arguments, "base"), folder, [&db](const QString& file) {
        return import::DeliveryImporter(db).importFile(file);
    });
    download.gatherImportsIn(db);
    qint64 imported = 0, logLines = 0;
    const qint64 base = benchstore::peakKiB();
    QElapsedTimer timer;
    timer.start();
    download.fetchRange(day(need(arguments, "first")), day(need(arguments, "last")),
                        [&](const import::DeliveryDayOutcome& outcome) {
                            imported += outcome.imported() ? 1 : 0;
                            logLines += import::downloadmessages::logLine(outcome).isEmpty() ? 0 : 1;
                        });
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const qint64 rows = db.scalar(QStringLiteral("SELECT count(*) FROM mto")).toLongLong();
    print({{"seconds", seconds}, {"rows", double(rows)}, {"days_imported", double(imported)},
           {"days_logged", double(logLines)}, {"peak_kib", double(benchstore::peakKiB())}, {"base_kib", double(base)}});
    return 0;
}

int oneDay(const Arguments& arguments)
{
    store::Database db;
    db.openExisting(need(arguments, "store"));
    const qint64 base = benchstore::peakKiB();
    QElapsedTimer timer;
    timer.start();
    const import::DeliveryImportOutcome outcome = import::DeliveryImporter(db).importFile(need(arguments, "file"));
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (!outcome.imported())
        throw std::runtime_error("refused: " + outcome.message.toStdString());
    const qint64 logBytes = QFileInfo(db.path() + QStringLiteral("-wal")).size();
    timer.restart();
    db.close();
    const double closing = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    print({{"seconds", seconds}, {"close_seconds", closing}, {"rows", double(outcome.rowsImported)},
           {"log_bytes", double(logBytes)},
           {"peak_kib", double(benchstore::peakKiB())}, {"base_kib", double(base)}});
    return 0;
}

int prepare(const Arguments& arguments)
{
    const QString cache = need(arguments, "cache");
    const int scrips = need(arguments, "scrips").toInt();
    const int days = need(arguments, "days").toInt();
    const int yearDays = need(arguments, "year-days").toInt();
    const QString generator = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../tarvenix-gen"));
    const QString store = benchstore::ensureStore(cache, generator, scrips, days);
    const QString year = benchstore::ensureDeliveryFiles(cache, generator, scrips, yearDays, {});
    store::Database db;
    db.openExisting(store);
    const QDate last = db.scalar(QStringLiteral("SELECT max(TransDate) FROM mto")).toDate();
    db.close();
    const QString after = benchstore::ensureDeliveryFiles(cache, generator, scrips, 3, last.addDays(1));
    print({{"store", store}, {"year_files", year}, {"next_day_files", after}, {"last_day", datetext::toStorage(last)}});
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList list = app.arguments();
    if (list.size() < 2) {
        std::fprintf(stderr, "usage: sidebyside_app prepare|query|import-year|one-day|range-download --name value ...\n");
        return 2;
    }
    try {
        const Arguments arguments = readArguments(list);
        const QString command = list[1];
        if (command == QLatin1String("prepare"))
            return prepare(arguments);
        if (command == QLatin1String("query"))
            return runQuery(arguments);
        if (command == QLatin1String("import-year"))
            return importYear(arguments);
        if (command == QLatin1String("one-day"))
            return oneDay(arguments);
        if (command == QLatin1String("range-download"))
            return rangeDownload(arguments);
        std::fprintf(stderr, "unknown command %s\n", qPrintable(command));
        return 2;
    } catch (const store::StoreError& error) {
        std::fprintf(stderr, "sidebyside_app: %s\n", qPrintable(error.message()));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sidebyside_app: %s\n", error.what());
    }
    return 1;
}
