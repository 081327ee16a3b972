// BenchWindow.h -- the game's window for the benchmarks that draw: 1280 x 720
// (a 640 x 360 render), the view placed as the game places it, the shared
// font loaded. Opened once and kept (opened again after a benchmark that
// runs the whole game closed it); run from the build directory (it reads
// assets/) with a display (Xvfb).
#pragma once

#include "core/Runtime.h"
#include "engine/QNGraphics.h"
#include "engine/QNSystem.h"
#include "render/FadeTransition.h"
#include "render/FontAtlas.h"

// False when there is no display to open the window on.
inline bool OpenBenchWindow() {
    if (QNSysDoesWindowExist())
        return true;
    constexpr int32_t kWidth = 1280, kHeight = 720;
    if (QNSysInit(kWidth, kHeight, 0, 0) != 1)
        return false;
    QNSysSetVSync(false);
    Runtime::Get().SetScreenHalfSize(kWidth / 2, kHeight / 2);
    QNGfxSetCamPosition(kWidth / 4.0f, kHeight / 4.0f);
    if (FontAtlas::InitLibrary() && !FontAtlas::Shared())
        FontAtlas::Shared() = new FontAtlas("PixAntiqua.ttf");
    FadeTransition::Instance().Refit();
    return true;
}
