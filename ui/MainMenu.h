// MainMenu.h -- the menu scene: a moving space backdrop of four particle
// systems, the title and the menu window, its own pointer image and looping
// music. It leaves for a level, the credits, or ends the game.
//
// It is a level scene for the game's sake (unmuting restarts a level
// scene's music), but it loads no rooms and skips the level's start-up.
#pragma once

#include "render/ParticleSystem.h"
#include "render/Sprite2D.h"
#include "ui/MainMenuWindow.h"
#include "world/LevelScene.h"

#include <array>
#include <memory>

class MainMenu : public LevelScene {
public:
    MainMenu();
    ~MainMenu() override;

    // The base scene's start-up only; then music, pointer, backdrop and
    // window; fades in.
    void Load() override;
    void Init() override {}
    // Backdrop, window, then the pointer follows the mouse. dt: seconds.
    void Update(float dt) override;
    // Everything goes into the overlay; the menu is never lit or distorted.
    void Draw(int pass) override;
    void Free() override {}
    // Frees the backdrop, its particles and the window; shows the mouse
    // cursor again.
    void Unload() override;

    // The level scene's `music` and `cursor` serve: "05 - Jesu, Joy of Man's
    // Desiring.mp3", looping, and "cursor.png".
    // Drawn in this order: "cloudfield", "solarfield", "starfield",
    // "backgroundfield".
    std::array<std::unique_ptr<ParticleSystem>, 4> backgrounds;
    std::unique_ptr<MainMenuWindow> window;
};

// Fades to black, then `makeScene` becomes the next scene.
void FadeToScene(std::function<Scene*()> makeScene);
