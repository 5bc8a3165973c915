#include "ui/caboutdlg.h"

#include "ui/identity.h"

#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

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
                              "MS Shell Dlg", 8, false, Controls};

} // namespace

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
