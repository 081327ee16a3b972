// Enemy.h -- the shared brain of a room's hostile soldiers: it finds Blade,
// decides each frame whether to idle, walk into position or attack, takes
// hits with a floating health bar and a hurt reaction, dies into a corpse
// that stays in the room, and pays Blade a little special energy when its
// death animation ends.
//
// A kind of enemy is written by filling in the hooks below (the body's
// poses, Attack, and whichever of Decide, Chase, OnDeath it does its own
// way) and calling the shared actions. The kinds: BasicEnemy (shoots),
// HeavyEnemy (slashes, braces, a rare shot), BiohazardEnemy (shoots and
// throws gas grenades).
//
// The frame (Update):
// - the target is the level's player, found on the first frame;
// - alive: the bar follows the body and fades out 3 s after the last hit;
//   a hurt enemy waits for its hurt animation to end and idles; otherwise,
//   unless aimLocked (a shot or slash under way), Decide picks the state,
//   then Chase runs in EnemyChase and Attack in EnemyAttack;
// - dead: the corpse settles on even coordinates and OnDeath runs every
//   frame until it sets EnemyDead.
// Art faces right: scale x +96 faces right, -96 left.
#pragma once

#include "audio/Sound.h"
#include "entities/Entity.h"
#include "entities/FloatingBar.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class LightedAnimation2D;
class ParticleSystem;
class Player;

// Walks `mover` along a path of room `mover.roomId` towards `goal` at `speed`
// units per second (dt seconds). `path` holds the waypoints; `requestedGoal`
// and `requested` remember the last search, so a new path is asked for only
// when the goal has moved more than `repathDistance` units (or the path no
// longer ends near it). True once the path is used up (or there is none).
bool FollowRoomPath(Entity& mover, std::deque<Vec2>& path, Vec2& requestedGoal, bool& requested,
                    const Vec2& goal, float speed, float repathDistance, float dt);

enum EnemyState : int32_t {
    EnemyIdle = 0,
    EnemyChase = 1,
    EnemyAttack = 2,
    EnemyHurt = 3,
    EnemyDead = 4, // the corpse has settled; nothing more happens
};

// Which strip of an enemy's body shows what; every kind has these, at its
// own indices.
struct EnemyPoses {
    uint32_t idle = 0;
    uint32_t run = 1;
    uint32_t shoot = 2;     // aiming level
    uint32_t shootUp = 3;   // aiming up, muzzle 8 units higher
    uint32_t shootDown = 4; // aiming down, muzzle 8 units lower
    uint32_t hurt = 5;
    uint32_t dead = 6;
};

class Enemy : public RenderableEntity {
public:
    static constexpr float bodySize = 96.0f;       // drawn size, world units
    static constexpr float muzzleReach = 10.0f;    // muzzle ahead of the body centre
    static constexpr float muzzleRise = 8.0f;      // muzzle shift of the up and down poses
    static constexpr float repathDistance = 20.0f; // goal move that asks for a new path
    static constexpr float bulletSpeed = 400.0f;   // units per second
    static constexpr float bulletDamage = -0.02f;  // health delta of a bullet
    static constexpr float firingConeEdge = 70.0f; // degrees off horizontal that still shoot
    static constexpr float raisedAimAngle = 15.0f; // degrees off horizontal that aim up or down
    // Before each shot the soldier holds his aim this long while a glint
    // shows at the muzzle: time enough to see it coming.
    static constexpr float windUpSeconds = 0.35f;

    // `body` (owned) has the strips `poses` names; the kind sets its
    // collider and tunes the fields afterwards.
    Enemy(int32_t roomId, LightedAnimation2D* body, const EnemyPoses& poses);
    ~Enemy() override;

    // --- Entity slots -----------------------------------------------------
    // Damage plays the hit sound and hurts; damageFactor scales every delta;
    // the bar fades in and shows the new health for 3 s. A corpse takes no
    // more hits. Kinds add the body's reaction.
    void ChangeHealth(const float& delta, Entity* source) override;
    // The frame described above; always stays in the list.
    bool Update(float dt, GameObject* parent, EntityList* list) override;
    // The glint of a shot about to come and the floating health bar.
    void DrawOverlay() override;
    // Hides the bar at once.
    void OnRoomExit() override;

    // --- Hooks a kind fills in --------------------------------------------
    // Walks into position near the target (dt seconds). False when no level
    // is running. Default: to the side of the target its scale points to,
    // along a path, showing the run pose.
    virtual bool Chase(const Vec2& targetPosition, float dt);
    // Fights the target this frame: aims, fires, slashes, throws (dt
    // seconds); projectiles go into `list`.
    virtual void Attack(const Vec2& targetPosition, EntityList& list, float dt) = 0;
    // Picks the state from delta = target position - own position. Default:
    // idle out of sense range; facing the target; chase when it is steeply
    // above or below or out of line of sight from the muzzle; else attack.
    virtual void Decide(const Vec2& delta, const Vec2& targetPosition);
    // Runs every frame from the killing blow until it sets EnemyDead.
    // Default: once the death animation has played, pay the reward.
    virtual void OnDeath(EntityList& list);

    // --- Shared actions ---------------------------------------------------
    // Fires a projectile of `projectileKind` from the muzzle (10 units ahead,
    // `muzzleHeight` up) along `direction` (a grenade lands at muzzle +
    // direction), appended to `list`.
    void Shoot(const Vec2& direction, int32_t projectileKind, const float& muzzleHeight,
               const float& speed, const float& damage, EntityList& list);
    // Steps along the path to `goal` at moveSpeed; a new path is asked for
    // only when the goal has moved more than 20 units. True once the path is
    // used up (or there is none).
    bool FollowPath(const Vec2& goal, float dt);

    LightedAnimation2D* Body() const;
    // The target's direction in degrees (-180..180), from delta.
    static float AngleOf(const Vec2& delta);
    // The pose and muzzle height for a target at `angle` degrees.
    struct Aim {
        uint32_t pose;
        float height;
    };
    Aim AimAt(float angle) const;
    // Where shots leave the body for a muzzle `height` up.
    Vec2 Muzzle(float height) const;

    EnemyState state = EnemyIdle;
    Player* target = nullptr;       // the level's player, found on the first frame
    float senseRangeSq = 140000.0f; // squared units: a range of about 374
    float fireTimer = 0.0f;         // seconds since the last shot
    float moveSpeed = 50.0f;        // units per second along the path
    float specialReward = 0.05f;    // special paid when the death animation ends
    bool aimLocked = false;         // a shot or slash under way: no re-deciding
    FloatingBar healthBar;          // floats above the body, transparent at rest
    Sound fireSound;                // "pewlazer.wav"
    Sound hitSound;                 // "hit.wav"
    Sound windUpSound;              // "windup.wav": a shot is coming
    bool windingUp = false;         // the glint shows, the aim holds, a shot follows
    float flashLeft = 0.0f;         // seconds the struck body still shows white
    std::deque<Vec2> path;          // waypoints, world units
    EnemyPoses poses;

protected:
    // Whether the target at delta is sensed: in range and in this room.
    bool Senses(const Vec2& delta) const;
    void FaceTarget(const Vec2& targetPosition);
    // No wall between the muzzle for `angle` and the target.
    bool ClearShot(const Vec2& targetPosition, float angle) const;
    // The soldier's attack: hold the aim pose for the target and fire a
    // bullet every `interval` seconds unless attackDisabled; each shot plays
    // the recoil frames, during which the decision holds.
    void AimAndFire(const Vec2& targetPosition, EntityList& list, float dt, float interval);
    // The soldier at rest: idle pose, fire timer back to 0.
    void RestIdle();
    // The body's answer to a hit: the hurt animation while hurt; the death
    // animation, no collider and no aim lock when dead.
    void ShowHit();
    void ShowDeath();
    bool DeathAnimationOver() const;
    // Pays specialReward to the target.
    void PayReward();
    void PlayOnce(uint32_t animation, uint32_t fromFrame);
    // Shows `animation` playing in a loop (kept running if already shown).
    void Loop(uint32_t animation);
    // Builds a body of strips `files`, 96 x 96, from the asset table.
    static LightedAnimation2D* LoadBody(const std::vector<std::string>& files);
    // A circle collider of `baseRadius` at scale 1, fitted to the body.
    void SetBodyCollider(float baseRadius);

private:
    void StartWindUp(float muzzleHeight);
    void UpdateFlash(float dt);
    std::unique_ptr<ParticleSystem> glint; // made on the first wind-up
    Vec2 requestedGoal{0.0f, 0.0f};        // goal of the last path request
    bool requested = false;                // a path has been asked for
};
