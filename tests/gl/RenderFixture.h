// RenderFixture.h -- what the rendering tests share: a window whose render
// size is half of it (as the game sets it up), a scratch working directory
// with its own small assets/, image fixtures, and read-back of targets.
#pragma once

#include "engine/QNGraphics.h"
#include "engine/QNSystem.h"
#include "game/Game.h"
#include "gl/BmpFixture.h"
#include "support/TestSupport.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using Rgba = std::array<int, 4>;

// A texture made from RGBA pixels (rows top first), deleted with its owner.
class TestTexture {
public:
    TestTexture(int width, int height, const std::function<Rgba(int, int)>& pixel) {
        std::vector<unsigned char> rgba(static_cast<size_t>(width * height * 4));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Rgba c = pixel(x, y);
                for (int k = 0; k < 4; ++k)
                    rgba[static_cast<size_t>((y * width + x) * 4 + k)] =
                        static_cast<unsigned char>(c[static_cast<size_t>(k)]);
            }
        texture = QNGfxTextureLoadFromMemory(rgba.data(), width, height);
    }
    ~TestTexture() { QNGfxTextureUnload(texture); }
    TestTexture(const TestTexture&) = delete;
    TestTexture& operator=(const TestTexture&) = delete;
    QNGfxTexture* texture;
};

// Pixels of a texture, rows bottom first, RGBA.
class TextureImage {
public:
    TextureImage(GLuint texture, int w, int h) : width(w), height(h) {
        bytes.resize(static_cast<size_t>(w * h * 4));
        // Everything drawn so far must be finished first. Mesa's software
        // rasteriser draws on worker threads; once a later pass samples the
        // target (Present does), its check before a read-only mapping finds
        // that sampling and misses the drawing still going into the target,
        // so under load glGetTexImage now and then returns the previous
        // picture.
        glFinish();
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    // (x, y) from the bottom left.
    Rgba At(int x, int y) const {
        const size_t at = static_cast<size_t>((y * width + x) * 4);
        return {bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]};
    }
    int width, height;
    std::vector<uint8_t> bytes;
};

class RenderTest : public ::testing::Test {
protected:
    static constexpr int kWindowWidth = 640;
    static constexpr int kWindowHeight = 480;
    static constexpr int kRenderWidth = kWindowWidth / 2;
    static constexpr int kRenderHeight = kWindowHeight / 2;

    void SetUp() override {
        ASSERT_TRUE(window.ok) << "no OpenGL window";
        namespace fs = std::filesystem;
        const fs::path assets = fs::path(scratch.Path()) / "assets";
        fs::remove(assets); // the link to the build's assets: these tests bring their own
        fs::create_directory(assets);
        WriteAsset("noise.bmp", MakeBmp(8, 8, [](int, int) { return Rgb{0, 0, 0}; }));
        Game& game = Game::Instance();
        game.screenWidth = kRenderWidth;
        game.screenHeight = kRenderHeight;
        game.invHalfWidth = 1.0f / static_cast<float>(kRenderWidth);
        game.invHalfHeight = 1.0f / static_cast<float>(kRenderHeight);
        QNGfxSetCamPosition(kRenderWidth * 0.5f, kRenderHeight * 0.5f);
        QNGfxSetRenderMode(0);
        QNGfxSetRenderMode(2);
        QNGfxSetTransparency(1.0f); // as every frame of the game sets it
    }

    void TearDown() override {
        // Cached meshes and textures belong to this test's context.
        Game& game = Game::Instance();
        for (auto& entry : game.textureCache)
            QNGfxTextureUnload(entry.second);
        game.textureCache.clear();
        for (auto& entry : game.meshCache)
            QNGfxMeshFree(entry.second);
        game.meshCache.clear();
    }

    void WriteAsset(const std::string& name, const std::string& bytes) const {
        std::ofstream out(std::filesystem::path(scratch.Path()) / "assets" / name,
                          std::ios::binary);
        out << bytes;
    }

    // Fills a render-size texture with one colour per pixel (x, y from the
    // bottom left).
    static void Fill(GLuint texture, const std::function<Rgba(int, int)>& pixel) {
        std::vector<uint8_t> rgba(static_cast<size_t>(kRenderWidth * kRenderHeight * 4));
        for (int y = 0; y < kRenderHeight; ++y)
            for (int x = 0; x < kRenderWidth; ++x) {
                const Rgba c = pixel(x, y);
                for (int k = 0; k < 4; ++k)
                    rgba[static_cast<size_t>((y * kRenderWidth + x) * 4 + k)] =
                        static_cast<uint8_t>(c[static_cast<size_t>(k)]);
            }
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kRenderWidth, kRenderHeight, GL_RGBA,
                        GL_UNSIGNED_BYTE, rgba.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    static TextureImage Read(GLuint texture) {
        return TextureImage(texture, kRenderWidth, kRenderHeight);
    }

    GlWindow window{kWindowWidth, kWindowHeight};
    ScratchGameDir scratch;
};
