// One running program per session bus: the desktop's own interface for applications,
// org.freedesktop.Application, which launchers, file managers and later starts call.
#pragma once

#include "desktop/handover.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QVariantMap>

#include <optional>

/// The program on the session bus: the running one owns `Service` and serves the interface
/// at `Path`; a later start calls it.
class SessionBus : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    static constexpr char Service[] = "nl.tamsard.korvel";
    static constexpr char Path[] = "/nl/tamsard/korvel";
    /// How long a later start waits for the running program's answer, in milliseconds.
    /// Taking files costs it next to nothing; only a program that is stopped or hung
    /// keeps a start waiting this long.
    static constexpr int AnswerWait = 5000;
    static constexpr int MaxUris = 1000; ///< files in one call

    explicit SessionBus(const QDBusConnection &connection, QObject *parent = nullptr);
    ~SessionBus() override;

    /// Becomes the running program, or hands `paths` over to it; `problem` says why a
    /// start Failed.
    SessionStart start(const QStringList &paths, const Activation &activation, QString &problem);
    /// Leaves the bus: calls from now on find no program, and a start becomes the next one.
    void stop();

public slots:
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData);
    Q_SCRIPTABLE void Open(const QStringList &uris, const QVariantMap &platformData);
    Q_SCRIPTABLE void ActivateAction(const QString &name, const QVariantList &parameter,
                                     const QVariantMap &platformData);

signals:
    void handedOver(const QStringList &paths, const Activation &activation);

private:
    /// Calls the running program; nothing when none was there to call after all.
    std::optional<SessionStart> callRunning(const QStringList &paths, const Activation &activation,
                                            QString &problem);
    void take(const QStringList &uris, const QVariantMap &platformData);

    QDBusConnection m_connection;
    bool m_serving = false;
};
