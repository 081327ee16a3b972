// Commander.h -- the master of Quorvane, fought in his hall at the end of the
// story. He walks up to Blade and slashes with his sabre every 2 s in reach,
// staggers when hit (never out of his own swing), and each time he has lost
// a slice of his health he pays Blade special energy and teleports 80 units
// away in a burst of violet sparks. At zero health he falls; once down he
// speaks his last words (his conversation), and only after it has started
// can he be finished, by a second, small pool of health that every hit takes
// at full strength. Then he lies really dead in the glow of the boss burst.
//
// He is of kind KindEnemy, so gates and trigger lines count him as an enemy
// while his health is above 0 (the gate opens as he falls), but he is no
// Enemy: he closes in the way the heavy does (HeavyEnemy::FlankOf) along the
// same room paths (FollowRoomPath). Art faces right: scale x +96 faces
// right, -96 left.
#pragma once

#include "audio/Sound.h"
#include "core/Circle2D.h"
#include "core/RandomSource.h"
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

enum CommanderState : int32_t {
    CommanderIdle = 0,
    CommanderRun = 1,
    CommanderTeleport = 2,
    CommanderSlash = 3,
    CommanderStagger = 4,
    CommanderDown = 5, // fallen: waits for his conversation, then for the end
};

// The body's strips, in order.
enum CommanderAnimation : uint32_t {
    CommanderAnimIdle = 0,
    CommanderAnimRun = 1,
    CommanderAnimSlash = 2,
    CommanderAnimHurt = 3,
    CommanderAnimDead = 4,       // the fall; rests on its last frame
    CommanderAnimReallyDead = 5, // the end
};

class Commander : public RenderableEntity {
public:
    static constexpr float bodySize = 96.0f;         // drawn size, world units
    static constexpr float bodyRadius = 0.13f;       // collider, at scale 1
    static constexpr float slashRadius = 0.34f;      // reach of the sabre, at scale 1
    static constexpr float slashRangeSq = 1700.0f;   // squared units: about 41.2
    static constexpr float actionInterval = 2.0f;    // seconds between slashes; longest stagger
    static constexpr float slashDamage = -0.05f;     // health delta dealt to Blade
    static constexpr uint32_t firstStrikeFrame = 2;  // the sabre cuts on frames 2 to 4
    static constexpr uint32_t lastStrikeFrame = 4;   //
    static constexpr float runDelay = 0.5f;          // seconds he stands before running
    static constexpr float moveSpeed = 70.0f;        // units per second along the path
    static constexpr float repathDistance = 20.0f;   // goal move that asks for a new path
    static constexpr float hitFactor = 0.03f;        // share of a hit his health feels
    static constexpr float sliceSize = 0.075f;       // health lost between two teleports
    static constexpr float teleportDistance = 80.0f; // world units
    static constexpr float teleportRate = 30.0f;     // share of the way covered per second
    static constexpr int32_t teleportTries = 64;     // spots tried before he stays put

    // The strips of the body, in CommanderAnimation order.
    static const std::vector<std::string>& BodyFiles();
    // The boss's own random numbers (teleport angles); tests may seed it.
    static RandomSource& Random();

    // `dialog` is the conversation he speaks once fallen (0: none, and he
    // stays down for good).
    Commander(int32_t roomId, const Vec2& position, int32_t dialog);
    ~Commander() override;

    // Dead only once the second pool is empty too.
    bool IsDead() const override;
    // Only damage counts. Standing, a hit takes 3 % of its size from his
    // health, blinks him, shows the bar and staggers him unless he is in
    // his swing; every slice lost pays Blade and sends him teleporting.
    // Fallen, hits do nothing until his conversation has started; then they
    // take the second pool down at full strength.
    void ChangeHealth(const float& delta, Entity* source) override;
    bool Update(float dt, GameObject* parent, EntityList* list) override;
    // The body, then (pass 0) the sparks of the teleport and the boss burst.
    void Draw(int pass) override;
    // The health bar.
    void DrawOverlay() override;
    // Hides the bar and stops the particles.
    void OnRoomExit() override;

    // Whether his body could stand at `spot` in his room: no wall under it
    // and no other switched-on collider of `list` touching it.
    bool SpotIsFree(const Vec2& spot, const EntityList& list) const;
    LightedAnimation2D* Body() const;

    Player* target = nullptr; // Blade, found on the first frame
    CommanderState state = CommanderIdle;
    float rewardAmount = 0.25f; // special paid per slice
    float finalHealth = 0.3f;   // the second pool, after the fall
    float blinkPhase = 0.0f;    // radians
    int32_t blinkCount = 0;     // red blinks left after a hit
    float rewardMeter = sliceSize;
    float actionTimer = 0.0f; // seconds since the last slash or stagger
    Circle2D slashCircle;     // the reach of his slash
    float runTimer = 0.0f;    // seconds spent wanting to run
    bool teleportPending = false;
    Vec2 teleportTarget{0.0f, 0.0f};
    FloatingBar healthBar;                             // floats above him
    std::unique_ptr<ParticleSystem> teleportParticles; // "teleport"
    std::unique_ptr<ParticleSystem> bossParticles;     // "boss"
    Sound teleportSound;                               // "teleport.wav"
    Sound slashSound;                                  // "commander_slash.wav"
    Sound hitSound;                                    // "hit.wav"
    int32_t dialog;                                    // his last words; 0 for none
    bool secondPhase = false;                          // his conversation has started
    bool slashLanded = false;                          // the current swing has hit Blade
    std::deque<Vec2> path;                             // waypoints, world units

private:
    void Standing(float dt, EntityList& list);
    void SlashStep();
    void RunStep(float dt);
    void TeleportStep(float dt, const EntityList& list);
    void Fallen();
    bool ChooseTeleportTarget(const EntityList& list);
    void Blink(float dt);
    void FaceTarget();
    void PlayOnce(uint32_t animation);
    void Loop(uint32_t animation);
    void SetBodyColliderEnabled(bool on);

    Vec2 requestedGoal{0.0f, 0.0f}; // goal of the last path request
    bool requested = false;         // a path has been asked for
};
