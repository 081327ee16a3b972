// FontAtlas -- glyph atlas over FreeType.
#include "render/FontAtlas.h"

#include "render/TextureUpload.h"

#include <stdexcept>
#include <vector>

namespace {

struct FontLibraryState {
    FT_Library library = nullptr;
};
FontLibraryState FONT;

// A rendered glyph's coverage, one byte per pixel, rows top first.
struct Coverage {
    int32_t width = 0;
    int32_t rows = 0;
    std::vector<uint8_t> bytes;
};

// Copies FreeType's bitmap whatever its pitch and pixel mode (pixel fonts
// often come as one-bit embedded strikes).
Coverage CopyBitmap(const FT_Bitmap& bitmap) {
    Coverage c;
    c.width = static_cast<int32_t>(bitmap.width);
    c.rows = static_cast<int32_t>(bitmap.rows);
    c.bytes.assign(static_cast<size_t>(c.width) * static_cast<size_t>(c.rows), 0);
    const int pitch = bitmap.pitch;
    const unsigned stride = static_cast<unsigned>(pitch < 0 ? -pitch : pitch);
    for (int32_t r = 0; r < c.rows; ++r) {
        const int32_t sourceRow = pitch < 0 ? c.rows - 1 - r : r;
        const uint8_t* row = bitmap.buffer + static_cast<size_t>(sourceRow) * stride;
        for (int32_t x = 0; x < c.width; ++x) {
            uint8_t value = 0;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                value = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                value = row[x];
            c.bytes[static_cast<size_t>(r) * static_cast<size_t>(c.width) +
                    static_cast<size_t>(x)] = value;
        }
    }
    return c;
}

} // namespace

FontAtlas*& FontAtlas::Shared() {
    static FontAtlas* shared = nullptr;
    return shared;
}

bool FontAtlas::InitLibrary() {
    if (FONT.library)
        return true;
    if (FT_Init_FreeType(&FONT.library) != 0) {
        FONT.library = nullptr;
        return false;
    }
    return true;
}

void FontAtlas::ShutdownLibrary() {
    if (FONT.library)
        FT_Done_FreeType(FONT.library);
    FONT.library = nullptr;
}

bool FontAtlas::LibraryReady() {
    return FONT.library != nullptr;
}

FontAtlas::FontAtlas(const std::string& fileName) {
    if (!FONT.library)
        return;
    const std::string path = "assets/" + fileName;
    if (FT_New_Face(FONT.library, path.c_str(), 0, &face) != 0) {
        face = nullptr;
        throw std::runtime_error("Cannot find " + path);
    }
    FT_Set_Pixel_Sizes(face, 0, kPixelHeight);

    // Render every glyph once; a code that fails keeps a zero record and
    // takes no room in the atlas.
    std::vector<Coverage> coverage(glyphs.size());
    std::vector<bool> rendered(glyphs.size(), false);
    for (uint32_t code = kFirstCode; code <= kLastCode; ++code) {
        const size_t i = code - kFirstCode;
        if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot slot = face->glyph;
        coverage[i] = CopyBitmap(slot->bitmap);
        rendered[i] = true;
        Glyph& g = glyphs[i];
        g.advanceX = static_cast<int32_t>(slot->advance.x / 64);
        g.advanceY = static_cast<int32_t>(slot->advance.y / 64);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = coverage[i].width;
        g.rows = coverage[i].rows;
        atlasWidth += g.width + 1;
        if (g.rows > atlasHeight)
            atlasHeight = g.rows;
    }
    if (atlasWidth <= 0 || atlasHeight <= 0)
        return;

    // Glyphs side by side, top-aligned, the rest of the atlas empty.
    std::vector<uint8_t> image(static_cast<size_t>(atlasWidth) * static_cast<size_t>(atlasHeight),
                               0);
    int32_t x = 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        if (!rendered[i])
            continue;
        Glyph& g = glyphs[i];
        g.u = static_cast<float>(x) / static_cast<float>(atlasWidth);
        for (int32_t r = 0; r < g.rows; ++r) {
            for (int32_t c = 0; c < g.width; ++c)
                image[static_cast<size_t>(r) * static_cast<size_t>(atlasWidth) +
                      static_cast<size_t>(x + c)] =
                    coverage[i].bytes[static_cast<size_t>(r * g.width + c)];
        }
        x += g.width + 1;
    }

    const bool redTextures = GLEW_VERSION_3_0 || GLEW_ARB_texture_rg;
    glActiveTexture(GL_TEXTURE0);
    texture = CreateNearestTexture(redTextures ? GL_R8 : GL_LUMINANCE8, atlasWidth, atlasHeight,
                                   redTextures ? GL_RED : GL_LUMINANCE, image.data(), 1,
                                   GL_CLAMP_TO_EDGE);
    // Text drawn smaller than the atlas (the interface of a small window)
    // blends neighbouring texels instead of dropping whole rows and columns
    // of every glyph; at full size and above it stays crisp.
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
}

FontAtlas::~FontAtlas() {
    if (texture != 0)
        glDeleteTextures(1, &texture);
    if (face && FONT.library)
        FT_Done_Face(face);
}

const FontAtlas::Glyph* FontAtlas::Find(uint32_t code) const {
    if (code < kFirstCode || code > kLastCode)
        return nullptr;
    return &glyphs[code - kFirstCode];
}
