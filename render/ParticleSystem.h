// ParticleSystem.h -- an emitter described by a particle file: it spawns
// quads at `origin` (a stream, or one burst) that drift, grow and fade until
// their opacity reaches zero. Owners update and draw it and move `origin`.
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

private:
    void Emit();
    // Plain quads: every particle's two triangles, placed and coloured here,
    // in one draw. Kept between frames so drawing allocates nothing.
    void DrawBatched();
    std::vector<float> batchPositions; // x, y per vertex, world units
    std::vector<float> batchColors;    // r, g, b, opacity per vertex
};
