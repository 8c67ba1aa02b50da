#include "qt_benchmark.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>

double Fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
