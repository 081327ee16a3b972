// The player's save.xml (the level reached), read against a fixed story of
// three levels, and endless.xml (the endless mode's best depth).
#include "FuzzSupport.h"

#include "world/EndlessRecord.h"
#include "world/LevelCatalogue.h"

#include <filesystem>
#include <stdexcept>

namespace {
const char kLevels[] = "<levels><level room=\"1\" bgm=\"a.ogg\"/><level room=\"10\" bgm=\"b.ogg\"/>"
                       "<level room=\"20\" bgm=\"c.ogg\"/></levels>";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::filesystem::create_directories(fuzz::ScratchDir() + "/assets");
    fuzz::WriteInput("assets/levels.xml", reinterpret_cast<const uint8_t*>(kLevels),
                     sizeof kLevels - 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("save.xml", data, size);
    LevelCatalogue levels("levels.xml"); // reads save.xml
    try {
        levels.StartRoom();
        levels.CurrentMusic();
    } catch (const std::runtime_error&) {
        __builtin_trap(); // a save must never point outside the story
    }
    const int32_t best = ReadBestDepth("save.xml");
    if (best < 0)
        __builtin_trap();
    return 0;
}
