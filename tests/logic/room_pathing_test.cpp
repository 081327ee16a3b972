// Walking in a room: floor cells, wall probes, ray casts, path finding,
// occupancy, door entry lines and loading a level's rooms.
#include "world/RoomPathing.h"
#include "world/RoomTree.h"

#include "core/AABB.h"
#include "core/Circle2D.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

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
    EXPECT_EQ(room.nodes.size(), 3u);
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
        EXPECT_STREQ(e.what(), "Map 4's door to 9 is invalid");
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
    EXPECT_FALSE(rooms.at(3)->nodes.empty());
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
        EXPECT_STREQ(e.what(), "Map 2 is invalid");
    }
}
