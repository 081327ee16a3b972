// WindowNPC -- characters who show a window.
#include "entities/WindowNPC.h"

#include "entities/CharacterWindow.h"
#include "entities/LevelServices.h"
#include "entities/Player.h"
#include "render/LightedAnimation2D.h"

WindowNPC::WindowNPC(int32_t room, Vec2 position, Vec2 size, const std::string& texture,
                     int32_t frames, float frameDelay, bool flip, const std::string& type,
                     Vec2 windowSize)
    : WindowNPC(room, position, size, LoadBody(texture, frames, frameDelay), LoadPrompt(), flip,
                nullptr, type, windowSize) {}

WindowNPC::WindowNPC(int32_t room, Vec2 position, Vec2 size, LightedAnimation2D* body,
                     const Prompt& prompt, bool flip, CharacterWindow* made,
                     const std::string& type, Vec2 windowSize)
    : NPC(room, kTalkInput, body, prompt), window(made), windowType(type),
      windowWidth(windowSize.x), windowHeight(windowSize.y) {
    Place(position, size, flip, kBodyRadius);
}

WindowNPC::~WindowNPC() = default;

void WindowNPC::Interact(Player& /*player*/) {
    if (!window && LevelServices::current)
        window.reset(LevelServices::current->MakeWindow(windowType, {windowWidth, windowHeight}));
    if (!window)
        return;
    if (window->IsOpen())
        window->Close();
    else
        window->Open();
}

bool WindowNPC::Update(float dt, GameObject* parent, EntityList* list) {
    if (window) {
        window->Update(dt);
        const Player* blade = FindPlayer(list);
        if (window->IsOpen() && (!blade || DistanceSqTo(*blade) >= interactRangeSq))
            window->Close();
    }
    return NPC::Update(dt, parent, list);
}

void WindowNPC::DrawOverlay() {
    // The prompt would show through the open window's glass.
    if (!window || !window->IsOpen())
        NPC::DrawOverlay();
    if (window)
        window->Draw();
}

void WindowNPC::OnRoomExit() {
    NPC::OnRoomExit();
    if (window && window->IsOpen())
        window->Close();
}
