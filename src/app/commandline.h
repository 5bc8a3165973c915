// The command line, sorted out before any Qt application exists: Qt's own options, which
// go to the application; Korvel's options, answered without a window; and the data files
// a start opens.
#pragma once

#include <QStringList>

#include <vector>

struct CommandLine {
    /// The program's name and Qt's own options (-platform, -style, ...) with their values,
    /// for the application; ends with a null pointer, as argv does.
    std::vector<char *> qtArguments;
    /// Options of Korvel's own: help, the version, or ones it does not know.
    QStringList options;
    /// The files to open, made absolute against the current folder, in the order given.
    /// Each name keeps every byte of the argument, also when it is not UTF-8.
    QStringList files;
    /// Whether the command line names the window system itself (-platform).
    bool namesPlatform = false;
};

/// Sorts `argv`. After "--" every argument is a file, even one that looks like an option.
CommandLine readCommandLine(int argc, char **argv);

/// Answers Korvel's own options as a QCoreApplication's command line: help and the
/// version end the process; any other option gives an error and the usage line on
/// standard error, and the exit status 2.
int answerOptions(const QStringList &options);

/// Whether Qt can be expected to find a window system: one named on the command line or
/// in the environment, or a display of X11 or Wayland.
bool windowSystemNamed(const CommandLine &commandLine);
