// The post-processing chain on real OpenGL: each pass is checked by reading
// its target back.
#include "game/Game.h"
#include "render/LightedAnimation2D.h"
#include "render/PostProcessor.h"
#include "render/Resources.h"

#include "gl/RenderFixture.h"

#include <cmath>
#include <stdexcept>

namespace {

constexpr Rgba kFlatNormal{128, 128, 255, 255};
constexpr RenderColor kWhite{1.0f, 1.0f, 1.0f, 1.0f};

// Distinct colours everywhere, so any shift shows.
Rgba Pattern(int x, int y) {
    return {x % 256, (y * 3) % 256, (x * 7 + y * 5) % 256, 255};
}

bool Near(const Rgba& a, const Rgba& b, int tolerance) {
    for (size_t k = 0; k < 3; ++k) {
        if (std::abs(a[k] - b[k]) > tolerance)
            return false;
    }
    return true;
}

std::string Show(const Rgba& c) {
    return "(" + std::to_string(c[0]) + ", " + std::to_string(c[1]) + ", " + std::to_string(c[2]) +
           ", " + std::to_string(c[3]) + ")";
}

class PostProcessorTest : public RenderTest {
protected:
    std::unique_ptr<PostProcessor> Make() {
        return std::make_unique<PostProcessor>(kRenderWidth, kRenderHeight);
    }
    // The light sum of one light over a white image with flat normals.
    TextureImage LightOnce(PostProcessor& pp, Vec2 point, float range, float intensity) {
        Fill(pp.attachments[1], [](int, int) { return Rgba{255, 255, 255, 255}; });
        Fill(pp.attachments[2], [](int, int) { return kFlatNormal; });
        pp.Begin();
        pp.BeginLighting(5, 1, 2);
        pp.DrawLight(point, kWhite, range, intensity);
        pp.Present(5);
        return Read(pp.attachments[5]);
    }
    // The centre of pixel row y in uv units.
    static float UvY(int y) { return (static_cast<float>(y) + 0.5f) / kRenderHeight; }
};

TEST_F(PostProcessorTest, CreatesEightRenderSizeTargets) {
    auto pp = Make();
    EXPECT_FLOAT_EQ(pp->aspectRatio, 640.0f / 480.0f);
    EXPECT_EQ(pp->sampleX, 0.0f);
    EXPECT_EQ(pp->strength, 0.0f);
    const GLint expected[8] = {GL_RGBA8, GL_RGBA8, GL_RGB8, GL_RGBA8,
                               GL_RGB8,  GL_RGB8,  GL_RGB8, GL_RGB8};
    for (int i = 0; i < PostProcessor::kAttachments; ++i) {
        SCOPED_TRACE(i);
        GLint w = 0, h = 0, format = 0;
        glBindTexture(GL_TEXTURE_2D, pp->attachments[i]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        EXPECT_EQ(w, kRenderWidth);
        EXPECT_EQ(h, kRenderHeight);
        EXPECT_EQ(format, expected[i]);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PostProcessorTest, ClearsGiveTheirEncodings) {
    auto pp = Make();
    pp->Begin();
    pp->ClearOverlay();
    pp->ClearDiffuse(1);
    pp->ClearNormals(2);
    pp->ClearDiffuse(3);
    pp->ClearNormals(4);
    const Rgba expected[5] = {{0, 0, 0, 0},
                              {128, 128, 128, 0},
                              {128, 128, 255, 255},
                              {128, 128, 128, 0},
                              {128, 128, 255, 255}};
    for (int i = 0; i < 5; ++i) {
        const Rgba got = Read(pp->attachments[i]).At(17, 33);
        EXPECT_TRUE(Near(got, expected[i], 1)) << "attachment " << i << ": " << Show(got);
        if (i == 0 || i == 1 || i == 3) {
            EXPECT_EQ(got[3], 0) << "attachment " << i;
        }
    }
}

TEST_F(PostProcessorTest, ALightShinesBelowItsPointAndNeverAboveIt) {
    auto pp = Make();
    const TextureImage sum = LightOnce(*pp, {0.5f, 0.5f}, 0.3f, 1.0f);
    const int column = kRenderWidth / 2;
    int brightestRow = -1, brightest = -1;
    for (int y = 0; y < kRenderHeight; ++y) {
        const int v = sum.At(column, y)[0];
        if (UvY(y) >= 0.5f) {
            EXPECT_EQ(v, 0) << "row " << y << " lies above the light";
        }
        if (v > brightest) {
            brightest = v;
            brightestRow = y;
        }
    }
    // Brightest a little below the point, fading with distance.
    EXPECT_GT(brightest, 100);
    EXPECT_LT(0.5f - UvY(brightestRow), 0.1f);
    EXPECT_GT(sum.At(column, 108)[0], 80); // 0.05 below
    EXPECT_LT(sum.At(column, 36)[0], 10);  // 0.35 below
    EXPECT_EQ(sum.At(5, 108)[0], 0);       // out of range to the side
}

TEST_F(PostProcessorTest, NoNormalLetsLightReachAboveThePoint) {
    auto pp = Make();
    // Bands of normals tilted every way, including straight at the light.
    const Rgba normals[5] = {{128, 128, 255, 255},
                             {128, 255, 128, 255},
                             {128, 0, 128, 255},
                             {255, 128, 128, 255},
                             {0, 128, 128, 255}};
    Fill(pp->attachments[1], [](int, int) { return Rgba{255, 255, 255, 255}; });
    Fill(pp->attachments[2], [&normals](int x, int) { return normals[(x / 8) % 5]; });
    pp->Begin();
    pp->BeginLighting(5, 1, 2);
    pp->DrawLight({0.5f, 0.4f}, kWhite, 0.5f, 1.0f);
    pp->Present(5);
    const TextureImage sum = Read(pp->attachments[5]);
    for (int y = 0; y < kRenderHeight; ++y) {
        if (UvY(y) < 0.4f)
            continue;
        for (int x = 0; x < kRenderWidth; ++x)
            ASSERT_EQ(sum.At(x, y)[0], 0) << "pixel " << x << ", " << y;
    }
}

TEST_F(PostProcessorTest, ANormalMappedSpriteIsLitWhereItFacesTheLight) {
    auto pp = Make();
    // A 64 x 64 white quad whose left half faces up (toward a light above)
    // and whose right half faces down.
    TestTexture diffuse(16, 16, [](int, int) { return Rgba{255, 255, 255, 255}; });
    TestTexture normals(16, 16, [](int x, int) {
        return x < 8 ? Rgba{128, 218, 218, 255} : Rgba{128, 38, 218, 255};
    });
    LightedAnimation2D sprite(Game::Instance().GetQuadMesh(1), diffuse.texture, normals.texture,
                              Resources::BuildFrameTables({{1, 0.1f}})[0]);
    sprite.SetScale(64.0f, 64.0f);
    sprite.Update(0.0f, nullptr);

    pp->Begin();
    pp->ClearDiffuse(1);
    QNGfxSetRenderMode(2);
    sprite.DrawPass(LightedAnimation2D::DiffusePass);
    pp->ClearNormals(2);
    sprite.DrawPass(LightedAnimation2D::NormalPass);
    pp->BeginLighting(5, 1, 2);
    // The light hangs over the quad's centre (target pixel 160, 120).
    pp->DrawLight({0.5f, 0.5f}, kWhite, 0.3f, 1.0f);
    pp->Present(5);

    const TextureImage normalImage = Read(pp->attachments[2]);
    EXPECT_TRUE(Near(normalImage.At(140, 110), {128, 218, 218, 255}, 1));
    EXPECT_TRUE(Near(normalImage.At(180, 110), {128, 38, 218, 255}, 1));
    EXPECT_TRUE(Near(normalImage.At(100, 110), kFlatNormal, 1)); // outside the quad

    const TextureImage sum = Read(pp->attachments[5]);
    const int facingUp = sum.At(150, 108)[0];
    const int facingDown = sum.At(170, 108)[0];
    EXPECT_GT(facingUp, 60);
    EXPECT_GT(facingUp, facingDown + 30);
    EXPECT_EQ(sum.At(150, 130)[0], 0); // above the light's point
    EXPECT_EQ(sum.At(100, 108)[0], 0); // the cleared diffuse image is transparent
}

TEST_F(PostProcessorTest, ALightDrawnOverItsReachAloneAddsWhatTheWholeQuadAdds) {
    auto pp = Make();
    Fill(pp->attachments[1], Pattern);
    // Normals leaning every way, so every side of a light is lit somewhere.
    Fill(pp->attachments[2], [](int x, int y) {
        return Rgba{(x * 11) % 256, (y * 13) % 256, 200, 255};
    });
    struct Case {
        const char* what;
        Vec2 point;
        float range, intensity;
    };
    const Case cases[] = {
        {"small, in the middle", {0.5f, 0.5f}, 0.3f, 1.0f},
        {"a torch's reach near the top", {0.2f, 0.95f}, 1.6f, 0.8f},
        {"near the right edge, low", {0.97f, 0.1f}, 0.5f, 1.2f},
        {"left of the picture", {-0.3f, 0.6f}, 0.6f, 0.9f},
        {"above the picture", {0.6f, 1.4f}, 0.7f, 0.5f},
        {"below the picture: lights nothing", {0.5f, -0.2f}, 1.0f, 1.0f},
        {"range under its height: lights nothing", {0.5f, 0.5f}, 0.04f, 1.0f},
        {"no range edge", {0.4f, 0.7f}, -1.0f, 0.6f},
    };
    auto lightSum = [&](const Case& c, bool clip) {
        pp->clipLights = clip;
        pp->Begin();
        pp->BeginLighting(5, 1, 2);
        pp->DrawLight(c.point, {0.9f, 0.7f, 0.5f, 1.0f}, c.range, c.intensity);
        pp->Present(5);
        return Read(pp->attachments[5]).bytes;
    };
    size_t lit = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> whole = lightSum(c, false), clipped = lightSum(c, true);
        size_t differing = 0;
        for (size_t i = 0; i < whole.size(); ++i) {
            differing += whole[i] != clipped[i];
            lit += clipped[i] != 0 && i % 4 != 3;
        }
        EXPECT_EQ(differing, 0u);
    }
    EXPECT_GT(lit, 10000u) << "the cases light too little to show anything";
}

TEST_F(PostProcessorTest, IntensityAboveOneHangsTheLightAsLowAsOne) {
    auto pp = Make();
    const std::vector<uint8_t> atOne = LightOnce(*pp, {0.4f, 0.6f}, 0.4f, 1.0f).bytes;
    const std::vector<uint8_t> atThree = LightOnce(*pp, {0.4f, 0.6f}, 0.4f, 3.0f).bytes;
    const std::vector<uint8_t> atHalf = LightOnce(*pp, {0.4f, 0.6f}, 0.4f, 0.5f).bytes;
    EXPECT_EQ(atOne, atThree);
    EXPECT_NE(atOne, atHalf);
}

TEST_F(PostProcessorTest, AmbientCompositeAddsAQuarterOfTheDiffuseImage) {
    auto pp = Make();
    Fill(pp->attachments[1], [](int, int) { return Rgba{200, 100, 40, 255}; });
    pp->Begin();
    pp->BeginLighting(5, 1, 2); // no lights: the sum is black
    pp->Composite(5, 1, {1.0f, 1.0f, 1.0f, 0.25f});
    pp->Present(5);
    const Rgba got = Read(pp->attachments[5]).At(77, 140);
    EXPECT_TRUE(Near(got, {50, 25, 10, 255}, 1)) << Show(got);
}

TEST_F(PostProcessorTest, RadialKeepsTheInsideFadesTheRimAndLeavesTheOutside) {
    auto pp = Make();
    Fill(pp->attachments[5], [](int, int) { return Rgba{255, 0, 0, 255}; }); // room B
    Fill(pp->attachments[6], [](int, int) { return Rgba{0, 0, 255, 255}; }); // room A
    const int column = kRenderWidth / 2;
    const float aspect = 640.0f / 480.0f;
    const float dx = ((static_cast<float>(column) + 0.5f) / kRenderWidth - 0.5f) * aspect;
    auto distance = [&](int row) { return std::hypot(dx, UvY(row) - 0.5f); };
    // The rim (0.01 wide) passes through row 180 at its middle.
    const float radius = distance(180) + 0.005f;
    pp->Begin();
    pp->BeginLighting(7, 1, 2);
    pp->Radial({0.5f, 0.5f}, radius);
    pp->Present(6);
    const TextureImage lit = Read(pp->attachments[6]);

    struct Case {
        int row;
        Rgba expected;
    };
    const Case cases[] = {
        {120, {255, 0, 0, 255}},   // the centre
        {170, {255, 0, 0, 255}},   // inside the rim
        {180, {128, 0, 128, 255}}, // half way through the rim
        {190, {0, 0, 255, 255}},   // outside: room A stays
        {239, {0, 0, 255, 255}},
    };
    for (const Case& c : cases) {
        const Rgba got = lit.At(column, c.row);
        EXPECT_TRUE(Near(got, c.expected, 3)) << "row " << c.row << ": " << Show(got);
    }
}

TEST_F(PostProcessorTest, DistortionAtStrengthZeroChangesNothing) {
    auto pp = Make();
    Fill(pp->attachments[6], Pattern);
    pp->sampleX = 0.37f;
    pp->strength = 0.0f;
    pp->Begin();
    pp->BeginLighting(5, 1, 2);
    pp->Distort();
    pp->Present(7);
    const TextureImage source = Read(pp->attachments[6]);
    const TextureImage distorted = Read(pp->attachments[7]);
    EXPECT_EQ(source.bytes, distorted.bytes);
}

TEST_F(PostProcessorTest, DistortionShiftsChannelsByTheNoise) {
    // Noise of full red and no green or blue: only red moves, to the right
    // by `strength` of the width.
    WriteAsset("noise.bmp", MakeBmp(4, 4, [](int, int) { return Rgb{255, 0, 0}; }));
    auto pp = Make();
    Fill(pp->attachments[6], Pattern);
    pp->strength = 10.0f / kRenderWidth;
    pp->Begin();
    pp->BeginLighting(5, 1, 2);
    pp->Distort();
    pp->Present(7);
    const TextureImage distorted = Read(pp->attachments[7]);
    for (int y : {3, 100, 200}) {
        const Rgba got = distorted.At(100, y);
        EXPECT_EQ(got[0], Pattern(110, y)[0]) << "row " << y;
        EXPECT_EQ(got[1], Pattern(100, y)[1]) << "row " << y;
        EXPECT_EQ(got[2], Pattern(100, y)[2]) << "row " << y;
    }
}

TEST_F(PostProcessorTest, TheShortEndOfALitFrameShowsWhatTheWholeChainShows) {
    // The whole chain copies the lit scene into 6 and distorts it into 7;
    // the short one skips what would change nothing. Same window, to the bit,
    // at rest and in slow motion.
    WriteAsset("noise.bmp", MakeBmp(8, 8, [](int x, int y) {
                   return Rgb{static_cast<uint8_t>(x * 30), static_cast<uint8_t>(y * 30), 90};
               }));
    auto pp = Make();
    auto frame = [&](bool whole) {
        Fill(pp->attachments[1], Pattern);
        Fill(pp->attachments[2], [](int x, int y) {
            return Rgba{90 + x % 80, 200 - y % 70, 230, 255};
        });
        Fill(pp->attachments[0], [](int x, int y) {
            return Rgba{(x * 3) % 256, 40, 200, (x + y) % 3 == 0 ? 0 : (x * y) % 256};
        });
        pp->Begin();
        pp->BeginLighting(5, 1, 2);
        pp->DrawLight({0.3f, 0.8f}, {1.0f, 0.6f, 0.3f, 1.0f}, 1.6f, 0.8f);
        pp->DrawLight({0.9f, 0.4f}, {0.3f, 0.5f, 1.0f, 1.0f}, 0.7f, 1.2f);
        pp->Composite(5, 1, {1.0f, 1.0f, 1.0f, 0.25f});
        if (whole) {
            pp->SelectAttachment(6);
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            pp->Composite(6, 5, kWhite);
            pp->Distort();
            pp->Composite(7, 0, kWhite);
            pp->Present(7);
        } else {
            pp->FinishLitFrame(5);
        }
        return QNGfxReadPixels(0, 0, kWindowWidth, kWindowHeight);
    };
    for (float strength : {0.0f, 6.0f / kRenderWidth}) {
        SCOPED_TRACE(strength);
        pp->strength = strength;
        pp->sampleX = 0.4f;
        const std::vector<unsigned char> whole = frame(true), shortEnd = frame(false);
        ASSERT_EQ(whole.size(), shortEnd.size());
        size_t differing = 0;
        for (size_t i = 0; i < whole.size(); ++i)
            differing += whole[i] != shortEnd[i];
        EXPECT_EQ(differing, 0u);
    }
}

TEST_F(PostProcessorTest, PresentCopiesATargetToTheWindowAndRestoresTheProgram) {
    auto pp = Make();
    Fill(pp->attachments[7], Pattern);
    // A half-transparent overlay pixel keeps its colour on screen.
    Fill(pp->attachments[0], [](int, int) { return Rgba{100, 50, 0, 128}; });
    QNGfxSetRenderMode(2);
    pp->Begin();
    pp->BeginLighting(5, 1, 2);
    pp->Present(7);
    GLint program = 0, bound = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(program), QNGfxGetBuiltinProgram(2));
    EXPECT_EQ(QNGfxGetRenderMode(), 2);
    EXPECT_EQ(bound, 0);

    const auto screen = QNGfxReadPixels(0, 0, kWindowWidth, kWindowHeight); // rows top first
    auto screenAt = [&screen](int x, int yFromBottom) {
        const size_t at = (static_cast<size_t>(kWindowHeight - 1 - yFromBottom) * kWindowWidth +
                           static_cast<size_t>(x)) *
                          4;
        return Rgba{screen[at], screen[at + 1], screen[at + 2], 255};
    };
    for (auto [x, y] : {std::pair{0, 0}, {57, 113}, {319, 239}}) {
        EXPECT_EQ(screenAt(2 * x, 2 * y), Pattern(x, y)) << x << ", " << y;
        EXPECT_EQ(screenAt(2 * x + 1, 2 * y + 1), Pattern(x, y)) << x << ", " << y;
    }

    pp->Begin();
    pp->Present(0);
    const auto overlay = QNGfxReadPixels(10, 10, 1, 1);
    EXPECT_TRUE(Near({overlay[0], overlay[1], overlay[2], 255}, {100, 50, 0, 255}, 1));
}

TEST_F(PostProcessorTest, ANoiseImageThatIsMissingOrMalformedStopsTheStart) {
    std::filesystem::remove(std::filesystem::path(scratch.Path()) / "assets" / "noise.bmp");
    try {
        Make();
        ADD_FAILURE() << "no error for a missing noise image";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Cannot find assets/noise.bmp");
    }
    WriteAsset("noise.bmp", "PK this is not a bitmap at all, but long enough to hold headers");
    try {
        Make();
        ADD_FAILURE() << "no error for a malformed noise image";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "assets/noise.bmp is not a valid bitmap");
    }
}

} // namespace
