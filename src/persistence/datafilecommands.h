// The Save and Open commands: the whole calculator state to a data file, and a data file
// merged into the running calculator. The format follows the chosen path's extension.
#pragma once

#include "core/calculator.h"
#include "core/platform.h"

#include <QString>

#include <optional>

class QIODevice;

/// Puts `bytes` in the file at `path`, replacing what was there only once all of them are
/// written: a failure, or the end of the process, at any moment leaves the old file whole.
/// `failAfter`, when not negative, makes the writing fail after that many bytes, as a full
/// disk or a crash there would. Returns whether the new file is in place.
bool writeWholeFile(const QString &path, const QByteArray &bytes, qint64 failAfter = -1);

/// Writes the calculator's state to a path the user chooses. The file is replaced only by a
/// complete new one; when that cannot be done the user is told (Message::CannotCreate) and
/// the old file stays as it was.
void saveDataFile(Calculator &calculator, FileChooser &chooser);

/// Merges a data file the user chooses into the calculator, as openDataFileAt does.
void openDataFile(Calculator &calculator, FileChooser &chooser);

/// Merges the data file at `path` into the calculator (Calculator::merge): the expression
/// text replaced, history appended, memories loaded into the load pool. A file that
/// readDataFileAt cannot open changes nothing.
void openDataFileAt(Calculator &calculator, const QString &path);

/// What the data file at `path` holds, or nothing when it cannot be opened. Only a plain
/// file is read, and the open never waits (a pipe put in its place is left alone). A file
/// larger than 64 MiB is not read (ReadState::End::Unreadable). `path` may hold bytes that
/// are not UTF-8 as fileNameFromBytes keeps them.
std::optional<ReadState> readDataFileAt(const QString &path);

/// What the data file in `device` holds: a text data file when `text` is set, else a
/// Calculator Data File.
ReadState readDataFile(QIODevice &device, bool text);
