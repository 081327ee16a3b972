// Shader programs on real OpenGL: build failures and their messages, the
// location tables, and the five game programs.
#include "render/Programs.h"
#include "render/Shader.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <iterator>
#include <stdexcept>

namespace {

const char* const kVS = R"(#version 120
attribute vec2 position;
attribute vec2 unusedAttribute;
varying vec2 uv;
void main() { gl_Position = vec4(position, 0.0, 1.0); uv = position; }
)";

const char* const kFS = R"(#version 120
uniform vec4 first;
uniform vec4 unused;
uniform vec4 last;
varying vec2 uv;
void main() { gl_FragColor = first + last + vec4(uv, 0.0, 0.0); }
)";

class ShaderProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window.ok) << "no OpenGL window"; }
    GlWindow window{64, 64};
};

// The message of the exception a build throws, or "" when it builds.
std::string BuildError(const char* vs, const char* fs) {
    try {
        ShaderProgram program(vs, fs, {"position"}, {});
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

TEST_F(ShaderProgramTest, LocationsKeepTheirSlotsWhenTheLinkerDropsAName) {
    ShaderProgram program(kVS, kFS, {"position", "unusedAttribute"}, {"first", "unused", "last"});
    EXPECT_TRUE(program.linked);
    ASSERT_EQ(program.attributeLocations.size(), 2u);
    EXPECT_GE(program.Attribute(0), 0);
    EXPECT_EQ(program.Attribute(1), -1);
    ASSERT_EQ(program.uniformLocations.size(), 3u);
    EXPECT_GE(program.Uniform(0), 0);
    EXPECT_EQ(program.Uniform(1), -1);
    EXPECT_GE(program.Uniform(2), 0);
    EXPECT_NE(program.Uniform(0), program.Uniform(2));
    EXPECT_TRUE(program.vertex.compiled);
    EXPECT_TRUE(program.fragment.compiled);
}

TEST_F(ShaderProgramTest, AStageThatDoesNotCompileFailsWithTheCompilerLog) {
    const char* badFS = "#version 120\nvoid main() { gl_FragColor = missingColour; }\n";
    const std::string fragmentError = BuildError(kVS, badFS);
    EXPECT_NE(fragmentError.find("Shader failed to compile (fragment stage)"), std::string::npos)
        << fragmentError;
    EXPECT_NE(fragmentError.find("missingColour"), std::string::npos) << fragmentError;

    const char* badVS = "#version 120\nvoid main() { gl_Position = vec4(1.0) * nothing; }\n";
    const std::string vertexError = BuildError(badVS, kFS);
    EXPECT_NE(vertexError.find("(vertex stage)"), std::string::npos) << vertexError;
    EXPECT_NE(vertexError.find("nothing"), std::string::npos) << vertexError;
}

TEST_F(ShaderProgramTest, AStageThatFailsKeepsNoHandle) {
    Graphics::Shader bad("#version 120\nvoid main() { syntax error }\n", GL_FRAGMENT_SHADER);
    EXPECT_FALSE(bad.compiled);
    EXPECT_EQ(bad.id, 0u);
    EXPECT_FALSE(bad.log.empty());
}

TEST_F(ShaderProgramTest, ALinkFailureIsReported) {
    // Both stages compile, but the fragment stage has no entry point.
    const char* noMainFS = "#version 120\nvec4 Shade() { return vec4(1.0); }\n";
    EXPECT_EQ(BuildError(kVS, noMainFS), "Shader failed to link!");
}

TEST_F(ShaderProgramTest, TheGameProgramsBuildWithEveryLocationInUse) {
    LightProgram light;
    DistortionProgram distortion;
    RadialProgram radial;
    CopyProgram copy;
    TextProgram text;
    ScaleProgram scale;
    const ShaderProgram* programs[] = {&light, &distortion, &radial, &copy, &text, &scale};
    const size_t uniformCounts[] = {6, 4, 4, 2, 2, 3};
    for (size_t p = 0; p < std::size(programs); ++p) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(programs[p]->linked);
        ASSERT_EQ(programs[p]->attributeLocations.size(), 1u);
        EXPECT_GE(programs[p]->Attribute(0), 0);
        ASSERT_EQ(programs[p]->uniformLocations.size(), uniformCounts[p]);
        for (int32_t location : programs[p]->uniformLocations)
            EXPECT_GE(location, 0);
    }
}

} // namespace
