// Data files that reach the main window from outside it: named on the command line, handed
// over by a second start of the program, or dropped onto the window.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class Calculator;
class QWidget;

/// Opens files into the calculator one after the other, each as the Open button opens the
/// file it is given. A merge must never run inside another command, so files wait while
/// the window is not shown or a modal box or file dialog waits for the user, and open in
/// order once it is gone.
class FileIntake : public QObject {
    Q_OBJECT
public:
    /// Opens files into `calculator` for `window`, which accepts drops of local files from
    /// now on; both outlive the intake.
    FileIntake(Calculator &calculator, QWidget &window);

    /// Opens the files at `paths` after those still waiting.
    void open(const QStringList &paths);
    /// Opens every file still waiting, now: the run is about to save its state and end,
    /// and a file that was accepted must be in it. Does nothing inside an open, whose
    /// files go on opening once it is over.
    void openRemaining();
    /// Whether a file is being opened: its message box may be waiting for the user.
    bool isOpening() const { return m_opening; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void schedule();
    void openWaiting();
    void openFiles(bool waitForBoxes);
    bool blocked();
    bool takeDrag(QObject *watched, QEvent *event);

    Calculator &m_calculator;
    QWidget &m_window;
    QStringList m_waiting;
    QPointer<QWidget> m_blocker; ///< the modal widget whose end is awaited
    bool m_scheduled = false;
    bool m_opening = false;
};
