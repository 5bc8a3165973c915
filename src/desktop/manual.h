// The user manual: a PDF beside the executable, in the language of the interface, opened
// with the desktop's own viewer.
#pragma once

#include "core/platform.h"

#include <QString>
#include <QStringList>

/// The manuals a program at `programPath` looks for, all in its directory: the manual of
/// the interface language, "pellix.pdf", and one named after the program.
class Manual {
public:
    explicit Manual(const QString &programPath);

    /// The three candidates in that order, the order they are searched in, built afresh in
    /// the current language.
    QStringList candidates() const;
    /// Whether any candidate exists.
    bool ManualExists() const;
    /// The candidate OpenManual opens: the first that exists; empty when none exists.
    QString toOpen() const;
    /// Opens toOpen(); nothing when no candidate exists.
    void OpenManual(DocumentOpener &opener) const;

private:
    QString m_programPath;
};
