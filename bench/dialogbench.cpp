// The dialog's commands as the user meets them, with a full memory table: 999 memories
// restored with a derivation each and 999 made by expressions. Each figure includes
// painting the dialog, as a screen frame would.
#include "benchsupport.h"
#include "core/calculator.h"
#include "persistence/calculatordatafile.h"
#include "persistence/memorysettingsstore.h"
#include "persistence/qsettingsstore.h"
#include "persistence/savedstate.h"
#include "persistence/textdatafile.h"
#include "ui/program.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

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
    calculator.setExpressionText(QStringLiteral("1+1"));
    closeDown(store, calculator);
    return store;
}

struct OpenDialog {
    explicit OpenDialog(MemorySettingsStore &store)
        : program(messages, store, {quiet, quiet, quiet, quiet, QString()})
    {
        dialog.OnInitDialog();
        dialog.show();
        QApplication::processEvents();
    }
    SilentMessages messages;
    QuietPlatform quiet;
    Program program;
    Engine &engine = program.engine;
    Calculator &calculator = program.calculator;
    CCorvalinDlg &dialog = program.dialog;
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
        closeDown(target, open.calculator);
        benchmark::DoNotOptimize(target.entries().size());
    }
}
BENCHMARK(BM_SaveFullState)->Unit(benchmark::kMillisecond);

void BM_StartWithFullIniStore(benchmark::State &state)
{
    // The store as the program reads it: an INI file, parsed anew by every start.
    const QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("korvel.conf"));
    {
        QSettingsStore ini(file);
        const MemorySettingsStore full = fullStore();
        for (const auto &[where, value] : full.entries()) {
            if (const int *number = std::get_if<int>(&value))
                ini.putInt(where.first, where.second, *number);
            else if (const QString *text = std::get_if<QString>(&value))
                ini.putString(where.first, where.second, *text);
            else
                ini.putBinary(where.first, where.second, std::get<QByteArray>(value));
        }
    }
    for (auto _ : state) {
        QSettingsStore store(file);
        Engine engine;
        SilentMessages messages;
        Calculator calculator(engine, messages);
        QuietPlatform quiet;
        CCorvalinDlg dialog(calculator, store, {quiet, quiet, quiet, quiet, QString()});
        dialog.OnInitDialog();
        dialog.show();
        paint(dialog);
    }
}
BENCHMARK(BM_StartWithFullIniStore)->Unit(benchmark::kMillisecond);

// Save and Open of a full state in each format, into and out of memory; Open includes the
// rebuild of the memory list that follows it.
void BM_SaveFullState_Cdf(benchmark::State &state)
{
    MemorySettingsStore store = fullStore();
    OpenDialog open(store);
    for (auto _ : state)
        benchmark::DoNotOptimize(writeCalculatorDataFile(open.calculator.state()));
}
BENCHMARK(BM_SaveFullState_Cdf)->Unit(benchmark::kMillisecond);

void BM_SaveFullState_Csv(benchmark::State &state)
{
    MemorySettingsStore store = fullStore();
    OpenDialog open(store);
    for (auto _ : state)
        benchmark::DoNotOptimize(writeTextDataFile(open.calculator.state()));
}
BENCHMARK(BM_SaveFullState_Csv)->Unit(benchmark::kMillisecond);

template <bool text>
void openFullState(benchmark::State &state)
{
    MemorySettingsStore store = fullStore();
    QByteArray bytes;
    {
        OpenDialog open(store);
        bytes = text ? writeTextDataFile(open.calculator.state())
                     : writeCalculatorDataFile(open.calculator.state());
    }
    MemorySettingsStore empty;
    for (auto _ : state) {
        state.PauseTiming();
        // A fresh calculator each time: the load pool has room for one full file.
        auto open = std::make_unique<OpenDialog>(empty);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        state.ResumeTiming();
        open->calculator.merge(readDataFile(buffer, text));
        state.PauseTiming();
        open.reset();
        state.ResumeTiming();
    }
}
void BM_OpenFullState_Cdf(benchmark::State &state)
{
    openFullState<false>(state);
}
BENCHMARK(BM_OpenFullState_Cdf)->Unit(benchmark::kMillisecond)->Iterations(20);
void BM_OpenFullState_Csv(benchmark::State &state)
{
    openFullState<true>(state);
}
BENCHMARK(BM_OpenFullState_Csv)->Unit(benchmark::kMillisecond)->Iterations(20);

// What a pasted expression of that many characters costs in Calculate: the library's
// parse time grows with the square of the length, and it refuses more than 20,000.
void BM_CalculateLongExpression(benchmark::State &state)
{
    MemorySettingsStore empty;
    OpenDialog open(empty);
    QString text = QStringLiteral("1");
    while (text.size() < state.range(0))
        text += QStringLiteral("+1");
    for (auto _ : state)
        open.calculator.calculate(text);
    state.counters["chars"] = double(text.size());
}
BENCHMARK(BM_CalculateLongExpression)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(19999)
    ->Unit(benchmark::kMillisecond);

// 999 derivations of that many characters each, loaded as an Open loads them and listed
// once, as the Open's rebuild does. A pathological text ("+0" repeated) or one as a person
// writes it, with memories, decimal commas and functions.
void loadLongDerivations(OpenDialog &open, qsizetype length, bool realistic)
{
    QString tail;
    while (tail.size() < length) {
        tail += realistic ? QStringLiteral("+sin(d%1)*2,5-max(d%2; 3,25)/7")
                                .arg(tail.size() % 97 + 1)
                                .arg(tail.size() % 13 + 1)
                          : QStringLiteral("+0");
    }
    ReadState read;
    for (int i = 1; i <= Engine::PoolSize; ++i) {
        const QString name = QStringLiteral("d%1").arg(i);
        read.addMemory({name, double(i), name + QStringLiteral(" = ") + QString::number(i) + tail});
    }
    open.calculator.merge(read);
}

// The first Calculate after the Open parses every derivation once more and keeps it.
void BM_FirstCalculateWithLongDerivations(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        MemorySettingsStore empty;
        auto open = std::make_unique<OpenDialog>(empty);
        loadLongDerivations(*open, state.range(0), false);
        state.ResumeTiming();
        open->calculator.calculate(QStringLiteral("1+1"));
        state.PauseTiming();
        open.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstCalculateWithLongDerivations)
    ->Arg(100)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Every later Calculate.
void calculateAfterOpen(benchmark::State &state, bool realistic)
{
    MemorySettingsStore empty;
    OpenDialog open(empty);
    loadLongDerivations(open, state.range(0), realistic);
    open.calculator.calculate(QStringLiteral("1+1"));
    for (auto _ : state)
        open.calculator.calculate(QStringLiteral("1+1"));
}
void BM_CalculateWithLongDerivations(benchmark::State &state)
{
    calculateAfterOpen(state, false);
}
BENCHMARK(BM_CalculateWithLongDerivations)
    ->Arg(100)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
void BM_CalculateWithRealisticDerivations(benchmark::State &state)
{
    calculateAfterOpen(state, true);
}
BENCHMARK(BM_CalculateWithRealisticDerivations)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

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
