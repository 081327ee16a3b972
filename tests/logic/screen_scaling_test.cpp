// The render size every window draws the world at, and where the finished
// picture lands in the window.
#include "core/ScreenScaling.h"

#include <gtest/gtest.h>

namespace {

TEST(ScreenScalingTest, TheRenderIs360HighAndAsWideAsTheWindowsShape) {
    const struct {
        int32_t w, h;
        RenderSize expected;
    } cases[] = {
        {1280, 720, {640, 360}},   {1920, 1080, {640, 360}}, {3840, 2160, {640, 360}},
        {800, 600, {480, 360}},    {1280, 800, {576, 360}},  {2560, 1080, {854, 360}},
        {1366, 768, {640, 360}},   {600, 800, {360, 360}}, // portrait: square, bordered
        {7680, 1080, {1280, 360}}, {0, 0, {640, 360}},     // unknown: the usual screen
    };
    for (const auto& c : cases) {
        const RenderSize r = RenderSizeFor(c.w, c.h);
        EXPECT_EQ(r.width, c.expected.width) << c.w << "x" << c.h;
        EXPECT_EQ(r.height, c.expected.height) << c.w << "x" << c.h;
    }
}

TEST(ScreenScalingTest, ThePictureIsCentredByWholeFactorsOrAsLargeAsFits) {
    using S = ScreenScaling;
    const struct {
        RenderSize render;
        int32_t w, h;
        S scaling;
        PictureRect expected;
    } cases[] = {
        {{640, 360}, 1280, 720, S::PixelPerfect, {0, 0, 1280, 720}},
        {{640, 360}, 1920, 1080, S::PixelPerfect, {0, 0, 1920, 1080}},
        {{640, 360}, 3840, 2160, S::Smooth, {0, 0, 3840, 2160}},
        // 2.13 fits: twice, and a border of 43 and 24 pixels.
        {{640, 360}, 1366, 768, S::PixelPerfect, {43, 24, 1280, 720}},
        {{640, 360}, 1366, 768, S::Smooth, {0, 0, 1365, 768}},
        {{480, 360}, 800, 600, S::PixelPerfect, {160, 120, 480, 360}},
        {{480, 360}, 800, 600, S::Smooth, {0, 0, 800, 600}},
        // A window narrower than the render's shape: bars above and below.
        {{640, 360}, 1000, 1000, S::Smooth, {0, 218, 1000, 563}},
        // Smaller than the picture: pixel-perfect shrinks it as smooth does.
        {{640, 360}, 320, 180, S::PixelPerfect, {0, 0, 320, 180}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " " +
                     ScalingName(c.scaling));
        const PictureRect p = FitPicture(c.render, c.w, c.h, c.scaling);
        EXPECT_EQ(p.x, c.expected.x);
        EXPECT_EQ(p.y, c.expected.y);
        EXPECT_EQ(p.width, c.expected.width);
        EXPECT_EQ(p.height, c.expected.height);
    }
}

TEST(ScreenScalingTest, WindowPointsMapToThePictureAndBack) {
    const RenderSize render{480, 360};
    const PictureRect picture = FitPicture(render, 800, 600, ScreenScaling::PixelPerfect);
    const struct {
        Vec2 window, screen;
    } cases[] = {
        {{400, 300}, {0, 0}},      // the middle
        {{160, 120}, {-240, 180}}, // the picture's top-left corner
        {{640, 480}, {240, -180}}, // its bottom-right corner
        {{0, 0}, {-400, 300}},     // the border is beyond the picture's edges
    };
    for (const auto& c : cases) {
        const Vec2 s = WindowToRender(c.window, picture, render);
        EXPECT_FLOAT_EQ(s.x, c.screen.x);
        EXPECT_FLOAT_EQ(s.y, c.screen.y);
        const Vec2 w = RenderToWindow(s, picture, render);
        EXPECT_FLOAT_EQ(w.x, c.window.x);
        EXPECT_FLOAT_EQ(w.y, c.window.y);
    }
}

TEST(ScreenScalingTest, ModesHaveNamesAndIds) {
    for (ScreenScaling s : {ScreenScaling::PixelPerfect, ScreenScaling::Smooth}) {
        ScreenScaling back =
            s == ScreenScaling::Smooth ? ScreenScaling::PixelPerfect : ScreenScaling::Smooth;
        ASSERT_TRUE(ScalingFromId(ScalingId(s), back));
        EXPECT_EQ(back, s);
    }
    EXPECT_STREQ(ScalingName(ScreenScaling::PixelPerfect), "Pixel-perfect");
    ScreenScaling unchanged = ScreenScaling::Smooth;
    EXPECT_FALSE(ScalingFromId("Pixel-perfect", unchanged));
    EXPECT_FALSE(ScalingFromId(nullptr, unchanged));
    EXPECT_EQ(unchanged, ScreenScaling::Smooth);
}

} // namespace
