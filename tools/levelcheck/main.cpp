// levelcheck -- checks that every story level can be finished.
//
//   levelcheck [game-dir]
//
// Reads the game's assets/ in game-dir (default: the working directory),
// prints one line per level (rooms, enemies, conversations, music) and every
// problem found. Exits with 1 when a level cannot be finished.
#include "world/LevelCheck.h"

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
    int problems = 0;
    for (const LevelMap::LevelSurvey& level : LevelMap::CheckStory()) {
        std::string rooms, enemies, dialogs;
        for (int32_t room : level.rooms)
            rooms += (rooms.empty() ? "" : " ") + std::to_string(room);
        for (const auto& [name, count] : level.enemies)
            enemies += (enemies.empty() ? "" : ", ") + std::to_string(count) + " " + name;
        for (int32_t dialog : level.dialogs)
            dialogs += (dialogs.empty() ? "" : " ") + std::to_string(dialog);
        std::printf("level %d: start %d, music %s\n", level.level + 1, level.startRoom,
                    level.music.c_str());
        std::printf("  rooms %s\n  enemies %s (%d dormant); %d gates, %d ambushes\n", rooms.c_str(),
                    enemies.empty() ? "none" : enemies.c_str(), level.dormant, level.gates,
                    level.ambushes);
        std::printf("  %d characters, %d stations, %d props; conversations %s\n", level.npcs,
                    level.stations, level.props, dialogs.empty() ? "none" : dialogs.c_str());
        for (const std::string& track : level.tracks)
            std::printf("  a door starts %s\n", track.c_str());
        std::printf("  ends %s\n", level.endsInCredits ? "in the credits" : "at an exit door");
        for (const std::string& problem : level.problems)
            std::printf("  PROBLEM: %s\n", problem.c_str());
        problems += static_cast<int>(level.problems.size());
    }
    std::printf("%d problem%s\n", problems, problems == 1 ? "" : "s");
    return problems == 0 ? 0 : 1;
}
