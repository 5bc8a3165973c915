#include "persistence/datafilecommands.h"

#include "core/calculator.h"
#include "core/platform.h"
#include "persistence/calculatordatafile.h"
#include "persistence/datafileformat.h"
#include "persistence/textdatafile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

// A text data file has the extension "csv" in any letter case; any other path is binary.
bool isTextDataFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(DataFileFormat::TextSuffix, Qt::CaseInsensitive) == 0;
}

} // namespace

void saveDataFile(Calculator &calculator, FileChooser &chooser)
{
    const QString path = chooser.choose(FileChooser::Purpose::Save);
    if (path.isEmpty())
        return;
    const CalculatorState state = calculator.state();
    const QByteArray bytes =
        isTextDataFile(path) ? writeTextDataFile(state) : writeCalculatorDataFile(state);
    if (!writeWholeFile(path, bytes))
        calculator.report(Message::CannotCreate);
}

// The bytes go to a new file beside the old one, which is renamed over it once they are
// all on disk; so a failure anywhere (a vanished folder, a full disk, a read-only place,
// the process killed) leaves the old one untouched.
bool writeWholeFile(const QString &path, const QByteArray &bytes, qint64 failAfter)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const qint64 writing =
        failAfter >= 0 ? std::min(failAfter, qint64(bytes.size())) : bytes.size();
    if (file.write(bytes.constData(), writing) != writing || writing < bytes.size())
        return false;
    return file.commit();
}

void openDataFile(Calculator &calculator, FileChooser &chooser)
{
    openDataFileAt(calculator, chooser.choose(FileChooser::Purpose::Open));
}

void openDataFileAt(Calculator &calculator, const QString &path)
{
    // Only a plain file: a folder has no data, and a pipe or a device could keep the
    // reading waiting for ever.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        mergeDataFile(file, isTextDataFile(path), calculator);
}

void mergeDataFile(QIODevice &device, bool text, Calculator &calculator)
{
    const ReadOutcome outcome =
        text ? readTextDataFile(device, calculator) : readCalculatorDataFile(device, calculator);
    if (outcome == ReadOutcome::EndOfFile) {
        calculator.report(Message::UnexpectedEndOfFile);
        return;
    }
    if (outcome == ReadOutcome::PoolFull)
        calculator.report(Message::MemoryPoolFull);
    calculator.primeAndRefresh();
}
