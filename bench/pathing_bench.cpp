// Path finding cost: the room's search against Boost Graph's A* on the same
// grids, start and goal. Each grid runs Boost first, then ours; ours reports
// its CPU time over Boost's as the counter `vs_boost` (below 1 is faster).
#include "world/RoomPathing.h"

#include <benchmark/benchmark.h>
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/astar_search.hpp>

#include <cstdlib>
#include <deque>
#include <map>
#include <random>
#include <string>
#include <time.h>
#include <utility>
#include <vector>

namespace {
using Cell = std::pair<int32_t, int32_t>; // column, row

// One grid with its start and goal cells.
struct Grid {
    std::vector<std::string> rows; // '.' floor, '#' wall
    Cell start;
    Cell goal;
};

// A walled 32 x 32 room with a grid of pillars and a long inner wall, so the
// search has to go around.
Grid PillarRoom() {
    Grid grid{std::vector<std::string>(32, std::string(32, '.')), {2, 29}, {29, 29}};
    for (int32_t r = 0; r < 32; ++r) {
        for (int32_t c = 0; c < 32; ++c) {
            const bool border = r == 0 || c == 0 || r == 31 || c == 31;
            const bool pillar = r % 4 == 2 && c % 4 == 2;
            const bool wall = c == 16 && r > 3;
            if (border || pillar || wall)
                grid.rows[static_cast<size_t>(r)][static_cast<size_t>(c)] = '#';
        }
    }
    return grid;
}

// A 64 x 64 maze carved by a depth-first walk from a fixed seed, with some
// extra walls knocked out so there is more than one way through.
Grid Maze() {
    constexpr int32_t kSide = 64;
    constexpr int32_t kRooms = 31; // maze cells at odd coordinates 1..61
    Grid grid{std::vector<std::string>(kSide, std::string(kSide, '#')), {1, 1}, {61, 61}};
    auto at = [&grid](int32_t c, int32_t r) -> char& {
        return grid.rows[static_cast<size_t>(r)][static_cast<size_t>(c)];
    };
    std::mt19937 engine(20240611u); // raw draws only: the same maze everywhere
    std::vector<Cell> stack{{0, 0}};
    std::vector<bool> seen(kRooms * kRooms, false);
    seen[0] = true;
    at(1, 1) = '.';
    const int32_t steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    while (!stack.empty()) {
        const Cell here = stack.back();
        std::vector<Cell> open;
        for (const auto& s : steps) {
            const int32_t c = here.first + s[0];
            const int32_t r = here.second + s[1];
            if (c >= 0 && r >= 0 && c < kRooms && r < kRooms && !seen[size_t(r * kRooms + c)])
                open.emplace_back(c, r);
        }
        if (open.empty()) {
            stack.pop_back();
            continue;
        }
        const Cell next = open[engine() % open.size()];
        seen[size_t(next.second * kRooms + next.first)] = true;
        at(here.first + next.first + 1, here.second + next.second + 1) = '.';
        at(2 * next.first + 1, 2 * next.second + 1) = '.';
        stack.push_back(next);
    }
    for (int32_t r = 1; r < kSide - 2; ++r) {
        for (int32_t c = 1; c < kSide - 2; ++c) {
            const bool between = (r % 2 == 1) != (c % 2 == 1);
            if (between && at(c, r) == '#' && engine() % 12 == 0)
                at(c, r) = '.';
        }
    }
    return grid;
}

void BuildRoom(LevelMap::RoomPathing& room, const Grid& grid) {
    room.tileWidth = room.tileHeight = 48;
    room.walkable = {1, 0};
    room.height = static_cast<int32_t>(grid.rows.size());
    room.width = static_cast<int32_t>(grid.rows[0].size());
    room.tiles.clear();
    for (const std::string& row : grid.rows) {
        for (char cell : row)
            room.tiles.push_back(cell == '.' ? 1u : 2u);
    }
    room.Init();
}

// The same grid as a Boost graph: one vertex per cell, an edge to every floor
// neighbour, diagonals only where both side cells are floor.
using Graph = boost::adjacency_list<boost::vecS, boost::vecS, boost::directedS, boost::no_property,
                                    boost::property<boost::edge_weight_t, uint32_t>>;
using Vertex = boost::graph_traits<Graph>::vertex_descriptor;

Graph BuildGraph(const LevelMap::RoomPathing& room) {
    Graph graph(static_cast<size_t>(room.width) * static_cast<size_t>(room.height));
    const auto vertex = [&room](int32_t c, int32_t r) {
        return static_cast<Vertex>(r * room.width + c);
    };
    for (int32_t r = 0; r < room.height; ++r) {
        for (int32_t c = 0; c < room.width; ++c) {
            if (!room.IsWalkableCell(c, r))
                continue;
            for (int32_t dr = -1; dr <= 1; ++dr) {
                for (int32_t dc = -1; dc <= 1; ++dc) {
                    if ((dr == 0 && dc == 0) || !room.IsWalkableCell(c + dc, r + dr))
                        continue;
                    const bool diagonal = dr != 0 && dc != 0;
                    if (diagonal &&
                        (!room.IsWalkableCell(c + dc, r) || !room.IsWalkableCell(c, r + dr)))
                        continue;
                    const uint32_t cost =
                        static_cast<uint32_t>(diagonal ? room.diagonalCost : room.straightCost);
                    boost::add_edge(vertex(c, r), vertex(c + dc, r + dr), cost, graph);
                }
            }
        }
    }
    return graph;
}

class Octile : public boost::astar_heuristic<Graph, uint32_t> {
public:
    Octile(int32_t width, Cell goal, uint32_t straight, uint32_t diagonal)
        : width_(width), goal_(goal), straight_(straight), diagonal_(diagonal) {}
    uint32_t operator()(Vertex v) const {
        const int32_t c = static_cast<int32_t>(v) % width_;
        const int32_t r = static_cast<int32_t>(v) / width_;
        const uint32_t dx = static_cast<uint32_t>(std::abs(c - goal_.first));
        const uint32_t dy = static_cast<uint32_t>(std::abs(r - goal_.second));
        const uint32_t lo = std::min(dx, dy);
        return (std::max(dx, dy) - lo) * straight_ + lo * diagonal_;
    }

private:
    int32_t width_;
    Cell goal_;
    uint32_t straight_;
    uint32_t diagonal_;
};

struct FoundGoal {};

// Boost's way to stop the search at the goal.
class StopAtGoal : public boost::default_astar_visitor {
public:
    explicit StopAtGoal(Vertex goal) : goal_(goal) {}
    void examine_vertex(Vertex u, const Graph&) const {
        if (u == goal_)
            throw FoundGoal{};
    }

private:
    Vertex goal_;
};

// ns per search of the last Boost run on each grid, for ours to compare to.
std::map<std::string, double>& BoostTimes() {
    static std::map<std::string, double> times;
    return times;
}

// CPU time of this thread: the machine is shared, so wall time is noisy.
double CpuNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

double NanosecondsPerIteration(double begin, const benchmark::State& state) {
    return (CpuNanoseconds() - begin) / static_cast<double>(state.iterations());
}

void RunBoost(benchmark::State& state, const std::string& name, const Grid& grid) {
    LevelMap::RoomPathing room;
    BuildRoom(room, grid);
    const Graph graph = BuildGraph(room);
    const size_t count = boost::num_vertices(graph);
    std::vector<Vertex> predecessor(count);
    std::vector<uint32_t> distance(count);
    const Vertex start = static_cast<Vertex>(grid.start.second * room.width + grid.start.first);
    const Vertex goal = static_cast<Vertex>(grid.goal.second * room.width + grid.goal.first);
    const Octile heuristic(room.width, grid.goal, static_cast<uint32_t>(room.straightCost),
                           static_cast<uint32_t>(room.diagonalCost));
    std::deque<Vec2> path;
    bool found = false;
    const double begin = CpuNanoseconds();
    for (auto _ : state) {
        path.clear();
        found = false;
        try {
            boost::astar_search(graph, start, heuristic,
                                boost::predecessor_map(predecessor.data())
                                    .distance_map(distance.data())
                                    .visitor(StopAtGoal(goal)));
        } catch (const FoundGoal&) {
            found = true;
            for (Vertex v = goal; v != start; v = predecessor[v]) {
                path.push_front(room.CellCentre(static_cast<int32_t>(v) % room.width,
                                                static_cast<int32_t>(v) / room.width));
            }
        }
        benchmark::DoNotOptimize(path.size());
    }
    BoostTimes()[name] = NanosecondsPerIteration(begin, state);
    if (!found)
        state.SkipWithError("Boost found no path");
}

void RunOurs(benchmark::State& state, const std::string& name, const Grid& grid) {
    LevelMap::RoomPathing room;
    BuildRoom(room, grid);
    const Vec2 start = room.CellCentre(grid.start.first, grid.start.second);
    const Vec2 goal = room.CellCentre(grid.goal.first, grid.goal.second);
    std::deque<Vec2> path;
    const double begin = CpuNanoseconds();
    for (auto _ : state) {
        path.clear();
        room.FindPath(path, nullptr, start, goal);
        benchmark::DoNotOptimize(path.size());
    }
    const double ours = NanosecondsPerIteration(begin, state);
    const auto boost = BoostTimes().find(name);
    if (boost != BoostTimes().end() && boost->second > 0.0)
        state.counters["vs_boost"] = ours / boost->second;
    if (path.size() < 2)
        state.SkipWithError("no path found");
}
} // namespace

static void BM_PathBoost_Room32(benchmark::State& state) {
    RunBoost(state, "room32", PillarRoom());
}
static void BM_PathOurs_Room32(benchmark::State& state) {
    RunOurs(state, "room32", PillarRoom());
}
static void BM_PathBoost_Maze64(benchmark::State& state) {
    RunBoost(state, "maze64", Maze());
}
static void BM_PathOurs_Maze64(benchmark::State& state) {
    RunOurs(state, "maze64", Maze());
}
// Boost before ours on each grid: ours reads Boost's time.
BENCHMARK(BM_PathBoost_Room32);
BENCHMARK(BM_PathOurs_Room32);
BENCHMARK(BM_PathBoost_Maze64);
BENCHMARK(BM_PathOurs_Maze64);
