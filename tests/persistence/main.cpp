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

    QTemporaryDir settingsRoot;
    if (!settingsRoot.isValid())
        return 1;
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, settingsRoot.filePath("user"));
        QSettings::setPath(format, QSettings::SystemScope, settingsRoot.filePath("system"));
    }
    return RUN_ALL_TESTS();
}
