#include "persistence/session.h"

#include "core/calculator.h"
#include "core/engine.h"
#include "persistence/settingsfile.h"
#include "persistence/settingsstore.h"

void startUp(const SettingsStore &store, Calculator &calculator)
{
    Engine &engine = calculator.engine();
    engine.StartEngine();
    // The history goes in before the text, so that the text is not replaced by an entry;
    // the text goes in before anything that may show a message.
    const QString text = RestoreHistory(store, *calculator.history());
    calculator.setExpressionField(text, EditSelection::All);
    RestoreMemories(store, engine, calculator.messages());
    engine.PrimeParser();
    calculator.refreshAndReport();
}

void closeDown(SettingsStore &store, const QString &editText, Calculator &calculator)
{
    SaveToSettings(store, editText, *calculator.history(), calculator.engine());
    store.sync();
}
