// Bottle.h -- a mana bottle a broken prop drops: it grows and fades in where
// the prop stood, can be picked up once fully visible, and gives Blade a
// sip of special energy. Bottles are recycled through BottlePool.
#pragma once

#include "audio/Sound.h"
#include "entities/Entity.h"

class LightedAnimation2D;

class Bottle : public RenderableEntity {
public:
    static constexpr float kSpecialGain = 0.05f; // special energy per bottle
    static constexpr float kFadeInSeconds = 0.3f;
    static constexpr float kGrowSeconds = 0.4f;
    static constexpr float kWidth = 14.0f; // drawn size, world units
    static constexpr float kHeight = 20.0f;

    // "pickup_mana.png" with its normal map.
    Bottle();
    // With a body already built (takes ownership).
    explicit Bottle(LightedAnimation2D* body);
    // Drops the tweens still animating the bottle.
    ~Bottle() override;

    // Appears at `position` in room `room`: invisible and not collectable,
    // it grows to its size and fades in, collectable once fully shown.
    void Spawn(Vec2 position, int32_t room);
    // Stops animating (the bottle goes back to the pool or away).
    void StopTweens();

    // Once collectable, the first player touching it takes it (special +
    // 0.05, a burst, a sound) and the bottle goes back to the pool, leaving
    // the list.
    bool Update(float dt, GameObject* parent, EntityList* list) override;

    Vec2 displaySize{0.0f, 0.0f};                    // world units, animated
    float displayTint[4] = {1.0f, 1.0f, 1.0f, 0.0f}; // animated
    bool collectable = false;
    Sound pickupSound;
};
