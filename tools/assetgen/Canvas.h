// Canvas.h -- the art canvas every generated image is drawn on.
//
// Shapes are drawn on a coarse canvas (one cell per art pixel) with an albedo
// colour and a height. Finishing the canvas shades the albedo from the
// height's slope (light from the top-left, quantised into a short ramp), adds
// a dark outline around the silhouette and scales it up to texels, giving the
// diffuse image and its tangent-space normal map from the same relief.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};
constexpr Rgba RgbaOf(int r, int g, int b, float a = 1.0f) {
    return Rgba{r / 255.0f, g / 255.0f, b / 255.0f, a};
}
Rgba Mix(const Rgba& a, const Rgba& b, float t);
Rgba Scale(const Rgba& c, float s);

// A finished image in texels, rows top first, 8-bit RGBA.
struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}
    uint8_t* At(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    const uint8_t* At(int x, int y) const {
        return &rgba[(static_cast<size_t>(y) * width + x) * 4];
    }
    void Put(int x, int y, const Rgba& c);   // overwrite, clamped to the image
    void Blend(int x, int y, const Rgba& c); // source-over
    void Fill(const Rgba& c);
    // Copies `src` into this image with its top-left corner at (x, y).
    void Paste(const Image& src, int x, int y);
    void BlendImage(const Image& src, int x, int y);
};

enum CellFlag : uint8_t {
    kCellEmissive = 1, // glows: keeps its colour, no shading, no outline
    kCellNoOutline = 2,
};

class Canvas {
public:
    Canvas(int w, int h);

    int Width() const { return w_; }
    int Height() const { return h_; }

    // Overwrites one cell; cells outside the canvas are ignored.
    void Set(int x, int y, const Rgba& albedo, float height, uint8_t flags = 0);
    // Blends a translucent glow over a cell (trails, flashes): no relief.
    void Glow(int x, int y, const Rgba& c);
    bool Opaque(int x, int y) const;
    float HeightAt(int x, int y) const;

    // Solid shapes with dome relief (rounded limbs, heads, barrels).
    void Capsule(float ax, float ay, float bx, float by, float ra, float rb, const Rgba& albedo,
                 float base, uint8_t flags = 0);
    void Ellipse(float cx, float cy, float rx, float ry, const Rgba& albedo, float base,
                 uint8_t flags = 0);
    // Flat plates with a bevelled rim of `bevel` cells.
    void Polygon(const std::vector<float>& xy, const Rgba& albedo, float base, float bevel,
                 uint8_t flags = 0);
    void Rect(float x0, float y0, float x1, float y1, const Rgba& albedo, float base, float bevel,
              uint8_t flags = 0);
    // A translucent glowing polygon (no relief).
    void GlowPolygon(const std::vector<float>& xy, const Rgba& c);

    // Outline colour and whether finishing shades the albedo.
    Rgba outline = RgbaOf(18, 14, 22);
    bool drawOutline = true;
    bool shade = true;
    // Cells beyond the edge continue the edge (tiles that meet their neighbours).
    bool clampEdges = false;

    // Shades, outlines and scales by `scale` texels per cell.
    void Finish(int scale, Image& diffuse, Image& normal) const;
    // Mirrors the canvas left to right (relief and all).
    void MirrorX();

private:
    int w_, h_;
    std::vector<Rgba> albedo_;
    std::vector<float> height_;
    std::vector<uint8_t> flags_;
    std::vector<Rgba> glow_;
};

// Deterministic hash noise in [0, 1).
float Hash01(int x, int y, int seed);
// Smooth value noise in [0, 1) with a period of `period` cells.
float ValueNoise(float x, float y, int seed);

// A compressed PNG, for pictures people look at (the contact sheet, the
// desktop icons).
bool WritePng(const std::string& path, const Image& image);
// A PNG of an image the game opens, its rows deflated at zlib's `level`:
// Z_NO_COMPRESSION stores them as they are (no row filters, stored deflate
// blocks), any other level filters each row the way that packs best.
bool WriteGamePng(const std::string& path, const Image& image, int level);
// Writes a frame strip from per-frame images of equal size.
Image JoinStrip(const std::vector<Image>& frames);
