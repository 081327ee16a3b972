// The HUD bars: width from the fill, the attention pulse, and the player's
// two bars in the top-left corner fed by pushes.
#include "core/Tween.h"
#include "ui/PlayerHUD.h"

#include "gl/RenderFixture.h"

#include <cmath>

namespace {

constexpr RenderColor kBase{1.0f, 0.2f, 0.2f, 1.0f};
constexpr RenderColor kPulse{1.0f, 0.6f, 0.6f, 1.0f};

class HudTest : public RenderTest {
protected:
    void TearDown() override {
        ClearTweens();
        RenderTest::TearDown();
    }
};

TEST_F(HudTest, TheBarShrinksTowardsItsLeftEnd) {
    HUDBar bar(-100.0f, 50.0f, 100.0f, 8.0f, kBase, kPulse);
    struct Case {
        float fill, width, centre;
    } cases[] = {{1.0f, 100.0f, -50.0f}, {0.5f, 50.0f, -75.0f}, {0.0f, 0.0f, -100.0f}};
    for (const Case& c : cases) {
        bar.fill = c.fill;
        bar.Update(1.0f / 60.0f, nullptr);
        EXPECT_FLOAT_EQ(bar.scale.x, c.width) << c.fill;
        EXPECT_FLOAT_EQ(bar.scale.y, 8.0f);
        EXPECT_FLOAT_EQ(bar.position.x, c.centre) << c.fill;
        EXPECT_FLOAT_EQ(bar.position.y, 50.0f);
        // The matrix follows in the same update.
        EXPECT_FLOAT_EQ(bar.matrix[0], c.width);
        EXPECT_FLOAT_EQ(bar.matrix[2], c.centre);
    }
}

TEST_F(HudTest, APulsingBarCyclesEveryQuarterTurnOfASecondAndSnapsBackWhenStopped) {
    HUDBar bar(0.0f, 0.0f, 24.0f, 4.0f, kBase, kPulse);
    bar.pulsing = true;
    bar.Update(0.0f, nullptr);
    EXPECT_FLOAT_EQ(bar.tint[1], 0.6f) << "phase 0 shows the pulse colour";
    const float period = 6.283185f / 8.0f; // 0.785 s
    bar.Update(period / 2.0f, nullptr);
    EXPECT_NEAR(bar.tint[1], 0.2f, 1e-5f) << "half a cycle: the base colour";
    bar.Update(period / 4.0f, nullptr);
    EXPECT_NEAR(bar.tint[1], 0.4f, 1e-5f) << "three quarters: half way";
    bar.Update(period / 4.0f, nullptr);
    EXPECT_NEAR(bar.tint[1], 0.6f, 1e-4f) << "one whole cycle";
    EXPECT_LE(bar.phase, 6.283185f) << "the phase wraps";

    bar.Update(period / 4.0f, nullptr);
    const float phase = bar.phase;
    bar.pulsing = false;
    bar.Update(1.0f / 60.0f, nullptr);
    EXPECT_FLOAT_EQ(bar.tint[1], 0.2f) << "base colour at once";
    EXPECT_FLOAT_EQ(bar.phase, phase) << "kept for the next pulse";
}

TEST_F(HudTest, DestroyingABarDropsTheTweenOnItsFill) {
    auto bar = std::make_unique<HUDBar>(0.0f, 0.0f, 24.0f, 4.0f, kBase, kPulse);
    AddFloatTween(&bar->fill, 0.0f, 2, nullptr, 0.2f);
    bar.reset();
    EXPECT_TRUE(FloatTweens().empty());
}

TEST_F(HudTest, ThePlayersBarsSitInTheTopLeftCornerAndFollowThePushes) {
    PlayerHUD hud; // render size 320 x 240
    EXPECT_FLOAT_EQ(hud.halfWidth, 160.0f);
    EXPECT_FLOAT_EQ(hud.health.left, -130.0f) << "30 units from the left edge";
    EXPECT_FLOAT_EQ(hud.health.y, 95.0f) << "25 units below the top";
    EXPECT_FLOAT_EQ(hud.special.y, 80.0f);
    EXPECT_FLOAT_EQ(hud.frame.position.x, -86.0f);
    EXPECT_FLOAT_EQ(hud.frame.position.y, 88.0f);
    EXPECT_FLOAT_EQ(hud.frame.scale.x, 120.0f);

    struct Case {
        bool health;
        float value;
        bool pulse;
    } cases[] = {{true, 0.5f, false}, {true, 0.2f, true},   {true, 0.1f, true},
                 {false, 1.0f, true}, {false, 0.25f, true}, {false, 0.2f, false}};
    for (const Case& c : cases) {
        HUDBar& bar = c.health ? hud.health : hud.special;
        if (c.health)
            hud.ShowHealth(c.value);
        else
            hud.ShowSpecial(c.value);
        EXPECT_EQ(bar.pulsing, c.pulse) << c.health << " " << c.value;
        if (!c.pulse) {
            EXPECT_FLOAT_EQ(bar.tint[2], bar.baseColor.b);
        }
        for (int i = 0; i < 15; ++i) {
            UpdateTweens(1.0f / 60.0f, 1.0f);
            hud.Update(1.0f / 60.0f);
        }
        EXPECT_FLOAT_EQ(bar.fill, c.value) << "eased there in 0.2 s";
        EXPECT_FLOAT_EQ(bar.scale.x, 100.0f * c.value);
    }
}

} // namespace
