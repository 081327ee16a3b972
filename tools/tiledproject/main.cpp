// tiledproject -- writes the Tiled project for level authors.
//
//   tiledproject OUT-DIR [game-dir]
//
// game-dir (default: the working directory) holds the game's assets/, whose
// tilesets and their images are copied beside the project.
#include "TiledProject.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: tiledproject OUT-DIR [game-dir]\n");
        return 2;
    }
    std::string problem;
    if (!TiledProject::Write(argv[1], argc == 3 ? argv[2] : ".", problem)) {
        std::fprintf(stderr, "tiledproject: %s\n", problem.c_str());
        return 1;
    }
    std::printf("tiledproject: wrote %s\n", argv[1]);
    return 0;
}
