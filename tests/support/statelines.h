// The calculator's state as lines of text, for comparing whole states in tests and fuzz
// targets, and a calculator whose messages are recorded.
#pragma once

#include "core/calculator.h"
#include "core/engine.h"
#include "support/qtprinters.h"
#include "support/recordingmessages.h"

#include <QBuffer>
#include <QStringList>

#include <bit>

/// What a save writes: the expression text, the history, and every memory with its
/// value's bits and the derivation that counts for it, one line each.
inline QStringList stateLines(const CalculatorState &state)
{
    QStringList lines{QStringLiteral("edit ") + state.expression};
    for (const QString &entry : state.history)
        lines.append(QStringLiteral("history ") + entry);
    for (const SavedMemory &memory : state.memories) {
        QString line =
            memory.name + u'=' + QString::number(std::bit_cast<quint64>(memory.value), 16);
        if (!memory.derivation.isEmpty())
            line += u' ' + memory.derivation;
        lines.append(line);
    }
    return lines;
}

/// A started calculator that records the messages it shows.
struct TestCalculator {
    TestCalculator() { engine.PrimeParser(); }

    /// The saved state, then every derivation record, the number of listed rows and the
    /// messages shown.
    QStringList state() const
    {
        QStringList lines = stateLines(calculator.state());
        for (const CVariabele &record : engine.derivations())
            lines.append(record.name + QStringLiteral(": ") + record.derivation);
        lines.append(QStringLiteral("rows %1").arg(calculator.memoryList()->rowCount()));
        for (const Message message : messages.shown)
            lines.append(QString::fromLatin1(messageName(message)));
        return lines;
    }

    Engine engine;
    RecordingMessages messages;
    Calculator calculator{engine, messages};
};

/// Reads `device` with `reader`, one of the two data file readers, and merges what it read
/// into `calculator` as read, before the closing steps. Returns how the reading ended.
template <class Reader>
ReadState::End readInto(Reader reader, QIODevice &device, Calculator &calculator)
{
    const ReadState read = reader(device);
    calculator.merge(read, MergeScope::Items);
    return read.end;
}

/// readInto on a device holding `bytes`.
template <class Reader>
ReadState::End readBytes(Reader reader, const QByteArray &bytes, Calculator &calculator)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readInto(reader, buffer, calculator);
}
