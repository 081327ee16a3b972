// The noise bitmap (a 24-bit uncompressed BMP), up to its decoded pixels.
#include "FuzzSupport.h"

#include "render/Bitmap.h"

#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("noise.bmp", data, size);
    try {
        const BitmapImage image = ReadBitmap("noise.bmp");
        const size_t stride = (static_cast<size_t>(image.width) * 3 + 3) & ~size_t{3};
        if (image.pixels.size() < stride * static_cast<size_t>(image.height))
            __builtin_trap(); // the texture upload reads this many bytes
    } catch (const std::runtime_error&) {
    }
    return 0;
}
