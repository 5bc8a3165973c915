#include "ui/qtplatform.h"

#include "persistence/datafileformat.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QUrl>

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
    dialog.setNameFilters(DataFileFormat::Filters);
    dialog.selectNameFilter(DataFileFormat::Filters.first());
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
