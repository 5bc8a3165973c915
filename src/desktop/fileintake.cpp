#include "desktop/fileintake.h"

#include "persistence/datafilecommands.h"
#include "persistence/filename.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QUrl>
#include <QWidget>

namespace {

// The files a drag carries, when it carries local files only; else none.
QStringList localFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        const QString name = fileNameFromUrl(url);
        if (name.isEmpty())
            return {};
        paths.append(name);
    }
    return paths;
}

} // namespace

FileIntake::FileIntake(Calculator &calculator, QWidget &window)
    : m_calculator(calculator)
    , m_window(window)
{
    // The fields that take dropped text see the drag first; files are opened wherever they
    // land, while other drags keep doing what the field does with them.
    m_window.setAcceptDrops(true);
    m_window.installEventFilter(this);
    for (QWidget *child : m_window.findChildren<QWidget *>()) {
        if (child->acceptDrops())
            child->installEventFilter(this);
    }
}

void FileIntake::open(const QStringList &paths)
{
    m_waiting += paths;
    schedule();
}

// Never at once: the caller may be inside the show of the window, or inside the event loop
// of a modal box that is just ending; the next turn of the event loop is outside both.
void FileIntake::schedule()
{
    if (m_scheduled || m_waiting.isEmpty())
        return;
    m_scheduled = true;
    QMetaObject::invokeMethod(this, &FileIntake::openWaiting, Qt::QueuedConnection);
}

void FileIntake::openRemaining()
{
    openFiles(false);
}

void FileIntake::openWaiting()
{
    m_scheduled = false;
    openFiles(true);
}

// A file's message box runs an event loop of its own, in which more files may come: they
// wait for the open that runs.
void FileIntake::openFiles(bool waitForBoxes)
{
    if (m_opening)
        return;
    const QScopedValueRollback opening(m_opening, true);
    while (!m_waiting.isEmpty() && !(waitForBoxes && blocked()))
        openDataFileAt(m_calculator, m_waiting.takeFirst());
}

// A window that runs modal itself (QDialog::exec) blocks nothing here; another modal widget
// does until it hides, and a window not shown yet until it shows.
bool FileIntake::blocked()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal != &m_window) {
        if (m_blocker != modal) {
            if (m_blocker)
                m_blocker->removeEventFilter(this);
            m_blocker = modal;
            modal->installEventFilter(this);
        }
        return true;
    }
    return !m_window.isVisible();
}

bool FileIntake::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_blocker && event->type() == QEvent::Hide) {
        m_blocker->removeEventFilter(this);
        m_blocker = nullptr;
        schedule();
    } else if (watched == &m_window && event->type() == QEvent::Show) {
        schedule();
    } else if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove
               || event->type() == QEvent::Drop) {
        return takeDrag(watched, event);
    }
    return false;
}

// Opening a file is a copy: accepting a move could make the source delete the file.
bool FileIntake::takeDrag(QObject *watched, QEvent *event)
{
    auto *drag = static_cast<QDropEvent *>(event);
    const QStringList paths = localFiles(drag->mimeData());
    if (paths.isEmpty() || !drag->possibleActions().testFlag(Qt::CopyAction)) {
        // The window refuses, so that the cursor says so; a field does what it does.
        if (watched != &m_window)
            return false;
        drag->ignore();
        return true;
    }
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    if (event->type() == QEvent::Drop)
        open(paths);
    return true;
}
