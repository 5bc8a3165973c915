#include "persistence/datafilemerge.h"

#include "core/calculator.h"

DataFileMerge::DataFileMerge(Calculator &calculator)
    : m_calculator(calculator)
{
}

DataFileMerge::~DataFileMerge()
{
    flushHistory();
}

void DataFileMerge::setExpressionText(const QString &text)
{
    flushHistory();
    m_calculator.setExpressionField(text, EditSelection::All);
}

void DataFileMerge::appendHistory(const QString &entry)
{
    m_history.append(entry);
}

bool DataFileMerge::loadMemory(const QString &name, double value, const QString &derivation)
{
    flushHistory();
    return m_calculator.LoadMemory(name, value, derivation) != LoadResult::PoolFull;
}

void DataFileMerge::flushHistory()
{
    m_calculator.history()->append(m_history);
    m_history.clear();
}
