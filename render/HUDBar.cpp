// HUDBar -- fill bars with an attention pulse.
#include "render/HUDBar.h"

#include "core/Tween.h"
#include "render/Resources.h"

#include <cmath>

namespace {
constexpr float kTwoPi = 6.283185f;
constexpr float kPulseSpeed = 8.0f; // radians per second: a cycle every 0.785 s
} // namespace

HUDBar::HUDBar(float leftEnd, float centreY, float width, float thickness, const RenderColor& base,
               const RenderColor& pulse)
    : Sprite2D(Resources::GetQuadMesh(1), Resources::GetTexture("bar_color.png", true), width,
               thickness, base),
      left(leftEnd), y(centreY), fullWidth(width), height(thickness), baseColor(base),
      pulseColor(pulse) {
    SetPosition(leftEnd, centreY);
}

HUDBar::~HUDBar() {
    RemoveFloatTweens(&fill);
}

void HUDBar::Update(float dt, GameObject* parent) {
    // The bar shrinks towards its left end.
    const float width = fullWidth * fill;
    SetScale(width, height);
    SetPosition(left + width / 2.0f, y);
    if (pulsing) {
        phase += dt * kPulseSpeed;
        if (phase > kTwoPi)
            phase -= kTwoPi;
        const float t = (std::cos(phase) + 1.0f) / 2.0f; // the pulse colour at phase 0
        tint[0] = baseColor.r + (pulseColor.r - baseColor.r) * t;
        tint[1] = baseColor.g + (pulseColor.g - baseColor.g) * t;
        tint[2] = baseColor.b + (pulseColor.b - baseColor.b) * t;
        tint[3] = baseColor.a + (pulseColor.a - baseColor.a) * t;
    } else {
        tint[0] = baseColor.r;
        tint[1] = baseColor.g;
        tint[2] = baseColor.b;
        tint[3] = baseColor.a;
    }
    Sprite2D::Update(dt, parent);
}

void HUDBar::EaseTo(float value, bool pulse) {
    RemoveFloatTweens(&fill);
    AddFloatTween(&fill, value, 2, nullptr, 0.2f);
    pulsing = pulse;
    if (!pulse) {
        tint[0] = baseColor.r;
        tint[1] = baseColor.g;
        tint[2] = baseColor.b;
        tint[3] = baseColor.a;
    }
}
