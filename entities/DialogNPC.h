// DialogNPC.h -- a character who starts a conversation when Blade talks to
// it. An automatic one speaks by itself the first time Blade comes near;
// after that it talks when asked, like any other.
#pragma once

#include "entities/NPC.h"

class DialogNPC : public NPC {
public:
    static constexpr float kBodyRadius = 0.1f; // collider, at scale 1

    // The body from the room's texture (under assets/), `frames` frames of
    // `frameDelay` seconds, centred at position, drawn at size, mirrored
    // when flip. `dialog` is the conversation it starts.
    DialogNPC(int32_t roomId, Vec2 position, Vec2 size, const std::string& texture, int32_t frames,
              float frameDelay, int32_t dialog, bool flip, bool automatic);
    // The same with the pictures already built (takes ownership).
    DialogNPC(int32_t roomId, Vec2 position, Vec2 size, LightedAnimation2D* body,
              const Prompt& prompt, int32_t dialog, bool flip, bool automatic);

    // Starts the conversation, unless one is already running or time is
    // slowed (Blade is aiming a dash): such a request is dropped, not kept.
    // Once an automatic character has spoken it waits to be asked.
    void Interact(Player& player) override;

    int32_t dialog;
};
