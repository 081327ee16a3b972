// RefillStation.h -- a cabinet with a tank of light that refills Blade's
// health (red) or special energy (blue), three times, at least three
// seconds apart; then it stands empty. While it cools down or once it is
// empty it offers no interaction and hides its prompt.
#pragma once

#include "audio/Sound.h"
#include "entities/NPC.h"

#include <string>
#include <vector>

class RefillStation : public NPC {
public:
    static constexpr int32_t kUses = 3;
    static constexpr float kCooldown = 3.0f; // seconds between uses
    static constexpr float kBodyRadius = 0.12f;
    static constexpr float kBodySize = 96.0f; // world units, when the room gives no size

    // The body's strips in animation order: health and special idle, their
    // refills, then their empty tanks.
    enum Animation : uint32_t {
        HealthIdle = 0,
        SpecialIdle = 1,
        HealthAction = 2,
        SpecialAction = 3,
        HealthEmpty = 4,
        SpecialEmpty = 5,
    };
    static const std::vector<std::string>& BodyFiles();

    // Centred at position, drawn at size (96 x 96 when the room gives none),
    // mirrored when flip; an automatic station refills whoever stands close
    // instead of waiting for the interaction input.
    RefillStation(int32_t roomId, Vec2 position, Vec2 size, bool flip, bool givesHealth,
                  bool automatic);
    // The same with the pictures already built (takes ownership).
    RefillStation(int32_t roomId, Vec2 position, Vec2 size, LightedAnimation2D* body,
                  const Prompt& prompt, bool flip, bool givesHealth, bool automatic);

    // Refills Blade when ready: health or special to full, the refill
    // animation, the sound; one use fewer and three seconds to cool down.
    void Interact(Player& player) override;
    // The character's update, the cool-down, and the animation to show.
    bool Update(float dt, GameObject* parent, EntityList* list) override;

    LightedAnimation2D* Body() const;

    int32_t usesLeft = kUses;
    bool givesHealth;
    float cooldown = 0.0f; // seconds until the next use
    Sound refillSound;
};
