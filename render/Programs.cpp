// Programs -- sources and name lists of the five game programs.
#include "render/Programs.h"

namespace {

// The quad from (-1, -1) to (1, 1) covers the target; uv runs 0..1 left to
// right and bottom to top.
const char* const kFullScreenVS = R"(#version 120
attribute vec2 position;
varying vec2 uv;
void main() {
    gl_Position = vec4(position, 0.0, 1.0);
    uv = (position + 1.0) / 2.0;
}
)";

const char* const kLightFS = R"(#version 120
const int kLights = 7;
uniform sampler2D diffuseTexture;
uniform sampler2D normalTexture;
uniform float aspectRatio;
uniform vec4 lights[kLights];
uniform vec4 colors[kLights];
uniform int lightCount;
varying vec2 uv;
void main() {
    vec4 texel = texture2D(diffuseTexture, uv);
    vec3 normal = normalize(texture2D(normalTexture, uv).rgb * 2.0 - 1.0);
    vec3 sum = vec3(0.0);
    for (int i = 0; i < kLights; ++i) {
        if (i >= lightCount)
            break;
        vec3 direction = vec3(lights[i].xy - uv, lights[i].z);
        direction.x *= aspectRatio;
        float d = length(direction);
        direction = normalize(direction);
        // Only what lies below the light's point is lit, steep light
        // counting most.
        float diffuse = max(dot(normal, direction), 0.0) * max(direction.y, 0.0);
        float attenuation = clamp(1.0 - d / lights[i].w, 0.0, 1.0);
        float share = texel.a * diffuse * attenuation * attenuation * attenuation * 2.0;
        sum += clamp(texel.rgb * colors[i].rgb, 0.0, 1.0) * clamp(share, 0.0, 1.0);
    }
    gl_FragColor = vec4(sum, 1.0);
}
)";

const char* const kDistortionFS = R"(#version 120
uniform sampler2D texture;
uniform sampler2D noise;
uniform float sampleX;
uniform float strength;
varying vec2 uv;
void main() {
    vec3 n = texture2D(noise, vec2(sampleX, uv.y)).rgb;
    float r = texture2D(texture, vec2(uv.x + n.r * strength, uv.y)).r;
    float g = texture2D(texture, vec2(uv.x - n.g * strength, uv.y)).g;
    float b = texture2D(texture, vec2(uv.x + n.b * strength, uv.y)).b;
    gl_FragColor = vec4(r, g, b, 1.0);
}
)";

const char* const kRadialFS = R"(#version 120
uniform sampler2D texture;
uniform float aspectRatio;
uniform vec2 origin;
uniform float strength;
varying vec2 uv;
void main() {
    const float rim = 0.01;
    vec2 s = vec2(uv.x * aspectRatio, uv.y);
    float d = distance(s, vec2(origin.x * aspectRatio, origin.y));
    vec4 texel = texture2D(texture, uv);
    if (d < strength - rim)
        gl_FragColor = texel;
    else if (d < strength)
        gl_FragColor = vec4(texel.rgb, (1.0 / rim) * (strength - d));
    else
        gl_FragColor = vec4(0.0);
}
)";

const char* const kCopyFS = R"(#version 120
uniform sampler2D texture;
uniform vec4 color;
varying vec2 uv;
void main() {
    gl_FragColor = texture2D(texture, uv) * color;
}
)";

const char* const kScaleFS = R"(#version 120
uniform sampler2D texture;
uniform vec2 textureSize;
uniform vec2 scale;
varying vec2 uv;
void main() {
    vec2 texel = uv * textureSize;
    vec2 base = floor(texel);
    vec2 inside = texel - base - 0.5;
    // Flat over the block but for half a window pixel at each of its edges.
    vec2 flat = 0.5 - 0.5 / scale;
    vec2 at = (inside - clamp(inside, -flat, flat)) * scale + 0.5;
    gl_FragColor = texture2D(texture, (base + at) / textureSize);
}
)";

const char* const kTextVS = R"(#version 120
attribute vec4 positionUV;
varying vec2 uv;
void main() {
    gl_Position = vec4(positionUV.xy, 0.0, 1.0);
    uv = positionUV.zw;
}
)";

const char* const kTextFS = R"(#version 120
uniform sampler2D texture;
uniform vec4 color;
varying vec2 uv;
void main() {
    gl_FragColor = vec4(color.rgb, texture2D(texture, uv).r * color.a);
}
)";

} // namespace

LightProgram::LightProgram()
    : ShaderProgram(
          kFullScreenVS, kLightFS, {"position"},
          {"diffuseTexture", "normalTexture", "aspectRatio", "lights", "colors", "lightCount"}) {}

DistortionProgram::DistortionProgram()
    : ShaderProgram(kFullScreenVS, kDistortionFS, {"position"},
                    {"texture", "noise", "sampleX", "strength"}) {}

RadialProgram::RadialProgram()
    : ShaderProgram(kFullScreenVS, kRadialFS, {"position"},
                    {"texture", "aspectRatio", "origin", "strength"}) {}

CopyProgram::CopyProgram()
    : ShaderProgram(kFullScreenVS, kCopyFS, {"position"}, {"texture", "color"}) {}

ScaleProgram::ScaleProgram()
    : ShaderProgram(kFullScreenVS, kScaleFS, {"position"}, {"texture", "textureSize", "scale"}) {}

TextProgram::TextProgram()
    : ShaderProgram(kTextVS, kTextFS, {"positionUV"}, {"texture", "color"}) {}
