// LevelPacks -- choosing a level pack, and the check's report.
#include "world/LevelPacks.h"

#include "core/LevelPack.h"
#include "core/UserFiles.h"
#include "world/LevelCatalogue.h"
#include "world/LevelCheck.h"

#include <algorithm>

namespace LevelMap {

namespace {
std::vector<std::string>& GivenFolders() {
    static std::vector<std::string> folders;
    return folders;
}
} // namespace

std::vector<std::string> LevelPackFolders() {
    std::vector<std::string> folders;
    const std::string data = UserFiles::DataDir();
    if (!data.empty())
        folders.push_back(data + "/levels");
    folders.insert(folders.end(), GivenFolders().begin(), GivenFolders().end());
    return folders;
}

void AddLevelPackFolder(const std::string& dir) {
    if (std::find(GivenFolders().begin(), GivenFolders().end(), dir) == GivenFolders().end())
        GivenFolders().push_back(dir);
}

std::vector<std::string> ChooseLevelPack(const std::string& dir) {
    LevelPack::Use(dir);
    LevelCatalogue& levels = LevelCatalogue::Story();
    levels = LevelCatalogue("levels.xml", UserFiles::Path(LevelPack::SaveName()));
    std::vector<std::string> problems;
    if (dir.empty())
        return problems; // the story is checked by its own tests
    for (const LevelSurvey& level : CheckStory())
        problems.insert(problems.end(), level.problems.begin(), level.problems.end());
    return problems;
}

int PrintLevelCheck(std::FILE* out) {
    int problems = 0;
    for (const LevelSurvey& level : CheckStory()) {
        std::string rooms, enemies, dialogs;
        for (int32_t room : level.rooms)
            rooms += (rooms.empty() ? "" : " ") + std::to_string(room);
        for (const auto& [name, count] : level.enemies)
            enemies += (enemies.empty() ? "" : ", ") + std::to_string(count) + " " + name;
        for (int32_t dialog : level.dialogs)
            dialogs += (dialogs.empty() ? "" : " ") + std::to_string(dialog);
        std::fprintf(out, "level %d: start %d, music %s\n", level.level + 1, level.startRoom,
                     level.music.c_str());
        std::fprintf(out, "  rooms %s\n  enemies %s (%d dormant); %d gates, %d ambushes\n",
                     rooms.c_str(), enemies.empty() ? "none" : enemies.c_str(), level.dormant,
                     level.gates, level.ambushes);
        std::fprintf(out, "  %d characters, %d stations, %d props; conversations %s\n", level.npcs,
                     level.stations, level.props, dialogs.empty() ? "none" : dialogs.c_str());
        for (const std::string& track : level.tracks)
            std::fprintf(out, "  a door starts %s\n", track.c_str());
        std::fprintf(out, "  ends %s\n",
                     level.endsInCredits ? "in the credits" : "at an exit door");
        for (const std::string& problem : level.problems)
            std::fprintf(out, "  PROBLEM: %s\n", problem.c_str());
        problems += static_cast<int>(level.problems.size());
    }
    std::fprintf(out, "%d problem%s\n", problems, problems == 1 ? "" : "s");
    return problems;
}

} // namespace LevelMap
