// Programs.h -- the game's fixed GLSL 1.20 programs: point lighting over a
// normal map, the slow-motion noise distortion, the radial reveal of a room
// transition, a tinted copy, glyph coverage for text and the scaling of the
// finished picture to the window.
//
// Each program's attribute 0 is its vertex input (`position`, or
// `positionUV` for text); its uniforms are addressed by the enum indices.
#pragma once

#include "render/Shader.h"

// Up to kLightsPerPass point lights over a normal-mapped image in one pass,
// accumulated additively: each light's share is what a pass of its own
// would add (its colour times its strength, neither above full).
// Per light, `lights` holds the point (0..1 screen units), the height and
// the range; `colors` the colour. Within OpenGL 2.0's least fragment
// uniform space (64 components): 7 lights take 56.
class LightProgram : public ShaderProgram {
public:
    static constexpr int kLightsPerPass = 7;
    enum Uniforms { DiffuseTexture, NormalTexture, AspectRatio, Lights, Colors, LightCount };
    LightProgram();
};

// Horizontal chromatic wobble driven by one column of the noise image.
class DistortionProgram : public ShaderProgram {
public:
    enum Uniforms { Texture, Noise, SampleX, Strength };
    DistortionProgram();
};

// A circle of the source image with a soft rim; transparent outside.
class RadialProgram : public ShaderProgram {
public:
    enum Uniforms { Texture, AspectRatio, Origin, Strength };
    RadialProgram();
};

// The source image multiplied by a colour.
class CopyProgram : public ShaderProgram {
public:
    enum Uniforms { Texture, Color };
    CopyProgram();
};

// The finished picture enlarged to the window: every render pixel a block of
// window pixels, blended with its neighbour only across the one window pixel
// where a block edge falls between two (none at whole factors). Reads its
// source with linear filtering.
class ScaleProgram : public ShaderProgram {
public:
    enum Uniforms { Texture, TextureSize, Scale };
    ScaleProgram();
};

// Text: a flat colour whose opacity is the atlas coverage.
class TextProgram : public ShaderProgram {
public:
    enum Uniforms { Texture, Color };
    TextProgram();
};
