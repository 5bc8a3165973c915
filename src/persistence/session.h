// The start and the end of a run: what the program, its tests and its benchmarks all do
// when the dialog opens and when it closes.
#pragma once

#include <QString>

class Calculator;
class SettingsStore;

/// Starts the engine and brings back what the last run kept, in this order: the history,
/// the expression text (in the expression field at once, so that a close during a later
/// message saves it as it was), the memories, the primed parser, and the memory list,
/// rebuilt to the end with a failing derivation reported once.
void startUp(const SettingsStore &store, Calculator &calculator);

/// Writes `editText`, the history and the memories to the store, then makes the store
/// write them to permanent storage.
void closeDown(SettingsStore &store, const QString &editText, Calculator &calculator);
