// The graphics core on real OpenGL: programs and camera uploads, meshes,
// colours, textures, drawing, and the reports.
#include "engine/QNGraphics.h"
#include "engine/QNSystem.h"

#include "support/TestSupport.h"

#include <array>
#include <gtest/gtest.h>
#include <stb/stb_image.h>

namespace {

class GraphicsCoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window.ok) << "no OpenGL window"; }
    GlWindow window{320, 240};
};

QNGfxMesh* UnitQuad(uint32_t color) {
    QNGfxMeshStart();
    QNGfxTriAdd(-0.5f, -0.5f, color, 0, 1, 0.5f, -0.5f, color, 1, 1, -0.5f, 0.5f, color, 0, 0);
    QNGfxTriAdd(0.5f, -0.5f, color, 1, 1, 0.5f, 0.5f, color, 1, 0, -0.5f, 0.5f, color, 0, 0);
    return QNGfxMeshEnd();
}

// RGBA of the pixel at window (x, y), y measured from the top.
std::array<int, 4> PixelAt(int x, int y) {
    const auto p = QNGfxReadPixels(0, 0, 320, 240);
    const size_t at = (static_cast<size_t>(y) * 320 + x) * 4;
    return {p[at], p[at + 1], p[at + 2], p[at + 3]};
}

TEST_F(GraphicsCoreTest, SwitchingToTheCurrentProgramUploadsNothing) {
    QNGfxSetRenderMode(0);
    const uint32_t before = QNGfxGetCameraUploadCount();
    QNGfxSetRenderMode(2);
    QNGfxSetRenderMode(2);
    EXPECT_EQ(QNGfxGetCameraUploadCount(), before + 1);
    QNGfxSetRenderMode(1);
    EXPECT_EQ(QNGfxGetCameraUploadCount(), before + 2);
    QNGfxSetRenderMode(7); // ignored
    EXPECT_EQ(QNGfxGetRenderMode(), 1);
}

TEST_F(GraphicsCoreTest, VisibleRectangleFollowsTheCamera) {
    QNGfxSetCamPosition(100, 50);
    EXPECT_FLOAT_EQ(gQNWinMinX, -60);
    EXPECT_FLOAT_EQ(gQNWinMaxX, 260);
    EXPECT_FLOAT_EQ(gQNWinMinY, -70);
    EXPECT_FLOAT_EQ(gQNWinMaxY, 170);
    float x, y;
    QNGfxGetCamPosition(&x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
}

TEST_F(GraphicsCoreTest, PackedColoursBecomeFloats) {
    QNGfxMesh* mesh = UnitQuad(0x80FF0000u);
    ASSERT_EQ(mesh->vertexCount, 6u);
    const std::vector<float> colors = QNGfxMeshReadColors(mesh);
    EXPECT_FLOAT_EQ(colors[0], 1.0f);
    EXPECT_FLOAT_EQ(colors[1], 0.0f);
    EXPECT_FLOAT_EQ(colors[2], 0.0f);
    EXPECT_FLOAT_EQ(colors[3], 0.5019608f);
    EXPECT_EQ(QNGfxStagingCount(), 0u) << "the staging list empties once the mesh is built";
    QNGfxMeshFree(mesh);
}

TEST_F(GraphicsCoreTest, ColourProgramDrawsTintedMeshWhereTheTransformPutsIt) {
    QNGfxSetCamPosition(0, 0);
    QNGfxSetRenderMode(0);
    QNGfxSetRenderMode(1);
    QNGfxSetBackgroundColor(0, 0, 0);
    QNGfxStart();
    QNGfxMesh* mesh = UnitQuad(0xFFFFFFFFu);
    const float m[9] = {100, 0, -80, 0, 60, 0, 0, 0, 1}; // 100 x 60 box left of centre
    QNGfxSetTransform(m);
    QNGfxSetTintColor(0, 1, 0, 1);
    QNGfxSetBlendColor(0, 0, 0, 0);
    QNGfxSetTransparency(1);
    QNGfxMeshDraw(mesh, 3);
    const auto inside = PixelAt(160 - 80, 120);
    const auto outside = PixelAt(160 + 80, 120);
    EXPECT_EQ(inside[0], 0);
    EXPECT_EQ(inside[1], 255);
    EXPECT_EQ(outside[1], 0);
    QNGfxMeshFree(mesh);
}

TEST_F(GraphicsCoreTest, TexturesLoadNearestAndOffsetsWrapOnce) {
    ScratchGameDir dir;
    const unsigned char red[4] = {255, 0, 0, 255};
    ASSERT_TRUE(QNGfxWritePNG("red.png", red, 1, 1));
    QNGfxTexture* t = QNGfxTextureLoad("red.png");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->width, 1);
    EXPECT_STREQ(t->name, "red.png");
    QNGfxSetRenderMode(2);
    QNGfxTextureSet(t, 2.5f, 1.0f);
    float u, v;
    QNGfxGetTextureOffset(&u, &v);
    EXPECT_FLOAT_EQ(u, 0.5f);
    EXPECT_FLOAT_EQ(v, 1.0f);
    QNGfxTextureUnload(t);

    QNGfxTexture* missing = QNGfxTextureLoad("no-such.png");
    ASSERT_NE(missing, nullptr) << "an unreadable file gives an empty texture";
    EXPECT_EQ(missing->width, 0);
    QNGfxTextureUnload(missing);
    EXPECT_EQ(QNGfxTextureLoad(std::string(300, 'x').c_str()), nullptr);
}

TEST_F(GraphicsCoreTest, ScreenshotsAreOpaqueWhateverAlphaTheFrameLeft) {
    // Drawing leaves the back buffer's alpha anywhere between 0 and 1; the
    // window shows the colours alone, and so must the picture saved of it.
    ScratchGameDir dir;
    glClearColor(0.2f, 0.4f, 0.6f, 0.25f);
    glClear(GL_COLOR_BUFFER_BIT);
    QNGfxRequestCapture("shot.png");
    QNGfxEnd();
    int w = 0, h = 0, channels = 0;
    unsigned char* pixels = stbi_load("shot.png", &w, &h, &channels, 0);
    ASSERT_NE(pixels, nullptr) << "no screenshot written";
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    EXPECT_EQ(channels, 3) << "no alpha channel: nothing for a viewer to blend";
    EXPECT_NEAR(pixels[0], 51, 1);
    EXPECT_NEAR(pixels[1], 102, 1);
    EXPECT_NEAR(pixels[2], 153, 1);
    stbi_image_free(pixels);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
}

TEST_F(GraphicsCoreTest, InvalidModesAreReportedAndIgnored) {
    QNGfxMesh* mesh = UnitQuad(0xFFFFFFFFu);
    testing::internal::CaptureStdout();
    QNGfxMeshDraw(mesh, 4);
    QNGfxSetTextureMode(3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Mesh Draw Mode 4 is invalid!\nUnsupported texture mode!\n");
    QNGfxMeshFree(mesh);
}

TEST(GraphicsCoreDeathTest, OverfillingTheStagingListHaltsWithAClearReport) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            for (uint32_t i = 0; i <= kQNGfxStagingVertices; ++i)
                QNGfxVertexAdd(0, 0, 0, 0, 0);
        },
        ::testing::ExitedWithCode(1), "staging vertex list is full");
}

} // namespace

namespace {

TEST(GraphicsCoreLifecycleTest, WindowsCanBeOpenedAndClosedManyTimesInOneProcess) {
    // Tools and test runs open a window per job; the twentieth must work as
    // well as the first.
    for (int i = 0; i < 20; ++i) {
        GlWindow window(160, 120);
        ASSERT_TRUE(window.ok) << "window " << i;
        QNGfxSetRenderMode(0);
        QNGfxSetRenderMode(1);
        EXPECT_NE(QNGfxGetBuiltinProgram(1), 0u) << "window " << i;
    }
}

} // namespace
