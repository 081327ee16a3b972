// Level load time: every room of the first story level read, spawned, given
// its pathing grid and tile mesh, as the level scene does when it starts.
// Run from the build directory (it reads assets/) with a display (Xvfb).
#include "bench/BenchWindow.h"
#include "game/Game.h"
#include "world/Room.h"

#include <benchmark/benchmark.h>

namespace {

void DropTextures() {
    Game& game = Game::Instance();
    for (auto& entry : game.textureCache)
        QNGfxTextureUnload(entry.second);
    game.textureCache.clear();
}

// Loads the level over and over; `cold` drops the texture cache before each
// load, so every image is decoded and uploaded again.
void LoadLevel(benchmark::State& state, bool cold) {
    if (!OpenBenchWindow()) {
        state.SkipWithError("no display");
        return;
    }
    const int32_t start = Game::Instance().levels.StartRoom();
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            DropTextures();
            state.ResumeTiming();
        }
        LevelMap::RoomTable<LevelMap::Room> rooms;
        LevelMap::Room::LoadLevel(rooms, start);
        benchmark::DoNotOptimize(rooms.size());
    }
}

// Textures already cached: what a restart of the level costs.
void BM_LoadStoryLevel(benchmark::State& state) {
    LoadLevel(state, false);
}
BENCHMARK(BM_LoadStoryLevel)->Unit(benchmark::kMillisecond);

// The first start of the level.
void BM_LoadStoryLevelCold(benchmark::State& state) {
    LoadLevel(state, true);
}
BENCHMARK(BM_LoadStoryLevelCold)->Unit(benchmark::kMillisecond);

} // namespace
