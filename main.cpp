// main.cpp -- the program entry: Init, Run, Shutdown, repeated while the
// game asks for a restart. The command line is not read.
#include "game/Game.h"

#include <cstdio>
#include <exception>

int main(int, char**) {
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
