// The noise bitmap reader: what it accepts and every way a file can lie.
#include "render/Bitmap.h"

#include "gl/BmpFixture.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

Rgb Gradient(int x, int y) {
    return {static_cast<uint8_t>(10 * x), static_cast<uint8_t>(20 * y), 7};
}

void Put32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string ErrorOf(const std::string& path) {
    try {
        ReadBitmap(path);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

TEST(BitmapTest, ReadsRowsBottomFirstWithTheirPadding) {
    ScratchGameDir dir;
    dir.Write("n.bmp", MakeBmp(3, 2, Gradient));
    const BitmapImage image = ReadBitmap("n.bmp");
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    ASSERT_EQ(image.pixels.size(), 24u); // two rows of 9 bytes padded to 12
    // Pixel (2, 1): second row, third pixel, stored blue, green, red.
    EXPECT_EQ(image.pixels[12 + 6], 7);
    EXPECT_EQ(image.pixels[12 + 7], 20);
    EXPECT_EQ(image.pixels[12 + 8], 20);
}

TEST(BitmapTest, AcceptsAnUnfilledImageSizeAndTopDownRows) {
    ScratchGameDir dir;
    std::string bytes = MakeBmp(2, 2, Gradient);
    Put32(bytes, 34, 0);           // size left for the reader to work out
    Put32(bytes, 22, 0xFFFFFFFEu); // height -2: rows stored top first
    dir.Write("n.bmp", bytes);
    const BitmapImage image = ReadBitmap("n.bmp");
    EXPECT_EQ(image.height, 2);
    // The file's first row (written as y = 0) is now the top row.
    EXPECT_EQ(image.pixels[8 + 1], 0);  // green of (0, top)
    EXPECT_EQ(image.pixels[0 + 1], 20); // green of (0, bottom)
}

TEST(BitmapTest, AMissingFileCannotBeFound) {
    ScratchGameDir dir;
    EXPECT_EQ(ErrorOf("assets/no-such-noise.bmp"), "Cannot find assets/no-such-noise.bmp");
}

TEST(BitmapTest, FilesThatAreNotWhatTheySayAreRejected) {
    struct Case {
        const char* what;
        std::function<void(std::string&)> spoil;
    };
    const Case cases[] = {
        {"wrong signature", [](std::string& b) { b[0] = 'P'; }},
        {"cut inside the headers", [](std::string& b) { b.resize(40); }},
        {"image size beyond the file", [](std::string& b) { Put32(b, 34, 1u << 30); }},
        {"image size smaller than the rows", [](std::string& b) { Put32(b, 34, 12); }},
        {"width larger than the data", [](std::string& b) { Put32(b, 18, 4000); }},
        {"huge height", [](std::string& b) { Put32(b, 22, 0x7FFFFFFF); }},
        {"zero width", [](std::string& b) { Put32(b, 18, 0); }},
        {"negative width", [](std::string& b) { Put32(b, 18, 0xFFFFFFF0u); }},
        {"32 bits per pixel", [](std::string& b) { b[28] = 32; }},
        {"compressed", [](std::string& b) { Put32(b, 30, 1); }},
        {"pixel data past the end", [](std::string& b) { Put32(b, 10, 5000); }},
        {"pixel data inside the headers", [](std::string& b) { Put32(b, 10, 2); }},
        {"truncated pixel rows", [](std::string& b) { b.resize(b.size() - 5); }},
    };
    ScratchGameDir dir;
    for (const Case& c : cases) {
        std::string bytes = MakeBmp(4, 4, Gradient);
        c.spoil(bytes);
        dir.Write("bad.bmp", bytes);
        EXPECT_EQ(ErrorOf("bad.bmp"), "bad.bmp is not a valid bitmap") << c.what;
    }
}

} // namespace
