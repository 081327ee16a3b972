// Music -- looping tracks from a note sequencer over a handful of voices.
//
// Every note is written into a circular buffer exactly one loop long, so a
// note or echo that rings past the end wraps round to the start: the loop
// repeats without a seam.
#include "Output.h"
#include "Synth.h"

#include "core/AssetManifest.h"

#include <algorithm>
#include <cmath>

namespace {

enum class Instrument { Bell, Pad, Bass, Lead, Pluck, Kick, Snare, Hat };

class Track {
public:
    explicit Track(double seconds)
        : frames_(static_cast<size_t>(seconds * kSampleRate)), left_(frames_), right_(frames_) {}

    double Seconds() const { return static_cast<double>(frames_) / kSampleRate; }

    // Adds one note; `pan` from -1 (left) to 1 (right).
    void Note(double start, double length, int midi, Instrument kind, float gain, float pan = 0) {
        const float freq = 440.0f * std::pow(2.0f, (midi - 69) / 12.0f);
        const double release = kind == Instrument::Pad    ? 0.6
                               : kind == Instrument::Bell ? 1.2
                                                          : 0.08;
        const size_t count = static_cast<size_t>((length + release) * kSampleRate);
        const size_t first = static_cast<size_t>(start * kSampleRate);
        Filter filter;
        Noise noise(static_cast<uint32_t>(midi * 977 + first));
        double phase = 0, phase2 = 0.31, phase3 = 0.67;
        const float gl = gain * std::sqrt(0.5f * (1 - pan)),
                    gr = gain * std::sqrt(0.5f * (1 + pan));
        for (size_t i = 0; i < count; ++i) {
            const float t = static_cast<float>(i) / kSampleRate;
            const float held = t < length ? 1.0f
                                          : std::max(0.0f, 1.0f - (t - static_cast<float>(length)) /
                                                                      static_cast<float>(release));
            float s = 0;
            switch (kind) {
            case Instrument::Bell:
                phase += freq / kSampleRate;
                s = (Sine(phase) + 0.35f * Sine(phase * 2.0) * std::exp(-t * 3) +
                     0.1f * Sine(phase * 3.0)) *
                    std::exp(-t * 1.6f) * std::min(1.0f, t * 300);
                break;
            case Instrument::Pad: {
                phase += freq / kSampleRate;
                phase2 += freq * 1.004 / kSampleRate;
                phase3 += freq * 0.996 / kSampleRate;
                filter.Set(1400, 0.9f);
                s = filter.Low((Saw(phase) + Saw(phase2) + Saw(phase3)) / 3) *
                    std::min(1.0f, t / 0.35f) * held;
                break;
            }
            case Instrument::Bass:
                phase += freq / kSampleRate;
                filter.Set(180 + 1400 * std::exp(-t * 9), 0.6f);
                s = filter.Low(0.6f * Saw(phase) + 0.4f * Square(phase)) * std::min(1.0f, t * 500) *
                    held;
                break;
            case Instrument::Lead: {
                const float vib =
                    1 + 0.004f * std::sin(2 * 3.14159f * 5.5f * t) * std::min(1.0f, t * 3);
                phase += freq * vib / kSampleRate;
                filter.Set(2600, 0.7f);
                s = filter.Low(0.5f * Square(phase, 0.35f) + 0.5f * Triangle(phase)) *
                    std::min(1.0f, t * 120) * held * (0.8f + 0.2f * std::exp(-t * 4));
                break;
            }
            case Instrument::Pluck:
                phase += freq / kSampleRate;
                filter.Set(600 + 4000 * std::exp(-t * 14), 0.5f);
                s = filter.Low(Saw(phase)) * std::exp(-t * 7) * std::min(1.0f, t * 800);
                break;
            case Instrument::Kick:
                phase += (45 + 110 * std::exp(-t * 30)) / kSampleRate;
                s = Sine(phase) * std::exp(-t * 9) * std::min(1.0f, t * 1000);
                break;
            case Instrument::Snare:
                phase += 190.0 / kSampleRate;
                filter.Set(3500, 0.8f);
                s = (0.4f * Sine(phase) * std::exp(-t * 25) +
                     0.8f * filter.Band(noise.Next()) * std::exp(-t * 14)) *
                    std::min(1.0f, t * 1000);
                break;
            case Instrument::Hat:
                filter.Set(7000, 0.6f);
                s = filter.High(noise.Next()) * std::exp(-t * 60) * std::min(1.0f, t * 2000);
                break;
            }
            const size_t at = (first + i) % frames_;
            left_[at] += s * gl;
            right_[at] += s * gr;
        }
    }

    // Ping-pong echo run twice round the loop, so the echo at the start is
    // the tail of the end; then soft-clip, normalise and interleave.
    std::vector<float> Master(double echoSeconds, float feedback, float mix) {
        const size_t delay = static_cast<size_t>(echoSeconds * kSampleRate);
        std::vector<float> dl(delay, 0), dr(delay, 0), wetL(frames_), wetR(frames_);
        size_t k = 0;
        for (int pass = 0; pass < 2; ++pass)
            for (size_t i = 0; i < frames_; ++i) {
                const float outL = dl[k], outR = dr[k];
                dl[k] = right_[i] * 0.7f + outR * feedback;
                dr[k] = left_[i] * 0.7f + outL * feedback;
                k = (k + 1) % delay;
                wetL[i] = outL;
                wetR[i] = outR;
            }
        std::vector<float> out(frames_ * 2);
        Noise dither(99);
        for (size_t i = 0; i < frames_; ++i) {
            out[2 * i] = std::tanh(left_[i] + mix * wetL[i]) + dither.Next() * 2e-5f;
            out[2 * i + 1] = std::tanh(right_[i] + mix * wetR[i]) + dither.Next() * 2e-5f;
        }
        float top = 0;
        for (float s : out)
            top = std::max(top, std::fabs(s));
        for (float& s : out)
            s *= 0.85f / top;
        return out;
    }

private:
    size_t frames_;
    std::vector<float> left_, right_;
};

// The chorale: the running triplet melody over its chords, three times
// through with the arrangement growing each time.
std::vector<float> Chorale() {
    const double bar = 64.0 / 24, step = bar / 9;
    Track track(bar * 24);
    enum {
        G3 = 55,
        A3 = 57,
        B3 = 59,
        C4 = 60,
        D4 = 62,
        E4 = 64,
        Fs4 = 66,
        G4 = 67,
        A4 = 69,
        B4 = 71,
        C5 = 72,
        D5 = 74,
        E5 = 76,
        Fs5 = 78,
        G5 = 79
    };
    const int melody[8][9] = {
        {G4, A4, B4, D5, C5, C5, E5, D5, D5}, {G5, Fs5, G5, D5, B4, G4, A4, B4, C5},
        {D5, E5, D5, C5, B4, A4, B4, G4, A4}, {Fs4, G4, A4, D4, Fs4, A4, C5, B4, A4},
        {G4, A4, B4, D5, C5, C5, E5, D5, D5}, {G5, Fs5, G5, D5, B4, G4, A4, B4, C5},
        {D5, E5, D5, C5, B4, A4, B4, G4, A4}, {B4, G4, A4, D4, G4, B4, G4, G4, G4}};
    // Chord roots (bass, MIDI) per bar and the pad's three chord tones.
    const int roots[8] = {43, 43, 50, 50, 43, 40, 48, 43};
    const int pads[8][3] = {
        {G3, B3, D4}, {G3, B3, D4},      {Fs4 - 12, A3, D4},          {Fs4 - 12, A3, C4},
        {G3, B3, D4}, {E4 - 12, G3, B3}, {C4 - 12 + 12, E4, G4 - 12}, {G3, B3, D4}};
    for (int pass = 0; pass < 3; ++pass)
        for (int b = 0; b < 8; ++b) {
            const double t0 = (pass * 8 + b) * bar;
            const bool last = b == 7;
            for (int n = 0; n < 9; ++n) {
                if (last && n > 6)
                    break; // the cadence holds its last note
                const double len = last && n == 6 ? step * 3 : step * 0.9;
                track.Note(t0 + n * step, len, melody[b][n], Instrument::Bell, 0.32f, -0.15f);
                if (pass == 2)
                    track.Note(t0 + n * step, len, melody[b][n] - 12, Instrument::Pluck, 0.12f,
                               0.3f);
            }
            for (int beat = 0; beat < 3; ++beat)
                track.Note(t0 + beat * step * 3, step * 2, roots[b] + (beat == 1 ? 7 : 0),
                           Instrument::Pluck, 0.3f, 0.1f);
            if (pass >= 1)
                for (int k = 0; k < 3; ++k)
                    track.Note(t0, bar * 0.95, pads[b][k], Instrument::Pad, 0.11f, (k - 1) * 0.5f);
        }
    return track.Master(step * 3, 0.3f, 0.3f);
}

struct Style {
    int root; // MIDI of the key's tonic (minor)
    float bpm;
    std::vector<int> chords; // scale degree per bar, cycled
    float drums;             // 0 none .. 1 driving
    bool arp;
    Instrument lead;
    uint32_t seed;
};

int Degree(int root, int degree) {
    static const int minor[7] = {0, 2, 3, 5, 7, 8, 10};
    const int octave = degree >= 0 ? degree / 7 : (degree - 6) / 7;
    return root + 12 * octave + minor[((degree % 7) + 7) % 7];
}

// A minor-key groove: bass, pad, optional arpeggio, drums and a lead motif
// that repeats every two bars, each time fitted to the current chord.
std::vector<float> Groove(const Style& s) {
    const double beat = 60.0 / s.bpm, bar = beat * 4, sixteenth = beat / 4;
    int bars = static_cast<int>(std::ceil(60.0 / bar));
    bars = (bars + 7) / 8 * 8;
    Track track(bars * bar);
    Noise rng(s.seed);
    // The motif: 32 sixteenths, each a rest or a scale step above the chord root.
    std::vector<int> motif(32, -100);
    int pitch = 2;
    for (int i = 0; i < 32; i += (rng.Next() > 0.3f ? 2 : 1)) {
        if (rng.Next() > -0.2f) {
            pitch =
                std::max(0, std::min(9, pitch + static_cast<int>(std::lround(rng.Next() * 2.4f))));
            motif[i] = pitch;
        }
    }
    for (int b = 0; b < bars; ++b) {
        const double t0 = b * bar;
        const int chord = s.chords[b % s.chords.size()];
        const int section = (b / 8) % 4; // arrangement builds and breathes
        for (int k = 0; k < 3; ++k)
            track.Note(t0, bar * 0.98, Degree(s.root, chord + 2 * k), Instrument::Pad, 0.09f,
                       (k - 1) * 0.6f);
        for (int e = 0; e < 8; ++e)
            if (e % 2 == 0 || s.drums > 0.5f)
                track.Note(t0 + e * beat / 2, beat * 0.45, Degree(s.root, chord) - 24,
                           Instrument::Bass, 0.32f);
        if (s.arp && section != 0)
            for (int i = 0; i < 16; ++i)
                track.Note(t0 + i * sixteenth, sixteenth * 0.9,
                           Degree(s.root, chord + 2 * (i % 4 == 3 ? 1 : i % 4)) + 12,
                           Instrument::Pluck, 0.1f, i % 2 ? 0.5f : -0.5f);
        if (s.drums > 0)
            for (int i = 0; i < 16; ++i) {
                const bool kick = i % 8 == 0 || (s.drums > 0.7f && (i == 10 || i == 14));
                if (kick)
                    track.Note(t0 + i * sixteenth, 0.3, 36, Instrument::Kick, 0.55f);
                if (i % 8 == 4)
                    track.Note(t0 + i * sixteenth, 0.2, 38, Instrument::Snare,
                               0.3f * s.drums + 0.1f);
                if (i % 2 == 0 || s.drums > 0.8f)
                    track.Note(t0 + i * sixteenth, 0.05, 42, Instrument::Hat, 0.08f, 0.3f);
            }
        if (section == 1 || section == 3)
            for (int i = 0; i < 16; ++i) {
                const int m = motif[(b % 2) * 16 + i];
                if (m < -50)
                    continue;
                track.Note(t0 + i * sixteenth, sixteenth * 1.8, Degree(s.root, chord + m) + 12,
                           s.lead, 0.2f, -0.2f);
            }
    }
    return track.Master(beat * 0.75, 0.35f, 0.25f);
}

} // namespace

void MakeMusic(Output& out) {
    const std::vector<std::pair<std::string, Style>> grooves = {
        {kAssetEndlessMusic, {57, 124, {0, 5, 2, 6}, 0.9f, true, Instrument::Lead, 3}},
        {"01.Level1Music.ogg", {50, 92, {0, 3, 5, 4}, 0.3f, false, Instrument::Bell, 1}},
        {"02.Level2Music.ogg", {52, 104, {0, 6, 5, 4}, 0.6f, true, Instrument::Lead, 2}},
        {"04.Level3Music.ogg", {48, 112, {0, 5, 3, 4}, 0.75f, true, Instrument::Pluck, 4}},
        // The gas works: slow and uneasy, a half step above the tonic.
        {"07.Level4Music.ogg", {53, 96, {0, 1, 0, 5}, 0.5f, true, Instrument::Pluck, 6}},
        // The barracks: a march.
        {"08.Level5Music.ogg", {55, 120, {0, 5, 6, 4}, 0.85f, true, Instrument::Lead, 7}},
        // The high keep: the fastest before the hall.
        {"09.Level6Music.ogg", {50, 128, {0, 3, 6, 5}, 0.9f, true, Instrument::Lead, 8}},
        // The approach to the Commander's hall: bells and little else.
        {"10.Level7Music.ogg", {45, 84, {0, 5, 3, 4}, 0.2f, false, Instrument::Bell, 9}},
        {kAssetBossMusic, {54, 140, {0, 1, 0, 5}, 1.0f, true, Instrument::Lead, 5}},
    };
    for (const auto& [file, style] : grooves)
        if (!WriteOgg(out.PathOf("sounds/" + file), Groove(style), 2))
            out.Fail("cannot write " + file);
    if (!WriteMp3(out.PathOf(std::string("sounds/") + kAssetMenuMusic), Chorale(), 2))
        out.Fail(std::string("cannot write ") + kAssetMenuMusic);
}
