// State kept between runs: the dialog writes the settings file when it closes and the
// next dialog reads it back, through real QSettings files in a temporary folder.
#include "dialogfixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTreeView>

#include <csignal>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

QString storedString(const QString &file, const QString &key)
{
    return QSettings(file, QSettings::IniFormat).value(key).toString();
}

} // namespace

TEST_F(DialogTest, WorkSurvivesARestart)
{
    open();
    calculate(u"@a = 3*4"_s);
    calculate(u"b = a + 1"_s);
    calculate(u"c = 0.1"_s);
    calculate(u"1/3"_s);
    QTest::keyClick(expression(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(expression(), u"a*b"_s); // typed, never calculated
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_FALSE(m_dialog->isVisible());

    open();
    EXPECT_EQ(history(), (QStringList{u"1/3"_s, u"c = 0.1"_s, u"b = a + 1"_s, u"@a = 3*4"_s}));
    EXPECT_EQ(expressionEdit()->text(), u"a*b"_s);
    EXPECT_EQ(expressionEdit()->selectedText(), u"a*b"_s);
    EXPECT_EQ(QApplication::focusWidget(), expression());
    EXPECT_EQ(memoryColumn(0), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    EXPECT_EQ(memoryColumn(1), (QStringList{u"12"_s, u"13"_s, u"0,1"_s}));
    EXPECT_EQ(memoryColumn(2), (QStringList{u"a = 3*4"_s, QString(), QString()}));
    ASSERT_NE(m_engine->memory(u"c"_s), nullptr);
    EXPECT_EQ(*m_engine->memory(u"c"_s), 0.1); // bit for bit, not via the shown text
    EXPECT_TRUE(m_messages.shown.isEmpty());

    // The derivation still applies in the new run.
    calculate(u"a = 1"_s);
    EXPECT_EQ(memoryColumn(1).value(0), u"12"_s);
}

TEST_F(DialogTest, EveryWayOfClosingWritesTheStoreOnce)
{
    const std::pair<const char *, std::function<void()>> ways[] = {
        {"Esc", [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }},
        {"close box", [this] { m_dialog->close(); }},
        {"Out", [this] { QTest::mouseClick(button(Id::Out), Qt::LeftButton); }},
    };
    for (const auto &[name, close] : ways) {
        QFile::remove(settingsFile());
        open();
        calculate(u"x = 5"_s);
        EXPECT_FALSE(QFile::exists(settingsFile())) << name << ": written before the close";
        close();
        ASSERT_TRUE(QFile::exists(settingsFile())) << name;
        EXPECT_EQ(storedString(settingsFile(), u"Variabelen/naam001"_s), u"x"_s) << name;

        // Whatever else asks the ended dialog to close writes nothing more.
        QFile::remove(settingsFile());
        m_dialog->close();
        m_dialog->closeCommand();
        m_store->sync();
        EXPECT_FALSE(QFile::exists(settingsFile())) << name << ": written twice";
    }
}

TEST_F(DialogTest, DamagedSettingsFileStillOpens)
{
    const QByteArray damaged[] = {
        QByteArray("\x00\xff\xfe[Expressies\n=\x01\x02", 14),
        QByteArray("[Variabelen]\naantal=2\nnaam001=1abc\nwaarde001=zz\nnaam002=ok\n"
                   "waarde002=@ByteArray(\\0\\0)\nafleiding002=ok = 1 +\n"
                   "[Expressies]\naantal=-5\nedit=@Variant(\\0\\0\\0\\x7f)\n"),
    };
    const QStringList messagesAtStart[] = {
        {},
        // "ok" comes back with value 0, but its derivation cannot be evaluated.
        {u"De ingevoerde expressie kan niet worden uitgerekend!"_s},
    };
    for (int i = 0; i < 2; ++i) {
        const QByteArray &bytes = damaged[i];
        QFile file(settingsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();

        open();
        EXPECT_TRUE(m_dialog->isVisible());
        EXPECT_EQ(m_messages.shown, messagesAtStart[i]);
        EXPECT_EQ(memoryColumn(0), i == 0 ? QStringList() : QStringList{u"ok"_s});
        EXPECT_EQ(memoryColumn(1), i == 0 ? QStringList() : QStringList{u"0"_s});
        calculate(u"2+2"_s);
        EXPECT_EQ(resultField()->text(), u"4"_s);
        m_dialog->close();
    }
}

TEST_F(DialogTest, FullLoadPoolIsReportedOnceAtStart)
{
    {
        QSettings seed(settingsFile(), QSettings::IniFormat);
        seed.setValue(u"Variabelen/aantal"_s, 1000);
        for (int k = 1; k <= 1000; ++k)
            seed.setValue(u"Variabelen/naam%1"_s.arg(k, 3, 10, QLatin1Char('0')), u"m%1"_s.arg(k));
    }
    open();
    EXPECT_EQ(m_messages.shown, QStringList{u"Maximaal aantal geheugens bereikt!"_s});
    EXPECT_EQ(memoryList()->model()->rowCount(), 999);
    EXPECT_EQ(m_engine->memory(u"m1000"_s), nullptr);
}

#ifdef KORVEL_EXECUTABLE
// Korvel as a process: a polite request to end it is a close, so the work is kept.
class TerminationTest : public ::testing::TestWithParam<int> {};

namespace {

// True once the process has its own handler for `signal`, read from /proc.
bool catchesSignal(qint64 pid, int signal)
{
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

} // namespace

TEST_P(TerminationTest, SignalClosesAndSaves)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString file = home.filePath(u"config/Tamsard/korvel.conf"_s);
    {
        QSettings seed(file, QSettings::IniFormat);
        seed.setValue(u"Expressies/edit"_s, u"7*6"_s);
        seed.setValue(u"Variabelen/aantal"_s, 1);
        seed.setValue(u"Variabelen/naam001"_s, u"a"_s);
        seed.setValue(u"Variabelen/waarde001"_s, QByteArray("\0\0\0\0\0\0\x28\x40", 8));
        seed.setValue(u"Variabelen/afleiding001"_s, u"a = 3*4"_s);
    }

    QProcess korvel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"HOME"_s, home.path());
    environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
    korvel.setProcessEnvironment(environment);
    korvel.start(QStringLiteral(KORVEL_EXECUTABLE), {});
    ASSERT_TRUE(korvel.waitForStarted(10000));

    bool ready = false;
    for (int i = 0; i < 500 && !ready; ++i) {
        ready = catchesSignal(korvel.processId(), GetParam());
        if (!ready)
            QTest::qWait(20);
    }
    ASSERT_TRUE(ready) << "korvel never installed its handler";
    ::kill(pid_t(korvel.processId()), GetParam());
    ASSERT_TRUE(korvel.waitForFinished(10000));
    EXPECT_EQ(korvel.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(korvel.exitCode(), 0);

    // Only a run that saved writes the history count; the memory comes back intact.
    QSettings written(file, QSettings::IniFormat);
    EXPECT_EQ(written.value(u"Expressies/aantal"_s).toString(), u"0"_s);
    EXPECT_EQ(written.value(u"Expressies/edit"_s).toString(), u"7*6"_s);
    EXPECT_EQ(written.value(u"Variabelen/naam001"_s).toString(), u"a"_s);
    EXPECT_EQ(written.value(u"Variabelen/waarde001"_s).toByteArray(),
              QByteArray("\0\0\0\0\0\0\x28\x40", 8));
    EXPECT_EQ(written.value(u"Variabelen/afleiding001"_s).toString(), u"a = 3*4"_s);
}

INSTANTIATE_TEST_SUITE_P(PoliteSignals, TerminationTest, ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return std::string(info.param == SIGTERM  ? "SIGTERM"
                                                : info.param == SIGHUP ? "SIGHUP"
                                                                       : "SIGINT");
                         });
#endif
