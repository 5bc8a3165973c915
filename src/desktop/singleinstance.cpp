#include "desktop/singleinstance.h"

#include "persistence/filename.h"
#ifdef KORVEL_SESSION_BUS
#include "desktop/sessionbus.h"
#endif
#include "desktop/sessionsocket.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

Activation Activation::fromEnvironment()
{
    return {qEnvironmentVariable("XDG_ACTIVATION_TOKEN"),
            qEnvironmentVariable("DESKTOP_STARTUP_ID")};
}

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
    , m_socketPath(socketPath)
{
}

#ifndef KORVEL_SESSION_BUS
class SessionBus {};
#endif

SingleInstance::~SingleInstance() = default;

QString SingleInstance::sessionSocketPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return {};
    // Each desktop session of the user has a display of its own. A Wayland session's
    // programs see its Wayland display, through XWayland too, and an X session's see
    // only the X display.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) {
        // ":0.1", a screen of display :0, is still that display's session.
        display = qEnvironmentVariable("DISPLAY");
        const qsizetype colon = display.lastIndexOf(u':');
        if (const qsizetype dot = display.indexOf(u'.', colon); colon >= 0 && dot > colon)
            display.truncate(dot);
    }
    QString name = QCoreApplication::applicationName();
    if (!display.isEmpty())
        name += u'-' + display.replace(u'/', u'_');
    return folder + u'/' + name;
}

SingleInstance::Start SingleInstance::start(const QStringList &paths, const Activation &activation)
{
    m_problem.clear();
#ifdef KORVEL_SESSION_BUS
    if (const QDBusConnection bus = QDBusConnection::sessionBus(); bus.isConnected()) {
        m_bus = std::make_unique<SessionBus>(bus);
        connect(m_bus.get(), &SessionBus::handedOver, this, &SingleInstance::handedOver);
        const Start start = m_bus->start(paths, activation, m_problem);
        if (start != Start::Alone)
            return start;
        m_bus.reset();
    }
#endif
    if (m_socketPath.isEmpty()) {
        m_problem =
            u"no private runtime folder: another start of Korvel would run beside this one"_s;
        return Start::Alone;
    }
    m_socket = std::make_unique<SessionSocket>(m_socketPath);
    connect(m_socket.get(), &SessionSocket::handedOver, this, &SingleInstance::handedOver);
    return m_socket->start(paths, m_problem);
}

void SingleInstance::stop()
{
#ifdef KORVEL_SESSION_BUS
    if (m_bus)
        m_bus->stop();
#endif
    if (m_socket)
        m_socket->stop();
}
