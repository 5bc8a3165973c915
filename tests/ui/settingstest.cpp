// State kept between runs: the dialog writes the settings file when it closes and the
// next dialog reads it back, through real QSettings files in a temporary folder.
#include "dialogfixture.h"

#include <csignal>
#include <cstring>

TEST_F(DialogTest, WorkSurvivesARestart)
{
    open();
    for (const QString &text : {u"@a = 3*4"_s, u"b = a + 1"_s, u"c = 1/3"_s, u"1/3"_s})
        calculate(text);
    QTest::keyClicks(expression(), u"a*b"_s); // typed over the selection, never calculated
    QTest::keyClick(expression(), Qt::Key_Escape);

    open();
    EXPECT_EQ(history(), (QStringList{u"1/3"_s, u"c = 1/3"_s, u"b = a + 1"_s, u"@a = 3*4"_s}));
    EXPECT_EQ(std::pair(edit()->text(), edit()->selectedText()), std::pair(u"a*b"_s, u"a*b"_s));
    EXPECT_EQ(memories(),
              (QStringList{u"a | 12 | a = 3*4"_s, u"b | 13 | "_s, u"c | 0,333333333333333 | "_s}));
    EXPECT_TRUE(m_messages.shown.isEmpty());
    // Exactly 0 only when c came back bit for bit, not through its shown text; and the
    // derivation of a still applies in the new run.
    calculate(u"a = c*3 - 1"_s);
    EXPECT_EQ(std::pair(resultField()->text(), memories().value(0)),
              std::pair(u"0"_s, u"a | 12 | a = 3*4"_s));
}

// Save and Open from the buttons, with the chooser answered by a script: the work comes
// back in another run.
TEST_F(DialogTest, DataFilesCarryTheWorkToAnotherRun)
{
    const QTemporaryDir folder;
    open();
    for (const QString &text : {u"@a = 3*4"_s, u"b = a + 1"_s})
        calculate(text);
    m_files.answers = {folder.filePath(u"work.CSV"_s)};
    QTest::mouseClick(control(Id::Save), Qt::LeftButton);

    QFile::remove(settingsFile());
    open(Language::German);
    m_files.answers = {folder.filePath(u"work.CSV"_s)};
    QTest::mouseClick(control(Id::Open), Qt::LeftButton);
    EXPECT_EQ(std::pair(edit()->text(), history()),
              std::pair(u"b = a + 1"_s, QStringList{u"b = a + 1"_s, u"@a = 3*4"_s}));
    EXPECT_EQ(memories(), (QStringList{u"a | 12 | a = 3*4"_s, u"b | 13 | "_s}));
    EXPECT_EQ(m_files.asked, (QList{FileChooser::Purpose::Save, FileChooser::Purpose::Open}));
    EXPECT_TRUE(m_messages.shown.isEmpty());
}

#ifdef KORVEL_EXECUTABLE
namespace {

QString k3(const QString &stem, qsizetype k)
{
    return stem + u"%1"_s.arg(k, 3, 10, QLatin1Char('0'));
}

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
    QList<std::pair<QString, QString>> memories; ///< name and derivation, in name order
    friend void PrintTo(const Case &c, std::ostream *out) { *out << c.name; }
};

QList<std::pair<QString, QString>> poolAndOneMore()
{
    QList<std::pair<QString, QString>> memories;
    for (int i = 1; i <= 1000; ++i)
        memories.append({u"m%1"_s.arg(i, 4, 10, QLatin1Char('0')), QString()});
    return memories;
}

} // namespace

// Korvel as a process: a polite request to end it is a close, so the work is kept, also
// while the start-up shows a message about the restored state.
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
        store.setValue(u"Variabelen/aantal"_s, c.memories.size());
        for (qsizetype k = 1; k <= c.memories.size(); ++k) {
            const auto &[name, derivation] = c.memories[k - 1];
            store.setValue(k3(u"Variabelen/naam"_s, k), name);
            store.setValue(k3(u"Variabelen/waarde"_s, k), QByteArray::number(k).leftJustified(8));
            if (!derivation.isEmpty())
                store.setValue(k3(u"Variabelen/afleiding"_s, k), derivation);
        }
    }
    // A close writes back what the load pool took, with an empty derivation for a memory
    // without one; keys are never deleted.
    QMap<QString, QString> expected = contents(file);
    const qsizetype restored = std::min<qsizetype>(c.memories.size(), 999);
    expected[u"Variabelen/aantal"_s] = QString::number(restored);
    for (qsizetype k = 1; k <= restored; ++k) {
        if (!expected.contains(k3(u"Variabelen/afleiding"_s, k)))
            expected[k3(u"Variabelen/afleiding"_s, k)] = QString();
    }

    QProcess korvel;
    korvel.setEnvironment(QProcess::systemEnvironment() << u"XDG_CONFIG_HOME="_s + config.path());
    korvel.start(QStringLiteral(KORVEL_EXECUTABLE), {});
    ASSERT_TRUE(korvel.waitForStarted(10000));
    // Korvel has its handler once /proc shows it caught the signal; the start-up is over,
    // and its message (the first thing to wait for the user) up, once it sleeps without
    // spending any more time.
    const qint64 pid = korvel.processId();
    const auto ready = [pid, bit = quint64(1) << (c.signal - 1)] {
        QFile status(u"/proc/%1/status"_s.arg(pid));
        const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : "";
        return text.mid(text.indexOf("SigCgt:") + 7, 18).trimmed().toULongLong(nullptr, 16) & bit;
    };
    ASSERT_TRUE(QTest::qWaitFor(ready, 20000)) << "korvel never installed its handler";
    for (auto [quiet, last] = std::pair(0, cpuState(pid)); quiet < 5; ++quiet) {
        ASSERT_EQ(korvel.state(), QProcess::Running);
        QTest::qSleep(60);
        const auto previous = std::exchange(last, cpuState(pid));
        if (previous != last || last.first != 'S')
            quiet = -1;
    }
    ::kill(pid_t(pid), c.signal);
    ASSERT_TRUE(korvel.waitForFinished(20000));
    // A clean exit: under the sanitizers, also one without leaks.
    EXPECT_EQ(std::pair(korvel.exitStatus(), korvel.exitCode()), std::pair(QProcess::NormalExit, 0))
        << korvel.readAllStandardError().toStdString();
    EXPECT_EQ(contents(file), expected);
}

INSTANTIATE_TEST_SUITE_P(PoliteSignals, TerminationTest,
                         ::testing::Values(Case{"TERM", SIGTERM, {{u"x"_s, QString()}}},
                                           Case{"HUP", SIGHUP, {{u"x"_s, QString()}}},
                                           Case{"INT", SIGINT, {{u"x"_s, QString()}}},
                                           Case{"TERMDuringFailingDerivationMessage",
                                                SIGTERM,
                                                {{u"ok"_s, u"ok = 1 +"_s}, {u"x"_s, QString()}}},
                                           Case{"TERMDuringPoolFullMessage", SIGTERM,
                                                poolAndOneMore()}),
                         [](const auto &info) { return std::string(info.param.name); });
#endif
