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

#include "program/LevelDriver.h"

#include <cstdio>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class CommanderFightTest : public LevelDriver {
protected:
    void SetUp() override {
        const LevelCatalogue levels("levels.xml");
        ASSERT_FALSE(levels.firstRooms.empty());
        lastLevel = static_cast<int32_t>(levels.firstRooms.size()) - 1;
        ASSERT_EQ(levels.firstRooms.back(), 60) << "the story ends in the Commander's hall";
        StartLevel(lastLevel);
        // The long run is drawn one frame in sixteen (every frame still
        // plays); pictures draw their own frame.
        drawEvery = 16;
        Commander::Random().Seed(11);
    }

    int32_t lastLevel = 0;
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
    EXPECT_TRUE(scene->dialogues->IsLoaded(std::to_string(boss->dialog))) << "his last words";
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
    const bool fell = WearDown(*boss, 60 * 240, [&](int) {
        const bool arrived = boss->state == CommanderTeleport && last != CommanderTeleport;
        last = boss->state;
        if (arrived)
            ++teleports;
        if (boss->state == CommanderTeleport && teleports == 3 && !burstShot) {
            ReleaseKeys();
            Capture("boss_teleport.png");
            burstShot = true;
            return true;
        }
        if (!duelShot && teleports >= 2 && boss->healthBar.tint[3] > 0.9f &&
            LengthSq(Beside(*boss) - Blade().GetPosition()) <= 100.0f &&
            Blade().state == PlayerSlash && Blade().Body()->frame == 3) {
            Capture("boss_duel.png");
            duelShot = true;
            return true;
        }
        return false;
    });
    ASSERT_TRUE(fell) << "he still stands after four minutes, with " << teleports << " teleports";
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
    const Vec2 away = AwayFrom(*boss);
    ASSERT_TRUE(WalkTo(away, 240));
    ASSERT_TRUE(RunUntil([&] { return scene->DialogueRunning(); }, 120)) << "his last words";
    EXPECT_EQ(boss->state, CommanderDown);
    EXPECT_TRUE(boss->secondPhase);
    HearOut("boss_fallen.png");
    EXPECT_FLOAT_EQ(boss->finalHealth, 0.3f) << "words do not wound";
    EXPECT_FALSE(boss->IsDead());

    // One heavy slash ends it.
    ASSERT_TRUE(WalkTo(Beside(*boss), 600));
    FinishingSlash(*boss);
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
