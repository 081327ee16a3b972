// Bitmap -- the noise image reader.
#include "render/Bitmap.h"

#include "render/TextureUpload.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
// Larger than any texture a driver accepts; keeps the size sums in range.
constexpr int64_t kMaxSide = 16384;

uint32_t ReadU32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t ReadU16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

} // namespace

BitmapImage ReadBitmap(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        throw std::runtime_error("Cannot find " + path);
    // The whole file in one read, not a byte at a time.
    const std::streamoff size = std::max<std::streamoff>(in.tellg(), 0);
    std::vector<uint8_t> file(static_cast<size_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(file.data()), size);
    file.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    const std::runtime_error invalid(path + " is not a valid bitmap");
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || ReadU16(file, 0) != 0x4D42)
        throw invalid;

    const uint32_t dataOffset = ReadU32(file, 10);
    const uint32_t infoSize = ReadU32(file, 14);
    const int64_t width = static_cast<int32_t>(ReadU32(file, 18));
    const int64_t storedHeight = static_cast<int32_t>(ReadU32(file, 22));
    const uint16_t bitCount = ReadU16(file, 28);
    const uint32_t compression = ReadU32(file, 30);
    int64_t imageSize = ReadU32(file, 34);

    const int64_t height = storedHeight < 0 ? -storedHeight : storedHeight;
    // Only what the texture upload understands: 24-bit BGR, no compression.
    if (infoSize < kInfoHeaderSize || bitCount != 24 || compression != 0)
        throw invalid;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        throw invalid;
    const int64_t stride = (width * 3 + 3) & ~int64_t{3};
    const int64_t needed = stride * height;
    if (imageSize == 0)
        imageSize = needed; // allowed for uncompressed files
    // A header that promises fewer bytes than its size needs, or more than
    // the file holds, would make the upload read past the pixel buffer.
    if (imageSize < needed ||
        static_cast<int64_t>(dataOffset) + imageSize > static_cast<int64_t>(file.size()))
        throw invalid;
    if (dataOffset < kFileHeaderSize + kInfoHeaderSize)
        throw invalid;

    BitmapImage image;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.pixels.assign(file.begin() + dataOffset, file.begin() + dataOffset + needed);
    if (storedHeight < 0) {
        // Rows stored top first: turn them into the usual bottom-first order.
        for (int64_t r = 0; r < height / 2; ++r)
            std::swap_ranges(image.pixels.begin() + r * stride,
                             image.pixels.begin() + (r + 1) * stride,
                             image.pixels.begin() + (height - 1 - r) * stride);
    }
    return image;
}

GLuint LoadBitmap(const std::string& path) {
    const BitmapImage image = ReadBitmap(path);
    // Rows are padded to four bytes in the file.
    return CreateNearestTexture(GL_RGB8, image.width, image.height, GL_BGR, image.pixels.data(), 4,
                                GL_REPEAT);
}
