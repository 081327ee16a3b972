// ParticleSystem -- emitters drawing from the shared particle pool.
#include "render/ParticleSystem.h"

#include "core/GameObject.h"
#include "engine/QNGraphics.h"
#include "render/Resources.h"

#include <cmath>
#include <random>

namespace {

constexpr float kTwoPi = 6.283185f;
constexpr float kMinStep = 1.1920929e-7f;

std::mt19937& Random() {
    static std::mt19937 engine{std::random_device{}()};
    return engine;
}

// Uniform in [a, b); a range given backwards or empty gives its first value.
float Uniform(float a, float b) {
    if (!(b > a))
        return a;
    return std::uniform_real_distribution<float>(a, b)(Random());
}

float Uniform(const Vec2& range) {
    return Uniform(range.x, range.y);
}

} // namespace

ParticleSystem::ParticleSystem(const std::string& name, bool start, const Vec2& at)
    : config(&ParticleConfig::Get(name)), origin(at) {
    if (!config->texture.empty())
        texture = Resources::GetTexture(config->texture, false);
    mesh = Resources::GetQuadMesh(1);
    if (start)
        Start();
}

ParticleSystem::~ParticleSystem() {
    Clear();
}

void ParticleSystem::Start() {
    if (config->oneShot) {
        for (float left = config->emissionRate; left > 0.0f; left -= 1.0f)
            Emit();
    }
    active = true;
    emitting = true;
}

void ParticleSystem::Emit() {
    // Particles that never fade would otherwise pile up for ever.
    if (particles.size() >= ParticleConfig::kMaxParticles)
        return;
    const ParticleConfig& c = *config;
    Particle* p = ParticlePoolTake();
    p->position = origin;
    if (c.circular) {
        const float r = Uniform(c.positionVariation);
        const float a = Uniform(0.0f, kTwoPi);
        p->position +=
            Vec2{std::cos(a) * r + c.positionOffset.x, std::sin(a) * r + c.positionOffset.y};
        const float s = Uniform(c.velocityVariation);
        const float b = Uniform(0.0f, kTwoPi);
        p->velocity = {c.velocity.x + std::cos(b) * s, c.velocity.y + std::sin(b) * s};
    } else {
        const float dx = Uniform(c.positionVariation);
        const float dy = Uniform(c.positionVariation);
        p->position += Vec2{c.positionOffset.x + dx, c.positionOffset.y + dy};
        const float vx = Uniform(c.velocityVariation);
        const float vy = Uniform(c.velocityVariation);
        p->velocity = {vx, vy};
    }
    p->rotation = Uniform(0.0f, kTwoPi);
    p->rotationSpeed = Uniform(c.rotationSpeedVariation);
    const float k = Uniform(c.scaleVariation);
    p->scale = c.scale + Vec2{k, k};
    const float growth = Uniform(c.scaleVelocityVariation);
    p->scaleVelocity = {growth, growth};
    p->color = c.color;
    p->colorSpeed = c.colorSpeed;
    particles.push_back(p);
}

void ParticleSystem::Update(float dt) {
    if (!active || !(dt >= kMinStep))
        return;
    const ParticleConfig& c = *config;
    // A rate of zero or less never streams (and never loops forever).
    if (!c.oneShot && emitting && c.interval > 0.0f && std::isfinite(c.interval)) {
        emitTimer += dt;
        while (emitTimer >= c.interval) {
            Emit();
            emitTimer -= c.interval;
        }
    }

    size_t kept = 0;
    for (size_t i = 0; i < particles.size(); ++i) {
        Particle* p = particles[i];
        p->velocity += c.positionAcceleration * dt;
        p->rotationSpeed += c.rotationAcceleration * dt;
        p->scaleVelocity += c.scaleAcceleration * dt;
        p->colorSpeed.r += c.colorAcceleration.r * dt;
        p->colorSpeed.g += c.colorAcceleration.g * dt;
        p->colorSpeed.a += c.colorAcceleration.a * dt;
        if (p->color.a <= 0.0f) {
            ParticlePoolGive(p);
            continue;
        }
        p->rotation += p->rotationSpeed * dt;
        p->position += p->velocity * dt;
        p->scale += p->scaleVelocity * dt;
        p->color.r += p->colorSpeed.r * dt;
        p->color.g += p->colorSpeed.g * dt;
        // Blue follows the opacity's speed: fading particles darken in blue.
        p->color.b += p->colorSpeed.a * dt;
        p->color.a += p->colorSpeed.a * dt;
        GameObject::BuildTransform(p->transform, p->scale, p->rotation, p->position);
        particles[kept++] = p;
    }
    particles.resize(kept);
}

void ParticleSystem::FollowView(const Vec2& viewPosition) {
    const Vec2 moved = viewPosition - view;
    if (moved == Vec2{0.0f, 0.0f})
        return;
    for (Particle* p : particles) {
        p->position -= moved;
        GameObject::BuildTransform(p->transform, p->scale, p->rotation, p->position);
    }
    origin -= moved;
    view = viewPosition;
}

void ParticleSystem::Clear() {
    for (Particle* p : particles)
        ParticlePoolGive(p);
    particles.clear();
}

void ParticleSystem::Draw() {
    if (!active)
        return;
    if (config->additive)
        QNGfxSetBlendMode(2);
    if (texture) {
        QNGfxSetRenderMode(QN_RENDER_TEXTURE);
        QNGfxTextureSet(texture, 0.0f, 0.0f);
        for (const Particle* p : particles) {
            QNGfxSetTransform(p->transform);
            QNGfxSetTintColor(p->color.r, p->color.g, p->color.b, p->color.a);
            QNGfxMeshDraw(mesh, 3);
        }
    } else {
        QNGfxSetRenderMode(QN_RENDER_COLOR);
        DrawBatched();
    }
    QNGfxSetRenderMode(QN_RENDER_TEXTURE);
    QNGfxSetBlendMode(1);
}

void ParticleSystem::DrawBatched() {
    // The corners of the unit quad, in the order of the cached quad mesh.
    static const float kCorners[6][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f},
                                         {0.5f, -0.5f},  {0.5f, 0.5f},  {-0.5f, 0.5f}};
    const size_t vertices = particles.size() * 6;
    batchPositions.resize(vertices * 2);
    batchColors.resize(vertices * 4);
    float* xy = batchPositions.data();
    float* rgba = batchColors.data();
    for (const Particle* p : particles) {
        const float* m = p->transform;
        for (const auto& corner : kCorners) {
            *xy++ = m[0] * corner[0] + m[1] * corner[1] + m[2];
            *xy++ = m[3] * corner[0] + m[4] * corner[1] + m[5];
            *rgba++ = p->color.r;
            *rgba++ = p->color.g;
            *rgba++ = p->color.b;
            *rgba++ = p->color.a;
        }
    }
    // The particles carry their own place and colour; the vertex colour
    // takes the tint's part.
    QNGfxSetPosition(0.0f, 0.0f);
    QNGfxSetTintColor(1.0f, 1.0f, 1.0f, 1.0f);
    QNGfxDrawColoredTriangles(batchPositions.data(), batchColors.data(),
                              static_cast<uint32_t>(vertices));
}
