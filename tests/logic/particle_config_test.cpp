// Particle files: attributes, defaults, the cache and the errors.
#include "render/ParticleConfig.h"

#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class ParticleConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove(std::filesystem::path(dir.Path()) / "assets");
        std::filesystem::create_directories(std::filesystem::path(dir.Path()) / "assets/particles");
        ParticleConfig::ClearCache();
    }
    void TearDown() override { ParticleConfig::ClearCache(); }
    void WriteSystem(const std::string& name, const std::string& attributes) const {
        dir.Write("assets/particles/" + name + ".xml",
                  "<?xml version=\"1.0\"?>\n<particleSystem " + attributes + "/>\n");
    }
    static std::string ErrorOf(const std::string& name) {
        try {
            ParticleConfig::Get(name);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }
    ScratchGameDir dir;
};

TEST_F(ParticleConfigTest, ReadsEveryAttribute) {
    WriteSystem("full", "Texture=\"assets/spark.png\" Additive=\"true\" OneShot=\"true\" "
                        "EmissionRate=\"4\" TimeBetweenEmit=\"9\" Type=\"circular\" "
                        "PositionOffset=\"1,2\" PositionVariation=\"3;4\" Velocity=\"5 6\" "
                        "VelocityVariation=\"7,8\" RotationSpeedVariation=\"-1,1\" Scale=\"2,3\" "
                        "ScaleVariation=\"0.5,1.5\" ScaleVelocityVariation=\"-2,2\" "
                        "Color=\"1,0.5,0.25,0.75\" ColorSpeed=\"0,0,0,-1\" "
                        "PositionAcceleration=\"0,-9.5\" RotationAcceleration=\"0.5\" "
                        "ScaleAcceleration=\"1,1\" ColorAcceleration=\"0.1,0.2,0.3,0.4\"");
    const ParticleConfig& c = ParticleConfig::Get("full");
    EXPECT_EQ(c.texture, "assets/spark.png");
    EXPECT_TRUE(c.additive);
    EXPECT_TRUE(c.oneShot);
    EXPECT_TRUE(c.circular);
    EXPECT_FLOAT_EQ(c.emissionRate, 4.0f);
    EXPECT_FLOAT_EQ(c.interval, 0.25f); // follows the rate, not TimeBetweenEmit
    EXPECT_EQ(c.positionOffset, (Vec2{1, 2}));
    EXPECT_EQ(c.positionVariation, (Vec2{3, 4}));
    EXPECT_EQ(c.velocity, (Vec2{5, 6}));
    EXPECT_EQ(c.rotationSpeedVariation, (Vec2{-1, 1}));
    EXPECT_EQ(c.scaleVariation, (Vec2{0.5f, 1.5f}));
    EXPECT_FLOAT_EQ(c.color.b, 0.25f);
    EXPECT_FLOAT_EQ(c.colorSpeed.a, -1.0f);
    EXPECT_FLOAT_EQ(c.positionAcceleration.y, -9.5f);
    EXPECT_FLOAT_EQ(c.rotationAcceleration, 0.5f);
    EXPECT_FLOAT_EQ(c.colorAcceleration.a, 0.4f);
}

TEST_F(ParticleConfigTest, MissingAttributesTakeDefaults) {
    WriteSystem("bare", "EmissionRate=\"10\"");
    const ParticleConfig& c = ParticleConfig::Get("bare");
    EXPECT_EQ(c.texture, "");
    EXPECT_FALSE(c.circular);
    EXPECT_FALSE(c.additive);
    EXPECT_FALSE(c.oneShot);
    EXPECT_EQ(c.scale, (Vec2{0, 0}));
    EXPECT_FLOAT_EQ(c.color.a, 1.0f);
    EXPECT_FLOAT_EQ(c.colorSpeed.a, 0.0f);
    EXPECT_FLOAT_EQ(c.interval, 0.1f);
    WriteSystem("square", "Type=\"square\"");
    EXPECT_FALSE(ParticleConfig::Get("square").circular);
}

TEST_F(ParticleConfigTest, ConfigsAreSharedByName) {
    WriteSystem("dust", "EmissionRate=\"2\"");
    const ParticleConfig* first = &ParticleConfig::Get("dust");
    WriteSystem("dust", "EmissionRate=\"99\""); // not read again
    EXPECT_EQ(&ParticleConfig::Get("dust"), first);
    EXPECT_FLOAT_EQ(first->emissionRate, 2.0f);
}

TEST_F(ParticleConfigTest, BadFilesSayWhatIsWrong) {
    WriteSystem("words", "Scale=\"big,small\"");
    WriteSystem("short", "Color=\"1,1,1\"");
    WriteSystem("nan", "Velocity=\"nan,0\"");
    dir.Write("assets/particles/broken.xml", "<particleSystem Scale=\"1,1\"");
    dir.Write("assets/particles/other.xml", "<emitter/>");
    struct Case {
        const char* name;
        std::string message;
    };
    const Case cases[] = {
        {"words", "invalid stof argument"},
        {"short", "invalid stof argument"},
        {"nan", "invalid stof argument"},
        {"absent", "Cannot find assets/particles/absent.xml"},
        {"broken", "assets/particles/broken.xml is not a particle system"},
        {"other", "assets/particles/other.xml is not a particle system"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.name), c.message) << c.name;
    // A failed load is not cached: a fixed file loads.
    WriteSystem("words", "Scale=\"3,4\"");
    EXPECT_EQ(ParticleConfig::Get("words").scale, (Vec2{3, 4}));
}

TEST_F(ParticleConfigTest, EmissionRatesAreFiniteAndBounded) {
    struct Case {
        const char* rate;
        float expected; // when it loads
        bool refused;
    };
    const Case cases[] = {
        {"14", 14.0f, false},
        {"1000", 1000.0f, false},
        {"1e30", ParticleConfig::kMaxEmissionRate, false},
        {"3.4e38", ParticleConfig::kMaxEmissionRate, false},
        {"1e400", 0.0f, true},
        {"inf", 0.0f, true},
        {"-inf", 0.0f, true},
        {"nan", 0.0f, true},
        {"fast", 0.0f, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        const std::string name = "rate" + std::to_string(n++);
        WriteSystem(name, std::string("EmissionRate=\"") + c.rate + "\"");
        if (c.refused) {
            EXPECT_EQ(ErrorOf(name), "assets/particles/" + name + ".xml: EmissionRate \"" + c.rate +
                                         "\" is not a number");
            continue;
        }
        const ParticleConfig& config = ParticleConfig::Get(name);
        EXPECT_FLOAT_EQ(config.emissionRate, c.expected);
        EXPECT_FLOAT_EQ(config.interval, 1.0f / c.expected);
    }
}

TEST(ParticleVectorTest, SkipsExactlyOneCharacterBetweenNumbers) {
    float v[3] = {};
    ParseParticleVector("1.5,-2,3e1", v, 3);
    EXPECT_FLOAT_EQ(v[0], 1.5f);
    EXPECT_FLOAT_EQ(v[1], -2.0f);
    EXPECT_FLOAT_EQ(v[2], 30.0f);
    // Two separators: the second is where a number should start.
    EXPECT_THROW(ParseParticleVector("1,,2", v, 2), std::invalid_argument);
}

} // namespace

namespace {

TEST(ParticleFilesTest, EveryShippedSystemLoads) {
    const char* names[] = {"embers",     "health",    "special",        "dust",
                           "gas",        "teleport",  "boss",           "cloudfield",
                           "solarfield", "starfield", "backgroundfield"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const ParticleConfig c =
            ParticleConfig::Load(SourceDir() + "/assets/particles/" + name + ".xml");
        EXPECT_GT(c.emissionRate, 0.0f);
        EXPECT_GT(c.color.a, 0.0f);
        // Every particle fades out, so none outlives its system's owner.
        EXPECT_LT(c.colorSpeed.a, 0.0f);
    }
}

} // namespace
