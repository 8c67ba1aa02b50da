// The landscape view's full redraw on the default scenario (100 x 100 cells, 10 species,
// seed 4711, after 20 steps) with the individuals shown, in a window of 1000 x 740: the
// frame taken from the model (cell colours and discs), then the map rasterised and painted.
// Also the repaint of an unchanged frame, as an overlay change causes it.
// Run with QT_QPA_PLATFORM=offscreen (set when missing).
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <vector>

#include "qt_benchmark.h"
#include "model/model.h"
#include "model/simulation.h"
#include "program.h"
#include "step_runner.h"
#include "view/landscape_view.h"
#include "widgets/map_chart.h"

namespace {

struct TShownView {
    marovi::app::TProgram Program{[] { return std::string("2024-01-01 00:00:00"); }};
    marovi::app::TVisulaize* View = Program.Visulaize;
    marovi::app::TMapChart* Chart = View->Chart();

    TShownView()
    {
        marovi::Model& m = Program.Simulation; // nothing runs yet: the model is free
        marovi::InitStartupModel(m, 4711);
        m.RandomSeed = 4711;
        marovi::NewSimulationModel(m, 0);
        marovi::RunRoundSteps(m, 20);
        View->resize(1000, 740);
        View->show();
        View->findChild<QAbstractButton*>(QStringLiteral("ShowSpeciesCheckBox"))->click();
        Program.Runner->WaitIdle();
        QApplication::processEvents();
    }
};

void BM_ViewRedraw(benchmark::State& state)
{
    TShownView v;
    for (auto _ : state) {
        v.View->RefreshView();
        v.Program.Runner->WaitIdle();
        v.Chart->repaint();
    }
    state.counters["individuals"] = static_cast<double>(v.Chart->Frame().Discs.size());
}

void BM_ViewRepaint(benchmark::State& state)
{
    TShownView v;
    for (auto _ : state) v.Chart->repaint();
}

// The fastest of the repetitions too: other work on the machine only ever adds time.
BENCHMARK(BM_ViewRedraw)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(8)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_ViewRepaint)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(4)->ComputeStatistics("min", Fastest);

} // namespace
