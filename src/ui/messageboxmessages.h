// The calculator's messages, in words, shown to the user in message boxes.
#pragma once

#include "core/platform.h"

#include <QPointer>
#include <QString>
#include <QWidget>

/// The words of a message: fixed Dutch texts, whatever the interface language.
QString messageText(Message message);

class MessageBoxMessages : public Messages {
public:
    explicit MessageBoxMessages(QWidget *parent = nullptr);

    /// The window the message boxes are modal to; the dialog exists only after the
    /// calculator that reports through this object, so it is set afterwards.
    void setParentWidget(QWidget *parent);

    /// The run is ending: no message box opens from now on, so that nothing waits for a
    /// user who is leaving.
    void endRun();

    /// Shows the message under the program's name and waits for OK.
    void show(Message message) override;

private:
    QPointer<QWidget> m_parent;
    bool m_ended = false;
};
