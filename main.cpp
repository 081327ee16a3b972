// main.cpp -- the program entry: finds the game's folder, then Init, Run,
// Shutdown, repeated while the game asks for a restart. The command line is
// not read.
#include "core/UserFiles.h"
#include "game/Game.h"

#include <cstdio>
#include <exception>
#include <filesystem>
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
        std::fprintf(stderr, "FILES: no assets/ here (%s) nor beside %s\n", here.c_str(),
                     executable.c_str());
        return;
    }
    if (folder.path != here && chdir(folder.path.c_str()) != 0)
        std::perror(("FILES: cannot enter " + folder.path).c_str());
    UserFiles::SetInstalled(folder.installed);
}

} // namespace

int main(int, char**) {
    EnterGameFolder();
    Game& game = Game::Instance();
    do {
        try {
            game.Init();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        game.Run();
        game.Shutdown();
    } while (game.restart);
    return 0;
}
