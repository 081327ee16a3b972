// HitFeel -- how a landed blow feels, in one place: how long the game holds
// still, how hard the screen shakes, how long the struck body flashes.
//
// The hold is in real seconds (the game's clock holds still for it); shake
// is trauma added to the room's camera (0..1, its square sets the offset).
#pragma once

#include <cstdint>

enum class Blow {
    LightHit,  // a light slash lands
    HeavyHit,  // a heavy slash lands
    Kill,      // a slash or the dash fells its target
    DashHit,   // the dash cuts through something it does not fell
    BatBack,   // a slash sends a bullet back
    BladeHurt, // Blade takes damage
    Explosion, // a grenade bursts
};

struct BlowFeel {
    float hold;   // real seconds the game holds still
    float trauma; // added to the camera's shake
};

// What each blow does; light hits freeze briefly and never shake.
BlowFeel FeelOf(Blow blow);
// Gives a blow landed in room `roomId` its weight: the game's clock holds
// still and the room's view shakes.
void FeelBlow(int32_t roomId, Blow blow);

// The struck body shows white for this long (game seconds).
constexpr float kHitFlashSeconds = 0.08f;
// Tint multiplier of a flashing body: bright enough to read as white.
constexpr float kHitFlashBrightness = 6.0f;
