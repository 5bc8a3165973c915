// A message channel that remembers which messages it was asked to show.
#pragma once

#include "core/platform.h"

#include <QList>

class RecordingMessages : public Messages {
public:
    void show(Message message) override { shown.append(message); }
    QList<Message> shown;
};
