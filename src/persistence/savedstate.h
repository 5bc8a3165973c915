// What one run leaves for the next in the settings store: the expression text, the history
// and the memories, restored when the dialog opens and saved when it closes.
#pragma once

#include <QString>

class Calculator;
class HistoryModel;
class SettingsStore;
struct CalculatorState;

/// Brings back what the last run kept, in this order: the history, the expression text (in
/// the expression field at once, so that a close during a later message saves it as it
/// was), the memories, the primed parser, and the memory list, rebuilt to the end with a
/// failing derivation reported once.
void startUp(const SettingsStore &store, Calculator &calculator);

/// Saves the calculator's state to the store, then makes the store write it to permanent
/// storage.
void closeDown(SettingsStore &store, const Calculator &calculator);

/// Puts the saved history entries into `history`, the newest on top, skipping empty ones
/// and keeping duplicates. Returns the saved text of the expression field, empty when
/// none was saved. Runs once at start-up, before RestoreMemories.
QString RestoreHistory(const SettingsStore &store, HistoryModel &history);

/// Loads the saved memories in key order into the calculator's load pool, with their
/// values and derivations. When the pool runs full, reports Message::MemoryPoolFull once
/// and stops. A saved name the engine refuses is skipped and the rest are still loaded.
void RestoreMemories(const SettingsStore &store, Calculator &calculator);

/// Writes the expression text (at most 2047 UTF-16 units, never half a character), the
/// newest history entries up to the store's history limit, and every memory in name order
/// with its value and derivation. Keys of an earlier, longer save are left in place.
void SaveToSettings(SettingsStore &store, const CalculatorState &state);
