// Path finding cost: one search across a 32 x 32 room with pillars.
#include "world/RoomPathing.h"

#include <benchmark/benchmark.h>

namespace {
// A walled 32 x 32 room with a grid of pillars and a long inner wall, so the
// search has to go around.
void BuildRoom(LevelMap::RoomPathing& room) {
    room.tileWidth = room.tileHeight = 48;
    room.walkable = {1, 0};
    room.width = room.height = 32;
    room.tiles.assign(32 * 32, 1);
    for (int32_t r = 0; r < 32; ++r) {
        for (int32_t c = 0; c < 32; ++c) {
            const bool border = r == 0 || c == 0 || r == 31 || c == 31;
            const bool pillar = r % 4 == 2 && c % 4 == 2;
            const bool wall = c == 16 && r > 3;
            if (border || pillar || wall)
                room.tiles[static_cast<size_t>(r * 32 + c)] = 2;
        }
    }
    room.Init();
}
} // namespace

static void BM_FindPath32x32(benchmark::State& state) {
    LevelMap::RoomPathing room;
    BuildRoom(room);
    const Vec2 start = room.CellCentre(2, 29);
    const Vec2 goal = room.CellCentre(29, 29);
    std::deque<Vec2> path;
    for (auto _ : state) {
        path.clear();
        room.FindPath(path, nullptr, start, goal);
        benchmark::DoNotOptimize(path.size());
    }
}
BENCHMARK(BM_FindPath32x32);
