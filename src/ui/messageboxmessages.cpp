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

void MessageBoxMessages::warning(Message message)
{
    if (m_ended)
        return;
    // Qt adds the display name to a window title that does not already end in it, so the
    // display name alone makes the title bar read just the program's name.
    QMessageBox::warning(m_parent, QGuiApplication::applicationDisplayName(), messageText(message),
                         QMessageBox::Ok);
}
