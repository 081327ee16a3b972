// The endless mode's levels: many seeds swept through the whole generation
// and every written room read back by the room loader, checked as a player
// would meet it; the same seed replays the same files; a rooms folder that
// cannot be written leaves the previous level whole.
#include "world/LevelGenerator.h"

#include "core/AssetManifest.h"
#include "world/RoomPathing.h"
#include "world/RoomTree.h"
#include "world/TileLayer.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace LevelMap;

namespace {

constexpr int32_t kSeeds = 200;
constexpr int32_t kRooms = 5;
constexpr int32_t kFirst = LevelGenerator::kFirstRoom;

// Bodies as the game builds them (radius and offset of each collider, in
// world units): Blade's circle sits 8 units above his feet; the largest
// enemy circle is the Commander's; a station's circle is 0.12 x 96; a
// prop's feet box is 0.8 x 0.25 of its image, 15 units above its centre.
constexpr float kPlayerRadius = 0.18f * 96.0f;
constexpr float kPlayerLift = 8.0f;
constexpr float kEnemyRadius = 0.13f * 96.0f;
constexpr float kStationRadius = 0.12f * 96.0f;
constexpr float kPropFeetLift = 15.0f;

// A rooms folder holding the two tilesets the generated maps name.
struct RoomsFolder {
    RoomsFolder() : path(scratch.Path() + "/rooms") {
        fs::create_directory(path);
        for (const char* tileset : {"core_terrain.tsx", "core_sprites.tsx"})
            fs::copy_file(SourceDir() + "/assets/rooms/" + tileset, path + "/" + tileset);
    }
    std::string Room(int32_t number) const { return path + "/" + std::to_string(number) + ".tmx"; }
    std::string Read(int32_t number) const {
        std::ifstream in(Room(number), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Every file name in the folder.
    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(path))
            names.insert(entry.path().filename().string());
        return names;
    }

    ScratchGameDir scratch;
    std::string path;
};

RoomTable<RoomPathing> LoadLevel(const RoomsFolder& folder) {
    RoomTable<RoomPathing> rooms;
    LoadRoomTree(rooms, kFirst, [&](RoomPathing& room, int32_t n) {
        room.LoadFile(folder.Room(n), n);
        room.Init();
    });
    return rooms;
}

// True when every cell under the world-space box [lo, hi] passes `test`.
bool EveryCellUnder(const RoomPathing& room, Vec2 lo, Vec2 hi,
                    const std::function<bool(int32_t, int32_t)>& test) {
    const float inset = 0.01f; // a box edge on a cell border stays in its own cell
    for (int32_t row = room.RowOf(hi.y - inset); row <= room.RowOf(lo.y + inset); ++row) {
        for (int32_t column = room.ColumnOf(lo.x + inset); column <= room.ColumnOf(hi.x - inset);
             ++column) {
            if (!test(column, row))
                return false;
        }
    }
    return true;
}

bool OnFloor(const RoomPathing& room, Vec2 centre, Vec2 half) {
    return EveryCellUnder(room, centre - half, centre + half,
                          [&](int32_t c, int32_t r) { return room.IsWalkableCell(c, r); });
}

// Cells a door's line crosses: the two cells of its opening.
std::set<std::pair<int32_t, int32_t>> OpeningOf(const RoomPathing& room, const Door& door) {
    std::set<std::pair<int32_t, int32_t>> cells;
    for (float t : {0.0f, 0.5f, 1.0f}) {
        const Vec2 p = door.start + (door.end - door.start) * t;
        cells.insert({room.ColumnOf(p.x), room.RowOf(p.y)});
    }
    return cells;
}

// Floor cells 4-connected to the cell of `from`.
std::set<std::pair<int32_t, int32_t>> FloorReachedFrom(const RoomPathing& room, Vec2 from) {
    std::set<std::pair<int32_t, int32_t>> seen;
    std::vector<std::pair<int32_t, int32_t>> open = {{room.ColumnOf(from.x), room.RowOf(from.y)}};
    while (!open.empty()) {
        const auto cell = open.back();
        open.pop_back();
        if (!room.IsWalkableCell(cell.first, cell.second) || !seen.insert(cell).second)
            continue;
        open.push_back({cell.first - 1, cell.second});
        open.push_back({cell.first + 1, cell.second});
        open.push_back({cell.first, cell.second - 1});
        open.push_back({cell.first, cell.second + 1});
    }
    return seen;
}

// The layout: five rooms in distinct cells of the 8 x 8 grid, each next to
// the one before it.
void CheckLayout(const LevelGenerator& g) {
    ASSERT_EQ(g.rooms.size(), static_cast<size_t>(kRooms));
    std::set<std::pair<int32_t, int32_t>> cells;
    for (size_t i = 0; i < g.rooms.size(); ++i) {
        const GeneratedRoom& room = g.rooms[i];
        EXPECT_EQ(room.index, static_cast<int32_t>(i) + 1);
        EXPECT_TRUE(room.gridX >= 0 && room.gridX < 8 && room.gridY >= 0 && room.gridY < 8);
        EXPECT_TRUE(cells.insert({room.gridX, room.gridY}).second) << "cell visited twice";
        EXPECT_EQ(g.layout[static_cast<size_t>(room.gridY * 8 + room.gridX)], room.index);
        if (i > 0) {
            const GeneratedRoom& before = g.rooms[i - 1];
            EXPECT_EQ(std::abs(room.gridX - before.gridX) + std::abs(room.gridY - before.gridY), 1);
        }
    }
    EXPECT_EQ(std::count_if(g.layout.begin(), g.layout.end(), [](int32_t v) { return v != 0; }),
              kRooms);
}

// The terrain: known pieces only, one connected floor, closed by walls
// everywhere except the door openings, straight walls facing the floor.
void CheckTerrain(const RoomPathing& room) {
    ASSERT_EQ(room.width, GeneratedRoom::kSide);
    ASSERT_EQ(room.height, GeneratedRoom::kSide);
    for (uint32_t id : room.tiles)
        ASSERT_TRUE(id >= 1 && id <= static_cast<uint32_t>(kAssetTerrainTiles)) << "id " << id;
    std::set<std::pair<int32_t, int32_t>> openings, floor, open;
    for (const Door& door : room.doors) {
        const auto cells = OpeningOf(room, door);
        EXPECT_EQ(cells.size(), 2u) << "a door spans its two-cell opening";
        openings.insert(cells.begin(), cells.end());
    }
    const auto id = [&](int32_t c, int32_t r) { return static_cast<int32_t>(room.TileAt(c, r)); };
    for (int32_t r = 0; r < room.height; ++r) {
        for (int32_t c = 0; c < room.width; ++c) {
            if (id(c, r) == kTerrainTopWall) {
                EXPECT_EQ(id(c, r + 1), kTerrainFloor) << "top wall at " << c << "," << r;
            }
            if (id(c, r) == kTerrainBottomWall) {
                EXPECT_EQ(id(c, r - 1), kTerrainFloor) << "bottom wall at " << c << "," << r;
            }
            if (!room.IsWalkableCell(c, r))
                continue;
            floor.insert({c, r});
            for (int32_t dr = -1; dr <= 1; ++dr) {
                for (int32_t dc = -1; dc <= 1; ++dc) {
                    if (id(c + dc, r + dr) == kTerrainVoid || id(c + dc, r + dr) == 0)
                        open.insert({c, r});
                }
            }
        }
    }
    EXPECT_EQ(open, openings) << "floor meets the void only in door openings";
    ASSERT_FALSE(room.doors.empty());
    EXPECT_EQ(FloorReachedFrom(room, room.doors[0].centre), floor)
        << "every floor cell is reachable from the first door";
    for (const Door& door : room.doors) {
        EXPECT_TRUE(room.IsWalkable(door.entryLine.end)) << "the entry line ends on the floor";
    }
}

// Every object is one the room loader knows, carries only properties its
// spawner reads, with values of their types.
void CheckVocabulary(const std::string& file, const RoomPathing& room) {
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.LoadFile(file.c_str()), tinyxml2::XML_SUCCESS);
    size_t objects = 0;
    for (const auto* group = doc.FirstChildElement("map")->FirstChildElement("objectgroup"); group;
         group = group->NextSiblingElement("objectgroup")) {
        for (const auto* object = group->FirstChildElement("object"); object;
             object = object->NextSiblingElement("object"), ++objects) {
            const ObjectRule* rule =
                FindObjectRule(group->Attribute("name"), object->Attribute("name"));
            ASSERT_NE(rule, nullptr)
                << group->Attribute("name") << " / "
                << (object->Attribute("name") ? object->Attribute("name") : "");
            const auto* properties = object->FirstChildElement("properties");
            for (const auto* p = properties ? properties->FirstChildElement("property") : nullptr;
                 p; p = p->NextSiblingElement("property")) {
                const std::string name = p->Attribute("name");
                const auto spec =
                    std::find_if(rule->properties.begin(), rule->properties.end(),
                                 [&](const PropertySpec& s) { return name == s.name; });
                ASSERT_NE(spec, rule->properties.end()) << name << " is read by no spawner";
                const char* value = p->Attribute("value");
                char* end = nullptr;
                switch (spec->type) {
                case PropertyType::Bool:
                    EXPECT_TRUE(std::string(value) == "true" || std::string(value) == "false");
                    break;
                case PropertyType::Int:
                    std::strtol(value, &end, 10);
                    EXPECT_TRUE(*value && !*end) << name << " = " << value;
                    break;
                case PropertyType::Float:
                    std::strtof(value, &end);
                    EXPECT_TRUE(*value && !*end) << name << " = " << value;
                    break;
                case PropertyType::String:
                    break;
                }
            }
        }
    }
    EXPECT_EQ(room.objects.size(), objects) << "every object is taken by the loader";
}

// Things stand on the floor with their bodies clear of walls; torches hang
// on top walls; props are breakable images of the sprite tileset.
void CheckPlacement(const RoomPathing& room, bool startRoom) {
    std::vector<Vec2> enemies;
    size_t players = 0;
    for (const RoomObject& o : room.objects) {
        switch (o.kind) {
        case ObjectKind::Player:
            ++players;
            EXPECT_TRUE(OnFloor(room, o.position + Vec2{0.0f, kPlayerLift},
                                {kPlayerRadius, kPlayerRadius}));
            for (const RoomObject& e : room.objects) {
                if (e.kind == ObjectKind::BasicEnemy || e.kind == ObjectKind::BiohazardEnemy ||
                    e.kind == ObjectKind::HeavyEnemy) {
                    EXPECT_GT(Length(e.position - o.position), 3.0f * 48.0f)
                        << "no enemy waits at the player's start";
                }
            }
            break;
        case ObjectKind::BasicEnemy:
        case ObjectKind::BiohazardEnemy:
        case ObjectKind::HeavyEnemy:
            EXPECT_TRUE(OnFloor(room, o.position, {kEnemyRadius, kEnemyRadius}))
                << "enemy at " << o.position.x << "," << o.position.y;
            for (Vec2 other : enemies)
                EXPECT_GT(Length(other - o.position), 57.6f) << "enemies stand apart";
            enemies.push_back(o.position);
            break;
        case ObjectKind::RefillStation:
            EXPECT_TRUE(OnFloor(room, o.position, {kStationRadius, kStationRadius}));
            break;
        case ObjectKind::SliceableEntity: {
            ASSERT_GE(o.gid, static_cast<uint32_t>(kAssetSpriteFirstGid));
            const size_t local = o.gid - kAssetSpriteFirstGid;
            ASSERT_LT(local, AssetPropTiles().size());
            EXPECT_TRUE(AssetPropTiles()[local].sliceable) << AssetPropTiles()[local].file;
            EXPECT_GT(o.tile.width, 0.0f) << "the image is in the sprite tileset";
            EXPECT_TRUE(OnFloor(room, o.position + Vec2{0.0f, kPropFeetLift},
                                {0.4f * o.tile.width, 0.125f * o.tile.height}));
            const float drop = o.Float("DropChance");
            EXPECT_TRUE(drop >= 0.0f && drop <= 100.0f);
            break;
        }
        case ObjectKind::Torch:
            EXPECT_TRUE(EveryCellUnder(
                room, o.position - Vec2{0.0f, o.size.y}, o.position + Vec2{o.size.x, 0.0f},
                [&](int32_t c, int32_t r) { return room.TileAt(c, r) == kTerrainTopWall; }))
                << "torch at " << o.position.x << "," << o.position.y;
            break;
        default:
            break;
        }
    }
    EXPECT_EQ(players, startRoom ? 1u : 0u);
    // No two bodies share a cell: nothing is spawned inside anything else.
    std::map<std::pair<int32_t, int32_t>, int> bodies;
    for (const RoomObject& o : room.objects) {
        Vec2 at = o.position;
        if (o.kind == ObjectKind::Player)
            at.y += kPlayerLift;
        else if (o.kind == ObjectKind::SliceableEntity)
            at.y += kPropFeetLift;
        else if (o.kind == ObjectKind::Door || o.kind == ObjectKind::Torch)
            continue;
        const int count = ++bodies[std::make_pair(room.ColumnOf(at.x), room.RowOf(at.y))];
        EXPECT_EQ(count, 1) << "two bodies at " << at.x << "," << at.y;
    }
    // Nobody and nothing stands in a doorway or where an entering player lands.
    for (const Door& door : room.doors) {
        for (const RoomObject& o : room.objects) {
            // (The player has left his start by the time anyone comes back.)
            if (o.kind == ObjectKind::Door || o.kind == ObjectKind::Torch ||
                o.kind == ObjectKind::Player)
                continue;
            EXPECT_GT(Length(o.position - door.entryLine.end), 48.0f)
                << "something stands in front of the door to " << door.target;
        }
    }
}

TEST(LevelGeneratorTest, EveryLevelOfManySeedsIsWholeAndPlayable) {
    RoomsFolder folder;
    for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        LevelGenerator generator(seed);
        while (!generator.GenerateLayout()) {
        }
        ASSERT_NO_FATAL_FAILURE(CheckLayout(generator));
        std::string error;
        ASSERT_TRUE(generator.BuildAndWriteRooms(folder.path, error)) << error;

        RoomTable<RoomPathing> rooms;
        try {
            rooms = LoadLevel(folder);
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
        // All five rooms are reached through doors from the first, every
        // door has a partner back, and the one exit is in the last room.
        ASSERT_EQ(rooms.size(), static_cast<size_t>(kRooms));
        int32_t exits = 0;
        for (int32_t n = kFirst; n < kFirst + kRooms; ++n) {
            SCOPED_TRACE("room " + std::to_string(n));
            ASSERT_TRUE(rooms.count(n));
            const RoomPathing& room = *rooms.at(n);
            std::set<int32_t> targets;
            for (const Door& door : room.doors) {
                targets.insert(door.target);
                if (door.target == 0) {
                    ++exits;
                    EXPECT_EQ(n, kFirst + kRooms - 1) << "the exit is in the last room";
                    continue;
                }
                const auto& next = rooms.at(door.target)->doors;
                EXPECT_TRUE(std::any_of(next.begin(), next.end(),
                                        [n](const Door& back) { return back.target == n; }))
                    << "door to " << door.target << " has no door back";
            }
            std::set<int32_t> expected;
            if (n > kFirst)
                expected.insert(n - 1);
            expected.insert(n + 1 < kFirst + kRooms ? n + 1 : 0);
            EXPECT_EQ(targets, expected) << "doors follow the chain";
            CheckTerrain(room);
            CheckVocabulary(folder.Room(n), room);
            CheckPlacement(room, n == kFirst);
        }
        EXPECT_EQ(exits, 1);
        if (HasFatalFailure() || HasFailure())
            break; // one broken seed is enough to read
    }
}

TEST(LevelGeneratorTest, ASeedReplaysTheSameFilesByteForByte) {
    RoomsFolder first, again, other;
    const EndlessLevel drawn = GenerateEndlessLevel(first.path);
    ASSERT_TRUE(drawn.ok) << drawn.error;
    // The seed reported for a level without a given seed replays it.
    const EndlessLevel replay = GenerateEndlessLevel(again.path, drawn.seed);
    ASSERT_TRUE(replay.ok) << replay.error;
    EXPECT_EQ(replay.seed, drawn.seed);
    const EndlessLevel different = GenerateEndlessLevel(other.path, drawn.seed + 1);
    ASSERT_TRUE(different.ok) << different.error;
    bool differs = false;
    for (int32_t n = kFirst; n < kFirst + kRooms; ++n) {
        ASSERT_FALSE(first.Read(n).empty());
        EXPECT_EQ(first.Read(n), again.Read(n)) << "room " << n;
        differs = differs || first.Read(n) != other.Read(n);
    }
    EXPECT_TRUE(differs) << "another seed gives another level";
    EXPECT_EQ(first.Files(), again.Files()) << "no temporary file is left behind";
}

TEST(LevelGeneratorTest, TheRoomFileHasTheLayoutTheLoaderAndTheEditorRead) {
    RoomsFolder folder;
    LevelGenerator generator(11);
    while (!generator.GenerateLayout()) {
    }
    std::string error;
    ASSERT_TRUE(generator.BuildRooms(error)) << error;
    for (size_t i = 0; i < generator.rooms.size(); ++i) {
        SCOPED_TRACE("room " + std::to_string(i));
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(doc.Parse(generator.RoomDocument(i).c_str()), tinyxml2::XML_SUCCESS);
        const tinyxml2::XMLElement* map = doc.FirstChildElement("map");
        ASSERT_NE(map, nullptr);
        EXPECT_STREQ(map->Attribute("orientation"), "orthogonal");
        EXPECT_EQ(map->IntAttribute("width"), 32);
        EXPECT_EQ(map->IntAttribute("tilewidth"), 48);
        const auto* terrain = map->FirstChildElement("tileset");
        EXPECT_EQ(terrain->IntAttribute("firstgid"), 1);
        EXPECT_STREQ(terrain->Attribute("source"), "core_terrain.tsx");
        const auto* sprites = terrain->NextSiblingElement("tileset");
        EXPECT_EQ(sprites->IntAttribute("firstgid"), kAssetSpriteFirstGid);
        EXPECT_STREQ(sprites->Attribute("source"), "core_sprites.tsx");
        // The layer: one line of plain Base64 holding the room's cells.
        const auto* data = map->FirstChildElement("layer")->FirstChildElement("data");
        EXPECT_STREQ(data->Attribute("encoding"), "base64");
        const std::string text = data->GetText();
        EXPECT_EQ(text.size(), 5464u);
        EXPECT_EQ(text.find_first_of("\r\n "), std::string::npos);
        std::vector<uint32_t> ids(32 * 32, 0);
        std::string reason;
        ASSERT_TRUE(DecodeLayerData(data, ids, reason)) << reason;
        EXPECT_TRUE(std::equal(ids.begin(), ids.end(), generator.rooms[i].cells.begin()));
        // The groups in order, the player only in the first room, object
        // ids counting through the file.
        std::vector<std::string> groups;
        int32_t id = 0;
        for (const auto* g = map->FirstChildElement("objectgroup"); g;
             g = g->NextSiblingElement("objectgroup")) {
            groups.push_back(g->Attribute("name"));
            for (const auto* o = g->FirstChildElement("object"); o;
                 o = o->NextSiblingElement("object"))
                EXPECT_EQ(o->IntAttribute("id"), ++id);
        }
        std::vector<std::string> expected = {"Torches", "Doors", "SliceableObjects", "Enemies",
                                             "NPCs"};
        if (i == 0)
            expected.insert(expected.begin() + 1, "Player");
        EXPECT_EQ(groups, expected);
    }
}

TEST(LevelGeneratorTest, AFolderThatCannotBeWrittenLeavesThePreviousLevelWhole) {
    // No folder at all: nothing is written, and the caller is told why.
    {
        RoomsFolder folder;
        const EndlessLevel level = GenerateEndlessLevel(folder.path + "/missing", 5);
        EXPECT_FALSE(level.ok);
        EXPECT_EQ(level.error.rfind("Error saving room : 100", 0), 0u) << level.error;
        EXPECT_FALSE(fs::exists(folder.path + "/missing"));
    }
    // The third room cannot be written (a directory squats on its
    // temporary name): none of the five is replaced, no temporary stays.
    RoomsFolder folder;
    ASSERT_TRUE(GenerateEndlessLevel(folder.path, 1).ok);
    std::map<int32_t, std::string> previous;
    for (int32_t n = kFirst; n < kFirst + kRooms; ++n)
        previous[n] = folder.Read(n);
    const std::set<std::string> files = folder.Files();
    fs::create_directory(folder.path + "/102.tmx.tmp");
    const EndlessLevel level = GenerateEndlessLevel(folder.path, 2);
    EXPECT_FALSE(level.ok);
    EXPECT_EQ(level.seed, 2u);
    EXPECT_NE(level.error.find("Error saving room : 102"), std::string::npos) << level.error;
    for (int32_t n = kFirst; n < kFirst + kRooms; ++n)
        EXPECT_EQ(folder.Read(n), previous[n]) << "room " << n;
    fs::remove(folder.path + "/102.tmx.tmp");
    EXPECT_EQ(folder.Files(), files);
}

} // namespace
