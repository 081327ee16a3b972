// LevelDriver.h -- what the fight and play-through tests share: a story level
// started in the real game loop (a windowed 1280 x 720 screen, a 640 x 360
// render, scripted frames of 1/60 s), and Blade driven with the player's own
// inputs: walking along the room's paths, slashes and dashes, doors taken by
// walking through them, conversations held through with the confirm button.
//
// The one help Blade gets: his health is topped up when it runs low (each
// top-up counted), so a long scripted fight cannot end in the death window;
// a driver that plays without it (`topUpHealth` false) takes the death
// window's "Try again" instead. Everything else (enemies, gates, trigger
// lines, doors) runs by the game's rules.
#pragma once

#include "core/Runtime.h"
#include "engine/QNGraphics.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "engine/QNSystem.h"
#include "entities/Commander.h"
#include "entities/Enemy.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "entities/SliceableEntity.h"
#include "game/Game.h"
#include "scenes/LevelScene.h"
#include "ui/UIText.h"
#include "world/RoomPathing.h"

#include "support/TestSupport.h"

#include <stb/stb_image.h>

#include <cstdio>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

class LevelDriver : public ::testing::Test {
protected:
    static constexpr const char* kWindowed =
        "<settings volume=\"0\" muted=\"1\" fullscreen=\"0\" width=\"1280\" height=\"720\"/>\n";

    static constexpr uint32_t kSeed = 20261210;

    // Starts story level `level` (0 is the first) in its start room and
    // runs the switch frame into it.
    void StartLevel(int32_t level) {
        dir.Write("settings.xml", kWindowed);
        Game& g = Game::Instance();
        g.levels = LevelCatalogue("levels.xml");
        ASSERT_TRUE(g.levels.HasLevel(level));
        g.levels.currentLevel = level;
        g.EnableScriptedRun(1.0 / 60.0);
        g.firstScene = [] { return static_cast<Scene*>(new LevelScene()); };
        // Every source of chance the rooms draw from starts the same way, so
        // a run plays out alike every time and a failure can be replayed.
        Projectile::Random().Seed(kSeed);
        Commander::Random().Seed(kSeed);
        LevelMap::RoomPathing::Random().Seed(kSeed);
        PropRandom().seed(kSeed);
        g.Init();
        ASSERT_TRUE(g.RunFrame()); // the switch into the level
        scene = dynamic_cast<LevelScene*>(g.currentScene);
        ASSERT_NE(scene, nullptr) << g.lastError;
    }
    void TearDown() override {
        ReleaseKeys();
        Game::Instance().drawFrames = true;
        if (QNSysDoesWindowExist())
            Game::Instance().Shutdown();
        QNFrameRateControllerSetFixedFrameTime(0.0);
    }

    Player& Blade() const { return *scene->player; }
    int32_t RoomOf() const { return scene->currentRoom->id; }
    // The level scene is still the one being played.
    bool Playing() const { return scene && Game::Instance().currentScene == scene; }

    // One frame of the game; tops Blade's health up when it runs low
    // (counted). With `drawEvery` above 1 only one frame in that many is
    // drawn (every frame still plays); pictures draw their own frame.
    bool Frame() {
        if (hearConversations && !hearing && Playing() && scene->DialogueRunning())
            HoldConfirmThroughConversation();
        if (topUpHealth && Playing() && scene->player && Blade().health < 0.3f &&
            !Blade().IsDead()) {
            Blade().health = 1.0f;
            Blade().PushHealth();
            ++topUps;
            std::printf("top-up in room %d\n", RoomOf());
        }
        if (Playing() && scene->player) {
            // Health lost by the Blade of this try since the last frame.
            if (scene->player == watched && Blade().health < lastHealth)
                damageTaken += lastHealth - Blade().health;
            watched = scene->player;
            lastHealth = Blade().health;
        }
        ++framesRun;
        Game::Instance().drawFrames = forceDraw || framesRun % drawEvery == 0;
        return Game::Instance().RunFrame();
    }
    // With `hearConversations` set, a conversation that starts while Blade
    // walks or fights is heard out at once: the walking keys let go, the
    // confirm button held until it ends (its name is kept in `heard`).
    void HoldConfirmThroughConversation() {
        hearing = true;
        const ChatController& chats = *scene->dialogues;
        for (const auto& [name, chat] : chats.chats) {
            if (chat.get() == chats.current)
                heard.push_back(name);
        }
        ReleaseKeys();
        QNInputInjectKey(QN_VK_LBUTTON, true);
        for (int i = 0; i < 1800 && Playing() && scene->DialogueRunning(); ++i)
            Frame();
        QNInputInjectKey(QN_VK_LBUTTON, false);
        hearing = false;
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
    static void ReleaseKeys() {
        for (uint8_t key : {QN_VK_A, QN_VK_D, QN_VK_W, QN_VK_S, QN_VK_E, QN_VK_LBUTTON,
                            QN_VK_RBUTTON, QN_VK_LSHIFT, QN_VK_DOWN, QN_VK_RETURN})
            QNInputInjectKey(key, false);
    }
    // Down for one frame, then up.
    void Tap(uint8_t key) {
        QNInputInjectKey(key, true);
        Frame();
        QNInputInjectKey(key, false);
    }

    // Once Blade has fallen: waits for the death window to open, picks "Try
    // again" with the arrow keys and Enter, and waits until he stands again.
    // False when the window never opens or he does not come back.
    bool TryAgainAfterDeath() {
        const Window& window = *scene->deathWindow;
        if (!RunUntil([&] { return scene->deathShown && !window.busy; }, 900))
            return false;
        const UIElement* button = window.FindText("Try again");
        const auto chosen = [&] {
            return window.selectedIndex >= 0 &&
                   window.elements[static_cast<size_t>(window.selectedIndex)] == button;
        };
        for (int i = 0; i < 8 && !chosen(); ++i) {
            Tap(QN_VK_DOWN);
            Frame();
        }
        if (!chosen())
            return false;
        Tap(QN_VK_RETURN);
        return RunUntil([&] { return Playing() && !scene->deathShown && !Blade().IsDead(); }, 60);
    }

    // Writes the next frame to the build directory, halved to the render
    // size (the window shows every render pixel as 2 x 2).
    void Capture(const std::string& name) {
        const std::string full = BuildDir() + "/full_" + name;
        forceDraw = true;
        QNGfxRequestCapture(full);
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
    // One frame's keys for walking along the room's paths to `goal`; the
    // path is searched again every 20 frames.
    void StepTowards(Vec2 goal, int frame) {
        const Vec2 at = Blade().GetPosition();
        if (frame % 20 == 0 || path.empty()) {
            path.clear();
            scene->currentRoom->FindPath(path, Blade().GetCollider(), at, goal);
        }
        while (path.size() > 1 && LengthSq(path.front() - at) < 16.0f)
            path.pop_front();
        Steer(path.empty() ? goal : path.front());
    }
    // Walks towards `goal` until `done` holds; false after `limit` frames.
    bool WalkUntil(Vec2 goal, const std::function<bool()>& done, int limit) {
        path.clear();
        for (int i = 0; i < limit; ++i) {
            if (done()) {
                ReleaseKeys();
                return true;
            }
            StepTowards(goal, i);
            if (!Frame())
                return false;
        }
        ReleaseKeys();
        return done();
    }
    bool WalkTo(Vec2 goal, int limit, float near = 4.0f) {
        return WalkUntil(
            goal, [&] { return LengthSq(goal - Blade().GetPosition()) <= near * near; }, limit);
    }

    // Puts the pointer on a point of the current room.
    void PointAtWorld(Vec2 world) {
        // Whole window pixels toward the picture's middle.
        const Runtime& rt = Runtime::Get();
        const Vec2 middle = rt.ScreenToWindow({0.0f, 0.0f});
        const Vec2 window = rt.ScreenToWindow(world - scene->currentRoom->camera.GetPosition());
        QNInputInjectCursor(
            static_cast<int32_t>(middle.x) + static_cast<int32_t>(window.x - middle.x),
            static_cast<int32_t>(middle.y) + static_cast<int32_t>(window.y - middle.y));
    }

    // Puts the pointer on a point of the interface: origin at the screen's
    // centre, y up, in interface units.
    void PointAtUi(Vec2 at) {
        const Runtime& rt = Runtime::Get();
        const Vec2 window = rt.ScreenToWindow(at * rt.uiScale);
        QNInputInjectCursor(static_cast<int32_t>(std::lround(window.x)),
                            static_cast<int32_t>(std::lround(window.y)));
    }

    // Walks through the current room's door to `target` (the door takes him
    // when he crosses it) and waits until he stands in the next room.
    void TakeDoor(int32_t target, int limit = 1200) {
        const LevelMap::Door* door = scene->currentRoom->DoorTo(target);
        ASSERT_NE(door, nullptr);
        const Vec2 middle = (door->start + door->end) * 0.5f;
        ASSERT_TRUE(WalkUntil(
            middle, [&] { return scene->nextRoom != nullptr; }, limit))
            << "Blade never reached the door to " << target << " in room " << RoomOf();
        ASSERT_TRUE(RunUntil([&] { return scene->nextRoom == nullptr; }, 240));
        ASSERT_EQ(RoomOf(), target);
    }
    // Holds the confirm button through a conversation until it has ended;
    // with a picture named, first lets the opening line come in and takes
    // the picture.
    void HearOut(const std::string& picture = "") {
        ASSERT_TRUE(scene->DialogueRunning());
        if (!picture.empty()) {
            Frames(60);
            Capture(picture);
        }
        QNInputInjectKey(QN_VK_LBUTTON, true);
        for (int i = 0; i < 1800 && scene->DialogueRunning(); ++i)
            Frame();
        QNInputInjectKey(QN_VK_LBUTTON, false);
        ASSERT_FALSE(scene->DialogueRunning());
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

    // What the driver makes of a body it watches: with `reactionFrames`,
    // where it stood that many frames ago; with `aimError`, off by up to
    // that many units, a new error every reaction's worth of frames.
    struct Sight {
        std::deque<Vec2> seen;
        Vec2 error{0.0f, 0.0f};
        int looks = 0;
    };
    Vec2 Look(Sight& sight, Vec2 now) {
        sight.seen.push_back(now);
        while (static_cast<int>(sight.seen.size()) > reactionFrames + 1)
            sight.seen.pop_front();
        if (aimError > 0.0f && sight.looks++ % std::max(reactionFrames, 1) == 0) {
            std::uniform_real_distribution<float> off(-aimError, aimError);
            sight.error = {off(dice), off(dice)};
        }
        return sight.seen.front() + sight.error;
    }
    // With `betweenBlows` set, it runs before every frame of a fight; true
    // means the driver did something else (a refill) and the fight goes on
    // from wherever Blade now stands.
    bool Interrupted() { return betweenBlows && betweenBlows(); }

    // Walks up beside `enemy` and slashes (light, or heavy with `heavy`)
    // until it falls; false if it still stands after `limit` frames or
    // Blade has fallen.
    // `onHit` runs after each frame that took some of its health. He keeps
    // to the side he comes from, and tries the other one when something
    // (a pillar) holds him up for most of a second.
    bool CutDown(Enemy* enemy, int limit, const std::function<void()>& onHit = nullptr,
                 bool heavy = false) {
        std::deque<Vec2> way;
        float lastHealth = enemy->health;
        const uint8_t slash = heavy ? QN_VK_RBUTTON : QN_VK_LBUTTON;
        float side = Blade().GetPosition().x <= enemy->GetPosition().x ? -28.0f : 28.0f;
        float nearest = 1e30f;
        int held = 0;
        Sight sight;
        for (int i = 0; i < limit && !enemy->IsDead() && !Blade().IsDead(); ++i) {
            if (Interrupted()) {
                way.clear();
                continue;
            }
            const Vec2 at = Blade().GetPosition();
            const Vec2 them = Look(sight, enemy->GetPosition());
            // Against a wall on that side: the other one.
            if (!scene->IsWalkable(RoomOf(), them + Vec2{side, 0.0f}))
                side = -side;
            const Vec2 spot = them + Vec2{side, 0.0f};
            const float distance = Length(spot - at);
            if (distance < nearest - 1.0f) {
                nearest = distance;
                held = 0;
            } else if (distance > 6.0f && ++held > 45) {
                side = -side;
                nearest = 1e30f;
                held = 0;
                way.clear();
            }
            if (distance > 6.0f) {
                QNInputInjectKey(slash, false);
                if (i % 15 == 0 || way.empty()) {
                    way.clear();
                    scene->currentRoom->FindPath(way, Blade().GetCollider(), at, spot);
                }
                while (way.size() > 1 && LengthSq(way.front() - at) < 16.0f)
                    way.pop_front();
                Steer(way.empty() ? spot : way.front());
            } else {
                // Point at it and slash every few frames (the sword swings
                // to the pointer's side); the combo takes the presses that
                // fall in its windows.
                Steer(at, 1e9f);
                PointAtWorld(them);
                QNInputInjectKey(them.x > at.x ? QN_VK_D : QN_VK_A, i % 9 < 2);
                QNInputInjectKey(slash, i % 9 == (heavy ? 1 : 0));
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
    // Walks within dashing reach of `enemy` on a clear line, aims at it and
    // dashes through it; false if it still stands.
    bool DashThrough(Enemy* enemy, int limit) {
        std::deque<Vec2> way;
        Sight sight;
        for (int i = 0; i < limit && !enemy->IsDead() && !Blade().IsDead(); ++i) {
            if (Interrupted()) {
                way.clear();
                continue;
            }
            const Vec2 at = Blade().GetPosition();
            const Vec2 them = Look(sight, enemy->GetPosition());
            const bool clear = !scene->Raycast(RoomOf(), at, them).hit;
            if (clear && LengthSq(them - at) < 110.0f * 110.0f && Blade().state != PlayerSlash) {
                ReleaseKeys();
                QNInputInjectKey(QN_VK_LSHIFT, true);
                for (int k = 0; k < 3; ++k) {
                    PointAtWorld(Look(sight, enemy->GetPosition()));
                    Frame();
                }
                PointAtWorld(Look(sight, enemy->GetPosition()));
                Tap(QN_VK_LBUTTON);
                QNInputInjectKey(QN_VK_LSHIFT, false);
                RunUntil([&] { return Blade().state != PlayerDash; }, 120);
                return enemy->IsDead();
            }
            if (i % 15 == 0 || way.empty()) {
                way.clear();
                scene->currentRoom->FindPath(way, Blade().GetCollider(), at, them);
            }
            while (way.size() > 1 && LengthSq(way.front() - at) < 16.0f)
                way.pop_front();
            Steer(way.empty() ? them : way.front());
            if (!Frame())
                return false;
        }
        ReleaseKeys();
        return enemy->IsDead();
    }

    // The Commander's duel in his hall: Blade closes in beside him and cuts
    // with heavy slashes, facing him, waits out his teleports and goes after
    // him, until he falls (not yet finished). `each` runs before every frame
    // of it (pictures); when it returns true the frame is not run by the
    // duel. False if he still stands after `limit` frames.
    bool WearDown(Commander& boss, int limit, const std::function<bool(int)>& each = nullptr) {
        path.clear();
        for (int i = 0; i < limit && boss.health > 0.0f && !Blade().IsDead(); ++i) {
            if (each && each(i))
                continue;
            if (Interrupted()) {
                path.clear();
                continue;
            }
            const Vec2 at = Blade().GetPosition();
            const Vec2 spot = Beside(boss);
            if (boss.state == CommanderTeleport) {
                ReleaseKeys();
            } else if (LengthSq(spot - at) > 100.0f) {
                QNInputInjectKey(QN_VK_RBUTTON, false);
                StepTowards(spot, i);
            } else {
                path.clear();
                Steer(at, 1e9f);
                PointAtWorld(boss.GetPosition());
                const bool right = boss.GetPosition().x > at.x;
                QNInputInjectKey(right ? QN_VK_D : QN_VK_A, i % 9 < 2);
                QNInputInjectKey(QN_VK_RBUTTON, i % 9 == 1);
            }
            if (!Frame())
                return false;
        }
        ReleaseKeys();
        return boss.health <= 0.0f;
    }
    // After his fall: a spot 80 units from him that Blade can stand on, out
    // of his reach, so the confirm button does not cut him while he speaks.
    Vec2 AwayFrom(const Commander& boss) const {
        for (const Vec2 step :
             {Vec2{-80.0f, 0.0f}, Vec2{80.0f, 0.0f}, Vec2{0.0f, 80.0f}, Vec2{0.0f, -80.0f}}) {
            const Vec2 spot = boss.GetPosition() + step;
            if (scene->IsWalkable(RoomOf(), spot) &&
                scene->IsWalkable(RoomOf(), spot + step * 0.3f))
                return spot;
        }
        return Blade().GetPosition();
    }
    // One heavy slash from beside the fallen Commander, facing him.
    void FinishingSlash(const Commander& boss) {
        const bool right = boss.GetPosition().x > Blade().GetPosition().x;
        PointAtWorld(boss.GetPosition());
        QNInputInjectKey(right ? QN_VK_D : QN_VK_A, true);
        Frame();
        QNInputInjectKey(right ? QN_VK_D : QN_VK_A, false);
        QNInputInjectKey(QN_VK_RBUTTON, true);
        Frame();
        QNInputInjectKey(QN_VK_RBUTTON, false);
    }
    Commander* FindCommander() const {
        const std::vector<Commander*> found = InRoom<Commander>();
        return found.empty() ? nullptr : found[0];
    }
    // The spot beside him on Blade's side.
    Vec2 Beside(const Commander& boss) const {
        const Vec2 them = boss.GetPosition();
        return them + Vec2{Blade().GetPosition().x <= them.x ? -28.0f : 28.0f, 0.0f};
    }

    ScratchGameDir dir;
    LevelScene* scene = nullptr;
    std::deque<Vec2> path;    // the walk's current path
    int topUps = 0;           // times Blade's health was topped up
    bool topUpHealth = true;  // top Blade's health up when it runs low
    float damageTaken = 0.0f; // health lost over the run, every try counted
    const Player* watched = nullptr;
    float lastHealth = 1.0f;
    // How the fights are played (a skilled player by default).
    int reactionFrames = 0;
    float aimError = 0.0f; // world units
    std::mt19937 dice{kSeed};
    std::function<bool()> betweenBlows;
    int framesRun = 0;
    int drawEvery = 1;      // draw one frame in this many
    bool forceDraw = false; // the next frame is drawn whatever its number
    bool hearConversations = false;
    bool hearing = false;
    std::vector<std::string> heard; // conversations heard out by Frame, in order
};
