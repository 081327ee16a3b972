// FadeTransition.h -- the program-wide full-screen black quad that scenes
// fade in and out behind.
#pragma once

#include "core/GameObject.h"
#include "core/SceneRequest.h"

#include <functional>

struct QNGfxMesh;

class FadeTransition : public GameObject {
public:
    // The one fade object, built (and its transform computed) on first use.
    static FadeTransition& Instance();
    // Draws the quad with the colour program over everything drawn so far;
    // while it is fully clear nothing is drawn.
    void Draw();
    // Covers the current screen half-size again; Game calls it once the
    // window exists (the quad cache is rebuilt at every start).
    void Refit();

    QNGfxMesh* mesh = nullptr;
    float color[4] = {0.0f, 0.0f, 0.0f, 1.0f}; // rgb and opacity; starts opaque black

private:
    FadeTransition();
};

// Fades the screen to black over 0.5 s, then runs `then` (typically storing
// the next scene in Game's nextScene).
void FadeOutThen(std::function<void()> then);
// Fades the screen in from whatever opacity the fade has (a new scene's Load).
void FadeIn();
// Fades to black, runs `before` (may be empty), then asks for scene `id`.
void FadeToScene(SceneId id, std::function<void()> before = {});
