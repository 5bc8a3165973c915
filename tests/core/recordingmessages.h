// A message channel that remembers what it was asked to show.
#pragma once

#include "core/messages.h"

#include <QStringList>

class RecordingMessages : public Messages {
public:
    void warning(const QString &text) override { shown.append(text); }
    QStringList shown;
};
