#include "import/bhavcopyfixture.h"
#include "import/nnfimporter.h"
#include "marketgenerator.h"
#include "nnfwriter.h"
#include "support/teststore.h"

#include <gtest/gtest.h>

using namespace import;
using Status = NnfImportOutcome::Status;

namespace {

QStringList nnfTable(store::Database& db)
{
    QStringList rows;
    for (const auto& row : db.query("SELECT srno, symbol, segment FROM nnf_security ORDER BY srno").rows)
        rows.append(QStringLiteral("%1|%2|%3").arg(row[0].toString(), row[1].toString(), row[2].toString()));
    return rows;
}

class NnfImport : public ::testing::Test {
protected:
    NnfImportOutcome importText(const QByteArray& text)
    {
        return NnfImporter(store.db()).importFile(writeText(store.folder(), "Security.csv", text));
    }

    TestStore store;
};

}  // namespace

TEST_F(NnfImport, StoresTheEquityLinesOfAGeneratedFile)
{
    marketgen::GeneratorOptions options;
    options.scripCount = 40;
    marketgen::MarketGenerator generator(options);
    const QList<marketgen::NnfSecurity> securities = marketgen::nnfSecurities(generator);
    const QString path = marketgen::writeNnfSecurityFile(store.folder() + "/Security.csv", securities);

    QList<qint64> progress;
    NnfImporter importer(store.db());
    importer.setProgress([&](qint64 done, qint64 maximum) {
        progress.append(done);
        EXPECT_EQ(maximum, securities.size() + 2);  // header, lines, and the empty end after the last line end
    });
    const NnfImportOutcome outcome = importer.importFile(path);
    ASSERT_TRUE(outcome.imported()) << outcome.message.toStdString();
    EXPECT_EQ(outcome.linesRead, securities.size());
    EXPECT_EQ(outcome.rowsImported, 40);
    EXPECT_EQ(progress.last(), securities.size());

    QStringList expected;
    for (const auto& security : securities)
        if (security.series == "EQ")
            expected.append(QStringLiteral("%1|%2|EQ").arg(security.number).arg(security.symbol));
    EXPECT_EQ(nnfTable(store.db()), expected);
    EXPECT_GT(securities.size(), 40);  // other series were there and were passed over
}

TEST_F(NnfImport, EachImportReplacesTheWholeTable)
{
    ASSERT_TRUE(importText("Header|\n11|ACME|EQ|Acme Ltd|\n12|ACME|BE|Acme Ltd|\n13|BÖLT|EQ|\n").imported());
    EXPECT_EQ(nnfTable(store.db()), (QStringList{"11|ACME|EQ", "13|BÖLT|EQ"}));  // UTF-8 as written
    ASSERT_TRUE(importText("Header|\r\n21|ZETA|EQ|Zeta Ltd|\r\n").imported());
    EXPECT_EQ(nnfTable(store.db()), QStringList{"21|ZETA|EQ"});
}

TEST_F(NnfImport, RefusedFilesLeaveTheTableUnchanged)
{
    ASSERT_TRUE(importText("Header|\n11|ACME|EQ|\n").imported());
    const QStringList before = nnfTable(store.db());
    struct Case {
        const char* name;
        QByteArray text;
        Status status;
        qint64 line;
    };
    const QList<Case> cases{
        {"empty file", "", Status::NoLines, 0},
        {"header only", "Token|Symbol|Series|\n", Status::NoLines, 0},
        {"two fields", "Header|\n21|ZETA|EQ|\n22|YETA\n", Status::BadLine, 3},
        {"number not whole on another series", "Header|\n21|ZETA|EQ|\nx1|YETA|BE|\n", Status::BadLine, 3},
        {"number beyond 32 bits", "Header|\n3000000000|ZETA|EQ|\n", Status::BadLine, 2},
        {"comma-separated file", "SYMBOL,SERIES,\nZETA,EQ,1,\n", Status::BadLine, 2},
        {"blank line between lines", "Header|\n21|ZETA|EQ|\n\n22|YETA|EQ|\n", Status::BadLine, 3},
    };
    for (const Case& c : cases) {
        const NnfImportOutcome outcome = importText(c.text);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(outcome.badLine, c.line) << c.name;
        EXPECT_EQ(nnfTable(store.db()), before) << c.name;
    }
    NnfImporter importer(store.db());
    EXPECT_EQ(importer.importFile("").message, QStringLiteral("Please Select NNF Security File"));
    EXPECT_EQ(importer.importFile(store.folder() + "/none.csv").message, QStringLiteral("File not found"));
    EXPECT_EQ(nnfTable(store.db()), before);
}
