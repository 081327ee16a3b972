// QNImage -- checked image decoding through stb_image.
#include "engine/QNImage.h"

#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stb/stb_image.h>

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t ReadBigEndian32(const uint8_t* b) {
    return static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 |
           static_cast<uint32_t>(b[2]) << 8 | static_cast<uint32_t>(b[3]);
}

// Deflate cannot expand data more than about 1032 times, so compressed
// image data that would inflate to far more than that is a lie, however
// small the file: the decoder would allocate the whole image first.
constexpr uint64_t kMaxInflateRatio = 1032;
constexpr uint64_t kInflateSlack = 4096;

// Walks a PNG's chunks up to its end chunk: each declared length must fit
// in what is left of the bytes (length, type, data and checksum), and the
// image data must be able to hold the pixels the header announces.
bool PngChunksFit(const uint8_t* data, size_t size, std::string& reason) {
    size_t at = sizeof kPngSignature;
    uint64_t imageData = 0;
    uint64_t rawBytes = 0; // the header's pixels as the filtered rows hold them
    while (at < size) {
        if (size - at < 12) {
            reason = "a PNG chunk is cut short";
            return false;
        }
        const uint64_t length = ReadBigEndian32(data + at);
        if (length > size - at - 12) {
            reason = "a PNG chunk claims " + std::to_string(length) + " bytes past the file's end";
            return false;
        }
        const uint8_t* type = data + at + 4;
        if (std::memcmp(type, "IHDR", 4) == 0 && length >= 10) {
            const uint64_t width = ReadBigEndian32(data + at + 8);
            const uint64_t height = ReadBigEndian32(data + at + 12);
            const uint64_t depth = data[at + 16];
            const uint8_t colour = data[at + 17];
            const uint64_t samples = colour == 2 ? 3 : colour == 4 ? 2 : colour == 6 ? 4 : 1;
            // Sides beyond the limit are refused after the walk anyway.
            if (width <= kQNImageMaxSide && height <= kQNImageMaxSide)
                rawBytes = height * (1 + (width * samples * depth + 7) / 8);
        }
        if (std::memcmp(type, "IDAT", 4) == 0)
            imageData += length;
        at += 12 + static_cast<size_t>(length);
        if (std::memcmp(type, "IEND", 4) == 0)
            break;
    }
    if (rawBytes > imageData * kMaxInflateRatio + kInflateSlack) {
        reason = "its " + std::to_string(imageData) +
                 " bytes of image data cannot hold the pixels its header announces";
        return false;
    }
    return true;
}

} // namespace

bool QNImageInfo(const uint8_t* data, size_t size, int& width, int& height, std::string& reason) {
    width = height = 0;
    if (!data || size == 0) {
        reason = "the file is empty";
        return false;
    }
    if (size > static_cast<size_t>(INT_MAX)) {
        reason = "the file is too large";
        return false;
    }
    // Every image the game reads is a PNG. The decoder's other formats are
    // refused before it sees them: its JPEG reader, for one, writes past a
    // Huffman table that claims more than 256 codes.
    if (size < sizeof kPngSignature || std::memcmp(data, kPngSignature, 8) != 0) {
        reason = "it is not a PNG image";
        return false;
    }
    if (!PngChunksFit(data, size, reason))
        return false;
    int channels = 0;
    if (!stbi_info_from_memory(data, static_cast<int>(size), &width, &height, &channels)) {
        const char* why = stbi_failure_reason();
        reason = why ? why : "not an image";
        width = height = 0;
        return false;
    }
    if (width < 1 || height < 1 || width > kQNImageMaxSide || height > kQNImageMaxSide) {
        reason = "its size " + std::to_string(width) + " x " + std::to_string(height) +
                 " is beyond " + std::to_string(kQNImageMaxSide) + " x " +
                 std::to_string(kQNImageMaxSide);
        width = height = 0;
        return false;
    }
    return true;
}

bool QNImageDecode(const uint8_t* data, size_t size, std::vector<uint8_t>& rgba, int& width,
                   int& height, std::string& reason) {
    rgba.clear();
    int announcedWidth = 0, announcedHeight = 0;
    if (!QNImageInfo(data, size, announcedWidth, announcedHeight, reason))
        return false;
    int channels = 0;
    unsigned char* pixels =
        stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4);
    if (!pixels) {
        const char* why = stbi_failure_reason();
        reason = why ? why : "cannot decode";
        width = height = 0;
        return false;
    }
    // The decoder reads the same header as the check did.
    if (width != announcedWidth || height != announcedHeight) {
        stbi_image_free(pixels);
        reason = "the decoded size differs from the announced one";
        width = height = 0;
        return false;
    }
    rgba.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    stbi_image_free(pixels);
    return true;
}

bool QNReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}
