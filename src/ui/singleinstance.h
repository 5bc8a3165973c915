// One running program per user and desktop session: the first start listens on a local
// socket in the user's runtime folder, and every later start hands its files over to it
// and ends without touching the settings.
#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

/// What one start says to the running program: the line "korvel-open 1", then one line per
/// file with the bytes of its absolute path percent-encoded, then an empty line. The
/// program answers "ok" once it has taken the files. A connection may carry several
/// messages, one after the other.
namespace HandOver {
inline constexpr char Header[] = "korvel-open 1";
inline constexpr int MaxFiles = 100;            ///< files in one message
inline constexpr qsizetype MaxPathBytes = 4096; ///< a path's bytes; no longer one opens
inline constexpr qsizetype MaxMessageBytes =
    qsizetype(sizeof Header) + MaxFiles * (3 * MaxPathBytes + 1) + 1;

/// The message for the first MaxFiles of `paths`, leaving out any longer than MaxPathBytes.
QByteArray message(const QStringList &paths);

enum class Reading {
    Incomplete, ///< no message yet: more bytes may make one
    Refused,    ///< the bytes break the rules: the sender is no program of ours
    Complete,   ///< a whole message, of `length` bytes
};
/// Reads the first message in `bytes`. A complete one gives its paths and its length.
Reading read(const QByteArray &bytes, QStringList &paths, qsizetype &length);
} // namespace HandOver

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Start {
        Running,    ///< this process is the session's program now and takes hand-overs
        HandedOver, ///< the running program took the files: this process is done
        Alone,      ///< no hand-over is possible: this process runs on its own
        Failed,     ///< a running program was found but did not take the files
    };

    /// Works with the socket at `socketPath`; an empty path makes every start Alone.
    explicit SingleInstance(const QString &socketPath, QObject *parent = nullptr);

    /// The socket of the user's desktop session, named after the program and the display
    /// in the user's runtime folder (which only the user may enter); empty when there is
    /// no such folder.
    static QString sessionSocketPath();

    /// Hands `paths` (absolute) over to the program running in the session, or becomes
    /// that program when none is running.
    Start start(const QStringList &paths);
    /// Takes no further files: the running program is ending, and a start from now on
    /// becomes the next one.
    void stop();

signals:
    /// Another start handed over `paths`, perhaps none, and asks the program to come
    /// forward.
    void filesHandedOver(const QStringList &paths);

private:
    bool send(QLocalSocket &socket, const QStringList &paths);
    void accept();
    void receive(QLocalSocket &socket);

    QString m_path;
    QLocalServer *m_server;
};
