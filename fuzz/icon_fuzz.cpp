// The window icon (assets/title.ico): its 32 x 32 entry, as the game asks
// for it, and a 16 x 16 one.
#include "FuzzSupport.h"

#include "engine/QNIcon.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file(data, data + size);
    for (int side : {32, 16}) {
        std::vector<uint8_t> rgba;
        if (QNIconDecode(file, side, rgba) &&
            rgba.size() != static_cast<size_t>(side) * static_cast<size_t>(side) * 4)
            __builtin_trap();
    }
    return 0;
}
