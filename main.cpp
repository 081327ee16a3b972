// main.cpp -- the program entry: finds the game's folder, then Init, Run,
// Shutdown, repeated while the game asks for a restart. Two environment
// variables, for tests only, are read (below), and the command line:
//
//   quorvane --levels DIR   plays the level pack in DIR (or lists the packs
//                           in it on the "Level packs" page)
//   quorvane --check DIR    checks the level pack in DIR for its author:
//                           prints every problem, exits 1 when there is one
#include "core/LevelPack.h"
#include "core/UserFiles.h"
#include "game/Game.h"
#include "scenes/SceneFactory.h"
#include "ui/SettingsFile.h"
#include "world/EndlessRecord.h"
#include "world/EndlessRun.h"
#include "world/LevelPacks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// The game reads its assets relative to its working directory. Started
// from elsewhere (a desktop menu, a shell in the home folder), it moves
// into its own folder first.
void EnterGameFolder() {
    std::error_code ec;
    const std::string here = std::filesystem::current_path(ec).generic_string();
    const std::string executable = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    const UserFiles::GameFolder folder = UserFiles::FindGameFolder(executable, here);
    if (folder.path.empty()) {
        std::string searched;
        for (const std::string& candidate : UserFiles::GameFolderCandidates(executable, here)) {
            const std::string assets = candidate + "/assets";
            if (searched.find(assets) == std::string::npos)
                searched += (searched.empty() ? "" : ", ") + assets;
        }
        std::fprintf(stderr, "FILES: no assets/ of the game in %s\n", searched.c_str());
        return;
    }
    if (folder.path != here && chdir(folder.path.c_str()) != 0)
        std::perror(("FILES: cannot enter " + folder.path).c_str());
    UserFiles::SetInstalled(folder.installed);
}

// For tests/program/kill_while_writing.sh only: with QUORVANE_TEST_WRITE_LOOP
// set, every frame rewrites the settings, the save and the endless record
// through the game's own writers, again and again, each time with a larger
// number (the settings' endless seed, the depth, the level cycling), so that a
// kill lands in the middle of a write. First it says what it read at start.
void RewriteFilesUntilKilled(Game& game) {
    EndlessRun& endless = EndlessRun::Current();
    LevelCatalogue& levels = game.levels;
    const int32_t levelCount = std::max<int32_t>(1, static_cast<int32_t>(levels.firstRooms.size()));
    int32_t n = static_cast<int32_t>(endless.seed.value_or(0));
    std::printf("WRITE LOOP: read seed %d level %d best %d\n", n, levels.currentLevel,
                ReadBestDepth(endless.recordPath));
    std::fflush(stdout);
    while (game.RunFrame()) {
        for (int i = 0; i < 8; ++i) {
            ++n;
            endless.seed = static_cast<uint32_t>(n);
            SaveSettingsFile();
            levels.currentLevel = n % levelCount;
            levels.Save();
            if (!RecordDepth(endless.recordPath, n))
                UserFiles::ReportWriteFailure("the best depth", endless.recordPath);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    // Folders named on the command line are taken from where the game was
    // started, before it moves into its own folder.
    std::string levelsDir, checkDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::error_code ec;
        if ((arg == "--levels" || arg == "--check") && i + 1 < argc) {
            const std::string dir = std::filesystem::absolute(argv[++i], ec).generic_string();
            (arg == "--levels" ? levelsDir : checkDir) = dir;
            continue;
        }
        std::fprintf(stderr, "usage: quorvane [--levels DIR] [--check DIR]\n");
        return 2;
    }
    EnterGameFolder();
    if (!checkDir.empty()) {
        if (!LevelPack::Read(checkDir).problem.empty() &&
            !std::filesystem::is_directory(checkDir)) {
            std::fprintf(stderr, "%s is no folder\n", checkDir.c_str());
            return 2;
        }
        LevelPack::Use(checkDir);
        std::printf("checking the level pack in %s\n", LevelPack::Current().c_str());
        return LevelMap::PrintLevelCheck(stdout) == 0 ? 0 : 1;
    }
    if (!levelsDir.empty()) {
        LevelMap::AddLevelPackFolder(levelsDir);
        if (std::filesystem::exists(std::filesystem::path(levelsDir) / "levels.xml"))
            LevelPack::Use(levelsDir);
    }
    Game& game = Game::Instance();
    // For the tests of broken levels only (tests/program/error_box.sh,
    // broken_files.sh): with QUORVANE_TEST_START_LEVEL set the game opens on
    // the story level of the save instead of the logos, so a test meets the
    // level without driving the menu against the clock of a busy machine.
    if (std::getenv("QUORVANE_TEST_START_LEVEL"))
        game.firstScene = [] { return CreateScene(SceneId::Level); };
    do {
        try {
            game.Init();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        if (std::getenv("QUORVANE_TEST_WRITE_LOOP"))
            RewriteFilesUntilKilled(game);
        else
            game.Run();
        game.Shutdown();
    } while (game.restart);
    return 0;
}
