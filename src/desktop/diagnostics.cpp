#include "desktop/diagnostics.h"

#include "desktop/manual.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

class FirstFrame : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The paint happens after this filter; the report waits until the event loop is
        // back, when the frame has been handed to the window system.
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("first-frame %lld\n",
                            static_cast<long long>(
                                std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

void reportFirstFrameAndExit(QWidget *widget)
{
    widget->installEventFilter(new FirstFrame(widget));
}

std::optional<int> reportManualIfAsked(const QString &programPath)
{
    if (!qEnvironmentVariableIsSet("KORVEL_REPORT_MANUAL"))
        return std::nullopt;
    const QString manual = Manual(programPath).toOpen();
    std::printf("manual: %s\n", manual.isEmpty() ? "none" : qPrintable(manual));
    return manual.isEmpty() ? 1 : 0;
}

void reportFirstFrameIfAsked(QWidget *widget)
{
    if (qEnvironmentVariableIsSet("KORVEL_REPORT_FIRST_FRAME"))
        reportFirstFrameAndExit(widget);
}
