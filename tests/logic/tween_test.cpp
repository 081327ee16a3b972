// Tween stepping: eases, completion, delays, callbacks and the lists.
#include "core/Tween.h"

#include <gtest/gtest.h>

namespace {

class TweenTest : public ::testing::Test {
protected:
    void SetUp() override { ClearTweens(); }
    void TearDown() override { ClearTweens(); }
};

TEST(TweenEaseTest, CurvesAtKnownPoints) {
    struct Case {
        int ease;
        float t;
        float expected;
    } cases[] = {
        {0, 0.5f, 0.5f}, {1, 0.5f, 0.875f}, {2, 0.5f, 0.5f}, {3, 0.8f, 1.28f},     {1, 1.0f, 1.0f},
        {2, 1.0f, 1.0f}, {3, 1.0f, 1.0f},   {7, 0.5f, 0.0f}, {2, 0.25f, 0.15625f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(TweenEase(c.ease, c.t), c.expected, 1e-5f) << "ease " << c.ease << " t " << c.t;
}

TEST_F(TweenTest, HalfSecondTweenFinishesOnItsFourthStepExactly) {
    float smooth = 10.0f, fast = 10.0f;
    AddFloatTween(&smooth, 20.0f, 2, nullptr, 0.5f);
    AddFloatTween(&fast, 20.0f, 1, nullptr, 0.5f);
    UpdateTweens(0.125f, 1.0f);
    UpdateTweens(0.125f, 1.0f);
    EXPECT_NEAR(smooth, 15.0f, 1e-4f);
    EXPECT_NEAR(fast, 18.75f, 1e-4f);
    UpdateTweens(0.125f, 1.0f);
    EXPECT_EQ(FloatTweens().size(), 2u);
    UpdateTweens(0.125f, 1.0f);
    EXPECT_EQ(smooth, 20.0f);
    EXPECT_EQ(fast, 20.0f);
    EXPECT_TRUE(FloatTweens().empty());
}

TEST_F(TweenTest, TimeScaleAppliesTwice) {
    // The frame time is already scaled by 0.5 and the tween scales again:
    // a quarter of real time.
    float v = 0.0f;
    AddFloatTween(&v, 1.0f, 0, nullptr, 1.0f);
    UpdateTweens(0.5f * 0.5f, 0.5f);
    EXPECT_NEAR(v, 0.125f, 1e-5f);
}

TEST_F(TweenTest, DelayHoldsLastInterpolatedValueThenCallsBack) {
    float v = 0.0f;
    int calls = 0;
    AddFloatTween(
        &v, 1.0f, 0, [&] { ++calls; }, 0.3f, 1.0f);
    UpdateTweens(0.2f, 1.0f);
    const float held = v;
    EXPECT_NEAR(held, 2.0f / 3.0f, 1e-5f);
    UpdateTweens(0.2f, 1.0f); // interpolation over, delay starts
    EXPECT_EQ(v, held);
    EXPECT_EQ(calls, 0);
    UpdateTweens(0.5f, 1.0f);
    EXPECT_EQ(v, held);
    UpdateTweens(0.5f, 1.0f);
    EXPECT_EQ(v, 1.0f);
    EXPECT_EQ(calls, 1);
    UpdateTweens(0.5f, 1.0f);
    EXPECT_EQ(calls, 1);
}

TEST_F(TweenTest, VectorsAndColoursMoveEveryComponent) {
    float pos[2] = {0.0f, 10.0f};
    float color[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    const float to[4] = {0.0f, 0.5f, 1.0f, 1.0f};
    AddVec2Tween(pos, 10.0f, 0.0f, 0, nullptr, 1.0f);
    AddColorTween(color, to, 0, nullptr, 1.0f);
    UpdateTweens(0.5f, 1.0f);
    EXPECT_NEAR(pos[0], 5.0f, 1e-5f);
    EXPECT_NEAR(pos[1], 5.0f, 1e-5f);
    EXPECT_NEAR(color[0], 0.5f, 1e-5f);
    EXPECT_NEAR(color[1], 0.75f, 1e-5f);
    EXPECT_NEAR(color[2], 1.0f, 1e-5f);
    EXPECT_NEAR(color[3], 0.5f, 1e-5f);
}

TEST_F(TweenTest, OvershootIsPassedOnUnclamped) {
    float opacity = 0.0f;
    AddFloatTween(&opacity, 1.0f, 3, nullptr, 1.0f);
    UpdateTweens(0.8f, 1.0f);
    EXPECT_NEAR(opacity, 1.28f, 1e-4f);
}

TEST_F(TweenTest, CallbackMayAppendAndTheNewTweenStepsInTheSameWalk) {
    float a = 0.0f, b = 0.0f;
    AddFloatTween(
        &a, 1.0f, 0, [&] { AddFloatTween(&b, 1.0f, 0, nullptr, 1.0f); }, 0.1f);
    UpdateTweens(0.2f, 1.0f);
    EXPECT_EQ(a, 1.0f);
    EXPECT_NEAR(b, 0.2f, 1e-5f);
    EXPECT_EQ(FloatTweens().size(), 1u);
}

TEST_F(TweenTest, FinishingTweensDoNotDisturbTheOthers) {
    float v[4] = {0, 0, 0, 0};
    AddFloatTween(&v[0], 1.0f, 0, nullptr, 0.1f);
    AddFloatTween(&v[1], 1.0f, 0, nullptr, 1.0f);
    AddFloatTween(&v[2], 1.0f, 0, nullptr, 0.1f);
    AddFloatTween(&v[3], 1.0f, 0, nullptr, 1.0f);
    UpdateTweens(0.5f, 1.0f);
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[2], 1.0f);
    EXPECT_NEAR(v[1], 0.5f, 1e-5f);
    EXPECT_NEAR(v[3], 0.5f, 1e-5f);
    EXPECT_EQ(FloatTweens().size(), 2u);
}

TEST_F(TweenTest, RemoveAndClearDropCallbacksUnrun) {
    float a = 0.0f, b = 0.0f;
    int calls = 0;
    AddFloatTween(
        &a, 1.0f, 0, [&] { ++calls; }, 0.1f);
    AddFloatTween(
        &b, 1.0f, 0, [&] { ++calls; }, 0.1f);
    AddFloatTween(
        &a, 2.0f, 0, [&] { ++calls; }, 0.1f);
    RemoveTweens(&a);
    ASSERT_EQ(FloatTweens().size(), 1u);
    EXPECT_EQ(FloatTweens()[0].target, &b);
    ClearTweens();
    UpdateTweens(1.0f, 1.0f);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(a, 0.0f);
    EXPECT_EQ(b, 0.0f);
}

TEST_F(TweenTest, ASecondTweenOnTheSameValueStartsFromItsCurrentValue) {
    float opacity = 0.0f;
    AddFloatTween(&opacity, 1.0f, 0, nullptr, 1.0f);
    UpdateTweens(0.5f, 1.0f);
    AddFloatTween(&opacity, 1.0f, 0, nullptr, 0.5f);
    EXPECT_NEAR(FloatTweens()[1].from[0], 0.5f, 1e-5f);
}

} // namespace
