// Layout -- fitting windows to their text.
#include "ui/Layout.h"

#include "core/Runtime.h"
#include "render/FontAtlas.h"
#include "ui/UIText.h"

#include <cmath>

namespace {
// The window's frame sits a few units outside its rectangle.
constexpr float kFrameOutside = 8.0f;
} // namespace

float FitWindowWidth(UIText& line, float least) {
    const float screenWidth = 2.0f * Runtime::Get().UIHalfExtent().x;
    const float widest = screenWidth - 2.0f * kFrameOutside;
    float scale = 1.0f + line.scaleOffset.x;
    float width = line.MeasureWidth(scale) + 2.0f * kTextMargin;
    if (width > widest && width > 0.0f) {
        // Shrink the text until the window fits the screen.
        const float bare = line.MeasureWidth(1.0f);
        scale = bare > 0.0f ? (widest - 2.0f * kTextMargin) / bare : scale;
        line.SetScale({scale - 1.0f, scale - 1.0f});
        width = widest;
    }
    return std::fmin(std::fmax(width, least), widest);
}

float TextAdvance(const std::string& text) {
    const FontAtlas* font = FontAtlas::Shared();
    float width = 0.0f;
    if (!font)
        return width;
    for (const char c : text) {
        if (const FontAtlas::Glyph* g = font->Find(static_cast<unsigned char>(c)))
            width += static_cast<float>(g->advanceX);
    }
    return width;
}
