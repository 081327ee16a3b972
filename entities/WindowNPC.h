// WindowNPC.h -- a character who opens a window when Blade talks to it: the
// "Controls" kind shows the controls as the game reads them, any other kind
// an empty framed window of the size the room gives. Talking again, or
// walking away, closes it.
#pragma once

#include "entities/NPC.h"

#include <memory>
#include <string>

class CharacterWindow;

class WindowNPC : public NPC {
public:
    static constexpr float kBodyRadius = 0.1f; // collider, at scale 1

    // The body as for a DialogNPC; the window is asked of the level
    // (LevelServices::MakeWindow) the first time it is needed.
    WindowNPC(int32_t roomId, Vec2 position, Vec2 size, const std::string& texture, int32_t frames,
              float frameDelay, bool flip, const std::string& windowType, Vec2 windowSize);
    // The same with the pictures (and optionally the window) already built;
    // takes ownership of all of them.
    WindowNPC(int32_t roomId, Vec2 position, Vec2 size, LightedAnimation2D* body,
              const Prompt& prompt, bool flip, CharacterWindow* window,
              const std::string& windowType, Vec2 windowSize);
    ~WindowNPC() override;

    // Opens the window, or closes it when it is open.
    void Interact(Player& player) override;
    // The window's frame, then the character's; the window closes once
    // Blade walks out of reach.
    bool Update(float dt, GameObject* parent, EntityList* list) override;
    // The prompt, then the window.
    void DrawOverlay() override;
    // The window shuts when Blade leaves the room.
    void OnRoomExit() override;

    std::unique_ptr<CharacterWindow> window; // null until first needed
    std::string windowType;
    float windowWidth;  // UI units
    float windowHeight; // UI units
};
