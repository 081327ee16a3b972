// Text.h -- lettering drawn into generated images from a TrueType font.
#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

class Font {
public:
    explicit Font(const std::string& path);
    bool Ok() const { return ok_; }
    // Width in texels of `text` at `pixels` high.
    int Measure(const std::string& text, float pixels) const;
    // Draws `text` with its baseline at y; `x` is the left edge. Coverage
    // below `threshold` is dropped (crisp pixel lettering), above it blended.
    void Draw(Image& image, int x, int y, const std::string& text, float pixels, const Rgba& colour,
              float threshold = 0.0f) const;

private:
    std::vector<unsigned char> data_;
    std::vector<unsigned char> info_; // stbtt_fontinfo storage
    bool ok_ = false;
};
