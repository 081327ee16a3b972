// Game's clock, frame tables and file-name services (no window needed).
#include "core/GameClock.h"
#include "core/Runtime.h"
#include "entities/HitFeel.h"
#include "game/Game.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

namespace {

class GameClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        Game& g = Game::Instance();
        Runtime::Get().clock.Restore();
        g.toggleCooldown = 0.0f;
    }
};

TEST_F(GameClockTest, LongFramesAreClampedForTheSimulationButNotTheCooldown) {
    Game& g = Game::Instance();
    EXPECT_FLOAT_EQ(g.AdvanceClock(0.5), 0.06666667f);
    EXPECT_FLOAT_EQ(g.toggleCooldown, 0.5f);
    EXPECT_FLOAT_EQ(g.AdvanceClock(1.0 / 60.0), 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(g.AdvanceClock(-0.1), 0.0f);
}

TEST_F(GameClockTest, TimeScaleIsClampedSoTimeNeverStops) {
    // Held where a request put it (no recovery in between), the scale is
    // kept within [1e-07, 20].
    Game& g = Game::Instance();
    GameClock& clock = Runtime::Get().clock;
    struct Case {
        float scale, clamped;
    } cases[] = {{0.0f, 1e-07f}, {-3.0f, 1e-07f}, {100.0f, 20.0f}, {0.5f, 0.5f}};
    for (const Case& c : cases) {
        g.timeScale = c.scale;
        clock.Steer(c.scale, 1.0f, 0.0f);
        g.AdvanceClock(0.001);
        EXPECT_FLOAT_EQ(g.timeScale, c.clamped) << c.scale;
    }
    g.timeScale = 0.25f;
    clock.Steer(0.25f, 1.0f, 0.0f);
    EXPECT_FLOAT_EQ(g.AdvanceClock(0.04), 0.01f);
}

TEST_F(GameClockTest, SlowingTimeApproachesZeroButNeverPassesIt) {
    // Steps as long as the game ever takes, at every scale: slowing down
    // leaves time running, however long the frame.
    GameClock& clock = Runtime::Get().clock;
    for (const double frame : {1.0 / 60.0, 1.0 / 40.0, 0.06, 0.5}) {
        for (const float start : {0.01f, 0.5f, 1.0f, 2.5f, 20.0f}) {
            clock.scale = start;
            clock.Steer(start, 1.0f, 0.0f);
            for (int i = 0; i < 600; ++i) {
                const float dt = clock.Advance(frame);
                const float before = clock.scale;
                clock.Steer(0.0f, 20.0f, dt);
                ASSERT_GT(clock.scale, 0.0f) << frame << " " << start;
                ASSERT_LE(clock.scale, before);
            }
            EXPECT_GT(clock.Advance(frame), 1.1920929e-07f) << "time still runs";
        }
    }
    clock.Restore();
}

TEST_F(GameClockTest, UnaskedTimeComesBackWithinHalfASecondOfRealTime) {
    GameClock& clock = Runtime::Get().clock;
    struct Case {
        double frame;
        float from;
    } cases[] = {{1.0 / 60.0, 1e-07f}, {1.0 / 40.0, 1e-07f}, {1.0 / 60.0, 0.3f},
                 {0.2, 1e-07f},        {1.0 / 60.0, 2.5f},   {1.0 / 40.0, 20.0f}};
    for (const Case& c : cases) {
        clock.scale = c.from;
        double seconds = 0.0;
        while (std::fabs(clock.scale - 1.0f) > 0.01f * std::max(1.0f, c.from) && seconds < 5.0) {
            clock.Advance(c.frame);
            seconds += c.frame;
        }
        // Measured at the end of a frame: half a second, and the frame.
        EXPECT_LE(seconds, 0.5 + c.frame) << "from " << c.from << " at frames of " << c.frame;
    }
    // A request made during a frame holds the recovery off for the next.
    clock.scale = 0.3f;
    clock.Steer(0.0f, 20.0f, 0.0f);
    clock.Advance(1.0 / 60.0);
    EXPECT_FLOAT_EQ(clock.scale, 0.3f);
    clock.Advance(1.0 / 60.0);
    EXPECT_GT(clock.scale, 0.3f);
    clock.Restore();
}

TEST(FrameTablesTest, CountThenDurations) {
    const auto tables = Game::BuildFrameTables({{4, 0.1f}, {2, 0.1f, 0.2f, 0.3f}, {3, 0.1f, 0.2f}});
    ASSERT_EQ(tables.size(), 3u);
    ASSERT_EQ(tables[0].size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(tables[0][i].offset, 0.25f * static_cast<float>(i));
        EXPECT_EQ(tables[0][i].index, i);
        EXPECT_FLOAT_EQ(tables[0][i].duration, 0.1f);
    }
    ASSERT_EQ(tables[1].size(), 2u);
    EXPECT_FLOAT_EQ(tables[1][0].duration, 0.1f);
    EXPECT_FLOAT_EQ(tables[1][1].duration, 0.2f);
    // Fewer durations than frames: every frame takes the first.
    ASSERT_EQ(tables[2].size(), 3u);
    EXPECT_FLOAT_EQ(tables[2][2].duration, 0.1f);
    EXPECT_TRUE(Game::BuildFrameTables({{}})[0].empty());
}

TEST(FrameTablesTest, NormalMapNames) {
    EXPECT_EQ(Game::NormalMapName("bioenemy_idle.png"), "bioenemy_idle_n.png");
    EXPECT_EQ(Game::NormalMapName("trainingdummy.png"), "trainingdummy_n.png");
    EXPECT_EQ(Game::NormalMapName("rooms/core_terrain.png"), "rooms/core_terrain_n.png");
}

} // namespace

namespace {

TEST_F(GameClockTest, ABlowHoldsTheGameStillForItsRealTimeThenTimeGoesOn) {
    GameClock& clock = Runtime::Get().clock;
    clock.HitStop(0.05f);
    clock.HitStop(0.02f); // a shorter hold does not cut the longer one
    int held = 0;
    while (clock.Advance(1.0 / 60.0) == 0.0f && held < 100)
        ++held;
    EXPECT_NEAR(held, 3, 1) << "0.05 s at 60 frames a second";
    EXPECT_FLOAT_EQ(clock.Advance(1.0 / 60.0), 1.0f / 60.0f);
    // The player may turn it off.
    clock.hitStops = false;
    clock.HitStop(0.09f);
    EXPECT_GT(clock.Advance(1.0 / 60.0), 0.0f);
    clock.hitStops = true;
    clock.HitStop(0.09f);
    clock.Restore(); // the pause ends any hold
    EXPECT_GT(clock.Advance(1.0 / 60.0), 0.0f);
}

TEST(HitFeelTest, HeavierBlowsWeighMoreAndLightHitsNeverShake) {
    // The decisions, not the figures: holds grow from light hits to heavy
    // ones to kills, stay between 30 and 90 ms, and only light hits leave
    // the view still.
    EXPECT_LT(FeelOf(Blow::LightHit).hold, FeelOf(Blow::HeavyHit).hold);
    EXPECT_LT(FeelOf(Blow::HeavyHit).hold, FeelOf(Blow::Kill).hold);
    EXPECT_GT(FeelOf(Blow::BatBack).hold, FeelOf(Blow::LightHit).hold);
    for (Blow b : {Blow::LightHit, Blow::HeavyHit, Blow::Kill, Blow::DashHit, Blow::BatBack}) {
        EXPECT_GE(FeelOf(b).hold, 0.03f);
        EXPECT_LE(FeelOf(b).hold, 0.09f);
    }
    EXPECT_EQ(FeelOf(Blow::LightHit).trauma, 0.0f);
    for (Blow b : {Blow::HeavyHit, Blow::Kill, Blow::BladeHurt, Blow::Explosion})
        EXPECT_GT(FeelOf(b).trauma, 0.0f);
    // Blade's own hurt shakes but does not hold the game: he must react.
    EXPECT_EQ(FeelOf(Blow::BladeHurt).hold, 0.0f);
}

} // namespace
