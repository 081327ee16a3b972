// Projectiles without drawing: what a bullet hits and what it flies
// through, where it bursts against a wall, how a batted-back bullet returns
// and whom it hurts then, a grenade's arc and burst, the gas cloud and whom
// it harms, the pool and the shared random source.
#include "core/Circle2D.h"
#include "core/Runtime.h"
#include "engine/QNInput.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "entities/ProjectilePool.h"
#include "render/LightedAnimation2D.h"
#include "render/ParticleSystem.h"
#include "render/Resources.h"

#include "support/FloorPlanLevel.h"
#include "support/StandInAssets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// A body in the room that records what hit it.
class Target : public RenderableEntity {
public:
    Target(EntityKind entityKind, Vec2 at)
        : RenderableEntity(1, entityKind,
                           new Sprite2D(Resources::GetQuadMesh(1),
                                        Resources::GetTexture("cursor.png", true), 96, 96,
                                        {1, 1, 1, 1})) {
        sprite->SetCollider(new Circle2D(0.12f));
        SetPosition(at);
        sprite->Update(0.0f, nullptr); // fits the collider
    }
    void ChangeHealth(const float& delta, Entity* source) override {
        deltas.push_back(delta);
        RenderableEntity::ChangeHealth(delta, source);
    }
    std::vector<float> deltas;
};

class ProjectileTest : public ::testing::Test {
protected:
    void SetUp() override { level.list = &room; }
    void TearDown() override { ProjectilePool::Clear(); }

    // One frame of the room: every member in order, leavers dropped.
    void Frame() { UpdateEntityList(room, kFrame, nullptr); }
    bool InRoom(const Entity* e) const {
        return std::find(room.begin(), room.end(), e) != room.end();
    }
    Target* Add(EntityKind kind, Vec2 at) {
        targets.push_back(std::make_unique<Target>(kind, at));
        room.push_back(targets.back().get());
        return targets.back().get();
    }
    Projectile* Bullet(Vec2 from, Vec2 direction) {
        return Projectile::Launch(room, 1, from, direction, ProjectileBullet, 400.0f, -0.02f);
    }

    StandInAssets assets;
    FloorPlanLevel level;
    EntityList room;
    std::vector<std::unique_ptr<Target>> targets;
};

// ---------------------------------------------------------------------------
// Bullets
// ---------------------------------------------------------------------------
TEST_F(ProjectileTest, AFreshBulletFliesThroughItsOwnSideAndHitsEverythingElse) {
    struct Case {
        EntityKind kind;
        bool hit;
    };
    const Case cases[] = {
        {KindEnemy, false}, {KindProjectile, false}, {KindPickup, false}, {KindPlayer, true},
        {KindNpc, true},    {KindSliceable, true},   {KindStatic, true},
    };
    for (const Case& c : cases) {
        room.clear();
        targets.clear();
        Target* t = Add(c.kind, {60.0f, 0.0f});
        Target* behind = Add(KindPlayer, {200.0f, 0.0f}); // what a miss flies on to
        Projectile* shot = Bullet({0.0f, 0.0f}, {1.0f, 0.0f});
        for (int i = 0; i < 60 && !shot->exploding; ++i)
            Frame();
        ASSERT_TRUE(shot->exploding) << c.kind;
        if (c.hit) {
            EXPECT_EQ(t->deltas, (std::vector<float>{-0.02f})) << c.kind;
            EXPECT_TRUE(behind->deltas.empty()) << c.kind;
            EXPECT_LT(shot->GetPosition().x, 60.0f) << c.kind;
        } else {
            EXPECT_TRUE(t->deltas.empty()) << c.kind;
            EXPECT_EQ(behind->deltas.size(), 1u) << c.kind;
        }
        EXPECT_EQ(shot->Body()->animation, Projectile::kBurstAnimation);
    }
}

TEST_F(ProjectileTest, ABulletFiredAtAWallBurstsAtTheFirstPositionOffTheFloor) {
    level.walls.push_back({{100.0f, -50.0f}, {150.0f, 50.0f}});
    Projectile* shot = Bullet({0.0f, 3.0f}, {1.0f, 0.0f});
    Vec2 last = shot->GetPosition();
    while (!shot->exploding) {
        ASSERT_TRUE(level.IsWalkable(1, shot->GetPosition()));
        last = shot->GetPosition();
        Frame();
        ASSERT_LT(shot->GetPosition().x, 1000.0f) << "it never burst";
    }
    EXPECT_GE(shot->GetPosition().x, 100.0f);
    EXPECT_LT(last.x, 100.0f);
    EXPECT_NEAR(shot->GetPosition().x - last.x, 400.0f * kFrame, 1e-3f);
    EXPECT_EQ(shot->GetPosition().y, 3.0f);

    // It bursts where it stopped, then goes back to the pool.
    const Vec2 burst = shot->GetPosition();
    int frames = 0;
    while (InRoom(shot) && frames < 60) {
        Frame();
        ++frames;
        if (InRoom(shot)) {
            EXPECT_EQ(shot->GetPosition(), burst);
        }
    }
    EXPECT_FALSE(InRoom(shot));
    EXPECT_GE(frames, 4); // four burst frames of 0.08 s
    EXPECT_EQ(ProjectilePool::IdleCount(), 1u);
}

TEST_F(ProjectileTest, ABattedBackBulletReturnsAndHurtsEnemiesTwiceAsHard) {
    Target* shooter = Add(KindEnemy, {-200.0f, 0.0f});
    Target* blade = Add(KindPlayer, {200.0f, 200.0f}); // out of the way
    for (uint32_t seed : {1u, 7u, 12345u, 4000000000u}) {
        Projectile::Random().Seed(seed);
        Projectile* shot = Bullet({0.0f, 0.0f}, {1.0f, 0.0f});
        Frame();
        // What Blade's slash does to a shot in front of it.
        shot->ChangeHealth(-1.0f, blade);
        shot->struck = true;
        ASSERT_TRUE(shot->IsDead());
        Frame();
        EXPECT_EQ(shot->health, 1.0f) << seed;
        // Back along its path with at most a quarter of jitter on each axis
        // before normalising: within atan(0.25 / 0.75) of straight back.
        EXPECT_LT(shot->direction.x, 0.0f) << seed;
        EXPECT_LE(std::fabs(shot->direction.y / shot->direction.x), 0.25f / 0.75f + 1e-5f) << seed;
        EXPECT_NEAR(Length(shot->direction), 1.0f, 1e-5f);
        EXPECT_LT(shot->GetScale().x, 0.0f) << "a leftward shot is mirrored, not upside down";
        shooter->SetPosition(shot->GetPosition() + shot->direction * 100.0f);
        shooter->sprite->Update(0.0f, nullptr);
        for (int i = 0; i < 60 && !shot->exploding; ++i)
            Frame();
        ASSERT_TRUE(shot->exploding) << seed;
        ASSERT_FALSE(shooter->deltas.empty()) << seed;
        EXPECT_FLOAT_EQ(shooter->deltas.back(), -0.04f) << seed;
        while (InRoom(shot))
            Frame();
    }
    EXPECT_TRUE(blade->deltas.empty());
}

TEST_F(ProjectileTest, AStrikeThatKillsABulletTurnsItOnceOnly) {
    // A heavy slash strikes the shot (any hit kills it) and the deflection
    // of the next frame finds it again: it must not come back at Blade.
    Projectile* shot = Bullet({0.0f, 0.0f}, {1.0f, 0.0f});
    shot->ChangeHealth(-0.5f, nullptr); // Strike leaves `struck` clear
    Frame();
    ASSERT_LT(shot->direction.x, 0.0f);
    EXPECT_TRUE(shot->struck) << "turned back counts as deflected";
}

TEST_F(ProjectileTest, ShotsFaceTheirFlightWithoutTurningUpsideDown) {
    constexpr float kPi = 3.14159265f;
    struct Case {
        Vec2 direction;
        float scaleX;
        float rotation;
    };
    const Case cases[] = {
        {{1, 0}, 48, 0},          {{0, 1}, 48, kPi / 2}, {{1, 1}, 48, kPi / 4},
        {{0, -1}, 48, -kPi / 2},  {{-1, 0}, -48, 0},     {{-1, 1}, -48, -kPi / 4},
        {{-1, -1}, -48, kPi / 4}, {{0, 0}, 48, 0}, // the corpse's grenade
    };
    for (const Case& c : cases) {
        Projectile* shot = Bullet({0.0f, 0.0f}, c.direction);
        EXPECT_EQ(shot->GetScale().x, c.scaleX) << c.direction.x << "," << c.direction.y;
        EXPECT_NEAR(shot->GetRotation(), c.rotation, 1e-5f)
            << c.direction.x << "," << c.direction.y;
    }
}

// ---------------------------------------------------------------------------
// Grenades and gas
// ---------------------------------------------------------------------------
TEST_F(ProjectileTest, AGrenadeFliesSixArcPointsThatBulgeUpwardsEitherWay) {
    struct Case {
        Vec2 throwAt; // landing point relative to the thrower
        Vec2 middle;  // the curve at t = 1/2
    };
    const Case cases[] = {{{120.0f, 0.0f}, {60.0f, 30.0f}}, {{-120.0f, 0.0f}, {-60.0f, 30.0f}}};
    for (const Case& c : cases) {
        Projectile* nade =
            Projectile::Launch(room, 1, {0.0f, 0.0f}, c.throwAt, ProjectileGrenade, 200.0f, -0.01f);
        ASSERT_EQ(nade->waypoints.size(), 6u);
        EXPECT_EQ(nade->waypoints.front(), c.throwAt) << "the landing point is the last one";
        EXPECT_NEAR(nade->waypoints[3].x, c.middle.x, 1e-3f);
        EXPECT_NEAR(nade->waypoints[3].y, c.middle.y, 1e-3f);
        const Vec2 first = nade->waypoints.back(); // t = 1/6
        EXPECT_GT(first.y, 0.0f);
        EXPECT_EQ(nade->Body()->animation, Projectile::kGrenadeAnimation);
        EXPECT_FALSE(nade->Body()->playing);
    }
}

TEST_F(ProjectileTest, AGrenadeLandsBurstsOnItsFifthFrameAndLeavesACloud) {
    Projectile* nade = Projectile::Launch(room, 1, {0.0f, 0.0f}, {120.0f, 0.0f}, ProjectileGrenade,
                                          200.0f, -0.01f);
    int frames = 0;
    float highest = 0.0f;
    while (!nade->exploding && frames < 300) {
        Frame();
        ++frames;
        highest = std::max(highest, nade->GetPosition().y);
    }
    ASSERT_TRUE(nade->exploding);
    EXPECT_TRUE(nade->waypoints.empty());
    EXPECT_EQ(nade->GetPosition(), (Vec2{120.0f, 0.0f}));
    EXPECT_GT(highest, 25.0f) << "it flew an arc";
    // About the curve's length at 200 units per second.
    EXPECT_GT(frames, 40);
    EXPECT_LT(frames, 60);

    // The canister bursts through frames 1 to 4; on the last the gas forms.
    std::vector<uint32_t> shown;
    while (nade->behaviour != &Projectile::GasCloud && shown.size() < 120) {
        Frame();
        shown.push_back(nade->Body()->frame);
    }
    ASSERT_EQ(nade->behaviour, &Projectile::GasCloud);
    EXPECT_EQ(shown.back(), Projectile::kGrenadeBurstFrame);
    EXPECT_EQ(shown.front(), 1u) << "the burst starts the frame after landing";
    EXPECT_EQ(nade->Body()->tint[3], 0.0f);
    EXPECT_FALSE(nade->exploding);
    EXPECT_FLOAT_EQ(nade->cloudTimer, Projectile::cloudSeconds);
    ASSERT_NE(nade->gasParticles, nullptr);
    EXPECT_TRUE(nade->gasParticles->active);
}

TEST_F(ProjectileTest, TheCorpseGrenadeBurstsWhereItLies) {
    Projectile* nade = Projectile::Launch(room, 1, {30.0f, 40.0f}, {0.0f, 0.0f}, ProjectileGrenade,
                                          500.0f, -0.01f);
    for (int i = 0; i < 10 && !nade->exploding; ++i)
        Frame();
    EXPECT_TRUE(nade->exploding);
    EXPECT_EQ(nade->GetPosition(), (Vec2{30.0f, 40.0f}));
    EXPECT_TRUE(std::isfinite(nade->GetRotation()));
}

class GasTest : public ProjectileTest {
protected:
    void SetUp() override {
        ProjectileTest::SetUp();
        // Blade stands still: no keys, no pad.
        QNInputReset();
        QNInputSetScripted(true);
        Runtime::Get().gamePad.SetScripted(true);
        blade = std::make_unique<Player>(1);
        level.player = blade.get();
        room.push_back(blade.get());
    }
    // A grenade dropped at `at` that has just turned into gas.
    Projectile* CloudAt(Vec2 at) {
        Projectile* nade =
            Projectile::Launch(room, 1, at, {0.0f, 0.0f}, ProjectileGrenade, 500.0f, -0.01f);
        while (nade->behaviour != &Projectile::GasCloud)
            Frame();
        return nade;
    }
    void TearDown() override {
        ProjectileTest::TearDown();
        Runtime::Get().gamePad.SetScripted(false);
        QNInputSetScripted(false);
    }
    std::unique_ptr<Player> blade;
};

TEST_F(GasTest, TheCloudTicksAtMostFiveTimesAndPoisonsOnlyBlade) {
    struct Case {
        Vec2 bladeAt; // relative to the cloud
        bool inReach;
    };
    const Case cases[] = {{{0.0f, 0.0f}, true}, {{48.0f, 0.0f}, true}, {{50.0f, 0.0f}, false}};
    for (const Case& c : cases) {
        blade->health = 1.0f;
        blade->poison = 0.0f;
        blade->SetPosition(Vec2{300.0f, 0.0f} + c.bladeAt);
        Target* soldier = Add(KindEnemy, {300.0f, 0.0f});
        Projectile* cloud = CloudAt({300.0f, 0.0f});
        float mostPoison = 0.0f;
        int ticks = 0;
        float before = blade->health;
        for (int i = 0; i < 6 * 60 && InRoom(cloud); ++i) {
            Frame();
            if (blade->health < before)
                ++ticks;
            before = blade->health;
            mostPoison = std::max(mostPoison, blade->poison);
            if (cloud->exploding) {
                EXPECT_FALSE(cloud->gasParticles->emitting);
            }
        }
        if (c.inReach) {
            EXPECT_GE(ticks, 4) << c.bladeAt.x;
            EXPECT_LE(ticks, 5) << c.bladeAt.x;
            EXPECT_NEAR(blade->health, 1.0f - 0.01f * static_cast<float>(ticks), 1e-5f);
            EXPECT_GT(mostPoison, 0.5f);
        } else {
            EXPECT_EQ(ticks, 0);
            EXPECT_EQ(mostPoison, 0.0f);
        }
        EXPECT_TRUE(soldier->deltas.empty()) << "gas never harms enemies";
        // Once the gas has thinned out the projectile goes back to the pool.
        for (int i = 0; i < 20 * 60 && InRoom(cloud); ++i)
            Frame();
        EXPECT_FALSE(InRoom(cloud));
    }
}

// ---------------------------------------------------------------------------
// The pool and the random source
// ---------------------------------------------------------------------------
TEST_F(ProjectileTest, ThePoolRecyclesShotsAsNew) {
    Projectile* first = Bullet({0.0f, 0.0f}, {1.0f, 0.0f});
    first->struck = true;
    first->damage = -0.5f;
    first->health = 0.0f;
    ProjectilePool::Release(first);
    ProjectilePool::Release(first); // twice changes nothing
    EXPECT_EQ(ProjectilePool::IdleCount(), 1u);
    Projectile* again = ProjectilePool::Acquire();
    EXPECT_EQ(again, first);
    EXPECT_EQ(ProjectilePool::TotalCount(), 1u);
    EXPECT_FALSE(again->struck);
    EXPECT_EQ(again->health, 1.0f);
    EXPECT_EQ(again->damage, Projectile::defaultDamage);
    EXPECT_EQ(again->GetPosition(), (Vec2{Projectile::parkedAt, Projectile::parkedAt}));
    EXPECT_FALSE(again->GetCollider()->enabled);
    EXPECT_EQ(again->Body()->tint[3], 0.0f);
    EXPECT_EQ(again->behaviour, nullptr);
    // An unknown kind flies nowhere and stays in the list.
    again->SetUp(7);
    room.push_back(again);
    Frame();
    EXPECT_TRUE(InRoom(again));
    EXPECT_EQ(again->GetPosition(), (Vec2{Projectile::parkedAt, Projectile::parkedAt}));
    // Shots in flight belong to the pool too: clearing deletes them all.
    Bullet({0.0f, 0.0f}, {0.0f, 1.0f});
    EXPECT_EQ(ProjectilePool::TotalCount(), 2u);
    room.clear();
    ProjectilePool::Clear();
    EXPECT_EQ(ProjectilePool::TotalCount(), 0u);
    EXPECT_EQ(ProjectilePool::IdleCount(), 0u);
}

TEST(ProjectileRandomTest, ASeedReplaysTheDrawsWhichStayWithinAQuarter) {
    RandomSource& random = Projectile::Random();
    random.Seed(99);
    std::vector<float> first;
    for (int i = 0; i < 1000; ++i) {
        first.push_back(random.Unit(-0.25f, 0.5f));
        EXPECT_GE(first.back(), -0.25f);
        EXPECT_LE(first.back(), 0.25f);
    }
    random.Seed(99);
    for (float f : first)
        EXPECT_EQ(random.Unit(-0.25f, 0.5f), f);
    const auto [low, high] = std::minmax_element(first.begin(), first.end());
    EXPECT_LT(*low, -0.2f);
    EXPECT_GT(*high, 0.2f);
}

} // namespace
