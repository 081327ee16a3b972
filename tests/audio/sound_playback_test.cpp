// What the player hears: level, rate, low-pass, group stop and looping
// streams, measured in the audio the device actually rendered.
#include "AudioTestSupport.h"

using namespace audiotest;

namespace {
constexpr double kMargin = 0.06; // seconds kept clear of the end of a test
} // namespace

class SoundPlayback : public RenderedAudioTest {};

TEST_F(SoundPlayback, ToneIsHeardAtItsVolume) {
    Sound tone;
    const auto heard = Listen({
        {[&] { tone = StartLooping("tone.wav", Tone(440.0, kRate / 2, 0.5f)); }, 0.3},
        {[&] { tone.SetVolume(0.25f); }, 0.3},
    });
    // A sine of amplitude 0.5 has an RMS of 0.354.
    EXPECT_NEAR(Rms(heard[0]), 0.3536, 0.02);
    EXPECT_NEAR(ToneFrequency(heard[0]), 440.0, 2.0);
    EXPECT_NEAR(Rms(heard[1]), 0.0884, 0.01);
}

TEST_F(SoundPlayback, RateHalvesAndRestoresTheFrequency) {
    Sound tone;
    const auto heard = Listen({
        {[&] { tone = StartLooping("tone.wav", Tone(440.0, kRate / 2)); }, 0.3},
        {[&] { tone.SetRate(0.5f); }, 0.3},
        {[&] { tone.SetRate(1.0f); }, 0.3},
    });
    EXPECT_NEAR(ToneFrequency(heard[0]), 440.0, 3.0);
    EXPECT_NEAR(ToneFrequency(heard[1]), 220.0, 3.0);
    EXPECT_NEAR(ToneFrequency(heard[2]), 440.0, 3.0);
}

TEST_F(SoundPlayback, RateScalesTheChannelFrequency) {
    Sound tone = StartLooping("tone.wav", Tone(440.0, kRate / 2));
    EXPECT_FLOAT_EQ(tone.channel.GetFrequency(), 44100.0f);
    tone.SetRate(0.5f);
    EXPECT_FLOAT_EQ(tone.channel.GetFrequency(), 22050.0f);
    tone.SetRate(0.95f); // the level music in slow motion: new factor / old
    EXPECT_FLOAT_EQ(tone.channel.GetFrequency(), 41895.0f);
    tone.SetRate(1.0f);
    EXPECT_FLOAT_EQ(tone.channel.GetFrequency(), 44100.0f);
}

TEST_F(SoundPlayback, LowPassCutoffMuffles) {
    const auto heard = Listen({
        {[&] { StartLooping("noise.wav", Noise(kRate)); }, 0.4},
        {[&] { game.lowPassDsp.SetCutoff(1000.0f); }, 0.4}, // slow motion at a standstill
        {[&] { game.lowPassDsp.SetCutoff(22000.0f); }, 0.4},
    });
    const auto highEnergy = [](const std::vector<float>& s) {
        const double rms = Rms(s);
        return EnergyShareAbove(s, 4000.0) * rms * rms;
    };
    // White noise keeps most of its energy above 4 kHz when unfiltered.
    EXPECT_GT(EnergyShareAbove(heard[0], 4000.0), 0.7);
    EXPECT_LT(highEnergy(heard[1]), 0.1 * highEnergy(heard[0]));
    EXPECT_NEAR(highEnergy(heard[2]) / highEnergy(heard[0]), 1.0, 0.1);
}

TEST_F(SoundPlayback, StoppingTheGroupSilencesEverything) {
    Sound tone, music;
    const auto heard = Listen({
        {[&] {
             tone = StartLooping("tone.wav", Tone(440.0, kRate / 2));
             music = StartLooping("noise.ogg", Noise(kRate * 3, 0.3f), true,
                                  SF_FORMAT_OGG | SF_FORMAT_VORBIS);
         },
         0.3},
        {[&] {
             EXPECT_EQ(game.gameSounds.PlayingCount(), 2);
             game.gameSounds.Stop();
             EXPECT_FALSE(tone.IsPlaying());
             EXPECT_FALSE(music.IsPlaying());
             EXPECT_EQ(game.gameSounds.PlayingCount(), 0);
             // A stale channel is harmless.
             tone.SetVolume(1.0f);
             tone.SetRate(0.5f);
         },
         0.3},
    });
    EXPECT_GT(Rms(heard[0]), 0.2);
    EXPECT_LT(Rms(heard[1]), 1e-4);
}

TEST_F(SoundPlayback, LoopingStreamPlaysPastItsEndWithoutAGap) {
    // 250 whole periods of 441 Hz: the loop joins without a phase jump.
    const size_t frames = 25000;
    Sound music = StartLooping("loop.wav", Tone(441.0, frames), true);
    const double t1 = PlayFor(1.6); // 2.8 times the track
    EXPECT_TRUE(music.IsPlaying());
    const Pcm pcm = Finish();

    // The tone runs from its first sample to the close, with every 5 ms
    // window sounding and no step larger than the sine's own.
    size_t first = 0;
    while (first < pcm.samples.size() && std::fabs(pcm.samples[first]) < 1e-3f)
        ++first;
    const size_t last = std::min(pcm.samples.size(), static_cast<size_t>((t1 - kMargin) * kRate));
    ASSERT_GT(last, first + 2 * frames + frames / 2);
    const size_t window = kRate / 200;
    float maxStep = 0.0f;
    double quietest = 1.0;
    for (size_t i = first + window; i + window < last; i += window) {
        const std::vector<float> w(pcm.samples.begin() + static_cast<std::ptrdiff_t>(i),
                                   pcm.samples.begin() + static_cast<std::ptrdiff_t>(i + window));
        quietest = std::min(quietest, Rms(w));
        for (size_t k = 1; k < w.size(); ++k)
            maxStep = std::max(maxStep, std::fabs(w[k] - w[k - 1]));
    }
    EXPECT_GT(quietest, 0.3);
    EXPECT_LT(maxStep, 0.04f); // the sine itself moves at most 0.0314 a sample
}

TEST_F(SoundPlayback, StreamWithoutLoopEndsAndFreesItsVoice) {
    ASSERT_TRUE(WriteSound(SoundPath("short.wav"), Tone(441.0, kRate / 5)));
    Sound music = game.GetSound("short.wav", true);
    music.Play();
    EXPECT_TRUE(music.IsPlaying());
    PlayFor(0.6);
    EXPECT_FALSE(music.IsPlaying());
    EXPECT_EQ(game.gameSounds.PlayingCount(), 0);
    // Played again it starts over.
    music.Play();
    EXPECT_TRUE(music.IsPlaying());
}

TEST_F(SoundPlayback, PausingTheGroupHoldsEverySoundWhereItWas) {
    // The window went to the background: every sound holds, music included,
    // and goes on from the same place when it comes back.
    ASSERT_TRUE(WriteSound(SoundPath("short.ogg"), Noise(kRate / 2, 0.3f),
                           SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    Sound tone, music, late;
    const auto heard = Listen({
        {[&] {
             tone = StartLooping("tone.wav", Tone(440.0, kRate / 2));
             music = game.GetSound("short.ogg", true);
             music.Play();
         },
         0.2},
        {[&] {
             game.gameSounds.SetPaused(true);
             // Something started meanwhile waits for the group as well.
             ASSERT_TRUE(WriteSound(SoundPath("late.wav"), Tone(880.0, kRate / 4)));
             late = game.GetSound("late.wav", false);
             late.Play();
         },
         0.6},
        {[&] {
             EXPECT_TRUE(tone.IsPlaying());
             EXPECT_TRUE(music.IsPlaying()) << "the half-second track has not played out";
             EXPECT_EQ(game.gameSounds.PlayingCount(), 3);
             game.gameSounds.SetPaused(false);
         },
         0.15},
    });
    EXPECT_GT(Rms(heard[0]), 0.2);
    EXPECT_LT(Rms(heard[1]), 1e-4);
    EXPECT_GT(Rms(heard[2]), 0.2);
}

TEST_F(SoundPlayback, MusicAndEffectsLevelsAreHeardAtOnceAndApart) {
    // The music (a stream) and an effect (a sample) at different pitches,
    // so each can be measured in the mix on its own.
    Sound music, effect;
    const auto heard = Listen({
        {[&] {
             music = StartLooping("music.wav", Tone(220.0, kRate / 2, 0.4f), true);
             effect = StartLooping("effect.wav", Tone(2000.0, kRate / 2, 0.4f));
         },
         0.3},
        {[&] { Audio::SetMusicVolume(0.5f); }, 0.3},
        {[&] { Audio::SetEffectsVolume(0.0f); }, 0.3},
        {[&] {
             Audio::SetMusicVolume(1.0f);
             Audio::SetEffectsVolume(0.3f);
             effect.SetVolume(0.5f); // a sound's own volume still counts
         },
         0.3},
    });
    const auto levels = [](const std::vector<float>& s) {
        // Energy below and above 1 kHz: the music's and the effect's.
        const double rms = Rms(s);
        const double high = EnergyShareAbove(s, 1000.0) * rms * rms;
        return std::pair<double, double>{std::sqrt(rms * rms - high), std::sqrt(high)};
    };
    const auto full = levels(heard[0]);
    EXPECT_NEAR(full.first, 0.283, 0.03);
    EXPECT_NEAR(full.second, 0.283, 0.03);
    const auto halfMusic = levels(heard[1]);
    EXPECT_NEAR(halfMusic.first / full.first, 0.5, 0.05);
    EXPECT_NEAR(halfMusic.second / full.second, 1.0, 0.05);
    const auto noEffects = levels(heard[2]);
    EXPECT_NEAR(noEffects.first / full.first, 0.5, 0.05);
    EXPECT_LT(noEffects.second, 0.01);
    const auto last = levels(heard[3]);
    EXPECT_NEAR(last.first / full.first, 1.0, 0.05);
    EXPECT_NEAR(last.second / full.second, 0.15, 0.03);
}
