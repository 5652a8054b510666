// The master files from the server: only inserts of the expected shape are
// accepted, a file lands whole in one transaction or not at all, and a failed
// download never lets an earlier copy be used.
#include "support/localhttpserver.h"
#include "import/masterrefresh.h"
#include "import/sqlinsertparser.h"
#include "marketgenerator.h"
#include "masterfiles.h"
#include "shell/downloadservice.h"
#include "support/teststore.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace import;

namespace {

using Status = MasterRefreshOutcome::Status;

// ScripMaster and LinkDetails as the tests compare them.
QList<QVariantList> masterRows(store::Database& db)
{
    QList<QVariantList> rows =
        db.query(QStringLiteral("SELECT srno, company, nsescrip, bsescrip FROM ScripMaster ORDER BY srno")).rows;
    rows += db.query(QStringLiteral("SELECT GrpCode, ScrCode FROM LinkDetails ORDER BY GrpCode, ScrCode")).rows;
    return rows;
}

qint64 count(store::Database& db, const QString& sql)
{
    return db.scalar(sql).toLongLong();
}

class MasterRefreshFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        marketgen::GeneratorOptions options;
        options.seed = 5;
        options.scripCount = 12;
        generator = std::make_unique<marketgen::MarketGenerator>(options);
        generator->writeScripMaster(store.db());
        store.db().exec(QStringLiteral("INSERT INTO LinkDetails VALUES ('Derivative', 3), ('NIFTY', 4)"));
        before = masterRows(store.db());
    }

    QString write(const QString& name, const QByteArray& content)
    {
        const QString path = QDir(store.folder()).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    TestStore store;
    std::unique_ptr<marketgen::MarketGenerator> generator;
    QList<QVariantList> before;
};

}  // namespace

TEST(MasterFileLine, AcceptsTheInsertShapesAndBindsTheirValues)
{
    const auto shape = masterFileShape(MasterFile::ScripMaster);
    const auto plain = sqlinsert::parseInsert(QStringLiteral("insert into scripmaster values(7,'Dr. Reddy''s Lab','DRREDDY',500124)"), shape);
    ASSERT_TRUE(plain);
    EXPECT_EQ(*plain, (QVariantList{qint64(7), QStringLiteral("Dr. Reddy's Lab"), QStringLiteral("DRREDDY"),
                                    QStringLiteral("500124")}));

    QString reason;
    const auto named = sqlinsert::parseInsert(
        QStringLiteral("  INSERT INTO ScripMaster ( nsescrip , srno )\tVALUES ( 'ABB' , 9 ) ; "), shape, &reason);
    ASSERT_TRUE(named) << reason.toStdString();
    EXPECT_EQ(named->at(0).toLongLong(), 9);
    EXPECT_TRUE(named->at(1).isNull());
    EXPECT_EQ(named->at(2).toString(), QStringLiteral("ABB"));

    const auto link = sqlinsert::parseInsert(QStringLiteral("insert into LinkDetails (ScrCode, GrpCode) values (12, 'Derivative')"),
                                             masterFileShape(MasterFile::DerivativeGroup));
    ASSERT_TRUE(link);
    EXPECT_EQ(*link, (QVariantList{QStringLiteral("Derivative"), qint64(12)}));
}

TEST(MasterFileLine, RefusesEveryOtherShapeWithAReason)
{
    const auto shape = masterFileShape(MasterFile::ScripMaster);
    const QStringList refused{
        QStringLiteral("delete from scripmaster"),
        QStringLiteral("insert into mto values(1,2)"),
        QStringLiteral("insert into scripmaster select * from mto"),
        QStringLiteral("insert into scripmaster values(1,'A','B','C'"),
        QStringLiteral("insert into scripmaster values(1,'A','B')"),
        QStringLiteral("insert into scripmaster (company) values('A')"),          // no scrip number
        QStringLiteral("insert into scripmaster (srno, srno) values(1, 2)"),
        QStringLiteral("insert into scripmaster values('1','A','B','C')"),        // number as text
        QStringLiteral("insert into scripmaster values(1.5,'A','B','C')"),
        QStringLiteral("insert into scripmaster values(NULL,'A','B','C')"),
        QStringLiteral("insert into scripmaster values(1,'A','B','C') -- note"),
        QStringLiteral("insert into scripmaster values(1,A,'B','C')"),
        QStringLiteral("insert into scripmaster values(1,'unclosed,'B','C')"),
        QStringLiteral("insert into scripmaster values(1,'A','B',random())"),
    };
    for (const QString& line : refused) {
        QString reason;
        EXPECT_FALSE(sqlinsert::parseInsert(line, shape, &reason)) << line.toStdString();
        EXPECT_FALSE(reason.isEmpty()) << line.toStdString();
    }
}

TEST_F(MasterRefreshFile, ScripMasterFileReplacesTheScripsAndFillsGroupAll)
{
    QList<marketgen::Scrip> scrips = generator->scrips().mid(0, 5);
    scrips[1].company = QStringLiteral("Reddy's Labs");
    const QString path = write(QStringLiteral("newscript.txt"), "\r\n" + marketgen::scripMasterFile(scrips) + "\r\n");

    const MasterRefreshOutcome outcome = refreshFromFile(store.db(), MasterFile::ScripMaster, path);
    ASSERT_TRUE(outcome.updated()) << outcome.message.toStdString();
    EXPECT_EQ(outcome.rows, 5);
    EXPECT_EQ(count(store.db(), QStringLiteral("SELECT count(*) FROM ScripMaster")), 5);
    EXPECT_EQ(store.db().scalar(QStringLiteral("SELECT company FROM ScripMaster WHERE srno = ?"), {scrips[1].srno}).toString(),
              QStringLiteral("Reddy's Labs"));
    // "ALL" holds exactly the numbers 1 to 8000; other groups keep their members.
    EXPECT_EQ(count(store.db(), QStringLiteral("SELECT count(*) FROM LinkDetails WHERE GrpCode = 'ALL'")), 8000);
    EXPECT_EQ(count(store.db(), QStringLiteral("SELECT count(DISTINCT ScrCode) FROM LinkDetails WHERE GrpCode = 'ALL' "
                                               "AND ScrCode BETWEEN 1 AND 8000")),
              8000);
    EXPECT_EQ(count(store.db(), QStringLiteral("SELECT count(*) FROM LinkDetails WHERE GrpCode <> 'ALL'")), 2);
}

TEST_F(MasterRefreshFile, DerivativeFileReplacesOnlyThatGroup)
{
    const QString path = write(QStringLiteral("DerivativesGroup.txt"), marketgen::derivativeGroupFile({1, 5, 8}));
    const MasterRefreshOutcome outcome = refreshFromFile(store.db(), MasterFile::DerivativeGroup, path);
    ASSERT_TRUE(outcome.updated()) << outcome.message.toStdString();
    EXPECT_EQ(store.db().query(QStringLiteral("SELECT ScrCode FROM LinkDetails WHERE GrpCode = 'Derivative' ORDER BY ScrCode")).rows,
              (QList<QVariantList>{{qint64(1)}, {qint64(5)}, {qint64(8)}}));
    EXPECT_EQ(count(store.db(), QStringLiteral("SELECT count(*) FROM LinkDetails WHERE GrpCode = 'NIFTY'")), 1);
    EXPECT_EQ(count(store.db(), QStringLiteral("SELECT count(*) FROM ScripMaster")), 12);
}

TEST_F(MasterRefreshFile, HostileLinesRefuseTheWholeFileAndNameTheLine)
{
    const QByteArray good = marketgen::scripMasterFile(generator->scrips().mid(0, 3));
    const QList<QByteArray> hostile{
        "DROP TABLE mto",
        "ATTACH DATABASE '/tmp/other.db' AS other",
        "insert into scripmaster values(90,'A','B','C'); insert into scripmaster values(91,'D','E','F')",
        "insert into scripmaster values(92,'x','y','z'); DROP TABLE mto; --')",
        "insert into scripmaster values(93,'O'Brien Ltd','OBR','1')",
        "insert into linkdetails values('ALL',1)",
        "update scripmaster set company = 'x'",
        "insert into scripmaster values(1,'Again','DUP','1')",  // a scrip number given twice
    };
    for (const QByteArray& line : hostile) {
        // The hostile line is line 5: after three good lines and a blank one.
        const QString path = write(QStringLiteral("newscript.txt"), good + "\r\n" + line + "\r\n" + good.left(good.indexOf('\n') + 1));
        const MasterRefreshOutcome outcome = refreshFromFile(store.db(), MasterFile::ScripMaster, path);
        EXPECT_EQ(outcome.status, Status::Refused) << line.constData();
        EXPECT_EQ(outcome.badLine, 5) << line.constData() << " / " << outcome.message.toStdString();
        EXPECT_TRUE(outcome.message.startsWith(QStringLiteral("Line 5 of "))) << outcome.message.toStdString();
        EXPECT_EQ(masterRows(store.db()), before) << line.constData();
        EXPECT_TRUE(store.db().tableExists(QStringLiteral("mto")));
    }

    const QString otherGroup =
        write(QStringLiteral("DerivativesGroup.txt"), "insert into linkdetails values('Derivative',2)\r\n"
                                                      "insert into linkdetails values('NIFTY',7)\r\n");
    const MasterRefreshOutcome derivative = refreshFromFile(store.db(), MasterFile::DerivativeGroup, otherGroup);
    EXPECT_EQ(derivative.status, Status::Refused);
    EXPECT_EQ(derivative.badLine, 2);
    EXPECT_EQ(masterRows(store.db()), before);
}

TEST_F(MasterRefreshFile, EmptyOrMissingFileChangesNothing)
{
    for (const QString& path : {write(QStringLiteral("newscript.txt"), "\r\n  \r\n"),
                                QDir(store.folder()).filePath(QStringLiteral("absent.txt"))}) {
        const MasterRefreshOutcome outcome = refreshFromFile(store.db(), MasterFile::ScripMaster, path);
        EXPECT_EQ(outcome.status, Status::Refused);
        EXPECT_EQ(outcome.badLine, 0);
        EXPECT_EQ(masterRows(store.db()), before);
    }
}

TEST_F(MasterRefreshFile, FailedDownloadNeverUsesTheEarlierCopy)
{
    LocalHttpServer server;
    shell::DownloadService service;
    MasterRefresh refresh(store.db(), service, server.base(), store.folder());
    QStringList failures;
    refresh.setDownloadFailed([&](const QString& error) { failures.append(error); });

    // An earlier copy would empty the group if it were used.
    const QString earlier = write(QStringLiteral("DerivativesGroup.txt"), marketgen::derivativeGroupFile({11}));
    const MasterRefreshOutcome missing = refresh.run(MasterFile::DerivativeGroup);
    EXPECT_EQ(missing.status, Status::NotDownloaded);
    EXPECT_EQ(missing.message, QDir::toNativeSeparators(earlier) + QStringLiteral(" Does Not Exists"));
    EXPECT_EQ(failures.size(), 1);
    EXPECT_FALSE(QFile::exists(earlier));
    EXPECT_EQ(masterRows(store.db()), before);

    server.serve(QStringLiteral("/utilities/DerivativesGroup.txt"), marketgen::derivativeGroupFile({2, 4}));
    const MasterRefreshOutcome served = refresh.run(MasterFile::DerivativeGroup);
    ASSERT_TRUE(served.updated()) << served.message.toStdString();
    EXPECT_EQ(count(store.db(), QStringLiteral("SELECT count(*) FROM LinkDetails WHERE GrpCode = 'Derivative'")), 2);
    EXPECT_EQ(server.requested.last(), QStringLiteral("/utilities/DerivativesGroup.txt"));
}
