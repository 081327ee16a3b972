// FloatingBar.h -- the health bar that floats above an enemy or the
// Commander: transparent at rest, it fades in on a hit, follows the body,
// and fades out once the last hit is a few seconds old.
#pragma once

#include "core/Vec2.h"
#include "render/HUDBar.h"

class FloatingBar : public HUDBar {
public:
    static constexpr float width = 24.0f;        // world units
    static constexpr float thickness = 4.0f;     // world units
    static constexpr float rise = 32.0f;         // bar centre above the body centre
    static constexpr float showSeconds = 3.0f;   // shown after the last hit
    static constexpr float fadeSeconds = 0.2f;   // fading in or out
    static constexpr float leaveSeconds = 0.05f; // fading when Blade leaves the room

    // rest, pulse: the HUD bar's colours (rest transparent).
    FloatingBar(const RenderColor& rest, const RenderColor& pulse);
    // Drops any colour tween still running on the bar.
    ~FloatingBar() override;

    // Keeps the bar over `at`; fades it out once its time is up. dt: seconds.
    void Follow(Vec2 at, float dt);
    // A hit that left `health`: fades in when hidden, eases the fill there
    // and shows the bar for showSeconds more.
    void ShowHit(float health);
    // Fades out over `seconds`.
    void Hide(float seconds);
    // Draws the bar while any of it shows.
    void DrawIfShown();

    bool shown = true;  // so the bar fades out on the first frame
    float timer = 0.0f; // seconds the bar stays shown

private:
    void Fade(const float rgba[4], float seconds);
};
