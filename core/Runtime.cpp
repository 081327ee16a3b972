// Runtime -- the shared clock, screen size, pad and input tests.
#include "core/Runtime.h"

#include "engine/QNGraphics.h"
#include "engine/QNInput.h"
#include "engine/QNSystem.h"

#include <cmath>

Runtime& Runtime::Get() {
    static Runtime runtime;
    return runtime;
}

bool Runtime::IsHeld(uint16_t buttonMask, uint8_t key) const {
    if (gamePad.IsButtonHeld(buttonMask))
        return true;
    return QNInputCheckCurr(key) != 0;
}

bool Runtime::IsTriggered(uint16_t buttonMask, uint8_t key) const {
    if (gamePad.IsTriggered(buttonMask))
        return true;
    return QNInputCheckTriggered(key) != 0;
}

bool Runtime::Held(Action action) const {
    const Binding& b = Controls::Current().Get(action);
    return (b.pad != 0 && gamePad.IsButtonHeld(b.pad)) || (b.key != 0 && QNInputCheckCurr(b.key));
}

bool Runtime::Triggered(Action action) const {
    const Binding& b = Controls::Current().Get(action);
    return (b.pad != 0 && gamePad.IsTriggered(b.pad)) ||
           (b.key != 0 && QNInputCheckTriggered(b.key));
}

bool Runtime::AnyKeyHeld() const {
    if (gamePad.IsTriggered(0xFFFF))
        return true;
    for (int key = 0; key <= 187; ++key) {
        if (QNInputCheckCurr(static_cast<uint8_t>(key)))
            return true;
    }
    return false;
}

Vec2 Runtime::CursorToScreen() const {
    int32_t x = 0, y = 0;
    QNInputGetCursorClientPosition(&x, &y);
    return WindowToRender({static_cast<float>(x), static_cast<float>(y)}, PictureInWindow(),
                          Render());
}

void Runtime::UseRenderSizeFor(int32_t shownWidth, int32_t shownHeight) {
    const RenderSize render = RenderSizeFor(shownWidth, shownHeight);
    SetRenderSize(render.width, render.height);
    // Scenes draw into their targets through a device space twice the
    // render size, whose lower-left quarter is the targets; the view sits in
    // that quarter's middle.
    QNGfxSetViewSize(2 * render.width, 2 * render.height);
    QNGfxSetCamPosition(static_cast<float>(render.width) * 0.5f,
                        static_cast<float>(render.height) * 0.5f);
    // Every frame then ends in a present that covers the whole window (the
    // picture and its border): the frame start need not clear it first.
    QNGfxSetClearAtStart(false);
}

Vec2 Runtime::ScreenToWindow(Vec2 screen) const {
    return RenderToWindow(screen, PictureInWindow(), Render());
}

PictureRect Runtime::PictureIn(int32_t width, int32_t height) const {
    return FitPicture(Render(), width, height, scaling);
}

PictureRect Runtime::PictureInWindow() const {
    int32_t w = 0, h = 0;
    QNSysGetClientSize(&w, &h);
    return PictureIn(w, h);
}

Vec2 Runtime::CursorToUI() const {
    return CursorToScreen() * (1.0f / uiScale);
}

void Runtime::SetRenderSize(int32_t width, int32_t height) {
    screenWidth = width;
    screenHeight = height;
    invHalfWidth = width > 0 ? 1.0f / static_cast<float>(width) : 0.0f;
    invHalfHeight = height > 0 ? 1.0f / static_cast<float>(height) : 0.0f;
    uiScale = UIScaleFor(width, height);
}

Vec2 Runtime::UIHalfExtent() const {
    return {static_cast<float>(screenWidth) * 0.5f / uiScale,
            static_cast<float>(screenHeight) * 0.5f / uiScale};
}

float UIScaleFor(int32_t renderWidth, int32_t renderHeight) {
    if (renderWidth <= 0 || renderHeight <= 0)
        return 1.0f;
    const float fit = std::fmin(static_cast<float>(renderWidth) / kUIReferenceWidth,
                                static_cast<float>(renderHeight) / kUIReferenceHeight);
    if (fit >= 1.0f)
        return std::floor(fit * 2.0f) / 2.0f;
    return fit;
}

bool Runtime::TakeToggle() {
    if (toggleCooldown < 1.0f)
        return false;
    toggleCooldown = 0.0f;
    return true;
}
