// TextSprite.h -- a line (or block) of text drawn from the font atlas: a
// strip of glyph quads in its own vertex and index buffers, centred on its
// position. Windows hold it as a UI element through UIText (ui/UIText.h).
// Positions and sizes are interface units, drawn at the interface scale
// (Runtime::uiScale), like every other interface layer.
#pragma once

#include "core/GameObject.h"
#include "render/GpuBuffer.h"

#include <cstdint>
#include <string>
#include <vector>

class FontAtlas;

class PostProcessor;

class TextSprite : public GameObject,
                   public Graphics::VertexBufferObject,
                   public Graphics::IndexBufferObject {
public:
    // Lines wrapped by WrapText are at most this wide (UI units).
    static constexpr float kWrapWidth = 120.0f;

    // text: 16-bit code units; codes 32 to 255 draw, a line feed breaks
    // the line, anything else is skipped. The mesh is built by the first
    // Layout or RebuildMesh.
    TextSprite(FontAtlas* font, const std::u16string& text);
    // The same from 8-bit text (each byte one code).
    TextSprite(FontAtlas* font, const std::string& text);
    ~TextSprite() override;

    // offset = position = v (relative to the owning window).
    void SetOffset(const Vec2& v);
    // scaleOffset = scale = v.
    void SetScale(const Vec2& v);

    // Places the text at its offset from the window's centre, scaled by the
    // window's content scale plus scaleOffset, at `opacity`; rebuilds it.
    void Layout(const Vec2& windowPosition, const Vec2& windowScale, float opacity);
    // Draws into the post-processor's overlay.
    void Draw(PostProcessor* postProcessor);
    // (width, height) of the last build: height is negative, -line height x
    // scale for one line.
    Vec2 GetSize() const { return {width, height}; }
    Vec2 GetPosition() const { return position; }

    // Lays the text out and uploads both buffers.
    void RebuildMesh();
    // The widest line at `atScale` (interface units), without building.
    float MeasureWidth(float atScale) const;
    // Fixes the width at `wrapWidth` (120 unless given) and breaks the text
    // into lines no wider, at the last space before the limit (inside a word
    // that is wider alone).
    void WrapText(float scale, float wrapWidth = kWrapWidth);

    // The vertices (x, y, u, v in device units) and indices of the last
    // build, as uploaded.
    const std::vector<float>& Vertices() const { return vertices; }
    const std::vector<uint16_t>& Indices() const { return indices; }

    Vec2 offset{0.0f, 0.0f};      // position relative to the window
    Vec2 scaleOffset{0.0f, 0.0f}; // added to the window's content scale
    float width = 0.0f;           // UI units, measured by the last build
    float height = 0.0f;          // UI units, measured by the last build
    float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    FontAtlas* font; // not owned
    std::u16string text;
    float fixedWidth = 0.0f; // when positive, replaces the measured width

private:
    std::vector<float> vertices;
    std::vector<uint16_t> indices;
};
