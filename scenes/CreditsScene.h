// CreditsScene.h -- one full picture of credits, shown until the player
// presses something; then the screen fades back to the main menu.
#pragma once

#include "render/Sprite2D.h"
#include "scenes/Scene.h"

class CreditsScene : public Scene {
public:
    // Builds the picture, 512 x 384 at the centre.
    CreditsScene();

    // Hides the mouse cursor and fades in.
    void Load() override;
    void Init() override {}
    // Any key or pad button fades out to the main menu. dt: seconds.
    void Update(float dt) override;
    void Draw(int pass) override;
    void Free() override {}
    // Shows the mouse cursor again.
    void Unload() override;

    Sprite2D picture; // "credits.png"
};
