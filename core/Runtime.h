// Runtime.h -- the few values every layer reads each frame: the slow-motion
// time scale, the window and render sizes and how the picture is scaled to
// the window, the game pad, and the input tests that combine the pad with the
// keyboard and mouse.
//
// One instance, reached through Runtime::Get(). The application fills the
// render size when its window opens; everything else starts ready.
#pragma once

#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GamePad.h"
#include "core/ScreenScaling.h"
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
    // Cursor with the origin at the screen centre, y up, render units: the
    // window's pointer through the picture's place in the window.
    Vec2 CursorToScreen() const;
    // The same in interface units (CursorToScreen / uiScale).
    Vec2 CursorToUI() const;
    // Where a point of the screen (render units from the middle, y up) is in
    // the window now: the pointer's coordinates that would point at it.
    Vec2 ScreenToWindow(Vec2 screen) const;
    // Sets the render size (pixels) and its inverses, and the interface
    // scale that goes with it.
    void SetRenderSize(int32_t width, int32_t height);
    RenderSize Render() const { return {screenWidth, screenHeight}; }
    // The render size for a screen of the given size (RenderSizeFor), and
    // the engine's view that draws into it, for frames that end in a
    // post-processor's present.
    void UseRenderSizeFor(int32_t shownWidth, int32_t shownHeight);
    // Where the picture is shown in a window (or drawable) of the given size,
    // by the current scaling.
    PictureRect PictureIn(int32_t windowWidth, int32_t windowHeight) const;
    // The same for the window as it is now, in the pointer's coordinates.
    PictureRect PictureInWindow() const;
    // Half the screen's width and height in interface units.
    Vec2 UIHalfExtent() const;

    GameClock clock;                // the game's time and its scale
    float& timeScale = clock.scale; // slow motion below 1
    // The window's size as the settings give it, pixels.
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    // The render size: 360 pixels high whatever the window, as wide as the
    // window's shape makes it (core/ScreenScaling.h).
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    float invHalfWidth = 0.0f;  // 1 / screenWidth
    float invHalfHeight = 0.0f; // 1 / screenHeight
    // How the finished picture is scaled to the window.
    ScreenScaling scaling = ScreenScaling::Smooth;
    // Render pixels per interface unit. Menus, windows, the HUD and
    // conversations are laid out in units of a 640 x 360 render, where it
    // is 1; a narrower render (a 4:3 window) shrinks them to fit.
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
