// The download service against a small HTTP server on 127.0.0.1 that the
// test starts and stops.
#include "shell/downloadservice.h"
#include "support/localhttpserver.h"

#include <QFile>
#include <QHash>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using shell::DownloadResult;
using shell::DownloadService;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DownloadTest : public ::testing::Test {
protected:
    QString target(const QString& name) const { return folder.filePath(name); }
    QTemporaryDir folder;
    DownloadService service;
};

TEST_F(DownloadTest, SavesTheFileWhereTheCallerSays)
{
    LocalHttpServer server;
    const QByteArray body = QByteArray("65,66,67\r\n").repeated(2000);
    server.serve(QStringLiteral("/updates/NB05Dec.csv"), body);
    qint64 lastReceived = 0;
    const DownloadResult result =
        service.Get_File(DownloadService::fileUrl(server.base(), QStringLiteral(" updates/NB05Dec.csv ")),
                         target(QStringLiteral("NB05Dec.csv")), [&](qint64 received, qint64) {
                             lastReceived = received;
                             return true;
                         });
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.bytes, body.size());
    EXPECT_EQ(lastReceived, body.size());
    EXPECT_EQ(contents(target(QStringLiteral("NB05Dec.csv"))), body);
    EXPECT_EQ(server.requested, QStringList{QStringLiteral("/updates/NB05Dec.csv")});
}

TEST_F(DownloadTest, AMissingFileFailsAndLeavesTheOldCopyUntouched)
{
    LocalHttpServer server;
    QFile old(target(QStringLiteral("NB06Dec.csv")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("last year's file");
    old.close();

    const DownloadResult result =
        service.Get_File(server.base() + QStringLiteral("updates/NB06Dec.csv"), target(QStringLiteral("NB06Dec.csv")));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(QStringLiteral("updates/NB06Dec.csv"))) << result.error.toStdString();
    EXPECT_EQ(contents(target(QStringLiteral("NB06Dec.csv"))), QByteArray("last year's file"));

    const DownloadResult absent =
        service.Get_File(server.base() + QStringLiteral("updates/NB07Dec.csv"), target(QStringLiteral("NB07Dec.csv")));
    EXPECT_FALSE(absent.ok);
    EXPECT_FALSE(QFile::exists(target(QStringLiteral("NB07Dec.csv"))));
}

TEST_F(DownloadTest, UnreachableServerBadAddressAndUnwritableTarget)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    const DownloadResult refused = service.Get_File(
        QStringLiteral("http://127.0.0.1:%1/utilities/newscript.txt").arg(closedPort), target(QStringLiteral("newscript.txt")));
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.error.isEmpty());
    EXPECT_FALSE(QFile::exists(target(QStringLiteral("newscript.txt"))));

    EXPECT_FALSE(service.Get_File(QStringLiteral("not a web address"), target(QStringLiteral("x.txt"))).ok);
    EXPECT_FALSE(service.Get_File(QStringLiteral("file:///etc/hostname"), target(QStringLiteral("x.txt"))).ok);

    LocalHttpServer server;
    server.serve(QStringLiteral("/a.txt"), "a");
    const DownloadResult unwritable =
        service.Get_File(server.base() + QStringLiteral("a.txt"), target(QStringLiteral("no/such/folder/a.txt")));
    EXPECT_FALSE(unwritable.ok);
    EXPECT_TRUE(server.requested.isEmpty());  // nothing is fetched that cannot be kept
}

TEST_F(DownloadTest, CancelAndTimeoutLeaveNoPartialFile)
{
    LocalHttpServer server;
    server.serveStalled(QStringLiteral("/big.csv"), QByteArray(4096, 'x'));
    const DownloadResult cancelled = service.Get_File(server.base() + QStringLiteral("big.csv"), target(QStringLiteral("big.csv")),
                                                      [](qint64 received, qint64) { return received == 0; });
    EXPECT_FALSE(cancelled.ok);
    EXPECT_TRUE(cancelled.error.contains(QStringLiteral("cancelled"))) << cancelled.error.toStdString();
    EXPECT_FALSE(QFile::exists(target(QStringLiteral("big.csv"))));

    service.setTimeout(std::chrono::milliseconds(300));
    const DownloadResult timedOut =
        service.Get_File(server.base() + QStringLiteral("big.csv"), target(QStringLiteral("big.csv")));
    EXPECT_FALSE(timedOut.ok);
    EXPECT_FALSE(QFile::exists(target(QStringLiteral("big.csv"))));
}

TEST_F(DownloadTest, AsynchronousDownloadReportsItsEnd)
{
    LocalHttpServer server;
    server.serve(QStringLiteral("/utilities/DerivativesGroup.txt"), "insert into linkdetails values('Derivative',1)\n");
    QList<DownloadResult> ends;
    QObject::connect(&service, &DownloadService::finished, [&](const DownloadResult& result) { ends.append(result); });
    ASSERT_TRUE(service.start(server.base() + QStringLiteral("utilities/DerivativesGroup.txt"),
                              target(QStringLiteral("DerivativesGroup.txt"))));
    EXPECT_TRUE(service.isRunning());
    EXPECT_FALSE(service.start(server.base(), target(QStringLiteral("other.txt"))));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ends.isEmpty(); }, 10000));
    ASSERT_EQ(ends.size(), 1);
    EXPECT_TRUE(ends[0].ok) << ends[0].error.toStdString();
    EXPECT_FALSE(service.isRunning());
    EXPECT_TRUE(QFile::exists(target(QStringLiteral("DerivativesGroup.txt"))));
}

TEST_F(DownloadTest, BaseAddressComesFromTheSettingsFile)
{
    const QString ini = target(QStringLiteral("Tarvenix.ini"));
    EXPECT_EQ(DownloadService::baseAddress(ini), DownloadService::defaultBaseAddress());
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
    file.write("[Other]\nDownloadBase=http://wrong/\n[Settings]\nPath=/data/mto.db\n downloadbase = http://127.0.0.1:8080/files \n");
    file.close();
    EXPECT_EQ(DownloadService::baseAddress(ini), QStringLiteral("http://127.0.0.1:8080/files/"));
    EXPECT_EQ(DownloadService::fileUrl(QStringLiteral("http://h/files"), QStringLiteral("/updates/NB01Jan.csv")),
              QStringLiteral("http://h/files/updates/NB01Jan.csv"));
}

}  // namespace
