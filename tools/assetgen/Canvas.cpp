// Canvas -- shapes with relief, shading, outlines and PNG output.
#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <stb_image_write.h>
#include <zlib.h>

#include <cstdio>

namespace {

float Clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}
uint8_t ToByte(float v) {
    return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f));
}

// Light from the top-left, a little in front of the picture.
constexpr float kLightX = -0.55f, kLightY = 0.55f, kLightZ = 0.63f;

float DistanceToSegment(float px, float py, float ax, float ay, float bx, float by, float& t) {
    const float dx = bx - ax, dy = by - ay;
    const float len2 = dx * dx + dy * dy;
    t = len2 > 0 ? Clamp01(((px - ax) * dx + (py - ay) * dy) / len2) : 0.0f;
    const float cx = ax + t * dx - px, cy = ay + t * dy - py;
    return std::sqrt(cx * cx + cy * cy);
}

} // namespace

namespace {

// Calls `cell(x, y, distance to the nearest edge)` for every cell whose
// centre lies inside the polygon (even-odd rule).
template <typename Cell> void ScanPolygon(const std::vector<float>& xy, Cell cell) {
    const size_t n = xy.size() / 2;
    if (n < 3)
        return;
    float minX = xy[0], maxX = xy[0], minY = xy[1], maxY = xy[1];
    for (size_t i = 0; i < n; ++i) {
        minX = std::min(minX, xy[2 * i]);
        maxX = std::max(maxX, xy[2 * i]);
        minY = std::min(minY, xy[2 * i + 1]);
        maxY = std::max(maxY, xy[2 * i + 1]);
    }
    for (int y = static_cast<int>(std::floor(minY)); y <= static_cast<int>(std::ceil(maxY)); ++y)
        for (int x = static_cast<int>(std::floor(minX)); x <= static_cast<int>(std::ceil(maxX));
             ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            bool inside = false;
            float edge = 1e9f;
            for (size_t i = 0, j = n - 1; i < n; j = i++) {
                const float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
                if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                    inside = !inside;
                float t = 0;
                edge = std::min(edge, DistanceToSegment(px, py, xi, yi, xj, yj, t));
            }
            if (inside)
                cell(x, y, edge);
        }
}

} // namespace

Rgba Mix(const Rgba& a, const Rgba& b, float t) {
    return Rgba{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
                a.a + (b.a - a.a) * t};
}

Rgba Scale(const Rgba& c, float s) {
    return Rgba{c.r * s, c.g * s, c.b * s, c.a};
}

void Image::Put(int x, int y, const Rgba& c) {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    uint8_t* p = At(x, y);
    p[0] = ToByte(c.r);
    p[1] = ToByte(c.g);
    p[2] = ToByte(c.b);
    p[3] = ToByte(c.a);
}

void Image::Blend(int x, int y, const Rgba& c) {
    if (x < 0 || y < 0 || x >= width || y >= height || c.a <= 0)
        return;
    uint8_t* p = At(x, y);
    const float da = p[3] / 255.0f;
    const float oa = c.a + da * (1 - c.a);
    auto mixc = [&](float s, uint8_t d) {
        return oa > 0 ? (s * c.a + d / 255.0f * da * (1 - c.a)) / oa : 0.0f;
    };
    Put(x, y, Rgba{mixc(c.r, p[0]), mixc(c.g, p[1]), mixc(c.b, p[2]), oa});
}

void Image::Fill(const Rgba& c) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            Put(x, y, c);
}

void Image::Paste(const Image& src, int x, int y) {
    for (int j = 0; j < src.height; ++j)
        for (int i = 0; i < src.width; ++i) {
            const int tx = x + i, ty = y + j;
            if (tx < 0 || ty < 0 || tx >= width || ty >= height)
                continue;
            std::copy(src.At(i, j), src.At(i, j) + 4, At(tx, ty));
        }
}

void Image::BlendImage(const Image& src, int x, int y) {
    for (int j = 0; j < src.height; ++j)
        for (int i = 0; i < src.width; ++i) {
            const uint8_t* s = src.At(i, j);
            Blend(x + i, y + j, Rgba{s[0] / 255.0f, s[1] / 255.0f, s[2] / 255.0f, s[3] / 255.0f});
        }
}

Canvas::Canvas(int w, int h)
    : w_(w), h_(h), albedo_(static_cast<size_t>(w) * h), height_(static_cast<size_t>(w) * h, 0),
      flags_(static_cast<size_t>(w) * h, 0), glow_(static_cast<size_t>(w) * h) {}

void Canvas::Set(int x, int y, const Rgba& albedo, float height, uint8_t flags) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return;
    const size_t i = static_cast<size_t>(y) * w_ + x;
    albedo_[i] = albedo;
    height_[i] = height;
    flags_[i] = flags;
}

void Canvas::Glow(int x, int y, const Rgba& c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return;
    Rgba& g = glow_[static_cast<size_t>(y) * w_ + x];
    const float a = c.a + g.a * (1 - c.a);
    if (a <= 0)
        return;
    g = Rgba{(c.r * c.a + g.r * g.a * (1 - c.a)) / a, (c.g * c.a + g.g * g.a * (1 - c.a)) / a,
             (c.b * c.a + g.b * g.a * (1 - c.a)) / a, a};
}

bool Canvas::Opaque(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return false;
    return albedo_[static_cast<size_t>(y) * w_ + x].a > 0;
}

float Canvas::HeightAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return 0;
    return height_[static_cast<size_t>(y) * w_ + x];
}

void Canvas::Capsule(float ax, float ay, float bx, float by, float ra, float rb, const Rgba& albedo,
                     float base, uint8_t flags) {
    const float r = std::max(ra, rb);
    const int x0 = static_cast<int>(std::floor(std::min(ax, bx) - r)),
              x1 = static_cast<int>(std::ceil(std::max(ax, bx) + r));
    const int y0 = static_cast<int>(std::floor(std::min(ay, by) - r)),
              y1 = static_cast<int>(std::ceil(std::max(ay, by) + r));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float t = 0;
            const float d = DistanceToSegment(x + 0.5f, y + 0.5f, ax, ay, bx, by, t);
            const float rr = ra + (rb - ra) * t;
            if (d > rr)
                continue;
            const float dome = std::sqrt(std::max(0.0f, 1 - (d * d) / (rr * rr)));
            Set(x, y, albedo, base + rr * dome, flags);
        }
}

void Canvas::Ellipse(float cx, float cy, float rx, float ry, const Rgba& albedo, float base,
                     uint8_t flags) {
    for (int y = static_cast<int>(std::floor(cy - ry)); y <= static_cast<int>(std::ceil(cy + ry));
         ++y)
        for (int x = static_cast<int>(std::floor(cx - rx));
             x <= static_cast<int>(std::ceil(cx + rx)); ++x) {
            const float u = (x + 0.5f - cx) / rx, v = (y + 0.5f - cy) / ry;
            const float d2 = u * u + v * v;
            if (d2 > 1)
                continue;
            Set(x, y, albedo, base + std::min(rx, ry) * std::sqrt(1 - d2), flags);
        }
}

void Canvas::Polygon(const std::vector<float>& xy, const Rgba& albedo, float base, float bevel,
                     uint8_t flags) {
    ScanPolygon(xy, [&](int x, int y, float edge) {
        const float rim = bevel > 0 ? std::min(1.0f, edge / bevel) : 1.0f;
        Set(x, y, albedo, base + 2.0f * rim, flags);
    });
}

void Canvas::Rect(float x0, float y0, float x1, float y1, const Rgba& albedo, float base,
                  float bevel, uint8_t flags) {
    Polygon({x0, y0, x1, y0, x1, y1, x0, y1}, albedo, base, bevel, flags);
}

void Canvas::GlowPolygon(const std::vector<float>& xy, const Rgba& c) {
    ScanPolygon(xy, [&](int x, int y, float) { Glow(x, y, c); });
}

void Canvas::MirrorX() {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_ / 2; ++x) {
            const size_t a = static_cast<size_t>(y) * w_ + x,
                         b = static_cast<size_t>(y) * w_ + (w_ - 1 - x);
            std::swap(albedo_[a], albedo_[b]);
            std::swap(height_[a], height_[b]);
            std::swap(flags_[a], flags_[b]);
            std::swap(glow_[a], glow_[b]);
        }
}

void Canvas::Finish(int scale, Image& diffuse, Image& normal) const {
    diffuse = Image(w_ * scale, h_ * scale);
    normal = Image(w_ * scale, h_ * scale);
    const float lightLen = std::sqrt(kLightX * kLightX + kLightY * kLightY + kLightZ * kLightZ);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            const size_t i = static_cast<size_t>(y) * w_ + x;
            Rgba colour;
            float nx = 0, ny = 0, nz = 1;
            if (Opaque(x, y)) {
                const float h = height_[i];
                auto at = [&](int sx, int sy) {
                    if (clampEdges && (sx < 0 || sy < 0 || sx >= w_ || sy >= h_))
                        return h;
                    return Opaque(sx, sy) ? HeightAt(sx, sy) : std::max(0.0f, h - 2.0f);
                };
                const float dx = (at(x + 1, y) - at(x - 1, y)) * 0.5f;
                const float dy = (at(x, y + 1) - at(x, y - 1)) * 0.5f;
                const float k = 0.4f;
                nx = -dx * k;
                ny = dy * k;
                const float len = std::sqrt(nx * nx + ny * ny + 1);
                nx /= len;
                ny /= len;
                nz = 1 / len;
                colour = albedo_[i];
                // Glowing cells keep their colour but still carry relief.
                if (shade && !(flags_[i] & kCellEmissive)) {
                    const float l = (nx * kLightX + ny * kLightY + nz * kLightZ) / lightLen;
                    const float step = l < 0.3f    ? 0.55f
                                       : l < 0.55f ? 0.78f
                                       : l < 0.8f  ? 1.0f
                                                   : 1.22f;
                    colour = Scale(colour, step);
                    if (step > 1)
                        colour = Mix(colour, RgbaOf(255, 240, 210), 0.12f);
                    if (step < 0.6f)
                        colour = Mix(colour, RgbaOf(30, 24, 60), 0.18f);
                }
            } else if (drawOutline) {
                bool edge = false;
                const int ox[4] = {1, -1, 0, 0}, oy[4] = {0, 0, 1, -1};
                for (int k = 0; k < 4; ++k) {
                    const int sx = x + ox[k], sy = y + oy[k];
                    if (Opaque(sx, sy) && !(flags_[static_cast<size_t>(sy) * w_ + sx] &
                                            (kCellEmissive | kCellNoOutline)))
                        edge = true;
                }
                if (edge)
                    colour = outline;
            }
            const Rgba& g = glow_[i];
            if (g.a > 0) {
                const float a = g.a + colour.a * (1 - g.a);
                colour = Rgba{(g.r * g.a + colour.r * colour.a * (1 - g.a)) / a,
                              (g.g * g.a + colour.g * colour.a * (1 - g.a)) / a,
                              (g.b * g.a + colour.b * colour.a * (1 - g.a)) / a, a};
            }
            const Rgba n{nx * 0.5f + 0.5f, ny * 0.5f + 0.5f, nz * 0.5f + 0.5f, colour.a};
            for (int sy = 0; sy < scale; ++sy)
                for (int sx = 0; sx < scale; ++sx) {
                    diffuse.Put(x * scale + sx, y * scale + sy, colour);
                    normal.Put(x * scale + sx, y * scale + sy, n);
                }
        }
}

float Hash01(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777216.0f;
}

float ValueNoise(float x, float y, int seed) {
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float fx = x - ix, fy = y - iy;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    const float a = Hash01(ix, iy, seed), b = Hash01(ix + 1, iy, seed);
    const float c = Hash01(ix, iy + 1, seed), d = Hash01(ix + 1, iy + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

bool WritePng(const std::string& path, const Image& image) {
    return stbi_write_png(path.c_str(), image.width, image.height, 4, image.rgba.data(),
                          image.width * 4) != 0;
}

namespace {
void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(4 + data.size()));
    PutBe32(out, static_cast<uint32_t>(crc));
}
} // namespace

namespace {
int PaethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Row `y` of `image` under PNG filter `type` (0 none, 1 sub, 2 up, 3
// average, 4 Paeth), written after its filter byte into `out`.
void FilterRow(const Image& image, int y, uint8_t type, std::vector<uint8_t>& out) {
    const size_t stride = static_cast<size_t>(image.width) * 4;
    const uint8_t* row = image.rgba.data() + static_cast<size_t>(y) * stride;
    const uint8_t* up = y > 0 ? row - stride : nullptr;
    out.push_back(type);
    for (size_t i = 0; i < stride; ++i) {
        const int a = i >= 4 ? row[i - 4] : 0;
        const int b = up ? up[i] : 0;
        const int c = up && i >= 4 ? up[i - 4] : 0;
        const int predicted = type == 1   ? a
                              : type == 2 ? b
                              : type == 3 ? (a + b) / 2
                              : type == 4 ? PaethPredictor(a, b, c)
                                          : 0;
        out.push_back(static_cast<uint8_t>(row[i] - predicted));
    }
}

// The rows as the image data holds them: unfiltered for stored data, else
// each under the filter whose bytes lie nearest zero, which deflate packs
// best (the usual choice of PNG writers).
std::vector<uint8_t> FilteredRows(const Image& image, bool filtered) {
    const size_t stride = static_cast<size_t>(image.width) * 4;
    std::vector<uint8_t> rows, trial;
    rows.reserve((stride + 1) * static_cast<size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        if (!filtered) {
            FilterRow(image, y, 0, rows);
            continue;
        }
        std::vector<uint8_t> best;
        uint64_t bestCost = UINT64_MAX;
        for (uint8_t type = 0; type <= 4; ++type) {
            trial.clear();
            FilterRow(image, y, type, trial);
            uint64_t cost = 0;
            for (size_t i = 1; i < trial.size(); ++i)
                cost += static_cast<uint64_t>(std::abs(static_cast<int8_t>(trial[i])));
            if (cost < bestCost) {
                bestCost = cost;
                best.swap(trial);
            }
        }
        rows.insert(rows.end(), best.begin(), best.end());
    }
    return rows;
}
} // namespace

bool WriteGamePng(const std::string& path, const Image& image, int level) {
    const std::vector<uint8_t> rows = FilteredRows(image, level != Z_NO_COMPRESSION);
    std::vector<uint8_t> idat(compressBound(static_cast<uLong>(rows.size())));
    uLongf idatSize = static_cast<uLongf>(idat.size());
    if (compress2(idat.data(), &idatSize, rows.data(), static_cast<uLong>(rows.size()), level) !=
        Z_OK)
        return false;
    idat.resize(idatSize);

    std::vector<uint8_t> header;
    PutBe32(header, static_cast<uint32_t>(image.width));
    PutBe32(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA, not interlaced
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", idat);
    PutChunk(png, "IEND", {});
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}

Image JoinStrip(const std::vector<Image>& frames) {
    if (frames.empty())
        return Image();
    Image strip(frames[0].width * static_cast<int>(frames.size()), frames[0].height);
    for (size_t i = 0; i < frames.size(); ++i)
        strip.Paste(frames[i], static_cast<int>(i) * frames[0].width, 0);
    return strip;
}
