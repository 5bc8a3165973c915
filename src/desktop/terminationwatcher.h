// Turns a polite request to end the process (SIGTERM, SIGHUP, SIGINT) into a Qt signal
// delivered on the user-interface thread, so that Korvel can close as if the user did.
#pragma once

#include <QObject>

class QSocketNotifier;

class TerminationWatcher : public QObject {
    Q_OBJECT
public:
    /// Installs the signal handlers; only one watcher may exist at a time.
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
