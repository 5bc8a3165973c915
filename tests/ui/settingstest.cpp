// State kept between runs: the dialog writes the settings file when it closes and the
// next dialog reads it back, through real QSettings files in a temporary folder. And Korvel
// as a process: its command line, one Korvel per session, and a polite end.
#include "dialogfixture.h"

#include "persistence/calculatordatafile.h"
#include "persistence/textdatafile.h"
#include "ui/singleinstance.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

// Every way of closing writes the store once, and the next run finds the work there: the
// history, the text typed over the selection but never calculated, selected again, and the
// memories, c bit for bit (the result below is exactly 0 only then) and a with its
// derivation, which still applies.
TEST_F(DialogTest, EveryWayOfClosingKeepsTheWorkOnceForTheNextRun)
{
    const std::pair<const char *, std::function<void()>> ways[] = {
        {"Esc", [this] { QTest::keyClick(expression(), Qt::Key_Escape); }},
        {"close box", [this] { m_program->dialog.close(); }},
        {"Out", [this] { QTest::mouseClick(control(Id::Out), Qt::LeftButton); }},
    };
    const QString kept = settingsFile() + u".kept"_s;
    for (const auto &[name, close] : ways) {
        open();
        for (const QString &text : {u"@a = 3*4"_s, u"b = a + 1"_s, u"c = 1/3"_s, u"1/3"_s})
            calculate(text);
        QTest::keyClicks(expression(), u"a*b"_s);
        close();
        EXPECT_TRUE(QFile::rename(settingsFile(), kept)) << name << ": not written";
        // Whatever else asks the ended dialog to close lets it go and writes nothing more.
        EXPECT_TRUE(m_program->dialog.close()) << name;
        m_program->dialog.closeCommand();
        m_store->sync();
        EXPECT_FALSE(QFile::exists(settingsFile())) << name << ": written twice";
        QFile::rename(kept, settingsFile());

        open();
        EXPECT_EQ(history(), (QStringList{u"1/3"_s, u"c = 1/3"_s, u"b = a + 1"_s, u"@a = 3*4"_s}));
        EXPECT_EQ(std::pair(edit()->text(), edit()->selectedText()), std::pair(u"a*b"_s, u"a*b"_s));
        EXPECT_EQ(memories(), (QStringList{u"a | 12 | a = 3*4"_s, u"b | 13 | "_s,
                                           u"c | 0,333333333333333 | "_s}));
        calculate(u"a = c*3 - 1"_s);
        EXPECT_EQ(std::pair(resultField()->text(), memories().value(0)),
                  std::pair(u"0"_s, u"a | 12 | a = 3*4"_s));
    }
    EXPECT_TRUE(m_messages.shown.isEmpty());
}

// Save and Open from the buttons and from their keys, wherever the focus is, with the
// chooser answered by a script: the work comes back in another run, and an expression
// longer than a line edit keeps by default comes back whole and is saved whole.
TEST_F(DialogTest, DataFilesCarryTheWorkToAnotherRun)
{
    using enum FileChooser::Purpose;
    const QTemporaryDir folder;
    const QByteArray longFile = writeCalculatorDataFile({u"1+"_s.repeated(20000), {}, {}});
    ASSERT_TRUE(writeWholeFile(folder.filePath(u"long.cdf"_s), longFile));
    for (const char *name : {"work.CSV", "work.CSV", "long.cdf", "again.cdf"})
        m_files.answers.append(folder.filePath(QLatin1String(name)));
    open();
    for (const QString &text : {u"@a = 3*4"_s, u"b = a + 1"_s})
        calculate(text);
    QTest::mouseClick(control(Id::Save), Qt::LeftButton);

    QFile::remove(settingsFile());
    open(Language::German);
    QTest::keyClick(expression(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(std::pair(edit()->text(), history()),
              std::pair(u"b = a + 1"_s, QStringList{u"b = a + 1"_s, u"@a = 3*4"_s}));
    EXPECT_EQ(memories(), (QStringList{u"a | 12 | a = 3*4"_s, u"b | 13 | "_s}));

    QTest::mouseClick(control(Id::Open), Qt::LeftButton);
    QTest::keyClick(memoryList(), Qt::Key_S, Qt::ControlModifier);
    // The text comes first in the file, before the history and memory counts (8 bytes).
    QFile again(folder.filePath(u"again.cdf"_s));
    EXPECT_TRUE(again.open(QIODevice::ReadOnly) && again.readAll().startsWith(longFile.chopped(8)));
    EXPECT_EQ(m_files.asked, (QList{Save, Open, Open, Save}));
    EXPECT_TRUE(m_messages.shown.isEmpty());
}

// What a second start sends is read back whole, a line feed in a name included; anything
// else is refused as from a stranger: another protocol, a relative path, a NUL, too many
// files, a path no file can have, or too many bytes without an end.
TEST(HandOverTest, MessagesCarryAbsolutePathsWithinLimits)
{
    using enum HandOver::Reading;
    QStringList sent{u"/tmp/a b\nc.cdf"_s, u"/tmp/\u00fc%.csv"_s};
    for (int i = 0; i < HandOver::MaxFiles; ++i)
        sent.append(u"/f"_s + QString::number(i));
    QStringList paths;
    qsizetype length = 0;
    const QByteArray message = HandOver::message(sent);
    EXPECT_EQ(HandOver::read(message + "korvel-open 1\n", paths, length), Complete);
    EXPECT_EQ(std::pair(paths, length), std::pair(sent.mid(0, HandOver::MaxFiles), message.size()));
    const std::pair<QByteArray, HandOver::Reading> rows[] = {
        {"korvel-open 1\n/a", Incomplete},
        {"korvel-open 2\n\n", Refused},
        {"korvel-open 1\na\n\n", Refused},
        {"korvel-open 1\n/a%00\n\n", Refused},
        {"korvel-open 1\n" + QByteArray("/f\n").repeated(101) + "\n", Refused},
        {"korvel-open 1\n/" + QByteArray(4096, 'a') + "\n\n", Refused},
        {QByteArray(HandOver::MaxMessageBytes, '/'), Refused},
    };
    for (const auto &[bytes, reading] : rows)
        EXPECT_EQ(HandOver::read(bytes, paths, length), reading) << bytes.left(40).toStdString();
}

#ifdef KORVEL_EXECUTABLE
namespace {

// Every key of an INI file with its value as text, bytes in hex.
QMap<QString, QString> contents(const QString &file)
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
std::pair<char, qint64> cpuState(qint64 pid)
{
    QFile file(u"/proc/%1/stat"_s.arg(pid));
    const QByteArray stat = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return {'?', 0};
    return {fields[0].at(0), fields[11].toLongLong() + fields[12].toLongLong()};
}

struct Case {
    const char *name;
    int signal;
    int memories;                ///< m0001, m0002 and on, so in name order
    bool messageUp = false;      ///< the start-up shows a message until the signal comes
    const char *derivation = ""; ///< of m0001
    friend void PrintTo(const Case &c, std::ostream *out) { *out << c.name; }
};

// Starts Korvel in `home` with its settings and its runtime folder there, in English, so
// that it neither reads the user's settings nor finds the user's own Korvel: on the
// session bus `bus` (none by default) and, without one, beside the display ":77"; without
// a display, when asked, as in a terminal of its own. `--` and the arguments after it go
// through the shell, so that they may hold bytes that are not UTF-8 (as "\\0377").
void start(QProcess &korvel, const QString &home, const QStringList &arguments = {},
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
::testing::AssertionResult settles(QProcess &korvel, int signal = SIGTERM)
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
::testing::AssertionResult endsWell(QProcess &korvel)
{
    // It may have ended while the test waited for something else.
    const bool ended = korvel.state() == QProcess::NotRunning || korvel.waitForFinished(20000);
    const bool well =
        ended && korvel.exitStatus() == QProcess::NormalExit && korvel.exitCode() == 0;
    return (well ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
           << korvel.readAllStandardError().toStdString();
}

} // namespace

// Korvel as a process: a polite request to end it is a close, so the work is kept, also
// while the start-up shows a message about the restored state. Files handed over by a
// second start meanwhile wait behind that message, and the second start ends at once
// without touching the settings; they open before the close saves, so nothing taken is
// lost.
class TerminationTest : public ::testing::TestWithParam<Case> {};

TEST_P(TerminationTest, SignalClosesAndSavesAsRestored)
{
    const Case &c = GetParam();
    QTemporaryDir config;
    const QString file = config.filePath(u"Tamsard/korvel.conf"_s);
    // A store as a user leaves it; a memory without a derivation has no derivation key.
    {
        QSettings store(file, QSettings::IniFormat);
        store.setValue(u"Expressies/edit"_s, u"7*6"_s);
        store.setValue(u"Expressies/aantal"_s, 2);
        store.setValue(u"Expressies/combo00"_s, u"1+1"_s);
        store.setValue(u"Expressies/combo01"_s, u"max(1;2)"_s);
        store.setValue(u"Variabelen/aantal"_s, c.memories);
        for (int k = 1; k <= c.memories; ++k) {
            store.setValue(QString::asprintf("Variabelen/naam%03d", k),
                           QString::asprintf("m%04d", k));
            store.setValue(QString::asprintf("Variabelen/waarde%03d", k),
                           QByteArray::number(k).leftJustified(8));
        }
        if (*c.derivation)
            store.setValue(u"Variabelen/afleiding001"_s, QString::fromLatin1(c.derivation));
    }
    // A close writes back what the load pool took, with an empty derivation for a memory
    // without one; keys are never deleted.
    QMap<QString, QString> expected = contents(file);
    const int restored = std::min(c.memories, 999);
    expected[u"Variabelen/aantal"_s] = QString::number(restored);
    for (int k = 1; k <= restored; ++k) {
        const QString derivation = QString::asprintf("Variabelen/afleiding%03d", k);
        expected.insert(derivation, expected.value(derivation));
    }

    QProcess korvel;
    start(korvel, config.path());
    ASSERT_TRUE(settles(korvel, c.signal));
    if (c.messageUp) {
        ASSERT_TRUE(writeWholeFile(config.filePath(u"x.cdf"_s),
                                   writeCalculatorDataFile({u"x"_s, {u"x"_s}, {}})));
        const QMap<QString, QString> before = contents(file);
        QProcess second;
        start(second, config.path(), {u"x.cdf"_s});
        EXPECT_TRUE(endsWell(second));
        EXPECT_EQ(contents(file), before);
        expected[u"Expressies/aantal"_s] = u"3"_s;
        expected[u"Expressies/combo02"_s] = expected[u"Expressies/edit"_s] = u"x"_s;
    }
    ::kill(pid_t(korvel.processId()), c.signal);
    EXPECT_TRUE(endsWell(korvel));
    EXPECT_EQ(contents(file), expected);
}

INSTANTIATE_TEST_SUITE_P(
    PoliteSignals, TerminationTest,
    ::testing::Values(Case{"TERM", SIGTERM, 1}, Case{"HUP", SIGHUP, 1}, Case{"INT", SIGINT, 1},
                      Case{"TERMDuringFailingDerivationMessage", SIGTERM, 2, true, "m0001 = 1 +"},
                      Case{"TERMDuringPoolFullMessage", SIGTERM, 1000, true}),
    [](const auto &info) { return std::string(info.param.name); });

namespace {

// A session bus of the test's own, and a monitor that prints every call on the
// applications' interface.
struct PrivateBus {
    QProcess daemon, monitor;
    QString address;

    explicit PrivateBus(bool wanted)
    {
        if (!wanted)
            return;
        daemon.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        if (daemon.waitForReadyRead(10000))
            address = QString::fromLatin1(daemon.readLine()).trimmed();
        monitor.start(u"dbus-monitor"_s,
                      {u"--address"_s, address, u"interface='org.freedesktop.Application'"_s});
    }
    ~PrivateBus()
    {
        for (QProcess *process : {&monitor, &daemon}) {
            process->kill();
            process->waitForFinished();
        }
    }
    // The calls seen so far, once the monitor has seen the one that `call` makes; a call
    // that changes nothing is made again until the monitor, which starts late, sees it.
    QByteArray seen(const std::function<void()> &call, const QByteArray &mark, bool again = false)
    {
        QByteArray all;
        call();
        const bool marked = QTest::qWaitFor([&] {
            if (!monitor.waitForReadyRead(100) && again)
                call();
            return (all += monitor.readAll()).contains(mark);
        });
        EXPECT_TRUE(marked) << "the bus never carried " << mark.toStdString();
        return all;
    }
};

// Where the running Korvel takes hand-overs without a bus.
QString socketIn(const QString &home)
{
    return home + u"/run/korvel-:77"_s;
}

sockaddr_un addressOf(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    std::memcpy(address.sun_path, bytes.constData(),
                std::min(size_t(bytes.size()), sizeof address.sun_path - 1));
    return address;
}

} // namespace

// One Korvel per session, on the session bus or, without one, on the socket. A Korvel
// killed outright must not keep the next start from taking its place (without a bus it
// leaves its socket behind). That one opens the files of its command line in order, also
// after "--" and with names that are not UTF-8; a later start hands its file over (a
// relative path, to be read where it was given) with its activation, and ends, and the
// file opens after them. A file as large as a terabyte that a sparse file claims gets a
// message, and the work is kept. A start that finds the running Korvel stopped says so
// and ends, and the stopped one is still the only one. On the bus, a call that names
// anything but local files opens nothing.
enum class Way {
    Socket,
    Bus,
    Wayland
};
class SessionTest : public ::testing::TestWithParam<Way> {};

TEST_P(SessionTest, LaterStartsHandTheirFilesToTheRunningKorvel)
{
    PrivateBus bus(GetParam() != Way::Socket);
    if (GetParam() != Way::Socket && bus.address.isEmpty())
        GTEST_SKIP() << "no dbus-daemon";
    QTemporaryDir home;
    // Natively on a compositor of the test's own, which needs a runtime folder.
    QProcess weston;
    QStringList native;
    if (GetParam() == Way::Wayland) {
        const QString run = home.filePath(u"run"_s);
        ASSERT_TRUE(QDir().mkpath(run) && ::chmod(QFile::encodeName(run), 0700) == 0);
        weston.setProcessEnvironment([&run] {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(u"XDG_RUNTIME_DIR"_s, run);
            return environment;
        }());
        weston.start(u"weston"_s, {u"--backend=headless-backend.so"_s, u"--socket=wl-korvel"_s,
                                   u"--idle-time=0"_s, u"--no-config"_s});
        if (!weston.waitForStarted())
            GTEST_SKIP() << "no weston";
        ASSERT_TRUE(QTest::qWaitFor([&run] { return QFile::exists(run + u"/wl-korvel"_s); }));
        // Qt's Wayland plugins leave allocations behind at the end, some in a plugin already
        // unloaded, which no suppression can name; the other ways check Korvel's own.
        native = {u"QT_QPA_PLATFORM=wayland"_s, u"WAYLAND_DISPLAY=wl-korvel"_s,
                  u"ASAN_OPTIONS=detect_leaks=0"_s};
    }
    const auto stopWeston = qScopeGuard([&weston] {
        weston.terminate();
        weston.waitForFinished();
    });
    const CalculatorState a{u"a"_s, {u"a"_s}, {}}, b{u"b"_s, {u"b"_s}, {}}, c{u"c"_s, {u"c"_s}, {}};
    ASSERT_TRUE(writeWholeFile(home.filePath(u"-a.cdf"_s), writeCalculatorDataFile(a)));
    ASSERT_TRUE(writeWholeFile(home.filePath(u"b.csv"_s), writeTextDataFile(b)));
    ASSERT_TRUE(writeWholeFile(home.filePath(u"c.cdf"_s), writeCalculatorDataFile(c)));
    QFile huge(home.filePath(u"huge.cdf"_s));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.write("\xff\xfe\xff\xff\xff\xff") > 0
                && huge.resize(qint64(1) << 40));
    huge.close();
    // Qt cannot remove a name that is not UTF-8 with the folder: the test does.
    const QByteArray strange = QFile::encodeName(home.path()) + "/b\377.csv";
    ASSERT_EQ(
        ::rename(QFile::encodeName(home.filePath(u"b.csv"_s)).constData(), strange.constData()), 0);
    const auto removeStrange = qScopeGuard([&strange] { ::unlink(strange.constData()); });
    QProcess killed, running, later, larger, frozen;
    start(killed, home.path(), {}, true, bus.address, native);
    ASSERT_TRUE(settles(killed));
    killed.kill();
    killed.waitForFinished();
    start(running, home.path(), {u"--"_s, u"-a.cdf"_s, u"b\\0377.csv"_s}, true, bus.address,
          native);
    ASSERT_TRUE(settles(running));
    const QStringList activation =
        native + QStringList{u"XDG_ACTIVATION_TOKEN=token-1"_s, u"DESKTOP_STARTUP_ID=id_TIME42"_s};
    if (GetParam() != Way::Socket) {
        QDBusConnection caller = QDBusConnection::connectToBus(bus.address, u"test"_s);
        const auto open = [&caller](const QString &uri) {
            return caller.call(
                QDBusMessage::createMethodCall(u"nl.tamsard.korvel"_s, u"/nl/tamsard/korvel"_s,
                                               u"org.freedesktop.Application"_s, u"Open"_s)
                << QStringList{uri} << QVariantMap());
        };
        bus.seen(
            [&] {
                EXPECT_EQ(open(u"https://example.org/c.cdf"_s).errorName(),
                          u"org.freedesktop.DBus.Error.InvalidArgs"_s);
            },
            "https://", true);
        const QByteArray calls = bus.seen(
            [&] { start(later, home.path(), {u"c.cdf"_s}, true, bus.address, activation); },
            "id_TIME42");
        EXPECT_TRUE(calls.contains("\"activation-token\"") && calls.contains("token-1"));
        QDBusConnection::disconnectFromBus(u"test"_s);
    } else {
        start(later, home.path(), {u"c.cdf"_s}, true, bus.address, activation);
    }
    EXPECT_TRUE(endsWell(later));
    start(larger, home.path(), {u"huge.cdf"_s}, true, bus.address, native);
    EXPECT_TRUE(endsWell(larger));
    ASSERT_TRUE(settles(running));
    ::kill(pid_t(running.processId()), SIGSTOP);
    start(frozen, home.path(), {}, true, bus.address, native);
    EXPECT_TRUE(frozen.waitForFinished(20000));
    EXPECT_EQ(frozen.exitCode(), 1);
    EXPECT_TRUE(frozen.readAllStandardError().contains("did not answer within"));
    ::kill(pid_t(running.processId()), SIGCONT);
    ::kill(pid_t(running.processId()), SIGTERM);
    EXPECT_TRUE(endsWell(running));
    QMap<QString, QString> saved = contents(home.filePath(u"Tamsard/korvel.conf"_s));
    EXPECT_EQ((QStringList{saved[u"Expressies/edit"_s], saved[u"Expressies/combo00"_s],
                           saved[u"Expressies/combo01"_s], saved[u"Expressies/combo02"_s]}),
              (QStringList{u"c"_s, u"a"_s, u"b"_s, u"c"_s}));
}

constexpr const char *WayNames[] = {"Socket", "Bus", "Wayland"};
INSTANTIATE_TEST_SUITE_P(Ways, SessionTest, ::testing::Values(Way::Socket, Way::Bus, Way::Wayland),
                         [](const auto &info) { return WayNames[int(info.param)]; });

// Without a bus, the socket is Korvel's only while Korvel holds its lock. Something else
// planted at its path, a socket of another user's too, is said on standard error, and the
// start that finds it beside a running Korvel ends instead of becoming a second one. A
// flood of connections that would use up the running Korvel's descriptors does not end
// its listening, and a message from another user is refused even when the socket lets
// everybody in.
TEST(SocketTest, TheRunningKorvelIsTheOnlyOneAndKeepsListening)
{
    const bool root = ::geteuid() == 0;
    const std::pair<const char *, std::function<bool(const QString &)>> planted[] = {
        {"folder", [](const QString &path) { return QDir().mkpath(path); }},
        {"file", [](const QString &path) { return writeWholeFile(path, "x"); }},
        {"socket of another user's",
         [root](const QString &path) {
             const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
             const sockaddr_un address = addressOf(path);
             const bool made =
                 root
                 && ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0
                 && ::chown(address.sun_path, 65534, 65534) == 0;
             ::close(fd);
             return made;
         }},
    };
    for (const auto &[what, plant] : planted) {
        QTemporaryDir home;
        ASSERT_TRUE(QDir().mkpath(home.filePath(u"run"_s)));
        ::chmod(QFile::encodeName(home.filePath(u"run"_s)), 0700);
        if (!plant(socketIn(home.path())))
            continue;
        QProcess running, second;
        start(running, home.path());
        ASSERT_TRUE(settles(running)) << what;
        start(second, home.path());
        EXPECT_TRUE(second.waitForFinished(20000));
        EXPECT_EQ(second.exitCode(), 1) << what;
        ::kill(pid_t(running.processId()), SIGTERM);
        EXPECT_TRUE(running.waitForFinished(20000));
        EXPECT_TRUE(running.readAllStandardError().contains("is not Korvel's socket")) << what;
        EXPECT_TRUE(second.readAllStandardError().contains("is not Korvel's socket")) << what;
    }

    QTemporaryDir home;
    for (const char *name : {"c.cdf", "e.cdf"}) {
        const QString memory = QString::fromLatin1(name).left(1);
        ASSERT_TRUE(writeWholeFile(home.filePath(QLatin1String(name)),
                                   writeCalculatorDataFile({memory, {memory}, {}})));
    }
    QProcess running, later;
    start(running, home.path());
    ASSERT_TRUE(settles(running));
    // More connections than the running Korvel may have descriptors, which the test may.
    const rlimit few{256, 256};
    ASSERT_EQ(::prlimit(pid_t(running.processId()), RLIMIT_NOFILE, &few, nullptr), 0);
    rlimit limit;
    ::getrlimit(RLIMIT_NOFILE, &limit);
    const rlimit kept = limit;
    limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 4096);
    ::setrlimit(RLIMIT_NOFILE, &limit);
    const sockaddr_un address = addressOf(socketIn(home.path()));
    std::vector<int> flood;
    for (int i = 0; i < 1100 && limit.rlim_cur >= 2048; ++i) {
        flood.push_back(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(flood.back(), reinterpret_cast<const sockaddr *>(&address), sizeof address);
    }
    QTest::qWait(1000);
    start(later, home.path(), {u"c.cdf"_s});
    EXPECT_TRUE(endsWell(later));
    for (const int fd : flood)
        ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &kept);
    if (root) {
        const QByteArray path = QFile::encodeName(socketIn(home.path()));
        const QByteArray message = HandOver::message({home.filePath(u"e.cdf"_s)});
        ::chmod(QFile::encodeName(home.path()), 0711);
        ::chmod(QFile::encodeName(home.filePath(u"run"_s)), 0711);
        ::chmod(path.constData(), 0666);
        // A stranger that may reach the socket sends a message of the right form.
        const pid_t stranger = ::fork();
        if (stranger == 0) {
            char reply[3] = {};
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const bool answered =
                ::setgid(65534) == 0 && ::setuid(65534) == 0
                && ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0
                && ::send(fd, message.constData(), size_t(message.size()), MSG_NOSIGNAL)
                       == message.size()
                && ::read(fd, reply, sizeof reply) > 0;
            ::_exit(answered ? 1 : 0);
        }
        int status = -1;
        ::waitpid(stranger, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "the stranger's message was answered";
    }
    ASSERT_TRUE(settles(running));
    ::kill(pid_t(running.processId()), SIGTERM);
    EXPECT_TRUE(endsWell(running));
    const QMap<QString, QString> saved = contents(home.filePath(u"Tamsard/korvel.conf"_s));
    EXPECT_EQ(std::pair(saved[u"Expressies/combo00"_s], saved[u"Expressies/aantal"_s]),
              std::pair(u"c"_s, u"1"_s));
}

// The command line, answered without a display: Qt's own options pass, help and the
// version are answered, any other option is refused with the usage line, and a start that
// needs a window says in one line that there is none; none of them opens the settings.
TEST(CommandLineTest, IsAnsweredOrRefusedWithoutAStart)
{
    const QString usage =
        u"Usage: "_s + QStringLiteral(KORVEL_EXECUTABLE) + u" [options] [file...]"_s;
    const QString version = u"korvel "_s + QCoreApplication::applicationVersion();
    const std::tuple<QStringList, int, QString, QString> rows[] = {
        {{u"--version"_s}, 0, version, {}},
        {{u"-platform"_s, u"offscreen"_s, u"-v"_s}, 0, version, {}},
        {{u"--help"_s}, 0, usage, {}},
        {{u"a.cdf"_s, u"--bogus"_s}, 2, {}, u"Unknown option 'bogus'.\n"_s + usage + u'\n'},
        {{u"a.cdf"_s},
         1,
         {},
         u"korvel: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set)\n"_s},
    };
    for (const auto &[arguments, status, firstLine, errors] : rows) {
        QTemporaryDir home;
        QProcess korvel;
        start(korvel, home.path(), arguments, false);
        EXPECT_TRUE(korvel.waitForFinished(20000));
        EXPECT_EQ(
            std::tuple(korvel.exitCode(),
                       QString::fromLocal8Bit(korvel.readAllStandardOutput()).section(u'\n', 0, 0),
                       QString::fromLocal8Bit(korvel.readAllStandardError())),
            std::tuple(status, firstLine, errors))
            << arguments.join(u' ').toStdString();
        EXPECT_FALSE(QFile::exists(home.filePath(u"Tamsard"_s)));
    }
}
#endif
