// Sound.h -- a sound as game code holds it: a cached sound (shared, never
// released here), the channel of its last playback, a volume and a
// playback-rate factor. Copied by value; copies share the sound and the
// channel handle.
//
// Sounds are obtained from Audio::GetSound and play into the game's sound
// group, so they stop at a scene switch and stay silent while muted.
#pragma once

#include "audio/AudioSystem.h"
#include "core/GameObject.h"

class Sound : public GameObject {
public:
    // A silent sound: it plays nothing.
    Sound() = default;
    // `volume` is the game's master volume when the sound is built.
    explicit Sound(SoundData* sound, float volume = 1.0f);
    // The audio part is copied; the (unused) transform starts afresh.
    Sound(const Sound& other);
    Sound& operator=(const Sound& other);
    ~Sound() override;

    using GameObject::Update;
    // Refreshes the transform and hands the current volume to the channel,
    // so a tween on `volume` is heard.
    virtual void Update(float dt);

    // Starts a new playback (nothing while the game is muted: the channel
    // is then cleared), at `volume` and at `rate` times the normal speed.
    void Play();
    // Changes the speed (and pitch) factor; a playback under way follows at
    // once, otherwise the next Play applies it. Factors must be above 0.
    void SetRate(float r);
    void SetVolume(float v);
    // Loop-normal: this and later playbacks repeat until stopped.
    void SetLoop();
    bool IsPlaying() const;

    SoundData* sound = nullptr; // shared through the audio cache; null when silent
    Channel channel;            // last playback; unset before the first
    float volume = 1.0f;        // 0..1
    float rate = 1.0f;          // playback-rate factor
};
