// QNIcon -- window icons from .ico files (PNG or 32-bit BMP entries).
#include "engine/QNIcon.h"

#include "engine/QNImage.h"
#include "engine/QNSystem.h"

#include <cstdio>
#include <cstring>

namespace {

uint32_t Read16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at] | (b[at + 1] << 8));
}
uint32_t Read32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

bool DecodePng(const uint8_t* data, size_t length, int size, std::vector<uint8_t>& rgba) {
    // The entry's own size is compared with what the PNG announces before
    // a single pixel is decoded.
    int w = 0, h = 0;
    std::string reason;
    if (!QNImageInfo(data, length, w, h, reason) || w != size || h != size)
        return false;
    return QNImageDecode(data, length, rgba, w, h, reason) && w == size && h == size;
}

bool DecodeBmp(const std::vector<uint8_t>& file, size_t at, size_t length, int size,
               std::vector<uint8_t>& rgba) {
    if (length < 40)
        return false;
    const uint32_t headerSize = Read32(file, at);
    const int32_t width = static_cast<int32_t>(Read32(file, at + 4));
    const int32_t height = static_cast<int32_t>(Read32(file, at + 8)); // colour + mask rows
    const uint32_t bits = Read16(file, at + 14);
    if (headerSize < 40 || width != size || height != 2 * size || bits != 32)
        return false;
    const size_t row = static_cast<size_t>(size) * 4;
    if (headerSize + row * size > length)
        return false;
    rgba.resize(row * size);
    const uint8_t* src = &file[at + headerSize];
    for (int y = 0; y < size; ++y) {
        const uint8_t* line = src + (size - 1 - y) * row; // stored bottom-up
        for (int x = 0; x < size; ++x) {
            uint8_t* out = &rgba[y * row + x * 4];
            out[0] = line[x * 4 + 2];
            out[1] = line[x * 4 + 1];
            out[2] = line[x * 4 + 0];
            out[3] = line[x * 4 + 3];
        }
    }
    return true;
}

} // namespace

bool QNIconDecode(const std::vector<uint8_t>& file, int size, std::vector<uint8_t>& rgba) {
    if (file.size() < 6 || Read16(file, 0) != 0 || Read16(file, 2) != 1)
        return false;
    const uint32_t count = Read16(file, 4);
    if (6 + static_cast<size_t>(count) * 16 > file.size())
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t e = 6 + static_cast<size_t>(i) * 16;
        const int w = file[e] == 0 ? 256 : file[e];
        const int h = file[e + 1] == 0 ? 256 : file[e + 1];
        const uint32_t length = Read32(file, e + 8);
        const uint32_t offset = Read32(file, e + 12);
        if (w != size || h != size)
            continue;
        if (offset > file.size() || length > file.size() - offset)
            return false;
        static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        if (length >= 8 && std::memcmp(&file[offset], kPng, 8) == 0)
            return DecodePng(&file[offset], length, size, rgba);
        return DecodeBmp(file, offset, length, size, rgba);
    }
    return false;
}

bool QNIconLoadForWindow(const std::string& path, int size) {
    std::vector<uint8_t> file;
    if (!QNReadFileBytes(path, file)) {
        std::fprintf(stderr, "ICON: %s cannot be read: the window keeps the desktop's icon\n",
                     path.c_str());
        return false;
    }
    std::vector<uint8_t> rgba;
    if (!QNIconDecode(file, size, rgba)) {
        std::fprintf(stderr,
                     "ICON: %s holds no usable %d x %d image: the window keeps the desktop's "
                     "icon\n",
                     path.c_str(), size, size);
        return false;
    }
    QNSysSetWindowIcon(rgba.data(), size, size);
    return true;
}
