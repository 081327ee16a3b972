// The room camera's follow rule.
#include "render/Camera.h"

#include "game/Game.h"

#include <gtest/gtest.h>

namespace {

TEST(CameraTest, StartsAtTheOriginWithHalfTheRenderSize) {
    Game& game = Game::Instance();
    game.screenWidth = 640;
    game.screenHeight = 360;
    Camera camera;
    EXPECT_EQ(camera.current, (Vec2{0.0f, 0.0f}));
    EXPECT_EQ(camera.mode, 1);
    EXPECT_EQ(camera.halfExtent, (Vec2{320.0f, 180.0f}));
}

TEST(CameraTest, FollowsOnlyBeyondFiveUnits) {
    struct Case {
        Vec2 target;
        int32_t mode;
        Vec2 expected; // after one update of 0.1 s from the origin
    };
    const Case cases[] = {
        {{5.0f, 0.0f}, 1, {0.0f, 0.0f}},   // exactly 5 away: stays
        {{3.0f, 4.0f}, 1, {0.0f, 0.0f}},   // 5 away diagonally: stays
        {{6.0f, 0.0f}, 1, {1.2f, 0.0f}},   // slow: 2 per second
        {{0.0f, -6.0f}, 0, {0.0f, -2.4f}}, // fast: 4 per second
    };
    for (const Case& c : cases) {
        Camera camera;
        camera.target = c.target;
        camera.mode = c.mode;
        camera.Update(0.1f);
        EXPECT_FLOAT_EQ(camera.current.x, c.expected.x);
        EXPECT_FLOAT_EQ(camera.current.y, c.expected.y);
        EXPECT_EQ(camera.position, camera.current);
        EXPECT_FLOAT_EQ(camera.matrix[2], c.expected.x);
        EXPECT_FLOAT_EQ(camera.matrix[5], c.expected.y);
    }
}

TEST(CameraTest, CarriesItsChildAlong) {
    Camera camera;
    GameObject child;
    child.SetPosition(10.0f, 10.0f);
    camera.child = &child;
    camera.target = {100.0f, 0.0f};
    camera.Update(0.1f);
    // The child is placed relative to the camera that moved.
    EXPECT_FLOAT_EQ(child.matrix[2], 10.0f - camera.position.x);
}

} // namespace
