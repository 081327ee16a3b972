// Torch.h -- the rooms' only light source: a burning torch on a wall with an
// animated, normal-mapped picture, a stream of embers and a light that
// flickers and wanders on a small figure-eight above the flame.
//
// Map properties of a "Torches" object (read by the room's object table):
// Particles (embers system), Color.R/G/B, Strength, Range, TextureName
// (relative to the room files), Frames, FrameDelay (seconds).
#pragma once

#include "world/PointLight.h"

#include <memory>
#include <string>

class LightedAnimation2D;
class ParticleSystem;

namespace LevelMap {

struct RoomObject;

class Torch : public PointLight {
public:
    // The ember stream is built from "assets/particles/<particleName>.xml".
    explicit Torch(const std::string& particleName);
    ~Torch() override;

    // Takes the light and picture from a map object whose corner (world
    // units) is already in `center`; then centres the torch on the object.
    void ReadProperties(const RoomObject& object);

    // Flicker, wander, animate the picture and stream embers.
    void Update(float dt, Camera& camera) override;
    // The picture for the pass; embers only in the diffuse image.
    void Draw(int mode) override;
    // Returns every live ember to the shared pool (the player left the room).
    virtual void ClearParticles();

    std::unique_ptr<ParticleSystem> embers;
    std::unique_ptr<LightedAnimation2D> picture; // null until ReadProperties
    float baseStrength = 0.1f;                   // Strength property
    float baseRange = 2.0f;                      // Range property
    float phase = 0.0f;                          // flicker phase, radians in [0, 2 pi)
    float speed = 1.0f;                          // flicker rate, radians per second in [0.5, 1.5)
    Vec2 center{0.0f, 0.0f};                     // the torch's centre, world units

    // The light hangs this far above the torch's centre (world units).
    static constexpr float kLightHeight = 35.0f;
};

} // namespace LevelMap
