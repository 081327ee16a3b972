// RandomSource.h -- a module's own random numbers: a 32-bit Mersenne twister
// seeded once from the platform's non-deterministic random device. Each
// module that draws random numbers owns one; tests may seed it to replay a
// run exactly.
#pragma once

#include <cstdint>
#include <random>

class RandomSource {
public:
    // Seeded from std::random_device.
    RandomSource();

    // Starts the sequence again from `seed`.
    void Seed(uint32_t seed);
    // The next raw 32-bit draw.
    uint32_t Next();
    // A draw mapped to [low, low + span) as u x 2^-32 x span + low.
    float Unit(float low, float span);

    std::mt19937 engine;
};
