// Nothing saved is ever half there: a write that fails at any byte, a process killed while
// it saves a data file or the settings, and two processes closing at the same moment all
// leave one whole state behind.
#include "core/engine.h"
#include "core/historymodel.h"
#include "persistence/datafilecommands.h"
#include "persistence/qsettingsstore.h"
#include "persistence/settingsfile.h"
#include "support/qtprinters.h"
#include "support/recordingmessages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <random>

using namespace Qt::StringLiterals;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

} // namespace

TEST(CrashSafety, AWriteThatFailsAtAnyByteLeavesTheOldFileWhole)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(u"state.cdf"_s);
    const QByteArray before(300, 'o'), after(500, 'n');
    ASSERT_TRUE(writeWholeFile(path, before));
    for (qint64 at = 0; at < after.size(); at += 7)
        ASSERT_FALSE(writeWholeFile(path, after, at)) << at;
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"state.cdf"_s});
    EXPECT_TRUE(writeWholeFile(path, after, after.size()));
    EXPECT_EQ(contents(path), after);
}

#if defined(KORVEL_SAVESTORM) && defined(Q_OS_LINUX)
// A helper process saves state A or B the way Korvel does; what it leaves is compared with
// what it leaves when it saves undisturbed.
class SaveStorm : public ::testing::TestWithParam<const char *> {
protected:
    // What the saved file restores to: the bytes of a data file, or the state the settings
    // store gives back.
    QStringList outcome(const QString &path) const
    {
        if (QString::fromLatin1(GetParam()) == u"datafile"_s)
            return {QString::fromLatin1(contents(path).toHex())};
        const QSettingsStore store(path);
        Engine engine;
        engine.StartEngine();
        HistoryModel history;
        RecordingMessages messages;
        QStringList lines{RestoreHistory(store, history)};
        lines += history.entries();
        RestoreMemories(store, engine, messages);
        for (const auto &[name, slot] : engine.memories())
            lines.append(name + u'=' + QString::number(*slot));
        return lines;
    }

    QStringList saveOnce(const QString &path, const char *state) const
    {
        QProcess helper;
        helper.start(QStringLiteral(KORVEL_SAVESTORM), {QString::fromLatin1(GetParam()), path,
                                                        u"once"_s, QString::fromLatin1(state)});
        EXPECT_TRUE(helper.waitForFinished(20000) && helper.exitCode() == 0) << state;
        return outcome(path);
    }

    QTemporaryDir m_dir;
};

TEST_P(SaveStorm, AKilledSaveLeavesOneWholeState)
{
    const QString reference = m_dir.filePath(u"reference"_s);
    const QStringList a = saveOnce(reference, "A"), b = saveOnce(reference, "B");
    ASSERT_NE(a, b);
    const QString path = m_dir.filePath(u"state"_s);
    std::mt19937 random(7);
    for (int round = 0; round < 8; ++round) {
        QProcess helper;
        helper.start(QStringLiteral(KORVEL_SAVESTORM), {QString::fromLatin1(GetParam()), path,
                                                        u"loop"_s, round % 2 ? u"A"_s : u"B"_s});
        // A save killed while it wrote the settings' lock file leaves one QLockFile cannot
        // read; the next save takes it over only when it is 30 s old.
        ASSERT_TRUE(helper.waitForReadyRead(60000)) << "the helper never saved";
        QThread::usleep(random() % 20000); // somewhere inside a later save
        helper.kill();
        ASSERT_TRUE(helper.waitForFinished(20000));
        const QStringList left = outcome(path);
        EXPECT_TRUE(left == a || left == b)
            << "round " << round << ": " << left.join(u' ').toStdString();
    }
}

// Two runs of Korvel closing at once: the settings file holds one of them whole.
TEST_P(SaveStorm, TwoSavesAtOnceLeaveOneWholeState)
{
    const QString reference = m_dir.filePath(u"reference"_s);
    const QStringList a = saveOnce(reference, "A"), b = saveOnce(reference, "B");
    const QString path = m_dir.filePath(u"both"_s);
    for (int round = 0; round < 6; ++round) {
        QProcess first, second;
        first.start(QStringLiteral(KORVEL_SAVESTORM),
                    {QString::fromLatin1(GetParam()), path, u"once"_s, u"A"_s});
        second.start(QStringLiteral(KORVEL_SAVESTORM),
                     {QString::fromLatin1(GetParam()), path, u"once"_s, u"B"_s});
        ASSERT_TRUE(first.waitForFinished(20000) && second.waitForFinished(20000));
        const QStringList left = outcome(path);
        EXPECT_TRUE(left == a || left == b)
            << "round " << round << ": " << left.join(u' ').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Files, SaveStorm, ::testing::Values("datafile", "settings"),
                         [](const auto &info) { return std::string(info.param); });
#endif
