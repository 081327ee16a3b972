// FontAtlas.h -- the game's one bitmap font: every glyph of character codes
// 32 to 255, rendered by FreeType at 12 pixels into a single-channel
// coverage texture, side by side with one empty column after each.
//
// The FreeType library itself is started and stopped by Game (InitLibrary,
// ShutdownLibrary); without it an atlas stays empty.
#pragma once

#include <GL/glew.h>
#include <array>
#include <cstdint>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

class FontAtlas {
public:
    // The font every text of the game is drawn with; the application owns
    // it (set once the window exists, null before).
    static FontAtlas*& Shared();
    static constexpr uint32_t kFirstCode = 32;
    static constexpr uint32_t kLastCode = 255;
    static constexpr int32_t kPixelHeight = 12;

    // Metrics of one glyph, in pixels.
    struct Glyph {
        int32_t advanceX = 0; // pen move after the glyph
        int32_t advanceY = 0;
        int32_t left = 0;  // bitmap left bearing
        int32_t top = 0;   // bitmap top bearing (above the baseline)
        int32_t width = 0; // bitmap width
        int32_t rows = 0;  // bitmap height
        float u = 0.0f;    // left edge in the atlas / atlasWidth
    };

    // Starts FreeType unless it already runs; false when it cannot start.
    static bool InitLibrary();
    static void ShutdownLibrary();
    static bool LibraryReady();

    // Opens "assets/" + fileName; throws "Cannot find " + that path when the
    // face cannot be opened.
    explicit FontAtlas(const std::string& fileName);
    ~FontAtlas();
    FontAtlas(const FontAtlas&) = delete;
    FontAtlas& operator=(const FontAtlas&) = delete;

    // The glyph of a code from 32 to 255; null for any other code.
    const Glyph* Find(uint32_t code) const;

    GLuint texture = 0; // coverage in the red channel; 0 while empty
    std::array<Glyph, kLastCode - kFirstCode + 1> glyphs{};
    FT_Face face = nullptr;
    int32_t atlasWidth = 0;  // texels: sum of glyph widths + 1 each
    int32_t atlasHeight = 0; // texels: the tallest glyph; also the line height
};
