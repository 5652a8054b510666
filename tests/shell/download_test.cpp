// The download service against a small HTTP server on 127.0.0.1 that the
// test starts and stops.
#include "shell/downloadservice.h"
#include "support/localhttpserver.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using shell::DownloadResult;
using shell::DownloadService;

namespace {

class DownloadTest : public ::testing::Test {
protected:
    DownloadResult get(const QString& address, const QString& name, const shell::DownloadProgress& progress = {})
    {
        return service.Get_File(address, folder.filePath(name), progress);
    }
    QByteArray contents(const QString& name) const
    {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
    QTemporaryDir folder;
    DownloadService service;
    LocalHttpServer server;
};

TEST_F(DownloadTest, SavesTheFileWhereTheCallerSays)
{
    const QByteArray body = QByteArray("65,66,67\r\n").repeated(2000);
    server.serve("/updates/NB05Dec.csv", body);
    qint64 lastReceived = 0;
    const DownloadResult result = get(DownloadService::fileUrl(server.base(), " updates/NB05Dec.csv "), "NB05Dec.csv",
                                      [&](qint64 received, qint64) { return (lastReceived = received) >= 0; });
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.bytes, body.size());
    EXPECT_EQ(lastReceived, body.size());
    EXPECT_EQ(contents("NB05Dec.csv"), body);
    EXPECT_EQ(server.requested, QStringList{"/updates/NB05Dec.csv"});
}

TEST_F(DownloadTest, FailuresLeaveNoFileAndTheOldCopyUntouched)
{
    QFile old(folder.filePath("NB06Dec.csv"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("last year's file");
    old.close();
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    server.serve("/a.txt", "a");
    const QList<QPair<QString, QString>> failing{
        {server.base() + "updates/NB07Dec.csv", "NB07Dec.csv"},
        {QStringLiteral("http://127.0.0.1:%1/utilities/newscript.txt").arg(closedPort), "newscript.txt"},
        {"not a web address", "x.txt"},
        {"file:///etc/hostname", "x.txt"},
        {server.base() + "a.txt", "no/such/folder/a.txt"}};
    for (const auto& [address, name] : failing) {
        const DownloadResult result = get(address, name);
        EXPECT_FALSE(result.ok) << address.toStdString();
        EXPECT_FALSE(result.error.isEmpty());
        EXPECT_EQ(contents(name), "<none>");
    }
    const DownloadResult missing = get(server.base() + "updates/NB06Dec.csv", "NB06Dec.csv");
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.contains("updates/NB06Dec.csv")) << missing.error.toStdString();
    EXPECT_EQ(contents("NB06Dec.csv"), "last year's file");
    // Nothing is fetched that cannot be kept.
    EXPECT_EQ(server.requested, QStringList({"/updates/NB07Dec.csv", "/updates/NB06Dec.csv"}));
}

TEST_F(DownloadTest, CancelAndTimeoutLeaveNoPartialFile)
{
    server.serveStalled("/big.csv", QByteArray(4096, 'x'));
    const DownloadResult cancelled =
        get(server.base() + "big.csv", "big.csv", [](qint64 received, qint64) { return received == 0; });
    EXPECT_FALSE(cancelled.ok);
    EXPECT_TRUE(cancelled.error.contains("cancelled")) << cancelled.error.toStdString();
    EXPECT_EQ(contents("big.csv"), "<none>");
    service.setTimeout(std::chrono::milliseconds(300));
    EXPECT_FALSE(get(server.base() + "big.csv", "big.csv").ok);
    EXPECT_EQ(contents("big.csv"), "<none>");
}

TEST_F(DownloadTest, AsynchronousDownloadReportsItsEnd)
{
    server.serve("/utilities/DerivativesGroup.txt", "insert into linkdetails values('Derivative',1)\n");
    QList<DownloadResult> ends;
    QObject::connect(&service, &DownloadService::finished, [&](const DownloadResult& result) { ends.append(result); });
    ASSERT_TRUE(service.start(server.base() + "utilities/DerivativesGroup.txt", folder.filePath("Derivatives.txt")));
    EXPECT_TRUE(service.isRunning());
    EXPECT_FALSE(service.start(server.base(), folder.filePath("other.txt")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ends.isEmpty(); }, 10000));
    ASSERT_EQ(ends.size(), 1);
    EXPECT_TRUE(ends[0].ok) << ends[0].error.toStdString();
    EXPECT_FALSE(service.isRunning());
    EXPECT_EQ(contents("Derivatives.txt"), "insert into linkdetails values('Derivative',1)\n");
}

TEST_F(DownloadTest, BaseAddressComesFromTheSettingsFile)
{
    const QString ini = folder.filePath("Tarvenix.ini");
    EXPECT_EQ(DownloadService::baseAddress(ini), DownloadService::defaultBaseAddress());
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
    file.write(
        "[Other]\nDownloadBase=http://wrong/\n[Settings]\nPath=/data/mto.db\n downloadbase = "
        "http://127.0.0.1:8080/files \n");
    file.close();
    EXPECT_EQ(DownloadService::baseAddress(ini), "http://127.0.0.1:8080/files/");
    EXPECT_EQ(DownloadService::fileUrl("http://h/files", "/updates/NB01Jan.csv"), "http://h/files/updates/NB01Jan.csv");
}

}  // namespace
