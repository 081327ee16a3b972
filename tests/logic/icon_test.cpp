// Decoding the window icon from .ico files, including damaged ones.
#include "engine/QNIcon.h"
#include "support/IconBytes.h"

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

namespace {

// A 32-bit BMP payload: the top row red, everything else half-transparent blue.
std::vector<uint8_t> BmpPayload(int size) {
    std::vector<uint8_t> p;
    Put32(p, 40);
    Put32(p, static_cast<uint32_t>(size));
    Put32(p, static_cast<uint32_t>(size * 2));
    Put16(p, 1);
    Put16(p, 32);
    for (int i = 0; i < 6; ++i)
        Put32(p, 0);
    for (int y = 0; y < size; ++y) { // bottom row first
        for (int x = 0; x < size; ++x) {
            const bool top = y == size - 1;
            const uint8_t bgra[4] = {static_cast<uint8_t>(top ? 0 : 255), 0,
                                     static_cast<uint8_t>(top ? 255 : 0),
                                     static_cast<uint8_t>(top ? 255 : 128)};
            p.insert(p.end(), bgra, bgra + 4);
        }
    }
    p.resize(p.size() + static_cast<size_t>(size) * 4, 0); // AND mask rows
    return p;
}

TEST(IconTest, DecodesBmpEntriesTopRowFirst) {
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(QNIconDecode(IcoWith(32, BmpPayload(32)), 32, rgba));
    ASSERT_EQ(rgba.size(), 32u * 32u * 4u);
    EXPECT_EQ(rgba[0], 255); // top-left red
    EXPECT_EQ(rgba[2], 0);
    EXPECT_EQ(rgba[3], 255);
    const size_t below = 32 * 4;
    EXPECT_EQ(rgba[below + 2], 255); // blue
    EXPECT_EQ(rgba[below + 3], 128);
}

TEST(IconTest, DecodesPngEntries) {
    std::vector<uint8_t> pixels(32 * 32 * 4, 200);
    std::vector<uint8_t> payload;
    ASSERT_TRUE(stbi_write_png_to_func(
        [](void* out, void* data, int size) {
            auto* bytes = static_cast<uint8_t*>(data);
            static_cast<std::vector<uint8_t>*>(out)->insert(
                static_cast<std::vector<uint8_t>*>(out)->end(), bytes, bytes + size);
        },
        &payload, 32, 32, 4, pixels.data(), 32 * 4));
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(QNIconDecode(IcoWith(32, payload), 32, rgba));
    EXPECT_EQ(rgba[5], 200);
}

TEST(IconTest, DamagedFilesAreRejected) {
    const std::vector<uint8_t> good = IcoWith(32, BmpPayload(32));
    std::vector<uint8_t> rgba;
    EXPECT_FALSE(QNIconDecode({}, 32, rgba));
    EXPECT_FALSE(QNIconDecode(std::vector<uint8_t>(good.begin(), good.begin() + 10), 32, rgba));
    EXPECT_FALSE(QNIconDecode(std::vector<uint8_t>(good.begin(), good.end() - 700), 32, rgba))
        << "payload shorter than its header says";
    EXPECT_FALSE(QNIconDecode(good, 16, rgba)) << "no 16 x 16 entry";
    std::vector<uint8_t> lying = good;
    lying[14] = 0xFF; // length far beyond the file
    lying[15] = 0xFF;
    EXPECT_FALSE(QNIconDecode(lying, 32, rgba));
}

} // namespace
