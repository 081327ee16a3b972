// Text -- TrueType lettering for titles, credits and the contact sheet.
#include "Text.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <stb_truetype.h>

namespace {
const stbtt_fontinfo* Info(const std::vector<unsigned char>& storage) {
    return reinterpret_cast<const stbtt_fontinfo*>(storage.data());
}
} // namespace

Font::Font(const std::string& path) : info_(sizeof(stbtt_fontinfo)) {
    std::ifstream in(path, std::ios::binary);
    data_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    ok_ = !data_.empty() &&
          stbtt_InitFont(reinterpret_cast<stbtt_fontinfo*>(info_.data()), data_.data(), 0) != 0;
}

int Font::Measure(const std::string& text, float pixels) const {
    if (!ok_)
        return 0;
    const float scale = stbtt_ScaleForPixelHeight(Info(info_), pixels);
    float width = 0;
    for (unsigned char ch : text) {
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(Info(info_), ch, &advance, &bearing);
        width += advance * scale;
    }
    return static_cast<int>(std::ceil(width));
}

void Font::Draw(Image& image, int x, int y, const std::string& text, float pixels,
                const Rgba& colour, float threshold) const {
    if (!ok_)
        return;
    const float scale = stbtt_ScaleForPixelHeight(Info(info_), pixels);
    float pen = static_cast<float>(x);
    for (unsigned char ch : text) {
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(Info(info_), ch, &advance, &bearing);
        int w = 0, h = 0, ox = 0, oy = 0;
        unsigned char* bitmap =
            stbtt_GetCodepointBitmap(Info(info_), scale, scale, ch, &w, &h, &ox, &oy);
        const int left = static_cast<int>(std::lround(pen)) + ox;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const float cover = bitmap[j * w + i] / 255.0f;
                if (cover <= threshold)
                    continue;
                Rgba c = colour;
                c.a = threshold > 0 ? colour.a : colour.a * cover;
                image.Blend(left + i, y + oy + j, c);
            }
        stbtt_FreeBitmap(bitmap, nullptr);
        pen += advance * scale;
    }
}
