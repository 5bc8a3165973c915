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

QStringList Manual::candidates() const
{
    const QFileInfo program(m_programPath);
    const QDir folder = program.absoluteDir();
    //: The file name, without ".pdf", of the manual in this language.
    const QString language = QCoreApplication::translate("Manual", "calc_manual_en");
    const QString pdf = QStringLiteral(".pdf");
    return {folder.filePath(program.completeBaseName() + pdf),
            folder.filePath(QStringLiteral("pellix") + pdf), folder.filePath(language + pdf)};
}

bool Manual::ManualExists() const
{
    const QStringList paths = candidates();
    return std::any_of(paths.begin(), paths.end(), FileExists);
}

QString Manual::toOpen() const
{
    const QStringList paths = candidates();
    const auto found = std::find_if(paths.rbegin(), paths.rend(), FileExists);
    return found == paths.rend() ? QString() : *found;
}

void Manual::OpenManual(DocumentOpener &opener) const
{
    const QString path = toOpen();
    if (!path.isEmpty())
        opener.open(path);
}
