// A file chooser that gives the answers a test scripted, and remembers what it was asked.
#pragma once

#include "persistence/datafilecommands.h"

#include <QList>
#include <QStringList>

class ScriptedFileChooser : public FileChooser {
public:
    QString choose(Purpose purpose) override
    {
        asked.append(purpose);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers; ///< the paths to give, in order; then cancel
    QList<Purpose> asked;
};
