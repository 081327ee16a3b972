// StaticEntity.h -- scenery that takes part in play: a lit animation strip,
// optionally solid at its feet, that no attack can hurt.
#pragma once

#include "entities/Entity.h"

#include <string>

class Collider2D;
class LightedAnimation2D;

// Fits `box` to the feet of an object drawn centred at `position` with
// `size` (world units): 80 % as wide, a quarter as high, centred 15 units
// above the picture's centre. Solid scenery and props collide there.
void FitFeetBox(Collider2D& box, Vec2 position, float rotation, Vec2 size);

class StaticEntity : public RenderableEntity {
public:
    // A lit strip of `frames` frames showing `frameDelay` seconds each, made
    // from textureName and its normal map, centred at position and drawn at
    // size (world units). A collidable one gets a box at its feet.
    StaticEntity(int32_t roomId, const std::string& textureName, Vec2 position, Vec2 size,
                 bool collidable, int frames, float frameDelay);
    // Same with a visual already built (takes ownership).
    StaticEntity(int32_t roomId, LightedAnimation2D* visual, Vec2 position, Vec2 size,
                 bool collidable);

    // Advances the strip and keeps the box on the object's feet.
    bool Update(float dt, GameObject* parent, EntityList* list) override;

    LightedAnimation2D* Animation() const;
};
