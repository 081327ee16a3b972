// EndlessRun -- depth, record and generation of the endless mode.
#include "world/EndlessRun.h"

#include "world/EndlessRecord.h"
#include "world/LevelCatalogue.h"
#include "world/LevelGenerator.h"

#include <cstdio>

EndlessRun& EndlessRun::Current() {
    static EndlessRun run;
    return run;
}

bool EndlessRun::Start(std::string& error) {
    depth = 0;
    best = ReadBestDepth(recordPath);
    if (!Generate(error))
        return false;
    LevelCatalogue::Story().endless = true;
    return true;
}

bool EndlessRun::Advance(std::string& error) {
    ++depth;
    if (depth > best && RecordDepth(recordPath, depth))
        best = depth;
    else if (depth > best)
        std::fprintf(stderr, "ENDLESS: could not write the best depth to %s\n", recordPath.c_str());
    return Generate(error);
}

bool EndlessRun::Generate(std::string& error) {
    // A given seed replays the run: each level after the first takes the next seed.
    std::optional<uint32_t> levelSeed;
    if (seed)
        levelSeed = *seed + static_cast<uint32_t>(depth);
    const LevelMap::EndlessLevel level = LevelMap::GenerateEndlessLevel(roomsDir, levelSeed);
    if (!level.ok) {
        error = level.error;
        std::fprintf(stderr, "ENDLESS: %s\n", error.c_str());
        return false;
    }
    lastSeed = level.seed;
    std::printf("ENDLESS: depth %d, rooms generated with seed %u\n", depth, level.seed);
    std::fflush(stdout);
    return true;
}
