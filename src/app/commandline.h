// The command line: the data files a start opens, or an answer that ends the start.
#pragma once

#include <QStringList>

#include <variant>

/// Whether the command line asks for help or the version: those are answered without a
/// window, so also where no display can be reached.
bool asksForHelpOrVersion(int argc, char **argv);

/// The files the command line names, made absolute against the current folder; or the exit
/// status when an option is refused, after a usage line on standard error. Help and the
/// version are answered as Qt answers them, which ends the process.
std::variant<QStringList, int> filesFromCommandLine(const QStringList &arguments);
