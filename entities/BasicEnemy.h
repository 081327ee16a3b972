// BasicEnemy.h -- the soldier: walks into a line of fire, holds its aim pose
// and fires a bullet every 2 s; a dormant gunner (DisableAttack) aims but
// never fires.
#pragma once

#include "entities/Enemy.h"

#include <string>
#include <vector>

class BasicEnemy : public Enemy {
public:
    static constexpr float fireInterval = 2.0f; // seconds between shots

    // The body's strips in pose order: idle, run, shoot, shoot up, shoot
    // down, hurt, dead.
    static const std::vector<std::string>& BodyFiles();

    // Standing at `position` (world units); `attackDisabled` keeps it from
    // ever firing.
    BasicEnemy(int32_t roomId, const Vec2& position, bool attackDisabled);

    // The soldier's reaction: the hurt animation, or the fall.
    void ChangeHealth(const float& delta, Entity* source) override;
    // At rest it shows the idle loop and its shot timer starts again.
    bool Update(float dt, GameObject* parent, EntityList* list) override;
    // Aims and fires every 2 s.
    void Attack(const Vec2& targetPosition, EntityList& list, float dt) override;
};
