// The start-up fed with any bytes as its settings file, through the real QSettings store:
// it ends, and the state it reached comes back whole when the close writes it and the next
// start reads it again.
#include "fuzzsupport.h"
#include "persistence/qsettingsstore.h"
#include "persistence/savedstate.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QTemporaryDir dir;
    const QString damaged = dir.filePath(QStringLiteral("damaged.conf"));
    const QString written = dir.filePath(QStringLiteral("written.conf"));
    QFile::remove(written);
    {
        QFile file(damaged);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the input");
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    FuzzCalculator first;
    {
        const QSettingsStore store(damaged);
        startUp(store, first.calculator);
    }
    {
        QSettingsStore store(written);
        closeDown(store, first.calculator);
    }
    const QSettingsStore store(written);
    requireSame(restored(store), asClosed(first.saved(), first.calculator.history()->rowCount()),
                "a close and a start changed the state");
    return 0;
}
