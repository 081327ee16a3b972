// LevelGenerator.h -- the endless mode's levels: a chain of five rooms laid
// out by a random walk on a small grid, each room shaped from chambers and
// corridors, given doors, torches, refill stations, props and enemies, and
// written as room files 100 to 104 that the room loader and the map editor
// both read.
//
// Positions of generated things are map pixels, as the room file stores them
// (x right, y down, one cell is 48 pixels); cells are counted from the top
// row, the way the file stores the layer. A generator is used once and
// thrown away.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

class AtomicFileSet;

namespace LevelMap {

// Walls of a room, as bit flags.
enum WallSide : int32_t {
    WallLeft = 1,
    WallRight = 2,
    WallTop = 4,
    WallBottom = 8,
};

// A rectangle of floor; the corridors join the centres of chambers placed
// one after the other.
struct Chamber {
    int32_t x = 0;      // first column
    int32_t y = 0;      // first row
    int32_t width = 0;  // cells
    int32_t height = 0; // cells
    int32_t CentreColumn() const { return x + width / 2; }
    int32_t CentreRow() const { return y + height / 2; }
};

struct GeneratedDoor {
    float x = 0.0f, y = 0.0f; // map pixels: the start of the door's line
    WallSide side = WallLeft; // the wall it is cut into
    int32_t target = 0;       // walk position of the room behind it; -1 = the level's exit
    int32_t column = 0;       // first cell of its four-cell frame
    int32_t row = 0;
};

struct GeneratedProp {
    uint32_t gid = 0;         // image of the sprite tileset
    float x = 0.0f, y = 0.0f; // map pixels: bottom-left corner of the image
    float width = 0.0f;       // image size, pixels
    float height = 0.0f;
    int32_t dropChance = 0; // percent
};

struct GeneratedEnemy {
    int32_t kind = 0;         // 0 soldier, 1 biohazard trooper, 2 heavy, 3 the Commander
    float x = 0.0f, y = 0.0f; // map pixels: where the body stands
};

struct GeneratedStation {
    float x = 0.0f, y = 0.0f; // map pixels: top-left of its 26 x 36 box
    bool givesHealth = false; // false: it refills special
};

struct GeneratedRoom {
    static constexpr int32_t kSide = 32; // cells on each side

    std::array<uint32_t, kSide * kSide> cells{}; // terrain ids, top row first
    int32_t width = kSide;
    int32_t height = kSide;
    int32_t index = 0;                         // 1-based position in the walk
    int32_t doorFlags = 0;                     // WallSide flags of the walls that carry a door
    std::vector<std::array<float, 2>> torches; // map pixels: top-left of each 32 x 32 torch
    std::vector<GeneratedStation> stations;
    std::vector<GeneratedDoor> doors;
    std::vector<GeneratedProp> sliceables;
    std::vector<GeneratedEnemy> enemies;
    std::vector<Chamber> chambers; // in the order they were placed
    int32_t gridX = 0, gridY = 0;  // its cell in the layout

    uint32_t At(int32_t column, int32_t row) const {
        return cells[static_cast<size_t>(row * kSide + column)];
    }
};

class LevelGenerator {
public:
    // The same seed gives the same level, byte for byte.
    explicit LevelGenerator(uint32_t seed);
    // A seed from the platform's random device.
    static uint32_t FreshSeed();

    // One self-avoiding walk over the layout. True when it reached
    // roomsWanted rooms; otherwise the caller starts a fresh walk.
    bool GenerateLayout();
    // Shapes and furnishes every room of the walk: doors pair each room
    // with the next, and the last room holds the level's exit. False, with
    // `error` set, only when a room could not be shaped at all.
    bool BuildRooms(std::string& error);
    // The room file of walk position `index`.
    std::string RoomDocument(size_t index) const;
    // Stages the room file of walk position `index` as
    // "<roomsDir>/<100 + index>.tmx" in `files`.
    bool WriteRoom(AtomicFileSet& files, const std::string& roomsDir, size_t index) const;
    // BuildRooms, then every room written together: either all five files
    // are replaced or, on failure (reported in `error`), none is.
    bool BuildAndWriteRooms(const std::string& roomsDir, std::string& error);

    // Room number of a walk position.
    static int32_t RoomNumber(size_t index) { return kFirstRoom + static_cast<int32_t>(index); }
    static constexpr int32_t kFirstRoom = 100;
    static constexpr int32_t kRoomsWanted = 5; // rooms kFirstRoom and on
    static constexpr int32_t kTile = 48;       // pixels per cell

    const uint32_t seed;
    const int32_t roomsWanted = kRoomsWanted;
    int32_t lastDirection = -1; // the walk's previous step: 0 left, 1 right, 2 down, 3 up
    int32_t direction = -1;     // the walk's latest step
    static constexpr int32_t layoutColumns = 8;
    static constexpr int32_t layoutRows = 8;
    std::array<int32_t, layoutColumns * layoutRows> layout{}; // 0 none, k = k-th room
    float playerStartX = 0.0f, playerStartY = 0.0f;           // map pixels, first room
    std::vector<GeneratedRoom> rooms;                         // in walk order
    // How the room files name the game's tilesets: beside them when they are
    // written into assets/rooms, by full path from anywhere else.
    std::string tilesetPrefix;
    int32_t shapings = 0; // room shapes tried, kept or not

private:
    // A uniform integer in [lo, hi].
    int32_t Draw(int32_t lo, int32_t hi);
    // Shapes `room` until its walls resolve and every wall in `needed` (and,
    // for the last room, some wall besides them) can take a door.
    bool ShapeRoom(GeneratedRoom& room, int32_t needed, bool needsExit);
    bool ShapeOnce(GeneratedRoom& room);
    void CutDoor(GeneratedRoom& room, WallSide side, int32_t target);
    void PlaceEnemies(GeneratedRoom& room, bool startRoom);
    void PlaceTorches(GeneratedRoom& room);
    void PlaceStations(GeneratedRoom& room);
    void PlaceProps(GeneratedRoom& room);

    std::mt19937 random;
    std::array<uint8_t, GeneratedRoom::kSide * GeneratedRoom::kSide> keepClear{};
};

// What one endless level's generation gave.
struct EndlessLevel {
    bool ok = false;
    uint32_t seed = 0;   // the seed used, for replaying the layout
    std::string error;   // why the level could not be written
    int32_t layouts = 0; // walks tried
};

// The whole sequence: walks until one reaches five rooms, shapes and
// furnishes the rooms, writes them into `roomsDir` (the game passes
// "assets/rooms"). Without a seed one is drawn from the random device.
EndlessLevel GenerateEndlessLevel(const std::string& roomsDir,
                                  std::optional<uint32_t> seed = std::nullopt);

} // namespace LevelMap
