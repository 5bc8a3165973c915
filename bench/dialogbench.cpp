// The dialog's commands as the user meets them, with a full memory table: 999 memories
// restored with a derivation each and 999 made by expressions. Each figure includes
// painting the dialog, as a screen frame would.
#include "core/engine.h"
#include "core/messages.h"
#include "fullmemorytable.h"
#include "persistence/memorysettingsstore.h"
#include "persistence/settingsfile.h"
#include "ui/ccorvalindlg.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class SilentMessages : public Messages {
public:
    void warning(const QString &) override {}
};

// A store as a previous run with a full memory table leaves it.
MemorySettingsStore fullStore()
{
    Engine engine;
    fillMemoryTable(engine);
    HistoryModel history;
    for (int i = 0; i < 30; ++i)
        history.insertTop(QStringLiteral("made1 + %1").arg(i));
    MemorySettingsStore store;
    SaveToSettings(store, QStringLiteral("1+1"), history, engine);
    return store;
}

struct OpenDialog {
    explicit OpenDialog(MemorySettingsStore &store)
        : dialog(engine, messages, store)
    {
        dialog.OnInitDialog();
        dialog.show();
        QApplication::processEvents();
    }
    Engine engine;
    SilentMessages messages;
    CCorvalinDlg dialog;
};

void paint(QWidget &widget)
{
    widget.repaint();
    QApplication::processEvents();
}

void BM_StartWithFullStore(benchmark::State &state)
{
    MemorySettingsStore store = fullStore();
    for (auto _ : state) {
        OpenDialog open(store);
        paint(open.dialog);
    }
}
BENCHMARK(BM_StartWithFullStore)->Unit(benchmark::kMillisecond);

void BM_StartEmpty(benchmark::State &state)
{
    MemorySettingsStore store;
    for (auto _ : state) {
        OpenDialog open(store);
        paint(open.dialog);
    }
}
BENCHMARK(BM_StartEmpty)->Unit(benchmark::kMillisecond);

void BM_CalculateInFullDialog(benchmark::State &state)
{
    MemorySettingsStore store = fullStore();
    OpenDialog open(store);
    auto *expression =
        static_cast<QComboBox *>(open.dialog.control(CCorvalinDlg::ControlId::Expression));
    auto *calculate =
        static_cast<QPushButton *>(open.dialog.control(CCorvalinDlg::ControlId::Calculate));
    int i = 0;
    for (auto _ : state) {
        expression->lineEdit()->setText(QStringLiteral("made1 = %1 / 3").arg(++i % 50));
        calculate->click();
        paint(open.dialog);
    }
}
BENCHMARK(BM_CalculateInFullDialog)->Unit(benchmark::kMillisecond);

void BM_SaveFullState(benchmark::State &state)
{
    MemorySettingsStore store = fullStore();
    OpenDialog open(store);
    for (auto _ : state) {
        MemorySettingsStore target;
        SaveToSettings(target, QStringLiteral("1+1"), *open.dialog.calculator().history(),
                       open.engine);
        benchmark::DoNotOptimize(target.entries().size());
    }
}
BENCHMARK(BM_SaveFullState)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
