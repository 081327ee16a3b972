// Path finding cost: the room's search against Boost Graph's A* on the same
// grids, start and goal: each alone, then both in turn with ours over Boost's
// CPU time as the counter `vs_boost` (below 1 is faster).
#include "world/RoomPathing.h"

#include <benchmark/benchmark.h>
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/astar_search.hpp>

#include <cstdlib>
#include <deque>
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

const LevelMap::RoomPathing& BuildRoom(LevelMap::RoomPathing& room, const Grid& grid) {
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
    return room;
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

// One grid ready for both searches; each Run does one search and answers
// the number of waypoints.
class Race {
public:
    // The graph is built in place: copying one trips GCC's
    // maybe-uninitialized check inside Boost.
    explicit Race(const Grid& grid)
        : grid_(grid), graph_(BuildGraph(BuildRoom(room_, grid))),
          predecessor_(boost::num_vertices(graph_)), distance_(boost::num_vertices(graph_)) {}

    size_t RunOurs() {
        path_.clear();
        room_.FindPath(path_, nullptr, room_.CellCentre(grid_.start.first, grid_.start.second),
                       room_.CellCentre(grid_.goal.first, grid_.goal.second));
        return path_.size();
    }

    size_t RunBoost() {
        path_.clear();
        const Vertex start = VertexOf(grid_.start);
        const Vertex goal = VertexOf(grid_.goal);
        const Octile heuristic(room_.width, grid_.goal, static_cast<uint32_t>(room_.straightCost),
                               static_cast<uint32_t>(room_.diagonalCost));
        try {
            boost::astar_search(graph_, start, heuristic,
                                boost::predecessor_map(predecessor_.data())
                                    .distance_map(distance_.data())
                                    .visitor(StopAtGoal(goal)));
        } catch (const FoundGoal&) {
            for (Vertex v = goal; v != start; v = predecessor_[v]) {
                path_.push_front(room_.CellCentre(static_cast<int32_t>(v) % room_.width,
                                                  static_cast<int32_t>(v) / room_.width));
            }
        }
        return path_.size();
    }

private:
    Vertex VertexOf(Cell cell) const {
        return static_cast<Vertex>(cell.second * room_.width + cell.first);
    }

    Grid grid_;
    LevelMap::RoomPathing room_;
    Graph graph_;
    std::vector<Vertex> predecessor_;
    std::vector<uint32_t> distance_;
    std::deque<Vec2> path_;
};

// Results go to DoNotOptimize as values: assigned to a variable inside the
// call, the sanitized build read the variable back as 0.
void Ours(benchmark::State& state, const Grid& grid) {
    Race race(grid);
    for (auto _ : state)
        benchmark::DoNotOptimize(race.RunOurs());
    if (race.RunOurs() < 2)
        state.SkipWithError("no path found");
}

void Boost(benchmark::State& state, const Grid& grid) {
    Race race(grid);
    for (auto _ : state)
        benchmark::DoNotOptimize(race.RunBoost());
    if (race.RunBoost() < 2)
        state.SkipWithError("no path found");
}

// CPU time of this thread: the machine is shared, so wall time is noisy.
double CpuNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Both searches in turn, a batch of each per iteration, so a busy machine
// slows both alike; reports ns per search of each and ours over Boost's.
void OursVersusBoost(benchmark::State& state, const Grid& grid) {
    constexpr int kBatch = 16;
    Race race(grid);
    double ours = 0.0;
    double boost = 0.0;
    for (auto _ : state) {
        const double t0 = CpuNanoseconds();
        for (int i = 0; i < kBatch; ++i)
            benchmark::DoNotOptimize(race.RunOurs());
        const double t1 = CpuNanoseconds();
        for (int i = 0; i < kBatch; ++i)
            benchmark::DoNotOptimize(race.RunBoost());
        ours += t1 - t0;
        boost += CpuNanoseconds() - t1;
    }
    if (race.RunOurs() < 2 || race.RunBoost() < 2)
        state.SkipWithError("no path found");
    const double searches = static_cast<double>(state.iterations()) * kBatch;
    state.counters["ours_ns"] = ours / searches;
    state.counters["boost_ns"] = boost / searches;
    state.counters["vs_boost"] = boost > 0.0 ? ours / boost : 0.0;
}
} // namespace

static void BM_PathOurs_Room32(benchmark::State& state) {
    Ours(state, PillarRoom());
}
static void BM_PathBoost_Room32(benchmark::State& state) {
    Boost(state, PillarRoom());
}
static void BM_PathOursVersusBoost_Room32(benchmark::State& state) {
    OursVersusBoost(state, PillarRoom());
}
static void BM_PathOurs_Maze64(benchmark::State& state) {
    Ours(state, Maze());
}
static void BM_PathBoost_Maze64(benchmark::State& state) {
    Boost(state, Maze());
}
static void BM_PathOursVersusBoost_Maze64(benchmark::State& state) {
    OursVersusBoost(state, Maze());
}
BENCHMARK(BM_PathOurs_Room32);
BENCHMARK(BM_PathBoost_Room32);
BENCHMARK(BM_PathOursVersusBoost_Room32);
BENCHMARK(BM_PathOurs_Maze64);
BENCHMARK(BM_PathBoost_Maze64);
BENCHMARK(BM_PathOursVersusBoost_Maze64);
