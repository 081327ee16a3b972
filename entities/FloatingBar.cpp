// FloatingBar -- a health bar over a body, shown for a while after a hit.
#include "entities/FloatingBar.h"

#include "core/Tween.h"

namespace {
constexpr float kShown[4] = {1.0f, 0.2f, 0.2f, 1.0f};
constexpr float kHidden[4] = {1.0f, 1.0f, 1.0f, 0.0f};
} // namespace

FloatingBar::FloatingBar(const RenderColor& rest, const RenderColor& pulse)
    : HUDBar(0.0f, 0.0f, width, thickness, rest, pulse) {}

FloatingBar::~FloatingBar() {
    RemoveColorTweens(&baseColor.r);
}

void FloatingBar::Follow(Vec2 at, float dt) {
    left = at.x - width / 2.0f;
    y = at.y + rise;
    timer -= dt;
    if (timer < 0.0f && shown)
        Hide(fadeSeconds);
}

void FloatingBar::ShowHit(float health) {
    if (!shown)
        Fade(kShown, fadeSeconds);
    EaseTo(health, false);
    timer = showSeconds;
    shown = true;
}

void FloatingBar::Hide(float seconds) {
    Fade(kHidden, seconds);
    shown = false;
}

void FloatingBar::DrawIfShown() {
    if (tint[3] > 0.0f && fill > 0.0f)
        Draw();
}

void FloatingBar::Fade(const float rgba[4], float seconds) {
    RemoveColorTweens(&baseColor.r);
    AddColorTween(&baseColor.r, rgba, EaseSmooth, nullptr, seconds);
}
