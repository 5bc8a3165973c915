// What reading a data file does to the running calculator: items are added to it the
// moment they are read, and nothing that was there is removed.
#pragma once

#include <QString>
#include <QStringList>

class Calculator;

/// How reading a data file ended.
enum class ReadOutcome {
    Complete,  ///< at the end of the data, or at the limit of entries read
    PoolFull,  ///< the load pool ran full at a memory entry; the rest is unread
    EndOfFile, ///< the data ended inside a field; what was read before stays
};

/// Applies the items of one file to a calculator.
class DataFileMerge {
public:
    explicit DataFileMerge(Calculator &calculator);
    /// Hands over the history entries still waiting.
    ~DataFileMerge();
    DataFileMerge(const DataFileMerge &) = delete;
    DataFileMerge &operator=(const DataFileMerge &) = delete;

    /// Replaces the expression field's text.
    void setExpressionText(const QString &text);
    /// Adds an entry at the end of the history, also when an equal one is there.
    void appendHistory(const QString &entry);
    /// Binds `name` to a new load slot holding `value`, with a derivation record when the
    /// derivation is not empty. A name the parser refuses is skipped. Returns false when
    /// the load pool is full: the reading stops there.
    bool loadMemory(const QString &name, double value, const QString &derivation);

private:
    void flushHistory();

    Calculator &m_calculator;
    // Entries wait here so that a long history goes into the list in one change; nothing
    // can see them before the next item of another kind is applied, when they go in.
    QStringList m_history;
};
