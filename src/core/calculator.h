// The calculator's commands and the state they share: Calculate, Clear history, the
// memory list with its recalculation of derivations, deleting memories and copying a
// derivation back into the expression field. A dialog wires these to its widgets.
#pragma once

#include "core/historymodel.h"
#include "core/memorylistmodel.h"

#include "core/engine.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

class Messages;
enum class Message;

/// One memory as it is saved: its value and the derivation that counts for it.
struct SavedMemory {
    QString name;
    double value = 0.0;
    QString derivation; ///< empty for a memory without one
};

/// Everything a save writes, whether to the settings store or to a data file.
struct CalculatorState {
    QString expression;                ///< the expression field's text
    QStringList history;               ///< newest first
    std::vector<SavedMemory> memories; ///< in ascending order of the names' character codes
};

/// What a reader took from a data file or the settings store, in the order it came, and
/// how the reading ended. Nothing of it has reached a calculator yet: Calculator::merge
/// applies it.
struct ReadState {
    /// How the reading ended.
    enum class End {
        Complete,   ///< at the end of the data, or at the limit of entries read
        Cut,        ///< the data ended inside a field; the items before it are all here
        Unreadable, ///< too large to be read; nothing was
    };
    /// Where the history entries go.
    enum class HistoryPlace {
        Bottom, ///< after the entries there, as an Open adds them
        Top,    ///< above them, keeping their order, as a start restores them
    };
    /// Items of one kind that came one after another.
    struct Run {
        enum class Kind {
            Expression,
            History,
            Memory
        } kind;
        qsizetype count = 0;
    };

    void addExpression(const QString &text);
    void addHistory(const QString &entry);
    void addMemory(SavedMemory memory);

    QStringList expressions;           ///< each text that replaced the field's, in order
    QStringList history;               ///< in the order the list shows them
    std::vector<SavedMemory> memories; ///< in the order they are loaded
    std::vector<Run> order;            ///< how the three kinds came interleaved
    End end = End::Complete;
    HistoryPlace historyPlace = HistoryPlace::Bottom;

private:
    void count(Run::Kind kind);
};

/// How far Calculator::merge goes.
enum class MergeScope {
    Whole, ///< the items, then how the reading ended, the primed parser and the list
    Items, ///< the items alone: the state as read, before a rebuild moves derived values on
};

/// How the expression field's text is selected after the calculator sets it.
enum class EditSelection {
    All,        ///< the whole text selected, as after an evaluation
    CaretAtEnd, ///< nothing selected, the caret after the last character
};

class Calculator : public QObject {
    Q_OBJECT
public:
    /// How a rebuild of the memory list treats a derivation that fails to evaluate.
    enum class RefreshMode {
        StopAtFailure, ///< the list keeps the rows before the failure
        Complete,      ///< the failing row keeps its slot value and the listing goes on
    };

    Calculator(Engine &engine, Messages &messages, QObject *parent = nullptr);

    HistoryModel *history() { return &m_history; }
    const HistoryModel *history() const { return &m_history; }
    MemoryListModel *memoryList() { return &m_memoryList; }
    const MemoryListModel *memoryList() const { return &m_memoryList; }

    /// The expression field's text as the user left it.
    const QString &expressionText() const { return m_expressionText; }
    /// Follows the expression field while the user types; changes nothing else.
    void setExpressionText(const QString &text) { m_expressionText = text; }
    /// The state a save writes.
    CalculatorState state() const;

    /// Applies what a reader read, as a start restores and an Open adds: the items in the
    /// order they came (expression texts replace the field's, history entries go in as
    /// `read.historyPlace` says, each memory takes a new load slot and a name the engine
    /// refuses is skipped). A full load pool is reported the moment it is met, and the rest
    /// counts as unread. Then, for MergeScope::Whole: a cut that was reached is reported and
    /// ends the merge, and a file too large to be read is reported in place of all of it;
    /// otherwise the parser is primed and the memory list rebuilt to the end, a failing
    /// derivation reported once.
    void merge(const ReadState &read, MergeScope scope = MergeScope::Whole);
    /// Tells the user `message`.
    void report(Message message);

    /// The trimmed text of the most recent Calculate, prefix included.
    const QString &lastExpression() const { return m_lastExpression; }
    /// The formatted result of the most recent successful Calculate, else empty.
    const QString &lastResult() const { return m_lastResult; }
    /// What the result field shows.
    const QString &resultField() const { return m_resultField; }

    /// Evaluates the expression field's text, updates history, result and memory list.
    void calculate(const QString &fieldText);
    /// Empties the history; the expression being typed and the memories stay.
    void clearHistory();
    /// Empties the result field; the last result text stays for the clipboard.
    void ClearResultField();
    /// Puts `text` into the expression field, gives it the focus and selects as asked.
    void setExpressionField(const QString &text, EditSelection selection);

    bool filter() const { return m_filter; }
    /// Limits later rebuilds of the memory list to the current expression's variables.
    void setFilter(bool onlyLastCalculation);

    /// Rebuilds the memory list from the parser, re-evaluating every listed derivation.
    /// Returns false when a derivation or the filter's variable lookup failed.
    bool RefreshMemoryList(RefreshMode mode);
    /// Rebuilds the memory list to the end and reports a failure once.
    void refreshAndReport();

    /// Removes the memories of the given rows of the memory list, then rebuilds it.
    void deleteMemories(const QList<int> &rows);
    /// Offers a row's derivation (or its name for a new assignment) in the expression field.
    void CopyDerivationToExpression(int row);

signals:
    void resultFieldChanged(const QString &text);
    /// The expression field must show `text`, take the focus and select as asked.
    void expressionFieldSet(const QString &text, EditSelection selection);

private:
    void setResultField(const QString &text);
    bool mergeItems(const ReadState &read);

    Engine &m_engine;
    Messages &m_messages;
    HistoryModel m_history;
    MemoryListModel m_memoryList;
    QString m_expressionText;
    QString m_lastExpression;
    QString m_lastResult;
    QString m_resultField;
    bool m_filter = false;
};
