// Walking in a room: floor cells, wall probes, ray casts, path finding,
// occupancy, door entry lines and loading a level's rooms.
#include "world/PathGrid.h"
#include "world/RoomPathing.h"
#include "world/RoomTree.h"

#include "core/AABB.h"
#include "core/Circle2D.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace LevelMap;

namespace {
// A room drawn as text: '.' floor, '#' wall, 48-unit cells.
void Build(RoomPathing& room, const std::vector<std::string>& rows) {
    room.tileWidth = room.tileHeight = 48;
    room.walkable = {1, 0};
    room.height = static_cast<int32_t>(rows.size());
    room.width = static_cast<int32_t>(rows[0].size());
    room.tiles.clear();
    for (const std::string& row : rows) {
        for (char cell : row)
            room.tiles.push_back(cell == '.' ? 1u : 2u);
    }
    room.Init();
}

Circle2D Body(Vec2 centre, float radius) {
    Circle2D circle(radius);
    circle.UpdateTransform(centre, 0.0f, {1, 1});
    return circle;
}

std::vector<std::pair<int32_t, int32_t>> Cells(const RoomPathing& room,
                                               const std::deque<Vec2>& path) {
    std::vector<std::pair<int32_t, int32_t>> cells;
    for (const Vec2& p : path)
        cells.emplace_back(room.ColumnOf(p.x), room.RowOf(p.y));
    return cells;
}
} // namespace

TEST(RoomPathing, CellsAndCentres) {
    RoomPathing room;
    Build(room, {"###", "#.#", "###"});
    EXPECT_EQ(room.ColumnOf(47.9f), 0);
    EXPECT_EQ(room.ColumnOf(48.0f), 1);
    EXPECT_EQ(room.ColumnOf(-0.1f), -1);
    EXPECT_EQ(room.RowOf(-0.1f), 0);
    EXPECT_EQ(room.RowOf(-48.0f), 0);
    EXPECT_EQ(room.RowOf(-48.1f), 1);
    EXPECT_EQ(room.RowOf(0.0f), -1);
    const Vec2 centre = room.CellCentre(1, 1);
    EXPECT_FLOAT_EQ(centre.x, 72.0f);
    EXPECT_FLOAT_EQ(centre.y, -72.0f);
    EXPECT_TRUE(room.IsWalkable({72, -72}));
    EXPECT_FALSE(room.IsWalkable({20, -72}));
    EXPECT_FALSE(room.IsWalkable({72, 10})) << "outside the map is wall";
    EXPECT_FALSE(room.IsWalkable({NAN, -72}));
    EXPECT_FALSE(room.IsWalkable({1e30f, -72}));
    EXPECT_EQ(room.CellCount(), 9u);
    EXPECT_EQ(room.NodeAt(2, 1).column, 2);
    EXPECT_EQ(room.NodeAt(2, 1).row, 1);
}

TEST(RoomPathing, WallProbesPushCirclesBackOntoTheFloor) {
    RoomPathing room;
    Build(room, {"#####", "#...#", "#...#", "#...#", "#####"});
    // Floor spans x 48..192 and y -48..-192.
    const struct {
        const char* what;
        Vec2 centre;
        bool hit;
        Vec2 correction;
    } cases[] = {
        {"middle of the floor", {120, -120}, false, {0, 0}},
        {"into the top wall", {120, -58}, true, {0, -5}},
        {"into the bottom wall", {120, -180}, true, {0, 3}},
        {"into the left wall", {58, -120}, true, {5, 0}},
        {"into the right wall", {180, -120}, true, {-3, 0}},
        {"into a corner", {58, -58}, true, {5, -5}},
    };
    for (const auto& c : cases) {
        const WallHit r = room.ResolveWalls(Body(c.centre, 15.0f));
        EXPECT_EQ(r.hit, c.hit) << c.what;
        EXPECT_FLOAT_EQ(r.point.x, c.correction.x) << c.what;
        EXPECT_FLOAT_EQ(r.point.y, c.correction.y) << c.what;
    }
}

// Walks a circle `steps` times by `step`, letting the room push it out of
// the walls after each step as it does Blade's body; the end centre.
Vec2 WalkSliding(const RoomPathing& room, Vec2 from, Vec2 step, int steps, float radius) {
    Vec2 at = from;
    for (int i = 0; i < steps; ++i) {
        at += step;
        const WallHit out = room.SlideOutOfWalls(Body(at, radius));
        if (out.hit)
            at += out.point;
    }
    return at;
}

TEST(RoomPathing, BodiesSlideAlongWallsInsteadOfStopping) {
    RoomPathing room;
    Build(room, {"#######", "#.....#", "#.....#", "#.....#", "#######"});
    // Floor spans x 48..288 and y -48..-192.
    const float r = 17.0f;
    const WallHit still = room.SlideOutOfWalls(Body({120, -120}, r));
    EXPECT_FALSE(still.hit) << "a body on open floor is left alone";
    const WallHit top = room.SlideOutOfWalls(Body({120, -60}, r));
    EXPECT_TRUE(top.hit);
    EXPECT_FLOAT_EQ(top.point.x, 0.0f) << "a flat wall pushes straight back";
    EXPECT_FLOAT_EQ(top.point.y, -5.0f);

    // Up and to the right into the top wall: once against it, the body
    // keeps its whole step along it until the corner stops it.
    const Vec2 end = WalkSliding(room, {80, -150}, {2, 2}, 100, r);
    EXPECT_NEAR(end.y, -48.0f - r, 0.01f) << "held against the top wall";
    EXPECT_NEAR(end.x, 288.0f - r, 0.01f) << "slid along it into the corner";
    // Straight up against the wall there is nothing to slide along.
    const Vec2 up = WalkSliding(room, {120, -150}, {0, 2}, 60, r);
    EXPECT_NEAR(up.x, 120.0f, 0.01f);
    EXPECT_NEAR(up.y, -48.0f - r, 0.01f);
}

TEST(RoomPathing, BodiesRoundTheCornersOfDoorwaysAndCorridors) {
    RoomPathing room;
    // Two rooms joined by a one-cell doorway in column 4 (x 192..240, y
    // -96..-144), and a corridor that turns down at column 8 (x 384..432).
    Build(room,
          {"##########", "#...#....#", "#........#", "#...#..#.#", "#...#..#.#", "##########"});
    const float r = 17.0f;
    const struct {
        const char* what;
        Vec2 from;
        Vec2 step;
        int steps;
        bool (*through)(Vec2 end);
    } cases[] = {
        {"east, catching the doorway's upper corner",
         {120, -106},
         {2, 0},
         80,
         [](Vec2 e) { return e.x > 260.0f; }},
        {"east, catching its lower corner",
         {120, -134},
         {2, 0},
         80,
         [](Vec2 e) { return e.x > 260.0f; }},
        {"west, catching its upper corner",
         {300, -104},
         {-2, 0},
         80,
         [](Vec2 e) { return e.x < 170.0f; }},
        {"diagonally into the doorway from below its lower corner",
         {140, -170},
         {2, 1},
         120,
         [](Vec2 e) { return e.x > 260.0f; }},
        {"south round the corridor's corner",
         {398, -70},
         {0, -2},
         80,
         [](Vec2 e) { return e.y < -190.0f; }},
    };
    for (const auto& c : cases) {
        const Vec2 end = WalkSliding(room, c.from, c.step, c.steps, r);
        EXPECT_TRUE(c.through(end)) << c.what << ": stopped at " << end.x << ", " << end.y;
        EXPECT_TRUE(room.IsWalkable(end)) << c.what;
    }
}

TEST(RoomPathing, RaysStopOnTheWallCellBorder) {
    RoomPathing room;
    Build(room, {"#######", "#.....#", "#..#..#", "#.....#", "#######"});
    const struct {
        const char* what;
        Vec2 a, b;
        bool hit;
        Vec2 point;
    } cases[] = {
        {"clear", {60, -72}, {280, -72}, false, {280, -72}},
        {"into the pillar from the left", {60, -120}, {300, -120}, true, {144, -120}},
        {"into the pillar from the right", {270, -120}, {60, -120}, true, {192, -120}},
        {"into the outer wall, slanted", {72, -72}, {-24, -24}, true, {48, -60}},
        {"upwards into the pillar", {168, -180}, {168, -60}, true, {168, -144}},
    };
    for (const auto& c : cases) {
        const WallHit r = room.Raycast(c.a, c.b);
        EXPECT_EQ(r.hit, c.hit) << c.what;
        EXPECT_NEAR(r.point.x, c.point.x, 1e-3f) << c.what;
        EXPECT_NEAR(r.point.y, c.point.y, 1e-3f) << c.what;
    }
    const WallHit inside = room.Raycast({10, -10}, {100, -100});
    EXPECT_TRUE(inside.hit) << "a start inside a wall hits at once";
    EXPECT_FLOAT_EQ(inside.point.x, 10.0f);
}

TEST(RoomPathing, PathsGoAroundWallsWithoutCuttingCorners) {
    RoomPathing room;
    Build(room, {"#######", "#.....#", "#.###.#", "#.#.#.#", "#.#.#.#", "#######"});
    std::deque<Vec2> path;
    const Vec2 start = room.CellCentre(1, 4);
    const Vec2 goal = room.CellCentre(5, 4);
    room.FindPath(path, nullptr, start, goal);
    ASSERT_FALSE(path.empty());
    const auto cells = Cells(room, path);
    EXPECT_EQ(cells.back(), std::make_pair(5, 4));
    // Up the left corridor, along the top and down: each step to a
    // neighbour, every cell floor, no diagonal past a wall corner.
    std::pair<int32_t, int32_t> previous{1, 4};
    for (const auto& cell : cells) {
        EXPECT_TRUE(room.IsWalkableCell(cell.first, cell.second));
        const int32_t dc = cell.first - previous.first;
        const int32_t dr = cell.second - previous.second;
        EXPECT_LE(std::abs(dc), 1);
        EXPECT_LE(std::abs(dr), 1);
        if (dc != 0 && dr != 0) {
            EXPECT_TRUE(room.IsWalkableCell(previous.first + dc, previous.second));
            EXPECT_TRUE(room.IsWalkableCell(previous.first, previous.second + dr));
        }
        previous = cell;
    }
    EXPECT_GE(cells.size(), 10u);

    path.clear();
    room.FindPath(path, nullptr, start, room.CellCentre(3, 2));
    EXPECT_TRUE(path.empty()) << "a goal inside a wall";
    room.FindPath(path, nullptr, start, {-500, 500});
    EXPECT_TRUE(path.empty()) << "a goal outside the map";
    room.FindPath(path, nullptr, start, room.CellCentre(3, 4));
    EXPECT_TRUE(path.empty()) << "a walled-in goal";
}

TEST(RoomPathing, DiagonalBetweenTouchingWallCornersIsNeverTaken) {
    RoomPathing room;
    Build(room, {"####", "#.##", "##.#", "####"});
    std::deque<Vec2> path;
    room.FindPath(path, nullptr, room.CellCentre(1, 1), room.CellCentre(2, 2));
    EXPECT_TRUE(path.empty());
}

TEST(RoomPathing, ShortPathsAndJitter) {
    RoomPathing room;
    Build(room, {"#####", "#...#", "#...#", "#####"});
    std::deque<Vec2> path;
    const Vec2 goal{150, -110};
    room.FindPath(path, nullptr, room.CellCentre(1, 1), goal);
    ASSERT_EQ(path.size(), 3u) << "neighbour centre, goal cell centre, goal point";
    EXPECT_FLOAT_EQ(path.back().x, 150.0f);
    EXPECT_FLOAT_EQ(path.back().y, -110.0f);

    path.clear();
    room.FindPath(path, nullptr, {70, -70}, {74, -74});
    ASSERT_EQ(path.size(), 1u) << "goal in the start cell";
    EXPECT_FLOAT_EQ(path.front().x, 74.0f);

    // A body's waypoints wander within a quarter of the room it has.
    const Circle2D body = Body({72, -72}, 16.0f);
    for (int i = 0; i < 20; ++i) {
        path.clear();
        room.FindPath(path, &body, room.CellCentre(1, 1), room.CellCentre(3, 2));
        ASSERT_FALSE(path.empty());
        const Vec2 last = path.back();
        EXPECT_LE(std::fabs(last.x - 168.0f), 4.0f);
        EXPECT_LE(std::fabs(last.y + 120.0f), 4.0f);
        for (const Vec2& p : path)
            EXPECT_TRUE(room.IsWalkable(p));
    }
}

TEST(RoomPathing, OccupiedCellsAreAvoidedAndKeepTheirFirstEnemy) {
    RoomPathing room;
    Build(room, {"#####", "#...#", "#...#", "#...#", "#####"});
    const Circle2D first = Body(room.CellCentre(2, 2), 10.0f);
    const Circle2D second = Body(room.CellCentre(2, 2), 10.0f);
    room.ClearOccupancy();
    room.MarkOccupied(first, true);
    room.MarkOccupied(second, true);
    EXPECT_EQ(room.NodeAt(2, 2).occupant, &first);
    EXPECT_EQ(room.NodeAt(2, 2).occupancy, room.occupiedCost);
    EXPECT_EQ(room.NodeAt(1, 2).occupancy, 0u);
    const Circle2D player = Body(room.CellCentre(2, 2), 10.0f);
    room.MarkOccupied(player, false);
    EXPECT_EQ(room.NodeAt(2, 2).occupant, &player) << "the player takes the cell";

    AABB wide({100, 10});
    wide.UpdateTransform(room.CellCentre(2, 3), 0.0f, {1, 1});
    room.MarkOccupied(wide, false);
    EXPECT_EQ(room.NodeAt(1, 3).occupant, &wide);
    EXPECT_EQ(room.NodeAt(3, 3).occupant, &wide);

    // A path across the middle row goes around the occupied cell.
    room.ClearOccupancy();
    room.MarkOccupied(first, true);
    std::deque<Vec2> path;
    room.FindPath(path, nullptr, room.CellCentre(1, 2), room.CellCentre(3, 2));
    for (const auto& cell : Cells(room, path))
        EXPECT_NE(cell, std::make_pair(2, 2));
    room.ClearOccupancy();
    EXPECT_EQ(room.NodeAt(2, 2).occupant, nullptr);
}

TEST(RoomPathing, BodiesArePushedOutOfThePlayerOntoFloorOnly) {
    RoomPathing room;
    Build(room, {"####", "#..#", "####"});
    const Circle2D player = Body({72, -72}, 10.0f);
    const Circle2D near = Body({85, -72}, 10.0f);
    const WallHit moved = room.PushOutOfPlayer(near, player, {85, -72});
    EXPECT_TRUE(moved.hit);
    EXPECT_FLOAT_EQ(moved.point.x, 92.0f);
    const Circle2D walled = Body({72, -60}, 10.0f);
    const WallHit stays = room.PushOutOfPlayer(walled, player, {72, -45});
    EXPECT_FALSE(stays.hit) << "the push would end in the wall";
    EXPECT_FLOAT_EQ(stays.point.y, -45.0f);
}

namespace {
using Cell = std::pair<int32_t, int32_t>; // column, row

// The search written the plain way, as a yardstick: every node reset, the
// open node with the smallest f (then the lowest cell index, row by row)
// found by a scan. The chain of cells from start to goal, the start left
// out; nothing when there is no way.
std::optional<std::vector<Cell>> ReferencePath(const RoomPathing& room, Cell start, Cell goal,
                                               const Collider2D* mover) {
    const int32_t w = room.width;
    const int32_t h = room.height;
    const auto inside = [&](Cell c) {
        return c.first >= 0 && c.second >= 0 && c.first < w && c.second < h;
    };
    if (!inside(start) || !inside(goal) || !room.IsWalkableCell(goal.first, goal.second))
        return std::nullopt;
    struct Node {
        uint32_t f = 0xFFFFFFFFu;
        uint32_t g = 0;
        int32_t parent = -1;
        bool open = false;
        bool closed = false;
    };
    std::vector<Node> nodes(static_cast<size_t>(w * h));
    const auto index = [w](Cell c) { return c.second * w + c.first; };
    int32_t current = index(start);
    for (bool first = true;; first = false) {
        if (!first) {
            current = -1;
            for (int32_t i = 0; i < w * h; ++i) {
                const Node& n = nodes[static_cast<size_t>(i)];
                if (n.open && !n.closed &&
                    (current < 0 || n.f < nodes[static_cast<size_t>(current)].f))
                    current = i;
            }
            if (current < 0)
                return std::nullopt;
        }
        Node& here = nodes[static_cast<size_t>(current)];
        here.closed = true;
        if (current == index(goal))
            break;
        const int32_t c = current % w;
        const int32_t r = current / w;
        for (int32_t dr = -1; dr <= 1; ++dr) {
            for (int32_t dc = -1; dc <= 1; ++dc) {
                const bool diagonal = dr != 0 && dc != 0;
                if ((dr == 0 && dc == 0) || !room.IsWalkableCell(c + dc, r + dr) ||
                    (diagonal &&
                     (!room.IsWalkableCell(c + dc, r) || !room.IsWalkableCell(c, r + dr))))
                    continue;
                Node& next = nodes[static_cast<size_t>(index({c + dc, r + dr}))];
                if (next.closed)
                    continue;
                const PathNode cell = room.NodeAt(c + dc, r + dr);
                uint32_t step = diagonal ? 14u : 10u;
                if (!(cell.occupant == mover && here.g == 0))
                    step += cell.occupancy;
                const uint32_t dx = static_cast<uint32_t>(std::abs(c + dc - goal.first));
                const uint32_t dy = static_cast<uint32_t>(std::abs(r + dr - goal.second));
                const uint32_t estimate =
                    (std::max(dx, dy) - std::min(dx, dy)) * 10u + std::min(dx, dy) * 14u;
                if (!next.open || step < next.g) {
                    next.open = true;
                    next.parent = current;
                    next.g = step;
                    next.f = step + estimate;
                }
            }
        }
    }
    std::vector<Cell> chain;
    for (int32_t i = index(goal); nodes[static_cast<size_t>(i)].parent >= 0;
         i = nodes[static_cast<size_t>(i)].parent)
        chain.insert(chain.begin(), {i % w, i / w});
    return chain;
}

// FindPath's waypoints as the chain of cells after the start: repeats (the
// goal point in the goal cell) and a leading start centre dropped.
std::optional<std::vector<Cell>> SearchedPath(RoomPathing& room, Cell start, Cell goal,
                                              const Collider2D* mover) {
    std::deque<Vec2> path;
    room.FindPath(path, mover, room.CellCentre(start.first, start.second),
                  room.CellCentre(goal.first, goal.second));
    if (path.empty())
        return std::nullopt;
    std::vector<Cell> chain;
    for (const Cell& cell : Cells(room, path)) {
        if (chain.empty() ? cell != start : cell != chain.back())
            chain.push_back(cell);
    }
    return chain;
}

// Each step goes to a floor neighbour without cutting a wall corner.
void ExpectWalkableSteps(const RoomPathing& room, Cell start, const std::vector<Cell>& chain,
                         const std::string& what) {
    Cell previous = start;
    for (const Cell& cell : chain) {
        const int32_t dc = cell.first - previous.first;
        const int32_t dr = cell.second - previous.second;
        EXPECT_TRUE(room.IsWalkableCell(cell.first, cell.second)) << what;
        EXPECT_TRUE(std::abs(dc) <= 1 && std::abs(dr) <= 1 && (dc != 0 || dr != 0)) << what;
        if (dc != 0 && dr != 0) {
            EXPECT_TRUE(room.IsWalkableCell(previous.first + dc, previous.second)) << what;
            EXPECT_TRUE(room.IsWalkableCell(previous.first, previous.second + dr)) << what;
        }
        previous = cell;
    }
}

// Searches the room and holds the result against the reference.
void ExpectSameAsReference(RoomPathing& room, Cell start, Cell goal, const Collider2D* mover,
                           const std::string& what) {
    const auto expected = ReferencePath(room, start, goal, mover);
    const auto found = SearchedPath(room, start, goal, mover);
    ASSERT_EQ(found.has_value(), expected.has_value()) << what;
    if (!found)
        return;
    EXPECT_EQ(*found, *expected) << what;
    ExpectWalkableSteps(room, start, *found, what);
}

// A body that covers exactly one cell and does not jitter paths.
AABB CellBody(const RoomPathing& room, Cell cell) {
    AABB box({20, 20});
    box.UpdateTransform(room.CellCentre(cell.first, cell.second), 0.0f, {1, 1});
    return box;
}
} // namespace

TEST(RoomPathing, SearchFindsWhatAPlainSearchFinds) {
    const struct {
        const char* what;
        std::vector<std::string> rows;
        Cell start, goal;
        std::vector<Cell> bodies; // one-cell bodies marked before the search
        bool found;
    } cases[] = {
        {"open floor, diagonal",
         {"######", "#....#", "#....#", "#....#", "######"},
         {1, 1},
         {4, 3},
         {},
         true},
        {"around a wall",
         {"#######", "#.....#", "#.###.#", "#.#.#.#", "#.#.#.#", "#######"},
         {1, 4},
         {5, 4},
         {},
         true},
        {"a winding corridor",
         {"#########", "#.......#", "#######.#", "#.......#", "#.#######", "#.......#",
          "#########"},
         {1, 1},
         {7, 5},
         {},
         true},
        {"no way through", {"#######", "#..#..#", "#..#..#", "#######"}, {1, 1}, {5, 2}, {}, false},
        {"only a wall corner between", {"####", "#.##", "##.#", "####"}, {1, 1}, {2, 2}, {}, false},
        {"start is the goal", {"###", "#.#", "###"}, {1, 1}, {1, 1}, {}, true},
        {"goal on a wall", {"#####", "#...#", "#####"}, {1, 1}, {4, 1}, {}, false},
        {"start on a wall", {"#####", "#...#", "#...#", "#####"}, {0, 1}, {3, 2}, {}, true},
        {"start outside the map", {"#####", "#...#", "#####"}, {-1, 1}, {3, 1}, {}, false},
        {"a body in the way is walked around",
         {"#####", "#...#", "#...#", "#...#", "#####"},
         {1, 2},
         {3, 2},
         {{2, 2}},
         true},
        {"a body in the only corridor is passed",
         {"#######", "#.....#", "#######"},
         {1, 1},
         {5, 1},
         {{3, 1}},
         true},
    };
    for (const auto& c : cases) {
        RoomPathing room;
        Build(room, c.rows);
        std::vector<AABB> bodies;
        bodies.reserve(c.bodies.size());
        room.ClearOccupancy();
        for (const Cell& cell : c.bodies) {
            bodies.push_back(CellBody(room, cell));
            room.MarkOccupied(bodies.back(), true);
        }
        ExpectSameAsReference(room, c.start, c.goal, nullptr, c.what);
        EXPECT_EQ(SearchedPath(room, c.start, c.goal, nullptr).has_value(), c.found) << c.what;
    }
}

TEST(RoomPathing, AMoverDoesNotAvoidItsOwnCellOnTheFirstStep) {
    // The mover covers its start and the cell beside it; another body covers
    // the cell above. Leaving over its own cell costs nothing extra;
    // anybody else goes around.
    RoomPathing room;
    Build(room, {"######", "#....#", "#....#", "######"});
    AABB mover({60, 20});
    mover.UpdateTransform(room.CellCentre(1, 2) + Vec2{24, 0}, 0.0f, {1, 1});
    const AABB someoneElse = CellBody(room, {1, 1});
    room.ClearOccupancy();
    room.MarkOccupied(mover, true);
    room.MarkOccupied(someoneElse, true);
    ASSERT_EQ(room.NodeAt(2, 2).occupant, &mover);
    ExpectSameAsReference(room, {1, 2}, {4, 2}, &mover, "own body");
    const auto own = SearchedPath(room, {1, 2}, {4, 2}, &mover);
    ASSERT_TRUE(own.has_value());
    EXPECT_EQ(own->front(), Cell(2, 2)) << "straight on over its own cell";
    ExpectSameAsReference(room, {1, 2}, {4, 2}, nullptr, "someone else's body");
    const auto other = SearchedPath(room, {1, 2}, {4, 2}, nullptr);
    ASSERT_TRUE(other.has_value());
    EXPECT_EQ(other->front(), Cell(2, 1)) << "around a body that is not the mover";
}

TEST(RoomPathing, RepeatedSearchesInOneRoomMatchThePlainSearch) {
    // The pillared room of the benchmark, smaller, with bodies moving
    // between searches as they do from frame to frame.
    std::vector<std::string> rows(16, std::string(16, '.'));
    for (int32_t r = 0; r < 16; ++r) {
        for (int32_t c = 0; c < 16; ++c) {
            if (r == 0 || c == 0 || r == 15 || c == 15 || (r % 4 == 2 && c % 4 == 2) ||
                (c == 8 && r > 3))
                rows[static_cast<size_t>(r)][static_cast<size_t>(c)] = '#';
        }
    }
    RoomPathing room;
    Build(room, rows);
    std::mt19937 engine(7u); // raw draws only: the same cases on every run
    const auto anyCell = [&engine]() {
        return Cell(static_cast<int32_t>(engine() % 16), static_cast<int32_t>(engine() % 16));
    };
    for (int i = 0; i < 300; ++i) {
        std::vector<AABB> bodies;
        bodies.reserve(4);
        room.ClearOccupancy();
        for (uint32_t b = engine() % 4; b > 0; --b) {
            bodies.push_back(CellBody(room, anyCell()));
            room.MarkOccupied(bodies.back(), true);
        }
        const Cell start = anyCell();
        const Cell goal = anyCell();
        const AABB* mover = bodies.empty() || engine() % 2 ? nullptr : &bodies.front();
        ExpectSameAsReference(room, start, goal, mover, "search " + std::to_string(i));
    }
}

TEST(PathGrid, SearchesAcrossTheGenerationWrapForgetEarlierSearches) {
    // Three rooms in a row. An early search leaves its marks in the left
    // room, the middle one is never searched before the counter runs out,
    // searches near the end stay in the right room; then searches cross all
    // three. Each must find what a grid that never searched finds.
    const std::vector<std::string> rows = {"#############", "#...#...#...#", "#...........#",
                                           "#...#...#...#", "#############"};
    const auto build = [&rows](PathGrid& grid) {
        grid.Reset(13, 5);
        for (int32_t r = 0; r < 5; ++r) {
            for (int32_t c = 0; c < 13; ++c)
                grid.SetFloor(c, r, rows[size_t(r)][size_t(c)] == '.');
        }
    };
    const auto chain = [](const PathGrid& grid) {
        std::vector<Cell> cells;
        grid.WalkBack([&cells](int32_t c, int32_t r, bool) { cells.emplace_back(c, r); });
        return cells;
    };
    const PathCosts costs{10, 14, 1000};
    const Cell rightRoom[][2] = {
        {{9, 1}, {11, 3}}, {{11, 1}, {9, 3}}, {{9, 3}, {11, 1}}, {{10, 1}, {10, 3}}};
    const Cell across[][2] = {{{11, 2}, {1, 1}}, {{1, 3}, {11, 1}}, {{6, 1}, {2, 3}}};
    bool wrapped = false;
    // However many searches come before the wrap, the first ones after it
    // cross the rooms.
    for (size_t before = 0; before <= 4; ++before) {
        PathGrid worn;
        build(worn);
        ASSERT_TRUE(worn.Search(1, 1, 3, 3, nullptr, costs));
        worn.SetGeneration(0xFFFFFFFFu - 9u);
        std::vector<const Cell*> trips;
        for (size_t i = 0; i < before; ++i)
            trips.push_back(rightRoom[i % 4]);
        for (const auto& trip : across)
            trips.push_back(trip);
        for (const Cell* trip : trips) {
            PathGrid fresh;
            build(fresh);
            const bool expected = fresh.Search(trip[0].first, trip[0].second, trip[1].first,
                                               trip[1].second, nullptr, costs);
            const uint32_t generation = worn.Generation();
            const bool found = worn.Search(trip[0].first, trip[0].second, trip[1].first,
                                           trip[1].second, nullptr, costs);
            wrapped = wrapped || worn.Generation() < generation;
            ASSERT_EQ(found, expected) << before << " searches before, at " << generation;
            EXPECT_EQ(chain(worn), chain(fresh)) << before << " searches before, at " << generation;
        }
    }
    EXPECT_TRUE(wrapped);
}

namespace {
// A level of rooms written as map files into a scratch folder.
struct LevelFolder {
    void Room(int32_t number, const std::vector<std::string>& rows, const std::string& doors) {
        std::string csv;
        for (const std::string& row : rows) {
            for (char cell : row)
                csv += std::string(csv.empty() ? "" : ",") + (cell == '.' ? "5" : "1");
        }
        std::ofstream(dir.Path() + "/" + std::to_string(number) + ".tmx")
            << "<map><tileset firstgid=\"1\" source=\"" << SourceDir()
            << "/tests/fixtures/rooms/fixture_terrain.tsx\"/><layer width=\"" << rows[0].size()
            << "\" height=\"" << rows.size() << "\"><data encoding=\"csv\">" << csv
            << "</data></layer><objectgroup name=\"Doors\">" << doors << "</objectgroup></map>";
    }
    // A door 4 units below the top wall of a 5 x 4 room, leading to `target`.
    static std::string TopDoor(int32_t target) {
        return "<object name=\"" + std::to_string(target) +
               "\" x=\"96\" y=\"52\"><polyline points=\"0,0 48,0\"/></object>";
    }
    RoomTable<RoomPathing> Load(int32_t start, std::vector<int32_t>* order = nullptr) {
        RoomTable<RoomPathing> rooms;
        LoadRoomTree(rooms, start, [&](RoomPathing& room, int32_t n) {
            if (order)
                order->push_back(n);
            room.LoadFile(dir.Path() + "/" + std::to_string(n) + ".tmx", n);
            room.Init();
        });
        return rooms;
    }
    ScratchGameDir dir;
    const std::vector<std::string> box = {"#####", "#...#", "#...#", "#####"};
};
} // namespace

TEST(RoomLevel, EntryLinesLeadOntoTheFloor) {
    LevelFolder level;
    level.Room(
        1, level.box,
        LevelFolder::TopDoor(2) +
            "<object name=\"3\" x=\"96\" y=\"140\"><polyline points=\"48,0 0,0\"/></object>");
    RoomPathing room;
    room.LoadFile(level.dir.Path() + "/1.tmx", 1);
    room.Init();
    ASSERT_EQ(room.doors.size(), 2u);
    // The top door's normal points up into the wall: the entry runs 45
    // units down from its centre.
    const Line2D& top = room.doors[0].entryLine;
    EXPECT_FLOAT_EQ(top.start.x, 120.0f);
    EXPECT_FLOAT_EQ(top.start.y, -52.0f);
    EXPECT_FLOAT_EQ(top.end.x, 120.0f);
    EXPECT_FLOAT_EQ(top.end.y, -97.0f);
    // The bottom door, drawn right to left, has its normal down into the wall.
    const Line2D& bottom = room.doors[1].entryLine;
    EXPECT_FLOAT_EQ(bottom.end.y, -140.0f + 45.0f);
}

TEST(RoomLevel, DoorWalledOnBothSidesIsInvalid) {
    LevelFolder level;
    level.Room(4, level.box,
               "<object name=\"9\" x=\"0\" y=\"24\"><polyline points=\"0,0 30,0\"/></object>");
    RoomPathing room;
    room.LoadFile(level.dir.Path() + "/4.tmx", 4);
    try {
        room.Init();
        FAIL() << "a walled door was accepted";
    } catch (const std::runtime_error& e) {
        // The message names the door, the file and why.
        const std::string what = e.what();
        EXPECT_EQ(what.rfind("Map 4's door to 9 is invalid: the door at (15, 24) in ", 0), 0u)
            << what;
        EXPECT_NE(what.find("/4.tmx has floor on neither side"), std::string::npos) << what;
    }
}

TEST(RoomLevel, LoadsEveryReachableRoomOnceDepthFirst) {
    LevelFolder level;
    level.Room(1, level.box,
               LevelFolder::TopDoor(2) + LevelFolder::TopDoor(4) + LevelFolder::TopDoor(0));
    level.Room(2, level.box, LevelFolder::TopDoor(1) + LevelFolder::TopDoor(3));
    level.Room(3, level.box, LevelFolder::TopDoor(2) + LevelFolder::TopDoor(1));
    level.Room(4, level.box, LevelFolder::TopDoor(1));
    level.Room(5, level.box, LevelFolder::TopDoor(1)); // not reachable
    std::vector<int32_t> order;
    RoomTable<RoomPathing> rooms = level.Load(1, &order);
    EXPECT_EQ(order, (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(rooms.size(), 4u);
    EXPECT_EQ(rooms.at(3)->id, 3);
    EXPECT_EQ(rooms.at(3)->CellCount(), 20u);
    try {
        LoadRoomTree(rooms, 2, [](RoomPathing&, int32_t) {});
        FAIL() << "room 2 loaded twice";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Map2 has already been loaded");
    }
}

TEST(RoomLevel, ADoorToAMissingRoomFailsTheLevel) {
    LevelFolder level;
    level.Room(1, level.box, LevelFolder::TopDoor(2));
    try {
        level.Load(1);
        FAIL() << "a level with a missing room loaded";
    } catch (const std::runtime_error& e) {
        const std::string what = e.what();
        EXPECT_EQ(what.rfind("Map 2 is invalid: ", 0), 0u) << what;
        EXPECT_NE(what.find("/2.tmx is missing"), std::string::npos) << what;
    }
}
