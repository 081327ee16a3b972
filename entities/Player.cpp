// Player -- Blade: walking, combos, deflection, the aimed dash in slowed time.
#include "entities/Player.h"

#include "audio/Audio.h"
#include "core/AABB.h"
#include "core/Circle2D.h"
#include "core/Line2D.h"
#include "core/Runtime.h"
#include "engine/QNGraphics.h"
#include "engine/QNKeys.h"
#include "engine/QNSystem.h"
#include "entities/HitFeel.h"
#include "entities/LevelServices.h"
#include "render/LightedAnimation2D.h"
#include "render/Marks.h"
#include "render/ParticleSystem.h"
#include "render/Resources.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr float kStoppedFrame = 1.1920929e-07f; // a frame this short moves nothing
constexpr float kTwoPi = 6.2831853f;

// The body's strips in animation order; frames and timing come from the
// asset table.
const std::vector<std::string>& BodyFiles() {
    static const std::vector<std::string> files = {
        "blade_leftidle.png", "blade_leftidlerand.png", "blade_leftrun.png",  "blade_slashl.png",
        "blade_slashll.png",  "blade_slashlll.png",     "blade_slashlrl.png", "blade_slashr.png",
        "blade_slashrr.png",  "blade_slashrrr.png",     "blade_slashrlr.png", "blade_leftdash.png",
        "blade_leftdead.png",
    };
    return files;
}

const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float kPoisonGreen[4] = {0.0f, 1.0f, 0.0f, 1.0f};
const float kBlinkRed[4] = {0.8f, 0.2f, 0.2f, 1.0f};

void Lerp(const float* a, const float* b, float t, float* out) {
    for (int i = 0; i < 4; ++i)
        out[i] = a[i] + (b[i] - a[i]) * t;
}

// ---------------------------------------------------------------------------
// Input: pad first, then keyboard and mouse.
// ---------------------------------------------------------------------------
bool HeldUp() {
    return Runtime::Get().Held(Action::MoveUp);
}
bool HeldDown() {
    return Runtime::Get().Held(Action::MoveDown);
}
bool HeldLeft() {
    return Runtime::Get().Held(Action::MoveLeft);
}
bool HeldRight() {
    return Runtime::Get().Held(Action::MoveRight);
}
bool LightPressed() {
    return Runtime::Get().Triggered(Action::LightSlash);
}
bool HeavyPressed() {
    return Runtime::Get().Triggered(Action::HeavySlash);
}

Vec2 Stick() {
    Vec2 s{0.0f, 0.0f};
    Runtime::Get().gamePad.LeftStick(&s.x, &s.y);
    return s;
}

bool StickMoved(Vec2 s) {
    return s.x != 0.0f || s.y != 0.0f;
}

// The dash aim: left shoulder or trigger, the joystick's fifth button or its
// Z axis, or left Shift.
bool AimHeld() {
    if (Runtime::Get().Held(Action::Aim))
        return true;
    const GamePad& pad = Runtime::Get().gamePad;
    if (pad.deviceKind == PadController)
        return pad.currentXInput.leftTrigger > 30;
    if (pad.deviceKind == PadJoystick)
        return pad.currentJoystick.z > 110;
    return false;
}

bool ReleasePressed() {
    return LightPressed() || HeavyPressed();
}

// Where a segment from `line.start` first touches a collider, if it does.
ContactPoint FirstContact(const Line2D& line, const Collider2D& c) {
    if (!c.enabled)
        return {};
    if (c.type == ColliderCircle)
        return line.IntersectCircle(static_cast<const Circle2D&>(c));
    if (c.type == ColliderBox)
        return line.IntersectBox(static_cast<const AABB&>(c));
    return {};
}

} // namespace

// ---------------------------------------------------------------------------
// Combo table
// ---------------------------------------------------------------------------
const std::array<ComboRow, 14>& Player::ComboTable() {
    static const std::array<ComboRow, 14> rows = {{
        // combo, heavy, opening, frames, animation, next, threshold, radius, damage
        {0, false, true, 0, 0, AnimSlashL, 1, 0.35f, 0.26f, -0.34f},
        {1, false, false, 3, 6, AnimSlashLL, 2, 0.35f, 0.26f, -0.34f},
        {2, false, false, 5, 7, AnimSlashLLL, 0, 0.25f, 0.30f, -0.45f},
        {3, false, false, 5, 7, AnimSlashLLL, 0, 0.25f, 0.30f, -0.45f},
        {4, false, false, 3, 7, AnimSlashLL, 3, 0.35f, 0.26f, -0.34f},
        {5, false, false, 5, 7, AnimSlashLRL, 0, 0.1f, 0.34f, -0.45f},
        {6, false, false, 5, 7, AnimSlashLRL, 0, 0.1f, 0.34f, -0.45f},
        {0, true, true, 0, 0, AnimSlashR, 4, 0.3f, 0.36f, -0.5f},
        {1, true, false, 3, 6, AnimSlashRR, 6, 0.3f, 0.34f, -0.5f},
        {2, true, false, 5, 7, AnimSlashRLR, 0, 0.2f, 0.38f, -0.7f},
        {3, true, false, 5, 7, AnimSlashRLR, 0, 0.2f, 0.38f, -0.7f},
        {4, true, false, 3, 7, AnimSlashRR, 5, 0.3f, 0.34f, -0.5f},
        {5, true, false, 5, 7, AnimSlashRRR, 0, 0.2f, 0.4f, -0.7f},
        {6, true, false, 5, 7, AnimSlashRRR, 0, 0.2f, 0.4f, -0.7f},
    }};
    return rows;
}

const ComboRow* Player::FindComboRow(int32_t node, bool heavy, bool slashing, uint32_t frame) {
    for (const ComboRow& row : ComboTable()) {
        if (row.combo != node || row.heavy != heavy)
            continue;
        const bool open =
            row.opening ? !slashing : (frame >= row.firstFrame && frame <= row.lastFrame);
        return open ? &row : nullptr;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------
std::vector<std::string> Player::BodyStems() {
    std::vector<std::string> stems;
    for (const std::string& file : BodyFiles())
        stems.push_back(file.substr(0, file.size() - 4));
    return stems;
}

std::vector<FrameTable> Player::BodyFrameTables() {
    return Resources::AssetFrameTables(BodyFiles());
}

Player::Parts Player::LoadParts() {
    Parts parts;
    parts.body = LightedAnimation2D::FromAssets(BodyFiles(), bodySize, bodySize);
    // The afterimage of a dash plays the dash strip at an even pace.
    parts.ghost = new LightedAnimation2D(Resources::GetQuadMesh(8),
                                         Resources::GetTexture("blade_leftdash.png", true),
                                         Resources::GetTexture("blade_leftdash_n.png", true),
                                         Resources::BuildFrameTables({{8, 0.075f}})[0]);
    parts.healthParticles = new ParticleSystem("health", false, {0.0f, 0.0f});
    parts.specialParticles = new ParticleSystem("special", false, {0.0f, 0.0f});
    return parts;
}

Player::Player(int32_t room) : Player(room, LoadParts()) {}

Player::Player(int32_t room, const Parts& parts)
    : RenderableEntity(room, KindPlayer, parts.body), ghost(parts.ghost),
      attackCircle(new Circle2D(0.22f)), healthParticles(parts.healthParticles),
      specialParticles(parts.specialParticles) {
    lightSlashSound = Audio::GetSound("light_slash.wav", false);
    heavySlashSound = Audio::GetSound("heavy_slash.wav", false);
    dashSound = Audio::GetSound("dash_slash.wav", false);
    sprite->SetScale(bodySize, bodySize);
    sprite->SetCollider(new Circle2D(0.18f, {0.0f, 8.0f}));
    sprite->collider->UpdateTransform(sprite->position, sprite->rotation, sprite->scale);
    ghost->tint[3] = 0.0f;
    FitAttackCircle();
    PushHealth();
    PushSpecial();
}

Player::~Player() {
    delete ghost;
    delete attackCircle;
    delete healthParticles;
    delete specialParticles;
}

LightedAnimation2D* Player::Body() const {
    return static_cast<LightedAnimation2D*>(sprite);
}

float Player::BodyRadius() const {
    const Collider2D* c = GetCollider();
    return c && c->type == ColliderCircle ? static_cast<const Circle2D*>(c)->radius : 0.0f;
}

Vec2 Player::Facing() const {
    return sprite->scale.x < 0.0f ? Vec2{1.0f, 0.0f} : Vec2{-1.0f, 0.0f};
}

// ---------------------------------------------------------------------------
// Health, special and the HUD
// ---------------------------------------------------------------------------
void Player::ChangeHealth(const float& delta, Entity* /*source*/) {
    // The dash carries Blade through harm: nothing hurts him while it moves
    // him (a dead Blade still takes what comes).
    if (delta < 0.0f && state == PlayerDash && health > 0.0f)
        return;
    if (delta < 0.0f && health > 0.0f)
        FeelBlow(roomId, Blow::BladeHurt);
    if (delta > 0.0f) {
        if (healthParticles) {
            healthParticles->PlaceAt(GetPosition());
            healthParticles->Start();
        }
    } else {
        blinkCount = 3;
    }
    health = std::clamp(health + delta, 0.0f, 1.0f);
    PushHealth();
    Runtime::Get().gamePad.Rumble();
}

void Player::ChangeSpecial(const float& delta) {
    if (delta > 0.0f && specialParticles) {
        specialParticles->PlaceAt(GetPosition());
        specialParticles->Start();
    }
    special = std::clamp(special + delta, 0.0f, 1.0f);
    PushSpecial();
}

void Player::PushHealth() const {
    if (LevelServices::current)
        LevelServices::current->ShowHealth(health);
}

void Player::PushSpecial() const {
    if (LevelServices::current)
        LevelServices::current->ShowSpecial(special);
}

// ---------------------------------------------------------------------------
// The frame
// ---------------------------------------------------------------------------
bool Player::Update(float dt, GameObject* parent, EntityList* list) {
    if (dt < kStoppedFrame) {
        // A press while a blow holds the game still is kept for after it.
        KeepPress(LightPressed(), HeavyPressed());
        return true;
    }
    FitAttackCircle();
    LightedAnimation2D* body = Body();
    if (frozen) {
        body->SetPosition(frozenPosition);
        SetTint(frozenTint.data());
        body->Update(dt, parent);
        return true;
    }
    EntityList none;
    EntityList& members = list ? *list : none;
    LevelServices* level = LevelServices::current;
    const Vec2 aimPoint = level ? level->CursorInRoom(roomId) : Runtime::Get().CursorToScreen();

    if (health <= 0.0f) {
        DeathStep();
    } else {
        UpdateTints(dt);
        DashAndAim(dt, members, aimPoint);
        if (state != PlayerDash) {
            Slashes(members, aimPoint, dt);
            Movement(dt);
        }
        IdleVariation(dt);
    }

    body->Update(dt, parent);
    sweep.left = std::max(0.0f, sweep.left - dt);
    if (parent)
        view = parent->GetPosition();
    // Bursts are drawn in view space; they stay where they burst.
    for (ParticleSystem* particles : {healthParticles, specialParticles}) {
        if (!particles)
            continue;
        if (parent)
            particles->FollowView(parent->GetPosition());
        particles->Update(dt);
    }
    // The marker animates at normal speed while time is slowed.
    if (ghost->tint[3] > 0.0f)
        ghost->Update(static_cast<float>(QNFrameRateControllerGetFrameTime()), nullptr);
    return true;
}

void Player::FitAttackCircle() {
    attackCircle->UpdateTransform(sprite->position, sprite->rotation, sprite->scale);
}

void Player::DeathStep() {
    LightedAnimation2D* body = Body();
    if (state == PlayerDead)
        return;
    if (body->animation == AnimDead) {
        if (!body->playing)
            state = PlayerDead;
        return;
    }
    ghost->tint[3] = 0.0f;
    // Dying mid-aim gives back normal time, and with it normal sound.
    ReturnToNormalTime();
    PlayOnce(AnimDead);
    SetTint(kWhite);
}

void Player::UpdateTints(float dt) {
    poison = std::clamp(poison - dt, 0.0f, 1.0f);
    float tint[4];
    Lerp(kWhite, kPoisonGreen, poison, tint);
    if (blinkCount > 0 && poison <= 0.0f)
        HitBlink(blinkPhase, blinkCount, dt, tint);
    else
        blinkCount = 0;
    SetTint(tint);
}

void HitBlink(float& phase, int32_t& count, float dt, float* rgba) {
    phase += 20.0f * dt;
    if (phase > kTwoPi) {
        phase -= kTwoPi;
        --count;
    }
    const float s = (std::sin(phase) + 1.0f) * 0.5f;
    Lerp(kWhite, kBlinkRed, s, rgba);
}

void Player::SetTint(const float* rgba) {
    std::copy(rgba, rgba + 4, sprite->tint);
}

void Player::ReturnToNormalTime() const {
    Runtime::Get().clock.Restore();
    Audio::FollowTimeScale(1.0f);
}

// ---------------------------------------------------------------------------
// Aim and dash
// ---------------------------------------------------------------------------
void Player::DashAndAim(float dt, EntityList& list, Vec2 aimPoint) {
    LightedAnimation2D* body = Body();
    const bool aiming = AimHeld() && body->animation != AnimDash && state != PlayerDash &&
                        state != PlayerSlash && special >= dashCost;
    GameClock& clock = Runtime::Get().clock;
    if (aiming != showingCost && LevelServices::current) {
        LevelServices::current->ShowDashCost(aiming);
        showingCost = aiming;
    }
    if (aiming) {
        // Time slows while the aim is held; the clock gives it back once
        // nobody holds it any more.
        clock.Steer(0.0f, slowDownRate, dt);

        Vec2 d = AimDirection(aimPoint);
        SetFacing(d.x);
        if (Length(d) > dashReach)
            d = Normalized(d) * dashReach;
        const Vec2 position = GetPosition();
        Vec2 target = position + d;

        // The marker stops one body short of the nearest body the dash
        // would not cut down.
        for (Entity* e : list) {
            if ((e->kind != KindEnemy && e->kind != KindNpc) || e->IsDead() ||
                !(e->health > e->damageFactor) || e->GetCollider() == nullptr)
                continue;
            const Line2D line(position, target);
            const ContactPoint hit = FirstContact(line, *e->GetCollider());
            if (hit.hit)
                target = StopShort(position, {hit.x, hit.y});
        }
        if (LevelServices::current) {
            const LevelMap::WallHit wall =
                LevelServices::current->Raycast(roomId, position, target);
            if (wall.hit)
                target = StopShort(position, wall.point);
        }

        ghost->tint[3] += (1.0f - ghost->tint[3]) * dt * markerFadeRate;
        ghost->SetPosition(target);

        if (ReleasePressed() || keptPress != KeptNone) {
            keptPress = KeptNone;
            dashSound.Play();
            dashTarget = target;
            PlayOnce(AnimDash);
            state = PlayerDash;
            ChangeSpecial(-dashCost);
        }
    } else {
        ghost->tint[3] -= ghost->tint[3] * dt * markerFadeRate;
        if (dashSound.IsPlaying())
            dashSound.SetRate(clock.scale);
    }
    if (state == PlayerDash)
        UpdateDash(dt, list);
}

Vec2 Player::AimDirection(Vec2 aimPoint) const {
    const GamePad& pad = Runtime::Get().gamePad;
    if (pad.deviceKind == PadNone)
        return aimPoint - GetPosition();
    const Vec2 stick = Stick();
    if (StickMoved(stick))
        return stick * dashReach;
    Vec2 d{0.0f, 0.0f};
    if (HeldUp())
        d.y += 1.0f;
    if (HeldDown())
        d.y -= 1.0f;
    if (HeldLeft())
        d.x -= 1.0f;
    if (HeldRight())
        d.x += 1.0f;
    return d * dashReach;
}

Vec2 Player::StopShort(Vec2 from, Vec2 hit) const {
    const Vec2 v = hit - from;
    const float length = Length(v);
    if (length <= BodyRadius())
        return from; // already touching: no room to move
    return from + v * ((length - BodyRadius()) / length);
}

void Player::UpdateDash(float dt, EntityList& list) {
    const Vec2 position = GetPosition();
    SetPosition(position + (dashTarget - position) * (dt * dashRate));
    Strike(list, 0.0f, 0.32f, -1.0f, false);
    if (state != PlayerDash)
        return; // stopped by a survivor
    const LightedAnimation2D* body = Body();
    if (body->animation != AnimDash || LengthSq(dashTarget - GetPosition()) < 1.0f ||
        !body->playing)
        EndDash(list);
}

void Player::EndDash(EntityList& list) {
    Select(AnimIdle);
    ClearStruck(list);
    state = PlayerIdle;
}

void ClearStruck(EntityList& list) {
    for (Entity* e : list)
        e->struck = false;
}

// ---------------------------------------------------------------------------
// Slashes
// ---------------------------------------------------------------------------
void Player::Strike(EntityList& list, const float& threshold, const float& radius,
                    const float& damage, bool isSlash) {
    attackCircle->baseRadius = radius;
    FitAttackCircle();
    const uint32_t animation = Body()->animation;
    const bool lightSlash = animation >= AnimSlashL && animation <= AnimSlashLRL;
    const Vec2 facing = Facing();
    bool stopped = false;
    bool landed = false, felled = false;
    // By index: a struck entity may append to the list (a prop's bottle).
    for (size_t i = 0; i < list.size(); ++i) {
        Entity* e = list[i];
        if (!isSlash && e->struck)
            continue;
        if (lightSlash && e->kind == KindProjectile)
            continue; // light slashes pass through shots
        const Collider2D* c = e->GetCollider();
        if (c == nullptr || e == this || e->IsDead())
            continue;
        if (!c->TestCircle(*attackCircle))
            continue;
        const Vec2 u = Normalized(c->centre - attackCircle->centre);
        const float a = isSlash ? Dot(facing, u) : std::fabs(u.x);
        if (a < threshold)
            continue;
        e->ChangeHealth(damage, this);
        e->struck = !isSlash;
        if (e->kind == KindEnemy) {
            landed = true;
            felled = felled || e->IsDead();
        }
        if (!isSlash && !e->IsDead() &&
            (e->kind == KindEnemy || e->kind == KindStatic || e->kind == KindNpc))
            stopped = true;
    }
    // A blow that lands on a foe has weight; one that fells it, most.
    if (felled)
        FeelBlow(roomId, Blow::Kill);
    else if (landed)
        FeelBlow(roomId, !isSlash ? Blow::DashHit : lightSlash ? Blow::LightHit : Blow::HeavyHit);
    // What the dash cannot kill stops it; nothing stays marked as struck.
    if (stopped) {
        ClearStruck(list);
        state = PlayerIdle;
    }
}

void Player::KeepPress(bool light, bool heavy) {
    if (light || heavy) {
        keptPress = light ? KeptLight : KeptHeavy;
        keptFor = inputBuffer;
    }
}

void Player::Slashes(EntityList& list, Vec2 aimPoint, float dt) {
    LightedAnimation2D* body = Body();
    if (body->animation == AnimIdle || (state == PlayerSlash && !body->playing)) {
        if (state != PlayerIdle) {
            Select(AnimIdle);
            state = PlayerIdle;
        }
        combo = 0;
    }
    Deflect(list);

    bool light = LightPressed();
    bool heavy = !light && HeavyPressed();
    const bool fresh = light || heavy;
    // A press that found no opening a moment ago is tried again while it
    // is kept.
    // With the aim held it is the dash's release, taken by the aim.
    const bool dashWaits = AimHeld() && special >= dashCost;
    if (!fresh && keptPress != KeptNone && !dashWaits) {
        light = keptPress == KeptLight;
        heavy = keptPress == KeptHeavy;
    }
    keptFor -= dt;
    if (keptFor <= 0.0f)
        keptPress = KeptNone;
    if (!light && !heavy)
        return;
    const ComboRow* row = FindComboRow(combo, heavy, state == PlayerSlash, body->frame);
    if (row) {
        FaceForSlash(aimPoint);
        PlayOnce(row->animation);
        combo = row->next;
        if (row->animation <= AnimSlashLRL)
            lightSlashSound.Play();
        else
            heavySlashSound.Play();
        Strike(list, row->threshold, row->radius, row->damage, true);
        StartSweep(*row);
        keptPress = KeptNone;
    } else if (fresh) {
        KeepPress(light, heavy);
    }
    state = PlayerSlash;
}

void Player::StartSweep(const ComboRow& row) {
    // As wide as the strike's sector and as far as its reach; the combo's
    // blows swing one way and back.
    sweep.heavy = row.heavy;
    sweep.length = row.heavy ? heavySweepSeconds : lightSweepSeconds;
    sweep.left = sweep.length;
    sweep.reach = attackCircle->radius;
    sweep.halfAngle = std::acos(std::clamp(row.threshold, -1.0f, 1.0f));
    sweep.facing = Facing().x >= 0.0f ? 0.0f : 3.14159265f;
    sweep.turning = (row.animation % 2) == 0;
}

void Player::FaceForSlash(Vec2 aimPoint) {
    // With the mouse the sword swings to the pointer's side; with a pad, to
    // the stick's or the pad's arrows, or the way Blade faces.
    if (Runtime::Get().gamePad.deviceKind == PadNone) {
        const float dx = aimPoint.x - GetPosition().x;
        if (std::fabs(dx) > 1.0f)
            SetFacing(dx);
        return;
    }
    FaceByInput();
}

void Player::Deflect(EntityList& list) {
    const LightedAnimation2D* body = Body();
    if (body->animation < AnimSlashLRL || body->animation > AnimSlashRLR || !body->playing ||
        body->frame >= 5)
        return;
    const Vec2 facing = Facing();
    for (size_t i = 0; i < list.size(); ++i) {
        Entity* e = list[i];
        const Collider2D* c = e->GetCollider();
        if (e->kind != KindProjectile || e->struck || c == nullptr || e == this || e->IsDead())
            continue;
        if (!c->TestCircle(*attackCircle))
            continue;
        if (Dot(facing, Normalized(c->centre - attackCircle->centre)) <= 0.2f)
            continue; // behind the blade
        e->ChangeHealth(-1.0f, this);
        e->struck = true;
        FeelBlow(roomId, Blow::BatBack);
    }
}

// ---------------------------------------------------------------------------
// Walking, facing and idling
// ---------------------------------------------------------------------------
void Player::Movement(float dt) {
    float speed = slashWalkSpeed;
    PlayerState moving = PlayerSlash;
    if (state != PlayerSlash) {
        FaceByInput();
        state = PlayerIdle;
        speed = walkSpeed;
        moving = PlayerRun;
    }
    Vec2 position = GetPosition();
    const Vec2 stick = Stick();
    bool moved = false;
    if (StickMoved(stick)) {
        position += stick * (speed * dt);
        moved = true;
    } else {
        if (HeldUp()) {
            position.y += speed * dt;
            moved = true;
        } else if (HeldDown()) {
            position.y -= speed * dt;
            moved = true;
        }
        if (HeldLeft()) {
            position.x -= speed * dt;
            moved = true;
        } else if (HeldRight()) {
            position.x += speed * dt;
            moved = true;
        }
    }
    if (moved) {
        SetPosition(position);
        state = moving;
    }

    LightedAnimation2D* body = Body();
    if (body->animation == AnimDash && body->playing)
        return;
    if (state == PlayerRun)
        Select(AnimRun);
    else if (state == PlayerIdle && body->animation != AnimIdle &&
             body->animation != AnimIdleVariation)
        Select(AnimIdle);
}

void Player::FaceByInput() {
    const Vec2 stick = Stick();
    if (StickMoved(stick)) {
        if (stick.x != 0.0f)
            SetFacing(stick.x);
        return;
    }
    // The same priority as walking, so the body faces the way it goes.
    if (HeldLeft())
        SetFacing(-1.0f);
    else if (HeldRight())
        SetFacing(1.0f);
}

void Player::SetFacing(float x) {
    // The art looks left: a negative x scale turns it right.
    const float sx = x < 0.0f ? bodySize : -bodySize;
    if (sprite->scale.x != sx)
        sprite->SetScale(sx, bodySize);
    if (ghost->scale.x != sx)
        ghost->SetScale(sx, bodySize);
}

void Player::IdleVariation(float dt) {
    if (state != PlayerIdle) {
        idleTimer = 0.0f;
        return;
    }
    LightedAnimation2D* body = Body();
    idleTimer += dt;
    if (idleTimer < idleVariationDelay) {
        if (!body->playing && body->animation != AnimIdle)
            Select(AnimIdle);
        return;
    }
    PlayOnce(AnimIdleVariation);
    idleTimer = 0.0f;
}

void Player::PlayOnce(uint32_t animation) {
    Body()->PlayOnce(animation);
}

void Player::Select(uint32_t animation) {
    Body()->SetAnimation(animation);
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------
void Player::Draw(int pass) {
    Body()->DrawPass(pass);
    ghost->DrawPass(pass);
    if (pass != 0)
        return;
    if (healthParticles)
        healthParticles->Draw();
    if (specialParticles)
        specialParticles->Draw();
}

void Player::DrawOverlay() {
    DrawSweep();
    DrawAimLine();
}

void Player::DrawAimLine() const {
    // Dots from Blade to where the dash will take him, as bright as the
    // marker.
    const float opacity = ghost->tint[3];
    if (opacity < 0.05f)
        return;
    const Vec2 from = GetPosition() + Vec2{0.0f, 8.0f} - view;
    const Vec2 to = ghost->GetPosition() + Vec2{0.0f, 8.0f} - view;
    const float length = Length(to - from);
    if (!(length < 4.0f * dashReach))
        return; // the marker is never further than the dash reaches
    const int dots = static_cast<int>(length / aimDotSpacing);
    if (dots < 1)
        return;
    const MarkColour colour{0.55f, 0.85f, 1.0f, std::min(1.0f, 1.8f * opacity)};
    Marks marks;
    for (int i = 1; i <= dots; ++i)
        marks.Square(from + (to - from) * (static_cast<float>(i) / static_cast<float>(dots)), 1.5f,
                     colour);
    marks.Draw(true);
}

void Player::DrawSweep() const {
    if (sweep.left <= 0.0f || sweep.length <= 0.0f)
        return;
    // The band opens across the slash's sector in its first part, then
    // fades; its outer edge is bright, its inner edge clear.
    const float shown = 1.0f - sweep.left / sweep.length;
    // Half of it shows at once, so a blow held still by its hit freeze
    // already reads; the rest follows the swing.
    const float opened = std::min(1.0f, 0.5f + shown / 0.3f);
    const float fade = shown < 0.4f ? 1.0f : (1.0f - shown) / 0.6f;
    const float from =
        sweep.turning ? sweep.facing + sweep.halfAngle : sweep.facing - sweep.halfAngle;
    const float to = from + (sweep.turning ? -2.0f : 2.0f) * sweep.halfAngle * opened;
    const MarkColour edge = sweep.heavy ? MarkColour{1.0f, 0.92f, 0.75f, 0.95f * fade}
                                        : MarkColour{0.8f, 0.95f, 1.0f, 0.8f * fade};
    const MarkColour clear{edge[0], edge[1], edge[2], 0.0f};
    Marks marks;
    marks.Band(attackCircle->centre - view, sweep.reach * (sweep.heavy ? 0.3f : 0.45f), sweep.reach,
               from, to, 16, clear, edge);
    marks.Draw(true);
}

void Player::OnRoomExit() {
    if (healthParticles)
        healthParticles->Clear();
    if (specialParticles)
        specialParticles->Clear();
}
