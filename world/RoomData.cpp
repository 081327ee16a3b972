// RoomData -- reading a room file: tilesets, tile layer, objects.
#include "world/RoomData.h"

#include "core/DataFile.h"
#include "core/LevelPack.h"
#include "render/Resources.h"
#include "world/EndlessRun.h"
#include "world/LevelGenerator.h"
#include "world/ObjectTemplates.h"
#include "world/TileLayer.h"
#include "world/XmlRead.h"

#include <tinyxml2.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace LevelMap {

std::string ResolveRelative(const std::string& namingFile, const std::string& source) {
    const std::filesystem::path path(source);
    if (path.is_absolute())
        return path.lexically_normal().generic_string();
    return (std::filesystem::path(namingFile).parent_path() / path)
        .lexically_normal()
        .generic_string();
}

std::string AssetName(const std::string& path) {
    return LevelPack::NameOf(path);
}

std::string RoomFilePath(int32_t roomNumber) {
    const std::string file = std::to_string(roomNumber) + ".tmx";
    if (roomNumber >= LevelGenerator::kFirstRoom &&
        roomNumber < LevelGenerator::kFirstRoom + LevelGenerator::kRoomsWanted)
        return (std::filesystem::path(EndlessRun::Current().roomsDir) / file).generic_string();
    return LevelPack::AssetFile("rooms/" + file);
}

void RoomData::Fail(const std::string& reason) const {
    std::fprintf(stderr, "Map %d: %s\n", id, reason.c_str());
    throw std::runtime_error("Map " + std::to_string(id) + " is invalid: " + reason);
}

void RoomData::Load(int32_t roomNumber) {
    LoadFile(RoomFilePath(roomNumber), roomNumber);
}

void RoomData::LoadFile(const std::string& path, int32_t roomNumber) {
    id = roomNumber;
    file = path;
    tiles.clear();
    walkable.clear();
    spriteTiles.clear();
    tilesetRows = tilesetColumns = height = width = tileWidth = tileHeight = 0;
    terrainImage.clear();
    doors.clear();
    objects.clear();
    dialogs.clear();
    cameraStart = {0.0f, 0.0f};
    tinyxml2::XMLDocument doc;
    const XmlLoad load = LoadXmlFile(doc, path, kAssetFileLimit);
    if (!load.ok)
        Fail(path + " " + load.problem);
    const tinyxml2::XMLElement* map = doc.FirstChildElement("map");
    if (!map)
        Fail(path + " has no map element");
    if (ReadIntAttribute(map, "infinite", 0) != 0)
        Fail(path + " is an infinite map, which the game does not play");
    LoadTilesetsAndLayer(map, path);
    LoadObjects(map);
}

void RoomData::LoadTilesetsAndLayer(const tinyxml2::XMLElement* map, const std::string& mapFile) {
    file = mapFile;
    for (const tinyxml2::XMLElement* ref = map->FirstChildElement("tileset"); ref;
         ref = ref->NextSiblingElement("tileset")) {
        const int32_t firstGid = ReadIntAttribute(ref, "firstgid", 0);
        const char* source = ref->Attribute("source");
        // A tileset kept inside the map is read in place.
        tinyxml2::XMLDocument doc;
        const tinyxml2::XMLElement* tileset = ref;
        std::string file = mapFile;
        std::string name = ReadStringAttribute(ref, "name");
        if (source) {
            file = ResolveRelative(mapFile, source);
            // A pack's room may use the game's tilesets; nothing else.
            if (!LevelPack::Current().empty())
                file = LevelPack::AssetFile(AssetName(file));
            if (file.empty())
                Fail(std::string("the tileset ") + source +
                     " lies outside the level pack's folder");
            name = source;
            const XmlLoad load = LoadXmlFile(doc, file, kAssetFileLimit);
            if (!load.ok)
                Fail("the tileset " + file + " " + load.problem);
            tileset = doc.FirstChildElement("tileset");
            if (!tileset)
                Fail(file + " has no tileset element");
        }
        if (name.find("terrain") != std::string::npos)
            LoadTerrainTileset(tileset, file);
        else
            LoadSpriteTileset(tileset, file, firstGid);
    }
    // Every position on the grid is measured in terrain tiles.
    if (tileWidth <= 0 || tileHeight <= 0)
        Fail(file + " names no terrain tileset");
    LoadLayer(map->FirstChildElement("layer"));
}

void RoomData::LoadTerrainTileset(const tinyxml2::XMLElement* tileset, const std::string& file) {
    tileWidth = ReadIntAttribute(tileset, "tilewidth", 0);
    tileHeight = ReadIntAttribute(tileset, "tileheight", 0);
    if (tileWidth <= 0 || tileHeight <= 0)
        Fail("terrain tileset " + file + " has no tile size");
    const tinyxml2::XMLElement* image = tileset->FirstChildElement("image");
    const int32_t imageWidth = ReadIntAttribute(image, "width", 0);
    const int32_t imageHeight = ReadIntAttribute(image, "height", 0);
    terrainImage = AssetName(ResolveRelative(file, ReadStringAttribute(image, "source")));
    tilesetColumns = imageWidth / tileWidth;
    tilesetRows = imageHeight / tileHeight;
    if (tilesetColumns < 0 || tilesetRows < 0 ||
        int64_t(tilesetColumns) * tilesetRows > kMaxLayerCells)
        Fail("terrain tileset " + file + " has an unusable image size");
    walkable.assign(static_cast<size_t>(tilesetColumns) * static_cast<size_t>(tilesetRows), 0);
    for (const tinyxml2::XMLElement* tile = tileset->FirstChildElement("tile"); tile;
         tile = tile->NextSiblingElement("tile")) {
        const int32_t local = ReadIntAttribute(tile, "id", 0);
        if (local < 0 || static_cast<size_t>(local) >= walkable.size())
            continue; // a tile outside the atlas has nothing to mark
        const tinyxml2::XMLElement* props = tile->FirstChildElement("properties");
        for (const tinyxml2::XMLElement* prop = props ? props->FirstChildElement("property")
                                                      : nullptr;
             prop; prop = prop->NextSiblingElement("property")) {
            if (ReadStringAttribute(prop, "name") == "walkable")
                walkable[static_cast<size_t>(local)] =
                    ReadBoolText(prop->Attribute("value"), false);
        }
    }
}

void RoomData::LoadSpriteTileset(const tinyxml2::XMLElement* tileset, const std::string& file,
                                 int32_t firstGid) {
    for (const tinyxml2::XMLElement* tile = tileset->FirstChildElement("tile"); tile;
         tile = tile->NextSiblingElement("tile")) {
        const tinyxml2::XMLElement* image = tile->FirstChildElement("image");
        if (!image)
            continue;
        SpriteTile sprite;
        sprite.source = AssetName(ResolveRelative(file, ReadStringAttribute(image, "source")));
        sprite.width = ReadFloatAttribute(image, "width", 0.0f);
        sprite.height = ReadFloatAttribute(image, "height", 0.0f);
        const int64_t gid = int64_t(ReadIntAttribute(tile, "id", 0)) + firstGid;
        if (gid > 0 && gid <= int64_t(~kTileFlipMask))
            spriteTiles[static_cast<uint32_t>(gid)] = sprite;
    }
}

void RoomData::LoadLayer(const tinyxml2::XMLElement* layer) {
    width = ReadIntAttribute(layer, "width", 0);
    height = ReadIntAttribute(layer, "height", 0);
    if (width < 0 || height < 0 || width > kMaxLayerSide || height > kMaxLayerSide ||
        int64_t(width) * height > kMaxLayerCells)
        Fail(file + "'s tile layer size " + std::to_string(width) + " x " + std::to_string(height) +
             " is not a room");
    tiles.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    std::string reason;
    size_t decoded = 0;
    if (layer && !DecodeLayerData(layer->FirstChildElement("data"), tiles, reason, &decoded))
        Fail(file + ": " + reason);
    // Cells the data does not reach stay empty, but never silently.
    if (decoded < tiles.size())
        std::fprintf(stderr,
                     "Map %s: the tile layer's data fills %zu of its %zu cells; %zu cells "
                     "are missing and left empty\n",
                     file.c_str(), decoded, tiles.size(), tiles.size() - decoded);
}

void RoomData::LoadObjects(const tinyxml2::XMLElement* map) {
    for (const tinyxml2::XMLElement* group = map->FirstChildElement("objectgroup"); group;
         group = group->NextSiblingElement("objectgroup")) {
        const std::string groupName = ReadStringAttribute(group, "name");
        for (const tinyxml2::XMLElement* placed = group->FirstChildElement("object"); placed;
             placed = placed->NextSiblingElement("object")) {
            tinyxml2::XMLDocument scratch;
            std::string problem;
            const tinyxml2::XMLElement* object = WithTemplate(placed, file, scratch, problem);
            if (!object) {
                std::fprintf(stderr, "Map %d: %s:%d: %s\n", id, file.c_str(), placed->GetLineNum(),
                             problem.c_str());
                continue;
            }
            const ObjectRule* rule = FindObjectRule(groupName, object->Attribute("name"));
            RoomObject record;
            if (!rule || !ReadRoomObject(*rule, object, spriteTiles, record))
                continue;
            record.sourceLine = placed->GetLineNum();
            CheckPropertyValues(record, file);
            BoundFrames(record);
            for (int32_t dialog : DialoguesOf(record))
                dialogs.insert(dialog);
            SpawnRoomObject(*this, record);
            objects.push_back(record);
        }
    }
}

void RoomData::BoundFrames(RoomObject& record) const {
    // "Frames" sizes the frame tables and the strip's mesh: a count no
    // picture has columns for would build tables of gigabytes.
    const auto frames = record.properties.find("Frames");
    if (frames == record.properties.end())
        return;
    errno = 0;
    const long long asked = std::strtoll(frames->second.c_str(), nullptr, 10);
    if (errno != ERANGE && asked >= 0 && asked <= Resources::kMaxStripFrames)
        return; // 0: the kind's own choice (one frame)
    const int32_t used = asked < 0 ? 1 : Resources::kMaxStripFrames;
    std::fprintf(stderr, "Map %s: object \"%s\" asks for %s frames; it gets %d (1..%d)\n",
                 file.c_str(), record.name.c_str(), frames->second.c_str(), used,
                 Resources::kMaxStripFrames);
    frames->second = std::to_string(used);
}

uint32_t RoomData::TileAt(int32_t column, int32_t row) const {
    if (column < 0 || row < 0 || column >= width || row >= height)
        return 0;
    return tiles[static_cast<size_t>(row) * static_cast<size_t>(width) +
                 static_cast<size_t>(column)];
}

bool RoomData::IsWalkableCell(int32_t column, int32_t row) const {
    const uint32_t tile = TileAt(column, row);
    return tile > 0 && tile - 1 < walkable.size() && walkable[tile - 1] != 0;
}

} // namespace LevelMap
