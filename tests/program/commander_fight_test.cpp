// The last story level on the real game loop with scripted input: Blade
// walks from the antechamber into the Commander's hall, hears him out, and
// wears him down with heavy slashes through his teleports until he falls;
// Blade steps back, lets him speak his last words, then finishes him with
// one heavy slash. The gate opens, the stair beyond rolls the credits, and a
// key goes back to the main menu. Only Blade's health is helped (topped up
// when low, counted); the fight itself runs by the game's rules.
// Pictures are written to the build directory at the render size;
// docs/boss keeps copies. To keep the run short only one frame in sixteen
// is drawn, and every frame a picture is taken of.
#include "audio/Audio.h"
#include "engine/QNGraphics.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "engine/QNSystem.h"
#include "entities/Commander.h"
#include "entities/Gate.h"
#include "entities/Player.h"
#include "game/Game.h"
#include "render/FadeTransition.h"
#include "render/LightedAnimation2D.h"
#include "render/ParticleSystem.h"
#include "scenes/CreditsScene.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"

#include "support/TestSupport.h"

#include <stb/stb_image.h>

#include <cstdio>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr const char* kWindowed =
    "<settings volume=\"0\" muted=\"1\" fullscreen=\"0\" width=\"1280\" height=\"720\"/>\n";

class CommanderFightTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("settings.xml", kWindowed);
        Game& g = Game::Instance();
        g.levels = LevelCatalogue("levels.xml");
        ASSERT_FALSE(g.levels.firstRooms.empty());
        lastLevel = static_cast<int32_t>(g.levels.firstRooms.size()) - 1;
        ASSERT_EQ(g.levels.firstRooms.back(), 60) << "the story ends in the Commander's hall";
        g.levels.currentLevel = lastLevel;
        g.EnableScriptedRun(1.0 / 60.0);
        g.firstScene = [] { return static_cast<Scene*>(new LevelScene()); };
        g.Init();
        ASSERT_TRUE(g.RunFrame()); // the switch into the level
        scene = dynamic_cast<LevelScene*>(g.currentScene);
        ASSERT_NE(scene, nullptr) << Game::Instance().lastError;
        Commander::Random().Seed(11);
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

    // One frame of the game; tops Blade's health up when it runs low, so the
    // long scripted duel cannot end in the death window (counted).
    bool Frame() {
        const bool playing = scene && Game::Instance().currentScene == scene;
        if (playing && scene->player && Blade().health < 0.3f && !Blade().IsDead()) {
            Blade().health = 1.0f;
            Blade().PushHealth();
            ++topUps;
        }
        ++framesRun;
        // The long run is drawn one frame in sixteen (every frame still
        // plays); pictures draw their own frame.
        Game::Instance().drawFrames = forceDraw || framesRun % 16 == 0;
        return Game::Instance().RunFrame();
    }
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
        for (uint8_t key : {QN_VK_A, QN_VK_D, QN_VK_W, QN_VK_S, QN_VK_LBUTTON, QN_VK_RBUTTON})
            QNInputInjectKey(key, false);
    }
    // Writes the next frame to the build directory, halved to the render
    // size (the window shows every render pixel as 2 x 2).
    void Capture(const std::string& name) {
        std::printf("picture %s at frame %d\n", name.c_str(), framesRun);
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
    // One frame of walking along the room's paths to `goal`.
    void StepTowards(Vec2 goal, int frame) {
        const Vec2 at = Blade().GetPosition();
        if (frame % 20 == 0 || path.empty())
            scene->currentRoom->FindPath(path, Blade().GetCollider(), at, goal);
        while (path.size() > 1 && LengthSq(path.front() - at) < 16.0f)
            path.pop_front();
        Steer(path.empty() ? goal : path.front());
    }
    // Walks until `done` holds; false after `limit` frames.
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
    bool WalkTo(Vec2 goal, int limit) {
        return WalkUntil(
            goal, [&] { return LengthSq(goal - Blade().GetPosition()) <= 16.0f; }, limit);
    }
    // Walks through the current room's door to `target` (the door takes him
    // when he crosses it) and waits until he stands in the next room.
    void TakeDoor(int32_t target) {
        const LevelMap::Door* door = scene->currentRoom->DoorTo(target);
        ASSERT_NE(door, nullptr);
        const Vec2 middle = (door->start + door->end) * 0.5f;
        ASSERT_TRUE(WalkUntil(
            middle, [&] { return scene->nextRoom != nullptr; }, 1200))
            << "Blade never reached the door to " << target;
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
    Commander* FindCommander() const {
        for (Entity* e : scene->currentRoom->entities) {
            if (auto* boss = dynamic_cast<Commander*>(e))
                return boss;
        }
        return nullptr;
    }
    // The spot beside him on Blade's side.
    Vec2 Beside(const Commander& boss) const {
        const Vec2 them = boss.GetPosition();
        return them + Vec2{Blade().GetPosition().x <= them.x ? -28.0f : 28.0f, 0.0f};
    }

    ScratchGameDir dir;
    LevelScene* scene = nullptr;
    std::deque<Vec2> path;
    int32_t lastLevel = 0;
    int topUps = 0;
    int framesRun = 0;
    bool forceDraw = false; // the next frame is drawn whatever its number
};

TEST_F(CommanderFightTest, TheDuelTheFallTheLastWordsTheEndAndTheCredits) {
    Game& g = Game::Instance();
    ASSERT_EQ(RoomOf(), 60);
    EXPECT_EQ(scene->rooms.size(), 3u) << "the antechamber, the hall and the stair";
    Frames(40);

    // Into the hall: his music, then his greeting.
    TakeDoor(61);
    Commander* boss = FindCommander();
    ASSERT_NE(boss, nullptr);
    EXPECT_EQ(boss->dialog, 202) << "his last words";
    Gate* gate = nullptr;
    for (Entity* e : scene->currentRoom->entities) {
        if (auto* g2 = dynamic_cast<Gate*>(e))
            gate = g2;
    }
    ASSERT_NE(gate, nullptr);
    HearOut("boss_hall.png");
    EXPECT_EQ(scene->music.sound, Audio::GetSound("06.CommanderMusic.ogg", true).sound)
        << "the door into the hall starts his music";

    // The duel: close in beside him and cut, heavy, facing him; wait out
    // his teleports and go after him.
    int teleports = 0;
    bool duelShot = false;
    bool burstShot = false;
    CommanderState last = boss->state;
    path.clear();
    for (int i = 0; i < 60 * 240 && boss->health > 0.0f; ++i) {
        if (boss->state == CommanderTeleport && last != CommanderTeleport)
            ++teleports;
        if (boss->state == CommanderTeleport && teleports == 3 && !burstShot) {
            ReleaseKeys();
            Capture("boss_teleport.png");
            burstShot = true;
            last = boss->state;
            continue;
        }
        last = boss->state;
        const Vec2 at = Blade().GetPosition();
        const Vec2 spot = Beside(*boss);
        if (boss->state == CommanderTeleport) {
            ReleaseKeys();
        } else if (LengthSq(spot - at) > 100.0f) {
            QNInputInjectKey(QN_VK_RBUTTON, false);
            StepTowards(spot, i);
        } else {
            path.clear();
            Steer(at, 1e9f);
            const bool right = boss->GetPosition().x > at.x;
            QNInputInjectKey(right ? QN_VK_D : QN_VK_A, i % 9 < 2);
            QNInputInjectKey(QN_VK_RBUTTON, i % 9 == 1);
            if (!duelShot && teleports >= 2 && boss->healthBar.tint[3] > 0.9f &&
                Blade().state == PlayerSlash && Blade().Body()->frame == 3) {
                Capture("boss_duel.png");
                duelShot = true;
                continue;
            }
        }
        ASSERT_TRUE(Frame());
    }
    ReleaseKeys();
    ASSERT_LE(boss->health, 0.0f) << "he still stands after four minutes, with " << teleports
                                  << " teleports";
    std::printf("the duel: %d frames, %d teleports, %d top-ups\n", framesRun, teleports, topUps);
    // One teleport for every slice but the last. A slice is 0.075 of health
    // or a little more (the hit that empties it may take more than was
    // left), so 13 at most (1 / 0.075 = 13.3).
    EXPECT_GE(teleports, 11);
    EXPECT_LE(teleports, 13);
    EXPECT_TRUE(duelShot);
    EXPECT_TRUE(burstShot);
    EXPECT_FALSE(boss->IsDead()) << "fallen, not finished";

    // He falls; the gate opens at once; Blade steps back out of reach so
    // that the confirm button does not cut him while he speaks.
    Frame();
    EXPECT_TRUE(gate->IsOpening()) << "the gate opens as he falls";
    Vec2 away = Blade().GetPosition();
    for (const Vec2 step :
         {Vec2{-80.0f, 0.0f}, Vec2{80.0f, 0.0f}, Vec2{0.0f, 80.0f}, Vec2{0.0f, -80.0f}}) {
        const Vec2 spot = boss->GetPosition() + step;
        if (scene->IsWalkable(61, spot) && scene->IsWalkable(61, spot + step * 0.3f)) {
            away = spot;
            break;
        }
    }
    ASSERT_TRUE(WalkTo(away, 240));
    ASSERT_TRUE(RunUntil([&] { return scene->DialogueRunning(); }, 120)) << "his last words";
    EXPECT_EQ(boss->state, CommanderDown);
    EXPECT_TRUE(boss->secondPhase);
    HearOut("boss_fallen.png");
    EXPECT_FLOAT_EQ(boss->finalHealth, 0.3f) << "words do not wound";
    EXPECT_FALSE(boss->IsDead());

    // One heavy slash ends it.
    ASSERT_TRUE(WalkTo(Beside(*boss), 600));
    const bool right = boss->GetPosition().x > Blade().GetPosition().x;
    QNInputInjectKey(right ? QN_VK_D : QN_VK_A, true);
    Frame();
    QNInputInjectKey(right ? QN_VK_D : QN_VK_A, false);
    QNInputInjectKey(QN_VK_RBUTTON, true);
    Frame();
    QNInputInjectKey(QN_VK_RBUTTON, false);
    EXPECT_TRUE(boss->IsDead());
    EXPECT_EQ(boss->finalHealth, 0.0f);
    EXPECT_EQ(boss->Body()->animation, CommanderAnimReallyDead);
    ASSERT_TRUE(WalkTo(away, 240)); // a step back to look
    Frames(20);
    Capture("boss_end.png");
    EXPECT_FALSE(boss->bossParticles->particles.empty());

    // Through the open gate to the stair; the line across it ends the story.
    TakeDoor(62);
    const int32_t levelBefore = g.levels.currentLevel;
    ASSERT_TRUE(WalkUntil(
        Blade().GetPosition() + Vec2{0.0f, 300.0f},
        [&] { return dynamic_cast<CreditsScene*>(g.currentScene) != nullptr; }, 600))
        << "the credits roll";
    scene = nullptr;
    Frames(40);
    Capture("boss_credits.png");
    EXPECT_EQ(g.levels.currentLevel, levelBefore) << "the credits leave the save alone";
    EXPECT_FALSE(dir.Exists("save.xml"));
    EXPECT_TRUE(g.levels.HasLevel(g.levels.currentLevel));

    // Any key: back to the main menu.
    QNInputInjectKey(QN_VK_RETURN, true);
    Frame();
    QNInputInjectKey(QN_VK_RETURN, false);
    ASSERT_TRUE(RunUntil([&] { return dynamic_cast<MainMenu*>(g.currentScene) != nullptr; }, 120))
        << "back to the menu";
}

} // namespace
