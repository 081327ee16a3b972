// Synth -- oscillators, filters, envelopes and file output for sound.
#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sndfile.h>

namespace {
constexpr double kTwoPi = 6.283185307179586;

bool WriteSound(const std::string& path, const std::vector<float>& samples, int channels,
                int format, double quality) {
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    if (quality >= 0)
        sf_command(file, SFC_SET_COMPRESSION_LEVEL, &quality, sizeof(quality));
    // Written in blocks: the Vorbis encoder is happier with small writes.
    const sf_count_t frames = static_cast<sf_count_t>(samples.size() / channels);
    bool ok = true;
    for (sf_count_t at = 0; at < frames && ok; at += 4096) {
        const sf_count_t n = std::min<sf_count_t>(4096, frames - at);
        ok = sf_writef_float(file, samples.data() + at * channels, n) == n;
    }
    sf_close(file);
    return ok;
}

uint32_t OggCrc(const uint8_t* data, size_t length) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            table[i] = r;
        }
        ready = true;
    }
    uint32_t crc = 0;
    for (size_t i = 0; i < length; ++i)
        crc = (crc << 8) ^ table[((crc >> 24) & 0xFF) ^ data[i]];
    return crc;
}
} // namespace

void Filter::Set(float cutoff, float damping) {
    f_ = 2.0f * static_cast<float>(
                    std::sin(3.14159265 * std::min(cutoff, kSampleRate / 8.0f) / kSampleRate));
    q_ = damping;
}

void Filter::Step(float in) {
    low_ += f_ * band_;
    high_ = in - low_ - q_ * band_;
    band_ += f_ * high_;
}

float Sine(double phase) {
    return static_cast<float>(std::sin(kTwoPi * phase));
}
float Square(double phase, float duty) {
    return phase - std::floor(phase) < duty ? 1.0f : -1.0f;
}
float Saw(double phase) {
    return static_cast<float>(2.0 * (phase - std::floor(phase)) - 1.0);
}
float Triangle(double phase) {
    const double p = phase - std::floor(phase);
    return static_cast<float>(p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
}

float Envelope(float t, float attack, float length, float curve) {
    if (t < 0 || t >= length)
        return 0;
    if (t < attack)
        return t / attack;
    const float rest = (t - attack) / std::max(1e-6f, length - attack);
    return std::pow(1 - rest, curve);
}

void Normalise(std::vector<float>& samples, int channels, float peak, float fadeMs) {
    float top = 0;
    for (float s : samples)
        top = std::max(top, std::fabs(s));
    if (top > 0)
        for (float& s : samples)
            s *= peak / top;
    const size_t frames = samples.size() / channels;
    const size_t fade = std::min(frames / 2, static_cast<size_t>(fadeMs * kSampleRate / 1000));
    for (size_t i = 0; i < fade; ++i) {
        const float g = static_cast<float>(i) / fade;
        for (int c = 0; c < channels; ++c) {
            samples[i * channels + c] *= g;
            samples[(frames - 1 - i) * channels + c] *= g;
        }
    }
}

bool WriteWav(const std::string& path, const std::vector<float>& samples, int channels) {
    return WriteSound(path, samples, channels, SF_FORMAT_WAV | SF_FORMAT_PCM_16, -1);
}

bool FixOggSerial(std::vector<uint8_t>& bytes, uint32_t serial) {
    size_t at = 0;
    int pages = 0;
    while (at + 27 <= bytes.size()) {
        if (bytes[at] != 'O' || bytes[at + 1] != 'g' || bytes[at + 2] != 'g' ||
            bytes[at + 3] != 'S')
            return false;
        const size_t segments = bytes[at + 26];
        if (at + 27 + segments > bytes.size())
            return false;
        size_t body = 0;
        for (size_t s = 0; s < segments; ++s)
            body += bytes[at + 27 + s];
        const size_t length = 27 + segments + body;
        if (at + length > bytes.size())
            return false;
        for (int k = 0; k < 4; ++k) {
            bytes[at + 14 + k] = static_cast<uint8_t>(serial >> (8 * k));
            bytes[at + 22 + k] = 0;
        }
        const uint32_t crc = OggCrc(&bytes[at], length);
        for (int k = 0; k < 4; ++k)
            bytes[at + 22 + k] = static_cast<uint8_t>(crc >> (8 * k));
        at += length;
        ++pages;
    }
    return at == bytes.size() && pages > 0;
}

bool WriteOgg(const std::string& path, const std::vector<float>& samples, int channels) {
    if (!WriteSound(path, samples, channels, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.55))
        return false;
    std::vector<uint8_t> bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (!FixOggSerial(bytes, 0x51564E31u)) // "QVN1"
        return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool WriteMp3(const std::string& path, const std::vector<float>& samples, int channels) {
    return WriteSound(path, samples, channels, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 0.4);
}
