// Particle -- the program-wide pool of free particles.
#include "render/Particle.h"

#include <memory>
#include <vector>

namespace {

struct ParticlePool {
    std::vector<std::unique_ptr<Particle>> free;
};

ParticlePool& Pool() {
    static ParticlePool pool;
    return pool;
}

} // namespace

Particle* ParticlePoolTake() {
    auto& free = Pool().free;
    if (free.empty())
        return new Particle();
    Particle* p = free.back().release();
    free.pop_back();
    *p = Particle();
    return p;
}

void ParticlePoolGive(Particle* particle) {
    if (particle)
        Pool().free.emplace_back(particle);
}

void ParticlePoolReserve(size_t count) {
    auto& free = Pool().free;
    free.reserve(count);
    while (free.size() < count)
        free.push_back(std::make_unique<Particle>());
}

void ParticlePoolClear() {
    auto& free = Pool().free;
    free.clear();
    free.shrink_to_fit();
}

size_t ParticlePoolSize() {
    return Pool().free.size();
}
