// Blade, scenery and gates built from the game's own art on real OpenGL:
// every strip, marker, particle system and sound the player names exists, and
// one frame draws into both passes.
#include "entities/Gate.h"
#include "entities/Player.h"
#include "render/Camera.h"
#include "render/LightedAnimation2D.h"
#include "render/ParticleSystem.h"

#include "gl/RenderFixture.h"

namespace {

class PlayerAssetsTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        // These tests use the build's generated art, not a hand-made set.
        namespace fs = std::filesystem;
        const fs::path assets = fs::path(scratch.Path()) / "assets";
        fs::remove_all(assets);
        fs::create_directory_symlink(fs::path(BuildDir()) / "assets", assets);
        ParticleConfig::ClearCache();
    }
    void TearDown() override {
        ParticleConfig::ClearCache();
        ParticlePoolClear();
        RenderTest::TearDown();
    }
};

TEST_F(PlayerAssetsTest, BladeIsBuiltFromEveryStripItNames) {
    Player player(4);
    const LightedAnimation2D* body = player.Body();
    ASSERT_EQ(body->textures.size(), 13u);
    ASSERT_EQ(body->normalTextures.size(), 13u);
    const std::vector<FrameTable> tables = Player::BodyFrameTables();
    for (size_t i = 0; i < 13; ++i) {
        ASSERT_NE(body->textures[i], nullptr) << i;
        ASSERT_NE(body->normalTextures[i], nullptr) << i;
        EXPECT_GT(body->textures[i]->width, 0) << i;
        EXPECT_EQ(body->textures[i]->width, body->normalTextures[i]->width) << i;
        // Equal frames across the strip.
        EXPECT_EQ(body->textures[i]->width % static_cast<int>(tables[i].size()), 0) << i;
    }
    ASSERT_NE(player.ghost->textures[0], nullptr);
    EXPECT_GT(player.ghost->textures[0]->width, 0);
    ASSERT_NE(player.healthParticles, nullptr);
    ASSERT_NE(player.specialParticles, nullptr);
    for (const char* sound : {"light_slash.wav", "heavy_slash.wav", "dash_slash.wav"})
        EXPECT_TRUE(std::filesystem::exists(std::string("assets/sounds/") + sound)) << sound;

    player.ChangeHealth(0.1f, nullptr); // bursts the health particles
    player.ChangeSpecial(0.1f);
    EntityList room{&player};
    for (int i = 0; i < 10; ++i)
        player.Update(1.0f / 60.0f, nullptr, &room);
    EXPECT_FALSE(player.healthParticles->particles.empty());
    player.Draw(0);
    player.Draw(1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    player.OnRoomExit();
    EXPECT_TRUE(player.healthParticles->particles.empty());
}

TEST_F(PlayerAssetsTest, BurstsStayWhereBladeStoodWhenTheCameraMoves) {
    // Entities are drawn relative to their room's camera; the health and
    // special bursts must be too, or they land away from Blade as soon as
    // the view has left the room's origin.
    Player player(4);
    Camera camera;
    camera.SetPosition(200.0f, 100.0f);
    player.SetPosition(210.0f, 90.0f);
    EntityList room{&player};
    player.Update(1.0f / 60.0f, &camera, &room);
    player.ChangeHealth(0.1f, nullptr);
    player.ChangeSpecial(0.1f);
    const auto drawnAt = [](const Particle* p) { return Vec2{p->transform[2], p->transform[5]}; };
    // Drawn around Blade's feet: his world spot less the camera's.
    const Vec2 feet = player.GetPosition() - camera.GetPosition();
    for (ParticleSystem* burst : {player.healthParticles, player.specialParticles}) {
        ASSERT_FALSE(burst->particles.empty());
        player.Update(1.0f / 60.0f, &camera, &room);
        for (const Particle* p : burst->particles)
            EXPECT_LT(Length(drawnAt(p) - feet), 40.0f);
    }
    // The view moves on; the particles stay on their spot in the room, so
    // they are drawn the camera's move the other way.
    const Particle* first = player.healthParticles->particles.front();
    const Vec2 before = drawnAt(first);
    camera.SetPosition(260.0f, 40.0f);
    player.Update(1.0f / 60.0f, &camera, &room);
    EXPECT_LT(Length(drawnAt(first) - (before - Vec2{60.0f, -60.0f})), 2.0f);
}

TEST_F(PlayerAssetsTest, AGateFromTheRoomFolderFindsItsStrip) {
    // Rooms name their images relative to assets/rooms/.
    Gate gate(2, "rooms/../prop_gate.png", {0.0f, 0.0f}, {96.0f, 64.0f}, 4, 0.08f);
    const LightedAnimation2D* strip = gate.Animation();
    ASSERT_NE(strip->textures[0], nullptr);
    EXPECT_GT(strip->textures[0]->width, 0);
    ASSERT_NE(strip->normalTextures[0], nullptr);
    EXPECT_GT(strip->normalTextures[0]->width, 0);
    EXPECT_FALSE(strip->playing); // rests closed until its room is clear
    gate.Update(1.0f / 60.0f, nullptr, nullptr);
    gate.Draw(0);
    gate.Draw(1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
