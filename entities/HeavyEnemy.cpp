// HeavyEnemy -- the cleaver-armed heavy.
#include "entities/HeavyEnemy.h"

#include "audio/Audio.h"
#include "core/Collider2D.h"
#include "entities/LevelServices.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "render/LightedAnimation2D.h"

#include <cmath>

namespace {
EnemyPoses HeavyPoses() {
    EnemyPoses poses;
    poses.hurt = 5;
    poses.dead = 7;
    return poses;
}
constexpr uint32_t kBraceFrame = 2; // of the hurt strip: crouched behind the plates
} // namespace

const std::vector<std::string>& HeavyEnemy::BodyFiles() {
    static const std::vector<std::string> files = {
        "heavyenemy_idle.png",    "heavyenemy_run.png",       "heavyenemy_shoot.png",
        "heavyenemy_shootup.png", "heavyenemy_shootdown.png", "heavyenemy_hurt.png",
        "heavyenemy_slash.png",   "heavyenemy_dead.png",
    };
    return files;
}

HeavyEnemy::HeavyEnemy(int32_t room, const Vec2& position)
    : Enemy(room, LoadBody(BodyFiles()), HeavyPoses()) {
    moveSpeed = 30.0f;
    damageFactor = 0.25f;
    specialReward = 0.15f;
    slashSound = Audio::GetSound("enemy_heavy_slash.wav", false);
    SetPosition(position);
    SetBodyCollider(0.11f);
}

bool HeavyEnemy::Update(float dt, GameObject* parent, EntityList* list) {
    Enemy::Update(dt, parent, list);
    if (!IsDead()) {
        fireTimer += dt;
        slashTimer += dt;
    }
    if (state == EnemyIdle)
        Loop(poses.idle);
    return true;
}

void HeavyEnemy::Decide(const Vec2& delta, const Vec2& targetPosition) {
    if (!Senses(delta)) {
        state = EnemyIdle;
        return;
    }
    FaceTarget(targetPosition);
    const float a = std::fabs(AngleOf(delta));
    const bool inCones = a <= coneEdge || a >= 180.0f - coneEdge;
    state = inCones && (LengthSq(delta) <= meleeRangeSq || fireTimer >= shotDelay) ? EnemyAttack
                                                                                   : EnemyChase;
}

void HeavyEnemy::StandDown() {
    state = EnemyIdle;
    Loop(poses.idle);
    aimLocked = false;
}

void HeavyEnemy::Attack(const Vec2& targetPosition, EntityList& list, float /*dt*/) {
    LightedAnimation2D* body = Body();
    const Vec2 delta = targetPosition - GetPosition();
    if (LengthSq(delta) <= meleeRangeSq) {
        if (slashTimer >= slashInterval) {
            slashSound.Play();
            PlayOnce(kSlashAnimation, 0);
            slashTimer = 0.0f;
            if (target)
                target->ChangeHealth(slashDamage, nullptr);
            aimLocked = true;
        } else if (!(body->animation > poses.hurt && body->playing)) {
            StandDown();
        }
        return;
    }
    if (fireTimer < shotDelay) {
        // A slash or shot that has played out: back to rest. The aim lock
        // goes too, or the heavy would wait for a decision forever.
        const bool aiming = body->animation >= poses.shoot && body->animation <= poses.shootDown;
        if ((aiming || body->animation == kSlashAnimation) && !body->playing) {
            state = EnemyIdle;
            fireTimer = 0.0f;
            aimLocked = false;
        }
        return;
    }
    if (LevelServices::current == nullptr)
        return;
    const float a = AngleOf(delta);
    if (ClearShot(targetPosition, a)) {
        const Aim aim = AimAt(a);
        PlayOnce(aim.pose, 1);
        Shoot(targetPosition - Muzzle(aim.height), ProjectileBullet, aim.height, bulletSpeed,
              bulletDamage, list);
        fireSound.Play();
        aimLocked = true;
        fireTimer = 0.0f;
    } else {
        state = EnemyChase;
        fireTimer = blockedShotTimer;
        aimLocked = false;
    }
}

bool HeavyEnemy::Chase(const Vec2& targetPosition, float dt) {
    LevelServices* level = LevelServices::current;
    if (level == nullptr) {
        Loop(poses.idle);
        return false;
    }
    const Vec2 at = GetPosition();
    const float w = target ? std::fabs(target->GetScale().x) : 0.0f;
    const float h = std::fabs(GetScale().y) / 2.0f;
    const Flank flank = FlankOf(*level, roomId, at, targetPosition, w);
    const bool verticalOpen = level->IsWalkable(roomId, targetPosition + Vec2{0.0f, h}) &&
                              level->IsWalkable(roomId, targetPosition - Vec2{0.0f, h});
    if (!verticalOpen && !(flank.rightOpen && flank.leftOpen) &&
        LengthSq(targetPosition - at) <= meleeRangeSq) {
        Brace();
        return true;
    }
    FollowPath(targetPosition + Vec2{flank.offset, 0.0f}, dt);
    Loop(poses.run);
    return true;
}

HeavyEnemy::Flank HeavyEnemy::FlankOf(const LevelServices& level, int32_t room, const Vec2& from,
                                      const Vec2& targetPosition, float targetWidth) {
    const float w = targetWidth;
    const Vec2 right = targetPosition + Vec2{w / 2.0f, 0.0f};
    const Vec2 left = targetPosition - Vec2{w / 2.0f, 0.0f};
    Flank flank;
    flank.rightOpen = level.IsWalkable(room, right);
    flank.leftOpen = level.IsWalkable(room, left);
    if (flank.rightOpen && flank.leftOpen)
        flank.offset = LengthSq(right - from) <= LengthSq(left - from) ? w / 4.0f : -w / 4.0f;
    else if (flank.rightOpen)
        flank.offset = w / 4.0f;
    else if (flank.leftOpen)
        flank.offset = -w / 4.0f;
    return flank;
}

void HeavyEnemy::Brace() {
    LightedAnimation2D* body = Body();
    body->SetAnimation(poses.hurt);
    body->frame = kBraceFrame;
    body->playing = false;
}

void HeavyEnemy::ChangeHealth(const float& delta, Entity* source) {
    if (IsDead())
        return;
    Enemy::ChangeHealth(delta, source);
    if (aimLocked && Body()->animation == kSlashAnimation) {
        state = EnemyAttack; // the cleaver comes down all the same
        slashTimer -= hitSlashDelay;
    } else if (state == EnemyHurt) {
        PlayOnce(poses.hurt, 0);
        slashTimer -= hitSlashDelay;
    }
    if (IsDead())
        ShowDeath();
}
