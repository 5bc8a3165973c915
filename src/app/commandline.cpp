#include "app/commandline.h"

#include "persistence/filename.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <string_view>

#ifdef Q_OS_UNIX
#include <climits>
#include <unistd.h>
#endif

namespace {

// The options Qt's application classes and its X11 plugin take from the command line,
// each also with two dashes. Qt takes them wherever they stand, so they are known here
// only to pass them to Qt and to tell them from the arguments that are files.
constexpr std::string_view QtOptionsWithValue[] = {"platform",
                                                   "platformpluginpath",
                                                   "platformtheme",
                                                   "plugin",
                                                   "qwindowgeometry",
                                                   "geometry",
                                                   "qwindowtitle",
                                                   "title",
                                                   "qwindowicon",
                                                   "icon",
                                                   "session",
                                                   "style",
                                                   "stylesheet",
                                                   "display",
                                                   "name",
                                                   "visual"};
constexpr std::string_view QtFlags[] = {"reverse", "widgetcount", "sync",
                                        "nograb",  "dograb",      "testability"};
constexpr std::string_view QtOptionsWithEquals[] = {"style=", "stylesheet=", "qmljsdebugger="};

enum class Kind {
    File,
    QtFlag,
    QtWithValue,
    Own
};

Kind kindOf(std::string_view argument)
{
    if (argument.size() < 2 || argument[0] != '-')
        return Kind::File;
    std::string_view name = argument.substr(argument[1] == '-' ? 2 : 1);
    for (const std::string_view option : QtOptionsWithValue) {
        if (name == option)
            return Kind::QtWithValue;
    }
    for (const std::string_view flag : QtFlags) {
        if (name == flag)
            return Kind::QtFlag;
    }
    for (const std::string_view option : QtOptionsWithEquals) {
        if (name.starts_with(option))
            return Kind::QtFlag;
    }
    return Kind::Own;
}

QString currentFolder()
{
#ifdef Q_OS_UNIX
    char folder[PATH_MAX];
    if (::getcwd(folder, sizeof folder))
        return fileNameFromBytes(QByteArray(folder));
#endif
    return QDir::currentPath();
}

QString absoluteFileName(const char *argument, const QString &folder)
{
    const QString name = fileNameFromBytes(QByteArray(argument));
    return QDir::cleanPath(QDir::isRelativePath(name) ? folder + u'/' + name : name);
}

} // namespace

CommandLine readCommandLine(int argc, char **argv)
{
    CommandLine line;
    if (argc > 0)
        line.qtArguments.push_back(argv[0]);
    QString folder;
    bool filesOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        const Kind kind = filesOnly ? Kind::File : kindOf(argument);
        if (!filesOnly && argument == "--") {
            filesOnly = true;
            continue;
        }
        switch (kind) {
        case Kind::File:
            if (folder.isNull())
                folder = currentFolder();
            line.files.append(absoluteFileName(argv[i], folder));
            break;
        case Kind::QtWithValue:
            line.namesPlatform = line.namesPlatform || argument.ends_with("-platform");
            line.qtArguments.push_back(argv[i]);
            if (i + 1 < argc)
                line.qtArguments.push_back(argv[++i]);
            break;
        case Kind::QtFlag:
            line.qtArguments.push_back(argv[i]);
            break;
        case Kind::Own:
            line.options.append(QString::fromLocal8Bit(argv[i]));
            break;
        }
    }
    line.qtArguments.push_back(nullptr);
    return line;
}

int answerOptions(const QStringList &options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Korvel, a calculator for expressions with memories."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A data file (.cdf or .csv) to open."),
                                 QStringLiteral("[file...]"));
    const QStringList arguments = QCoreApplication::arguments().mid(0, 1) + options;
    // Help and the version win over an option that is not known.
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(version))
        parser.showVersion();
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all")))
        parser.showHelp(0);
    // The help's first line is the usage line.
    std::fprintf(stderr, "%s\n%s\n",
                 qPrintable(parsed ? QStringLiteral("Unknown option.") : parser.errorText()),
                 qPrintable(parser.helpText().section(u'\n', 0, 0)));
    return 2;
}

bool windowSystemNamed(const CommandLine &commandLine)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    return commandLine.namesPlatform || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
           || !qEnvironmentVariableIsEmpty("DISPLAY")
           || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    Q_UNUSED(commandLine);
    return true;
#endif
}
