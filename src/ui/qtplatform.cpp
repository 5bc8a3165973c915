#include "ui/qtplatform.h"

#include "persistence/datafileformat.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QUrl>

namespace {

// The chooser's choices, in this order; the first is selected at first.
const QStringList Filters{QStringLiteral("Calculator Data File (*.cdf)"),
                          QStringLiteral("CSV-bestand (*.csv)"),
                          QStringLiteral("Alle bestanden (*.*)")};

} // namespace

void QtFileChooser::setParentWidget(QWidget *parent)
{
    m_parent = parent;
}

QString QtFileChooser::choose(Purpose purpose)
{
    const bool saving = purpose == Purpose::Save;
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(Filters);
    dialog.selectNameFilter(Filters.first());
    dialog.setDefaultSuffix(DataFileFormat::DefaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

void QtClipboard::setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

bool QtKeyboard::shiftHeld() const
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

void QtDocumentOpener::open(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

DialogPlatform QtPlatform::forDialog(const QString &programPath)
{
    return {files, clipboard, keyboard, documents, programPath};
}

void QtPlatform::setParentWidget(QWidget *window)
{
    messages.setParentWidget(window);
    files.setParentWidget(window);
}
