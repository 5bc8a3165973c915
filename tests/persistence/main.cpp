// Runs the persistence tests inside a QCoreApplication, with every QSettings location of
// the process moved into a temporary folder so that no test can reach the user's own
// settings, not even through the production store.
#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const QTemporaryDir settingsRoot;
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (const auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, settingsRoot.filePath(QString::number(scope)));
    return settingsRoot.isValid() ? RUN_ALL_TESTS() : 1;
}
