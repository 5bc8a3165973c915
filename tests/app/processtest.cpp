// Korvel as a process: a polite end that keeps the work, and the command line answered or
// refused before any window.
#include "core/calculator.h"
#include "persistence/calculatordatafile.h"
#include "persistence/datafilecommands.h"
#include "support/korvelprocess.h"
#include "support/qtprinters.h"

#include <QTemporaryDir>

#ifdef KORVEL_EXECUTABLE
namespace {

struct Case {
    const char *name;
    int signal;
    int memories;                ///< m0001, m0002 and on, so in name order
    bool messageUp = false;      ///< the start-up shows a message until the signal comes
    const char *derivation = ""; ///< of m0001
    friend void PrintTo(const Case &c, std::ostream *out) { *out << c.name; }
};

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

// The command line, answered without a display: Qt's own options pass, help and the
// version are answered, any other option is refused with the usage line, and a start that
// needs a window says in one line that there is none; none of them opens the settings.
TEST(CommandLineTest, IsAnsweredOrRefusedWithoutAStart)
{
    const QString usage =
        u"Usage: "_s + QStringLiteral(KORVEL_EXECUTABLE) + u" [options] [file...]"_s;
    const QString version = u"korvel "_s + QStringLiteral(KORVEL_VERSION);
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
