// The soldiers without drawing, against the real Blade in a stand-in room:
// sensing and the firing cones, the shot timer and the recoil, dormant
// gunners, paths, the floating bar, hits, deaths and the reward, corpses;
// the heavy's armour, slash, brace and rare shot; the biohazard trooper's
// shots and grenades; gates, the dash and deflection with real enemies.
#include "core/Circle2D.h"
#include "core/Runtime.h"
#include "core/Tween.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "entities/BasicEnemy.h"
#include "entities/BiohazardEnemy.h"
#include "entities/Gate.h"
#include "entities/HeavyEnemy.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "entities/ProjectilePool.h"
#include "render/LightedAnimation2D.h"

#include "support/FloorPlanLevel.h"
#include "support/StandInAssets.h"

#include <gtest/gtest.h>

#include <utility>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;
constexpr float kDegree = 0.0174532925f;

class EnemyTest : public ::testing::Test {
protected:
    void SetUp() override {
        QNInputReset();
        QNInputSetScripted(true);
        Runtime::Get().gamePad.SetScripted(true);
        Runtime::Get().clock.Restore();
        Runtime::Get().clock.hitStops = false;
        level.list = &room;
        blade = std::make_unique<Player>(1);
        level.player = blade.get();
        room.push_back(blade.get());
    }
    void TearDown() override {
        room.clear();
        owned.clear();
        ClearTweens();
        ProjectilePool::Clear();
        Runtime::Get().clock.Restore();
        Runtime::Get().clock.hitStops = true;
        Runtime::Get().gamePad.SetScripted(false);
        QNInputSetScripted(false);
    }

    // One frame as the game runs it: input, the room list, the tweens.
    void Frame() {
        QNInputUpdate();
        Runtime::Get().gamePad.PollXInput(kFrame);
        const float dt = kFrame * Runtime::Get().timeScale;
        UpdateEntityList(room, dt, nullptr);
        UpdateTweens(dt, Runtime::Get().timeScale);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    void Seconds(float s) { Frames(static_cast<int>(s * 60.0f + 0.5f)); }
    // A key down for exactly one frame.
    void Tap(uint8_t key) {
        QNInputInjectKey(key, true);
        Frame();
        QNInputInjectKey(key, false);
    }
    template <class T, class... Args> T* Spawn(Args&&... args) {
        owned.push_back(std::make_unique<T>(1, std::forward<Args>(args)...));
        room.push_back(owned.back().get());
        return static_cast<T*>(owned.back().get());
    }
    // Projectiles in the room, of one kind.
    std::vector<Projectile*> Shots(int32_t kind = ProjectileBullet) const {
        std::vector<Projectile*> shots;
        for (Entity* e : room) {
            if (e->kind == KindProjectile && static_cast<Projectile*>(e)->projectileKind == kind)
                shots.push_back(static_cast<Projectile*>(e));
        }
        return shots;
    }
    // Frames until a shot of `kind` is in the room (at most `limit`), or -1.
    int FramesUntilShot(int limit, int32_t kind = ProjectileBullet) {
        for (int i = 1; i <= limit; ++i) {
            Frame();
            if (!Shots(kind).empty())
                return i;
        }
        return -1;
    }
    // Where a bullet left the muzzle: it has flown one frame since.
    static Vec2 LaunchPoint(const Projectile* shot) {
        return shot->GetPosition() - shot->direction * (shot->speed * kFrame);
    }
    void PlaceBlade(Vec2 at) {
        blade->SetPosition(at);
        blade->sprite->Update(0.0f, nullptr);
    }

    StandInAssets assets;
    FloorPlanLevel level;
    EntityList room;
    std::unique_ptr<Player> blade;
    std::vector<std::unique_ptr<Entity>> owned;
};

// ---------------------------------------------------------------------------
// Sensing, cones and line of sight
// ---------------------------------------------------------------------------
TEST_F(EnemyTest, SensesBladeWithinRangeInItsOwnRoomOnly) {
    struct Case {
        float distance;
        int32_t bladeRoom;
        EnemyState state;
        float scaleX; // the soldier started facing right
    };
    const Case cases[] = {
        {375.0f, 1, EnemyIdle, 96.0f},
        {370.0f, 1, EnemyAttack, -96.0f},
        {370.0f, 2, EnemyIdle, 96.0f}, // Blade walking in another room
    };
    for (const Case& c : cases) {
        room.resize(1);
        auto* soldier = Spawn<BasicEnemy>(Vec2{0.0f, 0.0f}, false);
        blade->roomId = c.bladeRoom;
        PlaceBlade({-c.distance, 0.0f});
        Frame();
        EXPECT_EQ(soldier->state, c.state) << c.distance << " room " << c.bladeRoom;
        EXPECT_EQ(soldier->GetScale().x, c.scaleX) << c.distance << " room " << c.bladeRoom;
    }
}

TEST_F(EnemyTest, FourConesShootAndSteepAnglesWalk) {
    struct Case {
        float degrees; // Blade's direction from the soldier
        EnemyState state;
        uint32_t pose;      // the aim pose held while attacking
        float muzzleHeight; // of the shot
    };
    const Case cases[] = {
        {0.0f, EnemyAttack, 2, 0.0f},     {14.0f, EnemyAttack, 2, 0.0f},
        {16.0f, EnemyAttack, 3, 8.0f},    {60.0f, EnemyAttack, 3, 8.0f},
        {69.0f, EnemyAttack, 3, 8.0f},    {72.0f, EnemyChase, 1, 0.0f},
        {90.0f, EnemyChase, 1, 0.0f},     {111.0f, EnemyAttack, 3, 8.0f},
        {170.0f, EnemyAttack, 2, 0.0f},   {-60.0f, EnemyAttack, 4, -8.0f},
        {-120.0f, EnemyAttack, 4, -8.0f}, {-90.0f, EnemyChase, 1, 0.0f},
    };
    for (const Case& c : cases) {
        room.resize(1);
        ProjectilePool::Clear();
        auto* soldier = Spawn<BasicEnemy>(Vec2{0.0f, 0.0f}, false);
        const Vec2 at{200.0f * std::cos(c.degrees * kDegree),
                      200.0f * std::sin(c.degrees * kDegree)};
        PlaceBlade(at);
        // Due next frame, its wind-up already shown.
        soldier->fireTimer = BasicEnemy::fireInterval - 0.5f * kFrame;
        soldier->windingUp = true;
        Frame();
        EXPECT_EQ(soldier->state, c.state) << c.degrees;
        if (c.state == EnemyChase) {
            EXPECT_TRUE(Shots().empty()) << c.degrees;
            EXPECT_EQ(soldier->Body()->animation, c.pose) << c.degrees;
            EXPECT_NE(soldier->GetPosition(), (Vec2{0.0f, 0.0f})) << "it walks";
            continue;
        }
        const std::vector<Projectile*> shots = Shots();
        ASSERT_EQ(shots.size(), 1u) << c.degrees;
        const Vec2 muzzle{at.x < 0.0f ? -10.0f : 10.0f, c.muzzleHeight};
        EXPECT_NEAR(LaunchPoint(shots[0]).x, muzzle.x, 1e-3f) << c.degrees;
        EXPECT_NEAR(LaunchPoint(shots[0]).y, muzzle.y, 1e-3f) << c.degrees;
        // Aimed at Blade from the muzzle.
        EXPECT_NEAR(Dot(shots[0]->direction, Normalized(at - muzzle)), 1.0f, 1e-5f) << c.degrees;
        EXPECT_EQ(soldier->Body()->animation, c.pose) << c.degrees;
    }
}

TEST_F(EnemyTest, AWallBetweenMuzzleAndBladeSendsTheSoldierWalking) {
    level.walls.push_back({{-100.0f, -20.0f}, {-90.0f, 20.0f}});
    auto* soldier = Spawn<BasicEnemy>(Vec2{0.0f, 0.0f}, false);
    PlaceBlade({-200.0f, 0.0f});
    Frame();
    EXPECT_EQ(soldier->state, EnemyChase);
    level.walls.clear();
    Frame();
    EXPECT_EQ(soldier->state, EnemyAttack);
}

// ---------------------------------------------------------------------------
// Shots
// ---------------------------------------------------------------------------
TEST_F(EnemyTest, TheFirstShotComesTwoSecondsIntoTheAttackAndIdleStartsTheClockAgain) {
    auto* soldier = Spawn<BasicEnemy>(Vec2{0.0f, 0.0f}, false);
    PlaceBlade({-300.0f, 0.0f});
    const int first = FramesUntilShot(300);
    EXPECT_GE(first, 120);
    EXPECT_LE(first, 122);
    // The recoil: frames 1 to 3 of the pose, during which the decision holds
    // even though Blade has slipped away.
    EXPECT_TRUE(soldier->aimLocked);
    EXPECT_TRUE(soldier->Body()->playing);
    PlaceBlade({-1000.0f, 0.0f});
    Frames(10);
    EXPECT_EQ(soldier->state, EnemyAttack);
    Frames(40);
    EXPECT_EQ(soldier->state, EnemyIdle);
    EXPECT_EQ(soldier->Body()->animation, 0u);
    EXPECT_EQ(soldier->fireTimer, 0.0f);

    // Back in sight: a fresh 2 s.
    for (Projectile* p : Shots())
        p->exploding = true;
    Frames(60);
    ASSERT_TRUE(Shots().empty());
    PlaceBlade({-300.0f, 0.0f});
    const int again = FramesUntilShot(300);
    EXPECT_GE(again, 120);
    EXPECT_LE(again, 122);
}

TEST_F(EnemyTest, EveryShotIsAnnouncedByAWindUpEvenAfterAHit) {
    auto* soldier = Spawn<BasicEnemy>(Vec2{0.0f, 0.0f}, false);
    PlaceBlade({-300.0f, 0.0f});
    const auto windUpThenShot = [&](int limit) {
        int frame = 0, windUp = -1;
        for (; frame < limit && Shots().empty(); ++frame) {
            if (windUp < 0 && soldier->windingUp)
                windUp = frame;
            Frame();
        }
        return std::pair<int, int>{windUp, frame};
    };
    const auto [firstWindUp, firstShot] = windUpThenShot(300);
    ASSERT_GE(firstWindUp, 0) << "no wind-up before the shot";
    // About 0.35 s (21 frames) between the glint and the shot.
    EXPECT_NEAR(firstShot - firstWindUp, 21, 2);
    for (Projectile* p : Shots())
        p->exploding = true;
    Frames(30);

    // A hit in the middle of the next wind-up: the shot that follows is
    // announced for its whole length again.
    while (!soldier->windingUp)
        Frame();
    Frames(10);
    soldier->ChangeHealth(-0.01f, nullptr);
    ASSERT_FALSE(soldier->windingUp);
    for (Projectile* p : Shots())
        p->exploding = true;
    Frames(2);
    const auto [secondWindUp, secondShot] = windUpThenShot(400);
    ASSERT_GE(secondWindUp, 0);
    EXPECT_NEAR(secondShot - secondWindUp, 21, 2);
}

TEST_F(EnemyTest, ADormantGunnerAimsButNeverFires) {
    auto* dormant = Spawn<BasicEnemy>(Vec2{0.0f, 0.0f}, true);
    EXPECT_TRUE(dormant->attackDisabled);
    PlaceBlade({-300.0f, 100.0f});
    Seconds(10.0f);
    EXPECT_EQ(dormant->state, EnemyAttack);
    EXPECT_EQ(dormant->Body()->animation, 3u) << "holding the raised aim";
    EXPECT_FALSE(dormant->Body()->playing);
    EXPECT_TRUE(Shots().empty());
    EXPECT_EQ(blade->health, 1.0f);
}

// ---------------------------------------------------------------------------
// Paths
// ---------------------------------------------------------------------------
TEST_F(EnemyTest, ANewPathOnlyWhenTheGoalMovedMoreThanTwentyUnits) {
    auto* soldier = Spawn<BasicEnemy>(Vec2{0.0f, 0.0f}, false);
    PlaceBlade({0.0f, 300.0f}); // straight above: it walks
    Frame();
    ASSERT_EQ(soldier->state, EnemyChase);
    EXPECT_EQ(level.pathRequests, 1);
    // Blade faces left (scale +96): the goal is half a body to his right.
    ASSERT_EQ(soldier->path.size(), 1u);
    EXPECT_EQ(soldier->path.back(), (Vec2{48.0f, 300.0f}));
    struct Step {
        float dx;     // Blade moves this far along x
        int requests; // path requests so far
    };
    for (const Step s : {Step{15.0f, 1}, Step{4.0f, 1}, Step{2.0f, 2}, Step{-10.0f, 2}}) {
        PlaceBlade(blade->GetPosition() + Vec2{s.dx, 0.0f});
        Frame();
        EXPECT_EQ(level.pathRequests, s.requests) << s.dx;
    }
    // It walks at 50 units per second along the path.
    const Vec2 before = soldier->GetPosition();
    Frame();
    EXPECT_NEAR(Length(soldier->GetPosition() - before), 50.0f * kFrame, 1e-3f);
    EXPECT_EQ(soldier->Body()->animation, 1u);

    // With no way to the goal it stands, and does not search again until
    // the goal moves.
    level.walls.push_back({{-500.0f, 250.0f}, {500.0f, 350.0f}});
    PlaceBlade({100.0f, 300.0f});
    Frame();
    const int requests = level.pathRequests;
    const Vec2 stuck = soldier->GetPosition();
    Frames(30);
    EXPECT_EQ(level.pathRequests, requests);
    EXPECT_EQ(soldier->GetPosition(), stuck);
}

// ---------------------------------------------------------------------------
// The bar, hits, deaths
// ---------------------------------------------------------------------------
TEST_F(EnemyTest, TheBarShowsUntilThreeSecondsAfterTheLastHit) {
    auto* soldier = Spawn<BasicEnemy>(Vec2{100.0f, 40.0f}, false);
    PlaceBlade({-1000.0f, 0.0f}); // out of range
    Frame();
    EXPECT_EQ(soldier->healthBar.tint[3], 0.0f) << "transparent at rest";
    soldier->ChangeHealth(-0.25f, blade.get());
    Seconds(1.0f);
    EXPECT_FLOAT_EQ(soldier->healthBar.tint[3], 1.0f);
    EXPECT_FLOAT_EQ(soldier->healthBar.fill, 0.75f);
    EXPECT_FLOAT_EQ(soldier->healthBar.left, 88.0f);
    EXPECT_FLOAT_EQ(soldier->healthBar.y, 72.0f);
    soldier->ChangeHealth(-0.25f, blade.get());
    Seconds(2.9f);
    EXPECT_FLOAT_EQ(soldier->healthBar.tint[3], 1.0f) << "2.9 s after the second hit";
    EXPECT_FLOAT_EQ(soldier->healthBar.fill, 0.5f);
    Seconds(0.35f);
    EXPECT_EQ(soldier->healthBar.tint[3], 0.0f) << "faded out after 3 s and 0.2 s";
    // Leaving the room hides it at once.
    soldier->ChangeHealth(-0.1f, blade.get());
    Seconds(0.5f);
    soldier->OnRoomExit();
    Seconds(0.1f);
    EXPECT_EQ(soldier->healthBar.tint[3], 0.0f);
}

TEST_F(EnemyTest, AHitHurtsAndTheSoldierRecovers) {
    auto* soldier = Spawn<BasicEnemy>(Vec2{0.0f, 0.0f}, false);
    PlaceBlade({-300.0f, 0.0f});
    Frames(30);
    soldier->ChangeHealth(-0.34f, blade.get());
    EXPECT_EQ(soldier->state, EnemyHurt);
    EXPECT_FLOAT_EQ(soldier->health, 0.66f);
    EXPECT_EQ(soldier->Body()->animation, 5u);
    Frames(25); // three frames of 0.1 s
    EXPECT_NE(soldier->state, EnemyHurt);
    EXPECT_FALSE(soldier->aimLocked);
}

TEST_F(EnemyTest, TheRewardIsPaidOnceWhenTheDeathAnimationEndsAndTheCorpseLiesOnEvenGround) {
    struct Case {
        const char* kind;
        Vec2 at;
        Vec2 corpse;
        float reward;
        int deathFrames; // frames of the death animation, at most
    };
    const Case cases[] = {
        {"soldier", {13.3f, -7.7f}, {14.0f, -6.0f}, 0.05f, 42},
        {"heavy", {3.0f, 3.5f}, {2.0f, 4.0f}, 0.15f, 58},
        {"biohazard", {-3.5f, 101.0f}, {-2.0f, 100.0f}, 0.1f, 84},
    };
    for (const Case& c : cases) {
        room.resize(1);
        Enemy* e = nullptr;
        const std::string kind = c.kind;
        if (kind == "soldier")
            e = Spawn<BasicEnemy>(c.at, false);
        else if (kind == "heavy")
            e = Spawn<HeavyEnemy>(c.at);
        else
            e = Spawn<BiohazardEnemy>(c.at);
        PlaceBlade({-1000.0f, 0.0f});
        blade->special = 0.5f;
        level.shownSpecial.clear();
        Frame();
        e->ChangeHealth(-10.0f, blade.get());
        ASSERT_TRUE(e->IsDead()) << c.kind;
        EXPECT_FALSE(e->GetCollider()->enabled) << c.kind;
        EXPECT_FALSE(HasLivingEnemy(room)) << c.kind;
        EXPECT_FLOAT_EQ(blade->special, 0.5f) << "not at the killing blow";
        int frames = 0;
        while (e->state != EnemyDead && frames < 200) {
            EXPECT_FLOAT_EQ(blade->special, 0.5f) << c.kind;
            Frame();
            ++frames;
        }
        EXPECT_EQ(e->state, EnemyDead) << c.kind;
        EXPECT_LE(frames, c.deathFrames) << c.kind;
        EXPECT_GE(frames, c.deathFrames - 10) << c.kind;
        EXPECT_FLOAT_EQ(blade->special, 0.5f + c.reward) << c.kind;
        EXPECT_EQ(level.shownSpecial.back(), blade->special) << "the HUD hears of it";
        // A corpse takes no more hits and pays nothing more.
        e->ChangeHealth(-0.5f, blade.get());
        Seconds(2.0f);
        EXPECT_FLOAT_EQ(blade->special, 0.5f + c.reward) << c.kind;
        EXPECT_EQ(e->state, EnemyDead);
        EXPECT_EQ(e->GetPosition(), c.corpse) << c.kind;
        EXPECT_NE(std::find(room.begin(), room.end(), e), room.end()) << "it stays in the room";
        EXPECT_EQ(Shots(ProjectileGrenade).size() + ProjectilePool::IdleCount() > 0,
                  kind == "biohazard")
            << "only the biohazard corpse lets a grenade go";
        room.resize(1);
        ProjectilePool::Clear();
    }
}

// ---------------------------------------------------------------------------
// The heavy
// ---------------------------------------------------------------------------
TEST_F(EnemyTest, TheHeavyTakesAQuarterOfEveryHitAndStopsTheDash) {
    auto* heavy = Spawn<HeavyEnemy>(Vec2{-30.0f, 0.0f});
    heavy->slashTimer = -100.0f; // keeps its cleaver down for this test
    heavy->moveSpeed = 0.0f;
    Frame();
    // A light opener: -0.34, a quarter of it lands.
    Tap(QN_VK_LBUTTON);
    EXPECT_NEAR(heavy->health, 1.0f - 0.085f, 1e-5f);
    Frames(60);

    // The dash aims at it, stops one body short and stops when it strikes.
    PlaceBlade({120.0f, 0.0f});
    heavy->SetPosition(0.0f, 0.0f);
    Frame();
    level.cursor = {-30.0f, 0.0f};
    QNInputInjectKey(QN_VK_LSHIFT, true);
    Frame();
    EXPECT_NEAR(blade->ghost->GetPosition().x, 0.0f + 10.56f + 17.28f, 0.5f);
    Tap(QN_VK_LBUTTON);
    QNInputInjectKey(QN_VK_LSHIFT, false);
    ASSERT_EQ(blade->state, PlayerDash);
    int frames = 0;
    while (blade->state == PlayerDash && frames < 60) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(blade->state, PlayerIdle);
    EXPECT_NEAR(heavy->health, 1.0f - 0.085f - 0.25f, 1e-5f);
    EXPECT_GT(blade->GetPosition().x, 0.0f);
}

TEST_F(EnemyTest, ASoldierIsCutDownByTheDashWhichGoesOn) {
    auto* soldier = Spawn<BasicEnemy>(Vec2{-60.0f, 0.0f}, true);
    Frame();
    level.cursor = {-150.0f, 0.0f};
    QNInputInjectKey(QN_VK_LSHIFT, true);
    Frame();
    EXPECT_NEAR(blade->ghost->GetPosition().x, -150.0f, 0.5f) << "the marker ignores it";
    Tap(QN_VK_LBUTTON);
    QNInputInjectKey(QN_VK_LSHIFT, false);
    while (blade->state == PlayerDash)
        Frame();
    EXPECT_TRUE(soldier->IsDead());
    EXPECT_LT(blade->GetPosition().x, -100.0f);
}

TEST_F(EnemyTest, TheHeavySlashesInReachAndAHitDoesNotInterruptIt) {
    auto* heavy = Spawn<HeavyEnemy>(Vec2{-30.0f, 0.0f});
    Frame();
    // The slash timer needs 1.5 s.
    Seconds(1.4f);
    EXPECT_EQ(blade->health, 1.0f);
    Seconds(0.2f);
    EXPECT_FLOAT_EQ(blade->health, 0.97f);
    ASSERT_EQ(heavy->Body()->animation, HeavyEnemy::kSlashAnimation);
    ASSERT_TRUE(heavy->Body()->playing);
    const uint32_t frame = heavy->Body()->frame;
    const float timer = heavy->slashTimer;
    heavy->ChangeHealth(-0.34f, blade.get());
    EXPECT_EQ(heavy->state, EnemyAttack);
    EXPECT_EQ(heavy->Body()->animation, HeavyEnemy::kSlashAnimation);
    EXPECT_EQ(heavy->Body()->frame, frame);
    EXPECT_FLOAT_EQ(heavy->slashTimer, timer - 0.2f);
    // Once the slash is over a hit makes it flinch.
    while (heavy->Body()->animation == HeavyEnemy::kSlashAnimation && heavy->Body()->playing)
        Frame();
    Frame();
    heavy->ChangeHealth(-0.34f, blade.get());
    EXPECT_EQ(heavy->state, EnemyHurt);
    EXPECT_EQ(heavy->Body()->animation, 5u);
}

TEST_F(EnemyTest, TheHeavyBracesWhenCorneredInReach) {
    struct Case {
        const char* what;
        FloorPlanLevel::Box floor;
        bool braces;
        Vec2 towards; // where it walks when it does not brace
    };
    const Case cases[] = {
        {"a closet", {{-40.0f, -40.0f}, {40.0f, 40.0f}}, true, {}},
        {"open to the right only", {{-40.0f, -40.0f}, {400.0f, 40.0f}}, true, {}},
        {"open both ways", {{-400.0f, -40.0f}, {400.0f, 40.0f}}, false, {24.0f, 0.0f}},
        {"open above and below", {{-40.0f, -400.0f}, {40.0f, 400.0f}}, false, {0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        room.resize(1);
        level.floor = c.floor;
        auto* heavy = Spawn<HeavyEnemy>(Vec2{0.0f, -35.0f});
        PlaceBlade({0.0f, 0.0f}); // straight above, in reach: it cannot slash
        Frame();
        Frame();
        EXPECT_EQ(heavy->state, EnemyChase) << c.what;
        if (c.braces) {
            EXPECT_EQ(heavy->Body()->animation, 5u) << c.what;
            EXPECT_EQ(heavy->Body()->frame, 2u) << c.what;
            EXPECT_FALSE(heavy->Body()->playing) << c.what;
            EXPECT_EQ(heavy->GetPosition(), (Vec2{0.0f, -35.0f})) << c.what;
        } else {
            EXPECT_EQ(heavy->Body()->animation, 1u) << c.what;
            ASSERT_FALSE(heavy->path.empty()) << c.what;
            EXPECT_EQ(heavy->path.back(), c.towards) << c.what;
            EXPECT_NE(heavy->GetPosition(), (Vec2{0.0f, -35.0f})) << c.what;
        }
    }
}

TEST_F(EnemyTest, TheHeavyFiresOnlyAfterEightSecondsAndOnlyOnAClearLine) {
    struct Case {
        bool wall;
    };
    for (const Case c : {Case{false}, Case{true}}) {
        room.resize(1);
        ProjectilePool::Clear();
        level.walls.clear();
        if (c.wall)
            level.walls.push_back({{-100.0f, -20.0f}, {-90.0f, 20.0f}});
        auto* heavy = Spawn<HeavyEnemy>(Vec2{0.0f, 0.0f});
        heavy->moveSpeed = 0.0f; // stays where it is
        PlaceBlade({-200.0f, 0.0f});
        Seconds(7.9f);
        EXPECT_TRUE(Shots().empty());
        EXPECT_EQ(heavy->state, EnemyChase);
        Seconds(0.2f);
        if (c.wall) {
            EXPECT_TRUE(Shots().empty());
            EXPECT_EQ(heavy->state, EnemyChase);
            EXPECT_LT(heavy->fireTimer, 2.5f) << "a blocked shot waits six more seconds";
        } else {
            ASSERT_EQ(Shots().size(), 1u);
            EXPECT_LT(heavy->fireTimer, 0.5f);
            // After the shot it is free to decide again.
            Seconds(1.0f);
            EXPECT_FALSE(heavy->aimLocked);
            EXPECT_EQ(heavy->state, EnemyChase);
        }
    }
}

TEST_F(EnemyTest, TheHeavyDecidesAgainAfterASlashWhenBladeSteppedAway) {
    auto* heavy = Spawn<HeavyEnemy>(Vec2{-30.0f, 0.0f});
    heavy->slashTimer = 1.5f;
    Frame();
    ASSERT_EQ(heavy->Body()->animation, HeavyEnemy::kSlashAnimation);
    PlaceBlade({-300.0f, 0.0f}); // out of reach mid-slash
    Seconds(1.0f);
    EXPECT_FALSE(heavy->aimLocked);
    EXPECT_EQ(heavy->state, EnemyChase) << "it follows Blade";
}

// ---------------------------------------------------------------------------
// The biohazard trooper
// ---------------------------------------------------------------------------
TEST_F(EnemyTest, TheBiohazardShootsEveryThreeSecondsAndThrowsEveryFive) {
    auto* bio = Spawn<BiohazardEnemy>(Vec2{0.0f, 0.0f});
    PlaceBlade({-300.0f, 0.0f});
    std::vector<int> bulletFrames, grenadeFrames;
    size_t bullets = 0, grenades = 0;
    for (int i = 1; i <= 12 * 60; ++i) {
        const bool throwing = bio->Body()->animation == BiohazardEnemy::kThrowAnimation;
        Frame();
        const size_t nowBullets = Shots(ProjectileBullet).size();
        const size_t nowGrenades = Shots(ProjectileGrenade).size();
        if (nowBullets > bullets) {
            bulletFrames.push_back(i);
            EXPECT_FALSE(throwing) << "no shot during a throw";
        }
        if (nowGrenades > grenades)
            grenadeFrames.push_back(i);
        bullets = nowBullets;
        grenades = nowGrenades;
        blade->health = 1.0f;
    }
    ASSERT_GE(bulletFrames.size(), 2u);
    EXPECT_NEAR(bulletFrames[0], 180, 2);
    ASSERT_GE(grenadeFrames.size(), 2u);
    // The wind-up starts at 5 s; the canister leaves on its last frame.
    EXPECT_GE(grenadeFrames[0], 300);
    EXPECT_LE(grenadeFrames[0], 340);
    EXPECT_GE(grenadeFrames[1] - grenadeFrames[0], 300);
    for (size_t i = 1; i < bulletFrames.size(); ++i)
        EXPECT_GE(bulletFrames[i] - bulletFrames[i - 1], 110) << "at least 2 s apart";
}

// ---------------------------------------------------------------------------
// With the room: gates and deflection
// ---------------------------------------------------------------------------
TEST_F(EnemyTest, TheGateOpensWhenTheSoldiersHaveFallen) {
    auto* gate =
        Spawn<Gate>(std::string("prop_gate.png"), Vec2{0.0f, 300.0f}, Vec2{96.0f, 64.0f}, 4, 0.08f);
    auto* first = Spawn<BasicEnemy>(Vec2{200.0f, 0.0f}, true);
    auto* second = Spawn<HeavyEnemy>(Vec2{-200.0f, 0.0f});
    PlaceBlade({0.0f, -1000.0f});
    Seconds(0.5f);
    EXPECT_FALSE(gate->IsOpening());
    first->ChangeHealth(-1.0f, blade.get());
    Seconds(0.5f);
    EXPECT_FALSE(gate->IsOpening()) << "one still stands";
    EXPECT_TRUE(HasLivingEnemy(room));
    second->ChangeHealth(-4.0f, blade.get());
    EXPECT_FALSE(HasLivingEnemy(room));
    Frame();
    EXPECT_TRUE(gate->IsOpening());
    Seconds(1.0f);
    EXPECT_FALSE(gate->GetCollider()->enabled);
}

TEST_F(EnemyTest, ABulletBattedBackByBladeHitsItsShooter) {
    // A seed whose jitter sends the bullet back almost straight.
    Projectile::Random().Seed(43);
    auto* soldier = Spawn<BasicEnemy>(Vec2{-200.0f, 0.0f}, false);
    ASSERT_EQ(blade->Facing(), (Vec2{-1.0f, 0.0f}));
    ASSERT_GE(FramesUntilShot(200), 0);
    Projectile* shot = Shots()[0];
    for (int i = 0; i < 60 && shot->GetPosition().x < -34.0f; ++i)
        Frame();
    Tap(QN_VK_RBUTTON); // a heavy slash: it bats shots back
    Frame();
    EXPECT_GT(shot->direction.x * -1.0f, 0.99f) << "on its way back";
    EXPECT_TRUE(shot->struck);
    for (int i = 0; i < 60 && !shot->exploding; ++i)
        Frame();
    EXPECT_FLOAT_EQ(soldier->health, 1.0f - 0.04f);
    EXPECT_FLOAT_EQ(blade->health, 1.0f);
}

} // namespace
