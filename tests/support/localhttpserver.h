#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A web server on 127.0.0.1 for download tests: serves the files it was given
// by path ("/updates/NB02Jan.csv") and answers 404 for any other path. A
// "stalled" file sends its headers and a first part of its body, then keeps
// the connection open. It records the paths asked for, in order.
class LocalHttpServer : public QObject {
public:
    LocalHttpServer();

    QString base() const;
    void serve(const QString& path, const QByteArray& body) { m_files.insert(path, body); }
    void serveStalled(const QString& path, const QByteArray& firstPart) { m_stalled.insert(path, firstPart); }

    // Points the settings file of `dataFolder` at this server.
    void configure(const QString& dataFolder) const;

    QStringList requested;

private:
    void answer(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QString, QByteArray> m_files;
    QHash<QString, QByteArray> m_stalled;
    QHash<QTcpSocket*, QByteArray> m_pending;
};
