#include "app/commandline.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

bool asksForHelpOrVersion(int argc, char **argv)
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        for (const char *option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

std::variant<QStringList, int> filesFromCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Korvel, a calculator for expressions with memories."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A data file (.cdf or .csv) to open."),
                                 QStringLiteral("[file...]"));
    // Without a display only QCoreApplication runs, and the options of Qt's windowing part
    // (-platform, -style, ...) are still there, unknown to this parser: help and the
    // version are answered all the same. A started QApplication has taken them out.
    if (parser.parse(arguments)) {
        parser.process(arguments);
    } else if (parser.isSet(version)) {
        parser.showVersion();
    } else if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        parser.showHelp(0);
    } else {
        // The help's first line is the usage line.
        std::fprintf(stderr, "%s\n%s\n", qPrintable(parser.errorText()),
                     qPrintable(parser.helpText().section(u'\n', 0, 0)));
        return 2;
    }
    QStringList files;
    for (const QString &file : parser.positionalArguments())
        files.append(QFileInfo(file).absoluteFilePath());
    return files;
}
