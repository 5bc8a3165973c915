// The main dialog: the program's one window.
//
// The dialog owns the Calculator (the core's commands and state) and shows its state
// through the core's own models: the expression field's list is the history model and
// the memory list is the memory-list model. User actions become calls on the Calculator;
// the Calculator answers with signals (the result field's text, the expression field's
// text and selection) and with model changes. No calculation happens in the dialog.
//
// State kept between runs belongs in two places: it is read while the dialog initialises,
// after the engine is started and before the parser is primed, and it is written by the
// close command, which every way of closing the dialog passes through exactly once.
#pragma once

#include "core/calculator.h"

#include <QDialog>

#include <map>
#include <vector>

class Engine;
class Messages;
class SettingsStore;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeView;
struct TemplateEntry;

class CCorvalinDlg : public QDialog {
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

    /// `store` keeps the expression text, the history and the memories between runs.
    CCorvalinDlg(Engine &engine, Messages &messages, SettingsStore &store,
                 QWidget *parent = nullptr);
    ~CCorvalinDlg() override;

    /// Prepares icons, fonts, the engine and the memory list; run once before the dialog
    /// is shown.
    void OnInitDialog();

    Calculator &calculator() { return m_calculator; }

    /// The control with `id`, or nullptr for an id the dialog does not have.
    QWidget *control(ControlId id) const;
    /// The separators, in template order.
    const std::vector<QWidget *> &separators() const { return m_separators; }

public slots:
    /// Esc and the hidden Close button end the dialog through the close command.
    void reject() override;
    /// Saves the state to the settings store and ends the dialog. Every way of closing
    /// runs it; only the first call does anything.
    void closeCommand();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createControls();
    QWidget *createControl(const TemplateEntry &entry);
    void setUpExpressionField();
    void setUpMemoryList();
    void connectMessageTable();
    void keepExpressionTextOnHistoryChanges();
    void retranslate();
    void placeControls();

    void setLabelFont();
    void setButtonIcons();
    void setMemoryColumns();

    void calculate();
    void showExpression(const QString &text, EditSelection selection);
    QList<int> selectedMemoryRows() const;
    void updateMemoryButtons();
    void copySelectedDerivation();
    void deleteSelectedMemories();

    Calculator m_calculator;
    SettingsStore &m_store;
    bool m_closed = false;
    std::vector<std::pair<const TemplateEntry *, QWidget *>> m_controls;
    std::map<ControlId, QWidget *> m_byId;
    std::vector<QWidget *> m_separators;

    QComboBox *m_expression = nullptr;
    QLineEdit *m_result = nullptr;
    QTreeView *m_memoryList = nullptr;
    QPushButton *m_calculate = nullptr;
    QPushButton *m_clearHistory = nullptr;
    QPushButton *m_copyDerivation = nullptr;
    QPushButton *m_delete = nullptr;
    QCheckBox *m_filter = nullptr;
    QPushButton *m_out = nullptr;
    QPushButton *m_cancel = nullptr;

    // What the expression field showed before the history model changed.
    QString m_keptText;
    int m_keptCursor = 0;
    int m_keptSelectionStart = -1;
    int m_keptSelectionLength = 0;
};
