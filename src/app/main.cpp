// Korvel, a calculator for expressions with memories.
#include "app/ccorvalinapp.h"
#include "app/commandline.h"
#include "ui/identity.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char *programName = "korvel";
QtMessageHandler previousHandler = nullptr;

// A window system that cannot be reached makes Qt end the process with an abort, which
// says nothing to whoever started it: say it in one line and end with a failure instead.
void leaveOnFatal(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        previousHandler(type, context, message);
        return;
    }
    std::fprintf(stderr, "%s: cannot show the window: %s\n", programName,
                 qPrintable(message.section(u'\n', 0, 0)));
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 0 && argv[0]) {
        const char *slash = std::strrchr(argv[0], '/');
        programName = slash ? slash + 1 : argv[0];
    }
    CommandLine commandLine = readCommandLine(argc, argv);
    // Help, the version and unknown options need no window, so they are answered also
    // where no display can be reached.
    if (!commandLine.options.isEmpty()) {
        int coreArgc = 1;
        const QCoreApplication app(coreArgc, argv);
        nameApplication();
        return answerOptions(commandLine.options);
    }
    if (!windowSystemNamed(commandLine)) {
        std::fprintf(
            stderr,
            "%s: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set)\n",
            programName);
        return 1;
    }
    // Qt 6.4's Wayland plugin ends the process on the first paint of a field when the
    // compositor offers text input version 1 without a seat (weston without input devices);
    // only weston offers that version, and the others stay as they are.
    if (!qEnvironmentVariableIsSet("QT_WAYLAND_TEXT_INPUT_PROTOCOL"))
        qputenv("QT_WAYLAND_TEXT_INPUT_PROTOCOL",
                "zwp_text_input_v2;zwp_text_input_v4;qt_text_input_method_v1");
    // Qt takes the startup id out of the environment while it connects to the display.
    const Activation activation = Activation::fromEnvironment();
    int qtArgc = int(commandLine.qtArguments.size()) - 1;
    previousHandler = qInstallMessageHandler(leaveOnFatal);
    CCorvalinApp app(qtArgc, commandLine.qtArguments.data());
    qInstallMessageHandler(previousHandler);
    return app.InitInstance(commandLine.files, activation);
}
