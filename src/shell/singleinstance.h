#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace shell {

// Keeps one running copy of the application per user. The running copy
// listens on a local socket; a later copy finds it there, asks it to come
// forward, and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& key = defaultKey(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name for the current user.
    static QString defaultKey();

    // True when another copy is listening already.
    bool anotherIsRunning() const;
    // Asks the running copy to come forward and refresh its active screen.
    // Returns false when it could not be reached.
    bool activateRunning() const;
    // Makes this copy the running one. Returns false when the socket could
    // not be taken.
    bool listen();

signals:
    // Another copy asked this one to come forward.
    void activationRequested();

private:
    void readRequest();

    QString m_key;
    QLocalServer* m_server = nullptr;
};

}  // namespace shell
