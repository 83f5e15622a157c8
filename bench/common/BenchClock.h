#pragma once

#include "common/Monotonic.h"

#include <benchmark/benchmark.h>

#include <utility>

// Runs our operation and the baseline once per iteration, one right after the other so
// both see the same load on the machine. The benchmark's time is ours; the counters give
// both means in milliseconds and their ratio.
// Prepare runs before each iteration, outside both times (it gives our operation the same
// amount of work every time, as a user's new input would).
template <typename TPrepare, typename TOurs, typename TBaseline>
void RunAgainstBaseline(benchmark::State &state, TPrepare &&prepare, TOurs &&ours, TBaseline &&baseline)
{
    double oursSum = 0;
    double baseSum = 0;
    for (auto _ : state) {
        prepare();
        const double t0 = MonotonicSeconds();
        ours();
        const double t1 = MonotonicSeconds();
        baseline();
        const double t2 = MonotonicSeconds();
        state.SetIterationTime(t1 - t0);
        oursSum += t1 - t0;
        baseSum += t2 - t1;
    }
    const double n = double(state.iterations());
    state.counters["ours_ms"] = oursSum / n * 1e3;
    state.counters["baseline_ms"] = baseSum / n * 1e3;
    state.counters["ratio"] = baseSum > 0 ? oursSum / baseSum : 0;
}

template <typename TOurs, typename TBaseline>
void RunAgainstBaseline(benchmark::State &state, TOurs &&ours, TBaseline &&baseline)
{
    RunAgainstBaseline(state, [] {}, std::forward<TOurs>(ours), std::forward<TBaseline>(baseline));
}
