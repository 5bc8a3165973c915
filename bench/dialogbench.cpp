// The dialog's commands as the user meets them, with a full memory table: 999 memories
// restored with a derivation each and 999 made by expressions. Each figure includes
// painting the dialog, as a screen frame would.
#include "benchsupport.h"
#include "core/calculator.h"
#include "persistence/memorysettingsstore.h"
#include "persistence/session.h"
#include "ui/ccorvalindlg.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

namespace {

// A store as a previous run with a full memory table leaves it.
MemorySettingsStore fullStore()
{
    Engine engine;
    SilentMessages messages;
    Calculator calculator(engine, messages);
    fillMemoryTable(engine);
    for (int i = 0; i < 30; ++i)
        calculator.history()->insertTop(QStringLiteral("made1 + %1").arg(i));
    MemorySettingsStore store;
    closeDown(store, QStringLiteral("1+1"), calculator);
    return store;
}

struct OpenDialog {
    explicit OpenDialog(MemorySettingsStore &store)
        : dialog(calculator, store, {quiet, quiet, quiet, quiet, QString()})
    {
        dialog.OnInitDialog();
        dialog.show();
        QApplication::processEvents();
    }
    Engine engine;
    SilentMessages messages;
    Calculator calculator{engine, messages};
    QuietPlatform quiet;
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
    using Id = CCorvalinDlg::ControlId;
    MemorySettingsStore store = fullStore();
    OpenDialog open(store);
    QLineEdit *edit = open.dialog.control<QComboBox>(Id::Expression)->lineEdit();
    auto *calculate = open.dialog.control<QPushButton>(Id::Calculate);
    int i = 0;
    for (auto _ : state) {
        edit->setText(QStringLiteral("made1 = %1 / 3").arg(++i % 50));
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
        closeDown(target, QStringLiteral("1+1"), open.calculator);
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
