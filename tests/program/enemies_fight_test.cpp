// The first story level as a fight, on the real game loop with scripted
// input: Blade walks from the gatehouse into the hall, wakes the soldiers
// lying in wait there, bats the nearest one's bullet back into it with a
// heavy slash, cuts the hall's soldiers down, the gate opens and he walks
// through it into the armoury, where the heavy and the biohazard trooper
// wait. Pictures of the fight are written to the build directory at half
// size (one pixel per render pixel); docs/enemies keeps copies.
#include "core/Runtime.h"
#include "engine/QNGraphics.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "engine/QNSystem.h"
#include "entities/BasicEnemy.h"
#include "entities/BiohazardEnemy.h"
#include "entities/Gate.h"
#include "entities/HeavyEnemy.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "game/Game.h"
#include "render/LightedAnimation2D.h"
#include "scenes/LevelScene.h"
#include "world/RoomPathing.h"

#include "program/LevelDriver.h"

#include <cmath>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class EnemiesFightTest : public LevelDriver {
protected:
    void SetUp() override {
        StartLevel(0);
        // The long fight is drawn one frame in sixteen; pictures and the
        // shot batted back draw every frame.
        drawEvery = 16;
        // Fixed seeds: a batted-back bullet strays the same way every run,
        // and the soldiers walk the same paths, so the shot comes from the
        // same place.
        Projectile::Random().Seed(43);
        LevelMap::RoomPathing::Random().Seed(43);
    }

    // Takes the door of the current room to `target` (the scene's own door
    // transition) and waits until Blade stands in the new room.
    void EnterRoom(int target) {
        LevelMap::Door* door = scene->currentRoom->DoorTo(target);
        ASSERT_NE(door, nullptr);
        scene->EnterDoor(*door);
        ASSERT_TRUE(RunUntil([&] { return scene->nextRoom == nullptr; }, 240));
        ASSERT_EQ(RoomOf(), target);
    }
};

TEST_F(EnemiesFightTest, BladeFightsThroughTheHallAndTheGateOpensWhenTheSoldiersFall) {
    ASSERT_EQ(RoomOf(), 1);
    RunUntil([] { return false; }, 20); // into the fade-in
    // Through the gatehouse's east door into the hall.
    EnterRoom(2);

    // The hall holds three soldiers lying in wait behind a gate: the first
    // line on the floor starts Blade's words, the next ones wake them in
    // turn.
    const std::vector<BasicEnemy*> soldiers = InRoom<BasicEnemy>();
    ASSERT_EQ(soldiers.size(), 3u);
    ASSERT_EQ(InRoom<Gate>().size(), 1u);
    Gate* gate = InRoom<Gate>()[0];
    EXPECT_TRUE(scene->currentRoom->HasLivingEnemy());
    for (const BasicEnemy* s : soldiers)
        EXPECT_TRUE(s->attackDisabled) << "the gunners lie in wait";
    const Vec2 in = Blade().GetPosition();
    ASSERT_TRUE(WalkTo({260.0f, in.y}, 600));
    HearOut();
    // The first of them wakes and covers the way in; the others wait.
    BasicEnemy* doorGuard = nullptr;
    for (BasicEnemy* s : soldiers) {
        if (!s->attackDisabled) {
            EXPECT_EQ(doorGuard, nullptr) << "one soldier at first";
            doorGuard = s;
        }
    }
    ASSERT_NE(doorGuard, nullptr);

    // Into its range, and it takes aim. The shot and the swing that bats
    // it back are played with every frame drawn, as a player sees them.
    forceDraw = true;
    // It may still be stepping when Blade arrives: he lines up again on
    // where it stands to shoot.
    for (int tries = 0; tries < 4; ++tries) {
        ASSERT_TRUE(WalkTo(doorGuard->GetPosition() - Vec2{250.0f, 0.0f}, 600));
        ASSERT_TRUE(RunUntil([&] { return doorGuard->state == EnemyAttack; }, 60));
        Frames(40);
        if (std::fabs(doorGuard->GetPosition().y - Blade().GetPosition().y) < 4.0f)
            break;
    }
    EXPECT_EQ(doorGuard->Body()->animation, 2u) << "aiming level along the hall";
    EXPECT_LT(doorGuard->GetScale().x, 0.0f) << "facing Blade";
    Capture("enemies_soldier_aiming.png");
    // Before its shot it holds the aim, a glint at the muzzle.
    ASSERT_TRUE(RunUntil([&] { return doorGuard->windingUp; }, 180)) << "no wind-up";
    Frames(3);
    Capture("enemies_wind_up_glint.png");

    // Its bullet comes down the hall; a heavy slash bats it back.
    Projectile* bullet = nullptr;
    ASSERT_TRUE(RunUntil(
        [&] {
            for (Projectile* p : InRoom<Projectile>()) {
                // the one coming straight down the hall at him
                if (p->projectileKind == ProjectileBullet && !p->struck && !p->exploding &&
                    p->direction.x < -0.995f &&
                    std::fabs(p->GetPosition().y - Blade().GetPosition().y) < 16.0f)
                    bullet = p;
            }
            return bullet && bullet->GetPosition().x - Blade().GetPosition().x < 32.0f;
        },
        300))
        << "the soldier fired";
    ASSERT_LT(Blade().GetScale().x, 0.0f) << "Blade faces the shot";
    const float health = Blade().health;
    PointAtWorld(bullet->GetPosition());
    Tap(QN_VK_RBUTTON);
    Frame();
    EXPECT_TRUE(bullet->struck);
    EXPECT_GT(bullet->direction.x, 0.99f) << "back the way it came";
    EXPECT_EQ(Blade().health, health) << "it never reached him";
    Frames(6);
    Capture("enemies_bullet_batted_back.png");
    ASSERT_TRUE(RunUntil([&] { return bullet->exploding; }, 120));
    EXPECT_NEAR(doorGuard->health, 0.96f, 1e-4f) << "twice a bullet's damage, into its shooter";

    forceDraw = false;

    // Aiming a dash at the nearest: the dotted line to where it takes him
    // and, on the bar, the special it will cost.
    {
        Enemy* aimed = NearestLivingEnemy();
        QNInputInjectKey(QN_VK_LSHIFT, true);
        for (int k = 0; k < 90; ++k) {
            PointAtWorld(aimed->GetPosition());
            Frame();
        }
        Capture("enemies_dash_aim.png");
        QNInputInjectKey(QN_VK_LSHIFT, false);
        ASSERT_TRUE(RunUntil([] { return Game::Instance().timeScale > 0.99f; }, 60));
    }

    // Cut them down one by one, nearest first; picture the bars on the way
    // and the white flash of the first hit.
    bool barsPictured = false;
    bool flashPictured = false;
    Enemy* first = NearestLivingEnemy();
    ASSERT_TRUE(CutDown(first, 1800, [&] {
        if (!flashPictured && first->flashLeft > 0.0f) {
            Capture("enemies_hit_flash.png");
            flashPictured = true;
        }
        if (!barsPictured && first->health < 0.7f) {
            Frames(8);
            Capture("enemies_health_bars.png");
            barsPictured = true;
        }
    }));
    EXPECT_TRUE(barsPictured);
    ASSERT_TRUE(RunUntil([&] { return first->state == EnemyDead; }, 120));
    const Vec2 corpse = first->GetPosition();
    // A step back to look at it.
    WalkTo(corpse + Vec2{Blade().GetPosition().x < corpse.x ? -60.0f : 60.0f, 0.0f}, 60);
    Capture("enemies_corpse.png");
    EXPECT_EQ(std::fmod(corpse.x, 2.0f), 0.0f);
    EXPECT_EQ(std::fmod(corpse.y, 2.0f), 0.0f);
    // The others fall to the dash, which cuts through what it kills.
    // A soldier that keeps its distance is chased again: a dash when there
    // is blue to spend, slashes from beside it otherwise.
    for (int attempt = 0; attempt < 60; ++attempt) {
        Enemy* next = NearestLivingEnemy();
        if (!next)
            break;
        const float special = Blade().special;
        if (special >= Player::dashCost && DashThrough(next, 300))
            EXPECT_LT(Blade().special, special) << "a dash spends special";
        else if (!next->IsDead())
            CutDown(next, 900, nullptr, true);
    }
    if (Enemy* standing = NearestLivingEnemy()) {
        Capture("enemies_still_standing.png");
        FAIL() << "a soldier at " << standing->GetPosition().x << ", " << standing->GetPosition().y
               << " still stands";
    }
    EXPECT_FALSE(scene->currentRoom->HasLivingEnemy());
    EXPECT_EQ(first->GetPosition(), corpse) << "corpses stay where they fell";

    // The gate opens, and Blade walks through it into the armoury.
    ASSERT_TRUE(RunUntil([&] { return !gate->GetCollider()->enabled; }, 120));
    EXPECT_TRUE(gate->IsOpening());
    const LevelMap::Door* north = scene->currentRoom->DoorTo(3);
    ASSERT_NE(north, nullptr);
    ASSERT_TRUE(WalkTo(north->entryLine.end, 1200));
    QNInputInjectKey(QN_VK_W, true);
    ASSERT_TRUE(RunUntil([&] { return scene->nextRoom != nullptr; }, 240));
    QNInputInjectKey(QN_VK_W, false);
    ASSERT_TRUE(RunUntil([&] { return scene->nextRoom == nullptr; }, 240));
    EXPECT_EQ(RoomOf(), 3);

    EXPECT_EQ(topUps, 0) << "the hall's soldiers alone do not bring Blade down";
}

TEST_F(EnemiesFightTest, InTheArmouryTheHeavySlashesAndTheTrooperLeavesGas) {
    // The quartermaster's greeting is heard out before Blade moves on.
    hearConversations = true;
    RunUntil([] { return false; }, 30);
    EnterRoom(2);
    EnterRoom(3); // the scene's door transition, past the shut gate

    // A heavy and a biohazard trooper. Blade walks up to the heavy and lets
    // it swing, while the trooper lobs its gas.
    ASSERT_EQ(InRoom<HeavyEnemy>().size(), 1u);
    ASSERT_EQ(InRoom<BiohazardEnemy>().size(), 1u);
    HeavyEnemy* heavy = InRoom<HeavyEnemy>()[0];
    bool slashPictured = false;
    for (int i = 0; i < 900 && !slashPictured; ++i) {
        const Vec2 spot = heavy->GetPosition() + Vec2{-30.0f, -10.0f};
        if (LengthSq(spot - Blade().GetPosition()) > 25.0f)
            Steer(spot);
        else
            ReleaseKeys();
        const float before = Blade().health;
        Frame();
        const LightedAnimation2D* body = heavy->Body();
        if (body->animation == HeavyEnemy::kSlashAnimation && body->playing) {
            EXPECT_LT(Blade().health, before + 1e-6f);
            if (body->frame == 2) {
                ReleaseKeys();
                Capture("enemies_heavy_slash.png");
                slashPictured = true;
            }
        }
    }
    ReleaseKeys();
    EXPECT_TRUE(slashPictured) << "the heavy swung";
    EXPECT_LT(Blade().health, 1.0f);
    // The ring where the grenade will come down shows while it flies.
    ASSERT_TRUE(RunUntil(
        [&] {
            for (Projectile* p : InRoom<Projectile>()) {
                if (p->behaviour == &Projectile::GrenadeFlight && p->waypoints.size() <= 3)
                    return true;
            }
            return false;
        },
        900))
        << "the trooper threw a grenade";
    Capture("enemies_grenade_landing.png");
    ASSERT_TRUE(RunUntil(
        [&] {
            for (Projectile* p : InRoom<Projectile>()) {
                if (p->behaviour == &Projectile::GasCloud && p->cloudTimer < 3.5f)
                    return true;
            }
            return false;
        },
        900))
        << "the trooper threw a grenade";
    Capture("enemies_gas_cloud.png");
}

} // namespace
