#include "persistence/datafilecommands.h"

#include "core/calculator.h"
#include "core/engine.h"
#include "core/messages.h"
#include "persistence/calculatordatafile.h"
#include "persistence/datafileformat.h"
#include "persistence/textdatafile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool isTextDataFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(DataFileFormat::TextSuffix, Qt::CaseInsensitive) == 0;
}

void saveDataFile(const QString &editText, Calculator &calculator, FileChooser &chooser)
{
    const QString path = chooser.choose(FileChooser::Purpose::Save);
    if (path.isEmpty())
        return;
    const QByteArray bytes =
        isTextDataFile(path)
            ? writeTextDataFile(editText, *calculator.history(), calculator.engine())
            : writeCalculatorDataFile(editText, *calculator.history(), calculator.engine());
    // The new file takes the old one's place only once it is whole, so a failure anywhere
    // (a vanished folder, a full disk, a read-only place) leaves the old one untouched.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        calculator.messages().show(Message::CannotCreate);
}

void openDataFile(Calculator &calculator, FileChooser &chooser)
{
    // Only a plain file: a folder has no data, and a pipe or a device could keep the
    // reading waiting for ever.
    const QString path = chooser.choose(FileChooser::Purpose::Open);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const ReadOutcome outcome = isTextDataFile(path) ? readTextDataFile(file, calculator)
                                                     : readCalculatorDataFile(file, calculator);
    if (outcome == ReadOutcome::EndOfFile) {
        calculator.messages().show(Message::UnexpectedEndOfFile);
        return;
    }
    if (outcome == ReadOutcome::PoolFull)
        calculator.messages().show(Message::MemoryPoolFull);
    calculator.engine().PrimeParser();
    calculator.refreshAndReport();
}
