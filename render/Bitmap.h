// Bitmap.h -- the reader for the noise image: 24-bit uncompressed BMP files
// turned into a repeating, nearest-filtered RGB texture.
#pragma once

#include <GL/glew.h>
#include <cstdint>
#include <string>
#include <vector>

// A decoded bitmap: BGR bytes, rows bottom first, each row padded to four
// bytes as the file stores it.
struct BitmapImage {
    int32_t width = 0;  // pixels
    int32_t height = 0; // pixels
    std::vector<uint8_t> pixels;
};

// Reads and checks a bitmap file. Throws "Cannot find " + path when the
// file cannot be opened, and path + " is not a valid bitmap" when it is not
// a 24-bit uncompressed BMP or its header claims more data than it holds.
BitmapImage ReadBitmap(const std::string& path);

// ReadBitmap, then a texture of it: RGB, nearest filtering, repeat wrapping.
// Returns the texture name; the caller deletes it.
GLuint LoadBitmap(const std::string& path);
