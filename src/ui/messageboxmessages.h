// The calculator's messages shown to the user in message boxes.
#pragma once

#include "core/messages.h"

#include <QPointer>
#include <QWidget>

class MessageBoxMessages : public Messages {
public:
    explicit MessageBoxMessages(QWidget *parent = nullptr);

    /// The window the message boxes are modal to; the dialog exists only after the
    /// calculator that reports through this object, so it is set afterwards.
    void setParentWidget(QWidget *parent);

    void warning(const QString &text) override;

private:
    QPointer<QWidget> m_parent;
};
