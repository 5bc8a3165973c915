#include "ui/singleinstance.h"

#include "persistence/filename.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using namespace std::chrono_literals;

// In milliseconds. A program busy starting up (derivations to evaluate) answers late; a
// sender that never finishes its message loses its connection.
constexpr int LockWait = 10000;
constexpr int ConnectWait = 5000;
constexpr int ReplyWait = 30000;
constexpr auto ConnectionTime = 60s;
constexpr char Reply[] = "ok\n";

// The socket's file may be used when it is not there yet, or is a socket of the user's;
// anything else someone else put there, and is left alone.
bool mayUse(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT;
    return S_ISSOCK(info.st_mode) && info.st_uid == ::geteuid();
#else
    Q_UNUSED(path);
    return true;
#endif
}

// The socket only lets the user in; the peer's credentials say so once more.
bool fromThisUser(const QLocalSocket &socket)
{
#ifdef Q_OS_LINUX
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0
           && peer.uid == ::geteuid();
#else
    Q_UNUSED(socket);
    return true;
#endif
}

} // namespace

QByteArray HandOver::message(const QStringList &paths)
{
    QByteArray message = QByteArray(Header) + '\n';
    int files = 0;
    for (const QString &path : paths) {
        const QByteArray bytes = fileNameBytes(path);
        if (bytes.size() <= MaxPathBytes && files++ < MaxFiles)
            message += bytes.toPercentEncoding("/") + '\n';
    }
    return message + '\n';
}

HandOver::Reading HandOver::read(const QByteArray &bytes, QStringList &paths, qsizetype &length)
{
    // No line is empty before the one that ends the message.
    const qsizetype end = bytes.indexOf("\n\n");
    if (end < 0)
        return bytes.size() < MaxMessageBytes ? Reading::Incomplete : Reading::Refused;
    length = end + 2;
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    if (length > MaxMessageBytes || lines.size() > MaxFiles + 1 || lines.first() != Header)
        return Reading::Refused;
    QStringList received;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray path = QByteArray::fromPercentEncoding(lines[i]);
        const QString name = fileNameFromBytes(path);
        if (path.size() > MaxPathBytes || path.contains('\0') || !QDir::isAbsolutePath(name))
            return Reading::Refused;
        received.append(name);
    }
    paths = received;
    return Reading::Complete;
}

SingleInstance::SingleInstance(const QString &socketPath, QObject *parent)
    : QObject(parent)
    , m_path(socketPath)
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::accept);
}

QString SingleInstance::sessionSocketPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return {};
    // Each desktop session of the user has a display of its own.
    const QString platform = QGuiApplication::platformName();
    QString display;
    if (platform == u"wayland") {
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    } else if (platform == u"xcb") {
        // ":0.1", a screen of display :0, is still that display's session.
        display = qEnvironmentVariable("DISPLAY");
        const qsizetype colon = display.lastIndexOf(u':');
        if (const qsizetype dot = display.indexOf(u'.', colon); colon >= 0 && dot > colon)
            display.truncate(dot);
    }
    QString name = QCoreApplication::applicationName() + u'-' + platform;
    if (!display.isEmpty())
        name += u'-' + display.replace(u'/', u'_');
    return folder + u'/' + name;
}

SingleInstance::Start SingleInstance::start(const QStringList &paths)
{
    if (m_path.isEmpty())
        return Start::Alone;
    // Two starts at once take turns: the first to hold the lock listens, and the other one
    // then finds it listening. A lock not had in time is gone without.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.tryLock(LockWait);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!mayUse(m_path))
            return Start::Alone;
        QLocalSocket socket;
        socket.connectToServer(m_path);
        if (!socket.waitForConnected(ConnectWait)) {
            // Nobody listens: the socket, if any, is left from a program that crashed.
            QLocalServer::removeServer(m_path);
            return m_server->listen(m_path) ? Start::Running : Start::Alone;
        }
        lock.unlock();
        if (send(socket, paths))
            return Start::HandedOver;
        // The program was ending; perhaps this start is the next one.
        lock.tryLock(LockWait);
    }
    return Start::Failed;
}

bool SingleInstance::send(QLocalSocket &socket, const QStringList &paths)
{
    qsizetype from = 0;
    do {
        socket.write(HandOver::message(paths.mid(from, HandOver::MaxFiles)));
        QByteArray reply;
        while (reply.size() < qsizetype(sizeof Reply) - 1 && socket.waitForReadyRead(ReplyWait))
            reply += socket.read(qsizetype(sizeof Reply) - 1 - reply.size());
        if (reply != Reply)
            return false;
        from += HandOver::MaxFiles;
    } while (from < paths.size());
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::stop()
{
    m_server->close();
    for (QLocalSocket *socket : m_server->findChildren<QLocalSocket *>())
        socket->abort();
}

void SingleInstance::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!fromThisUser(*socket)) {
            socket->abort();
            continue;
        }
        QTimer::singleShot(ConnectionTime, socket, &QLocalSocket::abort);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(*socket); });
    }
}

// The bytes wait in the socket until a whole message is there; what a message names is
// read later as any file from a stranger is, by the open command's own checks.
void SingleInstance::receive(QLocalSocket &socket)
{
    for (;;) {
        QStringList paths;
        qsizetype length = 0;
        switch (HandOver::read(socket.peek(HandOver::MaxMessageBytes), paths, length)) {
        case HandOver::Reading::Incomplete:
            return;
        case HandOver::Reading::Refused:
            socket.abort();
            return;
        case HandOver::Reading::Complete:
            socket.skip(length);
            socket.write(Reply);
            emit filesHandedOver(paths);
            break;
        }
    }
}
