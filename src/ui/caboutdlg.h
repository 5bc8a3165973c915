// The About box: the program's icon, name, version and credits, and the About item that
// a window offers to show it.
#pragma once

#include "ui/dialogtemplate.h"

class CAboutDlg : public TemplateDialog {
    Q_OBJECT
public:
    enum class ControlId {
        Ok = 1,
        Icon = 1100,
        Product,
        Version,
        Credits,
    };

    explicit CAboutDlg(QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void showVersion();
};

/// Gives `window` an About item that shows the About box: in the system menu where the
/// program may add to it (Windows), else in the window's context menu.
void addAboutItem(QWidget *window);
