// Image headers are checked before a pixel is decoded: a PNG's declared
// sizes and chunk lengths, for the texture loader and the window icon alike.
// Only PNGs are decoded at all.
#include "engine/QNGraphics.h"
#include "engine/QNIcon.h"
#include "engine/QNImage.h"
#include "support/IconBytes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <string>
#include <vector>

namespace {

void PutBig32(std::vector<uint8_t>& b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(static_cast<uint8_t>(v >> shift));
}
// The image writer's output, gathered in a byte vector (`context`).
void AppendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<uint8_t*>(data);
    auto* v = static_cast<std::vector<uint8_t>*>(context);
    v->insert(v->end(), bytes, bytes + size);
}

// A real PNG of `side` x `side` grey pixels.
std::vector<uint8_t> Png(int side) {
    std::vector<uint8_t> pixels(static_cast<size_t>(side * side * 4), 200);
    std::vector<uint8_t> out;
    stbi_write_png_to_func(AppendBytes, &out, side, side, 4, pixels.data(), side * 4);
    return out;
}

// The PNG with its header's size replaced (the decoder ignores checksums).
std::vector<uint8_t> ClaimingSize(std::vector<uint8_t> png, uint32_t width, uint32_t height) {
    std::vector<uint8_t> size;
    PutBig32(size, width);
    PutBig32(size, height);
    std::copy(size.begin(), size.end(), png.begin() + 16); // IHDR data
    return png;
}

// The PNG with a chunk inserted after the header chunk (8 + 25 bytes in).
std::vector<uint8_t> WithChunkAfterHeader(std::vector<uint8_t> png, const char* type,
                                          uint32_t declared, size_t actual) {
    std::vector<uint8_t> chunk;
    PutBig32(chunk, declared);
    chunk.insert(chunk.end(), type, type + 4);
    chunk.resize(chunk.size() + actual + 4, 0); // data, checksum
    png.insert(png.begin() + 33, chunk.begin(), chunk.end());
    return png;
}

std::vector<uint8_t> PnmWithLongWidth() {
    std::string text = "P5" + std::string(49, '3');
    text += std::string("\0\t", 2);
    return {text.begin(), text.end()};
}

// A real 32 x 32 JPEG: well formed, but not a format the game reads.
std::vector<uint8_t> Jpeg() {
    std::vector<uint8_t> pixels(32 * 32 * 3, 200);
    std::vector<uint8_t> out;
    stbi_write_jpg_to_func(AppendBytes, &out, 32, 32, 3, pixels.data(), 90);
    return out;
}

// Found by fuzzing: a JPEG whose Huffman table claims more than 256 codes;
// the decoder wrote past its table reading the header.
std::vector<uint8_t> JpegWithOversizedHuffmanTable() {
    return {0xff, 0xd8, 0xff, 0xc4, 0xa0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08,
            0x06, 0x00, 0x00, 0x00, 0xa9, 0xf1, 0x9e, 0x7e, 0x00, 0x00, 0x00, 0x14, 0x49,
            0x44, 0x41, 0x54, 0x78, 0x5e, 0x63, 0xfc, 0x0f, 0x04, 0x00, 0x48, 0x80, 0x89,
            0x01, 0x0d, 0x10, 0x16, 0x00, 0x00, 0x06, 0x5d, 0x04, 0x04, 0x9c, 0xca, 0xbb,
            0x14, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x00,
            0x00, 0x00, 0x01, 0x00, 0x61, 0x10, 0x00, 0x0a, 0x28, 0x59, 0x00, 0x00, 0x00,
            0xdb, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff};
}

struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool decodes;
    const char* reason; // part of the reason when refused
};

std::vector<Case> Cases() {
    const std::vector<uint8_t> good = Png(32);
    std::vector<uint8_t> cut(good.begin(), good.end() - 20);
    return {
        {"a plain 32 x 32 PNG", good, true, ""},
        {"an empty first image-data chunk", WithChunkAfterHeader(good, "IDAT", 0, 0), true, ""},
        {"16384 x 16384 announced", ClaimingSize(good, 16384, 16384), false, "beyond 8192"},
        // Within the sides, but a few hundred bytes cannot inflate to the
        // 256 MiB the decoder would set aside for it.
        {"8192 x 8192 announced in a tiny file", ClaimingSize(good, 8192, 8192), false,
         "cannot hold the pixels"},
        {"2147483647 wide announced", ClaimingSize(good, 2147483647u, 1), false, ""},
        {"a chunk claiming 2 GiB", WithChunkAfterHeader(good, "IDAT", 0x7FFFFFF0u, 8), false,
         "past the file's end"},
        {"cut off inside its data", cut, false, ""},
        {"no bytes", {}, false, "empty"},
        // Found by fuzzing: a PNM header whose width has 49 digits.
        {"a PNM width of 49 digits", PnmWithLongWidth(), false, "not a PNG"},
        {"a JPEG", Jpeg(), false, "not a PNG"},
        {"a JPEG with an oversized Huffman table", JpegWithOversizedHuffmanTable(), false,
         "not a PNG"},
    };
}

TEST(ImageLimits, HeadersAreCheckedBeforeDecoding) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.what);
        int w = 0, h = 0;
        std::string reason;
        std::vector<uint8_t> rgba;
        const bool decoded = QNImageDecode(c.bytes.data(), c.bytes.size(), rgba, w, h, reason);
        EXPECT_EQ(decoded, c.decodes) << reason;
        if (decoded) {
            EXPECT_EQ(w, 32);
            EXPECT_EQ(rgba.size(), 32u * 32u * 4u);
            EXPECT_EQ(rgba[5], 200);
        } else {
            EXPECT_EQ(w, 0);
            EXPECT_TRUE(rgba.empty());
            EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        }
    }
}

TEST(ImageLimits, TextureLoaderAndIconRefuseTheSameFiles) {
    ScratchGameDir dir;
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.what);
        dir.Write("image.png", std::string(c.bytes.begin(), c.bytes.end()));
        int w = 0, h = 0;
        std::string reason;
        std::vector<uint8_t> rgba;
        EXPECT_EQ(QNGfxTextureDecode("image.png", rgba, w, h, reason), c.decodes) << reason;
        EXPECT_EQ(QNIconDecode(IcoWith(32, c.bytes), 32, rgba), c.decodes);
    }
}

TEST(ImageLimits, IconEntryMustMatchItsPngBeforeDecoding) {
    // The entry says 32 x 32; the PNG inside says otherwise.
    std::vector<uint8_t> rgba;
    EXPECT_FALSE(QNIconDecode(IcoWith(32, Png(64)), 32, rgba));
    EXPECT_FALSE(QNIconDecode(IcoWith(32, ClaimingSize(Png(32), 16384, 16384)), 32, rgba));
    EXPECT_TRUE(rgba.empty());
    EXPECT_TRUE(QNIconDecode(IcoWith(32, Png(32)), 32, rgba));
}

} // namespace
