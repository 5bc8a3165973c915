// The calculator's state between runs: the expression text, the history and the memories
// are read from the settings store when the dialog opens and written when it closes.
#pragma once

#include <QString>

class Engine;
class HistoryModel;
class Messages;
class SettingsStore;

/// Puts the saved history entries into `history`, the newest on top, skipping empty ones
/// and keeping duplicates. Returns the saved text of the expression field, empty when
/// none was saved. Runs once at start-up, before RestoreMemories.
QString RestoreHistory(const SettingsStore &store, HistoryModel &history);

/// Loads the saved memories in key order into the engine's load pool, with their values
/// and derivations. When the pool runs full, shows Message::MemoryPoolFull once and
/// stops. A saved name the engine refuses is skipped and the rest are still loaded.
void RestoreMemories(const SettingsStore &store, Engine &engine, Messages &messages);

/// Writes the expression text (at most 2047 UTF-16 units, never half a character), the
/// newest history entries up to the store's history limit, and every memory of the engine
/// in name order with its value and derivation. Keys of an earlier, longer save are left
/// in place.
void SaveToSettings(SettingsStore &store, const QString &editText, const HistoryModel &history,
                    const Engine &engine);
