// Projectile -- bullets, gas grenades and the clouds they leave.
#include "entities/Projectile.h"

#include "audio/Audio.h"
#include "core/Circle2D.h"
#include "entities/LevelServices.h"
#include "entities/Player.h"
#include "entities/ProjectilePool.h"
#include "render/LightedAnimation2D.h"
#include "render/Marks.h"
#include "render/ParticleSystem.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kHalfTurn = 3.14159265f;
constexpr float kQuarterTurn = kHalfTurn / 2.0f;
// A turned-back bullet strays by up to this much on each axis before its
// direction is normalised again.
constexpr float kJitterLow = -0.25f;
constexpr float kJitterSpan = 0.5f;
} // namespace

const std::vector<std::string>& Projectile::BodyFiles() {
    static const std::vector<std::string> files = {
        "enemy_projectile.png",
        "enemy_projectile_destroy.png",
        "bioenemy_nade.png",
    };
    return files;
}

Projectile::Parts Projectile::LoadParts() {
    Parts parts;
    parts.body = LightedAnimation2D::FromAssets(BodyFiles(), bodySize, bodySize);
    parts.gasParticles = new ParticleSystem("gas", false, {0.0f, 0.0f});
    parts.sparkParticles = new ParticleSystem("spark", false, {0.0f, 0.0f});
    parts.trailParticles = new ParticleSystem("trail", false, {0.0f, 0.0f});
    return parts;
}

Projectile::Projectile() : Projectile(LoadParts()) {}

Projectile::Projectile(const Parts& parts)
    : RenderableEntity(-1, KindProjectile, parts.body), gasParticles(parts.gasParticles),
      sparkParticles(parts.sparkParticles), trailParticles(parts.trailParticles) {
    damageFactor = 1000.0f; // any hit at all brings health to 0
    burstSound = Audio::GetSound("bio_grenade.wav", false);
    batSound = Audio::GetSound("deflect.wav", false);
    sprite->SetCollider(new Circle2D(0.04f));
    Reset();
}

Projectile::~Projectile() {
    delete gasParticles;
    delete sparkParticles;
    delete trailParticles;
}

// The particle systems a projectile carries, those it has.
std::vector<ParticleSystem*> Projectile::Particles() const {
    std::vector<ParticleSystem*> systems;
    for (ParticleSystem* p : {gasParticles, sparkParticles, trailParticles}) {
        if (p)
            systems.push_back(p);
    }
    return systems;
}

RandomSource& Projectile::Random() {
    static RandomSource source;
    return source;
}

LightedAnimation2D* Projectile::Body() const {
    return static_cast<LightedAnimation2D*>(sprite);
}

// ---------------------------------------------------------------------------
// Launching
// ---------------------------------------------------------------------------
Projectile* Projectile::Launch(EntityList& list, int32_t room, Vec2 from, Vec2 flight, int32_t kind,
                               float unitsPerSecond, float healthDelta) {
    Projectile* p = ProjectilePool::Acquire();
    p->roomId = room;
    p->SetPosition(from);
    p->FitCollider();
    p->direction = Normalized(flight);
    p->speed = unitsPerSecond;
    p->aimPoint = from + flight;
    p->FaceDirection(flight);
    p->damage = healthDelta;
    p->SetUp(kind);
    list.push_back(p);
    return p;
}

void Projectile::Reset() {
    exploding = false;
    health = 1.0f;
    projectileKind = ProjectileInert;
    aimPoint = {0.0f, 0.0f};
    direction = {0.0f, 0.0f};
    waypoints.clear();
    speed = 0.0f;
    flightTime = 0.0f;
    cloudTimer = 0.0f;
    tickTimer = 0.0f;
    struck = false;
    damage = defaultDamage;
    behaviour = nullptr;
    LightedAnimation2D* body = Body();
    body->tint[0] = body->tint[1] = body->tint[2] = 1.0f;
    body->tint[3] = 0.0f;
    SetScale(bodySize, bodySize);
    SetPosition(parkedAt, parkedAt);
    SetRotation(0.0f);
    if (Collider2D* c = GetCollider())
        c->enabled = false;
    body->frame = 0;
    body->time = 0.0f;
    body->playing = false;
    for (ParticleSystem* p : Particles()) {
        p->Clear();
        p->active = false;
        p->emitting = true;
    }
}

void Projectile::SetUp(int32_t kind) {
    projectileKind = kind;
    LightedAnimation2D* body = Body();
    switch (kind) {
    case ProjectileBullet:
        if (body->tint[3] <= 0.0f)
            body->tint[3] = 1.0f;
        GetCollider()->enabled = true;
        body->SetAnimation(kFlightAnimation);
        body->frame = 0;
        body->time = 0.0f;
        body->playing = true;
        body->playOnce = false;
        behaviour = &Projectile::BulletFlight;
        break;
    case ProjectileGrenade:
        BuildArc();
        body->tint[3] = 1.0f;
        GetCollider()->enabled = true;
        body->SetAnimation(kGrenadeAnimation);
        body->frame = 0;
        body->time = 0.0f;
        body->playing = false;
        behaviour = &Projectile::GrenadeFlight;
        break;
    default:
        behaviour = nullptr;
        break;
    }
}

void Projectile::FaceDirection(Vec2 flight) {
    float a = std::atan2(flight.y, flight.x);
    float sx = bodySize;
    if (a > kQuarterTurn) {
        sx = -bodySize;
        a -= kHalfTurn;
    } else if (a < -kQuarterTurn) {
        sx = -bodySize;
        a += kHalfTurn;
    }
    SetScale(sx, bodySize);
    SetRotation(a);
}

// A quadratic curve from here to the landing point, bulging a quarter turn
// upwards of the thrower's facing; the point nearest the start is last, so
// it is consumed first.
void Projectile::BuildArc() {
    const Vec2 s = GetPosition();
    const Vec2 e = aimPoint;
    const Vec2 d = e - s;
    const Vec2 p = sprite->scale.x >= 0.0f ? Vec2{-d.y, d.x} : Vec2{d.y, -d.x};
    const Vec2 c = s + (d + p) * 0.5f;
    waypoints.clear();
    for (int i = arcPoints; i >= 1; --i) {
        const float t = static_cast<float>(i) / static_cast<float>(arcPoints);
        const float u = 1.0f - t;
        waypoints.push_back(s * (u * u) + c * (2.0f * t * u) + e * (t * t));
    }
}

// ---------------------------------------------------------------------------
// The frame
// ---------------------------------------------------------------------------
bool Projectile::Update(float dt, GameObject* parent, EntityList* list) {
    bool keep = true;
    if (behaviour)
        keep = (this->*behaviour)(dt, list);
    sprite->Update(dt, parent);
    if (parent)
        view = parent->GetPosition();
    if (trailParticles && trailParticles->active) {
        trailParticles->emitting = struck && !exploding;
        trailParticles->PlaceAt(GetPosition());
    }
    for (ParticleSystem* p : Particles()) {
        if (parent)
            p->FollowView(parent->GetPosition());
        p->Update(dt);
    }
    return keep;
}

void Projectile::Draw(int pass) {
    Body()->DrawPass(pass);
    if (pass == 0 && gasParticles)
        gasParticles->Draw();
}

void Projectile::DrawOverlay() {
    // Sparks and the trail of a bullet batted back shine in the dark.
    for (ParticleSystem* p : {sparkParticles, trailParticles}) {
        if (p)
            p->Draw();
    }
    DrawLandingMark();
}

void Projectile::DrawLandingMark() const {
    // A dashed ring as wide as the gas will spread, pulsing, firmer as the
    // grenade comes down: there is time to step out of it.
    if (projectileKind != ProjectileGrenade || exploding || behaviour != &Projectile::GrenadeFlight)
        return;
    constexpr int kDashes = 12;
    constexpr float kTurn = 6.2831853f;
    const float reach = std::sqrt(cloudReachSq);
    const float nearing =
        1.0f - static_cast<float>(waypoints.size()) / static_cast<float>(arcPoints);
    const float pulse = 0.5f + 0.5f * std::sin(flightTime * 14.0f);
    const float alpha = 0.35f + 0.45f * nearing + 0.2f * pulse;
    const MarkColour colour{0.6f, 1.0f, 0.35f, std::min(alpha, 1.0f)};
    const Vec2 centre = aimPoint - view;
    Marks marks;
    const float spin = flightTime * 0.8f;
    for (int k = 0; k < kDashes; ++k) {
        const float from = spin + kTurn * static_cast<float>(k) / kDashes;
        marks.Band(centre, reach - 1.5f, reach + 1.5f, from, from + 0.6f * kTurn / kDashes, 3,
                   colour, colour);
    }
    marks.Square(centre, 2.0f, colour);
    marks.Draw(false);
}

void Projectile::FitCollider() {
    if (Collider2D* c = GetCollider())
        c->UpdateTransform(sprite->position, sprite->rotation, sprite->scale);
}

void Projectile::PlayOnce(uint32_t animation, uint32_t fromFrame) {
    Body()->PlayOnce(animation, fromFrame);
}

void Projectile::AnnounceBatBack() {
    // It flies back in the colour of Blade's energy, with a ring and sparks.
    LightedAnimation2D* body = Body();
    body->tint[0] = battedTint[0];
    body->tint[1] = battedTint[1];
    body->tint[2] = battedTint[2];
    batSound.Play();
    if (sparkParticles) {
        sparkParticles->PlaceAt(GetPosition());
        sparkParticles->Start();
    }
    if (trailParticles) {
        trailParticles->PlaceAt(GetPosition());
        trailParticles->Start();
    }
}

bool Projectile::Recycle() {
    ProjectilePool::Release(this);
    return false;
}

// ---------------------------------------------------------------------------
// Behaviours
// ---------------------------------------------------------------------------
bool Projectile::BulletFlight(const float& dt, EntityList* list) {
    if (!exploding) {
        if (IsDead()) {
            // Batted back by a strike: it returns roughly the way it came.
            // It now counts as deflected, so the same swing cannot bat it
            // a second time back at Blade.
            const float r1 = Random().Unit(kJitterLow, kJitterSpan);
            const float r2 = Random().Unit(kJitterLow, kJitterSpan);
            direction = -Normalized(direction + Vec2{r1, r2});
            health = 1.0f;
            struck = true;
            FaceDirection(direction);
            AnnounceBatBack();
        }
        SetPosition(GetPosition() + direction * (speed * dt));
        FitCollider();
        const LevelServices* level = LevelServices::current;
        if (level && !level->IsWalkable(roomId, GetPosition())) {
            exploding = true;
        } else if (list) {
            const Collider2D* own = GetCollider();
            // By index: a struck prop may append its drop to the list.
            for (size_t i = 0; i < list->size(); ++i) {
                Entity* e = (*list)[i];
                const Collider2D* c = e->GetCollider();
                if (c == nullptr || e->kind == KindProjectile || e->kind == KindPickup)
                    continue;
                if (e->kind == KindEnemy && !struck)
                    continue; // its own side, until it has been batted back
                if (!own->Collides(*c))
                    continue;
                if (e->kind == KindEnemy)
                    damage *= 2.0f;
                e->ChangeHealth(damage, this);
                exploding = true;
                break;
            }
        }
    }
    if (exploding) {
        const LightedAnimation2D* body = Body();
        if (body->animation != kBurstAnimation)
            PlayOnce(kBurstAnimation, 0);
        else if (!body->playing)
            return Recycle();
    }
    return true;
}

bool Projectile::GrenadeFlight(const float& dt, EntityList* /*list*/) {
    if (!exploding) {
        flightTime += dt;
        SetRotation(GetRotation() + grenadeSpin * dt * (sprite->scale.x >= 0.0f ? -1.0f : 1.0f));
        if (!waypoints.empty()) {
            const Vec2 next = waypoints.back();
            const Vec2 at = GetPosition();
            const Vec2 d = next - at;
            const float step = speed * dt;
            const float length = Length(d);
            const Vec2 to = length <= step ? next : at + d * (step / length);
            SetPosition(to);
            if (NearlyEqual(to.x, next.x) && NearlyEqual(to.y, next.y))
                waypoints.pop_back();
        }
        if (waypoints.empty()) {
            exploding = true;
            burstSound.Play();
        }
        return true;
    }
    LightedAnimation2D* body = Body();
    if (body->playing)
        return true;
    if (body->frame == 0) {
        SetRotation(0.0f);
        PlayOnce(kGrenadeAnimation, 1); // the burst
    } else if (body->frame == kGrenadeBurstFrame) {
        // The canister is gone; the gas stays.
        cloudTimer = cloudSeconds;
        tickTimer = tickSeconds;
        body->tint[3] = 0.0f;
        if (gasParticles) {
            gasParticles->PlaceAt(GetPosition());
            gasParticles->Start();
        }
        behaviour = &Projectile::GasCloud;
        exploding = false;
    }
    return true;
}

bool Projectile::GasCloud(const float& dt, EntityList* /*list*/) {
    if (!exploding) {
        cloudTimer -= dt;
        if (cloudTimer <= 0.0f) {
            exploding = true;
            if (gasParticles)
                gasParticles->emitting = false;
        }
        LevelServices* level = LevelServices::current;
        if (level == nullptr)
            return Recycle();
        // Only Blade breathes the gas, and only in the cloud's own room.
        Player* blade = level->LevelPlayer();
        const bool inReach = blade && blade->roomId == roomId &&
                             LengthSq(blade->GetPosition() - GetPosition()) <= cloudReachSq;
        if (inReach)
            blade->poison = std::min(1.0f, blade->poison + poisonRate * dt);
        tickTimer -= dt;
        if (tickTimer <= 0.0f) {
            if (inReach)
                blade->ChangeHealth(damage, this);
            tickTimer = tickSeconds;
        }
    }
    if (exploding && (gasParticles == nullptr || gasParticles->particles.empty()))
        return Recycle();
    return true;
}
