// A whole level frame on real OpenGL: animated, normal-mapped sprites lit by
// two lights, text and particles, passed through the chain in the order the
// level scene uses. The picture is saved as render_scene.png in the build
// directory for a person to look at.
#include "game/Game.h"
#include "render/FontAtlas.h"
#include "render/LightedAnimation2D.h"
#include "render/ParticleSystem.h"
#include "render/PostProcessor.h"
#include "render/Resources.h"
#include "render/TextSprite.h"

#include "gl/RenderFixture.h"

#include <cmath>

namespace {

constexpr int kFrame = 32; // texels per frame of the test strips

// A four-frame strip of a round figure that bobs, and its normal map: the
// normals of a dome, so light wraps round it.
Rgba FigureTexel(int x, int y, bool normal) {
    const int frame = x / kFrame;
    const float cx = (x % kFrame) + 0.5f - kFrame / 2.0f;
    const float cy = y + 0.5f - kFrame / 2.0f - 2.0f * std::sin(frame * 1.5708f);
    const float r = 12.0f;
    const float d2 = cx * cx + cy * cy;
    if (d2 > r * r)
        return {0, 0, 0, 0};
    const float nz = std::sqrt(r * r - d2) / r;
    if (normal) {
        // Image rows run top first; a normal's y points up the screen.
        return {static_cast<int>(127.5f * (cx / r + 1.0f)),
                static_cast<int>(127.5f * (-cy / r + 1.0f)), static_cast<int>(127.5f * (nz + 1.0f)),
                255};
    }
    const bool band = std::fabs(cy) < 2.5f;
    return band ? Rgba{200, 60, 40, 255} : Rgba{150, 150, 165, 255};
}

// Stone floor tiles with bevelled edges.
Rgba FloorTexel(int x, int y, bool normal) {
    const int tx = x % 16, ty = y % 16;
    const int shade = 70 + ((x / 16 + y / 16) % 2) * 12 + (x * 7 + y * 13) % 9;
    if (!normal)
        return {shade, shade - 4, shade - 10, 255};
    int nx = 128, ny = 128;
    if (tx == 0)
        nx = 40;
    if (tx == 15)
        nx = 216;
    if (ty == 0)
        ny = 216;
    if (ty == 15)
        ny = 40;
    return {nx, ny, 230, 255};
}

class RenderSceneTest : public RenderTest {};

TEST_F(RenderSceneTest, TheLevelFrameOrderComposesLitSpritesTextAndParticles) {
    std::filesystem::create_directories(std::filesystem::path(scratch.Path()) / "assets/particles");
    std::filesystem::copy_file(SourceDir() + "/assets/particles/embers.xml",
                               std::filesystem::path(scratch.Path()) /
                                   "assets/particles/embers.xml");
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                               std::filesystem::path(scratch.Path()) / "assets/test.ttf");
    ASSERT_TRUE(FontAtlas::InitLibrary());
    FontAtlas font("test.ttf");

    TestTexture figure(4 * kFrame, kFrame, [](int x, int y) { return FigureTexel(x, y, false); });
    TestTexture figureNormals(4 * kFrame, kFrame,
                              [](int x, int y) { return FigureTexel(x, y, true); });
    TestTexture floor(64, 64, [](int x, int y) { return FloorTexel(x, y, false); });
    TestTexture floorNormals(64, 64, [](int x, int y) { return FloorTexel(x, y, true); });
    Game& game = Game::Instance();

    LightedAnimation2D ground(game.GetQuadMesh(1), floor.texture, floorNormals.texture,
                              Resources::BuildFrameTables({{1, 1.0f}})[0]);
    ground.SetScale(static_cast<float>(kRenderWidth), static_cast<float>(kRenderHeight));
    std::vector<std::unique_ptr<LightedAnimation2D>> figures;
    const Vec2 places[] = {{-90.0f, -10.0f}, {0.0f, -30.0f}, {90.0f, -10.0f}};
    for (const Vec2& p : places) {
        auto a = std::make_unique<LightedAnimation2D>(game.GetQuadMesh(4), figure.texture,
                                                      figureNormals.texture,
                                                      Resources::BuildFrameTables({{4, 0.1f}})[0]);
        a->SetScale(64.0f, 64.0f);
        a->SetPosition(p);
        figures.push_back(std::move(a));
    }
    // Two torches, each a light with its flame above the figures.
    ParticleSystem leftFlame("embers", true, {-90.0f, 30.0f});
    ParticleSystem rightFlame("embers", true, {90.0f, 30.0f});
    TextSprite caption(&font, "Torchlight");
    caption.Layout({0.0f, 90.0f}, {1.0f, 1.0f}, 1.0f);

    PostProcessor pp(kRenderWidth, kRenderHeight);
    for (int update = 0; update < 40; ++update) {
        ground.Update(1.0f / 60.0f, nullptr);
        for (auto& f : figures)
            f->Update(1.0f / 60.0f, nullptr);
        leftFlame.Update(1.0f / 60.0f);
        rightFlame.Update(1.0f / 60.0f);
    }
    EXPECT_EQ(figures[0]->frame, 1u); // 40 updates: 6 per frame, wrapped once

    QNGfxSetRenderMode(2);
    pp.Begin();
    pp.ClearDiffuse(1);
    ground.DrawPass(LightedAnimation2D::DiffusePass);
    for (auto& f : figures)
        f->DrawPass(LightedAnimation2D::DiffusePass);
    pp.ClearNormals(2);
    ground.DrawPass(LightedAnimation2D::NormalPass);
    for (auto& f : figures)
        f->DrawPass(LightedAnimation2D::NormalPass);
    pp.ClearOverlay();
    leftFlame.Draw();
    rightFlame.Draw();
    caption.Draw(&pp);
    pp.BeginLighting(5, 1, 2);
    // The torches' points in 0..1 screen units.
    pp.DrawLight({0.22f, 0.625f}, {1.0f, 0.6f, 0.25f, 1.0f}, 1.0f, 1.0f);
    pp.DrawLight({0.78f, 0.625f}, {0.35f, 0.5f, 1.0f, 1.0f}, 1.0f, 1.0f);
    pp.Composite(5, 1, {1.0f, 1.0f, 1.0f, 0.25f});
    pp.SelectAttachment(6);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    pp.Composite(6, 5, {1.0f, 1.0f, 1.0f, 1.0f});
    pp.Distort();
    pp.Composite(7, 0, {1.0f, 1.0f, 1.0f, 1.0f});
    pp.Present(7);

    const std::vector<unsigned char> screen = QNGfxReadPixels(0, 0, kWindowWidth, kWindowHeight);
    EXPECT_TRUE(QNGfxWritePNG(BuildDir() + "/render_scene.png", screen.data(), kWindowWidth,
                              kWindowHeight));
    // Window pixel (x, y from the top): a render unit is two window pixels.
    auto at = [&screen](float uiX, float uiY) {
        const int x = static_cast<int>(2.0f * (uiX + kRenderWidth / 2.0f));
        const int y = static_cast<int>(2.0f * (kRenderHeight / 2.0f - uiY));
        const size_t i = (static_cast<size_t>(y) * kWindowWidth + static_cast<size_t>(x)) * 4;
        return Rgba{screen[i], screen[i + 1], screen[i + 2], 255};
    };
    // The warm light falls on the left figure, the cold one on the right.
    const Rgba left = at(-90.0f, -4.0f), right = at(90.0f, -4.0f);
    EXPECT_GT(left[0], left[2] + 20);
    EXPECT_GT(right[2], right[0] + 20);
    // Unlit corners show only the ambient quarter of the floor.
    EXPECT_LT(at(-150.0f, -110.0f)[0], 40);
    // The caption is drawn unlit on top.
    int white = 0;
    for (float x = -40.0f; x < 40.0f; x += 0.5f)
        for (float y = 84.0f; y < 96.0f; y += 0.5f) {
            const Rgba c = at(x, y);
            white += c[0] > 200 && c[1] > 200 && c[2] > 200;
        }
    EXPECT_GT(white, 40);
}

} // namespace
