#include "desktop/sessionbus.h"

#include "persistence/filename.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

constexpr char Interface[] = "org.freedesktop.Application";
constexpr qsizetype MaxTokenLength = 4096;

// The activation a caller passed: the two entries that matter, when present, must be
// strings of printable ASCII, as every desktop makes them; other entries are the caller's
// own business.
bool readActivation(const QVariantMap &platformData, Activation &activation)
{
    const auto entry = [&platformData](const char *key, QString &into) {
        const auto found = platformData.constFind(QLatin1String(key));
        if (found == platformData.cend())
            return true;
        if (found->typeId() != QMetaType::QString)
            return false;
        into = found->toString();
        return into.size() <= MaxTokenLength
               && std::all_of(into.cbegin(), into.cend(),
                              [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7f; });
    };
    return entry("activation-token", activation.token)
           && entry("desktop-startup-id", activation.startupId);
}

QVariantMap platformData(const Activation &activation)
{
    QVariantMap data;
    if (!activation.token.isEmpty())
        data.insert(u"activation-token"_s, activation.token);
    if (!activation.startupId.isEmpty())
        data.insert(u"desktop-startup-id"_s, activation.startupId);
    return data;
}

} // namespace

SessionBus::SessionBus(const QDBusConnection &connection, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
{
}

SessionBus::~SessionBus()
{
    stop();
}

SessionStart SessionBus::start(const QStringList &paths, const Activation &activation,
                               QString &problem)
{
    // A program that ends between the two steps leaves the name free again: a few tries.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!m_serving
            && !m_connection.registerObject(QLatin1String(Path), this,
                                            QDBusConnection::ExportScriptableSlots)) {
            problem = u"cannot serve on the session bus: "_s + m_connection.lastError().message();
            return SessionStart::Alone;
        }
        m_serving = true;
        const auto owned = m_connection.interface()->registerService(
            QLatin1String(Service), QDBusConnectionInterface::DontQueueService,
            QDBusConnectionInterface::DontAllowReplacement);
        if (!owned.isValid()) {
            // The bus refuses the name itself (a confined session): the socket decides.
            problem = u"cannot own the name on the session bus: "_s + owned.error().message();
            return SessionStart::Alone;
        }
        if (owned.value() == QDBusConnectionInterface::ServiceRegistered)
            return SessionStart::Running;
        if (const std::optional<SessionStart> done = callRunning(paths, activation, problem))
            return *done;
    }
    problem = u"the running Korvel kept ending while this start called it"_s;
    return SessionStart::Failed;
}

std::optional<SessionStart> SessionBus::callRunning(const QStringList &paths,
                                                    const Activation &activation, QString &problem)
{
    const QString service = QLatin1String(Service);
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QLatin1String(Path), QLatin1String(Interface),
                                       paths.isEmpty() ? u"Activate"_s : u"Open"_s);
    QStringList uris;
    for (const QString &path : paths)
        uris.append(fileUrl(path));
    for (qsizetype from = 0; from < qMax(uris.size(), qsizetype(1)); from += MaxUris) {
        call.setArguments(paths.isEmpty()
                              ? QVariantList{platformData(activation)}
                              : QVariantList{uris.mid(from, MaxUris), platformData(activation)});
        const QDBusMessage reply = m_connection.call(call, QDBus::Block, AnswerWait);
        if (reply.type() == QDBusMessage::ReplyMessage)
            continue;
        const QString error = reply.errorName();
        // Only a call that never reached a program is tried again: one that may have
        // arrived could still open its files, and a file opens once.
        if (from == 0
            && (error == u"org.freedesktop.DBus.Error.ServiceUnknown"
                || error == u"org.freedesktop.DBus.Error.NameHasNoOwner"
                || error == u"org.freedesktop.DBus.Error.UnknownObject"))
            return std::nullopt;
        // The bus, not the program, answers who owns the name.
        if (error == u"org.freedesktop.DBus.Error.NoReply"
            || error == u"org.freedesktop.DBus.Error.Timeout")
            problem = u"the running Korvel (process %1) did not answer within %2 seconds"_s
                          .arg(m_connection.interface()->servicePid(service).value())
                          .arg(AnswerWait / 1000);
        else
            problem = u"the running Korvel did not take the files: "_s + reply.errorMessage();
        return SessionStart::Failed;
    }
    return SessionStart::HandedOver;
}

void SessionBus::stop()
{
    if (!m_serving)
        return;
    m_serving = false;
    m_connection.interface()->unregisterService(QLatin1String(Service));
    m_connection.unregisterObject(QLatin1String(Path));
}

void SessionBus::Activate(const QVariantMap &platformData)
{
    take({}, platformData);
}

void SessionBus::Open(const QStringList &uris, const QVariantMap &platformData)
{
    take(uris, platformData);
}

void SessionBus::ActivateAction(const QString &name, const QVariantList &parameter,
                                const QVariantMap &platformData)
{
    Q_UNUSED(parameter);
    Q_UNUSED(platformData);
    sendErrorReply(QDBusError::NotSupported, u"Korvel has no action "_s + name);
}

// All or nothing: a call with anything a file name cannot be opens none of its files. What
// the names name is read later as any file from a stranger is, by the open command's own
// checks.
void SessionBus::take(const QStringList &uris, const QVariantMap &platformData)
{
    Activation activation;
    if (!readActivation(platformData, activation)) {
        sendErrorReply(QDBusError::InvalidArgs, u"malformed platform data"_s);
        return;
    }
    if (uris.size() > MaxUris) {
        sendErrorReply(QDBusError::InvalidArgs, u"more than %1 files at once"_s.arg(MaxUris));
        return;
    }
    QStringList paths;
    for (const QString &uri : uris) {
        const QString name = fileNameFromUrl(QUrl(uri, QUrl::StrictMode));
        if (name.isEmpty() || fileNameBytes(name).size() > HandOver::MaxPathBytes) {
            sendErrorReply(QDBusError::InvalidArgs, u"not a local file: "_s + uri.left(200));
            return;
        }
        paths.append(name);
    }
    emit handedOver(paths, activation);
}
