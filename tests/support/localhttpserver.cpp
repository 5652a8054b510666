#include "support/localhttpserver.h"

#include "shell/downloadservice.h"
#include "shell/inifile.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <gtest/gtest.h>

LocalHttpServer::LocalHttpServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        }
    });
    EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost));
}

QString LocalHttpServer::base() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort());
}

void LocalHttpServer::configure(const QString& dataFolder) const
{
    EXPECT_TRUE(shell::writeIni(shell::iniFileName(dataFolder), QStringLiteral("Settings"),
                                shell::DownloadService::baseAddressKey(), base()));
}

void LocalHttpServer::answer(QTcpSocket* socket)
{
    QByteArray& pending = m_pending[socket];
    pending += socket->readAll();
    if (!pending.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> requestLine = pending.left(pending.indexOf('\n')).trimmed().split(' ');
    pending.clear();
    const QString path = QString::fromLatin1(requestLine.value(1));
    requested.append(path);
    if (m_stalled.contains(path)) {
        const QByteArray part = m_stalled.value(path);
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(part.size() * 100) + "\r\n\r\n" + part);
        return;
    }
    const bool found = m_files.contains(path);
    const QByteArray body = found ? m_files.value(path) : QByteArray("not found");
    socket->write((found ? QByteArray("HTTP/1.1 200 OK\r\n") : QByteArray("HTTP/1.1 404 Not Found\r\n")) +
                  "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}
