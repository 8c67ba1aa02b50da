// Steps per second of the default scenario (100 x 100, 10 species, seed 4711), in rounds
// of ten steps: once headless (the steps and the round's status entry, as the runner does
// them), once through the main window's run loop with the status list and the chart
// updating every round. Run with QT_QPA_PLATFORM=offscreen (set when missing).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>

#include "files/status_list.h"
#include "main_form.h"
#include "model/model.h"
#include "model/simulation.h"
#include "program.h"

namespace {

constexpr int RoundSteps = 10; // the track bar's start position

void PrepareScenario(marovi::Model& m)
{
    marovi::InitStartupModel(m, 4711);
    m.RandomSeed = 4711;
}

void BM_HeadlessRounds(benchmark::State& state)
{
    marovi::Model m;
    PrepareScenario(m);
    marovi::NewSimulationModel(m, 0);
    marovi::TStatusList list([] { return std::string("2024-01-01 00:00:00"); });
    long long steps = 0;
    for (auto _ : state) {
        steps += marovi::RunRoundSteps(m, RoundSteps);
        marovi::FinishRound(m, list);
    }
    state.counters["steps_per_s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}

void BM_WindowRounds(benchmark::State& state)
{
    marovi::app::TProgram program([] { return std::string("2024-01-01 00:00:00"); });
    PrepareScenario(program.Simulation);
    marovi::app::TMainForm* form = program.MainForm.get();
    form->show();
    form->NewSimulation();
    form->Run();
    long long steps = 0;
    int target = 0;
    for (auto _ : state) {
        target += RoundSteps;
        while (program.Simulation.TimeStep < target) QCoreApplication::processEvents(QEventLoop::AllEvents);
        steps += RoundSteps;
    }
    state.counters["steps_per_s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
    form->Stop();
    while (form->LoopActive()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

BENCHMARK(BM_HeadlessRounds)->Iterations(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowRounds)->Iterations(100)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
