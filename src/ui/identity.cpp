#include "ui/identity.h"

#include "persistence/qsettingsstore.h"

#include <QGuiApplication>

void nameApplication()
{
    QCoreApplication::setOrganizationName(QSettingsStore::Organization);
    QCoreApplication::setApplicationVersion(QStringLiteral(KORVEL_VERSION));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Korvel"));
    // The taskbar groups the windows under the desktop entry of this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(KORVEL_APP_ID));
}
