// AudioTestSupport.h -- listening to what the game actually played.
//
// OpenAL Soft is pointed, through its own configuration file, at its `wave`
// output: everything mixed is written to a WAV file (in real time) that the
// tests read back and measure once the device is closed. The game code under
// test opens its default device as usual and knows nothing of this.
#pragma once

#include "game/Game.h"
#include "support/TestSupport.h"

#include <AL/alc.h>
#include <AL/alext.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace audiotest {

constexpr int kRate = 44100; // the capture's and the test sounds' rate
constexpr double kPi = 3.14159265358979323846;

// The capture file of this process (one device open at a time).
inline const std::string& CapturePath() {
    static const std::string path = [] {
        const std::string dir = "/tmp/quorvane-audio-" + std::to_string(getpid());
        std::filesystem::create_directories(dir);
        return dir + "/capture.wav";
    }();
    return path;
}

// Must run before the first OpenAL call of the process: the library reads
// its configuration once.
inline void UseWaveOutput() {
    static const bool done = [] {
        const std::string conf =
            std::filesystem::path(CapturePath()).parent_path().string() + "/alsoft.conf";
        std::ofstream out(conf);
        out << "[general]\n"
               "drivers = wave\n"
               "channels = mono\n"
               "sample-type = float32\n"
               "frequency = "
            << kRate
            << "\n"
               "period_size = 441\n"
               "periods = 2\n"
               "hrtf = false\n"
               "output-limiter = false\n"
               "dither = false\n"
               "[wave]\n"
               "file = "
            << CapturePath() << "\n";
        out.close();
        setenv("ALSOFT_CONF", conf.c_str(), 1);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(std::filesystem::path(CapturePath()).parent_path(), ec);
        });
        return true;
    }();
    (void)done;
}

// Mono samples of the capture.
struct Pcm {
    std::vector<float> samples;
    int rate = kRate;

    // Samples from `from` to `to` seconds.
    std::vector<float> Slice(double from, double to) const {
        const auto clampIndex = [&](double t) {
            const double i = std::max(0.0, t * rate);
            return std::min(samples.size(), static_cast<size_t>(i));
        };
        return {samples.begin() + static_cast<std::ptrdiff_t>(clampIndex(from)),
                samples.begin() + static_cast<std::ptrdiff_t>(clampIndex(to))};
    }
};

inline Pcm ReadCapture() {
    Pcm pcm;
    SF_INFO info{};
    SNDFILE* f = sf_open(CapturePath().c_str(), SFM_READ, &info);
    if (!f)
        return pcm;
    pcm.rate = info.samplerate;
    std::vector<float> frames(static_cast<size_t>(info.frames * info.channels));
    const sf_count_t got = sf_readf_float(f, frames.data(), info.frames);
    sf_close(f);
    pcm.samples.resize(static_cast<size_t>(got));
    for (sf_count_t i = 0; i < got; ++i) {
        float sum = 0.0f;
        for (int c = 0; c < info.channels; ++c)
            sum += frames[static_cast<size_t>(i * info.channels + c)];
        pcm.samples[static_cast<size_t>(i)] = sum / static_cast<float>(info.channels);
    }
    return pcm;
}

// Writes mono float samples; `format` a libsndfile major | minor format.
inline bool WriteSound(const std::string& path, const std::vector<float>& samples,
                       int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16, int rate = kRate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f)
        return false;
    sf_writef_float(f, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(f);
    return true;
}

inline std::vector<float> Tone(double hertz, size_t frames, float amplitude = 0.5f,
                               int rate = kRate) {
    std::vector<float> s(frames);
    for (size_t i = 0; i < frames; ++i)
        s[i] = amplitude *
               static_cast<float>(std::sin(2.0 * kPi * hertz * static_cast<double>(i) / rate));
    return s;
}

inline std::vector<float> Noise(size_t frames, float amplitude = 0.5f) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> d(-amplitude, amplitude);
    std::vector<float> s(frames);
    for (float& v : s)
        v = d(rng);
    return s;
}

inline double Rms(const std::vector<float>& s) {
    if (s.empty())
        return 0.0;
    double sum = 0.0;
    for (float v : s)
        sum += static_cast<double>(v) * v;
    return std::sqrt(sum / static_cast<double>(s.size()));
}

// Frequency of a clean tone from its rising zero crossings.
inline double ToneFrequency(const std::vector<float>& s, int rate = kRate) {
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i - 1] < 0.0f && s[i] >= 0.0f) {
            const double at = static_cast<double>(i - 1) + s[i - 1] / (s[i - 1] - s[i]);
            if (first < 0.0)
                first = at;
            else
                ++crossings;
            last = at;
        }
    }
    return crossings > 0 ? crossings * rate / (last - first) : 0.0;
}

// Share of the signal's energy above `hertz`, from the averaged spectrum of
// 4096-sample blocks.
inline double EnergyShareAbove(const std::vector<float>& s, double hertz, int rate = kRate) {
    constexpr size_t n = 4096;
    double above = 0.0, total = 0.0;
    std::vector<std::complex<double>> a(n);
    for (size_t start = 0; start + n <= s.size(); start += n) {
        for (size_t i = 0; i < n; ++i)
            a[i] = s[start + i];
        // In-place radix-2 FFT.
        for (size_t i = 1, j = 0; i < n; ++i) {
            size_t bit = n >> 1;
            for (; j & bit; bit >>= 1)
                j ^= bit;
            j ^= bit;
            if (i < j)
                std::swap(a[i], a[j]);
        }
        for (size_t len = 2; len <= n; len <<= 1) {
            const std::complex<double> w = std::polar(1.0, -2.0 * kPi / static_cast<double>(len));
            for (size_t i = 0; i < n; i += len) {
                std::complex<double> wk = 1.0;
                for (size_t k = 0; k < len / 2; ++k, wk *= w) {
                    const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * wk;
                    a[i + k] = u + v;
                    a[i + k + len / 2] = u - v;
                }
            }
        }
        for (size_t k = 1; k < n / 2; ++k) {
            const double e = std::norm(a[k]);
            total += e;
            if (static_cast<double>(k) * rate / n > hertz)
                above += e;
        }
    }
    return total > 0.0 ? above / total : 0.0;
}

// Game with its sound started on the wave output, in a scratch directory
// whose assets/sounds/ is a real folder the test fills.
class RenderedAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseWaveOutput();
        std::filesystem::remove(std::filesystem::path(scratch.Path()) / "assets");
        std::filesystem::create_directories(std::filesystem::path(scratch.Path()) /
                                            "assets/sounds");
        game.muted = false;
        game.volume = 1.0f;
        game.toggleCooldown = 0.0f;
        Audio::SetMusicVolume(1.0f);
        Audio::SetEffectsVolume(1.0f);
        game.InitAudio();
        opened = std::chrono::steady_clock::now();
        ASSERT_TRUE(game.audioSystem.IsActive()) << "the wave output did not open";
    }
    void TearDown() override {
        if (game.audioSystem.IsActive())
            game.ShutdownAudio();
        game.muted = false;
        game.volume = 1.0f;
        Audio::SetMusicVolume(1.0f);
        Audio::SetEffectsVolume(1.0f);
    }

    // A sound file under ./assets/sounds/.
    static std::string SoundPath(const std::string& name) { return "assets/sounds/" + name; }

    // Seconds of capture since the device opened, on the device's own clock:
    // the count of samples mixed so far, which is the position in the capture
    // file. The wall clock would drift from it whenever a loaded machine holds
    // the mixer back and it catches up later, so a change made at one wall
    // time would land elsewhere in the capture.
    double Now() const {
        ALCdevice* device = alcGetContextsDevice(alcGetCurrentContext());
        static const auto getClock = reinterpret_cast<LPALCGETINTEGER64VSOFT>(
            alcGetProcAddress(nullptr, "alcGetInteger64vSOFT"));
        if (device && getClock && alcIsExtensionPresent(device, "ALC_SOFT_device_clock")) {
            ALCint64SOFT nanoseconds = 0;
            getClock(device, ALC_DEVICE_CLOCK_SOFT, 1, &nanoseconds);
            return static_cast<double>(nanoseconds) * 1e-9;
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - opened).count();
    }
    // Lets the device play for `seconds`, with the per-frame update every
    // 10 ms as the game loop does; returns the capture time at the end.
    double PlayFor(double seconds) {
        const double end = Now() + seconds;
        while (Now() < end) {
            game.audioSystem.Update();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return Now();
    }
    // One step of a listening test: a change, then `seconds` of playing.
    struct Step {
        std::function<void()> change;
        double seconds;
    };
    // Runs the steps, closes the device and returns what was heard during
    // each step, less `margin` seconds at either end (where the change and
    // the mixer's period blur the boundary).
    std::vector<std::vector<float>> Listen(const std::vector<Step>& steps, double margin = 0.06) {
        std::vector<std::pair<double, double>> spans;
        for (const Step& step : steps) {
            const double from = Now();
            step.change();
            spans.emplace_back(from, PlayFor(step.seconds));
        }
        const Pcm pcm = Finish();
        std::vector<std::vector<float>> heard;
        for (const auto& span : spans)
            heard.push_back(pcm.Slice(span.first + margin, span.second - margin));
        return heard;
    }

    // Writes `samples` as a sound file, loads it and starts it looping.
    Sound StartLooping(const std::string& name, const std::vector<float>& samples,
                       bool stream = false, int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
        EXPECT_TRUE(WriteSound(SoundPath(name), samples, format)) << name;
        Sound sound = game.GetSound(name, stream);
        EXPECT_NE(sound.sound, nullptr) << name;
        sound.SetLoop();
        sound.Play();
        return sound;
    }
    // Closes the device and reads what it played.
    Pcm Finish() {
        game.ShutdownAudio();
        return ReadCapture();
    }

    ScratchGameDir scratch;
    Game& game = Game::Instance(); // first built while the game's assets are linked
    std::chrono::steady_clock::time_point opened;
};

} // namespace audiotest
