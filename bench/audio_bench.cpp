// Audio: the per-frame update the game loop pays for, and what a streamed
// track holds in memory against the same track loaded whole.
//
// OpenAL Soft is pointed at its `null` output (mixing in real time, writing
// nothing) through its configuration file, so no sound card is needed.
#include "audio/AudioSystem.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const std::string& BenchDir() {
    static const std::string dir = [] {
        const std::string d = "/tmp/quorvane-audio-bench-" + std::to_string(getpid());
        std::filesystem::create_directories(d);
        std::ofstream(d + "/alsoft.conf") << "[general]\ndrivers = null\n";
        setenv("ALSOFT_CONF", (d + "/alsoft.conf").c_str(), 1);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all("/tmp/quorvane-audio-bench-" + std::to_string(getpid()),
                                        ec);
        });
        return d;
    }();
    return dir;
}

// A stereo track of `seconds` at 44.1 kHz: a slow chord over soft noise.
std::string WriteTrack(const std::string& name, int seconds, int format) {
    const std::string path = BenchDir() + "/" + name;
    if (std::filesystem::exists(path))
        return path;
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
    std::vector<float> block(44100 * 2);
    for (int s = 0; s < seconds; ++s) {
        for (int i = 0; i < 44100; ++i) {
            const double t = s + i / 44100.0;
            const float v = static_cast<float>(0.2 * std::sin(2 * M_PI * 220.0 * t) +
                                               0.1 * std::sin(2 * M_PI * 277.2 * t));
            block[static_cast<size_t>(2 * i)] = v + noise(rng);
            block[static_cast<size_t>(2 * i + 1)] = v + noise(rng);
        }
        sf_writef_float(f, block.data(), 44100);
    }
    sf_close(f);
    return path;
}

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

} // namespace

// Per-frame update with nothing streaming: what every frame costs at least.
static void BM_AudioUpdateIdle(benchmark::State& state) {
    BenchDir();
    AudioSystem audio;
    audio.Init(32);
    for (auto _ : state)
        audio.Update();
    state.counters["voices"] = audio.VoiceCount();
}
BENCHMARK(BM_AudioUpdateIdle);

// Per-frame update at 60 frames per second while a looping OGG track
// streams and eight effects play: the occasional block decode is averaged
// over the frames between refills.
static void BM_AudioUpdateStreamingAt60fps(benchmark::State& state) {
    const std::string track = WriteTrack("music30.ogg", 30, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    AudioSystem audio;
    audio.Init(32);
    ChannelGroup group;
    audio.CreateChannelGroup("Game_Sounds", &group);
    SoundData* music = audio.CreateStream(track);
    AudioSystem::SetSoundLoop(music, true);
    audio.PlaySound(music, &group);
    SoundData* effect =
        audio.CreateSound(WriteTrack("effect.wav", 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    for (int i = 0; i < 8; ++i)
        audio.PlaySound(effect, &group);
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::microseconds(16667));
        state.ResumeTiming();
        audio.Update();
    }
    audio.Close();
}
BENCHMARK(BM_AudioUpdateStreamingAt60fps)->Iterations(240)->Unit(benchmark::kMicrosecond);

// A four-minute stereo OGG track loaded whole (a sample) and as a stream.
static void BM_FourMinuteTrackMemory(benchmark::State& state) {
    const std::string track = WriteTrack("music240.ogg", 240, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    const bool stream = state.range(0) != 0;
    AudioSystem audio;
    audio.Init(32);
    size_t held = 0;
    long resident = 0;
    for (auto _ : state) {
        const long before = ResidentBytes();
        SoundData* s = stream ? audio.CreateStream(track) : audio.CreateSound(track);
        resident = ResidentBytes() - before;
        held = AudioSystem::SoundMemory(s);
        audio.ReleaseSound(s);
    }
    state.counters["held_MiB"] = static_cast<double>(held) / (1024.0 * 1024.0);
    state.counters["rss_growth_MiB"] = static_cast<double>(resident) / (1024.0 * 1024.0);
    state.SetLabel(stream ? "stream" : "sample");
}
BENCHMARK(BM_FourMinuteTrackMemory)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
