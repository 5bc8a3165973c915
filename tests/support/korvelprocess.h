// Korvel as a process, for the tests that start the real program: its environment kept
// apart from the user's, and waiting for it through /proc.
#pragma once

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <gtest/gtest.h>

#include <csignal>

using namespace Qt::StringLiterals;

// Every key of an INI file with its value as text, bytes in hex.
inline QMap<QString, QString> contents(const QString &file)
{
    const QSettings settings(file, QSettings::IniFormat);
    QMap<QString, QString> all;
    for (const QString &key : settings.allKeys()) {
        const QVariant value = settings.value(key);
        all[key] = value.typeId() == QMetaType::QByteArray ? value.toByteArray().toHex()
                                                           : value.toString();
    }
    return all;
}

// /proc/<pid>/stat: the state, and the CPU time spent so far.
inline std::pair<char, qint64> cpuState(qint64 pid)
{
    QFile file(u"/proc/%1/stat"_s.arg(pid));
    const QByteArray stat = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return {'?', 0};
    return {fields[0].at(0), fields[11].toLongLong() + fields[12].toLongLong()};
}

// Starts Korvel in `home` with its settings and its runtime folder there, in English, so
// that it neither reads the user's settings nor finds the user's own Korvel: on the
// session bus `bus` (none by default) and, without one, beside the display ":77"; without
// a display, when asked, as in a terminal of its own. `--` and the arguments after it go
// through the shell, so that they may hold bytes that are not UTF-8 (as "\\0377").
inline void start(QProcess &korvel, const QString &home, const QStringList &arguments = {},
                  bool display = true, const QString &bus = {}, const QStringList &extra = {})
{
    QStringList environment = QProcess::systemEnvironment();
    environment.removeIf([display, &extra](const QString &entry) {
        const QString key = entry.section(u'=', 0, 0) + u'=';
        return key == u"DISPLAY="_s || key == u"WAYLAND_DISPLAY="_s
               || key == u"DBUS_SESSION_BUS_ADDRESS="_s
               || (!display && key == u"QT_QPA_PLATFORM="_s)
               || std::any_of(extra.cbegin(), extra.cend(),
                              [&key](const QString &e) { return e.startsWith(key); });
    });
    if (display)
        environment << u"DISPLAY=:77"_s;
    korvel.setEnvironment(environment << extra << u"XDG_CONFIG_HOME="_s + home
                                      << u"XDG_RUNTIME_DIR="_s + home + u"/run"_s
                                      << u"LANGUAGE=en"_s
                                      << u"DBUS_SESSION_BUS_ADDRESS="_s
                                             + (bus.isEmpty() ? u"unix:path=/nonexistent"_s : bus));
    korvel.setWorkingDirectory(home);
    const qsizetype dashes = arguments.indexOf(u"--"_s);
    if (dashes < 0)
        return korvel.start(QStringLiteral(KORVEL_EXECUTABLE), arguments);
    QString script = u"exec \"$0\""_s;
    for (const QString &argument : arguments)
        script += u" \"$(printf '%b' '"_s + argument + u"')\""_s;
    korvel.start(u"/bin/sh"_s, {u"-c"_s, script, QStringLiteral(KORVEL_EXECUTABLE)});
}

// Korvel has its handler for `signal` once /proc shows it caught, and so its place in the
// session; the start-up is over, and its message (the first thing to wait for the user)
// up, once it sleeps without spending any more time.
inline ::testing::AssertionResult settles(QProcess &korvel, int signal = SIGTERM)
{
    const qint64 pid = korvel.processId();
    const auto ready = [pid, bit = quint64(1) << (signal - 1)] {
        QFile status(u"/proc/%1/status"_s.arg(pid));
        const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : "";
        return text.mid(text.indexOf("SigCgt:") + 7, 18).trimmed().toULongLong(nullptr, 16) & bit;
    };
    if (!korvel.waitForStarted(10000) || !QTest::qWaitFor(ready, 20000))
        return ::testing::AssertionFailure() << "korvel never installed its handler";
    for (auto [quiet, last] = std::pair(0, cpuState(pid)); quiet < 5; ++quiet) {
        // A process that ended is a zombie until the event loop reaps it.
        if (korvel.state() != QProcess::Running || last.first == 'Z' || last.first == '?')
            return ::testing::AssertionFailure() << "korvel ended";
        QTest::qSleep(60);
        const auto previous = std::exchange(last, cpuState(pid));
        if (previous != last || last.first != 'S')
            quiet = -1;
    }
    return ::testing::AssertionSuccess();
}

// A clean exit: under the sanitizers, also one without leaks.
inline ::testing::AssertionResult endsWell(QProcess &korvel)
{
    // It may have ended while the test waited for something else.
    const bool ended = korvel.state() == QProcess::NotRunning || korvel.waitForFinished(20000);
    const bool well =
        ended && korvel.exitStatus() == QProcess::NormalExit && korvel.exitCode() == 0;
    return (well ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
           << korvel.readAllStandardError().toStdString();
}
