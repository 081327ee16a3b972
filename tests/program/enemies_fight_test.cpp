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

#include "support/TestSupport.h"

#include <stb/stb_image.h>

#include <cmath>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr const char* kWindowed =
    "<settings volume=\"0\" muted=\"1\" fullscreen=\"0\" width=\"1280\" height=\"720\"/>\n";

class EnemiesFightTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("settings.xml", kWindowed);
        Game& g = Game::Instance();
        g.levels = LevelCatalogue("levels.xml");
        g.EnableScriptedRun(1.0 / 60.0);
        g.firstScene = [] { return static_cast<Scene*>(new LevelScene()); };
        g.Init();
        ASSERT_TRUE(g.RunFrame()); // the switch into the level
        scene = dynamic_cast<LevelScene*>(g.currentScene);
        ASSERT_NE(scene, nullptr) << Game::Instance().lastError;
        // Fixed seeds: a batted-back bullet strays the same way every run.
        Projectile::Random().Seed(43);
        // And the soldiers walk the same paths: the shot comes from the
        // same place.
        LevelMap::RoomPathing::Random().Seed(43);
    }
    void TearDown() override {
        ReleaseKeys();
        Game::Instance().drawFrames = true;
        if (QNSysDoesWindowExist())
            Game::Instance().Shutdown();
        QNFrameRateControllerSetFixedFrameTime(0.0);
    }

    Player& Blade() const { return *scene->player; }
    int RoomOf() const { return scene->currentRoom->id; }

    // One frame of the game; tops Blade's health up when it runs low, so a
    // long scripted fight cannot end in the death window (counted).
    bool Frame() {
        if (scene->player && Blade().health < 0.3f && !Blade().IsDead()) {
            Blade().health = 1.0f;
            Blade().PushHealth();
            ++topUps;
        }
        ++framesRun;
        // The long fight is drawn one frame in sixteen (every frame still
        // plays); pictures draw their own frame.
        Game::Instance().drawFrames = forceDraw || framesRun % 16 == 0;
        return Game::Instance().RunFrame();
    }
    // Runs frames until `done` holds; false after `limit` frames.
    bool RunUntil(const std::function<bool()>& done, int limit) {
        for (int i = 0; i < limit; ++i) {
            if (done())
                return true;
            if (!Frame())
                return false;
        }
        return done();
    }
    void Frames(int n) {
        RunUntil([] { return false; }, n);
    }
    void ReleaseKeys() {
        for (uint8_t key :
             {QN_VK_A, QN_VK_D, QN_VK_W, QN_VK_S, QN_VK_LBUTTON, QN_VK_RBUTTON, QN_VK_LSHIFT})
            QNInputInjectKey(key, false);
    }
    void Tap(uint8_t key) {
        QNInputInjectKey(key, true);
        Frame();
        QNInputInjectKey(key, false);
    }
    // Writes the next frame to the build directory, halved to the render
    // size (the window shows every render pixel as 2 x 2).
    void Capture(const std::string& name) {
        const std::string full = BuildDir() + "/full_" + name;
        QNGfxRequestCapture(full);
        forceDraw = true;
        Frame();
        forceDraw = false;
        int w = 0, h = 0, channels = 0;
        unsigned char* pixels = stbi_load(full.c_str(), &w, &h, &channels, 4);
        ASSERT_NE(pixels, nullptr) << full;
        std::vector<unsigned char> half(static_cast<size_t>(w / 2) * (h / 2) * 4);
        for (int y = 0; y < h / 2; ++y) {
            for (int x = 0; x < w / 2; ++x) {
                for (int c = 0; c < 4; ++c)
                    half[(static_cast<size_t>(y) * (w / 2) + x) * 4 + c] =
                        pixels[(static_cast<size_t>(2 * y) * w + 2 * x) * 4 + c];
            }
        }
        stbi_image_free(pixels);
        EXPECT_TRUE(QNGfxWritePNG(BuildDir() + "/" + name, half.data(), w / 2, h / 2));
        std::remove(full.c_str());
    }

    // Holds the keys that walk Blade towards `goal` (nothing within `near`).
    void Steer(Vec2 goal, float near = 3.0f) {
        const Vec2 d = goal - Blade().GetPosition();
        QNInputInjectKey(QN_VK_D, d.x > near);
        QNInputInjectKey(QN_VK_A, d.x < -near);
        QNInputInjectKey(QN_VK_W, d.y > near);
        QNInputInjectKey(QN_VK_S, d.y < -near);
    }
    // Walks Blade to `goal` along the room's own paths; false when he does
    // not get there within `limit` frames.
    bool WalkTo(Vec2 goal, int limit, float near = 4.0f) {
        std::deque<Vec2> path;
        for (int i = 0; i < limit; ++i) {
            const Vec2 at = Blade().GetPosition();
            if (LengthSq(goal - at) <= near * near) {
                ReleaseKeys();
                return true;
            }
            if (i % 20 == 0 || path.empty()) {
                path.clear();
                scene->currentRoom->FindPath(path, Blade().GetCollider(), at, goal);
            }
            while (path.size() > 1 && LengthSq(path.front() - at) < 16.0f)
                path.pop_front();
            Steer(path.empty() ? goal : path.front());
            if (!Frame())
                return false;
        }
        ReleaseKeys();
        return false;
    }

    // Holds the confirm input until the conversation is over.
    bool TalkThrough(int limit = 1800) {
        QNInputInjectKey(QN_VK_LBUTTON, true);
        const bool over = RunUntil([&] { return !scene->DialogueRunning(); }, limit);
        QNInputInjectKey(QN_VK_LBUTTON, false);
        Frames(1);
        return over;
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

    template <class T> std::vector<T*> InRoom() const {
        std::vector<T*> found;
        for (Entity* e : scene->currentRoom->entities) {
            if (auto* t = dynamic_cast<T*>(e))
                found.push_back(t);
        }
        return found;
    }
    Enemy* NearestLivingEnemy() const {
        Enemy* best = nullptr;
        for (Enemy* e : InRoom<Enemy>()) {
            if (e->IsDead())
                continue;
            if (!best || LengthSq(e->GetPosition() - Blade().GetPosition()) <
                             LengthSq(best->GetPosition() - Blade().GetPosition()))
                best = e;
        }
        return best;
    }
    // Walks up beside `enemy` and slashes until it falls; false if it still
    // stands after `limit` frames.
    bool CutDown(Enemy* enemy, int limit, const std::function<void()>& onHit = nullptr) {
        std::deque<Vec2> path;
        float lastHealth = enemy->health;
        for (int i = 0; i < limit && !enemy->IsDead(); ++i) {
            const Vec2 at = Blade().GetPosition();
            const Vec2 them = enemy->GetPosition();
            // Beside it on Blade's side, or on the far side when a pillar
            // or a wall stands on his.
            float side = at.x <= them.x ? -28.0f : 28.0f;
            if (!scene->currentRoom->IsWalkable(them + Vec2{side, 0.0f}))
                side = -side;
            const Vec2 spot = them + Vec2{side, 0.0f};
            if (LengthSq(spot - at) > 36.0f) {
                QNInputInjectKey(QN_VK_LBUTTON, false);
                if (i % 15 == 0 || path.empty()) {
                    path.clear();
                    scene->currentRoom->FindPath(path, Blade().GetCollider(), at, spot);
                }
                while (path.size() > 1 && LengthSq(path.front() - at) < 16.0f)
                    path.pop_front();
                Steer(path.empty() ? spot : path.front());
            } else {
                // Face it and slash every few frames; the combo takes the
                // presses that fall in its windows.
                Steer(at, 1e9f);
                QNInputInjectKey(side < 0.0f ? QN_VK_D : QN_VK_A, i % 9 < 2);
                QNInputInjectKey(QN_VK_LBUTTON, i % 9 == 0);
            }
            if (!Frame())
                return false;
            if (enemy->health < lastHealth && onHit)
                onHit();
            lastHealth = enemy->health;
        }
        ReleaseKeys();
        Frame();
        return enemy->IsDead();
    }

    // Puts the pointer on a point of the current room.
    void PointAtWorld(Vec2 world) {
        const Runtime& rt = Runtime::Get();
        const Vec2 screen = world - scene->currentRoom->camera.GetPosition();
        QNInputInjectCursor(static_cast<int32_t>(2.0f * screen.x) + rt.screenWidth,
                            QNGetWindowHeight() - rt.screenHeight -
                                static_cast<int32_t>(2.0f * screen.y));
    }
    // Walks within dashing reach of `enemy` on a clear line, aims at it and
    // dashes through it; false if it still stands.
    bool DashThrough(Enemy* enemy, int limit) {
        std::deque<Vec2> path;
        for (int i = 0; i < limit && !enemy->IsDead(); ++i) {
            const Vec2 at = Blade().GetPosition();
            const Vec2 them = enemy->GetPosition();
            const bool clear = !scene->Raycast(RoomOf(), at, them).hit;
            if (clear && LengthSq(them - at) < 110.0f * 110.0f && Blade().state != PlayerSlash) {
                ReleaseKeys();
                QNInputInjectKey(QN_VK_LSHIFT, true);
                for (int k = 0; k < 3; ++k) {
                    PointAtWorld(enemy->GetPosition());
                    Frame();
                }
                PointAtWorld(enemy->GetPosition());
                Tap(QN_VK_LBUTTON);
                QNInputInjectKey(QN_VK_LSHIFT, false);
                RunUntil([&] { return Blade().state != PlayerDash; }, 120);
                return enemy->IsDead();
            }
            if (i % 15 == 0 || path.empty()) {
                path.clear();
                scene->currentRoom->FindPath(path, Blade().GetCollider(), at, them);
            }
            while (path.size() > 1 && LengthSq(path.front() - at) < 16.0f)
                path.pop_front();
            Steer(path.empty() ? them : path.front());
            if (!Frame())
                return false;
        }
        ReleaseKeys();
        return enemy->IsDead();
    }

    ScratchGameDir dir;
    LevelScene* scene = nullptr;
    int topUps = 0;
    int framesRun = 0;
    bool forceDraw = false; // the next frame is drawn whatever its number
};

TEST_F(EnemiesFightTest, BladeFightsThroughTheHallAndTheGateOpensWhenTheSoldiersFall) {
    ASSERT_EQ(RoomOf(), 1);
    RunUntil([] { return false; }, 20); // into the fade-in
    // Through the gatehouse's east door into the hall.
    EnterRoom(2);

    // The hall holds three soldiers lying in wait behind a gate: the first
    // line on the floor starts Blade's words, the second wakes them.
    const std::vector<BasicEnemy*> soldiers = InRoom<BasicEnemy>();
    ASSERT_EQ(soldiers.size(), 3u);
    ASSERT_EQ(InRoom<Gate>().size(), 1u);
    Gate* gate = InRoom<Gate>()[0];
    EXPECT_TRUE(scene->currentRoom->HasLivingEnemy());
    for (const BasicEnemy* s : soldiers)
        EXPECT_TRUE(s->attackDisabled) << "the gunners lie in wait";
    const Vec2 in = Blade().GetPosition();
    ASSERT_TRUE(WalkTo({260.0f, in.y}, 600));
    for (const BasicEnemy* s : soldiers)
        EXPECT_FALSE(s->attackDisabled) << "awake";
    ASSERT_TRUE(TalkThrough());
    // The nearest of them covers the way in.
    BasicEnemy* doorGuard = nullptr;
    for (BasicEnemy* s : soldiers) {
        if (!doorGuard || LengthSq(s->GetPosition() - Blade().GetPosition()) <
                              LengthSq(doorGuard->GetPosition() - Blade().GetPosition()))
            doorGuard = s;
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

    // Cut them down one by one, nearest first; picture the bars on the way.
    bool barsPictured = false;
    Enemy* first = NearestLivingEnemy();
    ASSERT_TRUE(CutDown(first, 1800, [&] {
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
    for (int attempt = 0; attempt < 12; ++attempt) {
        Enemy* next = NearestLivingEnemy();
        if (!next)
            break;
        const float special = Blade().special;
        if (DashThrough(next, 900))
            EXPECT_LT(Blade().special, special) << "a dash spends special";
        else
            CutDown(next, 900);
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
