// A tileset file, read both as a room's terrain tileset and as its sprite
// tileset, by a fixed map that names it.
#include "FuzzSupport.h"

#include "world/RoomData.h"

#include <stdexcept>

namespace {
const char kMap[] =
    "<map><tileset firstgid=\"1\" source=\"fuzz_terrain.tsx\"/>"
    "<tileset firstgid=\"300\" source=\"fuzz_sprites.tsx\"/>"
    "<layer width=\"3\" height=\"2\"><data encoding=\"csv\">1,2,3,4,5,6</data></layer>"
    "<objectgroup name=\"StaticObjects\"><object gid=\"300\" x=\"0\" y=\"48\"/>"
    "<object gid=\"301\" x=\"48\" y=\"48\"/></objectgroup>"
    "<objectgroup name=\"SliceableObjects\"><object gid=\"302\" x=\"0\" y=\"96\"/>"
    "</objectgroup></map>";
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::WriteInput("room.tmx", reinterpret_cast<const uint8_t*>(kMap), sizeof kMap - 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("fuzz_terrain.tsx", data, size);
    fuzz::WriteInput("fuzz_sprites.tsx", data, size);
    LevelMap::RoomData room;
    try {
        room.LoadFile("room.tmx", 1);
    } catch (const std::runtime_error&) {
        return 0;
    }
    for (int32_t row = 0; row < room.height; ++row)
        for (int32_t column = 0; column < room.width; ++column)
            room.IsWalkableCell(column, row);
    return 0;
}
