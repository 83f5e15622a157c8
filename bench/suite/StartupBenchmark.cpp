// Start-up until the main window is shown, offscreen, each start a process of its own:
// the real start-up (kelmo4-startup-probe) against a minimal Qt window program
// (kelmo4-minimal-window). Peak memory is the child's own VmHWM when its window is shown.
#include "suite/Suite.h"

#include "app/AppPaths.h"
#include "app/uDatabase.h"
#include "app/uDekigataDef.h"
#include "common/BenchClock.h"
#include "common/BenchData.h"
#include "common/ChildProcess.h"

#include <benchmark/benchmark.h>

#include <QDir>


#include <cstdio>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

struct TStart
{
    bool Ok = false;
    double Seconds = 0;  // from the spawn to the painted main window
    double PeakMiB = 0;
};

TStart StartAndWait(const QString &program)
{
    TStart result;
    const double started = MonotonicSeconds();
    bool ok = false;
    const std::string text = RunChild(program, {}, &ok);
    double shown = 0;
    long peakKiB = 0;
    std::sscanf(text.c_str(), "%lf %ld", &shown, &peakKiB);
    result.Ok = ok && shown > started;
    result.Seconds = shown - started;
    result.PeakMiB = double(peakKiB) / 1024.0;
    return result;
}

void BM_Startup(benchmark::State &state)
{
    // The started program finds its data folder at the default place, with a small project
    // in it, and its defaults file, as after some days of use.
    const QString folder = AppPaths::DefaultDataFolder();
    QDir().mkpath(folder);
    BenchData::MakeFolder(folder, u"small"_s);
    SaveDefaults();
    TDatabase::Close();
    OverrideAliasPath(u"tomaruk"_s, QString());

    const QString ours = QDir(ProgramFolder()).filePath(u"kelmo4-startup-probe"_s);
    const QString baseline = QDir(ProgramFolder()).filePath(u"kelmo4-minimal-window"_s);
    // Once each for the page cache.
    if (!StartAndWait(ours).Ok || !StartAndWait(baseline).Ok) {
        state.SkipWithError("a start-up program did not show its window");
        return;
    }
    double oursSum = 0, baseSum = 0, oursPeak = 0, basePeak = 0;
    for (auto _ : state) {
        const TStart a = StartAndWait(ours);
        const TStart b = StartAndWait(baseline);
        if (!a.Ok || !b.Ok) {
            state.SkipWithError("a start-up program did not show its window");
            return;
        }
        state.SetIterationTime(a.Seconds);
        oursSum += a.Seconds;
        baseSum += b.Seconds;
        oursPeak = qMax(oursPeak, a.PeakMiB);
        basePeak = qMax(basePeak, b.PeakMiB);
    }
    const double n = double(state.iterations());
    state.counters["ours_ms"] = oursSum / n * 1e3;
    state.counters["baseline_ms"] = baseSum / n * 1e3;
    state.counters["ratio"] = oursSum / baseSum;
    state.counters["ours_peak_mib"] = oursPeak;
    state.counters["baseline_peak_mib"] = basePeak;
    state.counters["peak_ratio"] = basePeak > 0 ? oursPeak / basePeak : 0;
}

} // namespace

BENCHMARK(BM_Startup)->Name("Startup")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
