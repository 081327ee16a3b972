// IconBytes.h -- hand-made .ico files for the icon and image tests: bytes in
// the file's little-endian order, and a one-entry icon around a payload.
#pragma once

#include <cstdint>
#include <vector>

inline void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// An icon file of one `size` x `size` entry whose image is `payload` (a
// PNG or a 32-bit BMP without its file header).
inline std::vector<uint8_t> IcoWith(int size, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> f;
    Put16(f, 0);
    Put16(f, 1);
    Put16(f, 1);
    f.push_back(static_cast<uint8_t>(size));
    f.push_back(static_cast<uint8_t>(size));
    f.push_back(0);
    f.push_back(0);
    Put16(f, 1);
    Put16(f, 32);
    Put32(f, static_cast<uint32_t>(payload.size()));
    Put32(f, 22);
    f.insert(f.end(), payload.begin(), payload.end());
    return f;
}
