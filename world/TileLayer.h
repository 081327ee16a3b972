// TileLayer.h -- decoding the data of a map's tile layer in every form the
// map editor saves: Base64 (raw, zlib or gzip), CSV, or one element per tile;
// and encoding it as plain Base64 for the maps the game writes itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tinyxml2 {
class XMLElement;
}

// Tiled keeps the flip and rotation flags in the top bits of a global id.
constexpr uint32_t kTileFlipMask = 0xF0000000u;

// Decodes standard Base64, skipping whitespace and padding. False, with a
// reason, on any other character.
bool DecodeBase64(const char* text, std::vector<uint8_t>& out, std::string& reason);
// Standard Base64 with "=" padding, on one line.
std::string EncodeBase64(const uint8_t* bytes, size_t size);
// A layer's ids as uncompressed Base64 data: little-endian 32-bit ids.
std::string EncodeTileIds(const uint32_t* ids, size_t count);
// Inflates a zlib or gzip stream into at most `limit` bytes. False, with a
// reason, when the stream is damaged or cut short.
bool InflateBytes(const std::vector<uint8_t>& in, size_t limit, std::vector<uint8_t>& out,
                  std::string& reason);
// Fills `tiles` (already sized, zeroed) from a layer's `data` element; the
// flip bits are cleared. Data shorter than the layer leaves empty cells;
// data beyond it is ignored. `decoded`, when given, gets the number of cells
// the data filled (the layer's size when it held enough). False, with a
// reason, for anything unsupported or damaged.
bool DecodeLayerData(const tinyxml2::XMLElement* data, std::vector<uint32_t>& tiles,
                     std::string& reason, size_t* decoded = nullptr);
