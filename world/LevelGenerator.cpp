// LevelGenerator -- laying out, shaping, furnishing and writing the rooms of
// an endless level.
#include "world/LevelGenerator.h"

#include "core/AssetManifest.h"
#include "core/AtomicFile.h"
#include "world/TileLayer.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace LevelMap {

namespace {

constexpr int32_t kSide = GeneratedRoom::kSide;
constexpr int32_t kTile = LevelGenerator::kTile;

// A wall cell whose piece is not chosen yet (never left in a finished room).
constexpr uint32_t kUnresolvedWall = 15;

// Layout walk: failed steps allowed before a walk is given up, and walks
// tried before the generation gives up altogether (neither happens in
// practice; they only keep a broken random source from hanging the game).
constexpr int32_t kWalkFailures = 100;
constexpr int32_t kLayoutsTried = 1000;

// Room shaping: chambers wanted per room, rejected chamber draws before a
// room makes do with what it has, free cells kept between chambers, and
// shapes tried before a room is given up.
constexpr size_t kChambersWanted = 9;
constexpr int32_t kChambersRejected = 100;
constexpr int32_t kChamberGap = 3;
constexpr int32_t kShapesTried = 20000;

// One enemy per this many chamber cells; bodies closer than the spacing
// (map pixels) would stand in each other.
constexpr int32_t kCellsPerEnemy = 6;
constexpr float kEnemySpacing = 57.6f;

// A prop stands in a wall-side cell when a draw in [0, 100] exceeds this:
// about one such cell in six, so walls are dotted with crates, not lined.
constexpr int32_t kPropThreshold = 84;
constexpr int32_t kDropChanceMin = 10; // percent
constexpr int32_t kDropChanceMax = 40;

// The station's box in the room file (its body is drawn 96 x 96 over it).
constexpr float kStationWidth = 26.0f;
constexpr float kStationHeight = 36.0f;

// The torch picture, and how far apart torches hang along a wall.
constexpr float kTorchSize = 32.0f;
constexpr int32_t kTorchSpacing = 5; // cells from one torch to the next on a wall

// Why a cell is kept free of things, as bit flags.
constexpr uint8_t kNearDoor = 1; // within two cells of a door frame
constexpr uint8_t kOccupied = 2; // a body stands here
constexpr uint8_t kNoProps = 4;  // the space around the player start or a station

size_t CellIndex(int32_t column, int32_t row) {
    return static_cast<size_t>(row * kSide + column);
}

bool InRoom(int32_t column, int32_t row) {
    return column >= 0 && row >= 0 && column < kSide && row < kSide;
}

uint32_t& CellAt(GeneratedRoom& room, int32_t column, int32_t row) {
    return room.cells[CellIndex(column, row)];
}

// Outside the room's cells a value is none of the terrain ids.
uint32_t ValueAt(const GeneratedRoom& room, int32_t column, int32_t row) {
    return InRoom(column, row) ? room.At(column, row) : 0u;
}

// ---------------------------------------------------------------------------
// Wall pieces
// ---------------------------------------------------------------------------

// What a wall cell sees on one side.
enum class Near { Any, Floor, Void, Wall, Outside };

Near Look(const GeneratedRoom& room, int32_t column, int32_t row) {
    if (!InRoom(column, row))
        return Near::Outside;
    switch (room.At(column, row)) {
    case kTerrainFloor:
        return Near::Floor;
    case kTerrainVoid:
        return Near::Void;
    default:
        return Near::Wall; // a piece already chosen, or one still to choose
    }
}

struct PieceRule {
    Near up, down, left, right;
    uint32_t piece;
};

// The terrain atlas draws these neighbourhoods; the first five rules decide
// at the first match, the rest at the last one (only the bottom-left and
// bottom-right corners can both match, and the right one wins).
const PieceRule kFirstMatch[] = {
    {Near::Void, Near::Any, Near::Void, Near::Any, kTerrainOuterTopLeft},
    {Near::Void, Near::Floor, Near::Wall, Near::Wall, kTerrainTopWall},
    {Near::Void, Near::Any, Near::Any, Near::Void, kTerrainOuterTopRight},
    {Near::Wall, Near::Wall, Near::Void, Near::Any, kTerrainLeftWall},
    {Near::Wall, Near::Wall, Near::Any, Near::Void, kTerrainRightWall},
};
const PieceRule kLastMatch[] = {
    {Near::Any, Near::Void, Near::Void, Near::Any, kTerrainOuterBottomLeft},
    {Near::Floor, Near::Void, Near::Wall, Near::Wall, kTerrainBottomWall},
    {Near::Any, Near::Void, Near::Any, Near::Void, kTerrainOuterBottomRight},
    {Near::Floor, Near::Wall, Near::Floor, Near::Wall, kTerrainInnerFloorUpLeft},
    {Near::Floor, Near::Wall, Near::Wall, Near::Floor, kTerrainInnerFloorUpRight},
    {Near::Wall, Near::Floor, Near::Floor, Near::Wall, kTerrainInnerFloorDownLeft},
    {Near::Wall, Near::Floor, Near::Wall, Near::Floor, kTerrainInnerFloorDownRight},
};

bool Fits(Near want, Near seen) {
    return want == Near::Any || want == seen;
}

bool Matches(const PieceRule& rule, Near up, Near down, Near left, Near right) {
    return Fits(rule.up, up) && Fits(rule.down, down) && Fits(rule.left, left) &&
           Fits(rule.right, right);
}

// The piece for the wall cell at (column, row); kUnresolvedWall when the
// atlas has none for its neighbourhood.
uint32_t WallPiece(const GeneratedRoom& room, int32_t column, int32_t row) {
    const Near up = Look(room, column, row - 1);
    const Near down = Look(room, column, row + 1);
    const Near left = Look(room, column - 1, row);
    const Near right = Look(room, column + 1, row);
    for (const PieceRule& rule : kFirstMatch) {
        if (Matches(rule, up, down, left, right))
            return rule.piece;
    }
    uint32_t piece = kUnresolvedWall;
    for (const PieceRule& rule : kLastMatch) {
        if (Matches(rule, up, down, left, right))
            piece = rule.piece;
    }
    return piece;
}

// ---------------------------------------------------------------------------
// Doors
// ---------------------------------------------------------------------------

// A straight wall a door can be cut into: its piece, the step from the wall
// into the room, and the four frame ids along the run (top to bottom, left
// to right): two inner corners around a two-cell opening of floor.
struct WallKind {
    WallSide side;
    uint32_t piece;
    int32_t inColumn, inRow; // one cell into the room
    std::array<uint32_t, 4> frame;
};

const WallKind kWallKinds[] = {
    {WallLeft,
     kTerrainLeftWall,
     1,
     0,
     {kTerrainInnerFloorDownRight, kTerrainFloor, kTerrainFloor, kTerrainInnerFloorUpRight}},
    {WallRight,
     kTerrainRightWall,
     -1,
     0,
     {kTerrainInnerFloorDownLeft, kTerrainFloor, kTerrainFloor, kTerrainInnerFloorUpLeft}},
    {WallTop,
     kTerrainTopWall,
     0,
     1,
     {kTerrainInnerFloorDownRight, kTerrainFloor, kTerrainFloor, kTerrainInnerFloorDownLeft}},
    {WallBottom,
     kTerrainBottomWall,
     0,
     -1,
     {kTerrainInnerFloorUpRight, kTerrainFloor, kTerrainFloor, kTerrainInnerFloorUpLeft}},
};

const WallKind& KindOf(WallSide side) {
    for (const WallKind& kind : kWallKinds) {
        if (kind.side == side)
            return kind;
    }
    return kWallKinds[0];
}

// Side walls run down the rows, top and bottom walls along the columns.
bool RunsDown(const WallKind& wall) {
    return wall.inColumn != 0;
}

struct Cell {
    int32_t column, row;
};

// Void cells joined to the edge of the grid: the dark beyond the room, as
// opposed to pockets of void enclosed by its corridors.
std::array<bool, kSide * kSide> Outside(const GeneratedRoom& room) {
    std::array<bool, kSide * kSide> outside{};
    std::vector<Cell> open;
    for (int32_t k = 0; k < kSide; ++k) {
        open.push_back({k, 0});
        open.push_back({k, kSide - 1});
        open.push_back({0, k});
        open.push_back({kSide - 1, k});
    }
    while (!open.empty()) {
        const Cell cell = open.back();
        open.pop_back();
        if (!InRoom(cell.column, cell.row) || outside[CellIndex(cell.column, cell.row)] ||
            room.At(cell.column, cell.row) != kTerrainVoid)
            continue;
        outside[CellIndex(cell.column, cell.row)] = true;
        open.push_back({cell.column - 1, cell.row});
        open.push_back({cell.column + 1, cell.row});
        open.push_back({cell.column, cell.row - 1});
        open.push_back({cell.column, cell.row + 1});
    }
    return outside;
}

// First cells of every run of four cells of `wall`'s piece with floor on
// the room side of each and the dark beyond the room on the other, so that
// doors lead out of the room rather than into a pocket between corridors.
std::vector<Cell> DoorRuns(const GeneratedRoom& room, const WallKind& wall) {
    std::vector<Cell> runs;
    const std::array<bool, kSide* kSide> outside = Outside(room);
    const int32_t stepColumn = RunsDown(wall) ? 0 : 1;
    const int32_t stepRow = RunsDown(wall) ? 1 : 0;
    for (int32_t row = 0; row < kSide; ++row) {
        for (int32_t column = 0; column < kSide; ++column) {
            bool fits = true;
            for (int32_t k = 0; k < 4 && fits; ++k) {
                const int32_t c = column + k * stepColumn;
                const int32_t r = row + k * stepRow;
                const int32_t outColumn = c - wall.inColumn, outRow = r - wall.inRow;
                fits = ValueAt(room, c, r) == wall.piece &&
                       ValueAt(room, c + wall.inColumn, r + wall.inRow) == kTerrainFloor &&
                       InRoom(outColumn, outRow) && outside[CellIndex(outColumn, outRow)];
            }
            if (fits)
                runs.push_back({column, row});
        }
    }
    return runs;
}

// The door's line crosses the opening 4 pixels inside the wall's outer edge
// and 3 pixels short of each frame, as the story rooms draw theirs.
void PlaceDoorLine(GeneratedDoor& door) {
    const float column = static_cast<float>(door.column * kTile);
    const float row = static_cast<float>(door.row * kTile);
    switch (door.side) {
    case WallLeft:
        door.x = column + 4.0f;
        door.y = row + 3.0f * kTile - 3.0f;
        break;
    case WallRight:
        door.x = column + kTile - 4.0f;
        door.y = row + 3.0f * kTile - 3.0f;
        break;
    case WallTop:
        door.x = column + kTile + 3.0f;
        door.y = row + 4.0f;
        break;
    case WallBottom:
        door.x = column + kTile + 3.0f;
        door.y = row + kTile - 4.0f;
        break;
    }
}

// The wall of the room at `from` that faces the neighbouring layout cell `to`.
WallSide SideToward(const GeneratedRoom& from, const GeneratedRoom& to) {
    if (to.gridX < from.gridX)
        return WallLeft;
    if (to.gridX > from.gridX)
        return WallRight;
    return to.gridY < from.gridY ? WallTop : WallBottom;
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

std::string Number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.8g", static_cast<double>(v));
    return text;
}

tinyxml2::XMLElement* Add(tinyxml2::XMLElement* parent, const char* name) {
    tinyxml2::XMLElement* child = parent->GetDocument()->NewElement(name);
    parent->InsertEndChild(child);
    return child;
}

tinyxml2::XMLElement* AddGroup(tinyxml2::XMLElement* map, const char* name, const char* color) {
    tinyxml2::XMLElement* group = Add(map, "objectgroup");
    if (color)
        group->SetAttribute("color", color);
    group->SetAttribute("name", name);
    return group;
}

// An object with the attributes every object has, in the map editor's order.
tinyxml2::XMLElement* AddObject(tinyxml2::XMLElement* group, int32_t& nextId, const char* name,
                                float x, float y) {
    tinyxml2::XMLElement* object = Add(group, "object");
    object->SetAttribute("id", nextId++);
    if (name)
        object->SetAttribute("name", name);
    object->SetAttribute("x", Number(x).c_str());
    object->SetAttribute("y", Number(y).c_str());
    return object;
}

// A custom property; the type only tells the map editor how to show it.
void AddProperty(tinyxml2::XMLElement* properties, const char* name, const char* type,
                 const std::string& value) {
    tinyxml2::XMLElement* property = Add(properties, "property");
    property->SetAttribute("name", name);
    if (type)
        property->SetAttribute("type", type);
    property->SetAttribute("value", value.c_str());
}

const char* EnemyName(int32_t kind) {
    static const char* const kNames[] = {"Enemy", "BiohazardEnemy", "HeavyEnemy", "Commander"};
    return kind >= 0 && kind < 4 ? kNames[kind] : kNames[0];
}

} // namespace

// ---------------------------------------------------------------------------
// The walk
// ---------------------------------------------------------------------------

LevelGenerator::LevelGenerator(uint32_t seedValue) : seed(seedValue), random(seedValue) {}

uint32_t LevelGenerator::FreshSeed() {
    return std::random_device{}();
}

// Rejection sampling straight on the engine's output: unlike the standard
// distributions it draws the same numbers with every standard library, so a
// seed replays the same level on any build.
int32_t LevelGenerator::Draw(int32_t lo, int32_t hi) {
    const uint64_t span = static_cast<uint64_t>(int64_t(hi) - int64_t(lo)) + 1u;
    const uint64_t range = uint64_t(1) << 32;
    const uint64_t limit = range - range % span;
    uint64_t value = 0;
    do {
        value = static_cast<uint64_t>(random()) & 0xFFFFFFFFu;
    } while (value >= limit);
    return static_cast<int32_t>(int64_t(lo) + static_cast<int64_t>(value % span));
}

bool LevelGenerator::GenerateLayout() {
    rooms.clear();
    layout.fill(0);
    lastDirection = direction = -1;
    int32_t column = 0;
    int32_t row = Draw(0, layoutRows - 1);
    int32_t failures = 0;
    const auto addRoom = [this](int32_t c, int32_t r) {
        GeneratedRoom room;
        room.index = static_cast<int32_t>(rooms.size()) + 1;
        room.gridX = c;
        room.gridY = r;
        layout[static_cast<size_t>(r * layoutColumns + c)] = room.index;
        rooms.push_back(room);
    };
    while (rooms.size() < static_cast<size_t>(roomsWanted) && failures < kWalkFailures) {
        // Never a third step the same way, never straight back on the one
        // before last.
        int32_t d = 0;
        do {
            d = Draw(0, 3);
        } while ((d == direction && d == lastDirection) ||
                 (lastDirection >= 0 && d == (lastDirection ^ 1)));
        if (rooms.empty()) {
            addRoom(column, row);
            continue;
        }
        const int32_t nextColumn = column + (d == 0 ? -1 : d == 1 ? 1 : 0);
        const int32_t nextRow = row + (d == 2 ? 1 : d == 3 ? -1 : 0);
        if (nextColumn < 0 || nextRow < 0 || nextColumn >= layoutColumns || nextRow >= layoutRows ||
            layout[static_cast<size_t>(nextRow * layoutColumns + nextColumn)] != 0) {
            ++failures;
            continue;
        }
        addRoom(nextColumn, nextRow);
        column = nextColumn;
        row = nextRow;
        lastDirection = direction;
        direction = d;
    }
    return rooms.size() == static_cast<size_t>(roomsWanted);
}

// ---------------------------------------------------------------------------
// Shaping
// ---------------------------------------------------------------------------

bool LevelGenerator::ShapeOnce(GeneratedRoom& room) {
    ++shapings;
    room.cells.fill(kTerrainVoid);
    room.chambers.clear();
    const auto floor = [&room](int32_t column, int32_t row) {
        CellAt(room, column, row) = kTerrainFloor;
    };
    int32_t rejected = 0;
    while (room.chambers.size() < kChambersWanted && rejected < kChambersRejected) {
        Chamber c;
        c.width = Draw(3, 5);
        c.height = Draw(3, 5);
        c.x = Draw(2, kSide - c.width - 2);
        c.y = Draw(2, kSide - c.height - 2);
        const bool crowded =
            std::any_of(room.chambers.begin(), room.chambers.end(), [&c](const Chamber& o) {
                return o.x <= c.x + c.width + kChamberGap && c.x <= o.x + o.width + kChamberGap &&
                       o.y <= c.y + c.height + kChamberGap && c.y <= o.y + o.height + kChamberGap;
            });
        if (crowded) {
            ++rejected;
            continue;
        }
        for (int32_t row = c.y; row < c.y + c.height; ++row) {
            for (int32_t column = c.x; column < c.x + c.width; ++column)
                floor(column, row);
        }
        // A corridor two cells wide from the previous chamber's centre, one
        // leg along a row and one along a column.
        if (!room.chambers.empty()) {
            const Chamber& p = room.chambers.back();
            const int32_t ax = p.CentreColumn(), ay = p.CentreRow();
            const int32_t bx = c.CentreColumn(), by = c.CentreRow();
            const auto alongRow = [&](int32_t row, int32_t from, int32_t to) {
                for (int32_t column = std::min(from, to); column <= std::max(from, to); ++column) {
                    floor(column, row);
                    floor(column, row + 1);
                }
            };
            const auto alongColumn = [&](int32_t column, int32_t from, int32_t to) {
                for (int32_t row = std::min(from, to); row <= std::max(from, to); ++row) {
                    floor(column, row);
                    floor(column + 1, row);
                }
            };
            if (Draw(0, 1) == 1) {
                alongRow(ay, ax, bx);
                alongColumn(bx, ay, by);
            } else {
                alongColumn(ax, ay, by);
                alongRow(by, ax, bx);
            }
        }
        room.chambers.push_back(c);
    }
    // Every void cell touching floor, even at a corner, becomes wall.
    for (int32_t row = 0; row < kSide; ++row) {
        for (int32_t column = 0; column < kSide; ++column) {
            if (room.At(column, row) != kTerrainVoid)
                continue;
            bool touches = false;
            for (int32_t dr = -1; dr <= 1 && !touches; ++dr) {
                for (int32_t dc = -1; dc <= 1 && !touches; ++dc)
                    touches = ValueAt(room, column + dc, row + dr) == kTerrainFloor;
            }
            if (touches)
                CellAt(room, column, row) = kUnresolvedWall;
        }
    }
    bool resolved = true;
    for (int32_t row = 0; row < kSide; ++row) {
        for (int32_t column = 0; column < kSide; ++column) {
            if (room.At(column, row) != kUnresolvedWall)
                continue;
            CellAt(room, column, row) = WallPiece(room, column, row);
            resolved = resolved && room.At(column, row) != kUnresolvedWall;
        }
    }
    return resolved;
}

bool LevelGenerator::ShapeRoom(GeneratedRoom& room, int32_t needed, bool needsExit) {
    for (int32_t attempt = 0; attempt < kShapesTried; ++attempt) {
        if (!ShapeOnce(room))
            continue;
        bool doorsFit = true;
        bool exitFits = !needsExit;
        for (const WallKind& wall : kWallKinds) {
            const bool fits = !DoorRuns(room, wall).empty();
            if (needed & wall.side)
                doorsFit = doorsFit && fits;
            else
                exitFits = exitFits || fits;
        }
        if (doorsFit && exitFits)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Furnishing
// ---------------------------------------------------------------------------

void LevelGenerator::CutDoor(GeneratedRoom& room, WallSide side, int32_t target) {
    const WallKind& wall = KindOf(side);
    const std::vector<Cell> runs = DoorRuns(room, wall);
    const Cell start = runs[static_cast<size_t>(Draw(0, static_cast<int32_t>(runs.size()) - 1))];
    const int32_t stepColumn = RunsDown(wall) ? 0 : 1;
    const int32_t stepRow = RunsDown(wall) ? 1 : 0;
    for (int32_t k = 0; k < 4; ++k) {
        const int32_t column = start.column + k * stepColumn;
        const int32_t row = start.row + k * stepRow;
        CellAt(room, column, row) = wall.frame[static_cast<size_t>(k)];
        // Nothing stands in the way of a door.
        for (int32_t dr = -2; dr <= 2; ++dr) {
            for (int32_t dc = -2; dc <= 2; ++dc) {
                if (InRoom(column + dc, row + dr))
                    keepClear[CellIndex(column + dc, row + dr)] |= kNearDoor;
            }
        }
    }
    GeneratedDoor door;
    door.side = side;
    door.target = target;
    door.column = start.column;
    door.row = start.row;
    PlaceDoorLine(door);
    room.doors.push_back(door);
    room.doorFlags |= side;
}

void LevelGenerator::PlaceStations(GeneratedRoom& room) {
    // Against a long top wall with a hall in front of it.
    for (int32_t row = 0; row + 5 < kSide; ++row) {
        int32_t column = 0;
        while (column + 4 < kSide) {
            bool fits = true;
            for (int32_t k = 0; k < 5 && fits; ++k)
                fits = room.At(column + k, row) == kTerrainTopWall &&
                       room.At(column + k, row + 5) == kTerrainFloor;
            const int32_t standColumn = column + 2, standRow = row + 1;
            if (!fits || keepClear[CellIndex(standColumn, standRow)] != 0) {
                ++column;
                continue;
            }
            GeneratedStation station;
            station.x = static_cast<float>(standColumn * kTile) + (kTile - kStationWidth) / 2.0f;
            station.y = static_cast<float>(standRow * kTile) + (kTile - kStationHeight) / 2.0f;
            station.givesHealth = Draw(0, 1) == 1;
            room.stations.push_back(station);
            for (int32_t dr = -1; dr <= 1; ++dr) {
                for (int32_t dc = -1; dc <= 1; ++dc)
                    keepClear[CellIndex(standColumn + dc, standRow + dr)] |= kNoProps;
            }
            keepClear[CellIndex(standColumn, standRow)] |= kOccupied;
            column += 5;
        }
    }
}

void LevelGenerator::PlaceEnemies(GeneratedRoom& room, bool startRoom) {
    for (size_t k = 0; k < room.chambers.size(); ++k) {
        // The chamber the player starts in is a safe one.
        if (startRoom && k == 0)
            continue;
        const Chamber& c = room.chambers[k];
        const int32_t count = c.width * c.height / kCellsPerEnemy;
        for (int32_t n = 0; n < count; ++n) {
            const int32_t kind = Draw(0, 2);
            std::vector<Cell> free;
            for (int32_t row = c.y; row < c.y + c.height; ++row) {
                for (int32_t column = c.x; column < c.x + c.width; ++column) {
                    if (keepClear[CellIndex(column, row)] & (kNearDoor | kOccupied))
                        continue;
                    const float x = static_cast<float>(column * kTile + kTile / 2);
                    const float y = static_cast<float>(row * kTile + kTile / 2);
                    const bool apart = std::all_of(
                        room.enemies.begin(), room.enemies.end(), [x, y](const GeneratedEnemy& e) {
                            return std::hypot(e.x - x, e.y - y) > kEnemySpacing;
                        });
                    if (apart)
                        free.push_back({column, row});
                }
            }
            if (free.empty())
                break;
            const Cell cell =
                free[static_cast<size_t>(Draw(0, static_cast<int32_t>(free.size()) - 1))];
            GeneratedEnemy enemy;
            enemy.kind = kind;
            enemy.x = static_cast<float>(cell.column * kTile + kTile / 2);
            enemy.y = static_cast<float>(cell.row * kTile + kTile / 2);
            room.enemies.push_back(enemy);
            keepClear[CellIndex(cell.column, cell.row)] |= kOccupied;
        }
    }
}

void LevelGenerator::PlaceTorches(GeneratedRoom& room) {
    // Every few cells along the top walls, hung in the middle of the wall tile.
    for (int32_t row = 0; row < kSide; ++row) {
        int32_t column = 0;
        while (column + 1 < kSide) {
            if (room.At(column, row) != kTerrainTopWall ||
                room.At(column + 1, row) != kTerrainTopWall) {
                ++column;
                continue;
            }
            const float inset = (kTile - kTorchSize) / 2.0f;
            room.torches.push_back({static_cast<float>((column + 1) * kTile) + inset,
                                    static_cast<float>(row * kTile) + inset});
            column += kTorchSpacing;
        }
    }
}

void LevelGenerator::PlaceProps(GeneratedRoom& room) {
    // The breakable images of the sprite tileset, in tileset order.
    std::vector<uint32_t> images;
    const std::vector<AssetPropTile>& tiles = AssetPropTiles();
    for (size_t i = 0; i < tiles.size(); ++i) {
        if (tiles[i].sliceable)
            images.push_back(static_cast<uint32_t>(i));
    }
    if (images.empty())
        return;
    // The step from a floor cell to the straight wall it leans against.
    struct Lean {
        int32_t column, row;
        uint32_t piece;
    };
    static const Lean kLeans[] = {{0, -1, kTerrainTopWall},
                                  {-1, 0, kTerrainLeftWall},
                                  {1, 0, kTerrainRightWall},
                                  {0, 1, kTerrainBottomWall}};
    for (int32_t row = 0; row < kSide; ++row) {
        for (int32_t column = 0; column < kSide; ++column) {
            if (room.At(column, row) != kTerrainFloor || keepClear[CellIndex(column, row)] != 0)
                continue;
            // Against a wall, with two free cells before it so that a prop
            // never narrows a corridor to a single cell.
            const bool leans =
                std::any_of(std::begin(kLeans), std::end(kLeans), [&](const Lean& l) {
                    return ValueAt(room, column + l.column, row + l.row) == l.piece &&
                           ValueAt(room, column - l.column, row - l.row) == kTerrainFloor &&
                           ValueAt(room, column - 2 * l.column, row - 2 * l.row) == kTerrainFloor;
                });
            if (!leans || Draw(0, 100) <= kPropThreshold)
                continue;
            const uint32_t local =
                images[static_cast<size_t>(Draw(0, static_cast<int32_t>(images.size()) - 1))];
            const AssetImage* image = FindAssetImage(tiles[local].file);
            GeneratedProp prop;
            prop.gid = static_cast<uint32_t>(kAssetSpriteFirstGid) + local;
            prop.width = static_cast<float>(image ? image->frameWidth : kTile);
            prop.height = static_cast<float>(image ? image->frameHeight : kTile);
            // A little off the cell's middle, so rows of props do not look
            // stamped; the prop's feet stay inside its own cell.
            const int32_t jitterX = Draw(-3, 3);
            const int32_t jitterY = Draw(-1, 4);
            prop.x = static_cast<float>(column * kTile + jitterX) + (kTile - prop.width) / 2.0f;
            prop.y = static_cast<float>((row + 1) * kTile + jitterY) - (kTile - prop.height) / 2.0f;
            prop.dropChance = Draw(kDropChanceMin, kDropChanceMax);
            room.sliceables.push_back(prop);
        }
    }
}

bool LevelGenerator::BuildRooms(std::string& error) {
    const size_t count = rooms.size();
    for (size_t i = 0; i < count; ++i) {
        GeneratedRoom& room = rooms[i];
        const bool first = i == 0;
        const bool last = i + 1 == count;
        // Each room opens towards the room before it and the room after it
        // in the walk, so the layout reads as a map; the last room opens to
        // the level's exit through one of its other walls.
        int32_t needed = 0;
        WallSide back = WallLeft, forward = WallLeft;
        if (!first) {
            back = SideToward(room, rooms[i - 1]);
            needed |= back;
        }
        if (!last) {
            forward = SideToward(room, rooms[i + 1]);
            needed |= forward;
        }
        if (!ShapeRoom(room, needed, last)) {
            error = "Room " + std::to_string(RoomNumber(i)) + " could not be shaped";
            return false;
        }
        keepClear.fill(0);
        room.doors.clear();
        room.doorFlags = 0;
        if (!first)
            CutDoor(room, back, static_cast<int32_t>(i) - 1);
        if (!last)
            CutDoor(room, forward, static_cast<int32_t>(i) + 1);
        if (last) {
            std::vector<WallSide> exits;
            for (const WallKind& wall : kWallKinds) {
                if (!(needed & wall.side) && !DoorRuns(room, wall).empty())
                    exits.push_back(wall.side);
            }
            CutDoor(room,
                    exits[static_cast<size_t>(Draw(0, static_cast<int32_t>(exits.size()) - 1))],
                    -1);
        }
        if (first) {
            // The player starts in the middle of the first chamber.
            const Chamber& c = room.chambers.front();
            playerStartX = static_cast<float>(c.CentreColumn() * kTile + kTile / 2);
            playerStartY = static_cast<float>(c.CentreRow() * kTile + kTile / 2);
            for (int32_t dr = -1; dr <= 1; ++dr) {
                for (int32_t dc = -1; dc <= 1; ++dc)
                    keepClear[CellIndex(c.CentreColumn() + dc, c.CentreRow() + dr)] |= kNoProps;
            }
            keepClear[CellIndex(c.CentreColumn(), c.CentreRow())] |= kOccupied;
        }
        PlaceStations(room);
        PlaceEnemies(room, first);
        PlaceTorches(room);
        PlaceProps(room);
    }
    return true;
}

// ---------------------------------------------------------------------------
// The room file
// ---------------------------------------------------------------------------

std::string LevelGenerator::RoomDocument(size_t index) const {
    const GeneratedRoom& room = rooms.at(index);
    tinyxml2::XMLDocument doc;
    doc.InsertEndChild(doc.NewDeclaration());
    tinyxml2::XMLElement* map = doc.NewElement("map");
    doc.InsertEndChild(map);
    map->SetAttribute("version", "1");
    map->SetAttribute("orientation", "orthogonal");
    map->SetAttribute("renderorder", "left-up");
    map->SetAttribute("width", room.width);
    map->SetAttribute("height", room.height);
    map->SetAttribute("tilewidth", kTile);
    map->SetAttribute("tileheight", kTile);
    map->SetAttribute("backgroundcolor", "#000000");

    tinyxml2::XMLElement* terrain = Add(map, "tileset");
    terrain->SetAttribute("firstgid", 1);
    terrain->SetAttribute("source", (tilesetPrefix + "core_terrain.tsx").c_str());
    tinyxml2::XMLElement* sprites = Add(map, "tileset");
    sprites->SetAttribute("firstgid", kAssetSpriteFirstGid);
    sprites->SetAttribute("source", (tilesetPrefix + "core_sprites.tsx").c_str());

    tinyxml2::XMLElement* layer = Add(map, "layer");
    layer->SetAttribute("name", "Tiles");
    layer->SetAttribute("width", room.width);
    layer->SetAttribute("height", room.height);
    tinyxml2::XMLElement* data = Add(layer, "data");
    data->SetAttribute("encoding", "base64");
    data->SetText(EncodeTileIds(room.cells.data(), room.cells.size()).c_str());

    int32_t nextId = 1;
    tinyxml2::XMLElement* torches = AddGroup(map, "Torches", "#ffcc14");
    for (const auto& torch : room.torches) {
        tinyxml2::XMLElement* object = AddObject(torches, nextId, "Torch", torch[0], torch[1]);
        object->SetAttribute("width", Number(kTorchSize).c_str());
        object->SetAttribute("height", Number(kTorchSize).c_str());
        // The warm, short-reaching light of every torch of the fortress.
        tinyxml2::XMLElement* properties = Add(object, "properties");
        AddProperty(properties, "Color.B", "float", "0.42");
        AddProperty(properties, "Color.G", "float", "0.72");
        AddProperty(properties, "Color.R", "float", "1");
        AddProperty(properties, "FrameDelay", "float", "0.2");
        AddProperty(properties, "Frames", "int", "3");
        AddProperty(properties, "Range", "float", "1.6");
        AddProperty(properties, "Strength", "float", "0.8");
        AddProperty(properties, "TextureName", nullptr, "../prop_torch.png");
    }

    if (index == 0) {
        tinyxml2::XMLElement* group = AddGroup(map, "Player", "#ff0000");
        tinyxml2::XMLElement* object =
            AddObject(group, nextId, "Player", playerStartX, playerStartY);
        object->SetAttribute("width", 36);
        object->SetAttribute("height", 36);
        Add(object, "ellipse");
    }

    tinyxml2::XMLElement* doors = AddGroup(map, "Doors", nullptr);
    for (const GeneratedDoor& door : room.doors) {
        // The room number behind it; 0 is the way out of the level.
        const std::string target =
            door.target < 0 ? "0" : std::to_string(RoomNumber(static_cast<size_t>(door.target)));
        tinyxml2::XMLElement* object = AddObject(doors, nextId, target.c_str(), door.x, door.y);
        const bool across = door.side == WallTop || door.side == WallBottom;
        Add(object, "polyline")->SetAttribute("points", across ? "0,0 90,0" : "0,0 0,-90");
    }

    tinyxml2::XMLElement* props = AddGroup(map, "SliceableObjects", nullptr);
    for (const GeneratedProp& prop : room.sliceables) {
        tinyxml2::XMLElement* object = Add(props, "object");
        object->SetAttribute("id", nextId++);
        object->SetAttribute("gid", prop.gid);
        object->SetAttribute("x", Number(prop.x).c_str());
        object->SetAttribute("y", Number(prop.y).c_str());
        object->SetAttribute("width", Number(prop.width).c_str());
        object->SetAttribute("height", Number(prop.height).c_str());
        AddProperty(Add(object, "properties"), "DropChance", "int",
                    std::to_string(prop.dropChance));
    }

    tinyxml2::XMLElement* enemies = AddGroup(map, "Enemies", "#00aaff");
    for (const GeneratedEnemy& enemy : room.enemies) {
        tinyxml2::XMLElement* object =
            AddObject(enemies, nextId, EnemyName(enemy.kind), enemy.x, enemy.y);
        object->SetAttribute("width", 36);
        object->SetAttribute("height", 36);
        Add(object, "ellipse");
    }

    tinyxml2::XMLElement* npcs = AddGroup(map, "NPCs", "#55ff7f");
    for (const GeneratedStation& station : room.stations) {
        tinyxml2::XMLElement* object = AddObject(npcs, nextId, "Station", station.x, station.y);
        object->SetAttribute("width", Number(kStationWidth).c_str());
        object->SetAttribute("height", Number(kStationHeight).c_str());
        tinyxml2::XMLElement* properties = Add(object, "properties");
        AddProperty(properties, "GivesHP", "bool", station.givesHealth ? "true" : "false");
        AddProperty(properties, "HorizontalFlip", "bool", "false");
    }

    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    return printer.CStr();
}

bool LevelGenerator::WriteRoom(AtomicFileSet& files, const std::string& roomsDir,
                               size_t index) const {
    const std::string path =
        (std::filesystem::path(roomsDir) / (std::to_string(RoomNumber(index)) + ".tmx"))
            .generic_string();
    return files.Stage(path, RoomDocument(index));
}

bool LevelGenerator::BuildAndWriteRooms(const std::string& roomsDir, std::string& error) {
    if (!BuildRooms(error))
        return false;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path tilesets = fs::absolute("assets/rooms", ec);
    tilesetPrefix = fs::equivalent(roomsDir, tilesets, ec) || roomsDir == "assets/rooms"
                        ? std::string()
                        : tilesets.generic_string() + "/";
    AtomicFileSet files;
    for (size_t i = 0; i < rooms.size(); ++i) {
        if (!WriteRoom(files, roomsDir, i)) {
            error =
                "Error saving room : " + std::to_string(RoomNumber(i)) + " (" + files.Error() + ")";
            return false; // the set removes what it staged
        }
    }
    if (!files.Commit()) {
        error = "Error saving rooms (" + files.Error() + ")";
        return false;
    }
    return true;
}

EndlessLevel GenerateEndlessLevel(const std::string& roomsDir, std::optional<uint32_t> seed) {
    EndlessLevel level;
    level.seed = seed ? *seed : LevelGenerator::FreshSeed();
    LevelGenerator generator(level.seed);
    bool laidOut = false;
    while (!laidOut && level.layouts < kLayoutsTried) {
        ++level.layouts;
        laidOut = generator.GenerateLayout();
    }
    if (!laidOut) {
        level.error = "No layout of " + std::to_string(generator.roomsWanted) + " rooms was found";
        return level;
    }
    level.ok = generator.BuildAndWriteRooms(roomsDir, level.error);
    return level;
}

} // namespace LevelMap
