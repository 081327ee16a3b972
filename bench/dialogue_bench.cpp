// A conversation line, short and of a megabyte: reading it into its box
// (cut, wrapped, laid out and uploaded) and laying it out again, as every
// frame that moves the box does. The cost follows what the box shows, not
// what the file holds.
#include "bench/BenchWindow.h"
#include "render/Resources.h"
#include "ui/Dialog.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

namespace {

// state.range(0): the line's length in characters, words of five letters.
std::u16string Line(int64_t length) {
    std::u16string line;
    while (static_cast<int64_t>(line.size()) < length)
        line += u"steel ";
    line.resize(static_cast<size_t>(length));
    return line;
}

void BM_DialogueLineSet(benchmark::State& state) {
    if (!OpenBenchWindow()) {
        state.SkipWithError("no display");
        return;
    }
    const std::u16string line = Line(state.range(0));
    Dialog dialog;
    for (auto _ : state)
        benchmark::DoNotOptimize(dialog.SetLine(line, Dialog::Left));
    state.counters["rows_shown"] =
        static_cast<double>(std::count(dialog.text.begin(), dialog.text.end(), u'\n') + 1);
}
BENCHMARK(BM_DialogueLineSet)->Arg(40)->Arg(1 << 20)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DialogueLineLayout(benchmark::State& state) {
    if (!OpenBenchWindow()) {
        state.SkipWithError("no display");
        return;
    }
    Dialog dialog;
    dialog.SetLine(Line(state.range(0)), Dialog::Left);
    for (auto _ : state) {
        dialog.RebuildMesh();
        benchmark::DoNotOptimize(dialog.Vertices().data());
    }
    state.counters["glyphs"] = static_cast<double>(dialog.Vertices().size() / 16);
}
BENCHMARK(BM_DialogueLineLayout)
    ->Arg(40)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

} // namespace
