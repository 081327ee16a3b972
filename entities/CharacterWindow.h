// CharacterWindow.h -- a window a character opens in front of the player (a
// list of the controls, a notice), as characters see it: opened, closed,
// updated and drawn over the scene. The level builds the real window
// (LevelServices::MakeWindow); the character owns it.
#pragma once

class CharacterWindow {
public:
    virtual ~CharacterWindow() = default;

    // Animates the window open at the screen centre.
    virtual void Open() = 0;
    // Animates it shut (small and transparent).
    virtual void Close() = 0;
    // Open or opening; false once closing has begun.
    virtual bool IsOpen() const = 0;
    // Input, layout and animation of one frame (dt in seconds).
    virtual void Update(float dt) = 0;
    // Draws into the overlay.
    virtual void Draw() = 0;
};
