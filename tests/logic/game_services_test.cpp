// Game's clock, frame tables and file-name services (no window needed).
#include "game/Game.h"

#include <gtest/gtest.h>

namespace {

class GameClockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Game& g = Game::Instance();
        g.timeScale = 1.0f;
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
    Game& g = Game::Instance();
    struct Case {
        float scale, clamped;
    } cases[] = {{0.0f, 1e-07f}, {-3.0f, 1e-07f}, {100.0f, 20.0f}, {0.5f, 0.5f}};
    for (const Case& c : cases) {
        g.timeScale = c.scale;
        g.AdvanceClock(0.001);
        EXPECT_FLOAT_EQ(g.timeScale, c.clamped) << c.scale;
    }
    g.timeScale = 0.25f;
    EXPECT_FLOAT_EQ(g.AdvanceClock(0.04), 0.01f);
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
