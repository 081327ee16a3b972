// Sprites and animations without drawing: construction, frame stepping,
// one-shots, switching and the bounds kept when entity code writes indices.
#include "engine/QNGraphics.h"
#include "render/LightedAnimation2D.h"
#include "render/Resources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Stand-ins: stepping never touches meshes or textures.
QNGfxMesh meshA{};
QNGfxTexture texA{}, texB{}, texC{};

Animation2D MakeAnimation(std::vector<std::vector<float>> lists) {
    std::vector<QNGfxTexture*> textures(lists.size(), &texA);
    return Animation2D({&meshA}, textures, Resources::BuildFrameTables(lists), 96.0f, 96.0f);
}

// Frame indices seen after each of `updates` steps of dt.
std::vector<uint32_t> Step(Animation2D& a, float dt, int updates) {
    std::vector<uint32_t> seen;
    for (int i = 0; i < updates; ++i) {
        a.Update(dt, nullptr);
        seen.push_back(a.frame);
    }
    return seen;
}

TEST(SpriteTest, FewerMeshesThanTexturesRepeatTheLastMesh) {
    Sprite2D sprite({&meshA}, {&texA, &texB, &texC}, 10.0f, 20.0f, {1, 0.5f, 0.25f, 1});
    EXPECT_EQ(sprite.meshes, (std::vector<QNGfxMesh*>{&meshA, &meshA, &meshA}));
    EXPECT_EQ(sprite.scale, (Vec2{10.0f, 20.0f}));
    EXPECT_EQ(sprite.tint[1], 0.5f);
    EXPECT_TRUE(sprite.dirty & 1); // the first update builds the matrix
    sprite.SetPosition(3.0f, 4.0f);
    sprite.Update(0.0f, nullptr);
    EXPECT_FLOAT_EQ(sprite.matrix[0], 10.0f);
    EXPECT_FLOAT_EQ(sprite.matrix[2], 3.0f);
}

TEST(AnimationTest, StartsPlayingWhiteAndDirty) {
    LightedAnimation2D a(&meshA, &texA, &texB, Resources::BuildFrameTables({{4, 0.1f}})[0]);
    EXPECT_TRUE(a.playing);
    EXPECT_FALSE(a.playOnce);
    EXPECT_EQ(a.scale, (Vec2{96.0f, 96.0f}));
    EXPECT_EQ(a.tint[3], 1.0f);
    EXPECT_EQ(a.normalTextures, (std::vector<QNGfxTexture*>{&texB}));
    EXPECT_TRUE(a.dirty & 1);
}

TEST(AnimationTest, AFrameOfATenthLastsSevenUpdatesAtSixtyPerSecond) {
    Animation2D a = MakeAnimation({{3, 0.1f}});
    const std::vector<uint32_t> seen = Step(a, 1.0f / 60.0f, 15);
    EXPECT_EQ(seen, (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 2, 2}));
}

TEST(AnimationTest, ALongStepAdvancesOneFrameAtMost) {
    Animation2D a = MakeAnimation({{4, 0.1f}});
    EXPECT_EQ(Step(a, 1.0f, 5), (std::vector<uint32_t>{1, 2, 3, 0, 1}));
    EXPECT_EQ(a.time, 0.0f); // the excess is dropped
}

TEST(AnimationTest, FramesTakeTheirOwnDurations) {
    Animation2D a = MakeAnimation({{3, 0.05f, 0.2f, 0.05f}});
    EXPECT_EQ(Step(a, 0.06f, 7), (std::vector<uint32_t>{1, 1, 1, 1, 2, 0, 1}));
}

TEST(AnimationTest, AOneShotStopsOnItsLastFrame) {
    Animation2D a = MakeAnimation({{3, 0.1f}, {2, 0.1f}});
    a.playing = a.playOnce = true;
    EXPECT_EQ(Step(a, 0.2f, 5), (std::vector<uint32_t>{1, 2, 2, 2, 2}));
    EXPECT_FALSE(a.playing);
    EXPECT_FALSE(a.playOnce);

    a.SetAnimation(0); // the current one: not restarted
    EXPECT_FALSE(a.playing);
    EXPECT_EQ(a.frame, 2u);

    a.SetAnimation(1);
    EXPECT_TRUE(a.playing);
    EXPECT_FALSE(a.playOnce);
    EXPECT_EQ(a.animation, 1u);
    EXPECT_EQ(a.frame, 0u);
    EXPECT_EQ(a.time, 0.0f);
}

TEST(AnimationTest, IndicesWrittenOutOfRangeArePulledBack) {
    Animation2D a = MakeAnimation({{3, 0.1f}, {2, 0.1f}});
    a.SetAnimation(7); // no such animation: ignored
    EXPECT_EQ(a.animation, 0u);

    a.animation = 9;
    a.frame = 40;
    a.Update(0.01f, nullptr);
    EXPECT_EQ(a.animation, 1u);
    EXPECT_EQ(a.frame, 1u);

    // Nothing to play: stepping leaves it alone.
    Animation2D empty({&meshA}, {&texA}, {}, 1.0f, 1.0f);
    empty.Update(1.0f, nullptr);
    EXPECT_EQ(empty.frame, 0u);
    EXPECT_EQ(empty.AnimationCount(), 0u);
}

TEST(AnimationTest, AStoppedAnimationOnlyMoves) {
    Animation2D a = MakeAnimation({{3, 0.1f}});
    a.playing = false;
    a.SetPosition(5.0f, 6.0f);
    a.Update(1.0f, nullptr);
    EXPECT_EQ(a.frame, 0u);
    EXPECT_FLOAT_EQ(a.matrix[5], 6.0f);
}

} // namespace

TEST(FrameTableTest, CountsReadFromFilesAreHeldBeforeTheyBuildTables) {
    // 2147483647 overflowed the conversion to an index; 100000000 built
    // gigabytes of records.
    const struct {
        float count;
        size_t frames;
    } cases[] = {{3.0f, 3},
                 {256.0f, 256},
                 {100000000.0f, size_t(Resources::kMaxStripFrames)},
                 {2147483647.0f, size_t(Resources::kMaxStripFrames)},
                 {1e30f, size_t(Resources::kMaxStripFrames)},
                 {std::numeric_limits<float>::infinity(), size_t(Resources::kMaxStripFrames)},
                 {std::nanf(""), 0},
                 {-3.0f, 0},
                 {0.0f, 0}};
    for (const auto& c : cases) {
        const std::vector<FrameTable> tables = Resources::BuildFrameTables({{c.count, 0.1f}});
        ASSERT_EQ(tables.size(), 1u);
        EXPECT_EQ(tables[0].size(), c.frames) << c.count;
        if (!tables[0].empty()) {
            EXPECT_FLOAT_EQ(tables[0].back().offset,
                            float(c.frames - 1) * (1.0f / float(c.frames)));
        }
    }
}
