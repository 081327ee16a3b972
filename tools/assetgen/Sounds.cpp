// Sounds -- the effects, synthesised: sweeps of filtered noise for blades,
// falling square waves for lasers, thumps for hits, chimes for pickups.
#include "Output.h"
#include "Synth.h"

#include "core/AssetManifest.h"

#include <cmath>
#include <functional>
#include <map>
#include <memory>

namespace {

using Voice = std::function<float(float t, float length)>;

// A whoosh: noise through a band-pass whose centre slides from `from` to `to` Hz.
Voice Sweep(float from, float to, float attack, float damping, uint32_t seed) {
    auto noise = std::make_shared<Noise>(seed);
    auto filter = std::make_shared<Filter>();
    return [=](float t, float length) {
        const float u = t / length;
        filter->Set(from * std::pow(to / from, u), damping);
        return filter->Band(noise->Next()) * Envelope(t, attack, length, 1.6f);
    };
}

// A tone whose pitch glides exponentially from `from` to `to` Hz.
Voice Glide(float from, float to, float attack, std::function<float(double)> wave) {
    auto phase = std::make_shared<double>(0.0);
    return [=](float t, float length) {
        const float f = from * std::pow(to / from, t / length);
        *phase += f / kSampleRate;
        return wave(*phase) * Envelope(t, attack, length, 2.0f);
    };
}

// A struck tone: a sine with decaying partials.
Voice Bell(float freq, float start, float decay) {
    return [=](float t, float) {
        const float u = t - start;
        if (u < 0)
            return 0.0f;
        const float e = std::exp(-u / decay) * std::min(1.0f, u * 400);
        return e * (Sine(freq * u) + 0.4f * Sine(freq * 2.01 * u) * std::exp(-u / decay) +
                    0.15f * Sine(freq * 3.02 * u));
    };
}

Voice Mixed(std::vector<std::pair<float, Voice>> parts) {
    return [=](float t, float length) {
        float s = 0;
        for (const auto& [gain, voice] : parts)
            s += gain * voice(t, length);
        return s;
    };
}

std::map<std::string, Voice> Effects() {
    std::map<std::string, Voice> fx;
    fx["cursor_move.wav"] = Glide(880, 1040, 0.003f, [](double p) { return Square(p, 0.25f); });
    fx["cursor_select.wav"] = Mixed({{0.6f, Bell(660, 0, 0.05f)}, {0.6f, Bell(990, 0.06f, 0.08f)}});
    fx["dialog_advance.wav"] = Glide(1320, 1180, 0.002f, [](double p) { return Triangle(p); });
    fx["light_slash.wav"] = Sweep(5200, 1400, 0.015f, 0.5f, 11);
    fx["heavy_slash.wav"] = Mixed(
        {{1.0f, Sweep(3200, 500, 0.05f, 0.45f, 12)}, {0.5f, Sweep(900, 200, 0.08f, 0.8f, 13)}});
    fx["dash_slash.wav"] =
        Mixed({{1.0f, Sweep(400, 6000, 0.05f, 0.4f, 14)},
               {0.25f, Glide(600, 2400, 0.05f, [](double p) { return Sine(p); })}});
    fx["pewlazer.wav"] = Glide(1600, 180, 0.004f, [](double p) { return Square(p, 0.4f); });
    fx["deflect.wav"] = Mixed({{0.7f, Bell(1760, 0.0f, 0.09f)},
                               {0.5f, Bell(2637, 0.0f, 0.07f)},
                               {0.6f, Sweep(7000, 3000, 0.002f, 0.6f, 19)}});
    fx["windup.wav"] = Glide(520, 1560, 0.03f, [](double p) { return Triangle(p); });
    fx["hit.wav"] = Mixed({{0.8f, Sweep(2500, 300, 0.002f, 1.0f, 15)},
                           {1.0f, Glide(140, 45, 0.003f, [](double p) { return Sine(p); })}});
    fx["enemy_heavy_slash.wav"] = Mixed({{1.0f, Sweep(1800, 300, 0.06f, 0.5f, 16)},
                                         {0.35f, Bell(410, 0.12f, 0.12f)},
                                         {0.25f, Bell(587, 0.12f, 0.1f)}});
    fx["bio_grenade.wav"] = Mixed({{0.9f, Glide(180, 50, 0.002f, [](double p) { return Sine(p); })},
                                   {0.7f, Sweep(6000, 2500, 0.02f, 1.2f, 17)}});
    fx["teleport.wav"] = [tone = Glide(300, 2400, 0.02f, [](double p) { return Triangle(p); }),
                          sparkle = Sweep(2000, 9000, 0.1f, 0.3f, 18)](float t, float length) {
        const float wobble = 0.6f + 0.4f * std::sin(2 * 3.14159f * 18 * t);
        return 0.6f * tone(t, length) * wobble + 0.5f * sparkle(t, length);
    };
    fx["commander_slash.wav"] =
        Mixed({{1.0f, Sweep(7000, 2000, 0.01f, 0.4f, 19)}, {0.3f, Bell(2200, 0.04f, 0.1f)}});
    fx["laserrekt.wav"] =
        Mixed({{0.6f, Glide(1200, 300, 0.003f, [](double p) { return Square(p); })},
               {0.9f, Sweep(3000, 600, 0.002f, 0.9f, 20)}});
    fx["slashrekt.wav"] =
        Mixed({{0.7f, Sweep(5000, 1500, 0.01f, 0.5f, 21)},
               {0.9f, Sweep(1200, 250, 0.003f, 0.7f, 22)},
               {0.6f, Glide(220, 90, 0.003f, [](double p) { return Triangle(p); })}});
    fx["pickup.wav"] = Mixed({{0.5f, Bell(1047, 0.0f, 0.08f)},
                              {0.5f, Bell(1319, 0.07f, 0.08f)},
                              {0.6f, Bell(1568, 0.14f, 0.15f)}});
    fx["refill_station3.wav"] = [tone = Glide(220, 880, 0.1f, [](double p) { return Saw(p); }),
                                 bubbles = Noise(23),
                                 filter = Filter()](float t, float length) mutable {
        filter.Set(600 + 3000 * t / length, 0.3f);
        const float bubble = std::sin(2 * 3.14159f * 9 * t) > 0.6f ? 1.0f : 0.3f;
        return 0.4f * tone(t, length) +
               0.5f * bubble * filter.Band(bubbles.Next()) * Envelope(t, 0.05f, length, 1.0f);
    };
    return fx;
}

} // namespace

void MakeSounds(Output& out) {
    const std::map<std::string, Voice> fx = Effects();
    for (const AssetSound& sound : AssetSounds()) {
        if (sound.music)
            continue;
        const auto it = fx.find(sound.file);
        if (it == fx.end()) {
            out.Fail(std::string("no synthesis for ") + sound.file);
            continue;
        }
        const int frames = static_cast<int>(sound.seconds * kSampleRate);
        std::vector<float> samples(frames);
        for (int i = 0; i < frames; ++i)
            samples[i] = it->second(static_cast<float>(i) / kSampleRate, sound.seconds);
        Normalise(samples, 1, 0.89f, 4.0f);
        if (!WriteWav(out.PathOf(std::string("sounds/") + sound.file), samples, 1))
            out.Fail(std::string("cannot write ") + sound.file);
    }
}
