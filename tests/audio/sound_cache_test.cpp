// Loading, caching and the game's sound controls: the cache, bad files,
// formats, muting, the voice limit and running with no device at all.
#include "AudioTestSupport.h"
#include "audio/Audio.h"
#include "game/Game.h"

#include "scenes/Scene.h"

using namespace audiotest;

class SoundCache : public RenderedAudioTest {};

TEST_F(SoundCache, SameFileIsDecodedOnce) {
    ASSERT_TRUE(WriteSound(SoundPath("hit.wav"), Tone(300.0, 4410)));
    const uint32_t before = game.audioSystem.SoundsCreated();
    Sound a = game.GetSound("hit.wav", false);
    Sound b = game.GetSound("hit.wav", false);
    ASSERT_NE(a.sound, nullptr);
    EXPECT_EQ(a.sound, b.sound);
    EXPECT_EQ(game.audioSystem.SoundsCreated(), before + 1);
    EXPECT_EQ(game.soundCache.count("hit.wav"), 1u);
    EXPECT_EQ(game.soundCache.count("./assets/sounds/hit.wav"), 0u);
}

TEST_F(SoundCache, NewSoundTakesTheMasterVolume) {
    ASSERT_TRUE(WriteSound(SoundPath("hit.wav"), Tone(300.0, 4410)));
    game.volume = 0.3f;
    EXPECT_FLOAT_EQ(game.GetSound("hit.wav", false).volume, 0.3f);
    EXPECT_FLOAT_EQ(game.GetSound("missing.wav", false).volume, 0.3f);
}

TEST_F(SoundCache, BadFilesGiveSilentSoundsAndAreNotCached) {
    std::vector<char> random(4096);
    std::mt19937 rng(7);
    for (char& c : random)
        c = static_cast<char>(rng());
    scratch.Write(SoundPath("random.ogg"), std::string(random.begin(), random.end()));
    scratch.Write(SoundPath("random.mp3"), std::string(random.begin(), random.end()));
    scratch.Write(SoundPath("empty.wav"), "");
    ASSERT_TRUE(WriteSound(SoundPath("whole.wav"), Tone(300.0, 4410)));
    const std::string whole = scratch.Read(SoundPath("whole.wav"));
    scratch.Write(SoundPath("header_cut.wav"), whole.substr(0, 30));
    scratch.Write(SoundPath("no_data.wav"), whole.substr(0, 44));
    // An Ogg whose Vorbis headers were damaged by a fuzzer: refused (the
    // decoder state the library then keeps is excused in tests/lsan.supp).
    std::filesystem::copy_file(SourceDir() + "/tests/fixtures/sounds/vorbis_header_damaged.ogg",
                               SoundPath("vorbis_header_damaged.ogg"));

    for (const char* name : {"missing.wav", "random.ogg", "random.mp3", "empty.wav",
                             "header_cut.wav", "no_data.wav", "vorbis_header_damaged.ogg"}) {
        for (bool stream : {false, true}) {
            SCOPED_TRACE(std::string(name) + (stream ? " as a stream" : " as a sample"));
            Sound s = game.GetSound(name, stream);
            EXPECT_EQ(s.sound, nullptr);
            EXPECT_EQ(game.soundCache.count(name), 0u);
            s.SetLoop();
            s.Play();
            EXPECT_FALSE(s.channel.IsSet());
            EXPECT_FALSE(s.IsPlaying());
            s.SetRate(0.5f);
            s.Update(0.016f);
        }
    }
    // A failure is tried again: once the file is there it loads.
    ASSERT_TRUE(WriteSound(SoundPath("missing.wav"), Tone(300.0, 4410)));
    EXPECT_NE(game.GetSound("missing.wav", false).sound, nullptr);
}

namespace {
// A hand-made 16-bit mono PCM WAV: the header announces `rate`, whatever
// the few frames after it.
std::string TinyWav(uint32_t rate, uint32_t frames) {
    std::string b;
    const auto put32 = [&b](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b += static_cast<char>(v >> (8 * i));
    };
    const auto put16 = [&b](uint32_t v) {
        b += static_cast<char>(v);
        b += static_cast<char>(v >> 8);
    };
    b += "RIFF";
    put32(36 + frames * 2);
    b += "WAVEfmt ";
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(rate);
    put32(rate * 2); // bytes per second (wraps for absurd rates, as a fuzzer's file does)
    put16(2);
    put16(16);
    b += "data";
    put32(frames * 2);
    for (uint32_t i = 0; i < frames; ++i)
        put16(i % 2 ? 0x4000 : 0xC000);
    return b;
}
} // namespace

TEST_F(SoundCache, RatesNoDeviceCouldPlayAreRefusedNotAllocated) {
    // 2147483647 Hz once sized a 2 GiB stream block; 80 MHz with four
    // frames made every refill of the looping stream go round the file
    // millions of times.
    for (uint32_t rate : {2147483647u, 80000000u, 192001u}) {
        const std::string name = "rate" + std::to_string(rate) + ".wav";
        scratch.Write(SoundPath(name), TinyWav(rate, 4));
        for (bool stream : {false, true}) {
            SCOPED_TRACE(name + (stream ? " as a stream" : " as a sample"));
            EXPECT_FALSE(AudioSystem::DecodeWithoutDevice(SoundPath(name), stream));
            Sound s = game.GetSound(name, stream);
            EXPECT_EQ(s.sound, nullptr);
            EXPECT_EQ(game.soundCache.count(name), 0u);
        }
    }
    // The highest rate still plays.
    scratch.Write(SoundPath("rate192000.wav"), TinyWav(192000, 4));
    EXPECT_NE(game.GetSound("rate192000.wav", false).sound, nullptr);
}

TEST_F(SoundCache, LoopingStreamOfAFewFramesKeepsPlayingWithoutSpinning) {
    // A block at 192 kHz is 48000 frames: filled from a file of one frame it
    // would go round 48000 times per refill; each refill now stops after a
    // bounded number of rounds and the stream keeps going.
    scratch.Write(SoundPath("one.wav"), TinyWav(192000, 1));
    EXPECT_TRUE(AudioSystem::DecodeWithoutDevice(SoundPath("one.wav"), true));
    Sound one = game.GetSound("one.wav", true);
    ASSERT_NE(one.sound, nullptr);
    one.SetLoop();
    one.Play();
    for (int i = 0; i < 20; ++i)
        game.audioSystem.Update();
    PlayFor(0.2);
    EXPECT_TRUE(one.IsPlaying());
    EXPECT_LE(AudioSystem::SoundMemory(one.sound), size_t{192000} * 2);
}

TEST_F(SoundCache, WavOggAndMp3LoadAsSamplesAndStreams) {
    struct Case {
        const char* name;
        int format;
    };
    const Case cases[] = {
        {"tone.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
        {"tone_float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
        {"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
        {"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteSound(SoundPath(c.name), Tone(440.0, kRate), c.format));
        Sound sample = game.GetSound(c.name, false);
        ASSERT_NE(sample.sound, nullptr);
        // About one second of mono 16-bit audio (MP3 adds a little padding).
        EXPECT_NEAR(static_cast<double>(AudioSystem::SoundMemory(sample.sound)), 2.0 * kRate,
                    0.1 * kRate);
        sample.Play();
        EXPECT_TRUE(sample.IsPlaying());
        game.soundCache.erase(c.name);
        Sound stream = game.GetSound(c.name, true);
        ASSERT_NE(stream.sound, nullptr);
        stream.Play();
        EXPECT_TRUE(stream.IsPlaying());
        game.gameSounds.Stop();
    }
}

TEST_F(SoundCache, StreamHoldsAFewBlocksWhateverItsLength) {
    // A minute of audio: 5 MB decoded, a few blocks while streamed.
    ASSERT_TRUE(WriteSound(SoundPath("long.wav"), Tone(220.0, 60 * kRate, 0.2f)));
    Sound sample = game.GetSound("long.wav", false);
    game.soundCache.clear(); // ask again, as a stream this time
    Sound stream = game.GetSound("long.wav", true);
    EXPECT_EQ(AudioSystem::SoundMemory(sample.sound), size_t{60} * kRate * 2);
    EXPECT_LE(AudioSystem::SoundMemory(stream.sound), size_t{kRate} * 2);
    game.audioSystem.ReleaseSound(sample.sound);
}

TEST_F(SoundCache, MutedPlayLeavesTheChannelUnset) {
    ASSERT_TRUE(WriteSound(SoundPath("hit.wav"), Tone(300.0, kRate)));
    Sound hit = game.GetSound("hit.wav", false);
    game.muted = true;
    hit.Play();
    EXPECT_FALSE(hit.channel.IsSet());
    EXPECT_FALSE(hit.IsPlaying());
    hit.SetVolume(0.2f);
    EXPECT_FLOAT_EQ(hit.volume, 0.2f);
    EXPECT_EQ(game.gameSounds.PlayingCount(), 0);

    // A playback cleared by a muted Play is forgotten.
    game.muted = false;
    hit.Play();
    EXPECT_TRUE(hit.IsPlaying());
    game.muted = true;
    hit.Play();
    EXPECT_FALSE(hit.channel.IsSet());
}

namespace {
// A scene with music, as the level scene and the main menu are.
class MusicScene : public Scene {
public:
    void Init() override {}
    void Update(float) override {}
    void Draw(int) override {}
    void Free() override {}
    Sound* Music() override { return &music; }
    Sound music;
};
} // namespace

TEST_F(SoundCache, ToggleMuteStopsAndRestartsTheMusic) {
    ASSERT_TRUE(WriteSound(SoundPath("music.wav"), Tone(220.0, kRate * 2)));
    ASSERT_TRUE(WriteSound(SoundPath("hit.wav"), Tone(300.0, kRate)));
    MusicScene scene;
    scene.music = game.GetSound("music.wav", true);
    scene.music.SetLoop();
    scene.music.Play();
    Sound hit = game.GetSound("hit.wav", false);
    hit.Play();
    game.currentScene = &scene;
    Audio::State().music = scene.Music(); // what a scene switch registers

    // Within the cool-down nothing happens.
    game.toggleCooldown = 0.5f;
    game.ToggleMute();
    EXPECT_FALSE(game.muted);
    EXPECT_TRUE(scene.music.IsPlaying());

    game.toggleCooldown = 1.0f;
    game.ToggleMute();
    EXPECT_TRUE(game.muted);
    EXPECT_FLOAT_EQ(game.toggleCooldown, 0.0f);
    EXPECT_FALSE(scene.music.IsPlaying());
    EXPECT_FALSE(hit.IsPlaying());
    game.ToggleMute(); // a second press in the same second is ignored
    EXPECT_TRUE(game.muted);

    game.toggleCooldown = 1.5f;
    game.ToggleMute();
    EXPECT_FALSE(game.muted);
    EXPECT_TRUE(scene.music.IsPlaying());
    EXPECT_FALSE(hit.IsPlaying()); // only the music comes back
    game.currentScene = nullptr;
    Audio::State().music = nullptr;
}

TEST_F(SoundCache, RateSetAfterTheEndAppliesToTheNextPlay) {
    ASSERT_TRUE(WriteSound(SoundPath("blip.wav"), Tone(300.0, kRate / 50)));
    Sound blip = game.GetSound("blip.wav", false);
    blip.Play();
    PlayFor(0.1);
    ASSERT_FALSE(blip.IsPlaying());
    blip.SetRate(0.5f);
    EXPECT_FLOAT_EQ(blip.rate, 0.5f);
    blip.Play();
    EXPECT_FLOAT_EQ(blip.channel.GetFrequency(), 22050.0f);
    // Factors that would silence the sound for good are refused.
    for (float bad : {0.0f, -1.0f, std::nanf("")}) {
        blip.SetRate(bad);
        EXPECT_FLOAT_EQ(blip.rate, 0.5f);
    }
}

TEST_F(SoundCache, ThirtyTwoVoicesThenTheOldestGivesWay) {
    ASSERT_TRUE(WriteSound(SoundPath("hum.wav"), Tone(200.0, kRate, 0.01f)));
    EXPECT_EQ(game.audioSystem.VoiceCount(), 32);
    std::vector<Sound> sounds(33, game.GetSound("hum.wav", false));
    for (Sound& s : sounds)
        s.Play();
    EXPECT_FALSE(sounds[0].IsPlaying());
    for (size_t i = 1; i < sounds.size(); ++i)
        EXPECT_TRUE(sounds[i].IsPlaying()) << i;
    EXPECT_EQ(game.gameSounds.PlayingCount(), 32);
}

TEST_F(SoundCache, MenuCursorSoundsLoadAtStart) {
    ASSERT_TRUE(WriteSound(SoundPath("cursor_move.wav"), Tone(800.0, 2205)));
    ASSERT_TRUE(WriteSound(SoundPath("cursor_select.wav"), Tone(600.0, 2205)));
    game.ShutdownAudio();
    game.InitAudio();
    EXPECT_NE(game.cursorMoveSound.sound, nullptr);
    EXPECT_NE(game.cursorSelectSound.sound, nullptr);
    EXPECT_FLOAT_EQ(game.cursorMoveSound.volume, 1.0f);
    EXPECT_FLOAT_EQ(game.cursorSelectSound.volume, 0.5f);
    EXPECT_EQ(game.soundCache.size(), 2u);
    game.ShutdownAudio();
    EXPECT_TRUE(game.soundCache.empty());
    EXPECT_EQ(game.cursorMoveSound.sound, nullptr);
}

TEST(SoundWithoutDevice, EverythingIsASilentNoOp) {
    UseWaveOutput();
    ScratchGameDir scratch;
    Game& game = Game::Instance(); // built while the game's assets are in reach
    std::filesystem::remove(std::filesystem::path(scratch.Path()) / "assets");
    std::filesystem::create_directories("assets/sounds");
    ASSERT_TRUE(WriteSound("assets/sounds/hit.wav", Tone(300.0, 4410)));
    ASSERT_FALSE(game.audioSystem.Init(32, "no such device"));
    game.audioSystem.CreateChannelGroup("Game_Sounds", &game.gameSounds);
    game.audioSystem.CreateLowPass(&game.lowPassDsp);
    game.gameSounds.AddFilter(&game.lowPassDsp);
    game.lowPassDsp.SetCutoff(1000.0f);

    Sound hit = game.GetSound("hit.wav", false);
    EXPECT_EQ(hit.sound, nullptr);
    EXPECT_TRUE(game.soundCache.empty());
    hit.SetLoop();
    hit.Play();
    hit.SetRate(0.5f);
    hit.SetVolume(0.5f);
    hit.Update(0.016f);
    EXPECT_FALSE(hit.IsPlaying());
    game.audioSystem.Update();
    game.gameSounds.Stop();
    EXPECT_EQ(game.gameSounds.PlayingCount(), 0);
    game.ShutdownAudio();
}

TEST(LowPassMapping, CutoffBecomesTheGainAtTheReference) {
    struct Case {
        float cutoff;
        float gain;
    };
    const Case cases[] = {{22000.0f, 1.0f},   {30000.0f, 1.0f},   {11500.0f, 0.9824f},
                          {5000.0f, 0.7071f}, {1000.0f, 0.0400f}, {0.0f, 0.0f}};
    for (const Case& c : cases)
        EXPECT_NEAR(LowPassFilter::GainHfForCutoff(c.cutoff), c.gain, 1e-3f) << c.cutoff;
}
