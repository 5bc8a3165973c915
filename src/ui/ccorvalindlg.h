// The main dialog: the program's one window.
//
// The program makes the Calculator (the core's commands and state) and hands it to the
// dialog, which shows its state through the core's own models: the expression field's
// list is the history model and the memory list is the memory-list model. User actions
// become calls on the Calculator; the Calculator answers with signals (the result field's
// text, the expression field's text and selection) and with model changes. No calculation
// happens in the dialog.
//
// State kept between runs is read by the start-up sequence while the dialog initialises
// and written by the close command, which every way of closing the dialog passes through
// exactly once.
#pragma once

#include "core/calculator.h"
#include "core/platform.h"
#include "ui/dialogtemplate.h"

class CToolTipCtrlBeter;
class MemoryListHeadings;
class SettingsStore;
class QComboBox;
class QTreeView;

class CCorvalinDlg : public TemplateDialog {
    Q_OBJECT
public:
    /// The controls, by the ids of the template the layout follows.
    enum class ControlId {
        Cancel = 2, ///< hidden; the target of Esc and of the close box
        Calculate = 1001,
        Result = 1002,
        ExpressionLabel = 1005,
        ResultLabel = 1006,
        MemoriesLabel = 1007,
        Expression = 1008,
        MemoryList = 1009,
        Copy = 1013,
        ClearHistory = 1014,
        Delete = 1015,
        CopyDerivation = 1016,
        Save = 1017,
        Open = 1018,
        Out = 1019,
        Filter = 1020,
        Info = 1021,
        None = -1, ///< controls without an id: the separators
    };

    /// Size of the dialog in dialog units.
    static constexpr int TemplateWidth = 320;
    static constexpr int TemplateHeight = 222;

    /// `calculator` and `store` outlive the dialog; `store` keeps the expression text, the
    /// history and the memories between runs.
    CCorvalinDlg(Calculator &calculator, SettingsStore &store, const DialogPlatform &platform,
                 QWidget *parent = nullptr);

    /// Prepares the About item, icons, tips and the memory list, runs the start-up
    /// sequence and enables Info when a manual is there; run once before the dialog is
    /// shown.
    void OnInitDialog();

    /// Whether the close command has run; the dialog is then over for good.
    bool isClosed() const { return m_closed; }

public slots:
    /// Esc and the hidden Close button end the dialog through the close command.
    void reject() override;
    /// Saves the state to the settings store and ends the dialog. Every way of closing
    /// runs it; only the first call does anything.
    void closeCommand();

signals:
    /// The close command is about to write the state: whatever must be in it gets in now.
    void aboutToClose();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setUpExpressionField();
    void setUpMemoryList();
    void connectMessageTable();

    void setButtonIcons();
    void EnsureMemoryColumns();

    void showExpression(const QString &text, EditSelection selection);
    QList<int> selectedMemoryRows() const;
    void updateMemoryButtons();
    void copySelectedDerivation();

    Calculator &m_calculator;
    SettingsStore &m_store;
    DialogPlatform m_platform;
    CToolTipCtrlBeter *m_tips;
    bool m_closed = false;
    QComboBox *m_expression;
    QTreeView *m_memoryList;
    MemoryListHeadings *m_headings;
};
