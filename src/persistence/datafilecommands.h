// The Save and Open commands: the whole calculator state to a data file, and a data file
// merged into the running calculator. The format follows the chosen path's extension.
#pragma once

#include "core/platform.h"

#include <QString>

class Calculator;
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

/// Merges the data file at `path` into the calculator: the expression text replaced,
/// history appended, memories loaded into the load pool. Only a plain file is read, and
/// the open never waits (a pipe put in its place is left alone); one that cannot be opened
/// changes nothing. A file larger than 64 MiB is reported (Message::FileTooLarge) and not
/// read. `path` may hold bytes that are not UTF-8 as fileNameFromBytes keeps them. A full
/// load pool is reported once and ends the reading; then, as at the end of the file, the
/// parser is primed and the memory list rebuilt. A file that ends inside a field is reported
/// (Message::UnexpectedEndOfFile) and keeps what was read.
void openDataFileAt(Calculator &calculator, const QString &path);

/// Reads the data file in `device` (a text data file when `text` is set) into the
/// calculator, as openDataFileAt does once the file is open.
void mergeDataFile(QIODevice &device, bool text, Calculator &calculator);
