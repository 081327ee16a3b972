// BmpFixture.h -- small bitmap files written by tests.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

using Rgb = std::array<uint8_t, 3>;

// A 24-bit uncompressed BMP; pixel(x, y) with y counted from the bottom.
inline std::string MakeBmp(int width, int height, const std::function<Rgb(int, int)>& pixel) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t imageSize = static_cast<uint32_t>(stride * height);
    std::string b(54 + imageSize, '\0');
    auto put32 = [&b](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    put32(34, imageSize);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = pixel(x, y);
            const size_t at = 54 + static_cast<size_t>(y * stride + x * 3);
            b[at] = static_cast<char>(c[2]);
            b[at + 1] = static_cast<char>(c[1]);
            b[at + 2] = static_cast<char>(c[0]);
        }
    }
    return b;
}
