// A particle system file. What the emitters then do with the numbers is
// checked here too: a burst and a stream must both be bounded.
#include "FuzzSupport.h"

#include "render/ParticleConfig.h"

#include <cmath>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("system.xml", data, size);
    try {
        const ParticleConfig c = ParticleConfig::Load("system.xml");
        // The burst and the stream loops count on a finite, bounded rate.
        if (!std::isfinite(c.emissionRate) || c.emissionRate > ParticleConfig::kMaxEmissionRate)
            __builtin_trap();
    } catch (const std::exception&) {
        // invalid_argument, out_of_range or runtime_error, with the reason
    }
    return 0;
}
