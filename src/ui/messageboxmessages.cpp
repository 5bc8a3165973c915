#include "ui/messageboxmessages.h"

#include <QCoreApplication>
#include <QMessageBox>

MessageBoxMessages::MessageBoxMessages(QWidget *parent)
    : m_parent(parent)
{
}

void MessageBoxMessages::setParentWidget(QWidget *parent)
{
    m_parent = parent;
}

void MessageBoxMessages::warning(const QString &text)
{
    QMessageBox::warning(m_parent, QCoreApplication::applicationName(), text, QMessageBox::Ok);
}
