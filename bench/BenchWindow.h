// BenchWindow.h -- the game's window for the benchmarks that draw, at a
// given size (1280 x 720 unless told), the render size and the view set up
// as the game sets them up,
// the shared font loaded. Opened once and kept while the size stays (opened
// again after a benchmark that runs the whole game closed it, or for another
// size); run from the build directory (it reads assets/) with a display
// (Xvfb).
#pragma once

#include "core/Runtime.h"
#include "engine/QNGraphics.h"
#include "engine/QNSystem.h"
#include "render/FadeTransition.h"
#include "render/FontAtlas.h"
#include "render/Resources.h"

// False when there is no display to open the window on.
inline bool OpenBenchWindow(int32_t width = 1280, int32_t height = 720) {
    if (QNSysDoesWindowExist()) {
        if (QNGetWindowWidth() == width && QNGetWindowHeight() == height)
            return true;
        // The textures and meshes belong to the window's context.
        Resources::Unload();
        delete FontAtlas::Shared();
        FontAtlas::Shared() = nullptr;
        QNSysExit();
    }
    if (QNSysInit(width, height, 0, 0) != 1)
        return false;
    QNSysSetVSync(false);
    Runtime::Get().windowWidth = width;
    Runtime::Get().windowHeight = height;
    Runtime::Get().UseRenderSizeFor(width, height);
    if (FontAtlas::InitLibrary() && !FontAtlas::Shared())
        FontAtlas::Shared() = new FontAtlas("PixAntiqua.ttf");
    FadeTransition::Instance().Refit();
    return true;
}
