// Sound -- playback of one cached sound through the game's sound group.
#include "audio/Sound.h"

#include "audio/Audio.h"

#include <cmath>

Sound::Sound(SoundData* s, float v) : sound(s), volume(v) {}

Sound::Sound(const Sound& other)
    : GameObject(), sound(other.sound), channel(other.channel), volume(other.volume),
      rate(other.rate) {}

Sound& Sound::operator=(const Sound& other) {
    sound = other.sound;
    channel = other.channel;
    volume = other.volume;
    rate = other.rate;
    return *this;
}

Sound::~Sound() = default;

void Sound::Update(float dt) {
    GameObject::Update(dt, nullptr);
    channel.SetVolume(volume);
}

void Sound::Play() {
    Audio::AudioState& audio = Audio::State();
    if (audio.muted) {
        channel = Channel();
        return;
    }
    channel = audio.audioSystem.PlaySound(sound, &audio.gameSounds);
    if (!channel.IsSet())
        return;
    channel.SetVolume(volume);
    channel.SetFrequency(rate * channel.GetFrequency());
}

void Sound::SetRate(float r) {
    // A zero, negative or undefined factor would stop the sound for good
    // (the next change divides by it): it is ignored.
    if (!(r > 0.0f) || !std::isfinite(r))
        return;
    if (channel.IsPlaying())
        channel.SetFrequency(channel.GetFrequency() / (rate / r));
    rate = r;
}

void Sound::SetVolume(float v) {
    volume = v;
    channel.SetVolume(v);
}

void Sound::SetLoop() {
    AudioSystem::SetSoundLoop(sound, true);
    channel.SetLoop(true);
}

bool Sound::IsPlaying() const {
    return channel.IsPlaying();
}
