// tarvenix-gen: makes market data for trying the application out and for
// measuring it. Writes combined delivery files, bhavcopies and the NNF
// security file, and/or a store with the scrip master (optionally filled with
// every table the queries read, and the options database beside it).
#include "bhavcopywriter.h"
#include "marketgenerator.h"
#include "marketstore.h"
#include "nnfwriter.h"
#include "store/database.h"
#include "store/datetext.h"
#include "store/schema.h"
#include "store/storeerror.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <exception>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "tarvenix-gen: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvenix-gen"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Makes reproducible market data: a scrip master and the daily delivery files of its scrips.\n"
        "Delivery files go to <files>/<year>/NB<dd><MMM>.csv, since their names carry no year."));
    parser.addHelpOption();
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the data (default 1)."),
                                  QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption scrips(QStringLiteral("scrips"), QStringLiteral("Number of scrips (default 100)."),
                                    QStringLiteral("n"), QStringLiteral("100"));
    const QCommandLineOption days(QStringLiteral("days"), QStringLiteral("Number of trading days (default 5)."),
                                  QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption from(QStringLiteral("from"),
                                  QStringLiteral("First day, yyyy-MM-dd; weekends are skipped (default 2024-01-01)."),
                                  QStringLiteral("day"), QStringLiteral("2024-01-01"));
    const QCommandLineOption bseShare(QStringLiteral("bse-share"),
                                      QStringLiteral("Share of scrips with a BSE code, 0 to 1 (default 0.85)."),
                                      QStringLiteral("x"), QStringLiteral("0.85"));
    const QCommandLineOption files(QStringLiteral("files"), QStringLiteral("Write the delivery files into <folder>."),
                                   QStringLiteral("folder"));
    const QCommandLineOption unixLines(QStringLiteral("lf"), QStringLiteral("End file lines with LF, not CR LF."));
    const QCommandLineOption storePath(QStringLiteral("store"),
                                       QStringLiteral("Write the scrip master into the store <file> (made if missing)."),
                                       QStringLiteral("file"));
    const QCommandLineOption fill(
        QStringLiteral("fill"),
        QStringLiteral("With --store: also fill it with every day directly (mto, the bhavcopy table with its moving "
                       "averages, the groups, the NNF securities, the price tables) and write the options database "
                       "option.db beside it."));
    const QCommandLineOption bhavcopies(QStringLiteral("bhavcopies"),
                                        QStringLiteral("Write the bhavcopy of every day into <folder>."),
                                        QStringLiteral("folder"));
    const QCommandLineOption nnf(QStringLiteral("nnf"), QStringLiteral("Write the NNF security file of the scrips as <file>."),
                                 QStringLiteral("file"));
    parser.addOptions({seed, scrips, days, from, bseShare, files, bhavcopies, nnf, unixLines, storePath, fill});
    parser.process(app);

    bool ok = true;
    marketgen::GeneratorOptions options;
    options.seed = parser.value(seed).toULongLong(&ok);
    if (!ok)
        return fail(QStringLiteral("--seed must be a whole number"));
    options.scripCount = parser.value(scrips).toInt(&ok);
    if (!ok || options.scripCount < 1)
        return fail(QStringLiteral("--scrips must be a whole number above 0"));
    const int dayCount = parser.value(days).toInt(&ok);
    if (!ok || dayCount < 0)
        return fail(QStringLiteral("--days must be a whole number, 0 or more"));
    const auto first = datetext::fromStorage(parser.value(from));
    if (!first)
        return fail(QStringLiteral("--from must be a day as yyyy-MM-dd"));
    options.firstDay = *first;
    options.bseListedShare = parser.value(bseShare).toDouble(&ok);
    if (!ok || options.bseListedShare < 0 || options.bseListedShare > 1)
        return fail(QStringLiteral("--bse-share must be a number from 0 to 1"));
    options.windowsLineEnds = !parser.isSet(unixLines);
    if (!parser.isSet(files) && !parser.isSet(bhavcopies) && !parser.isSet(nnf) && !parser.isSet(storePath))
        return fail(QStringLiteral("nothing to do: give --files, --bhavcopies, --nnf and/or --store (see --help)"));
    if (parser.isSet(fill) && !parser.isSet(storePath))
        return fail(QStringLiteral("--fill needs --store"));

    try {
        if (parser.isSet(files)) {
            marketgen::MarketGenerator generator(options);
            const QDir folder(parser.value(files));
            for (int d = 0; d < dayCount; ++d) {
                const marketgen::MarketDay day = generator.nextDay();
                const QString yearFolder = folder.filePath(QString::number(day.day.year()));
                if (!QDir().mkpath(yearFolder))
                    return fail(QStringLiteral("the folder %1 could not be made").arg(yearFolder));
                generator.writeDeliveryFile(yearFolder, day);
            }
            std::printf("%d delivery files of %d scrips written under %s\n", dayCount, options.scripCount,
                        qPrintable(QDir::toNativeSeparators(folder.absolutePath())));
        }
        if (parser.isSet(bhavcopies)) {
            marketgen::MarketGenerator generator(options);
            marketgen::BhavcopyOptions bhavcopyOptions;
            bhavcopyOptions.windowsLineEnds = options.windowsLineEnds;
            marketgen::BhavcopyWriter writer(generator, bhavcopyOptions);
            const QDir folder(parser.value(bhavcopies));
            if (!QDir().mkpath(folder.path()))
                return fail(QStringLiteral("the folder %1 could not be made").arg(folder.path()));
            for (int d = 0; d < dayCount; ++d)
                writer.writeDay(folder.path(), generator.nextDay());
            std::printf("%d bhavcopies written into %s\n", dayCount,
                        qPrintable(QDir::toNativeSeparators(folder.absolutePath())));
        }
        if (parser.isSet(nnf)) {
            const marketgen::MarketGenerator generator(options);
            const QString path = marketgen::writeNnfSecurityFile(parser.value(nnf), marketgen::nnfSecurities(generator),
                                                                 options.windowsLineEnds);
            std::printf("NNF security file written as %s\n", qPrintable(QDir::toNativeSeparators(path)));
        }
        if (parser.isSet(storePath)) {
            marketgen::MarketGenerator generator(options);
            store::Database db;
            db.open(parser.value(storePath));
            store::createMainSchema(db);
            // The generated scrips are numbered from 1: they cannot join scrips already there.
            if (db.scalar(QStringLiteral("SELECT count(*) FROM ScripMaster")).toLongLong() > 0)
                return fail(QStringLiteral("%1 holds scrips already: give a new store").arg(parser.value(storePath)));
            if (!parser.isSet(fill)) {
                generator.writeScripMaster(db);
                std::printf("%d scrips written into ScripMaster of %s\n", options.scripCount,
                            qPrintable(parser.value(storePath)));
            } else {
                QElapsedTimer timer;
                timer.start();
                const QString optionsPath =
                    QFileInfo(parser.value(storePath)).dir().filePath(QStringLiteral("option.db"));
                const marketgen::StoreFill filled =
                    marketgen::fillMarketStore(generator, db, dayCount, optionsPath, [](int done, int total) {
                        if (done % 50 == 0 || done == total)
                            std::fprintf(stderr, "\r%d of %d days", done, total);
                    });
                std::fprintf(stderr, "\n");
                std::printf("%d scrips, %lld mto rows and %lld allbhavcopy rows written into %s in %.1f s;"
                            " %lld futures and options rows into %s\n",
                            options.scripCount, static_cast<long long>(filled.mtoRows), static_cast<long long>(filled.bhavcopyRows),
                            qPrintable(parser.value(storePath)), static_cast<double>(timer.elapsed()) / 1000.0,
                            static_cast<long long>(filled.optionRows),
                            qPrintable(QDir::toNativeSeparators(optionsPath)));
            }
        }
    } catch (const store::StoreError& error) {
        return fail(error.message());
    } catch (const std::exception& error) {
        return fail(QString::fromUtf8(error.what()));
    }
    return 0;
}
