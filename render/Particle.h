// Particle.h -- one particle (a plain record) and the program-wide pool of
// free ones that every particle system takes from and gives back to.
#pragma once

#include "core/Vec2.h"
#include "render/RenderColor.h"

#include <cstddef>

struct Particle {
    float rotation = 0.0f;      // radians
    float rotationSpeed = 0.0f; // radians per second
    Vec2 position{0.0f, 0.0f};  // world units
    Vec2 velocity{0.0f, 0.0f};  // units per second
    Vec2 scale{0.0f, 0.0f};     // drawn size, units
    Vec2 scaleVelocity{0.0f, 0.0f};
    // The opacity is also the particle's life: it dies at 0 or less.
    RenderColor color{1.0f, 1.0f, 1.0f, 1.0f};
    RenderColor colorSpeed{1.0f, 1.0f, 1.0f, 1.0f}; // per second
    float transform[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
};

// A free particle (reset to the fresh state), allocated when the pool is empty.
Particle* ParticlePoolTake();
// Gives a particle back; the pool owns it again.
void ParticlePoolGive(Particle* particle);
// Fills the pool up to `count` free particles before play.
void ParticlePoolReserve(size_t count);
// Frees every particle the pool holds (systems keep their live ones).
void ParticlePoolClear();
size_t ParticlePoolSize();
