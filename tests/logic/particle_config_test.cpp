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

TEST_F(ParticleConfigTest, FilesThatAreNoSystemSayWhatIsWrong) {
    dir.Write("assets/particles/broken.xml", "<particleSystem Scale=\"1,1\"");
    dir.Write("assets/particles/other.xml", "<emitter/>");
    struct Case {
        const char* name;
        std::string message;
    };
    const Case cases[] = {
        {"absent", "Cannot find assets/particles/absent.xml"},
        {"broken", "assets/particles/broken.xml cannot be read (XML_ERROR_"},
        {"other", "assets/particles/other.xml is not a particle system"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.name).rfind(c.message, 0), 0u) << c.name << ": " << ErrorOf(c.name);
    // A failed load is not cached: a fixed file loads.
    WriteSystem("absent", "Scale=\"3,4\"");
    EXPECT_EQ(ParticleConfig::Get("absent").scale, (Vec2{3, 4}));
}

TEST_F(ParticleConfigTest, ANumberThatCannotBeUsedKeepsItsDefaultAndIsNamed) {
    // The rest of the file is used; the console names file, attribute,
    // value and what was used instead.
    const struct {
        const char* attributes;
        const char* told; // the console line after "PARTICLES: <path>: "
    } cases[] = {
        {"Scale=\"1e30,nan\"",
         "Scale \"1e30,nan\" is not 2 finite numbers within +-100000: 0,0 is used instead"},
        {"Color=\"nan,inf,1,1\"",
         "Color \"nan,inf,1,1\" is not 4 finite numbers within +-100000: 1,1,1,1 is used instead"},
        {"Scale=\"big,small\"",
         "Scale \"big,small\" is not 2 finite numbers within +-100000: 0,0 is used instead"},
        {"Color=\"1,1,1\"",
         "Color \"1,1,1\" is not 4 finite numbers within +-100000: 1,1,1,1 is used instead"},
        {"Velocity=\"-inf,0\"",
         "Velocity \"-inf,0\" is not 2 finite numbers within +-100000: 0,0 is used instead"},
        {"RotationAcceleration=\"nan\"",
         "RotationAcceleration \"nan\" is not a finite number: 0 is used instead"},
        {"TimeBetweenEmit=\"1e300\"",
         "TimeBetweenEmit \"1e300\" is outside -100000..100000: 0 is used instead"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "bad" + std::to_string(n++);
        WriteSystem(name, std::string("EmissionRate=\"5\" ") + c.attributes);
        testing::internal::CaptureStderr();
        const ParticleConfig& config = ParticleConfig::Get(name);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "PARTICLES: assets/particles/" + name + ".xml: " + c.told + "\n");
        EXPECT_FLOAT_EQ(config.emissionRate, 5.0f);
        EXPECT_EQ(config.scale, (Vec2{0, 0}));
        EXPECT_FLOAT_EQ(config.color.r, 1.0f);
        EXPECT_FLOAT_EQ(config.velocity.x, 0.0f);
        EXPECT_FLOAT_EQ(config.rotationAcceleration, 0.0f);
    }
}

TEST_F(ParticleConfigTest, EmissionRatesAreFiniteAndBounded) {
    struct Case {
        const char* rate;
        float expected;
        const char* told; // the console line after the path, "" for none
    };
    const Case cases[] = {
        {"14", 14.0f, ""},
        {"1000", 1000.0f, ""},
        {"1e30", ParticleConfig::kMaxEmissionRate, "EmissionRate 1e30 is held to 1000 per second"},
        {"3.4e38", ParticleConfig::kMaxEmissionRate,
         "EmissionRate 3.4e38 is held to 1000 per second"},
        {"1e400", 0.0f, "EmissionRate \"1e400\" is not a number of particles: 0 is used instead"},
        {"inf", 0.0f, "EmissionRate \"inf\" is not a number of particles: 0 is used instead"},
        {"-inf", 0.0f, "EmissionRate \"-inf\" is not a number of particles: 0 is used instead"},
        {"nan", 0.0f, "EmissionRate \"nan\" is not a number of particles: 0 is used instead"},
        {"fast", 0.0f, "EmissionRate \"fast\" is not a number of particles: 0 is used instead"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        const std::string name = "rate" + std::to_string(n++);
        WriteSystem(name, std::string("EmissionRate=\"") + c.rate + "\"");
        testing::internal::CaptureStderr();
        const ParticleConfig& config = ParticleConfig::Get(name);
        const std::string console = testing::internal::GetCapturedStderr();
        EXPECT_EQ(console, *c.told
                               ? "PARTICLES: assets/particles/" + name + ".xml: " + c.told + "\n"
                               : std::string());
        EXPECT_FLOAT_EQ(config.emissionRate, c.expected);
        // A rate of 0 never emits: its interval is infinite.
        EXPECT_FLOAT_EQ(config.interval, 1.0f / c.expected);
    }
}

TEST(ParticleVectorTest, SkipsExactlyOneCharacterBetweenNumbers) {
    float v[3] = {};
    EXPECT_TRUE(ParseParticleVector("1.5,-2,3e1", v, 3));
    EXPECT_FLOAT_EQ(v[0], 1.5f);
    EXPECT_FLOAT_EQ(v[1], -2.0f);
    EXPECT_FLOAT_EQ(v[2], 30.0f);
    // Two separators: the second is where a number should start.
    EXPECT_FALSE(ParseParticleVector("1,,2", v, 2));
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
