// The room's tile mesh geometry and where its lights land on the screen.
#include "world/RoomRenderer.h"

#include <gtest/gtest.h>

namespace {

using LevelMap::RoomRenderer;
using LevelMap::TileQuad;

std::vector<TileQuad> Quads(int32_t width, int32_t height, std::vector<uint32_t> ids,
                            int32_t columns, int32_t rows) {
    RoomRenderer room;
    room.width = width;
    room.height = height;
    room.tiles = std::move(ids);
    room.tilesetColumns = columns;
    room.tilesetRows = rows;
    return room.TileQuads();
}

TEST(RoomRenderer, EachFilledCellIsOneQuadOverItsAtlasTile) {
    // A 2 x 1 layer (1, 0) on a 4 x 2 atlas: one quad, the atlas's first tile.
    const std::vector<TileQuad> one = Quads(2, 1, {1, 0}, 4, 2);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_FLOAT_EQ(one[0].x0, 0.0f);
    EXPECT_FLOAT_EQ(one[0].y0, -1.0f);
    EXPECT_FLOAT_EQ(one[0].x1, 1.0f);
    EXPECT_FLOAT_EQ(one[0].y1, 0.0f);
    EXPECT_FLOAT_EQ(one[0].u0, 0.0f);
    EXPECT_FLOAT_EQ(one[0].u1, 0.25f);
    EXPECT_FLOAT_EQ(one[0].v0, 0.0f);
    EXPECT_FLOAT_EQ(one[0].v1, 0.5f);

    // Rows run downwards from y 0; id 7 is the third tile of the atlas's
    // second row. Ids past the atlas draw nothing.
    const std::vector<TileQuad> grid = Quads(2, 2, {0, 9, 7, 0}, 4, 2);
    ASSERT_EQ(grid.size(), 1u);
    EXPECT_FLOAT_EQ(grid[0].x0, 0.0f);
    EXPECT_FLOAT_EQ(grid[0].y0, -2.0f);
    EXPECT_FLOAT_EQ(grid[0].y1, -1.0f);
    EXPECT_FLOAT_EQ(grid[0].u0, 0.5f);
    EXPECT_FLOAT_EQ(grid[0].v0, 0.5f);
    EXPECT_FLOAT_EQ(grid[0].v1, 1.0f);
}

TEST(RoomRenderer, ARoomWithoutAtlasOrTilesHasAnEmptyMesh) {
    EXPECT_TRUE(Quads(2, 1, {1, 1}, 0, 0).empty());
    EXPECT_TRUE(Quads(2, 1, {0, 0}, 4, 2).empty());
    EXPECT_TRUE(Quads(0, 0, {}, 4, 2).empty());
}

TEST(RoomRenderer, LightsArePlacedRelativeToTheCamera) {
    struct Case {
        Vec2 world, camera, point;
    } cases[] = {
        {{0, 0}, {0, 0}, {0.5f, 0.5f}},          // under the camera: screen centre
        {{160, 90}, {0, 0}, {1.0f, 1.0f}},       // top right corner of a 320 x 180 view
        {{100, -40}, {100, -40}, {0.5f, 0.5f}},  // the camera follows
        {{-160, 0}, {100, 0}, {-0.3125f, 0.5f}}, // off screen to the left
    };
    for (const Case& c : cases) {
        const Vec2 p = RoomRenderer::LightPoint(c.world, c.camera, 320.0f, 180.0f);
        EXPECT_FLOAT_EQ(p.x, c.point.x) << c.world.x << "," << c.world.y;
        EXPECT_FLOAT_EQ(p.y, c.point.y) << c.world.x << "," << c.world.y;
    }
}

} // namespace
