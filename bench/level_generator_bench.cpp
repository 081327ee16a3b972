// Endless level generation: what the player waits for between the menu (or
// the end of a level) and the next endless level. Target: under 50 ms.
#include "world/LevelGenerator.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// A rooms folder of its own under /tmp, removed afterwards.
struct ScratchRooms {
    ScratchRooms() {
        char pattern[] = "/tmp/quorvane-bench-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made ? made : "";
    }
    ~ScratchRooms() {
        std::error_code ec;
        if (!path.empty())
            std::filesystem::remove_all(path, ec);
    }
    std::string path;
};

// The whole step: layout, shaping, furnishing, and the five room files
// written and flushed to disk.
void BM_GenerateAndWriteEndlessLevel(benchmark::State& state) {
    ScratchRooms rooms;
    if (rooms.path.empty()) {
        state.SkipWithError("no scratch folder");
        return;
    }
    uint32_t seed = 1;
    for (auto _ : state) {
        const LevelMap::EndlessLevel level = LevelMap::GenerateEndlessLevel(rooms.path, seed++);
        if (!level.ok) {
            state.SkipWithError(level.error.c_str());
            return;
        }
    }
}
BENCHMARK(BM_GenerateAndWriteEndlessLevel)->Unit(benchmark::kMillisecond);

// The same without the disk: layout, shaping, furnishing and the map texts.
void BM_GenerateEndlessLevelInMemory(benchmark::State& state) {
    uint32_t seed = 1;
    for (auto _ : state) {
        LevelMap::LevelGenerator generator(seed++);
        while (!generator.GenerateLayout()) {
        }
        std::string error;
        if (!generator.BuildRooms(error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        size_t bytes = 0;
        for (size_t i = 0; i < generator.rooms.size(); ++i)
            bytes += generator.RoomDocument(i).size();
        benchmark::DoNotOptimize(bytes);
        state.counters["shapes"] = static_cast<double>(generator.shapings);
    }
}
BENCHMARK(BM_GenerateEndlessLevelInMemory)->Unit(benchmark::kMillisecond);

} // namespace
