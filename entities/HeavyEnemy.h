// HeavyEnemy.h -- the armoured heavy: slow, takes a quarter of every hit,
// cleaves Blade in reach every 1.5 s (a slash that hits do not interrupt),
// braces when Blade has it cornered, and after 8 s without a shot fires one
// when the line is clear.
#pragma once

#include "entities/Enemy.h"

#include <string>
#include <vector>

class LevelServices;

class HeavyEnemy : public Enemy {
public:
    static constexpr uint32_t kSlashAnimation = 6;
    static constexpr float meleeRangeSq = 1700.0f;  // squared units: about 41.2
    static constexpr float slashInterval = 1.5f;    // seconds between slashes
    static constexpr float slashDamage = -0.03f;    // health delta dealt to Blade
    static constexpr float shotDelay = 8.0f;        // seconds between two shots
    static constexpr float blockedShotTimer = 2.0f; // fire timer after a blocked shot
    static constexpr float hitSlashDelay = 0.2f;    // a hit holds the next slash back
    static constexpr float coneEdge = 75.0f;        // degrees off horizontal

    // Idle, run, shoot, shoot up, shoot down, hurt, slash, dead.
    static const std::vector<std::string>& BodyFiles();

    HeavyEnemy(int32_t roomId, const Vec2& position);

    // A hit in mid-slash leaves the slash running; otherwise the heavy
    // flinches. Either delays its next slash.
    void ChangeHealth(const float& delta, Entity* source) override;
    // Its timers run while it lives; at rest it shows the idle loop.
    bool Update(float dt, GameObject* parent, EntityList* list) override;
    // Attacks in its cones when in reach or when a shot is due.
    void Decide(const Vec2& delta, const Vec2& targetPosition) override;
    // The slash in reach; out of it, the rare shot when the line is clear.
    void Attack(const Vec2& targetPosition, EntityList& list, float dt) override;
    // Towards the open side of the target; braces when the target has it
    // cornered in reach.
    bool Chase(const Vec2& targetPosition, float dt) override;

    // How a swordsman closes in beside a target standing at `targetPosition`
    // whose body is `targetWidth` wide, in room `roomId`: the side points
    // half that width right and left of it, which of them are floor, and the
    // sideways offset of the goal: a quarter width towards the only open
    // side, towards the side nearer `from` when both are open, none when
    // neither is. The Commander closes in the same way.
    struct Flank {
        bool rightOpen = false;
        bool leftOpen = false;
        float offset = 0.0f; // world units along x
    };
    static Flank FlankOf(const LevelServices& level, int32_t roomId, const Vec2& from,
                         const Vec2& targetPosition, float targetWidth);

    float slashTimer = 0.0f; // seconds since the last slash
    Sound slashSound;        // "enemy_heavy_slash.wav"

private:
    void Brace();
    void StandDown();
};
