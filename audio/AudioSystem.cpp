// AudioSystem -- OpenAL Soft output with libsndfile decoding: voices,
// samples and streams, channel groups and the group low-pass.
#include "audio/AudioSystem.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/efx.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

// ---------------------------------------------------------------------------
// Types
// ---------------------------------------------------------------------------
struct SoundData {
    std::string path;
    bool stream = false;
    bool loop = false;         // later playbacks repeat
    AudioMix mix = MixEffects; // whose level it is heard at
    int32_t channels = 1;      // as handed to OpenAL: 1 or 2
    int32_t fileChannels = 1;  // as stored in the file
    int32_t sampleRate = 0;    // hertz
    int64_t frames = 0;        // decoded frames (sample) or announced (stream)
    uint32_t buffer = 0;       // sample: the whole sound
    SNDFILE* file = nullptr;   // stream: its decoder
    uint32_t queue[AudioSystem::kStreamBuffers] = {}; // stream: its blocks
    int32_t blockFrames = 0;                          // stream: frames per block
    int32_t voice = -1;                               // stream: the voice playing it, -1 when none
};

namespace {

// Reads up to `frames` frames as 16-bit PCM in the layout handed to OpenAL:
// mono and stereo as they are, anything wider folded down to mono.
sf_count_t ReadFrames(SNDFILE* file, int32_t fileChannels, int16_t* out, sf_count_t frames,
                      std::vector<int16_t>& wide) {
    if (fileChannels <= 2)
        return sf_readf_short(file, out, frames);
    wide.resize(static_cast<size_t>(frames) * static_cast<size_t>(fileChannels));
    const sf_count_t got = sf_readf_short(file, wide.data(), frames);
    for (sf_count_t i = 0; i < got; ++i) {
        int32_t sum = 0;
        for (int32_t c = 0; c < fileChannels; ++c)
            sum += wide[static_cast<size_t>(i * fileChannels + c)];
        out[i] = static_cast<int16_t>(sum / fileChannels);
    }
    return got;
}

ALenum FormatOf(const SoundData& s) {
    return s.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

// Opens the output device. On a machine without sound the system's audio
// libraries report each back end they tried on stderr; the game is meant to
// carry on silently there, so that report is dropped.
ALCdevice* OpenDeviceQuietly(const char* name) {
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && devNull >= 0)
        dup2(devNull, STDERR_FILENO);
    ALCdevice* device = alcOpenDevice(name);
    if (saved >= 0 && devNull >= 0) {
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
    }
    if (devNull >= 0)
        close(devNull);
    if (saved >= 0)
        close(saved);
    return device;
}

uint32_t gGeneration = 0; // shared by every system so stale handles never match

} // namespace

// ---------------------------------------------------------------------------
// Device
// ---------------------------------------------------------------------------
AudioSystem::~AudioSystem() {
    Close();
}

bool AudioSystem::Init(int32_t voiceCount, const char* deviceName) {
    Close();
    ALCdevice* dev = OpenDeviceQuietly(deviceName);
    if (!dev)
        return false;
    const ALCint attributes[] = {ALC_MONO_SOURCES, voiceCount, ALC_STEREO_SOURCES, voiceCount, 0};
    ALCcontext* ctx = alcCreateContext(dev, attributes);
    if (!ctx || !alcMakeContextCurrent(ctx)) {
        if (ctx)
            alcDestroyContext(ctx);
        alcCloseDevice(dev);
        return false;
    }
    device = dev;
    context = ctx;
    efx = alcIsExtensionPresent(dev, "ALC_EXT_EFX") == ALC_TRUE;
    alDistanceModel(AL_NONE);
    alListenerf(AL_GAIN, 1.0f);

    alGetError();
    for (int32_t i = 0; i < voiceCount; ++i) {
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR)
            break; // play with the voices we got
        // Sounds are not placed in space: no panning, no distance fall-off.
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
        Voice v;
        v.source = source;
        v.generation = ++gGeneration;
        voices.push_back(v);
    }
    const int32_t frames = 65536;
    decodeScratch.resize(static_cast<size_t>(frames) * 2);
    return true;
}

void AudioSystem::Close() {
    if (!device)
        return;
    for (Voice& v : voices)
        StopVoice(v);
    while (!sounds.empty())
        ReleaseSound(sounds.back());
    for (Voice& v : voices)
        alDeleteSources(1, &v.source);
    voices.clear();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(context));
    alcCloseDevice(static_cast<ALCdevice*>(device));
    context = nullptr;
    device = nullptr;
    decodeScratch.clear();
    decodeScratch.shrink_to_fit();
}

// ---------------------------------------------------------------------------
// Sounds
// ---------------------------------------------------------------------------
SoundData* AudioSystem::CreateSound(const std::string& path) {
    return Open(path, false);
}

SoundData* AudioSystem::CreateStream(const std::string& path) {
    return Open(path, true);
}

namespace {

// A file opened and checked, with its first audio decoded: the whole sound
// for a sample, the first few thousand frames for a stream.
struct FirstDecode {
    SNDFILE* file = nullptr;
    SF_INFO info{};
    int32_t channels = 1; // as handed to OpenAL
    std::vector<int16_t> pcm;
    sf_count_t total = 0; // frames in pcm
};

// Opens, checks and starts decoding `path`; false (with the reason on the
// console, the file closed) when the game cannot play it.
bool DecodeFirst(const std::string& path, bool stream, FirstDecode& out) {
    out.file = sf_open(path.c_str(), SFM_READ, &out.info);
    if (!out.file) {
        std::error_code ec;
        if (std::filesystem::exists(path, ec))
            std::fprintf(stderr, "SOUND: %s cannot be read as a sound (%s): it stays silent\n",
                         path.c_str(), sf_strerror(nullptr));
        else
            std::fprintf(stderr, "SOUND: %s is missing: it stays silent\n", path.c_str());
        return false;
    }
    const SF_INFO& info = out.info;
    // The rate sizes the stream blocks and the buffers handed to OpenAL: a
    // header claiming millions of hertz would ask for gigabytes.
    if (info.channels < 1 || info.channels > AudioSystem::kMaxChannels ||
        info.samplerate < AudioSystem::kMinSampleRate ||
        info.samplerate > AudioSystem::kMaxSampleRate) {
        std::fprintf(stderr,
                     "SOUND: %s: %d channels at %d Hz is not a sound the game plays "
                     "(1..%d channels, %d..%d Hz)\n",
                     path.c_str(), info.channels, info.samplerate, AudioSystem::kMaxChannels,
                     AudioSystem::kMinSampleRate, AudioSystem::kMaxSampleRate);
        sf_close(out.file);
        out.file = nullptr;
        return false;
    }
    // Float files are scaled into the 16-bit range instead of clipping.
    sf_command(out.file, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
    out.channels = info.channels == 2 ? 2 : 1;

    // Decode now either way (a stream only its first frames), so that a file
    // that opens but yields no audio (a cut-off header, garbage after it) is
    // refused at once.
    std::vector<int16_t> wide;
    const sf_count_t chunk = stream ? 4096 : 65536;
    for (;;) {
        out.pcm.resize(static_cast<size_t>((out.total + chunk) * out.channels));
        const sf_count_t got = ReadFrames(out.file, info.channels,
                                          out.pcm.data() + out.total * out.channels, chunk, wide);
        if (got <= 0)
            break;
        out.total += got;
        if (stream)
            break;
    }
    if (out.total <= 0) {
        std::fprintf(stderr, "SOUND: %s holds no audio the game can decode: it stays silent\n",
                     path.c_str());
        sf_close(out.file);
        out.file = nullptr;
        return false;
    }
    return true;
}

int32_t StreamBlockFrames(int32_t sampleRate) {
    return std::max<int32_t>(1024, static_cast<int32_t>(static_cast<float>(sampleRate) *
                                                        AudioSystem::kStreamBlockSeconds));
}

// Fills `out` with up to `blockFrames` frames of a stream, going round to
// the start at the end when looping. A file of a few frames would go round
// thousands of times for one block: after kMaxWrapsPerBlock the block is
// queued as far as it got, so a refill always ends. `ended` is set when the
// stream has nothing more to give.
sf_count_t ReadStreamBlock(SNDFILE* file, int32_t fileChannels, int32_t channels, bool loop,
                           int32_t blockFrames, int16_t* out, std::vector<int16_t>& wide,
                           bool& ended) {
    sf_count_t filled = 0;
    int32_t emptyReads = 0;
    int32_t wraps = 0;
    while (filled < blockFrames) {
        const sf_count_t got =
            ReadFrames(file, fileChannels, out + filled * channels, blockFrames - filled, wide);
        if (got > 0) {
            filled += got;
            emptyReads = 0;
            continue;
        }
        // The end of the file: go round again when looping, unless the file
        // gives nothing even from its start.
        if (!loop || ++emptyReads > 1 || sf_seek(file, 0, SEEK_SET) < 0) {
            ended = true;
            break;
        }
        if (++wraps > AudioSystem::kMaxWrapsPerBlock)
            break; // the rest of the block next time
    }
    return filled;
}

} // namespace

bool AudioSystem::DecodeWithoutDevice(const std::string& path, bool stream) {
    FirstDecode first;
    if (!DecodeFirst(path, stream, first))
        return false;
    if (stream) {
        // The first blocks of a looping playback, as the refill decodes them.
        const int32_t blockFrames = StreamBlockFrames(first.info.samplerate);
        std::vector<int16_t> block(static_cast<size_t>(blockFrames) * 2);
        std::vector<int16_t> wide;
        bool ended = false;
        sf_seek(first.file, 0, SEEK_SET);
        for (int32_t i = 0; i < kStreamBuffers && !ended; ++i)
            ReadStreamBlock(first.file, first.info.channels, first.channels, true, blockFrames,
                            block.data(), wide, ended);
    }
    sf_close(first.file);
    return true;
}

SoundData* AudioSystem::Open(const std::string& path, bool stream) {
    if (!device)
        return nullptr;
    FirstDecode first;
    if (!DecodeFirst(path, stream, first))
        return nullptr;
    SNDFILE* file = first.file;
    SF_INFO& info = first.info;
    const std::vector<int16_t>& pcm = first.pcm;
    const sf_count_t total = first.total;

    auto* s = new SoundData;
    s->path = path;
    s->stream = stream;
    s->fileChannels = info.channels;
    s->channels = first.channels;
    s->sampleRate = info.samplerate;
    s->frames = info.frames;

    alGetError();
    if (stream) {
        if (sf_seek(file, 0, SEEK_SET) < 0) {
            // Some decoders cannot seek: start over from a fresh one.
            sf_close(file);
            info = SF_INFO{};
            file = sf_open(path.c_str(), SFM_READ, &info);
        }
        s->file = file;
        s->blockFrames = StreamBlockFrames(s->sampleRate);
        const size_t need = static_cast<size_t>(s->blockFrames) * 2;
        if (decodeScratch.size() < need)
            decodeScratch.resize(need);
        alGenBuffers(kStreamBuffers, s->queue);
    } else {
        sf_close(file);
        s->frames = total;
        alGenBuffers(1, &s->buffer);
        alBufferData(s->buffer, FormatOf(*s), pcm.data(),
                     static_cast<ALsizei>(total * s->channels * 2), s->sampleRate);
    }
    if (alGetError() != AL_NO_ERROR || (stream && !s->file)) {
        if (s->file)
            sf_close(s->file);
        if (stream)
            alDeleteBuffers(kStreamBuffers, s->queue);
        else
            alDeleteBuffers(1, &s->buffer);
        delete s;
        return nullptr;
    }
    sounds.push_back(s);
    ++soundsCreated;
    return s;
}

void AudioSystem::ReleaseSound(SoundData* s) {
    if (!s)
        return;
    const auto found = std::find(sounds.begin(), sounds.end(), s);
    if (found == sounds.end())
        return; // not ours, or released already
    sounds.erase(found);
    for (Voice& v : voices) {
        if (v.sound == s)
            StopVoice(v);
    }
    if (s->stream) {
        alDeleteBuffers(kStreamBuffers, s->queue);
        if (s->file)
            sf_close(s->file);
    } else {
        alDeleteBuffers(1, &s->buffer);
    }
    delete s;
}

void AudioSystem::SetSoundLoop(SoundData* s, bool loop) {
    if (s)
        s->loop = loop;
}

void AudioSystem::SetSoundMix(SoundData* s, AudioMix mix) {
    if (s)
        s->mix = mix;
}

void AudioSystem::SetMixLevel(AudioMix mix, float level) {
    if (!(level >= 0.0f))
        level = 0.0f; // also a NaN
    mixLevels[mix] = std::min(level, 1.0f);
    if (!device)
        return;
    for (Voice& v : voices) {
        if (v.sound && v.sound->mix == mix)
            ApplyGain(v);
    }
}

float AudioSystem::MixLevel(AudioMix mix) const {
    return mixLevels[mix];
}

void AudioSystem::ApplyGain(Voice& v) {
    const float level = v.sound ? mixLevels[v.sound->mix] : 1.0f;
    alSourcef(v.source, AL_GAIN, std::max(0.0f, v.volume) * level);
}

size_t AudioSystem::SoundMemory(const SoundData* s) {
    if (!s)
        return 0;
    const size_t frameBytes = static_cast<size_t>(s->channels) * sizeof(int16_t);
    if (s->stream)
        return static_cast<size_t>(kStreamBuffers) * static_cast<size_t>(s->blockFrames) *
               frameBytes;
    return static_cast<size_t>(s->frames) * frameBytes;
}

// ---------------------------------------------------------------------------
// Voices
// ---------------------------------------------------------------------------
Channel AudioSystem::PlaySound(SoundData* s, ChannelGroup* group) {
    if (!device || !s || voices.empty())
        return {};
    // One decoder per stream: a second Play restarts it.
    if (s->stream && s->voice >= 0)
        StopVoice(voices[static_cast<size_t>(s->voice)]);
    const int32_t index = TakeVoice();
    Voice& v = voices[static_cast<size_t>(index)];
    v.sound = s;
    v.group = group;
    v.loop = s->loop;
    v.started = ++playCounter;
    v.streamEnded = false;
    alSourcef(v.source, AL_PITCH, 1.0f);
    v.volume = 1.0f;
    ApplyGain(v);
    ApplyFilter(v);
    if (s->stream) {
        s->voice = index;
        StartStream(v);
    } else {
        alSourcei(v.source, AL_LOOPING, v.loop ? AL_TRUE : AL_FALSE);
        alSourcei(v.source, AL_BUFFER, static_cast<ALint>(s->buffer));
        alSourcePlay(v.source);
    }
    if (group && group->paused)
        alSourcePause(v.source);
    Channel channel;
    channel.system = this;
    channel.voice = index;
    channel.generation = v.generation;
    return channel;
}

int32_t AudioSystem::TakeVoice() {
    int32_t oldest = 0;
    for (size_t i = 0; i < voices.size(); ++i) {
        if (!VoiceSounding(voices[i])) {
            StopVoice(voices[i]);
            return static_cast<int32_t>(i);
        }
        if (voices[i].started < voices[static_cast<size_t>(oldest)].started)
            oldest = static_cast<int32_t>(i);
    }
    StopVoice(voices[static_cast<size_t>(oldest)]);
    return oldest;
}

void AudioSystem::StopVoice(Voice& v) {
    if (!v.sound)
        return;
    alSourceStop(v.source);
    alSourcei(v.source, AL_BUFFER, 0); // also empties a stream's queue
    alSourcei(v.source, AL_LOOPING, AL_FALSE);
    if (v.sound->stream && v.sound->voice == static_cast<int32_t>(&v - voices.data()))
        v.sound->voice = -1;
    v.sound = nullptr;
    v.group = nullptr;
    v.generation = ++gGeneration; // handles on this playback go stale
}

bool AudioSystem::VoiceSounding(const Voice& v) const {
    if (!v.sound)
        return false;
    // A stream that ran dry during a long frame still has audio to come.
    if (v.sound->stream && !v.streamEnded)
        return true;
    ALint state = AL_STOPPED;
    alGetSourcei(v.source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING || state == AL_PAUSED;
}

AudioSystem::Voice* AudioSystem::Resolve(const Channel& c) {
    if (!device || c.voice < 0 || c.voice >= static_cast<int32_t>(voices.size()))
        return nullptr;
    Voice& v = voices[static_cast<size_t>(c.voice)];
    return v.generation == c.generation && v.sound ? &v : nullptr;
}

const AudioSystem::Voice* AudioSystem::Resolve(const Channel& c) const {
    return const_cast<AudioSystem*>(this)->Resolve(c);
}

void AudioSystem::Update() {
    if (!device)
        return;
    for (Voice& v : voices) {
        if (v.sound && v.sound->stream)
            PumpStream(v);
    }
}

// ---------------------------------------------------------------------------
// Streams: a few blocks are queued on the voice; each frame the blocks the
// device has finished are decoded anew and queued behind the others, so a
// long track never sits decoded in memory. A looping stream seeks back to
// its start inside the block being filled, so the loop has no seam.
// ---------------------------------------------------------------------------
void AudioSystem::StartStream(Voice& v) {
    sf_seek(v.sound->file, 0, SEEK_SET);
    for (uint32_t buffer : v.sound->queue) {
        if (v.streamEnded || !FillBlock(v, buffer))
            break;
        alSourceQueueBuffers(v.source, 1, &buffer);
    }
    alSourcePlay(v.source);
}

void AudioSystem::PumpStream(Voice& v) {
    ALint processed = 0;
    alGetSourcei(v.source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(v.source, 1, &buffer);
        if (!v.streamEnded && FillBlock(v, buffer))
            alSourceQueueBuffers(v.source, 1, &buffer);
    }
    ALint state = AL_STOPPED;
    ALint queued = 0;
    alGetSourcei(v.source, AL_SOURCE_STATE, &state);
    alGetSourcei(v.source, AL_BUFFERS_QUEUED, &queued);
    if (state == AL_PLAYING || state == AL_PAUSED)
        return;
    if (queued > 0)
        alSourcePlay(v.source); // ran dry during a long frame: carry on
    else if (v.streamEnded)
        StopVoice(v); // played to its end
}

bool AudioSystem::FillBlock(Voice& v, uint32_t buffer) {
    SoundData& s = *v.sound;
    std::vector<int16_t> wide;
    const sf_count_t filled =
        ReadStreamBlock(s.file, s.fileChannels, s.channels, v.loop, s.blockFrames,
                        decodeScratch.data(), wide, v.streamEnded);
    if (filled == 0)
        return false;
    alBufferData(buffer, FormatOf(s), decodeScratch.data(),
                 static_cast<ALsizei>(filled * s.channels * 2), s.sampleRate);
    return true;
}

// ---------------------------------------------------------------------------
// Channel
// ---------------------------------------------------------------------------
bool Channel::IsPlaying() const {
    if (!system)
        return false;
    const AudioSystem::Voice* v = system->Resolve(*this);
    return v && system->VoiceSounding(*v);
}

void Channel::Stop() const {
    if (!system)
        return;
    if (AudioSystem::Voice* v = system->Resolve(*this))
        system->StopVoice(*v);
}

void Channel::SetVolume(float volume) const {
    if (!system || !(volume == volume))
        return;
    if (AudioSystem::Voice* v = system->Resolve(*this)) {
        v->volume = volume;
        system->ApplyGain(*v);
    }
}

float Channel::GetFrequency() const {
    if (!system)
        return 0.0f;
    const AudioSystem::Voice* v = system->Resolve(*this);
    if (!v)
        return 0.0f;
    ALfloat pitch = 1.0f;
    alGetSourcef(v->source, AL_PITCH, &pitch);
    return pitch * static_cast<float>(v->sound->sampleRate);
}

void Channel::SetFrequency(float hertz) const {
    if (!system || !std::isfinite(hertz))
        return;
    if (AudioSystem::Voice* v = system->Resolve(*this))
        alSourcef(v->source, AL_PITCH,
                  std::max(0.0f, hertz / static_cast<float>(v->sound->sampleRate)));
}

void Channel::SetLoop(bool loop) const {
    if (!system)
        return;
    AudioSystem::Voice* v = system->Resolve(*this);
    if (!v)
        return;
    v->loop = loop;
    if (!v->sound->stream) {
        alSourcei(v->source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    } else if (loop && v->streamEnded && sf_seek(v->sound->file, 0, SEEK_SET) >= 0) {
        v->streamEnded = false; // the decoder reached the end: go round from the start
    }
}

// ---------------------------------------------------------------------------
// Channel groups
// ---------------------------------------------------------------------------
void AudioSystem::CreateChannelGroup(const std::string& name, ChannelGroup* group) {
    group->system = this;
    group->name = name;
    group->filter = nullptr;
    group->paused = false;
}

void AudioSystem::ReleaseChannelGroup(ChannelGroup* group) {
    if (group->system != this)
        return;
    StopGroup(group);
    if (group->filter)
        group->RemoveFilter(group->filter);
    group->system = nullptr;
}

void AudioSystem::StopGroup(ChannelGroup* group) {
    for (Voice& v : voices) {
        if (v.group == group)
            StopVoice(v);
    }
}

void ChannelGroup::Stop() {
    if (system)
        system->StopGroup(this);
}

void ChannelGroup::SetPaused(bool pause) {
    if (paused == pause)
        return;
    paused = pause;
    if (system)
        system->PauseGroup(this);
}

void AudioSystem::PauseGroup(ChannelGroup* group) {
    if (!device)
        return;
    for (Voice& v : voices) {
        if (!v.sound || v.group != group)
            continue;
        ALint state = AL_STOPPED;
        alGetSourcei(v.source, AL_SOURCE_STATE, &state);
        if (group->paused && state == AL_PLAYING)
            alSourcePause(v.source);
        else if (!group->paused && state == AL_PAUSED)
            alSourcePlay(v.source);
    }
}

int32_t ChannelGroup::PlayingCount() const {
    if (!system)
        return 0;
    int32_t count = 0;
    for (const AudioSystem::Voice& v : system->voices) {
        if (v.group == this && system->VoiceSounding(v))
            ++count;
    }
    return count;
}

void ChannelGroup::AddFilter(LowPassFilter* f) {
    if (!f || !system)
        return;
    if (filter && filter != f)
        filter->group = nullptr;
    filter = f;
    f->group = this;
    system->ApplyGroupFilter(this);
}

void ChannelGroup::RemoveFilter(LowPassFilter* f) {
    if (!f || f != filter)
        return;
    filter = nullptr;
    f->group = nullptr;
    if (system)
        system->ApplyGroupFilter(this);
}

void AudioSystem::ApplyFilter(Voice& v) {
    if (!efx)
        return;
    const LowPassFilter* f = v.group ? v.group->filter : nullptr;
    const ALuint id = (f && !f->bypassed && f->id) ? f->id : AL_FILTER_NULL;
    alSourcei(v.source, AL_DIRECT_FILTER, static_cast<ALint>(id));
}

void AudioSystem::ApplyGroupFilter(ChannelGroup* group) {
    for (Voice& v : voices) {
        if (v.sound && v.group == group)
            ApplyFilter(v);
    }
}

// ---------------------------------------------------------------------------
// Low-pass
//
// The EFX low-pass of OpenAL is not set by a cut-off: it is a shelf that
// scales everything above a 5 kHz reference frequency by AL_LOWPASS_GAINHF
// (and lower frequencies progressively less). A cut-off in hertz becomes
// the gain that a 12 dB/octave (second-order Butterworth) low-pass with that
// cut-off has at the reference:
//
//     GAINHF = 1 / sqrt(1 + (5000 / cutoff)^4)
//
// so 1000 Hz gives 0.04 (-28 dB: the muffled world of slow motion), 5000 Hz
// 0.71, 11500 Hz 0.98, and 22000 Hz and above 1 (no filtering at all).
// ---------------------------------------------------------------------------
float LowPassFilter::GainHfForCutoff(float hertz) {
    constexpr float kReference = 5000.0f;
    if (!(hertz < 22000.0f))
        return 1.0f; // also a NaN: leave the sound alone
    if (hertz <= 0.0f)
        return AL_LOWPASS_MIN_GAINHF;
    const float ratio = kReference / hertz;
    const float gain = 1.0f / std::sqrt(1.0f + ratio * ratio * ratio * ratio);
    return std::clamp(gain, AL_LOWPASS_MIN_GAINHF, AL_LOWPASS_MAX_GAINHF);
}

void AudioSystem::CreateLowPass(LowPassFilter* filter) {
    filter->system = this;
    filter->group = nullptr;
    filter->id = 0;
    filter->cutoff = 22000.0f;
    filter->bypassed = false;
    if (!device || !efx)
        return;
    alGetError();
    ALuint id = 0;
    alGenFilters(1, &id);
    alFilteri(id, AL_FILTER_TYPE, AL_FILTER_LOWPASS);
    if (alGetError() != AL_NO_ERROR) {
        if (id)
            alDeleteFilters(1, &id);
        return;
    }
    filter->id = id;
    filter->Refresh();
}

void AudioSystem::ReleaseLowPass(LowPassFilter* filter) {
    if (filter->system != this)
        return;
    if (filter->group)
        filter->group->RemoveFilter(filter);
    if (filter->id && device)
        alDeleteFilters(1, &filter->id);
    filter->id = 0;
    filter->system = nullptr;
}

void LowPassFilter::SetCutoff(float hertz) {
    if (std::isnan(hertz))
        return;
    cutoff = hertz;
    Refresh();
}

void LowPassFilter::SetBypass(bool bypass) {
    bypassed = bypass;
    if (system && group)
        system->ApplyGroupFilter(group);
}

void LowPassFilter::Refresh() {
    if (!system || !system->IsActive() || !id)
        return;
    // OpenAL copies a filter's settings into each voice when attached, so a
    // change is attached again to every voice of the group.
    alFilterf(id, AL_LOWPASS_GAIN, 1.0f);
    alFilterf(id, AL_LOWPASS_GAINHF, GainHfForCutoff(cutoff));
    if (group)
        system->ApplyGroupFilter(group);
}
