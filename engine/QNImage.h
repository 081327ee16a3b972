// QNImage.h -- decoding PNG files to RGBA after checking what their
// headers announce: the decoder trusts a PNG chunk's declared length and the
// image size, and would allocate whatever they claim before finding the data
// is not there. Other formats are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The largest side of an image the game decodes (textures and icons). A
// PNG must also hold enough compressed data for the pixels it announces.
constexpr int kQNImageMaxSide = 8192;

// The size an image's header announces, checked: it is a PNG, every chunk
// lies inside the bytes, both sides are 1..kQNImageMaxSide. False, with the
// reason, otherwise; nothing is decoded.
bool QNImageInfo(const uint8_t* data, size_t size, int& width, int& height, std::string& reason);
// QNImageInfo, then the pixels: RGBA, rows top first.
bool QNImageDecode(const uint8_t* data, size_t size, std::vector<uint8_t>& rgba, int& width,
                   int& height, std::string& reason);
// Reads a whole file; false when it cannot be read.
bool QNReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes);
