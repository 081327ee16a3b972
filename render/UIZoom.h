// UIZoom.h -- drawing an interface layer (menus, windows, the HUD, the
// pointer) in interface units: while a UIZoom lives, the built-in programs
// scale by the interface scale, so the layout made for a 640 x 360 render
// fits whatever the window's size. Text sprites scale themselves.
#pragma once

#include "core/Runtime.h"
#include "engine/QNGraphics.h"

class UIZoom {
public:
    UIZoom() : previous(QNGfxGetCamZoom()) { QNGfxSetCamZoom(Runtime::Get().uiScale); }
    ~UIZoom() { QNGfxSetCamZoom(previous); }
    UIZoom(const UIZoom&) = delete;
    UIZoom& operator=(const UIZoom&) = delete;

private:
    float previous;
};
