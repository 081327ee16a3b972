// Audio -- the device, the game's sound group, its filter and the sound cache.
#include "audio/Audio.h"

#include "core/LevelPack.h"

#include <algorithm>
#include <cmath>

namespace Audio {

AudioState& State() {
    static AudioState state;
    static const bool reserved = [] {
        state.soundCache.max_load_factor(1.0f);
        state.soundCache.rehash(8);
        return true;
    }();
    (void)reserved;
    return state;
}

void Init() {
    AudioState& a = State();
    a.audioSystem.Init(32);
    a.audioSystem.CreateChannelGroup("Game_Sounds", &a.gameSounds);
    a.audioSystem.CreateLowPass(&a.lowPassDsp);
    a.gameSounds.AddFilter(&a.lowPassDsp);
    a.lowPassDsp.SetBypass(false);
    a.lowPassDsp.SetCutoff(22000.0f);
    a.audioSystem.SetMixLevel(MixMusic, a.musicVolume);
    a.audioSystem.SetMixLevel(MixEffects, a.effectsVolume);

    a.cursorMoveSound = GetSound("cursor_move.wav", false);
    a.cursorSelectSound = GetSound("cursor_select.wav", false);
    a.cursorSelectSound.SetVolume(0.5f);
}

void Shutdown() {
    AudioState& a = State();
    a.gameSounds.RemoveFilter(&a.lowPassDsp);
    a.audioSystem.ReleaseLowPass(&a.lowPassDsp);
    a.audioSystem.ReleaseChannelGroup(&a.gameSounds);
    for (auto& entry : a.soundCache)
        a.audioSystem.ReleaseSound(entry.second);
    a.soundCache.clear();
    a.audioSystem.Close();
    a.music = nullptr;
    // The menu sounds pointed into the cache just emptied.
    a.cursorMoveSound = Sound();
    a.cursorSelectSound = Sound();
}

Sound GetSound(const std::string& fileName, bool stream) {
    AudioState& a = State();
    // While a level pack is played a sound is kept by the file it came
    // from: the pack may bring its own track under a name the story uses.
    const bool story = LevelPack::Current().empty();
    const std::string path =
        story ? "./assets/sounds/" + fileName : LevelPack::AssetFile("sounds/" + fileName);
    const std::string key = story ? fileName : path;
    const auto found = a.soundCache.find(key);
    if (found != a.soundCache.end())
        return Sound(found->second, a.volume);
    SoundData* data = stream ? a.audioSystem.CreateStream(path) : a.audioSystem.CreateSound(path);
    if (data) {
        // The game streams its music and nothing else.
        if (stream)
            AudioSystem::SetSoundMix(data, MixMusic);
        a.soundCache[key] = data;
    }
    return Sound(data, a.volume);
}

void SetMuted(bool muted) {
    AudioState& a = State();
    a.muted = muted;
    if (muted)
        a.gameSounds.Stop();
    else if (a.music)
        a.music->Play();
}

void SetPaused(bool paused) {
    State().gameSounds.SetPaused(paused);
}

int32_t VolumeToSteps(float level) {
    if (!(level > 0.0f))
        return 0; // also a NaN
    const auto steps = static_cast<int32_t>(std::lround(level / kVolumeStep));
    return std::min(steps, kVolumeSteps);
}

float StepsToVolume(int32_t steps) {
    return static_cast<float>(std::clamp(steps, 0, kVolumeSteps)) /
           static_cast<float>(kVolumeSteps);
}

void SetMusicVolume(float level) {
    AudioState& a = State();
    a.musicVolume = StepsToVolume(VolumeToSteps(level));
    a.audioSystem.SetMixLevel(MixMusic, a.musicVolume);
}

void SetEffectsVolume(float level) {
    AudioState& a = State();
    a.effectsVolume = StepsToVolume(VolumeToSteps(level));
    a.audioSystem.SetMixLevel(MixEffects, a.effectsVolume);
}

void FollowTimeScale(float timeScale) {
    // Called every frame: only a change reaches the sound system.
    AudioState& state = State();
    const float cutoff = timeScale * 21000.0f + 1000.0f;
    if (state.lowPassDsp.GetCutoff() != cutoff)
        state.lowPassDsp.SetCutoff(cutoff);
    const float rate = 0.9f + 0.1f * timeScale;
    if (state.music && state.music->rate != rate)
        state.music->SetRate(rate);
}

} // namespace Audio
