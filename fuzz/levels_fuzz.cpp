// The story's level catalogue, assets/levels.xml.
#include "FuzzSupport.h"

#include "world/LevelCatalogue.h"

#include <filesystem>
#include <stdexcept>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::filesystem::create_directories(fuzz::ScratchDir() + "/assets");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("assets/levels.xml", data, size);
    LevelCatalogue levels("levels.xml");
    try {
        levels.Require();
        for (int32_t i = -1; i < 4; ++i)
            levels.HasLevel(i);
        levels.StartRoom();
        levels.CurrentMusic();
    } catch (const std::runtime_error&) {
    }
    return 0;
}
