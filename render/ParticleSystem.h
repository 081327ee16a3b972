// ParticleSystem.h -- an emitter described by a particle file: it spawns
// quads at `origin` (a stream, or one burst) that drift, grow and fade until
// their opacity reaches zero. Owners update and draw it and move `origin`.
//
// Particles are drawn in view space (relative to the room's camera). Owners
// that think in world units place the emitter with PlaceAt and hand the
// camera's position to FollowView every frame, so live particles stay on
// their spot of the world while the view moves.
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
    // Moves the live particles and the origin by the change of view, so
    // they keep their world spot; `viewPosition` is the camera's position.
    void FollowView(const Vec2& viewPosition);
    // Puts the origin on a world point, seen from the current view.
    void PlaceAt(const Vec2& worldPoint) { origin = worldPoint - view; }

    const ParticleConfig* config;
    std::vector<Particle*> particles; // live ones, in emission order
    QNGfxTexture* texture = nullptr;  // null: plain coloured quads
    QNGfxMesh* mesh = nullptr;
    float emitTimer = 0.0f; // seconds since the last stream emission
    bool active = false;    // only active systems update and draw
    bool emitting = true;   // streams emit only while set
    Vec2 origin;            // view units (world units less `view`)
    Vec2 view{0.0f, 0.0f};  // the camera position the particles are placed for

private:
    void Emit();
};
