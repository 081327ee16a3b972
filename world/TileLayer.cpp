// TileLayer -- decoding a tile layer's data.
#include "world/TileLayer.h"

#include "world/XmlRead.h"

#include <tinyxml2.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {
int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Little-endian 32-bit ids, as many as fit in both the bytes and the layer.
// Returns how many cells they filled.
size_t StoreIds(const std::vector<uint8_t>& bytes, std::vector<uint32_t>& tiles) {
    const size_t count = std::min(tiles.size(), bytes.size() / 4);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* b = &bytes[i * 4];
        const uint32_t id = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                            static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
        tiles[i] = id & ~kTileFlipMask;
    }
    return count;
}

bool DecodeCsv(const char* text, std::vector<uint32_t>& tiles, std::string& reason,
               size_t& decoded) {
    size_t index = 0;
    const char* p = text;
    while (*p) {
        while (IsBlank(*p))
            ++p;
        if (!*p)
            break;
        if (*p == ',') { // an empty entry (a trailing comma)
            ++p;
            continue;
        }
        if (*p < '0' || *p > '9') {
            reason = "layer data is not comma-separated numbers";
            return false;
        }
        char* end = nullptr;
        errno = 0;
        const unsigned long long id = std::strtoull(p, &end, 10);
        if (errno == ERANGE || id > 0xFFFFFFFFull) {
            reason = "layer data holds a tile id beyond 32 bits";
            return false;
        }
        if (index < tiles.size())
            tiles[index] = static_cast<uint32_t>(id) & ~kTileFlipMask;
        ++index;
        p = end;
        while (IsBlank(*p))
            ++p;
        if (*p == ',')
            ++p;
        else if (*p) {
            reason = "layer data is not comma-separated numbers";
            return false;
        }
    }
    decoded = std::min(index, tiles.size());
    return true;
}

// The oldest form: one "tile" element with a "gid" per cell.
size_t DecodeTileElements(const tinyxml2::XMLElement* data, std::vector<uint32_t>& tiles) {
    size_t index = 0;
    for (const tinyxml2::XMLElement* tile = data->FirstChildElement("tile");
         tile && index < tiles.size(); tile = tile->NextSiblingElement("tile"), ++index) {
        tiles[index] = static_cast<uint32_t>(tile->Unsigned64Attribute("gid")) & ~kTileFlipMask;
    }
    return index;
}
} // namespace

bool DecodeBase64(const char* text, std::vector<uint8_t>& out, std::string& reason) {
    out.clear();
    uint32_t bits = 0;
    int count = 0;
    for (const char* p = text; *p; ++p) {
        if (IsBlank(*p) || *p == '=')
            continue;
        const int value = Base64Value(*p);
        if (value < 0) {
            reason = "layer data is not Base64";
            return false;
        }
        bits = (bits << 6) | static_cast<uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<uint8_t>(bits >> count));
        }
    }
    return true;
}

std::string EncodeBase64(const uint8_t* bytes, size_t size) {
    static const char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((size + 2) / 3 * 4);
    for (size_t i = 0; i < size; i += 3) {
        const size_t left = size - i;
        const uint32_t group = static_cast<uint32_t>(bytes[i]) << 16 |
                               (left > 1 ? static_cast<uint32_t>(bytes[i + 1]) << 8 : 0u) |
                               (left > 2 ? static_cast<uint32_t>(bytes[i + 2]) : 0u);
        text += kDigits[group >> 18 & 63];
        text += kDigits[group >> 12 & 63];
        text += left > 1 ? kDigits[group >> 6 & 63] : '=';
        text += left > 2 ? kDigits[group & 63] : '=';
    }
    return text;
}

std::string EncodeTileIds(const uint32_t* ids, size_t count) {
    std::vector<uint8_t> bytes(count * 4);
    for (size_t i = 0; i < count; ++i) {
        for (size_t b = 0; b < 4; ++b)
            bytes[i * 4 + b] = static_cast<uint8_t>(ids[i] >> (8 * b));
    }
    return EncodeBase64(bytes.data(), bytes.size());
}

bool InflateBytes(const std::vector<uint8_t>& in, size_t limit, std::vector<uint8_t>& out,
                  std::string& reason) {
    out.assign(limit, 0);
    if (limit == 0)
        return true;
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    // 15 + 32: accept both the zlib and the gzip header.
    if (inflateInit2(&stream, 15 + 32) != Z_OK) {
        reason = "cannot start decompression";
        return false;
    }
    stream.next_in = const_cast<Bytef*>(in.data());
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(limit);
    int status = inflate(&stream, Z_FINISH);
    // A stream longer than the layer fills it; the rest is not wanted.
    const bool full = stream.avail_out == 0 && limit > 0;
    out.resize(limit - stream.avail_out);
    inflateEnd(&stream);
    if (status == Z_STREAM_END || (full && (status == Z_OK || status == Z_BUF_ERROR)))
        return true;
    reason = status == Z_DATA_ERROR ? "compressed layer data is damaged"
                                    : "compressed layer data is cut short";
    return false;
}

bool DecodeLayerData(const tinyxml2::XMLElement* data, std::vector<uint32_t>& tiles,
                     std::string& reason, size_t* decoded) {
    size_t filled = 0;
    if (decoded)
        *decoded = 0;
    if (!data)
        return true; // no data: every cell stays empty
    if (data->FirstChildElement("chunk")) {
        reason = "infinite maps are not supported";
        return false;
    }
    const std::string encoding = ReadStringAttribute(data, "encoding");
    const std::string compression = ReadStringAttribute(data, "compression");
    const char* text = data->GetText() ? data->GetText() : "";
    if (encoding.empty()) {
        filled = DecodeTileElements(data, tiles);
    } else if (encoding == "csv") {
        if (!DecodeCsv(text, tiles, reason, filled))
            return false;
    } else if (encoding != "base64") {
        reason = "layer encoding \"" + encoding + "\" is not supported";
        return false;
    } else {
        std::vector<uint8_t> bytes;
        if (!DecodeBase64(text, bytes, reason))
            return false;
        if (compression.empty()) {
            filled = StoreIds(bytes, tiles);
        } else if (compression != "zlib" && compression != "gzip") {
            reason = "layer compression \"" + compression + "\" is not supported";
            return false;
        } else {
            std::vector<uint8_t> raw;
            if (!InflateBytes(bytes, tiles.size() * 4, raw, reason))
                return false;
            filled = StoreIds(raw, tiles);
        }
    }
    if (decoded)
        *decoded = filled;
    return true;
}
