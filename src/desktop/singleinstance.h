// One running program per user and desktop session. Where the session has a bus, the
// running program owns the program's name on it and serves the desktop's own interface for
// applications, which launchers, file managers and later starts call. Without a bus, it
// listens on a local socket in the user's runtime folder and holds a lock beside it for
// its whole life. Either way a later start hands its files over and ends without touching
// the settings.
#pragma once

#include "desktop/handover.h"

#include <QObject>

#include <memory>

class SessionBus;
class SessionSocket;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    using Start = SessionStart;

    /// Uses the session bus when one can be reached, else the socket at `socketPath`; an
    /// empty path then makes every start Alone.
    explicit SingleInstance(const QString &socketPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    /// The socket of the user's desktop session, named after the program and the display
    /// in the user's runtime folder (which only the user may enter); empty when there is
    /// no such folder. A start through XWayland and a native one find the same socket.
    static QString sessionSocketPath();

    /// Hands `paths` (absolute) over to the program running in the session, with
    /// `activation` to come forward by, or becomes that program when none is running.
    /// Waits a few seconds at most for a running program that does not answer.
    Start start(const QStringList &paths, const Activation &activation = {});
    /// Why the last start was Failed, or why hand-overs cannot reach a program that runs
    /// Alone or without a socket, in one line; empty when all is well.
    QString problem() const { return m_problem; }
    /// Takes no further files: the running program is ending, and a start from now on
    /// becomes the next one.
    void stop();

signals:
    /// Another start, the desktop or a launcher handed over `paths`, perhaps none, and asks
    /// the program to come forward.
    void handedOver(const QStringList &paths, const Activation &activation);

private:
    QString m_socketPath;
    std::unique_ptr<SessionBus> m_bus;
    std::unique_ptr<SessionSocket> m_socket;
    QString m_problem;
};
