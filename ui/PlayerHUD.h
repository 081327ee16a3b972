// PlayerHUD.h -- the player's health and special bars under their frame in
// the top-left corner of the screen, drawn unlit into the overlay. The level
// scene owns one; the player (and whatever rewards it) pushes its values.
#pragma once

#include "render/HUDBar.h"
#include "render/Sprite2D.h"
#include "render/TextSprite.h"

#include <memory>

struct PlayerHUD {
    // Lays the bars out for the current screen (interface units; drawn
    // under a UIZoom).
    PlayerHUD();

    // Bars and frame, every frame. dt: seconds.
    void Update(float dt);
    // Bars, then the frame, into the selected attachment.
    void Draw();
    // The health bar eases to `value` (0..1) and pulses while it is low.
    void ShowHealth(float value);
    // The special bar eases to `value` (0..1) and pulses while a dash is
    // affordable.
    void ShowSpecial(float value);
    // While Blade aims a dash, the end of the special bar the dash will
    // spend shows white.
    void ShowDashCost(bool aiming);
    // Shows "Depth n" under the bars (the endless mode's levels cleared);
    // a negative depth hides it.
    void ShowDepth(int32_t depth);
    // The HUD's text into the post-processor's overlay.
    void DrawText(PostProcessor* postProcessor);

    static constexpr float kLowHealth = 0.2f; // health at or below: pulse
    static constexpr float kDashCost = 0.25f; // special at or above: pulse

    float halfWidth;  // half the screen's width, interface units
    float halfHeight; // half the screen's height, interface units
    HUDBar health;
    HUDBar special;
    HUDBar dashCost; // over the special bar while aiming: what the dash spends
    bool aiming = false;
    Sprite2D frame;                        // "ui_playerhud_frame.png"
    std::unique_ptr<TextSprite> depthText; // null until a depth is shown
};
