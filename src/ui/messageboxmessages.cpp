#include "ui/messageboxmessages.h"

#include <QGuiApplication>
#include <QMessageBox>

QString messageText(Message message)
{
    switch (message) {
    case Message::CannotEvaluate:
        return QStringLiteral("De ingevoerde expressie kan niet worden uitgerekend!");
    case Message::MemoryPoolFull:
        return QStringLiteral("Maximaal aantal geheugens bereikt!");
    case Message::UnexpectedEndOfFile:
        return QStringLiteral("Onverwacht einde van het bestand.");
    case Message::CannotCreate:
        return QStringLiteral("Bestand kan niet gemaakt worden");
    case Message::FileTooLarge:
        return QStringLiteral("Bestand is te groot om te openen");
    }
    return {};
}

MessageBoxMessages::MessageBoxMessages(QWidget *parent)
    : m_parent(parent)
{
}

void MessageBoxMessages::setParentWidget(QWidget *parent)
{
    m_parent = parent;
}

void MessageBoxMessages::endRun()
{
    m_ended = true;
}

void MessageBoxMessages::show(Message message)
{
    if (m_ended)
        return;
    // Qt adds the display name to a window title that does not already end in it, so the
    // display name alone makes the title bar read just the program's name.
    const QString title = QGuiApplication::applicationDisplayName();
    // A damaged file is an error the reading could not get past; everything else warns.
    if (message == Message::UnexpectedEndOfFile)
        QMessageBox::critical(m_parent, title, messageText(message), QMessageBox::Ok);
    else
        QMessageBox::warning(m_parent, title, messageText(message), QMessageBox::Ok);
}
