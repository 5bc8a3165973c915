// One running program per session where there is no session bus (a bare X session, ssh,
// Windows): a local socket in the user's runtime folder, and a lock beside it that the
// running program holds for its whole life.
#pragma once

#include "desktop/handover.h"

#include <QList>
#include <QObject>

#include <memory>

class QLocalServer;
class QLockFile;
class QLocalSocket;
class QSocketNotifier;

class SessionSocket : public QObject {
    Q_OBJECT
public:
    /// In milliseconds: how long a start tries to reach a program that holds the lock, and
    /// waits for its answer. A program busy starting up answers late; one that is stopped
    /// or hung never does.
    static constexpr int AnswerWait = 5000;
    /// Connections served at once.
    static constexpr int MaxConnections = 8;

    explicit SessionSocket(const QString &path, QObject *parent = nullptr);
    ~SessionSocket() override;

    /// Becomes the running program, or hands `paths` over to it; `problem` says why a
    /// start Failed, or why a running one cannot take hand-overs.
    SessionStart start(const QStringList &paths, QString &problem);
    /// Stops listening and lets the lock go.
    void stop();

signals:
    void handedOver(const QStringList &paths, const Activation &activation);

private:
    enum class Sent {
        Taken,
        NotReached,
        NoAnswer
    };
    Sent send(const QStringList &paths, int wait);
    bool lock(QString &problem);
    bool listen(QString &problem);
    void acceptWaiting();
    void serve(QLocalSocket *socket);
    static void drop(QLocalSocket *socket);
    void receive(QLocalSocket &socket);

    QString m_path;
    int m_lock = -1;
    int m_listener = -1;
    QSocketNotifier *m_notifier = nullptr;
    QLocalServer *m_server = nullptr; ///< where sockets are no files (Windows)
    QList<QLocalSocket *> m_open;     ///< the connections served, the oldest first
#ifndef Q_OS_UNIX
    std::unique_ptr<QLockFile> m_lockFile;
#endif
};
