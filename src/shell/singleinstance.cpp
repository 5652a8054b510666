#include "shell/singleinstance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace shell {

namespace {
const QByteArray kActivate = QByteArrayLiteral("activate\n");
constexpr int kTimeoutMs = 1000;
}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), m_key(key) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultKey()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QStringLiteral("user");
    return QStringLiteral("tarvenix-") + user;
}

bool SingleInstance::anotherIsRunning() const
{
    QLocalSocket socket;
    socket.connectToServer(m_key);
    const bool connected = socket.waitForConnected(kTimeoutMs);
    socket.abort();
    return connected;
}

bool SingleInstance::activateRunning() const
{
    QLocalSocket socket;
    socket.connectToServer(m_key);
    if (!socket.waitForConnected(kTimeoutMs))
        return false;
    socket.write(kActivate);
    const bool written = socket.waitForBytesWritten(kTimeoutMs);
    socket.disconnectFromServer();
    return written;
}

bool SingleInstance::listen()
{
    if (m_server)
        return true;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_key)) {
        // A socket file left by a copy that crashed: nobody answers on it.
        if (anotherIsRunning() || !QLocalServer::removeServer(m_key) || !m_server->listen(m_key)) {
            delete m_server;
            m_server = nullptr;
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::readRequest);
    return true;
}

void SingleInstance::readRequest()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains(kActivate.trimmed()))
                emit activationRequested();
        });
    }
}

}  // namespace shell
