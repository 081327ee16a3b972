// Runtime.h -- the few values every layer reads each frame: the slow-motion
// time scale, the render half-size, the game pad, and the input tests that
// combine the pad with the keyboard and mouse.
//
// One instance, reached through Runtime::Get(). The application fills the
// screen size when its window opens; everything else starts ready.
#pragma once

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
    // Any pad button pressed this frame, or any key or mouse button down.
    bool AnyKeyHeld() const;
    // Cursor with the origin at the screen centre, y up, render units.
    Vec2 CursorToScreen() const;
    // Sets the render half-size (pixels) and its inverses.
    void SetScreenHalfSize(int32_t halfWidth, int32_t halfHeight);

    float timeScale = 1.0f;     // slow motion below 1
    int32_t screenWidth = 0;    // render width: half the window's
    int32_t screenHeight = 0;   // render height: half the window's
    float invHalfWidth = 0.0f;  // 1 / screenWidth
    float invHalfHeight = 0.0f; // 1 / screenHeight
    GamePad gamePad;
    // Options the player toggles from the menus.
    bool fullscreen = true;
    float toggleCooldown = 0.0f; // seconds since the last toggle; grows with scaled time
    // True (and the cooldown restarts) when a toggle may act now: at most
    // once per second.
    bool TakeToggle();

private:
    Runtime() = default;
};
