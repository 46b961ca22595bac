#pragma once

// What the benchmarks that set a page against its plain baseline share: the two timed in
// turn over many rounds (so both meet the same cache and machine state), their medians
// reported in ms with the ratio, and the main() of a benchmark program that builds widgets.

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace zorv::bench {

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Sets the counters `oursName` and `baseName` to the medians of `ours` and `base` (in ms)
// and "ratio" to ours over base.
inline void reportMedians(benchmark::State &state, const char *oursName, const std::vector<double> &ours,
                          const char *baseName, const std::vector<double> &base)
{
    const double oursMs = median(ours), baseMs = median(base);
    state.counters[oursName] = oursMs;
    state.counters[baseName] = baseMs;
    state.counters["ratio"] = baseMs > 0 ? oursMs / baseMs : 0;
}

// Runs `ours` then `base`, `rounds` times in every iteration of `state`, and reports their
// medians and ratio.
template<typename Ours, typename Base>
void compareInRounds(benchmark::State &state, int rounds, const char *oursName, Ours &&ours,
                     const char *baseName, Base &&base)
{
    std::vector<double> oursMs, baseMs;
    QElapsedTimer clock;
    for (auto _ : state) {
        for (int round = 0; round < rounds; ++round) {
            clock.start();
            ours();
            oursMs.push_back(clock.nsecsElapsed() / 1e6);
            clock.start();
            base();
            baseMs.push_back(clock.nsecsElapsed() / 1e6);
        }
    }
    reportMedians(state, oursName, oursMs, baseName, baseMs);
}

// main() of a benchmark program that needs an application object of type `App` (an event
// loop, say); with widgets, offscreen unless a platform is named.
template<typename App> int runBenchmarksWith(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

inline int runWidgetBenchmarks(int argc, char **argv)
{
    return runBenchmarksWith<QApplication>(argc, argv);
}

} // namespace zorv::bench
