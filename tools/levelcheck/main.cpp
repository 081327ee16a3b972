// levelcheck -- checks that every story level can be finished.
//
//   levelcheck [game-dir]
//
// Reads the game's assets/ in game-dir (default: the working directory),
// prints one line per level (rooms, enemies, conversations, music) and every
// problem found. Exits with 1 when a level cannot be finished.
#include "world/LevelPacks.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: levelcheck [game-dir]\n");
        return 2;
    }
    if (argc == 2) {
        std::error_code ec;
        std::filesystem::current_path(argv[1], ec);
        if (ec) {
            std::fprintf(stderr, "levelcheck: cannot enter %s\n", argv[1]);
            return 2;
        }
    }
    return LevelMap::PrintLevelCheck(stdout) == 0 ? 0 : 1;
}
