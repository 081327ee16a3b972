// assetgen -- writes every generated image, sound and music track into assets/.
//
//   assetgen <assets-dir> <font.ttf>
//
// Everything is drawn from fixed seeds, so two runs write identical bytes.
#include "Output.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: assetgen <assets-dir> <font.ttf>\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    Output out(argv[1]);
    MakeCharacters(out);
    MakeProps(out);
    MakeTerrain(out);
    MakeInterface(out, argv[2]);
    MakeSounds(out);
    MakeMusic(out);
    MakeContactSheet(out, argv[2]);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("assetgen: %zu images, %d problems, %.1f s\n", out.Written().size(), out.Failures(),
                seconds);
    return out.Failures() == 0 ? 0 : 1;
}
