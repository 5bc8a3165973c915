// The one main of every test suite. Each suite runs inside a Qt application whose
// settings, of every format and scope, live in a temporary folder, and so do those of any
// program a test starts: no test can reach the user's own settings, not even through the
// production store. The widget suite gets a QApplication named as the program names
// itself, on the offscreen platform unless told otherwise.
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#ifdef KORVEL_TEST_WIDGETS
#include "ui/identity.h"

#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
#ifdef KORVEL_TEST_WIDGETS
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    const QTemporaryDir settingsRoot;
    if (!settingsRoot.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", settingsRoot.filePath(QStringLiteral("config")).toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    TestApplication app(argc, argv);
#ifdef KORVEL_TEST_WIDGETS
    nameApplication();
#endif
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (const auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, settingsRoot.filePath(QString::number(scope)));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
