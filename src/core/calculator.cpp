#include "core/calculator.h"

#include "core/engine.h"
#include "core/numberformat.h"
#include "core/platform.h"

Calculator::Calculator(Engine &engine, Messages &messages, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_messages(messages)
{
}

void Calculator::calculate(const QString &fieldText)
{
    m_lastResult.clear();
    m_lastExpression = fieldText.trimmed();

    // "@" or "'" asks for the assignment to be kept as a derivation. The rest is not
    // trimmed again, so "@ a=5" keeps its leading blank in the derivation.
    const bool recording = m_lastExpression.startsWith(u'@') || m_lastExpression.startsWith(u'\'');
    QString working = recording ? m_lastExpression.mid(1) : m_lastExpression;

    double value = 0.0;
    if (!working.isEmpty()) {
        const int existing = m_history.findExact(m_lastExpression);
        if (existing >= 0)
            m_history.removeAt(existing);
        m_history.insertTop(m_lastExpression);
        setExpressionField(m_lastExpression, EditSelection::All);

        // Either character serves as the decimal point; the parser knows only ','.
        working.replace(u'.', u',');
        try {
            value = m_engine.evaluate(working);
        } catch (const EngineError &) {
            // Nothing is undone: the history keeps the text, names met before the error
            // stay memories, and the result field and the list are left as they were.
            m_messages.show(Message::CannotEvaluate);
            return;
        }
        m_lastResult = formatNumber(value);
    }
    setResultField(m_lastResult);

    if (recording) {
        const qsizetype assignment = working.indexOf(u'=');
        if (assignment > 0)
            m_engine.RecordDerivation(working.left(assignment).trimmed(), working);
    }

    if (!RefreshMemoryList(RefreshMode::StopAtFailure))
        m_messages.show(Message::CannotEvaluate);
}

void Calculator::clearHistory()
{
    m_history.clear();
    setResultField(QString());
}

void Calculator::ClearResultField()
{
    setResultField(QString());
}

void Calculator::setFilter(bool onlyLastCalculation)
{
    m_filter = onlyLastCalculation;
}

bool Calculator::RefreshMemoryList(RefreshMode mode)
{
    std::vector<MemoryRow> rows;
    bool ok = true;
    // Before the parser has a current expression there is nothing to list.
    if (m_engine.hasCurrentExpression()) {
        std::vector<MemoryRef> memories;
        try {
            memories = m_filter ? m_engine.usedMemories() : m_engine.memories();
        } catch (const EngineError &) {
            ok = false;
        }
        rows.reserve(memories.size());
        // One pass in name order: a derivation reads the values the memories have at
        // that moment, so one that depends on a later memory catches up at the next
        // rebuild. Names first met here are listed from the next rebuild on.
        for (const MemoryRef &memory : memories) {
            MemoryRow row{memory.name, formatNumber(*memory.slot), QString()};
            if (const CVariabele *record = m_engine.FindDerivation(memory.name)) {
                row.derivation = record->derivation;
                try {
                    row.value = formatNumber(m_engine.evaluateDerivation(*record));
                } catch (const EngineError &) {
                    ok = false;
                    if (mode == RefreshMode::StopAtFailure) {
                        rows.push_back(std::move(row));
                        break;
                    }
                }
            }
            rows.push_back(std::move(row));
        }
    }
    m_memoryList.setRows(std::move(rows));
    return ok;
}

void Calculator::refreshAndReport()
{
    if (!RefreshMemoryList(RefreshMode::Complete))
        m_messages.show(Message::CannotEvaluate);
}

void Calculator::deleteMemories(const QList<int> &rows)
{
    if (rows.isEmpty())
        return;
    const auto &listed = m_memoryList.rows();
    for (int row : rows) {
        if (row >= 0 && std::size_t(row) < listed.size())
            m_engine.RemoveMemory(listed[std::size_t(row)].name);
    }
    refreshAndReport();
}

void Calculator::CopyDerivationToExpression(int row)
{
    const auto &listed = m_memoryList.rows();
    if (row < 0 || std::size_t(row) >= listed.size())
        return;
    const MemoryRow &memory = listed[std::size_t(row)];
    setResultField(QString());
    if (memory.derivation.isEmpty())
        setExpressionField(memory.name + u'=', EditSelection::CaretAtEnd);
    else
        setExpressionField(u'@' + memory.derivation, EditSelection::All);
}

void Calculator::setExpressionField(const QString &text, EditSelection selection)
{
    m_expressionText = text;
    emit expressionFieldSet(text, selection);
}

CalculatorState Calculator::state() const
{
    CalculatorState state{m_expressionText, m_history.entries(), {}};
    const std::vector<MemoryRef> memories = m_engine.memories();
    state.memories.reserve(memories.size());
    for (const MemoryRef &memory : memories) {
        const CVariabele *record = m_engine.FindDerivation(memory.name);
        state.memories.push_back(
            {memory.name, *memory.slot, record ? record->derivation : QString()});
    }
    return state;
}

void Calculator::report(Message message)
{
    m_messages.show(message);
}

void Calculator::merge(const ReadState &read, MergeScope scope)
{
    if (read.end == ReadState::End::Unreadable) {
        if (scope == MergeScope::Whole)
            m_messages.show(Message::FileTooLarge);
        return;
    }
    const bool poolFull = !mergeItems(read);
    if (scope == MergeScope::Items)
        return;
    // Once the pool ran full, the rest of the data counts as unread, a cut in it too.
    if (!poolFull && read.end == ReadState::End::Cut) {
        m_messages.show(Message::UnexpectedEndOfFile);
        return;
    }
    m_engine.PrimeParser();
    refreshAndReport();
}

// Applies the items run by run, as they were read: the entries of one run of history go
// into the list in one change. Returns false when the load pool ran full, which ends it.
bool Calculator::mergeItems(const ReadState &read)
{
    qsizetype expression = 0, entry = 0, memory = 0;
    for (const ReadState::Run &run : read.order) {
        switch (run.kind) {
        case ReadState::Run::Kind::Expression:
            for (const qsizetype end = expression + run.count; expression < end; ++expression)
                setExpressionField(read.expressions.at(expression), EditSelection::All);
            break;
        case ReadState::Run::Kind::History:
            if (read.historyPlace == ReadState::HistoryPlace::Top) {
                // The oldest goes in first and each newer one above it.
                for (qsizetype i = entry + run.count - 1; i >= entry; --i)
                    m_history.insertTop(read.history.at(i));
            } else {
                m_history.append(run.count == read.history.size()
                                     ? read.history
                                     : read.history.mid(entry, run.count));
            }
            entry += run.count;
            break;
        case ReadState::Run::Kind::Memory:
            for (const qsizetype end = memory + run.count; memory < end; ++memory) {
                const SavedMemory &saved = read.memories[std::size_t(memory)];
                if (m_engine.LoadMemory(saved.name, saved.value, saved.derivation)
                    == LoadResult::PoolFull) {
                    m_messages.show(Message::MemoryPoolFull);
                    return false;
                }
            }
            break;
        }
    }
    return true;
}

void ReadState::addExpression(const QString &text)
{
    expressions.append(text);
    count(Run::Kind::Expression);
}

void ReadState::addHistory(const QString &entry)
{
    history.append(entry);
    count(Run::Kind::History);
}

void ReadState::addMemory(SavedMemory memory)
{
    memories.push_back(std::move(memory));
    count(Run::Kind::Memory);
}

void ReadState::count(Run::Kind kind)
{
    if (order.empty() || order.back().kind != kind)
        order.push_back({kind, 0});
    ++order.back().count;
}

void Calculator::setResultField(const QString &text)
{
    m_resultField = text;
    emit resultFieldChanged(text);
}
