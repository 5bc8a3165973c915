#include "desktop/manual.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Whether `path` names a file that can be opened for reading; an empty file counts.
bool FileExists(const QString &path)
{
    QFile file(path);
    return !path.isEmpty() && file.open(QIODevice::ReadOnly);
}

} // namespace

Manual::Manual(const QString &programPath)
    : m_programPath(programPath)
{
}

// In the order they are searched: the language's manual wins over the two fallbacks, the
// fixed name "pellix", under which a manual is found whatever the program is called, and
// the program's own name.
QStringList Manual::candidates() const
{
    const QFileInfo program(m_programPath);
    const QDir folder = program.absoluteDir();
    //: The file name, without ".pdf", of the manual in this language.
    const QString language = QCoreApplication::translate("Manual", "calc_manual_en");
    const QString pdf = QStringLiteral(".pdf");
    return {folder.filePath(language + pdf), folder.filePath(QStringLiteral("pellix") + pdf),
            folder.filePath(program.completeBaseName() + pdf)};
}

bool Manual::ManualExists() const
{
    return !toOpen().isEmpty();
}

QString Manual::toOpen() const
{
    const QStringList paths = candidates();
    const auto found = std::find_if(paths.begin(), paths.end(), FileExists);
    return found == paths.end() ? QString() : *found;
}

void Manual::OpenManual(DocumentOpener &opener) const
{
    const QString path = toOpen();
    if (!path.isEmpty())
        opener.open(path);
}
