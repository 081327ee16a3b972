// An image through the texture loader's decode half (QNGfxTextureDecode:
// the file read, its header checked, its pixels decoded), without the
// OpenGL upload.
#include "FuzzSupport.h"

#include "engine/QNGraphics.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("image.png", data, size);
    std::vector<uint8_t> rgba;
    int width = 0, height = 0;
    std::string reason;
    if (QNGfxTextureDecode("image.png", rgba, width, height, reason) &&
        rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4)
        __builtin_trap();
    return 0;
}
