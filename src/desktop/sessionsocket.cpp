#include "desktop/sessionsocket.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#else
#include <QLockFile>
#endif

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

constexpr char Reply[] = "ok\n";
// A sender that never finishes its message loses its connection.
constexpr auto ConnectionTime = 10s;
// How long the listener rests when the process has no descriptor left for a connection.
constexpr auto RestWhenFull = 200ms;

#ifdef Q_OS_UNIX
// What is at the socket's path: nothing, a socket of the user's, or something else that
// nobody here put there and that is left alone.
enum class AtPath {
    Nothing,
    OwnSocket,
    Other
};

AtPath atPath(const QByteArray &path)
{
    struct stat info;
    if (::lstat(path.constData(), &info) != 0)
        return errno == ENOENT ? AtPath::Nothing : AtPath::Other;
    return S_ISSOCK(info.st_mode) && info.st_uid == ::geteuid() ? AtPath::OwnSocket : AtPath::Other;
}

// The socket only lets the user in; the peer's credentials say so once more.
bool fromThisUser(int descriptor)
{
#ifdef Q_OS_LINUX
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0
           && peer.uid == ::geteuid();
#else
    uid_t uid;
    gid_t gid;
    return ::getpeereid(descriptor, &uid, &gid) == 0 && uid == ::geteuid();
#endif
}
#endif

} // namespace

SessionSocket::SessionSocket(const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
{
}

SessionSocket::~SessionSocket()
{
    stop();
}

// The lock decides who runs: its holder, and only its holder, listens, and may remove a
// socket left behind by a program that ended without removing it. A program that holds
// the lock but cannot be reached is never replaced.
SessionStart SessionSocket::start(const QStringList &paths, QString &problem)
{
    const QDeadlineTimer deadline(AnswerWait);
    if (!lock(problem))
        return SessionStart::Alone;
    for (;;) {
#ifdef Q_OS_UNIX
        const bool mine = ::flock(m_lock, LOCK_EX | LOCK_NB) == 0;
#else
        const bool mine = m_lockFile->tryLock(0);
#endif
        if (mine) {
            // The only program in the session, reachable or not.
            listen(problem);
            return SessionStart::Running;
        }
        switch (send(paths, int(deadline.remainingTime()))) {
        case Sent::Taken:
            return SessionStart::HandedOver;
        case Sent::NoAnswer:
            problem =
                u"the running Korvel did not answer within %1 seconds"_s.arg(AnswerWait / 1000);
            return SessionStart::Failed;
        case Sent::NotReached:
            break;
        }
        // The holder is starting and not yet listening, or ending and about to let go.
        if (deadline.hasExpired()) {
#ifdef Q_OS_UNIX
            if (atPath(QFile::encodeName(m_path)) == AtPath::Other)
                problem =
                    m_path + u" is not Korvel's socket: the running Korvel cannot be reached"_s;
            else
#endif
                problem = u"the running Korvel cannot be reached at "_s + m_path;
            return SessionStart::Failed;
        }
        QThread::msleep(50);
    }
}

bool SessionSocket::lock(QString &problem)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(m_path + u".lock"_s);
    m_lock = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    struct stat info;
    if (m_lock >= 0 && ::fstat(m_lock, &info) == 0 && S_ISREG(info.st_mode)
        && info.st_uid == ::geteuid())
        return true;
    problem = QString::fromLocal8Bit(path)
              + u" is not Korvel's lock: another start of Korvel "
                u"would run beside this one"_s;
    if (m_lock >= 0)
        ::close(m_lock);
    m_lock = -1;
    return false;
#else
    m_lockFile = std::make_unique<QLockFile>(m_path + u".lock"_s);
    // Held for the program's whole life: never stale while its process lives.
    m_lockFile->setStaleLockTime(0);
    return true;
#endif
}

SessionSocket::Sent SessionSocket::send(const QStringList &paths, int wait)
{
#ifdef Q_OS_UNIX
    // Never to whatever else is at the path: it would learn the names of the files.
    if (atPath(QFile::encodeName(m_path)) != AtPath::OwnSocket)
        return Sent::NotReached;
#endif
    const QDeadlineTimer deadline(qMax(wait, 1));
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return Sent::NotReached;
    qsizetype from = 0;
    do {
        socket.write(HandOver::message(paths.mid(from, HandOver::MaxFiles)));
        QByteArray reply;
        while (reply.size() < qsizetype(sizeof Reply) - 1
               && socket.waitForReadyRead(int(qMax(deadline.remainingTime(), qint64(1)))))
            reply += socket.read(qsizetype(sizeof Reply) - 1 - reply.size());
        // Never sent twice: the program may take the files late, and a file opens once.
        if (reply != Reply)
            return Sent::NoAnswer;
        from += HandOver::MaxFiles;
    } while (from < paths.size());
    socket.disconnectFromServer();
    return Sent::Taken;
}

bool SessionSocket::listen(QString &problem)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(m_path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path) {
        problem = m_path + u" is too long a name for a socket: later starts cannot hand over"_s;
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    switch (atPath(path)) {
    case AtPath::Other:
        problem = m_path + u" is not Korvel's socket: later starts cannot hand over"_s;
        return false;
    case AtPath::OwnSocket:
        // Left by a program that ended without removing it: this one holds the lock.
        ::unlink(path.constData());
        break;
    case AtPath::Nothing:
        break;
    }
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const mode_t mask = ::umask(077);
    const bool bound =
        m_listener >= 0
        && ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::umask(mask);
    if (!bound || ::listen(m_listener, SOMAXCONN) != 0) {
        problem = m_path + u": "_s + QString::fromLocal8Bit(std::strerror(errno))
                  + u": later starts cannot hand over"_s;
        if (m_listener >= 0)
            ::close(m_listener);
        m_listener = -1;
        return false;
    }
    m_notifier = new QSocketNotifier(m_listener, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionSocket::acceptWaiting);
    return true;
#else
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setMaxPendingConnections(MaxConnections);
    QLocalServer::removeServer(m_path);
    if (!m_server->listen(m_path)) {
        problem = m_path + u": "_s + m_server->errorString();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SessionSocket::acceptWaiting);
    return true;
#endif
}

// A flood of connections must neither end the listening nor starve a real start: beyond
// the cap, the connection open longest goes (a start writes its message at once), and a
// process out of descriptors rests a moment and goes on listening.
void SessionSocket::acceptWaiting()
{
    for (;;) {
#ifdef Q_OS_UNIX
        const int descriptor = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (descriptor < 0) {
            if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                m_notifier->setEnabled(false);
                QTimer::singleShot(RestWhenFull, this, [this] {
                    if (m_notifier)
                        m_notifier->setEnabled(true);
                });
            }
            return;
        }
        if (!fromThisUser(descriptor)) {
            ::close(descriptor);
            continue;
        }
        auto *socket = new QLocalSocket(this);
        socket->setSocketDescriptor(descriptor);
#else
        QLocalSocket *socket = m_server->nextPendingConnection();
        if (!socket)
            return;
#endif
        if (m_open.size() >= MaxConnections)
            drop(m_open.takeFirst());
        serve(socket);
    }
}

void SessionSocket::drop(QLocalSocket *socket)
{
    socket->abort();
    socket->deleteLater();
}

void SessionSocket::serve(QLocalSocket *socket)
{
    m_open.append(socket);
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
        m_open.removeOne(socket);
        socket->deleteLater();
    });
    QTimer::singleShot(ConnectionTime, socket, &QLocalSocket::abort);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(*socket); });
    if (socket->bytesAvailable() > 0)
        receive(*socket);
}

// The bytes wait in the socket until a whole message is there; what a message names is
// read later as any file from a stranger is, by the open command's own checks.
void SessionSocket::receive(QLocalSocket &socket)
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
            emit handedOver(paths, {});
            break;
        }
    }
}

void SessionSocket::stop()
{
    for (QLocalSocket *socket : std::exchange(m_open, {}))
        drop(socket);
#ifdef Q_OS_UNIX
    delete m_notifier;
    m_notifier = nullptr;
    if (m_listener >= 0) {
        ::unlink(QFile::encodeName(m_path).constData());
        ::close(m_listener);
        m_listener = -1;
    }
    // Last: the next start may take over only once nobody listens here any more.
    if (m_lock >= 0)
        ::close(m_lock);
    m_lock = -1;
#else
    if (m_server)
        m_server->close();
    if (m_lockFile)
        m_lockFile->unlock();
#endif
}
