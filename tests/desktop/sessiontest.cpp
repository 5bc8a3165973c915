// One Korvel per session, as a process: the hand-over on the session bus, on a Wayland
// compositor and, without a bus, on the socket; and the socket's message read back or
// refused as from a stranger.
#include "core/calculator.h"
#include "desktop/singleinstance.h"
#include "persistence/calculatordatafile.h"
#include "persistence/datafilecommands.h"
#include "persistence/textdatafile.h"
#include "support/korvelprocess.h"
#include "support/qtprinters.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

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
#endif
