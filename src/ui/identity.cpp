#include "ui/identity.h"

#include "persistence/qsettingsstore.h"

#include <QGuiApplication>

void nameApplication()
{
    QCoreApplication::setOrganizationName(QSettingsStore::Organization);
    QCoreApplication::setApplicationVersion(QStringLiteral(KORVEL_VERSION));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Korvel"));
}
