// Commander -- the duel, the teleports, the fall, the last words and the end.
#include "entities/Commander.h"

#include "audio/Audio.h"
#include "core/Tween.h"
#include "entities/Enemy.h"
#include "entities/HeavyEnemy.h"
#include "entities/LevelServices.h"
#include "entities/Player.h"
#include "render/LightedAnimation2D.h"
#include "render/ParticleSystem.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kTwoPi = 6.2831853f;
const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
// The bar rests transparent until the first hit fades it in.
constexpr RenderColor kBarRest{1.0f, 0.6f, 0.6f, 0.0f};
constexpr RenderColor kBarPulse{1.0f, 0.2f, 0.2f, 1.0f};
} // namespace

const std::vector<std::string>& Commander::BodyFiles() {
    static const std::vector<std::string> files = {
        "commander_idle.png", "commander_run.png",  "commander_slash.png",
        "commander_hurt.png", "commander_dead.png", "commander_reallydead.png",
    };
    return files;
}

RandomSource& Commander::Random() {
    static RandomSource source;
    return source;
}

Commander::Commander(int32_t room, const Vec2& position, int32_t conversation)
    : RenderableEntity(room, KindEnemy,
                       LightedAnimation2D::FromAssets(BodyFiles(), bodySize, bodySize)),
      slashCircle(slashRadius), healthBar(kBarRest, kBarPulse),
      teleportParticles(std::make_unique<ParticleSystem>("teleport", false, Vec2{0.0f, 0.0f})),
      bossParticles(std::make_unique<ParticleSystem>("boss", false, Vec2{0.0f, 0.0f})),
      dialog(conversation) {
    damageFactor = hitFactor;
    teleportSound = Audio::GetSound("teleport.wav", false);
    slashSound = Audio::GetSound("commander_slash.wav", false);
    hitSound = Audio::GetSound("hit.wav", false);
    sprite->SetScale(bodySize, bodySize);
    SetPosition(position);
    sprite->SetCollider(new Circle2D(bodyRadius));
    sprite->collider->UpdateTransform(sprite->position, sprite->rotation, sprite->scale);
    slashCircle.UpdateTransform(sprite->position, sprite->rotation, sprite->scale);
}

Commander::~Commander() = default;

LightedAnimation2D* Commander::Body() const {
    return static_cast<LightedAnimation2D*>(sprite);
}

bool Commander::IsDead() const {
    return health <= 0.0f && finalHealth <= 0.0f;
}

// ---------------------------------------------------------------------------
// The frame
// ---------------------------------------------------------------------------
bool Commander::Update(float dt, GameObject* parent, EntityList* list) {
    if (target == nullptr && LevelServices::current)
        target = LevelServices::current->LevelPlayer();
    EntityList none;
    EntityList& members = list ? *list : none;
    if (health > 0.0f)
        Standing(dt, members);
    else
        Fallen();
    sprite->Update(dt, parent);
    healthBar.Update(dt, parent);
    // The sparks are drawn in view space; they stay where they burst.
    for (ParticleSystem* particles : {teleportParticles.get(), bossParticles.get()}) {
        if (parent)
            particles->FollowView(parent->GetPosition());
        particles->Update(dt);
    }
    return true;
}

void Commander::Standing(float dt, EntityList& list) {
    if (state != CommanderTeleport)
        SetBodyColliderEnabled(true);
    const Vec2 at = GetPosition();
    healthBar.Follow(at, dt);
    float tint[4] = {kWhite[0], kWhite[1], kWhite[2], kWhite[3]};
    if (blinkCount > 0)
        HitBlink(blinkPhase, blinkCount, dt, tint);
    std::copy(tint, tint + 4, sprite->tint);

    actionTimer += dt;
    if (state == CommanderStagger) {
        if (!Body()->playing || actionTimer >= actionInterval)
            state = CommanderIdle;
        return;
    }
    // Blade in his hall and standing: the duel. Otherwise he waits.
    const bool duel = target && target->roomId == roomId && !target->IsDead();
    if (duel) {
        FaceTarget();
        if (state != CommanderTeleport && state != CommanderSlash) {
            if (LengthSq(target->GetPosition() - at) > slashRangeSq)
                state = CommanderRun;
            else if (actionTimer >= actionInterval)
                state = CommanderSlash;
        }
    } else if (state == CommanderRun) {
        state = CommanderIdle;
    }
    switch (state) {
    case CommanderSlash:
        SlashStep();
        break;
    case CommanderRun:
        RunStep(dt);
        break;
    case CommanderTeleport:
        TeleportStep(dt, list);
        break;
    default:
        Loop(CommanderAnimIdle);
        break;
    }
}

void Commander::FaceTarget() {
    const float sx = target->GetPosition().x > GetPosition().x ? bodySize : -bodySize;
    if (sprite->scale.x != sx)
        SetScale(sx, bodySize);
}

// ---------------------------------------------------------------------------
// The slash, the run, the teleport
// ---------------------------------------------------------------------------
void Commander::SlashStep() {
    slashCircle.UpdateTransform(sprite->position, sprite->rotation, sprite->scale);
    LightedAnimation2D* body = Body();
    if (body->animation != CommanderAnimSlash) {
        PlayOnce(CommanderAnimSlash);
        slashLanded = false;
        slashSound.Play();
        return;
    }
    if (!body->playing) {
        state = CommanderIdle;
        slashLanded = false;
        actionTimer = 0.0f;
        return;
    }
    // The sabre cuts on frames 2 to 4, once per swing.
    if (slashLanded || body->frame < firstStrikeFrame || body->frame > lastStrikeFrame || !target)
        return;
    const Collider2D* blade = target->GetCollider();
    if (blade && blade->TestCircle(slashCircle)) {
        target->ChangeHealth(slashDamage, this);
        slashLanded = true;
    }
}

void Commander::RunStep(float dt) {
    runTimer += dt;
    LevelServices* level = LevelServices::current;
    if (runTimer < runDelay || level == nullptr || target == nullptr) {
        Loop(CommanderAnimIdle); // he gathers himself before he runs
        return;
    }
    const Vec2 at = GetPosition();
    const Vec2 targetAt = target->GetPosition();
    const HeavyEnemy::Flank flank =
        HeavyEnemy::FlankOf(*level, roomId, at, targetAt, std::fabs(target->GetScale().x));
    if (!flank.rightOpen && !flank.leftOpen && LengthSq(targetAt - at) <= slashRangeSq) {
        Loop(CommanderAnimIdle); // in reach with nowhere beside Blade: he stays
        return;
    }
    const bool arrived =
        FollowRoomPath(*this, path, requestedGoal, requested, targetAt + Vec2{flank.offset, 0.0f},
                       moveSpeed, repathDistance, dt);
    // At the goal (or with no way to it) he stands his ground.
    Loop(arrived ? CommanderAnimIdle : CommanderAnimRun);
}

void Commander::TeleportStep(float dt, const EntityList& list) {
    runTimer = 0.0f;
    if (!teleportPending) {
        if (LevelServices::current == nullptr)
            return;
        if (!ChooseTeleportTarget(list)) {
            state = CommanderIdle; // nowhere to go: he stands and fights on
            return;
        }
        teleportPending = true;
        // The old path led from where he stood; he looks for a new one.
        path.clear();
        requested = false;
    }
    teleportParticles->PlaceAt(GetPosition());
    teleportParticles->Start();
    // One sound for the whole flight, not one per frame.
    if (!teleportSound.IsPlaying())
        teleportSound.Play();
    SetBodyColliderEnabled(false);
    // A share of the way each frame; never more than all of it, so a long
    // frame cannot carry him past the spot.
    const Vec2 at = GetPosition();
    SetPosition(at + (teleportTarget - at) * std::min(dt * teleportRate, 1.0f));
    if (LengthSq(teleportTarget - GetPosition()) < 1.0f) {
        SetBodyColliderEnabled(true);
        state = CommanderIdle;
        teleportPending = false;
        Loop(CommanderAnimIdle); // he lands on his feet, whatever he was doing
    }
}

bool Commander::ChooseTeleportTarget(const EntityList& list) {
    // A bounded search: a room without a free spot 80 units away keeps him
    // where he is rather than searching for ever.
    for (int32_t i = 0; i < teleportTries; ++i) {
        const float a = Random().Unit(0.0f, kTwoPi);
        const Vec2 spot =
            GetPosition() + Vec2{std::cos(a) * teleportDistance, std::sin(a) * teleportDistance};
        if (SpotIsFree(spot, list)) {
            teleportTarget = spot;
            return true;
        }
    }
    return false;
}

bool Commander::SpotIsFree(const Vec2& spot, const EntityList& list) const {
    const LevelServices* level = LevelServices::current;
    if (level == nullptr)
        return false;
    Circle2D probe(bodyRadius);
    probe.UpdateTransform(spot, 0.0f, sprite->scale);
    if (!level->IsWalkable(roomId, spot) || level->ResolveWalls(roomId, probe).hit)
        return false;
    for (const Entity* e : list) {
        const Collider2D* c = e->GetCollider();
        if (e != this && c && probe.Collides(*c))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// The fall and the end
// ---------------------------------------------------------------------------
void Commander::Fallen() {
    const LightedAnimation2D* body = Body();
    if (body->animation != CommanderAnimDead || body->playing)
        return;
    std::copy(kWhite, kWhite + 4, sprite->tint);
    state = CommanderDown;
    if (secondPhase || dialog == 0)
        return;
    // His last words wait for any other conversation to end.
    LevelServices* level = LevelServices::current;
    if (level && !level->DialogueRunning()) {
        level->StartDialogue(dialog);
        secondPhase = true;
    }
}

void Commander::ChangeHealth(const float& delta, Entity* /*source*/) {
    if (!(delta < 0.0f) || IsDead())
        return;
    if (target == nullptr && LevelServices::current)
        target = LevelServices::current->LevelPlayer();
    blinkCount = 3;
    const float before = health;
    health = std::clamp(health + damageFactor * delta, 0.0f, 1.0f);
    // His own swing goes on; in mid-teleport he is out of reach anyway.
    const bool swinging = state == CommanderSlash && Body()->animation == CommanderAnimSlash;
    if (!swinging && state != CommanderTeleport && health > 0.0f) {
        state = CommanderStagger;
        PlayOnce(CommanderAnimHurt);
        hitSound.Play();
        actionTimer = 0.0f;
    }
    if (before > 0.0f)
        healthBar.ShowHit(health);
    rewardMeter -= before - health;
    if (rewardMeter <= 0.0f) {
        if (target)
            target->ChangeSpecial(rewardAmount);
        rewardMeter = sliceSize;
        if (health > 0.0f)
            state = CommanderTeleport;
    }
    if (before > 0.0f && health <= 0.0f) {
        // The fall: he is down where he stands, within reach.
        PlayOnce(CommanderAnimDead);
        teleportPending = false;
        SetBodyColliderEnabled(true);
        return;
    }
    if (health <= 0.0f && secondPhase) {
        finalHealth = std::clamp(finalHealth + delta, 0.0f, 1.0f);
        if (finalHealth <= 0.0f) {
            PlayOnce(CommanderAnimReallyDead);
            bossParticles->PlaceAt(GetPosition());
            bossParticles->Start();
            SetBodyColliderEnabled(false);
        }
    }
}

// ---------------------------------------------------------------------------
// Drawing and leaving
// ---------------------------------------------------------------------------
void Commander::Draw(int pass) {
    Body()->DrawPass(pass);
    if (pass != 0)
        return;
    teleportParticles->Draw();
    bossParticles->Draw();
}

void Commander::DrawOverlay() {
    healthBar.DrawIfShown();
}

void Commander::OnRoomExit() {
    healthBar.Hide(FloatingBar::leaveSeconds);
    teleportParticles->Clear();
    bossParticles->Clear();
    bossParticles->emitting = false;
}

void Commander::PlayOnce(uint32_t animation) {
    Body()->PlayOnce(animation);
}

void Commander::Loop(uint32_t animation) {
    Body()->Loop(animation);
}

void Commander::SetBodyColliderEnabled(bool on) {
    if (Collider2D* c = GetCollider())
        c->enabled = on;
}
