// Synth.h -- the small synthesiser behind every sound effect and music track.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kSampleRate = 44100;

// Deterministic noise source (a linear congruential generator).
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed * 2654435761u + 1) {}
    float Next() { // uniform in [-1, 1)
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<int32_t>(state_) / 2147483648.0f;
    }

private:
    uint32_t state_;
};

// Chamberlin state-variable filter: low, band and high outputs at once.
class Filter {
public:
    // cutoff in Hz, resonance damping 0.1 (sharp) to 1.4 (soft).
    void Set(float cutoff, float damping);
    float Low(float in) {
        Step(in);
        return low_;
    }
    float Band(float in) {
        Step(in);
        return band_;
    }
    float High(float in) {
        Step(in);
        return high_;
    }

private:
    void Step(float in);
    float f_ = 0.1f, q_ = 1.0f, low_ = 0, band_ = 0, high_ = 0;
};

// Waveforms of a phase in cycles.
float Sine(double phase);
float Square(double phase, float duty = 0.5f);
float Saw(double phase);
float Triangle(double phase);

// Attack-decay envelope value at time t (seconds) for a sound of `length`:
// linear attack, exponential-ish decay to zero at the end.
float Envelope(float t, float attack, float length, float curve = 2.0f);

// Scales to `peak` and fades the first and last milliseconds so the sound
// starts and ends at zero (no clicks).
void Normalise(std::vector<float>& samples, int channels, float peak, float fadeMs);

// 16-bit PCM WAV through libsndfile.
bool WriteWav(const std::string& path, const std::vector<float>& samples, int channels);
// Vorbis in Ogg and MPEG layer III through libsndfile; the Ogg stream serial
// number is fixed afterwards so the bytes never change between runs.
bool WriteOgg(const std::string& path, const std::vector<float>& samples, int channels);
bool WriteMp3(const std::string& path, const std::vector<float>& samples, int channels);

// Sets every page's stream serial number and recomputes its checksum.
bool FixOggSerial(std::vector<uint8_t>& bytes, uint32_t serial);
