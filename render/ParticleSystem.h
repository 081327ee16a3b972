// ParticleSystem.h -- an emitter described by a particle file: it spawns
// quads at `origin` (a stream, or one burst) that drift, grow and fade until
// their opacity reaches zero. Owners update and draw it and move `origin`;
// an owner in a room also hands it the room's view.
#pragma once

#include "core/Vec2.h"
#include "render/Particle.h"
#include "render/ParticleConfig.h"

#include <string>
#include <vector>

struct QNGfxMesh;
struct QNGfxTexture;

class ParticleSystem {
public:
    // Loads (or reuses) the config "assets/particles/<name>.xml"; starts at
    // once when `start` is true. Throws what the config load throws.
    ParticleSystem(const std::string& name, bool start, const Vec2& origin);
    ~ParticleSystem();
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // Emits the burst of a one-shot system; makes it active and emitting.
    void Start();
    // Streams, then ages every live particle. dt: seconds.
    void Update(float dt);
    // Gives every live particle back to the pool.
    void Clear();
    void Draw();

    const ParticleConfig* config;
    std::vector<Particle*> particles; // live ones, in emission order
    QNGfxTexture* texture = nullptr;  // null: plain coloured quads
    QNGfxMesh* mesh = nullptr;
    float emitTimer = 0.0f; // seconds since the last stream emission
    bool active = false;    // only active systems update and draw
    bool emitting = true;   // streams emit only while set
    Vec2 origin;            // world units
    // The world point at the centre of the view (a room's camera): live
    // particles keep their world place and are drawn relative to it.
    Vec2 view{0.0f, 0.0f};

private:
    void Emit();
};
