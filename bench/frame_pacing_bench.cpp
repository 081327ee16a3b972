// Frame pacing at 60 frames per second: the counter-reading wait and the
// sleeping one in turn, one second of frames each, over the same run, so a
// busy machine disturbs both alike. A frame is a simulated piece of work of
// `work_ms` (read on the clock, as a frame's drawing and waiting on the
// driver would be) followed by the controller's wait.
//
// Counters, per pacing (busy_, sleep_):
//   *_p50_us, *_p99_us, *_max_us  frame interval (start to start) minus 1/60 s
//   *_cpu                        processor seconds per second of the whole
//                                process (getrusage), work included
//   *_wait_cpu                   processor seconds per second spent inside
//                                the controller's wait (getrusage of the thread)
// and p99_gap_us = sleep_p99 - busy_p99, cpu_ratio = sleep_cpu / busy_cpu,
// wait_cpu_ratio = sleep_wait_cpu / busy_wait_cpu, margin_us = the sleep
// margin at the end.
#include "engine/QNSystem.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <sys/resource.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kTarget = 1.0 / 60.0;
constexpr int kBlockFrames = 60;

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
}

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

double Since(Clock::time_point t0, Clock::time_point t1) {
    return std::chrono::duration<double>(t1 - t0).count();
}

struct PacingRun {
    std::vector<double> errors; // seconds, interval minus the target
    double cpu = 0.0;           // processor seconds, whole process
    double waitCpu = 0.0;       // processor seconds inside the wait
    double wall = 0.0;          // seconds

    double Percentile(double p) {
        if (errors.empty())
            return 0.0;
        std::sort(errors.begin(), errors.end());
        const size_t at = static_cast<size_t>(std::ceil(p * static_cast<double>(errors.size())));
        return errors[std::min(errors.size() - 1, at == 0 ? 0 : at - 1)];
    }
};

// One block of frames with the given wait.
void RunBlock(QNFramePacing pacing, double work, PacingRun& run) {
    QNFrameRateControllerSetPacing(pacing);
    QNFrameRateControllerInit(60);
    const double cpu0 = CpuSeconds(RUSAGE_SELF);
    const Clock::time_point wall0 = Clock::now();
    Clock::time_point previous{};
    for (int frame = 0; frame <= kBlockFrames; ++frame) {
        QNFrameRateControllerStart();
        const Clock::time_point start = Clock::now();
        if (frame > 0)
            run.errors.push_back(Since(previous, start) - kTarget);
        previous = start;
        if (frame == kBlockFrames)
            break; // the last start only closes the last interval
        while (Since(start, Clock::now()) < work) {
        }
        const double wait0 = CpuSeconds(RUSAGE_THREAD);
        QNFrameRateControllerEnd();
        run.waitCpu += CpuSeconds(RUSAGE_THREAD) - wait0;
    }
    run.cpu += CpuSeconds(RUSAGE_SELF) - cpu0;
    run.wall += Since(wall0, Clock::now());
}

void Report(benchmark::State& state, const char* name, PacingRun& run) {
    const std::string prefix = name;
    state.counters[prefix + "_p50_us"] = run.Percentile(0.50) * 1e6;
    state.counters[prefix + "_p99_us"] = run.Percentile(0.99) * 1e6;
    state.counters[prefix + "_max_us"] = run.Percentile(1.0) * 1e6;
    state.counters[prefix + "_cpu"] = run.cpu / run.wall;
    state.counters[prefix + "_wait_cpu"] = run.waitCpu / run.wall;
}

// state.range(0): simulated work per frame, milliseconds; state.range(1):
// frames per pacing.
void BM_FramePacing(benchmark::State& state) {
    const double work = static_cast<double>(state.range(0)) * 1e-3;
    const int blocks = static_cast<int>(state.range(1)) / kBlockFrames;
    PacingRun busy, sleeping;
    for (auto _ : state) {
        // A warm-up block lets the sleep margin learn this machine.
        PacingRun warmUp;
        RunBlock(QN_PACING_SLEEP, work, warmUp);
        for (int b = 0; b < blocks; ++b) {
            RunBlock(QN_PACING_BUSY, work, busy);
            RunBlock(QN_PACING_SLEEP, work, sleeping);
        }
    }
    QNFrameRateControllerSetPacing(QN_PACING_SLEEP);
    Report(state, "busy", busy);
    Report(state, "sleep", sleeping);
    state.counters["p99_gap_us"] =
        state.counters["sleep_p99_us"].value - state.counters["busy_p99_us"].value;
    state.counters["cpu_ratio"] = sleeping.cpu / sleeping.wall / (busy.cpu / busy.wall);
    state.counters["wait_cpu_ratio"] =
        busy.waitCpu > 0.0 ? (sleeping.waitCpu / sleeping.wall) / (busy.waitCpu / busy.wall) : 0.0;
    state.counters["margin_us"] = QNFrameRateControllerGetSleepMargin() * 1e6;
}
// A light frame (2 ms of 16.7) and a heavy one (12 ms), 1200 frames each way.
BENCHMARK(BM_FramePacing)
    ->ArgNames({"work_ms", "frames"})
    ->Args({2, 1200})
    ->Args({12, 1200})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace
