// RandomSource -- a seeded Mersenne twister.
#include "core/RandomSource.h"

RandomSource::RandomSource() : engine(std::random_device{}()) {}

void RandomSource::Seed(uint32_t seed) {
    engine.seed(seed);
}

uint32_t RandomSource::Next() {
    return static_cast<uint32_t>(engine());
}

float RandomSource::Unit(float low, float span) {
    // 2^-32: a 32-bit draw scaled into [0, 1).
    const double u = static_cast<double>(Next()) * (1.0 / 4294967296.0);
    return static_cast<float>(u * static_cast<double>(span)) + low;
}
