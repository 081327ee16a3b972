// EndlessRun -- depth, record and generation of the endless mode.
#include "world/EndlessRun.h"

#include "core/UserFiles.h"
#include "world/EndlessRecord.h"
#include "world/LevelCatalogue.h"
#include "world/LevelGenerator.h"

#include <cstdio>

EndlessRun& EndlessRun::Current() {
    static EndlessRun run;
    return run;
}

void EndlessRun::UseUserFiles() {
    roomsDir = UserFiles::Dir().empty() ? "assets/rooms" : UserFiles::Path("rooms");
    recordPath = UserFiles::Path("endless.xml");
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
        UserFiles::ReportWriteFailure("the best depth", recordPath);
    if (Generate(error))
        return true;
    UserFiles::ReportWriteFailure("the endless rooms", error);
    return false;
}

bool EndlessRun::Generate(std::string& error) {
    // A given seed replays the run: each level after the first takes the next seed.
    std::optional<uint32_t> levelSeed;
    if (seed)
        levelSeed = *seed + static_cast<uint32_t>(depth);
    // The rooms' own folder under the data directory may not exist yet.
    UserFiles::MakeDirectories(roomsDir);
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
