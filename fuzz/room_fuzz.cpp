// A room map as the level loads it: tilesets beside it (the fixture's and
// the game's, referenced by name from the map), the tile layer in every
// encoding and compression, the objects and their frame counts.
#include "FuzzSupport.h"

#include "render/Resources.h"
#include "world/RoomData.h"

#include <filesystem>
#include <stdexcept>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::CopySource("tests/fixtures/rooms/fixture_terrain.tsx", "fixture_terrain.tsx");
    fuzz::CopySource("tests/fixtures/rooms/sprites/fixture_sprites.tsx",
                     "sprites/fixture_sprites.tsx");
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(QUORVANE_SOURCE_DIR) + "/assets/rooms")) {
        if (entry.path().extension() == ".tsx")
            fuzz::CopySource("assets/rooms/" + entry.path().filename().string(),
                             entry.path().filename().string());
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("room.tmx", data, size);
    LevelMap::RoomData room;
    try {
        room.LoadFile("room.tmx", 1);
    } catch (const std::runtime_error&) {
        return 0; // refused with its reason: what a broken map should get
    }
    // What the level then builds from the objects: their strips' frames.
    for (const LevelMap::RoomObject& object : room.objects) {
        if (object.properties.count("Frames"))
            Resources::BuildFrameTables(
                {{static_cast<float>(object.Int("Frames")), object.Float("FrameDelay")}});
    }
    for (int32_t row = -1; row <= room.height; ++row)
        for (int32_t column = -1; column <= room.width; ++column)
            room.IsWalkableCell(column, row);
    return 0;
}
