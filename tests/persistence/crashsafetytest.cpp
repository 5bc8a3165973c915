// Nothing saved is ever half there: a write that fails at any byte, and a process killed
// while it saves the settings, leave one whole state behind.
#include "persistence/datafilecommands.h"
#include "persistence/qsettingsstore.h"
#include "persistence/savedstate.h"
#include "support/qtprinters.h"
#include "support/statelines.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
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
// A helper process saves state A or B to the settings store the way Korvel closes, over and
// over, and is killed somewhere inside a save: what it leaves restores to A or B whole.
TEST(CrashSafety, AKilledSettingsSaveLeavesOneWholeState)
{
    const QTemporaryDir dir;
    const auto outcome = [](const QString &path) {
        const QSettingsStore store(path);
        TestCalculator calc;
        calc.calculator.setExpressionText(RestoreHistory(store, *calc.calculator.history()));
        RestoreMemories(store, calc.calculator);
        return stateLines(calc.calculator.state());
    };
    const auto save = [](const QString &path, const QString &mode, const QString &state) {
        auto helper = std::make_unique<QProcess>();
        helper->start(QStringLiteral(KORVEL_SAVESTORM), {path, mode, state});
        return helper;
    };
    QStringList states[2];
    for (int b = 0; b < 2; ++b) {
        const QString reference = dir.filePath(u"reference%1"_s.arg(b));
        auto helper = save(reference, u"once"_s, b ? u"B"_s : u"A"_s);
        ASSERT_TRUE(helper->waitForFinished(20000) && helper->exitCode() == 0);
        states[b] = outcome(reference);
    }
    ASSERT_NE(states[0], states[1]);
    const QString path = dir.filePath(u"state"_s);
    std::mt19937 random(7);
    for (int round = 0; round < 8; ++round) {
        auto helper = save(path, u"loop"_s, round % 2 ? u"A"_s : u"B"_s);
        // A save killed while it wrote the settings' lock file leaves one QLockFile cannot
        // read; the next save takes it over only when it is 30 s old.
        ASSERT_TRUE(helper->waitForReadyRead(60000)) << "the helper never saved";
        QThread::usleep(random() % 20000); // somewhere inside a later save
        helper->kill();
        ASSERT_TRUE(helper->waitForFinished(20000));
        const QStringList left = outcome(path);
        EXPECT_TRUE(left == states[0] || left == states[1])
            << "round " << round << ": " << qPrintable(left.join(u' '));
    }
}
#endif
