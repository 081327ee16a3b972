// AudioSystem.h -- the audio back end: one output device with its context,
// a fixed set of voices, sounds decoded whole (samples) or a block at a time
// (streams), channel groups that can be stopped as a whole and a low-pass
// filter over a group.
//
// Built on OpenAL Soft (mixing, resampling, the EFX low-pass) and libsndfile
// (WAV, OGG Vorbis and MP3 decoding). When no device can be opened every
// operation is a cheap no-op and the game simply stays silent. Everything
// runs on the main thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class AudioSystem;
class ChannelGroup;
struct SoundData; // a loaded sound; opaque outside the back end

// The two mixes a sound plays in, each with its own level: the player sets
// music and effects apart.
enum AudioMix : int32_t { MixEffects = 0, MixMusic = 1 };

// Handle on the voice of one playback. A handle outlives its playback: once
// the voice has been stopped or handed to another sound every call through
// the old handle is ignored (and IsPlaying answers false).
class Channel {
public:
    Channel() = default;
    // True once a playback was started through this handle.
    bool IsSet() const { return system != nullptr; }
    bool IsPlaying() const;
    void Stop() const;
    // Gain 0..1 (values above 1 are not amplified), heard times the level
    // of the sound's mix.
    void SetVolume(float volume) const;
    // Playback rate in hertz: the sound's own sample rate at normal speed;
    // changing it changes speed and pitch together.
    float GetFrequency() const;
    void SetFrequency(float hertz) const;
    // Repeats the sound until stopped; seamless for streams as well.
    void SetLoop(bool loop) const;

private:
    friend class AudioSystem;
    AudioSystem* system = nullptr;
    int32_t voice = -1;
    uint32_t generation = 0;
};

// The low-pass filter of a group, with its cut-off in hertz.
class LowPassFilter {
public:
    // 22000 Hz (or more) leaves the sound untouched; 1000 Hz is the dull,
    // muffled world of slow motion.
    void SetCutoff(float hertz);
    float GetCutoff() const { return cutoff; }
    // A bypassed filter lets everything through.
    void SetBypass(bool bypass);
    bool IsBypassed() const { return bypassed; }
    // The EFX high-frequency gain that stands for a cut-off (see the .cpp).
    static float GainHfForCutoff(float hertz);

private:
    friend class AudioSystem;
    friend class ChannelGroup;
    void Refresh();
    AudioSystem* system = nullptr;
    ChannelGroup* group = nullptr; // the group it filters, if any
    uint32_t id = 0;               // EFX filter object; 0 without EFX
    float cutoff = 22000.0f;
    bool bypassed = false;
};

// A named set of playing channels that can be stopped together.
class ChannelGroup {
public:
    const std::string& Name() const { return name; }
    // Stops every channel playing in the group.
    void Stop();
    // Puts `filter` on everything that plays in the group (one filter).
    void AddFilter(LowPassFilter* filter);
    void RemoveFilter(LowPassFilter* filter);
    LowPassFilter* Filter() const { return filter; }
    // Number of channels of the group still sounding (a paused one too).
    int32_t PlayingCount() const;
    // Holds every channel of the group where it is, and lets them go on
    // from there; a sound started while paused waits for the group.
    void SetPaused(bool paused);
    bool IsPaused() const { return paused; }

private:
    friend class AudioSystem;
    friend class LowPassFilter;
    AudioSystem* system = nullptr;
    LowPassFilter* filter = nullptr;
    std::string name;
    bool paused = false;
};

class AudioSystem {
public:
    // Queued buffers per streamed playback and the length of each.
    static constexpr int32_t kStreamBuffers = 4;
    static constexpr float kStreamBlockSeconds = 0.25f;
    // What a sound file may announce: the rate sizes the stream blocks, so
    // a header claiming millions of hertz is refused rather than trusted.
    static constexpr int32_t kMinSampleRate = 1;
    static constexpr int32_t kMaxSampleRate = 192000;
    static constexpr int32_t kMaxChannels = 64;
    // How often one stream block may go round a looping file of a few
    // frames before it is queued as far as it got.
    static constexpr int32_t kMaxWrapsPerBlock = 8;

    AudioSystem() = default;
    ~AudioSystem();
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    // Opens the device (the system's default when `deviceName` is null)
    // with `voices` voices. False, and silent from then on, when no device
    // can be opened.
    bool Init(int32_t voices, const char* deviceName = nullptr);
    // Stops everything, releases the voices, the context and the device.
    // Sounds still loaded are released too.
    void Close();
    bool IsActive() const { return device != nullptr; }
    int32_t VoiceCount() const { return static_cast<int32_t>(voices.size()); }

    // Per-frame work: refills the queues of streamed playbacks and frees
    // the voices of finished ones.
    void Update();

    // Loads a file; null when the file is missing or cannot be decoded (or
    // there is no device). A sample is decoded whole now; a stream only
    // opens its decoder and decodes while it plays.
    SoundData* CreateSound(const std::string& path);
    SoundData* CreateStream(const std::string& path);
    void ReleaseSound(SoundData* sound);
    // Opens and decodes `path` as CreateSound or CreateStream would (a
    // stream: its first blocks, looping), with no device and nothing kept.
    // False when the game would refuse the file. For checks and fuzzing.
    static bool DecodeWithoutDevice(const std::string& path, bool stream);
    // Loop-normal mode: later playbacks of the sound repeat until stopped.
    static void SetSoundLoop(SoundData* sound, bool loop);
    // The mix the sound's playbacks are heard in (effects at first).
    static void SetSoundMix(SoundData* sound, AudioMix mix);
    // The level of a mix, 0..1: every playback in it follows at once.
    void SetMixLevel(AudioMix mix, float level);
    float MixLevel(AudioMix mix) const;
    // Bytes of decoded audio the sound holds (a stream: its queued blocks).
    static size_t SoundMemory(const SoundData* sound);
    // Number of files decoded or opened so far (sounds created).
    uint32_t SoundsCreated() const { return soundsCreated; }

    // Starts `sound` at once in `group`; a null channel when there is no
    // sound or no device. A stream plays once at a time: playing it again
    // restarts it on a new channel. With every voice busy the oldest
    // playback gives its voice up.
    Channel PlaySound(SoundData* sound, ChannelGroup* group);

    void CreateChannelGroup(const std::string& name, ChannelGroup* group);
    void ReleaseChannelGroup(ChannelGroup* group);
    void CreateLowPass(LowPassFilter* filter);
    void ReleaseLowPass(LowPassFilter* filter);

private:
    friend class Channel;
    friend class ChannelGroup;
    friend class LowPassFilter;

    struct Voice {
        uint32_t source = 0;           // OpenAL source
        uint32_t generation = 0;       // bumped whenever the voice is reused
        SoundData* sound = nullptr;    // what it plays, null when free
        ChannelGroup* group = nullptr; // where it plays
        uint64_t started = 0;          // order of the Play that took it
        bool loop = false;
        bool streamEnded = false; // a stream decoded its last block
        float volume = 1.0f;      // the channel's own gain, before its mix level
    };

    Voice* Resolve(const Channel& channel);
    const Voice* Resolve(const Channel& channel) const;
    int32_t TakeVoice();
    void StopVoice(Voice& v);
    bool VoiceSounding(const Voice& v) const;
    void ApplyFilter(Voice& v);
    void ApplyGain(Voice& v);
    void ApplyGroupFilter(ChannelGroup* group);
    void StopGroup(ChannelGroup* group);
    void PauseGroup(ChannelGroup* group);
    SoundData* Open(const std::string& path, bool stream);
    void StartStream(Voice& v);
    void PumpStream(Voice& v);
    bool FillBlock(Voice& v, uint32_t buffer);

    void* device = nullptr;  // ALCdevice
    void* context = nullptr; // ALCcontext
    bool efx = false;
    std::vector<Voice> voices;
    std::vector<SoundData*> sounds;     // every loaded sound, for Close
    std::vector<int16_t> decodeScratch; // one stream block of PCM
    uint64_t playCounter = 0;
    uint32_t soundsCreated = 0;
    float mixLevels[2] = {1.0f, 1.0f}; // by AudioMix
};
