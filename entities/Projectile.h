// Projectile.h -- what soldiers fire: bullets that fly straight until they
// hit something or a wall, and gas grenades that fly an arc, burst and
// leave a poisonous cloud. Projectiles are room entities taken from the
// program-wide ProjectilePool and given back to it when they are done; a
// room never deletes them.
//
// A fresh bullet flies through its own side (enemies, other projectiles,
// pickups) and hits the player, props, characters and scenery through
// ChangeHealth. Blade's slash turns it back (any hit brings its health to
// 0, which it answers by reversing); from then on it is `struck` and hits
// enemies for double damage. Gas harms only the player.
#pragma once

#include "audio/Sound.h"
#include "core/RandomSource.h"
#include "entities/Entity.h"

#include <cstdint>
#include <string>
#include <vector>

class LightedAnimation2D;
class ParticleSystem;

// What a projectile flies as; any other value gives an inert projectile.
enum ProjectileKind : int32_t {
    ProjectileBullet = 0,
    ProjectileGrenade = 1,
    ProjectileInert = 2,
};

class Projectile : public RenderableEntity {
public:
    // The body's animations, in strip order.
    static constexpr uint32_t kFlightAnimation = 0;  // enemy_projectile
    static constexpr uint32_t kBurstAnimation = 1;   // enemy_projectile_destroy
    static constexpr uint32_t kGrenadeAnimation = 2; // bioenemy_nade; frame 4 is the burst
    static constexpr uint32_t kGrenadeBurstFrame = 4;

    static constexpr float bodySize = 48.0f;       // drawn size, world units
    static constexpr float parkedAt = -9000.0f;    // x and y of an idle projectile
    static constexpr float defaultDamage = -0.02f; // health delta of a hit
    static constexpr int arcPoints = 6;            // waypoints of a grenade's flight
    static constexpr float grenadeSpin = 10.0f;    // radians per second
    static constexpr float cloudSeconds = 5.0f;    // how long a gas cloud poisons
    static constexpr float tickSeconds = 1.0f;     // between two gas damage ticks
    static constexpr float cloudReachSq = 2400.0f; // squared units (about 49)
    static constexpr float poisonRate = 2.0f;      // poison per second in the cloud

    // The parts a projectile is made of, owned by it afterwards; the gas
    // particles may be null (tools and tests).
    struct Parts {
        LightedAnimation2D* body = nullptr; // the three animations
        ParticleSystem* gasParticles = nullptr;
        ParticleSystem* sparkParticles = nullptr; // the burst of a bullet batted back
        ParticleSystem* trailParticles = nullptr; // and its trail on the way back
    };
    // Builds the body and the gas from the game's assets.
    static Parts LoadParts();
    // The body's strips in animation order.
    static const std::vector<std::string>& BodyFiles();

    Projectile();
    explicit Projectile(const Parts& parts);
    ~Projectile() override;
    // The colour of a bullet batted back.
    static constexpr float battedTint[3] = {0.45f, 0.95f, 1.0f};

    // Fires a projectile from the pool into room `roomId`: placed at `from`,
    // flying along `direction` (a bullet) or landing at from + `direction`
    // (a grenade), at `speed` units per second, dealing `damage` (a health
    // delta) on a hit; appended to `list`. Returns it.
    static Projectile* Launch(EntityList& list, int32_t roomId, Vec2 from, Vec2 direction,
                              int32_t kind, float speed, float damage);

    // Back to the state of a fresh shot (done on every take from the pool):
    // whole, parked far off, invisible, intangible, stopped on frame 0.
    void Reset();
    // Readies the projectile placed and aimed by Launch to fly as `kind`:
    // a bullet shows and loops its flight; a grenade builds its arc.
    void SetUp(int32_t kind);
    // Turns the body along `direction`; leftward flights mirror the body
    // instead, so it is never drawn upside down.
    void FaceDirection(Vec2 direction);

    // Runs the current behaviour; false once the projectile has gone back
    // to the pool. Then the body and the gas advance.
    bool Update(float dt, GameObject* parent, EntityList* list) override;
    // The body; the gas in pass 0.
    void Draw(int pass) override;
    // The unlit sparks and trail of a bullet batted back, and the ring where
    // a grenade in flight will land.
    void DrawOverlay() override;

    LightedAnimation2D* Body() const;
    // The source every projectile's random draws come from.
    static RandomSource& Random();

    // One behaviour runs each frame; each answers false after giving the
    // projectile back to the pool.
    using Behaviour = bool (Projectile::*)(const float& dt, EntityList* list);
    // Straight flight; bursts on the first wall or body it meets.
    bool BulletFlight(const float& dt, EntityList* list);
    // Along the arc's waypoints, spinning; bursts into a gas cloud on landing.
    bool GrenadeFlight(const float& dt, EntityList* list);
    // Poisons and hurts the player in reach until it has blown away.
    bool GasCloud(const float& dt, EntityList* list);

    // A bullet: has hit something and plays its burst. A grenade: has
    // landed. A gas cloud: has ended and thins out.
    bool exploding = false;
    int32_t projectileKind = ProjectileInert;
    Vec2 aimPoint{0.0f, 0.0f};    // launch point + direction; a grenade's landing point
    Vec2 direction{0.0f, 0.0f};   // unit flight direction of a bullet
    std::vector<Vec2> waypoints;  // a grenade's arc, consumed from the back
    float speed = 0.0f;           // units per second
    float cloudTimer = 0.0f;      // seconds of gas left
    float damage = defaultDamage; // health delta dealt by a hit or a gas tick
    float tickTimer = 0.0f;       // seconds to the next gas tick
    Behaviour behaviour = nullptr;
    ParticleSystem* gasParticles;   // owned, may be null
    ParticleSystem* sparkParticles; // owned, may be null
    ParticleSystem* trailParticles; // owned, may be null
    Sound batSound;                 // a bullet batted back rings out
    Sound burstSound;               // "bio_grenade.wav"

private:
    void BuildArc();
    void PlayOnce(uint32_t animation, uint32_t fromFrame);
    void FitCollider();
    bool Recycle();
    void AnnounceBatBack();
    void DrawLandingMark() const;
    Vec2 view{0.0f, 0.0f};   // the room's view, for drawing in view space
    float flightTime = 0.0f; // seconds a grenade has flown, for the ring's pulse
    std::vector<ParticleSystem*> Particles() const;

    friend class ProjectilePool;
    bool pooled = false; // idle in the pool
};
