// Runtime.h -- the few values every layer reads each frame: the slow-motion
// time scale, the render half-size, the game pad, and the input tests that
// combine the pad with the keyboard and mouse.
//
// One instance, reached through Runtime::Get(). The application fills the
// screen size when its window opens; everything else starts ready.
#pragma once

#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GamePad.h"
#include "core/Vec2.h"

#include <cstdint>

class Runtime {
public:
    static Runtime& Get();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // Pad first, then the keyboard (virtual-key codes).
    bool IsHeld(uint16_t buttonMask, uint8_t key) const;
    bool IsTriggered(uint16_t buttonMask, uint8_t key) const;
    // The same for an action, through its current inputs (core/Controls.h).
    bool Held(Action action) const;
    bool Triggered(Action action) const;
    // Any pad button pressed this frame, or any key or mouse button down.
    bool AnyKeyHeld() const;
    // Cursor with the origin at the screen centre, y up, render units.
    Vec2 CursorToScreen() const;
    // The same in interface units (CursorToScreen / uiScale).
    Vec2 CursorToUI() const;
    // Sets the render half-size (pixels) and its inverses, and the
    // interface scale that goes with it.
    void SetScreenHalfSize(int32_t halfWidth, int32_t halfHeight);
    // Half the screen's width and height in interface units.
    Vec2 UIHalfExtent() const;

    GameClock clock;                // the game's time and its scale
    float& timeScale = clock.scale; // slow motion below 1
    int32_t screenWidth = 0;        // render width: half the window's
    int32_t screenHeight = 0;       // render height: half the window's
    float invHalfWidth = 0.0f;      // 1 / screenWidth
    float invHalfHeight = 0.0f;     // 1 / screenHeight
    // Render pixels per interface unit. Menus, windows, the HUD and
    // conversations are laid out in units of a 640 x 360 render (a 1280 x
    // 720 window), where it is 1; other windows scale them to fit.
    float uiScale = 1.0f;
    GamePad gamePad;
    // Options the player toggles from the menus.
    bool fullscreen = true;
    float toggleCooldown = 0.0f; // seconds since the last toggle; grows with scaled time
    bool vsync = false;          // from the settings: present on the vertical blank
    // True (and the cooldown restarts) when a toggle may act now: at most
    // once per second.
    bool TakeToggle();

private:
    Runtime() = default;
};

// The interface layout's own screen, render pixels.
constexpr float kUIReferenceWidth = 640.0f;
constexpr float kUIReferenceHeight = 360.0f;
// The interface scale for a render of that size: the largest that keeps the
// reference screen whole, in halves when enlarging so pixel art stays even.
float UIScaleFor(int32_t renderWidth, int32_t renderHeight);
