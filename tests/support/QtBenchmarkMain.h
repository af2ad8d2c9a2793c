// The main of a benchmark of windows: Qt offscreen, then the benchmarks.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

namespace kx::test {

inline int RunBenchmarksOffscreen(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace kx::test
