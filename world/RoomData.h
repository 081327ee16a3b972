// RoomData.h -- the map half of a room: the terrain and sprite tilesets, the
// tile layer and the objects read from "assets/rooms/<number>.tmx".
//
// Cell (column c, row r) of the layer covers x from c to c+1 and y from
// -r-1 to -r in tile units; tile id 0 is an empty cell, id k > 0 is terrain
// tile k-1. Cleared and refilled by every Load.
#pragma once

#include "core/Vec2.h"
#include "world/Door.h"
#include "world/RoomObjects.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tinyxml2 {
class XMLElement;
}

namespace LevelMap {

class RoomData {
public:
    RoomData() = default;
    virtual ~RoomData() = default;
    RoomData(const RoomData&) = delete;
    RoomData& operator=(const RoomData&) = delete;

    // Reads the room's file (RoomFilePath). Throws "Map <n> is invalid"
    // (with the reason on stderr) when the file is missing or unusable.
    virtual void Load(int32_t roomNumber);
    // Load from any path (the room number still names the errors).
    void LoadFile(const std::string& path, int32_t roomNumber);
    // The tilesets (files resolved against `mapFile`) and the first layer.
    void LoadTilesetsAndLayer(const tinyxml2::XMLElement* map, const std::string& mapFile);
    // Every object group: records and spawns each object.
    void LoadObjects(const tinyxml2::XMLElement* map);
    // Builds the entity, torch or trigger an object stands for. The map
    // alone builds nothing (false); a room that is played does
    // (RoomContents), which keeps visuals out of map-only loads.
    virtual bool SpawnEntity(const RoomObject& /*object*/) { return false; }

    // The id of a cell; 0 outside the layer.
    uint32_t TileAt(int32_t column, int32_t row) const;
    // Floor: inside the layer, id > 0 and a walkable terrain tile.
    bool IsWalkableCell(int32_t column, int32_t row) const;

    // Throws "Map <id> is invalid" after printing the reason.
    [[noreturn]] void Fail(const std::string& reason) const;

    int32_t id = 0;                             // the room number, also the file name
    std::string file;                           // the map file read, for warnings
    std::vector<uint32_t> tiles;                // width x height global ids, top row first
    std::vector<uint8_t> walkable;              // per terrain tile (local id): 1 = floor
    std::map<uint32_t, SpriteTile> spriteTiles; // by global id
    int32_t tilesetRows = 0;                    // terrain atlas rows
    int32_t tilesetColumns = 0;                 // terrain atlas columns
    int32_t height = 0;                         // layer rows
    int32_t width = 0;                          // layer columns
    int32_t tileWidth = 0;                      // pixels (world units)
    int32_t tileHeight = 0;                     // pixels (world units)
    // Image paths are relative to assets/ when the file lies under the
    // game's assets directory (the texture cache's names), else as resolved.
    std::string terrainImage;

    std::vector<Door> doors;         // group Doors, in file order
    std::vector<RoomObject> objects; // every recognised object, in file order
    std::set<int32_t> dialogs;       // dialogue numbers the room's objects use
    Vec2 cameraStart{0.0f, 0.0f};    // world units; above the player's start

    // Largest layer side accepted, in cells: rooms are a few dozen wide.
    static constexpr int32_t kMaxLayerSide = 4096;
    static constexpr int64_t kMaxLayerCells = int64_t(1) << 22;

private:
    void LoadTerrainTileset(const tinyxml2::XMLElement* tileset, const std::string& file);
    void LoadSpriteTileset(const tinyxml2::XMLElement* tileset, const std::string& file,
                           int32_t firstGid);
    void LoadLayer(const tinyxml2::XMLElement* layer);
    // Holds an object's "Frames" to 0..kMaxStripFrames, with a warning.
    void BoundFrames(RoomObject& record) const;
};

// `source` as named from inside `namingFile`: relative to that file's folder.
std::string ResolveRelative(const std::string& namingFile, const std::string& source);
// A path under "assets/" (of the working directory, even when written in
// full) becomes the name the texture cache uses.
std::string AssetName(const std::string& path);
// The file of room `roomNumber`: "assets/rooms/<n>.tmx", except the endless
// mode's generated rooms, read from wherever they were written.
std::string RoomFilePath(int32_t roomNumber);

} // namespace LevelMap
