// Runtime -- the shared clock, screen size, pad and input tests.
#include "core/Runtime.h"

#include "engine/QNInput.h"
#include "engine/QNSystem.h"

#include <cmath>
#include <cstdlib>

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
    QNInputGetCursorPosition(&x, &y);
    const float fx = (static_cast<float>(x) - static_cast<float>(screenWidth)) * 0.5f;
    const float fy =
        (static_cast<float>(std::abs(y - QNGetWindowHeight())) - static_cast<float>(screenHeight)) *
        0.5f;
    return {fx, fy};
}

Vec2 Runtime::CursorToUI() const {
    return CursorToScreen() * (1.0f / uiScale);
}

void Runtime::SetScreenHalfSize(int32_t halfWidth, int32_t halfHeight) {
    screenWidth = halfWidth;
    screenHeight = halfHeight;
    invHalfWidth = halfWidth > 0 ? 1.0f / static_cast<float>(halfWidth) : 0.0f;
    invHalfHeight = halfHeight > 0 ? 1.0f / static_cast<float>(halfHeight) : 0.0f;
    uiScale = UIScaleFor(halfWidth, halfHeight);
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
