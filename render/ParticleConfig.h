// ParticleConfig.h -- an emitter's description, read from
// "assets/particles/<name>.xml" (one `particleSystem` element) and shared by
// every system of that name for the whole run.
//
// Vectors are numbers separated by one character ("0.5,1"); a range is a
// (minimum, maximum) pair drawn from uniformly. A file without `Texture`
// draws plain coloured quads, one without `Type` is rectangular, a missing
// vector is zero (a missing `Color` is opaque white).
#pragma once

#include "core/Vec2.h"
#include "render/RenderColor.h"

#include <cstddef>
#include <string>

struct ParticleConfig {
    // The most particles per second (or per burst) a file may ask for, and
    // the most one system keeps alive at once.
    static constexpr float kMaxEmissionRate = 1000.0f;
    static constexpr size_t kMaxParticles = 2000;

    std::string texture;          // image path used as written; empty: plain quads
    bool additive = false;        // add light instead of covering
    bool oneShot = false;         // one burst at Start instead of a stream
    float emissionRate = 0.0f;    // particles per second; burst size for one-shots
    float timeBetweenEmit = 0.0f; // read but unused: the interval follows the rate
    bool circular = false;        // Type "circular": polar spawn and velocity
    Vec2 positionOffset{0.0f, 0.0f};
    Vec2 positionVariation{0.0f, 0.0f};      // range: radius when circular, per axis otherwise
    Vec2 velocity{0.0f, 0.0f};               // units per second (circular only)
    Vec2 velocityVariation{0.0f, 0.0f};      // range: speed when circular, per axis otherwise
    Vec2 rotationSpeedVariation{0.0f, 0.0f}; // range, radians per second
    Vec2 scale{0.0f, 0.0f};                  // base size, units
    Vec2 scaleVariation{0.0f, 0.0f};         // range added to both components
    Vec2 scaleVelocityVariation{0.0f, 0.0f}; // range, size growth per second
    RenderColor color{1.0f, 1.0f, 1.0f, 1.0f};
    RenderColor colorSpeed{0.0f, 0.0f, 0.0f, 0.0f}; // per second
    Vec2 positionAcceleration{0.0f, 0.0f};          // per second squared
    float rotationAcceleration = 0.0f;              // radians per second squared
    Vec2 scaleAcceleration{0.0f, 0.0f};
    RenderColor colorAcceleration{0.0f, 0.0f, 0.0f, 0.0f};
    float interval = 0.0f; // seconds between stream emissions: 1 / emissionRate

    // The cached config of that name, loaded on first use. Throws
    // "Cannot find " + path for a missing file, path + " cannot be read
    // (...)" for one that is no XML (or too large for one), and path + " is
    // not a particle system" without the root element. A number that cannot
    // be used (not one, not finite, beyond +-100000) keeps the attribute's
    // default and is named on the console with what was used; a rate above
    // kMaxEmissionRate is held to it.
    static const ParticleConfig& Get(const std::string& name);
    // Parses one file (not cached).
    static ParticleConfig Load(const std::string& path);
    // Forgets every cached config.
    static void ClearCache();
};

// Reads `count` numbers separated by one character each into `out`; false
// (with `out` partly written) when the text holds fewer, or one that is not
// finite or beyond +-100000.
bool ParseParticleVector(const char* text, float* out, int count);
