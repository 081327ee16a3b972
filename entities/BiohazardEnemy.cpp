// BiohazardEnemy -- the gas trooper.
#include "entities/BiohazardEnemy.h"

#include "entities/Projectile.h"
#include "render/LightedAnimation2D.h"

namespace {
EnemyPoses BiohazardPoses() {
    EnemyPoses poses;
    poses.hurt = 6;
    poses.dead = 7;
    return poses;
}
} // namespace

const std::vector<std::string>& BiohazardEnemy::BodyFiles() {
    static const std::vector<std::string> files = {
        "bioenemy_idle.png",    "bioenemy_run.png",       "bioenemy_shoot.png",
        "bioenemy_shootup.png", "bioenemy_shootdown.png", "bioenemy_throw.png",
        "bioenemy_hurt.png",    "bioenemy_dead.png",
    };
    return files;
}

BiohazardEnemy::BiohazardEnemy(int32_t room, const Vec2& position)
    : Enemy(room, LoadBody(BodyFiles()), BiohazardPoses()) {
    damageFactor = 0.7f;
    specialReward = 0.1f;
    SetPosition(position);
    SetBodyCollider(0.12f);
}

void BiohazardEnemy::ChangeHealth(const float& delta, Entity* source) {
    if (IsDead())
        return;
    Enemy::ChangeHealth(delta, source);
    ShowHit();
}

bool BiohazardEnemy::Update(float dt, GameObject* parent, EntityList* list) {
    Enemy::Update(dt, parent, list);
    RestIdle();
    return true;
}

void BiohazardEnemy::Attack(const Vec2& targetPosition, EntityList& list, float dt) {
    LightedAnimation2D* body = Body();
    if (body->animation != kThrowAnimation)
        AimAndFire(targetPosition, list, dt, fireInterval);
    throwTimer += dt;
    if (throwTimer < throwInterval)
        return;
    if (body->animation != kThrowAnimation)
        PlayOnce(kThrowAnimation, 0);
    if (body->frame != kReleaseFrame || body->playing) {
        aimLocked = true; // the wind-up holds the decision
        return;
    }
    Shoot(targetPosition - GetPosition(), ProjectileGrenade, 0.0f, grenadeSpeed, grenadeDamage,
          list);
    throwTimer = 0.0f;
    fireTimer -= 1.0f;
    Loop(poses.idle);
    aimLocked = false;
}

void BiohazardEnemy::OnDeath(EntityList& list) {
    if (!DeathAnimationOver())
        return;
    PayReward();
    // A grenade that lands where it starts: the corpse's last gas.
    Shoot({0.0f, 0.0f}, ProjectileGrenade, 0.0f, corpseGrenadeSpeed, grenadeDamage, list);
    state = EnemyDead;
}
