// How a later start and the running program speak: what comes with a request to come
// forward, and the message a start sends over the local socket.
#pragma once

#include <QString>
#include <QStringList>

/// How a start goes.
enum class SessionStart {
    Running,    ///< this process is the session's program now and takes hand-overs
    HandedOver, ///< the running program took the files: this process is done
    Alone,      ///< no hand-over is possible: this process runs on its own
    Failed,     ///< a running program was found but did not take the files
};

/// What lets a window come forward when another program asks it to: the desktop gives it
/// to the program it starts, and a later start passes its own on.
struct Activation {
    QString token;     ///< the Wayland activation token (XDG_ACTIVATION_TOKEN)
    QString startupId; ///< the X11 startup notification id (DESKTOP_STARTUP_ID)

    /// The one this process was started with; read before Qt takes the startup id.
    static Activation fromEnvironment();
};

/// What one start says to the running program over the socket: the line "korvel-open 1",
/// then one line per file with the bytes of its absolute path percent-encoded, then an
/// empty line. The program answers "ok" once it has taken the files. A connection may
/// carry several messages, one after the other.
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
