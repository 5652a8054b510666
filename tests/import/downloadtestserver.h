#pragma once

#include "shell/downloadservice.h"
#include "shell/inifile.h"

#include <QHash>
#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

// A web server on 127.0.0.1 for the download tests: serves the files it was
// given by path ("/updates/NB02Jan.csv") and answers 404 for any other path.
// It records the paths asked for, in order.
class DownloadTestServer : public QObject {
public:
    DownloadTestServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            }
        });
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost));
    }

    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }
    void serve(const QString& path, const QByteArray& body) { m_files.insert(path, body); }
    void remove(const QString& path) { m_files.remove(path); }

    // Makes the application's settings file in `dataFolder` point at this server.
    void configure(const QString& dataFolder) const
    {
        ASSERT_TRUE(shell::writeIni(shell::iniFileName(dataFolder), QStringLiteral("Settings"),
                                    shell::DownloadService::baseAddressKey(), base()));
    }

    QStringList requested;

private:
    void answer(QTcpSocket* socket)
    {
        QByteArray& pending = m_pending[socket];
        pending += socket->readAll();
        if (!pending.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> requestLine = pending.left(pending.indexOf('\n')).trimmed().split(' ');
        pending.clear();
        const QString path = QString::fromLatin1(requestLine.value(1));
        requested.append(path);
        const bool found = m_files.contains(path);
        const QByteArray body = found ? m_files.value(path) : QByteArray("not found");
        socket->write((found ? QByteArray("HTTP/1.1 200 OK\r\n") : QByteArray("HTTP/1.1 404 Not Found\r\n")) +
                      "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QString, QByteArray> m_files;
    QHash<QTcpSocket*, QByteArray> m_pending;
};
