// Enemy -- sensing, facing, firing cones, paths, the health bar, hits and
// the corpse.
#include "entities/Enemy.h"

#include "audio/Audio.h"
#include "core/Circle2D.h"
#include "core/Tween.h"
#include "entities/HitFeel.h"
#include "entities/LevelServices.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "render/LightedAnimation2D.h"
#include "render/ParticleSystem.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kDegreesPerRadian = 57.2957795f;
constexpr RenderColor kBarRest{1.0f, 0.2f, 0.2f, 0.0f};  // transparent red
constexpr RenderColor kBarPulse{1.0f, 0.6f, 0.6f, 0.0f}; // never pulses
} // namespace

Enemy::Enemy(int32_t room, LightedAnimation2D* body, const EnemyPoses& strips)
    : RenderableEntity(room, KindEnemy, body), healthBar(kBarRest, kBarPulse), poses(strips) {
    fireSound = Audio::GetSound("pewlazer.wav", false);
    hitSound = Audio::GetSound("hit.wav", false);
    windUpSound = Audio::GetSound("windup.wav", false);
    sprite->SetScale(bodySize, bodySize);
}

Enemy::~Enemy() = default;

LightedAnimation2D* Enemy::LoadBody(const std::vector<std::string>& files) {
    return LightedAnimation2D::FromAssets(files, bodySize, bodySize);
}

void Enemy::SetBodyCollider(float baseRadius) {
    sprite->SetCollider(new Circle2D(baseRadius));
    sprite->collider->UpdateTransform(sprite->position, sprite->rotation, sprite->scale);
}

LightedAnimation2D* Enemy::Body() const {
    return static_cast<LightedAnimation2D*>(sprite);
}

// ---------------------------------------------------------------------------
// The frame
// ---------------------------------------------------------------------------
bool Enemy::Update(float dt, GameObject* parent, EntityList* list) {
    if (target == nullptr && LevelServices::current)
        target = LevelServices::current->LevelPlayer();
    EntityList none;
    EntityList& members = list ? *list : none;
    if (!IsDead()) {
        const Vec2 at = GetPosition();
        healthBar.Follow(at, dt);
        if (state == EnemyHurt) {
            if (!Body()->playing) {
                state = EnemyIdle;
                aimLocked = false;
            }
        } else if (target) {
            const Vec2 targetAt = target->GetPosition();
            if (!aimLocked)
                Decide(targetAt - at, targetAt);
            if (state == EnemyChase)
                Chase(targetAt, dt);
            else if (state == EnemyAttack)
                Attack(targetAt, members, dt);
        }
    } else if (state != EnemyDead) {
        // The corpse lies on even coordinates.
        SetPosition(SnapToEven(GetPosition()));
        OnDeath(members);
    }
    UpdateFlash(dt);
    sprite->Update(dt, parent);
    healthBar.Update(dt, parent);
    if (glint) {
        if (parent)
            glint->FollowView(parent->GetPosition());
        glint->Update(dt);
    }
    return true;
}

void Enemy::UpdateFlash(float dt) {
    if (flashLeft <= 0.0f)
        return;
    flashLeft -= dt;
    const float shade = flashLeft > 0.0f ? kHitFlashBrightness : 1.0f;
    sprite->tint[0] = sprite->tint[1] = sprite->tint[2] = shade;
}

bool Enemy::Senses(const Vec2& delta) const {
    return LengthSq(delta) < senseRangeSq && target && target->roomId == roomId;
}

void Enemy::FaceTarget(const Vec2& targetPosition) {
    const float sx = targetPosition.x <= GetPosition().x ? -bodySize : bodySize;
    if (sprite->scale.x != sx)
        SetScale(sx, bodySize);
}

float Enemy::AngleOf(const Vec2& delta) {
    const Vec2 u = Normalized(delta);
    return std::atan2(u.y, u.x) * kDegreesPerRadian;
}

Enemy::Aim Enemy::AimAt(float a) const {
    if ((a > raisedAimAngle && a <= firingConeEdge) ||
        (a >= 180.0f - firingConeEdge && a < 180.0f - raisedAimAngle))
        return {poses.shootUp, muzzleRise};
    if ((a > -180.0f + raisedAimAngle && a <= -180.0f + firingConeEdge) ||
        (a >= -firingConeEdge && a < -raisedAimAngle))
        return {poses.shootDown, -muzzleRise};
    return {poses.shoot, 0.0f};
}

Vec2 Enemy::Muzzle(float height) const {
    const Vec2 at = GetPosition();
    return {at.x + (sprite->scale.x >= 0.0f ? muzzleReach : -muzzleReach), at.y + height};
}

bool Enemy::ClearShot(const Vec2& targetPosition, float angle) const {
    const LevelServices* level = LevelServices::current;
    if (level == nullptr)
        return true; // no walls known
    return !level->Raycast(roomId, Muzzle(AimAt(angle).height), targetPosition).hit;
}

void Enemy::Decide(const Vec2& delta, const Vec2& targetPosition) {
    if (!Senses(delta)) {
        state = EnemyIdle;
        return;
    }
    FaceTarget(targetPosition);
    const float a = AngleOf(delta);
    // Four cones either side of horizontal; steeply above or below, the
    // soldier walks to get a shot.
    const bool inCones = std::fabs(a) <= firingConeEdge || std::fabs(a) >= 180.0f - firingConeEdge;
    if (!inCones) {
        state = EnemyChase;
        return;
    }
    state = ClearShot(targetPosition, a) ? EnemyAttack : EnemyChase;
}

// ---------------------------------------------------------------------------
// Walking
// ---------------------------------------------------------------------------
bool Enemy::Chase(const Vec2& targetPosition, float dt) {
    const LevelServices* level = LevelServices::current;
    if (level == nullptr)
        return false;
    // Beside the target, on the side its scale points to if there is floor.
    const float w = target ? target->GetScale().x : 0.0f;
    Vec2 goal = targetPosition;
    if (level->IsWalkable(roomId, {targetPosition.x + w, targetPosition.y}))
        goal.x = targetPosition.x + w / 2.0f;
    else if (level->IsWalkable(roomId, {targetPosition.x - w, targetPosition.y}))
        goal.x = targetPosition.x - w / 2.0f;
    FollowPath(goal, dt);
    Loop(poses.run);
    return true;
}

bool Enemy::FollowPath(const Vec2& goal, float dt) {
    return FollowRoomPath(*this, path, requestedGoal, requested, goal, moveSpeed, repathDistance,
                          dt);
}

bool FollowRoomPath(Entity& mover, std::deque<Vec2>& path, Vec2& requestedGoal, bool& requested,
                    const Vec2& goal, float speed, float repathDistance, float dt) {
    LevelServices* level = LevelServices::current;
    const float repathSq = repathDistance * repathDistance;
    // A goal that stayed put needs no new search: the path is still good,
    // or already walked, or there was none to be had.
    const bool goalMoved = !requested || LengthSq(goal - requestedGoal) > repathSq;
    const bool pathStale = !path.empty() && LengthSq(path.back() - goal) > repathSq;
    if (level && (goalMoved || pathStale)) {
        level->FindPath(mover.roomId, path, mover.GetCollider(), mover.GetPosition(), goal);
        requestedGoal = goal;
        requested = true;
    }
    if (path.empty())
        return true;
    const Vec2 at = mover.GetPosition();
    const Vec2 next = path.front();
    const Vec2 d = next - at;
    const float step = speed * dt;
    const float length = Length(d);
    if (length <= step) {
        mover.SetPosition(next);
        path.pop_front();
    } else {
        mover.SetPosition(at + d * (step / length));
    }
    return path.empty();
}

// ---------------------------------------------------------------------------
// Fighting
// ---------------------------------------------------------------------------
void Enemy::Shoot(const Vec2& direction, int32_t projectileKind, const float& muzzleHeight,
                  const float& speed, const float& damage, EntityList& list) {
    Projectile::Launch(list, roomId, Muzzle(muzzleHeight), direction, projectileKind, speed,
                       damage);
}

void Enemy::AimAndFire(const Vec2& targetPosition, EntityList& list, float dt, float interval) {
    const Aim aim = AimAt(AngleOf(targetPosition - GetPosition()));
    const Vec2 line = targetPosition - Muzzle(aim.height);
    LightedAnimation2D* body = Body();
    if (!attackDisabled) {
        fireTimer += dt;
        // Every shot is announced for the whole wind-up, however the timer
        // got here (a hit or a long frame).
        if (!windingUp && fireTimer >= interval - windUpSeconds) {
            fireTimer = std::max(0.0f, interval - windUpSeconds);
            StartWindUp(aim.height);
        }
        if (fireTimer >= interval) {
            Shoot(line, ProjectileBullet, aim.height, bulletSpeed, bulletDamage, list);
            fireSound.Play();
            aimLocked = true;
            windingUp = false;
            fireTimer = 0.0f;
            // The recoil: the pose plays on from its second frame.
            body->frame = 1;
            body->time = 0.0f;
            body->playing = true;
            body->playOnce = true;
        }
    }
    // Hold the aim pose (a still picture) once the recoil is over.
    if (body->animation == poses.idle || body->animation == poses.run || !body->playing) {
        body->SetAnimation(aim.pose);
        body->playing = false;
        aimLocked = false;
    }
    // The wind-up holds the aim: no turning away until the shot is gone.
    if (windingUp)
        aimLocked = true;
}

void Enemy::StartWindUp(float muzzleHeight) {
    windingUp = true;
    windUpSound.Play();
    if (!glint)
        glint = std::make_unique<ParticleSystem>("glint", false, Vec2{0.0f, 0.0f});
    glint->PlaceAt(Muzzle(muzzleHeight));
    glint->Start();
}

void Enemy::RestIdle() {
    if (state != EnemyIdle)
        return;
    Loop(poses.idle);
    fireTimer = 0.0f;
    windingUp = false;
}

// ---------------------------------------------------------------------------
// Hits, death and the bar
// ---------------------------------------------------------------------------
void Enemy::ChangeHealth(const float& delta, Entity* /*source*/) {
    if (IsDead())
        return; // the corpse has had its death
    if (delta < 0.0f) {
        hitSound.Play();
        state = EnemyHurt;
        // A hit breaks the wind-up; the next shot is announced afresh.
        windingUp = false;
        flashLeft = kHitFlashSeconds;
        sprite->tint[0] = sprite->tint[1] = sprite->tint[2] = kHitFlashBrightness;
    }
    health = std::clamp(health + damageFactor * delta, 0.0f, 1.0f);
    healthBar.ShowHit(health);
}

void Enemy::ShowHit() {
    if (state == EnemyHurt)
        PlayOnce(poses.hurt, 0);
    if (IsDead())
        ShowDeath();
}

void Enemy::ShowDeath() {
    PlayOnce(poses.dead, 0);
    if (Collider2D* c = GetCollider())
        c->enabled = false;
    aimLocked = false;
}

bool Enemy::DeathAnimationOver() const {
    const LightedAnimation2D* body = Body();
    return body->animation == poses.dead && !body->playing;
}

void Enemy::OnDeath(EntityList& /*list*/) {
    if (!DeathAnimationOver())
        return;
    PayReward();
    state = EnemyDead;
}

void Enemy::PayReward() {
    if (target && specialReward > 0.0f)
        target->ChangeSpecial(specialReward);
}

void Enemy::OnRoomExit() {
    healthBar.Hide(FloatingBar::leaveSeconds);
}

void Enemy::DrawOverlay() {
    // The glint shines in the dark: drawn unlit.
    if (glint)
        glint->Draw();
    healthBar.DrawIfShown();
}

// ---------------------------------------------------------------------------
// The body
// ---------------------------------------------------------------------------
void Enemy::PlayOnce(uint32_t animation, uint32_t fromFrame) {
    Body()->PlayOnce(animation, fromFrame);
}

void Enemy::Loop(uint32_t animation) {
    Body()->Loop(animation);
}
