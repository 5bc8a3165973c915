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

TEST_F(DialogTest, DamagedSettingsFileStillOpens)
{
    // Bad names, values, counts and types, then bytes that are no text at all.
    const char bytes[] = "[Variabelen]\naantal=2\nnaam001=1abc\nwaarde001=zz\nnaam002=ok\n"
                         "waarde002=@ByteArray(\\0\\0)\nafleiding002=ok = 1 +\n"
                         "[Expressies]\naantal=-5\nedit=@Variant(\\0\\0\\0\\x7f)\n"
                         "\x00\xff\xfe[Expressies\n=\x01\x02";
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QFile::WriteOnly) && file.write(bytes, sizeof bytes - 1) && file.flush());
    open();
    // "ok" comes back with value 0, but its derivation cannot be evaluated.
    EXPECT_EQ(m_messages.shown,
              QStringList{u"De ingevoerde expressie kan niet worden uitgerekend!"_s});
    EXPECT_EQ(memories(), QStringList{u"ok | 0 | ok = 1 +"_s});
    calculate(u"2+2"_s);
    EXPECT_EQ(resultField()->text(), u"4"_s);
}

TEST_F(DialogTest, FullLoadPoolIsReportedOnceAtStart)
{
    QSettings seed(settingsFile(), QSettings::IniFormat);
    seed.setValue(u"Variabelen/aantal"_s, 1000);
    for (int k = 1; k <= 1000; ++k)
        seed.setValue(u"Variabelen/naam%1"_s.arg(k, 3, 10, QLatin1Char('0')), u"m%1"_s.arg(k));
    seed.sync();
    open();
    EXPECT_EQ(m_messages.shown, QStringList{u"Maximaal aantal geheugens bereikt!"_s});
    EXPECT_EQ(memories().size(), 999);
}

#ifdef KORVEL_EXECUTABLE
// Korvel as a process: a polite request to end it is a close, so the work is kept.
class TerminationTest : public ::testing::TestWithParam<int> {};

TEST_P(TerminationTest, SignalClosesAndSaves)
{
    QTemporaryDir config;
    const QString file = config.filePath(u"Tamsard/korvel.conf"_s);
    QSettings(file, QSettings::IniFormat).setValue(u"Expressies/edit"_s, u"7*6"_s);
    QProcess korvel;
    korvel.setEnvironment(QProcess::systemEnvironment() << u"XDG_CONFIG_HOME="_s + config.path());
    korvel.start(QStringLiteral(KORVEL_EXECUTABLE), {});
    // Korvel is ready once /proc shows its own handler for the signal.
    const auto ready = [&korvel, bit = quint64(1) << (GetParam() - 1)] {
        QFile status(u"/proc/%1/status"_s.arg(korvel.processId()));
        const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : "";
        return text.mid(text.indexOf("SigCgt:") + 7, 18).trimmed().toULongLong(nullptr, 16) & bit;
    };
    ASSERT_TRUE(QTest::qWaitFor(ready, 10000)) << "korvel never installed its handler";
    ::kill(pid_t(korvel.processId()), GetParam());
    ASSERT_TRUE(korvel.waitForFinished(10000));
    // Only a run that saved writes the history count.
    const QSettings written(file, QSettings::IniFormat);
    EXPECT_EQ(std::pair(written.value(u"Expressies/aantal"_s), written.value(u"Expressies/edit"_s)),
              std::pair(QVariant(u"0"_s), QVariant(u"7*6"_s)));
}

INSTANTIATE_TEST_SUITE_P(PoliteSignals, TerminationTest, ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const auto &info) { return std::string(sigabbrev_np(info.param)); });
#endif
