// MainMenu.h -- the menu scene: a moving space backdrop of four particle
// systems, the title and the menu window, its own pointer image and looping
// music. It leaves for a level, the credits, or ends the game.
#pragma once

#include "audio/Sound.h"
#include "render/FadeTransition.h"
#include "render/ParticleSystem.h"
#include "render/Sprite2D.h"
#include "scenes/Scene.h"
#include "ui/MainMenuWindow.h"
#include "ui/NoticeBoard.h"

#include <array>
#include <memory>

class MainMenu : public Scene {
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

    Sound* Music() override { return &music; }

    Sound music;                      // "05 - Jesu, Joy of Man's Desiring.mp3", looping
    std::unique_ptr<Sprite2D> cursor; // "cursor.png"
    // Drawn in this order: "cloudfield", "solarfield", "starfield",
    // "backgroundfield".
    std::array<std::unique_ptr<ParticleSystem>, 4> backgrounds;
    std::unique_ptr<MainMenuWindow> window;
    NoticeBoard notices; // what went wrong with the player's files, at the bottom
};
