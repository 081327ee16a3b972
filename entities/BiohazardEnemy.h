// BiohazardEnemy.h -- the hazmat trooper: shoots every 3 s, lobs a gas
// grenade every 5 s, and its corpse lets a last grenade go.
#pragma once

#include "entities/Enemy.h"

#include <string>
#include <vector>

class BiohazardEnemy : public Enemy {
public:
    static constexpr uint32_t kThrowAnimation = 5;
    static constexpr uint32_t kReleaseFrame = 3;  // the canister leaves the hand
    static constexpr float fireInterval = 3.0f;   // seconds between shots
    static constexpr float throwInterval = 5.0f;  // seconds between grenades
    static constexpr float grenadeSpeed = 200.0f; // units per second
    static constexpr float corpseGrenadeSpeed = 500.0f;
    static constexpr float grenadeDamage = -0.01f; // per gas tick

    // Idle, run, shoot, shoot up, shoot down, throw, hurt, dead.
    static const std::vector<std::string>& BodyFiles();

    BiohazardEnemy(int32_t roomId, const Vec2& position);

    // The soldier's reaction: the hurt animation, or the fall.
    void ChangeHealth(const float& delta, Entity* source) override;
    // At rest it shows the idle loop and its shot timer starts again.
    bool Update(float dt, GameObject* parent, EntityList* list) override;
    // Shoots like a soldier (not while throwing) and throws when a grenade
    // is due, holding its decision until the canister has left the hand.
    void Attack(const Vec2& targetPosition, EntityList& list, float dt) override;
    // Pays the reward and drops a grenade where it fell.
    void OnDeath(EntityList& list) override;

    float throwTimer = 0.0f; // seconds since the last grenade
};
