// Audio.h -- the game's sound: the output device, the one group every game
// sound plays in (stopped whole at a scene switch), its low-pass filter
// (lowered in slow motion), the loaded sounds by file name, the master
// volume and mute, the menus' cursor sounds and the music of the current
// scene. Silent throughout when there is no audio device.
//
// Paired verbs: Audio::Init at start-up, Audio::Shutdown at the end.
#pragma once

#include "audio/AudioSystem.h"
#include "audio/Sound.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace Audio {

// The options change the music and effects levels by this much.
constexpr float kVolumeStep = 0.1f;
constexpr int32_t kVolumeSteps = 10; // steps from silent to full

struct AudioState {
    AudioSystem audioSystem;
    ChannelGroup gameSounds;
    LowPassFilter lowPassDsp; // cut-off in hertz
    std::unordered_map<std::string, SoundData*> soundCache;
    Sound cursorMoveSound;   // "cursor_move.wav"
    Sound cursorSelectSound; // "cursor_select.wav", at half volume
    float volume = 1.0f;     // master volume 0..1
    bool muted = false;
    // The player's levels, 0..1 in steps of kVolumeStep: music (the
    // streamed tracks) and effects (everything else).
    float musicVolume = 1.0f;
    float effectsVolume = 1.0f;
    // The music the current scene plays (owned by the scene), or null;
    // slow motion bends its rate and unmuting starts it again.
    Sound* music = nullptr;
};

AudioState& State();

// Opens the device, the "Game_Sounds" group with its low-pass filter, and
// loads the cursor sounds.
void Init();
// Releases every sound, the filter, the group and the device.
void Shutdown();
// Sound file "./assets/sounds/" + fileName, cached by the bare file name;
// music is asked for as a stream. A file that cannot be loaded gives a
// silent Sound and is tried again on the next request.
Sound GetSound(const std::string& fileName, bool stream);
// Muting stops every game sound; unmuting starts the scene's music again.
void SetMuted(bool muted);
// Holds every game sound where it is (the window went to the background)
// or lets them go on.
void SetPaused(bool paused);
// The music or effects level, snapped to a whole step in 0..1; what plays
// follows at once.
void SetMusicVolume(float level);
void SetEffectsVolume(float level);
// The sounds that follow the game's time scale: the low-pass cut-off of the
// game sounds (1000 Hz at a standstill, 22000 Hz at normal speed) and the
// level music's rate (0.9 + 0.1 x scale). Called once a frame.
void FollowTimeScale(float timeScale);
// A level as whole steps, 0..kVolumeSteps; and back.
int32_t VolumeToSteps(float level);
float StepsToVolume(int32_t steps);

} // namespace Audio
