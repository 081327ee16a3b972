// A sound file through the sound loader: decoded whole as a sample, and as
// a looping stream's first blocks (no device needed).
#include "FuzzSupport.h"

#include "audio/AudioSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("sound", data, size);
    AudioSystem::DecodeWithoutDevice("sound", false);
    AudioSystem::DecodeWithoutDevice("sound", true);
    return 0;
}
