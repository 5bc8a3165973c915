#include "persistence/datafilecommands.h"

#include "core/calculator.h"
#include "core/platform.h"
#include "persistence/calculatordatafile.h"
#include "persistence/datafileformat.h"
#include "persistence/filename.h"
#include "persistence/textdatafile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <optional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

enum class Opening {
    Opened,
    NotOpened,
    TooLarge
};

// Opens `path` for reading only when it is a plain file. The open itself never waits (a
// pipe without a writer would keep it waiting for ever, and the name may be swapped for
// one after any look at it), and the file that was opened is what is checked. A device,
// or a link to one, is not even opened: opening some devices does something.
Opening openPlainFile(const QString &path, QFile &file)
{
#ifdef Q_OS_UNIX
    const QByteArray name = fileNameBytes(path);
    struct stat info;
    if (::stat(name.constData(), &info) != 0 || S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return Opening::NotOpened;
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return Opening::NotOpened;
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return Opening::NotOpened;
    }
    if (info.st_size > DataFileFormat::MaxFileBytes) {
        ::close(descriptor);
        return Opening::TooLarge;
    }
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return Opening::NotOpened;
    }
    return Opening::Opened;
#else
    file.setFileName(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return Opening::NotOpened;
    return file.size() > DataFileFormat::MaxFileBytes ? Opening::TooLarge : Opening::Opened;
#endif
}

// The whole file, read in steps until its end: its size said at the open is only a
// claim, and a file that grows while it is read is cut off at the limit. Nothing when it
// turns out larger than the limit.
std::optional<QByteArray> readWhole(QFile &file)
{
    QByteArray bytes;
    char step[DataFileFormat::ReadStep];
    for (;;) {
        const qint64 count = file.read(step, sizeof step);
        if (count <= 0)
            return bytes;
        if (bytes.size() + count > DataFileFormat::MaxFileBytes)
            return std::nullopt;
        // Doubling, but never beyond the limit.
        if (bytes.capacity() < bytes.size() + count) {
            bytes.reserve(std::min(std::max(2 * bytes.capacity(), bytes.size() + count),
                                   qsizetype(DataFileFormat::MaxFileBytes)));
        }
        bytes.append(step, count);
    }
}

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
    if (const std::optional<ReadState> read = readDataFileAt(path))
        calculator.merge(*read);
}

std::optional<ReadState> readDataFileAt(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    QFile file;
    std::optional<QByteArray> bytes;
    switch (openPlainFile(path, file)) {
    case Opening::NotOpened:
        return std::nullopt;
    case Opening::TooLarge:
        break;
    case Opening::Opened:
        bytes = readWhole(file);
        break;
    }
    if (!bytes) {
        ReadState unreadable;
        unreadable.end = ReadState::End::Unreadable;
        return unreadable;
    }
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    return readDataFile(buffer, isTextDataFile(path));
}

ReadState readDataFile(QIODevice &device, bool text)
{
    return text ? readTextDataFile(device) : readCalculatorDataFile(device);
}
