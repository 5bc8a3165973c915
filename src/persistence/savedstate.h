// What one run leaves for the next in the settings store: the expression text, the history
// and the memories, restored when the dialog opens and saved when it closes.
#pragma once

#include "core/calculator.h"

class SettingsStore;

/// Brings back what the last run kept (readSettings), merged as Calculator::merge does:
/// the history, the expression text (in the expression field at once, so that a close
/// during a later message saves it as it was), the memories until the load pool runs full,
/// the primed parser, and the memory list, rebuilt to the end with a failing derivation
/// reported once.
void startUp(const SettingsStore &store, Calculator &calculator);

/// Saves the calculator's state to the store, then makes the store write it to permanent
/// storage.
void closeDown(SettingsStore &store, const Calculator &calculator);

/// What the last run kept, in the order a start applies it: the saved history entries
/// (RestoreHistory: the newest first, empty ones skipped, duplicates kept), to go on top of
/// the list; the saved text of the expression field, empty when none was saved; and the
/// saved memories in key order with their values and derivations (RestoreMemories), up to
/// the one at which a merge finds the load pool full at the latest (the 1000th whose name
/// Engine::takesName). A value of another size or kind reads as 0. Positions the count
/// covers but the store lacks are not visited one by one; one counted after the last saved
/// name reads as an empty name, which meets a full load pool as any other would.
ReadState readSettings(const SettingsStore &store);

/// Writes the expression text (at most 2047 UTF-16 units, never half a character), the
/// newest history entries up to the store's history limit, and every memory in name order
/// with its value and derivation. Keys of an earlier, longer save are left in place.
void SaveToSettings(SettingsStore &store, const CalculatorState &state);
