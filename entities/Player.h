// Player.h -- Blade, the sword-wielding character the user controls: eight-
// way walking, light and heavy slashes strung into three-hit combos, and an
// aimed dash in slowed time that cuts through everything on its path.
//
// The player lives in the current room's entity list; the level scene moves
// it between rooms and pins it (`frozen`) while it walks through a door. What
// it needs from the level (the cursor in room coordinates, ray casts against
// walls, the HUD bars) comes through LevelServices; the level's music through
// the current scene's Music().
#pragma once

#include "audio/Sound.h"
#include "entities/Entity.h"
#include "render/Resources.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class Circle2D;
class LightedAnimation2D;
class ParticleSystem;

enum PlayerState : int32_t {
    PlayerIdle = 0,
    PlayerRun = 1,
    PlayerSlash = 2,
    PlayerDash = 3,
    PlayerDead = 4, // the level scene offers a retry
};

// The body's animations, in strip order.
enum PlayerAnimation : uint32_t {
    AnimIdle = 0,
    AnimIdleVariation = 1,
    AnimRun = 2,
    AnimSlashL = 3,
    AnimSlashLL = 4,
    AnimSlashLLL = 5,
    AnimSlashLRL = 6,
    AnimSlashR = 7,
    AnimSlashRR = 8,
    AnimSlashRRR = 9,
    AnimSlashRLR = 10,
    AnimDash = 11,
    AnimDead = 12,
};

// One row of the combo table: from combo node `combo` a press of the given
// kind starts `animation` when the body's frame lies in [firstFrame,
// lastFrame] (or, for an opening row, when no slash is running).
struct ComboRow {
    int32_t combo;
    bool heavy;
    bool opening; // only when not already slashing; the frame window is unused
    uint32_t firstFrame;
    uint32_t lastFrame;
    uint32_t animation;
    int32_t next;
    float threshold; // least dot(facing, direction) of a struck target
    float radius;    // attack circle base radius
    float damage;    // health delta dealt
};

class Player : public RenderableEntity {
public:
    // Walking speed, units per second, and while slashing.
    static constexpr float walkSpeed = 120.0f;
    static constexpr float slashWalkSpeed = 10.0f;
    static constexpr float dashCost = 0.25f;           // special spent by a dash
    static constexpr float dashReach = 150.0f;         // world units
    static constexpr float dashRate = 6.0f;            // share of the way covered per second
    static constexpr float idleVariationDelay = 10.0f; // seconds
    static constexpr float slowDownRate = 20.0f;       // time scale decay per second
    static constexpr float markerFadeRate = 5.0f;      // aim marker opacity per second
    static constexpr float inputBuffer = 0.1f;         // a press is kept this long (s)
    static constexpr float aimDotSpacing = 10.0f;      // world units between aim dots
    static constexpr float bodySize = 96.0f;           // drawn size, world units

    // The parts a player is made of; the visuals are owned by the player
    // afterwards, the particle systems may be null (tools and tests).
    struct Parts {
        LightedAnimation2D* body = nullptr;  // the 13 animations
        LightedAnimation2D* ghost = nullptr; // the dash aim marker
        ParticleSystem* healthParticles = nullptr;
        ParticleSystem* specialParticles = nullptr;
    };
    // Builds the body, marker and particles from the game's assets.
    static Parts LoadParts();
    // The body's strips: file stems and frame timings, in animation order.
    static std::vector<std::string> BodyStems();
    static std::vector<FrameTable> BodyFrameTables();

    explicit Player(int32_t roomId);
    Player(int32_t roomId, const Parts& parts);
    ~Player() override;

    // Healing bursts green particles; damage blinks red. The player's own
    // damageFactor is not applied.
    void ChangeHealth(const float& delta, Entity* source) override;
    // Always stays in the list.
    bool Update(float dt, GameObject* parent, EntityList* list) override;
    // Body, then marker; particles in pass 0.
    void Draw(int pass) override;
    // Stops the particle systems.
    void OnRoomExit() override;
    // The dash's aim line and the sweep of a slash, unlit.
    void DrawOverlay() override;

    // Gains (bursting particles) or spends special energy, kept in [0, 1].
    void ChangeSpecial(const float& delta);
    // Ends slow motion at once: normal time, unfiltered sound, the music at
    // its own pace (dying, or the game pausing while Blade aims).
    void ReturnToNormalTime() const;
    // Tells the HUD the current health or special (also for enemies that
    // write `special` directly when paying for a kill).
    void PushHealth() const;
    void PushSpecial() const;

    // Hits what the attack circle of radius `radius` (at scale 1) touches:
    // for a slash, what lies in the sector dot(facing, direction) >=
    // threshold; for the dash, everything not yet struck. A survivor of the
    // dash stops it.
    void Strike(EntityList& list, const float& threshold, const float& radius, const float& damage,
                bool isSlash);

    // (1, 0) while facing right (the art mirrored), (-1, 0) facing left.
    Vec2 Facing() const;
    LightedAnimation2D* Body() const;
    // The body's collider radius, world units.
    float BodyRadius() const;

    // The combo rows, the whole table.
    static const std::array<ComboRow, 14>& ComboTable();
    // The row a press starts from `combo` with the body on `frame`, or null.
    static const ComboRow* FindComboRow(int32_t combo, bool heavy, bool slashing, uint32_t frame);

    float special = 1.0f;        // 0..1, spent by the dash
    Vec2 dashTarget{0.0f, 0.0f}; // world units
    float idleTimer = 0.0f;      // seconds spent idle
    int32_t combo = 0;           // combo node 0..6
    PlayerState state = PlayerIdle;
    LightedAnimation2D* ghost;        // owned: the dash aim marker
    bool frozen = false;              // pinned by the level scene between rooms
    Circle2D* attackCircle;           // owned: the reach of slashes and the dash
    float poison = 0.0f;              // 0..1, shown green
    float blinkPhase = 0.0f;          // radians
    int32_t blinkCount = 0;           // red blinks left after a hit
    ParticleSystem* healthParticles;  // owned, may be null
    ParticleSystem* specialParticles; // owned, may be null
    Sound lightSlashSound;
    Sound heavySlashSound;
    Sound dashSound;
    // A slash press that found no opening, kept for `inputBuffer` seconds
    // and played as soon as it can be (or taken as the dash's release).
    enum KeptPress { KeptNone, KeptLight, KeptHeavy };
    KeptPress keptPress = KeptNone;
    float keptFor = 0.0f;
    // The bright sweep drawn over a slash's reach as it lands, so a blow
    // reads in the darkest room: where it reaches, how wide, which way.
    struct SlashSweep {
        float left = 0.0f;      // seconds still shown
        float length = 0.0f;    // seconds shown in all
        float reach = 0.0f;     // world units
        float halfAngle = 0.0f; // radians either side of the facing
        float facing = 0.0f;    // radians: 0 right, pi left
        bool heavy = false;
        bool turning = false; // swept the other way round
    };
    SlashSweep sweep;
    static constexpr float lightSweepSeconds = 0.12f;
    static constexpr float heavySweepSeconds = 0.18f;
    Vec2 frozenPosition{0.0f, 0.0f};             // world units, while frozen
    std::array<float, 4> frozenTint{1, 1, 1, 1}; // body tint while frozen

private:
    void FitAttackCircle();
    void DrawAimLine() const;
    void DrawSweep() const;
    void StartSweep(const ComboRow& row);
    Vec2 view{0.0f, 0.0f};    // the room's view, for drawing in view space
    bool showingCost = false; // the HUD shows the dash's cost
    void DeathStep();
    void UpdateTints(float dt);
    void DashAndAim(float dt, EntityList& list, Vec2 aimPoint);
    void UpdateDash(float dt, EntityList& list);
    void EndDash(EntityList& list);
    Vec2 AimDirection(Vec2 aimPoint) const;
    Vec2 StopShort(Vec2 from, Vec2 hit) const;
    void Slashes(EntityList& list, Vec2 aimPoint, float dt);
    void KeepPress(bool light, bool heavy);
    void FaceForSlash(Vec2 aimPoint);
    void Deflect(EntityList& list);
    void Movement(float dt);
    void FaceByInput();
    void IdleVariation(float dt);
    void SetFacing(float x);
    void PlayOnce(uint32_t animation);
    void Select(uint32_t animation);
    void SetTint(const float* rgba);
};

// Clears the struck mark on every member.
void ClearStruck(EntityList& list);

// One frame (dt seconds) of the red blink after a hit: `phase` turns at 20
// radians per second and each full turn uses up one of `count` blinks;
// `rgba` gets the tint, from white towards (0.8, 0.2, 0.2) and back.
void HitBlink(float& phase, int32_t& count, float dt, float* rgba);
