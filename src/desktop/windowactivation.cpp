#include "desktop/windowactivation.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#if __has_include(<qpa/qplatformnativeinterface.h>)
#include <qpa/qplatformnativeinterface.h>
#define KORVEL_NATIVE_INTERFACE 1
#endif

namespace {

// The X window manager lets a window take the focus when the request is no older than the
// user's last action elsewhere; the startup id carries the time of the action that started
// the later start ("..._TIME12345").
void useStartupTime(const QWidget &window, const QString &startupId)
{
#ifdef KORVEL_NATIVE_INTERFACE
    const qsizetype at = startupId.lastIndexOf(u"_TIME");
    bool valid = false;
    const quint32 time = at < 0 ? 0 : startupId.mid(at + 5).toUInt(&valid);
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    if (!valid || !native || !window.screen())
        return;
    using SetTime = void (*)(QScreen *, quint32);
    for (const char *resource : {"setapptime", "setappusertime"}) {
        // The plugin hands its functions out under one generic type.
        const auto generic =
            reinterpret_cast<void (*)()>(native->nativeResourceFunctionForScreen(resource));
        if (auto set = reinterpret_cast<SetTime>(generic))
            set(window.screen(), time);
    }
#else
    Q_UNUSED(window);
    Q_UNUSED(startupId);
#endif
}

void bringUp(QWidget &window, bool focus)
{
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    if (focus)
        window.activateWindow();
}

} // namespace

void comeForward(QWidget &window, const Activation &activation)
{
    const QString platform = QGuiApplication::platformName();
    // Qt's Wayland plugin asks the compositor with the token this variable holds, once.
    if (platform == u"wayland" && !activation.token.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activation.token.toUtf8());
    else if (platform == u"xcb" && !activation.startupId.isEmpty())
        useStartupTime(window, activation.startupId);
    // The box, when one is up, is what the user must answer first: it takes the focus, and
    // with it the one activation there is.
    QWidget *modal = QApplication::activeModalWidget();
    if (modal == &window)
        modal = nullptr;
    if (window.isVisible())
        bringUp(window, !modal);
    if (modal)
        bringUp(*modal, true);
}
