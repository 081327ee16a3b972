// TextSprite -- text meshes from the font atlas.
#include "render/TextSprite.h"

#include "core/Runtime.h"
#include "core/Tween.h"
#include "render/FontAtlas.h"
#include "render/PostProcessor.h"

#include <cmath>

namespace {

constexpr char16_t kLineFeed = 10;
constexpr float kEpsilon = 1.1920929e-7f;
// 16-bit indices address at most 65536 vertices: four per glyph.
constexpr size_t kMaxQuads = 65536 / 4;

} // namespace

TextSprite::TextSprite(FontAtlas* atlas, const std::u16string& content)
    : Graphics::VertexBufferObject(4), font(atlas), text(content) {}

TextSprite::TextSprite(FontAtlas* atlas, const std::string& content)
    : TextSprite(atlas, std::u16string(content.begin(), content.end())) {
    // Bytes above 127 must stay codes 128..255, not become negative.
    for (size_t i = 0; i < content.size(); ++i)
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(content[i]));
}

TextSprite::~TextSprite() {
    RemoveColorTweens(color);
    RemoveVec2Tweens(&scaleOffset.x);
}

void TextSprite::SetOffset(const Vec2& v) {
    offset = v;
    SetPosition(v);
}

void TextSprite::SetScale(const Vec2& v) {
    scaleOffset = v;
    GameObject::SetScale(v);
}

void TextSprite::Layout(const Vec2& windowPosition, const Vec2& windowScale, float opacityIn) {
    position = windowPosition + offset;
    scale = windowScale + scaleOffset;
    dirty = 1;
    color[3] = opacityIn;
    RebuildMesh();
}

void TextSprite::Draw(PostProcessor* postProcessor) {
    if (postProcessor)
        postProcessor->DrawText(*this);
}

void TextSprite::RebuildMesh() {
    vertices.clear();
    indices.clear();
    if (!font || text.empty()) {
        // Nothing to show: draw nothing rather than the previous text.
        width = height = 0.0f;
        Graphics::IndexBufferObject::count = 0;
        return;
    }
    const float sx = scale.x;
    const float sy = scale.y;
    const float lineHeight = static_cast<float>(font->atlasHeight);

    // Measure: the widest line, and a height of (lines - 2) line heights.
    width = 0.0f;
    height = -lineHeight * sy;
    float line = 0.0f;
    for (const char16_t c : text) {
        if (c == kLineFeed) {
            height += lineHeight * sy;
            if (line > width)
                width = line;
            line = 0.0f;
        } else if (const FontAtlas::Glyph* g = font->Find(c)) {
            line += static_cast<float>(g->advanceX) * sx;
        }
    }
    if (line > width)
        width = line;
    if (fixedWidth > kEpsilon)
        width = fixedWidth;

    // Drawn in render pixels: interface units times the interface scale.
    const float z = Runtime::Get().uiScale;
    const float gx = sx * z;
    const float gy = sy * z;
    // The block is centred on the position; the first baseline is y0.
    const float px = position.x * z - static_cast<float>(Runtime::Get().screenWidth / 2);
    const float py = position.y * z - static_cast<float>(Runtime::Get().screenHeight / 2);
    const float x0 = px - std::floor(width * z / 2.0f);
    // Whole pixels, as for x: with an odd line height a half-pixel baseline
    // would drop a row of every glyph.
    const float y0 = py + std::floor(height * z / 2.0f);
    const float invW = Runtime::Get().invHalfWidth;
    const float invH = Runtime::Get().invHalfHeight;
    const float atlasW = static_cast<float>(font->atlasWidth);

    float penX = x0, penY = y0;
    size_t quads = 0;
    for (const char16_t c : text) {
        if (c == kLineFeed) {
            penX = x0;
            penY -= lineHeight * gy;
            continue;
        }
        const FontAtlas::Glyph* g = font->Find(c);
        if (!g || quads >= kMaxQuads)
            continue;
        const float left = penX + static_cast<float>(g->left) * gx;
        const float right = left + static_cast<float>(g->width) * gx;
        const float top = penY + static_cast<float>(g->top) * gy;
        const float bottom = top - static_cast<float>(g->rows) * gy;
        const float u0 = g->u;
        const float u1 = atlasW > 0.0f ? g->u + static_cast<float>(g->width) / atlasW : g->u;
        const float v1 = lineHeight > 0.0f ? static_cast<float>(g->rows) / lineHeight : 0.0f;
        const float quad[16] = {
            left * invW,  top * invH, u0, 0.0f, left * invW,  bottom * invH, u0, v1,
            right * invW, top * invH, u1, 0.0f, right * invW, bottom * invH, u1, v1};
        vertices.insert(vertices.end(), quad, quad + 16);
        ++quads;
        penX += static_cast<float>(g->advanceX) * gx;
        penY += static_cast<float>(g->advanceY) * gy;
    }

    // One triangle strip: each quad is joined to the next by repeating its
    // last and the next one's first vertex (degenerate triangles).
    for (size_t q = 0; q < quads; ++q) {
        const auto k = static_cast<uint16_t>(q * 4);
        if (q > 0)
            indices.push_back(k);
        for (uint16_t i = 0; i < 4; ++i)
            indices.push_back(static_cast<uint16_t>(k + i));
        if (q + 1 < quads)
            indices.push_back(static_cast<uint16_t>(k + 3));
    }

    Graphics::VertexBufferObject::Upload(vertices.data(), vertices.size());
    Graphics::IndexBufferObject::Upload(indices);
}

float TextSprite::MeasureWidth(float atScale) const {
    if (!font)
        return 0.0f;
    float widest = 0.0f;
    float line = 0.0f;
    for (const char16_t c : text) {
        if (c == kLineFeed) {
            widest = std::fmax(widest, line);
            line = 0.0f;
        } else if (const FontAtlas::Glyph* g = font->Find(c)) {
            line += static_cast<float>(g->advanceX) * atScale;
        }
    }
    return std::fmax(widest, line);
}

void TextSprite::WrapText(float wrapScale, float wrapWidth) {
    fixedWidth = wrapWidth;
    if (!font)
        return;
    constexpr size_t kNone = static_cast<size_t>(-1);
    float x = 0.0f;
    size_t lastSpace = kNone; // last space on the current line
    size_t lineStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == kLineFeed) {
            x = 0.0f;
            lastSpace = kNone;
            lineStart = i + 1;
            continue;
        }
        const FontAtlas::Glyph* g = font->Find(c);
        if (!g)
            continue;
        x += static_cast<float>(g->advanceX) * wrapScale;
        if (x > wrapWidth) {
            if (c == u' ') {
                text[i] = kLineFeed; // the space that overflows becomes the break
            } else if (lastSpace != kNone) {
                text[lastSpace] = kLineFeed;
                i = lastSpace;
            } else if (i > lineStart) {
                // A word wider than the line on its own: break inside it.
                text.insert(text.begin() + static_cast<std::ptrdiff_t>(i), kLineFeed);
            } else {
                continue; // one glyph wider than the line: it stays alone on it
            }
            x = 0.0f;
            lastSpace = kNone;
            lineStart = i + 1;
            continue;
        }
        if (c == u' ')
            lastSpace = i;
    }
}
