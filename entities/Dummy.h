// Dummy.h -- the training dummy: a straw figure on a post that wobbles
// towards whoever hits it and never loses a straw. The shootable one raises
// its practice gun every four seconds and fires a harmless bolt to its left,
// enough to make Blade blink.
//
// It counts as an enemy (kind KindEnemy), so a room that holds one is never
// clear: dummies stand in training rooms, not behind gates.
#pragma once

#include "audio/Sound.h"
#include "entities/Entity.h"

#include <string>
#include <vector>

class LightedAnimation2D;

class Dummy : public RenderableEntity {
public:
    static constexpr float kShootInterval = 4.0f; // seconds between shots
    static constexpr uint32_t kFireFrame = 2;     // the gun fires on this frame
    static constexpr float kBodySize = 96.0f;     // world units
    static constexpr float kBodyRadius = 0.15f;   // collider, at scale 1
    static constexpr float kMuzzle = 20.0f;       // the bolt starts this far left
    static constexpr float kBoltSpeed = 300.0f;   // units per second

    enum Animation : uint32_t {
        Wobble = 0, // "trainingdummy"
        Shoot = 1,  // "trainingdummy_shoot"
    };
    static const std::vector<std::string>& BodyFiles();

    Dummy(int32_t roomId, Vec2 position, bool shootable);
    // With the body already built (takes ownership).
    Dummy(int32_t roomId, Vec2 position, bool shootable, LightedAnimation2D* body);

    // A blow turns the dummy towards its source and sets it wobbling (unless
    // it is about to shoot); healing does nothing. Health stays 1.
    void ChangeHealth(const float& delta, Entity* source) override;
    // The shootable dummy's gun, then the body.
    bool Update(float dt, GameObject* parent, EntityList* list) override;

    LightedAnimation2D* Body() const;

    bool shootable;
    float shootTimer = 0.0f; // seconds since the last shot
    Sound fireSound;

private:
    void Fire(EntityList* list);
};
