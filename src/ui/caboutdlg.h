// The About box: the program's icon, name, version and credits.
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
