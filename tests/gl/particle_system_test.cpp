// Particle systems on real OpenGL: emission counts, ageing, the pool and
// drawing.
#include "render/ParticleSystem.h"

#include "core/GameObject.h"

#include "gl/RenderFixture.h"

namespace {

class ParticleSystemTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        std::filesystem::create_directories(std::filesystem::path(scratch.Path()) /
                                            "assets/particles");
        ParticleConfig::ClearCache();
    }
    void TearDown() override {
        ParticleConfig::ClearCache();
        ParticlePoolClear();
        RenderTest::TearDown();
    }
    void WriteSystem(const std::string& name, const std::string& attributes) const {
        WriteAsset("particles/" + name + ".xml", "<particleSystem " + attributes + "/>");
    }
    static constexpr const char* kStill =
        "Type=\"rect\" PositionOffset=\"0,0\" PositionVariation=\"0,0\" Velocity=\"0,0\" "
        "VelocityVariation=\"0,0\" RotationSpeedVariation=\"0,0\" Scale=\"8,8\" "
        "ScaleVariation=\"0,0\" ScaleVelocityVariation=\"0,0\" PositionAcceleration=\"0,0\" "
        "ScaleAcceleration=\"0,0\" ColorAcceleration=\"0,0,0,0\" ";
};

TEST_F(ParticleSystemTest, AStreamOfTenEmitsOneEveryTenthOfASecond) {
    WriteSystem("stream", std::string(kStill) +
                              "EmissionRate=\"10\" Color=\"1,1,1,1\" ColorSpeed=\"0,0,0,0\"");
    ParticleSystem system("stream", true, {0.0f, 0.0f});
    struct Step {
        float dt;
        size_t total;
    };
    // Several in one long frame; nothing for a frame too short to count.
    const Step steps[] = {{0.05f, 0}, {0.05f, 1}, {0.1f, 2}, {0.35f, 5},
                          {0.0f, 5},  {0.05f, 6}, {0.1f, 7}};
    for (const Step& s : steps) {
        system.Update(s.dt);
        EXPECT_EQ(system.particles.size(), s.total) << "after a step of " << s.dt;
    }
    system.emitting = false;
    system.Update(1.0f);
    EXPECT_EQ(system.particles.size(), 7u);
}

TEST_F(ParticleSystemTest, AOneShotOfTwoAndAHalfEmitsThreeAtStartOnly) {
    WriteSystem("burst", std::string(kStill) +
                             "OneShot=\"true\" EmissionRate=\"2.5\" Color=\"1,1,1,1\" "
                             "ColorSpeed=\"0,0,0,-0.1\"");
    ParticleSystem idle("burst", false, {0.0f, 0.0f});
    EXPECT_FALSE(idle.active);
    EXPECT_TRUE(idle.particles.empty());
    ParticleSystem system("burst", true, {30.0f, -4.0f});
    EXPECT_TRUE(system.active);
    EXPECT_TRUE(system.emitting);
    ASSERT_EQ(system.particles.size(), 3u);
    EXPECT_EQ(system.particles[0]->position, (Vec2{30.0f, -4.0f}));
    for (int i = 0; i < 5; ++i)
        system.Update(0.5f);
    EXPECT_EQ(system.particles.size(), 3u);
}

TEST_F(ParticleSystemTest, ParticlesAgeAndReturnToThePoolWhenFaded) {
    WriteSystem("fade", std::string(kStill) +
                            "OneShot=\"true\" EmissionRate=\"2\" Color=\"1,0.5,1,1\" "
                            "ColorSpeed=\"0.5,0,7,-0.5\"");
    ParticlePoolClear();
    ParticleSystem system("fade", true, {0.0f, 0.0f});
    system.Update(1.0f);
    ASSERT_EQ(system.particles.size(), 2u);
    const Particle& p = *system.particles[0];
    EXPECT_FLOAT_EQ(p.color.r, 1.5f);
    EXPECT_FLOAT_EQ(p.color.a, 0.5f);
    EXPECT_FLOAT_EQ(p.color.b, 0.5f); // blue moves at the opacity's speed
    EXPECT_FLOAT_EQ(p.transform[0], 8.0f * std::cos(p.rotation));
    system.Update(1.0f); // opacity reaches 0
    EXPECT_EQ(system.particles.size(), 2u);
    system.Update(0.1f); // ... and the next update retires them
    EXPECT_TRUE(system.particles.empty());
    EXPECT_EQ(ParticlePoolSize(), 2u);

    // Reused particles start fresh.
    ParticleSystem again("fade", true, {0.0f, 0.0f});
    EXPECT_EQ(ParticlePoolSize(), 0u);
    EXPECT_FLOAT_EQ(again.particles[0]->color.a, 1.0f);
    again.Clear();
    EXPECT_EQ(ParticlePoolSize(), 2u);
}

TEST_F(ParticleSystemTest, AnInactiveSystemIsFrozenAndInvisible) {
    WriteSystem("frozen", std::string(kStill) +
                              "OneShot=\"true\" EmissionRate=\"1\" Color=\"1,0,0,1\" "
                              "ColorSpeed=\"0,0,0,-0.1\"");
    ParticleSystem system("frozen", true, {0.0f, 0.0f});
    system.Update(0.1f);
    system.active = false;
    const float opacity = system.particles[0]->color.a;
    system.Update(5.0f);
    EXPECT_EQ(system.particles[0]->color.a, opacity);

    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    system.Draw();
    EXPECT_EQ(QNGfxReadPixels(kWindowWidth / 2, kWindowHeight / 2, 1, 1)[0], 0);
    system.active = true;
    system.Draw();
    EXPECT_GT(QNGfxReadPixels(kWindowWidth / 4, kWindowHeight / 4, 1, 1)[0], 200);
    EXPECT_EQ(QNGfxGetRenderMode(), 2); // textured program back
}

TEST_F(ParticleSystemTest, PlainParticlesDrawnInOneGoLookAsQuadByQuad) {
    WriteSystem("three", std::string(kStill) +
                             "OneShot=\"true\" EmissionRate=\"3\" Additive=\"true\" "
                             "Color=\"1,1,1,1\" ColorSpeed=\"0,0,0,0\"");
    ParticleSystem system("three", true, {0.0f, 0.0f});
    ASSERT_EQ(system.particles.size(), 3u);
    struct Look {
        Vec2 position, scale;
        float rotation;
        RenderColor color;
    };
    // Overlapping, turned, half transparent and over-bright: the colours add.
    const Look looks[3] = {{{-20.25f, 10.25f}, {30.0f, 18.0f}, 0.0f, {1.0f, 0.2f, 0.1f, 0.75f}},
                           {{-5.25f, 4.25f}, {24.0f, 24.0f}, 0.6f, {0.1f, 0.9f, 0.3f, 0.5f}},
                           {{60.25f, -30.25f}, {12.0f, 40.0f}, 2.0f, {1.4f, 0.5f, 1.0f, 1.0f}}};
    for (size_t i = 0; i < 3; ++i) {
        Particle& p = *system.particles[i];
        p.color = looks[i].color;
        GameObject::BuildTransform(p.transform, looks[i].scale, looks[i].rotation,
                                   looks[i].position);
    }
    auto picture = [&](bool quadByQuad) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        if (quadByQuad) {
            QNGfxSetBlendMode(2);
            QNGfxSetRenderMode(QN_RENDER_COLOR);
            for (const Particle* p : system.particles) {
                QNGfxSetTransform(p->transform);
                QNGfxSetTintColor(p->color.r, p->color.g, p->color.b, p->color.a);
                QNGfxMeshDraw(system.mesh, 3);
            }
            QNGfxSetRenderMode(QN_RENDER_TEXTURE);
            QNGfxSetBlendMode(1);
        } else {
            system.Draw();
        }
        return QNGfxReadPixels(0, 0, kWindowWidth, kWindowHeight);
    };
    const std::vector<unsigned char> batched = picture(false), single = picture(true);
    size_t differing = 0, lit = 0;
    for (size_t i = 0; i < batched.size(); ++i) {
        differing += batched[i] != single[i];
        lit += i % 4 == 0 && batched[i] > 0;
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_GT(lit, 1000u);
    EXPECT_EQ(QNGfxGetRenderMode(), 2);
}

TEST_F(ParticleSystemTest, HugeRatesAreHeldAndASystemKeepsAtMostItsShare) {
    // 1e30 once made the burst loop and the stream loop run for ever.
    WriteSystem("burst", std::string(kStill) +
                             "OneShot=\"true\" EmissionRate=\"1e30\" Color=\"1,1,1,1\" "
                             "ColorSpeed=\"0,0,0,0\"");
    WriteSystem("stream", std::string(kStill) +
                              "EmissionRate=\"1e30\" Color=\"1,1,1,1\" ColorSpeed=\"0,0,0,0\"");
    ParticleSystem burst("burst", true, {0.0f, 0.0f});
    EXPECT_EQ(burst.particles.size(), size_t(ParticleConfig::kMaxEmissionRate));
    ParticleSystem stream("stream", true, {0.0f, 0.0f});
    for (int i = 0; i < 10; ++i)
        stream.Update(0.5f);
    // Particles that never fade stop at the cap instead of piling up.
    EXPECT_EQ(stream.particles.size(), ParticleConfig::kMaxParticles);
}

TEST_F(ParticleSystemTest, ANonPositiveRateNeverStreams) {
    WriteSystem("none", std::string(kStill) + "EmissionRate=\"-3\"");
    ParticleSystem system("none", true, {0.0f, 0.0f});
    system.Update(1.0f);
    EXPECT_TRUE(system.particles.empty());
}

} // namespace
