// SplashScene.h -- the first scene after start-up: two logos fade in, hold
// and fade out one after the other, then the main menu takes over. A key or
// button after the first half second cuts both holds short.
#pragma once

#include "render/Animation2D.h"
#include "render/Sprite2D.h"
#include "scenes/Scene.h"

#include <cstdint>
#include <memory>

class SplashScene : public Scene {
public:
    // Builds the logos for the screen half-size; hides the mouse cursor.
    void Load() override;
    void Init() override {}
    // Steps the phase machine (see `state`). dt: seconds.
    void Update(float dt) override;
    void Draw(int pass) override;
    void Free() override {}

    static constexpr float kFadeSpeed = 2.0f; // opacity per second: a fade takes 0.5 s
    static constexpr float kHold = 1.5f;      // seconds a logo is shown in full
    static constexpr float kSkipAfter = 0.5f; // seconds before input can cut the holds

    // 0 first logo fades in, 1 holds, 2 fades out; 3, 4, 5 the same for the
    // second logo; the end of 5 requests the main menu.
    int32_t state = 0;
    bool menuRequested = false;              // the menu is on its way
    std::unique_ptr<Sprite2D> firstLogo;     // "Brevant_WEB_RED.png"
    std::unique_ptr<Animation2D> secondLogo; // the two-frame "FerrowInverted.png"
    float holdTimer = 0.0f;                  // seconds the current logo has been shown in full
    float skipDelay = 0.0f;                  // seconds since the scene started
    bool skipRequested = false;              // latched: a key was seen after kSkipAfter
};
