#include "ui/caboutdlg.h"

#include "ui/identity.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#ifdef Q_OS_WIN
#include <QAbstractNativeEventFilter>
#include <qt_windows.h>
#endif

namespace {

using Id = CAboutDlg::ControlId;
using enum ControlKind;

// clang-format off
const TemplateEntry Controls[] = {
//   id            kind            x    y    w    h    text
    {Id::Icon,     Icon,          { 14,  11,  20,  20}},
    {Id::Product,  Label,         { 42,  11, 170,  10}, QT_TRANSLATE_NOOP("CAboutDlg", "Korvel")},
    {Id::Version,  Label,         { 42,  26, 170,  10}},
    {Id::Credits,  Label,         { 42,  41, 114,  62},
        //: Four short lines: the author with the years, a note on passing the program on,
        //: and the thanks to muParser.
        QT_TRANSLATE_NOOP("CAboutDlg", "© 2006–2026 Tamsard.\nFree to pass on;\nno warranty.\nBased on muParser.")},
    {Id::Ok,       DefaultButton, {162,  89,  50,  14}, QT_TRANSLATE_NOOP("CAboutDlg", "OK")},
};
// clang-format on

const DialogTemplate Template{"CAboutDlg",
                              //: The title reads the same in every language.
                              QT_TRANSLATE_NOOP("CAboutDlg", "Over Korvel"), 219, 110,
                              // The system dialog font the box was drawn for; the
                              // nearest sans serif stands in, and the units are its.
                              "MS Shell Dlg", 8, false, Controls};

//: The About item of the dialog's menu.
const char AboutItemText[] = QT_TRANSLATE_NOOP("CCorvalinDlg", "&About Korvel...");

void showAboutBox(QWidget *parent)
{
    CAboutDlg about(parent);
    about.exec();
}

#ifdef Q_OS_WIN
// Windows lets a program add to a window's system menu and reports the choice as a
// system command. Windows keeps the low four bits of the command for itself.
class AboutItem : public QObject, public QAbstractNativeEventFilter {
public:
    explicit AboutItem(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
        const QString text = QCoreApplication::translate("CCorvalinDlg", AboutItemText);
        HMENU menu = ::GetSystemMenu(HWND(window->winId()), FALSE);
        if (menu && !text.isEmpty()) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(menu, MF_STRING, Command,
                          reinterpret_cast<const wchar_t *>(text.utf16()));
        }
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~AboutItem() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *result) override
    {
        const auto *msg = static_cast<const MSG *>(message);
        if (msg->hwnd != HWND(m_window->winId()) || msg->message != WM_SYSCOMMAND
            || (msg->wParam & 0xfff0) != Command)
            return false;
        showAboutBox(m_window);
        *result = 0;
        return true;
    }

private:
    static constexpr unsigned Command = 0x0010;
    QWidget *m_window;
};
#else
// Elsewhere the window manager owns the system menu, and the window's context menu offers
// the item instead.
class AboutItem : public QObject {
public:
    explicit AboutItem(QWidget *window)
        : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ContextMenu)
            return false;
        const QString text = QCoreApplication::translate("CCorvalinDlg", AboutItemText);
        if (text.isEmpty())
            return true;
        auto *window = static_cast<QWidget *>(watched);
        QMenu menu(window);
        QAction *about = menu.addAction(text);
        if (menu.exec(static_cast<QContextMenuEvent *>(event)->globalPos()) == about)
            showAboutBox(window);
        return true;
    }
};
#endif

} // namespace

void addAboutItem(QWidget *window)
{
    new AboutItem(window);
}

CAboutDlg::CAboutDlg(QWidget *parent)
    : TemplateDialog(Template, parent,
                     Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowCloseButtonHint)
{
    setModal(true);
    control<QLabel>(Id::Icon)->setPixmap(programIcon().pixmap(QSize(64, 64)));
    control<QLabel>(Id::Credits)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(control<QPushButton>(Id::Ok), &QPushButton::clicked, this, &QDialog::accept);
    showVersion();
}

void CAboutDlg::changeEvent(QEvent *event)
{
    TemplateDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        showVersion();
}

void CAboutDlg::showVersion()
{
    //: Followed by the version number.
    const QString text = tr("Version %1").arg(QCoreApplication::applicationVersion());
    control<QLabel>(Id::Version)->setText(text);
    placeControls();
}
