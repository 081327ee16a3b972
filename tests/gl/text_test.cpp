// The font atlas and text sprites on real OpenGL: atlas layout, measuring,
// centring, the strip indices, wrapping and the coverage the text program
// draws.
#include "render/FontAtlas.h"
#include "render/PostProcessor.h"
#include "render/TextSprite.h"
#include "ui/UIText.h"

#include "gl/RenderFixture.h"

#include <algorithm>

namespace {

constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class TextTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        std::filesystem::copy_file(kFontFile,
                                   std::filesystem::path(scratch.Path()) / "assets/test.ttf");
        ASSERT_TRUE(FontAtlas::InitLibrary());
        font = std::make_unique<FontAtlas>("test.ttf");
        ASSERT_NE(font->texture, 0u);
    }
    void TearDown() override {
        font.reset();
        RenderTest::TearDown();
    }
    float Advances(const std::u16string& text) const {
        float sum = 0.0f;
        for (char16_t c : text)
            if (const FontAtlas::Glyph* g = font->Find(c))
                sum += static_cast<float>(g->advanceX);
        return sum;
    }
    // Draws the text into the overlay and returns it.
    TextureImage DrawIntoOverlay(TextSprite& text) {
        auto pp = std::make_unique<PostProcessor>(kRenderWidth, kRenderHeight);
        pp->Begin();
        pp->ClearOverlay();
        text.Draw(pp.get());
        TextureImage overlay = Read(pp->attachments[0]);
        pp->Present(0);
        return overlay;
    }
    std::unique_ptr<FontAtlas> font;
};

struct Box {
    int left = 1 << 30, right = -1, bottom = 1 << 30, top = -1;
};

// The inked pixels (green above 0) of a target image.
Box InkBox(const TextureImage& image) {
    Box b;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.At(x, y)[1] > 0) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.bottom = std::min(b.bottom, y);
                b.top = std::max(b.top, y);
            }
    return b;
}

TEST_F(TextTest, TheAtlasHoldsEveryGlyphSideBySide) {
    int32_t sumWidths = 0, tallest = 0;
    float lastU = -1.0f;
    for (uint32_t code = 32; code <= 255; ++code) {
        const FontAtlas::Glyph* g = font->Find(code);
        ASSERT_NE(g, nullptr);
        sumWidths += g->width + 1;
        tallest = std::max(tallest, g->rows);
        EXPECT_GT(g->u, lastU) << code;
        lastU = g->u;
    }
    EXPECT_EQ(font->atlasWidth, sumWidths);
    EXPECT_EQ(font->atlasHeight, tallest);
    EXPECT_GE(font->atlasHeight, 9);
    EXPECT_LE(font->atlasHeight, 16);
    EXPECT_EQ(font->Find(31), nullptr);
    EXPECT_EQ(font->Find(256), nullptr);
    EXPECT_EQ(font->Find(' ')->width, 0);
    EXPECT_GT(font->Find(' ')->advanceX, 0);
}

TEST_F(TextTest, AMissingFontCannotBeFoundAndAStoppedLibraryLeavesTheAtlasEmpty) {
    try {
        FontAtlas missing("PixAntiqua-missing.ttf");
        ADD_FAILURE() << "no error for a missing font";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Cannot find assets/PixAntiqua-missing.ttf");
    }
    font.reset();
    FontAtlas::ShutdownLibrary();
    FontAtlas empty("test.ttf");
    EXPECT_EQ(empty.texture, 0u);
    EXPECT_EQ(empty.atlasWidth, 0);
    TextSprite text(&empty, "nothing to draw");
    text.RebuildMesh();
    EXPECT_NO_THROW(DrawIntoOverlay(text));
    EXPECT_TRUE(FontAtlas::InitLibrary());
}

TEST_F(TextTest, OneLineIsCentredOnItsPositionAndMeasuresAsItDraws) {
    struct Case {
        Vec2 position;
        float scale;
    };
    const Case cases[] = {{{0.0f, 0.0f}, 1.0f}, {{-60.0f, 40.0f}, 2.0f}, {{33.0f, -71.0f}, 1.0f}};
    const float lineHeight = static_cast<float>(font->atlasHeight);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position.x);
        TextSprite text(font.get(), "Hellmo");
        text.Layout(c.position, {c.scale, c.scale}, 1.0f);
        const Vec2 size = text.GetSize();
        EXPECT_FLOAT_EQ(size.x, Advances(u"Hellmo") * c.scale);
        EXPECT_FLOAT_EQ(size.y, -lineHeight * c.scale);

        const Box ink = InkBox(DrawIntoOverlay(text));
        // UI (0, 0) is the centre of the target.
        const float centreX = c.position.x + kRenderWidth / 2.0f;
        const float centreY = c.position.y + kRenderHeight / 2.0f;
        const float inkWidth = static_cast<float>(ink.right - ink.left + 1);
        EXPECT_NEAR((ink.left + ink.right + 1) / 2.0f, centreX, 2.0f * c.scale);
        EXPECT_LE(inkWidth, size.x);
        EXPECT_GE(inkWidth, size.x - 4.0f * c.scale);
        // The baseline sits half a line below the centre; no descenders here.
        EXPECT_NEAR(static_cast<float>(ink.bottom), centreY - lineHeight * c.scale / 2.0f,
                    1.0f * c.scale);
        EXPECT_LE(static_cast<float>(ink.top), centreY + lineHeight * c.scale / 2.0f);
    }
}

TEST_F(TextTest, TheTextProgramDrawsTheAtlasCoverage) {
    TextSprite text(font.get(), "A");
    text.color[0] = 0.0f; // green only, so the green channel is the coverage
    text.color[2] = 0.0f;
    text.Layout({0.0f, 0.0f}, {1.0f, 1.0f}, 1.0f);
    const TextureImage overlay = DrawIntoOverlay(text);

    const FontAtlas::Glyph& g = *font->Find('A');
    std::vector<uint8_t> atlas(static_cast<size_t>(font->atlasWidth * font->atlasHeight));
    glBindTexture(GL_TEXTURE_2D, font->texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, atlas.data());
    glBindTexture(GL_TEXTURE_2D, 0);

    const int atlasX = static_cast<int>(std::lround(g.u * static_cast<float>(font->atlasWidth)));
    const int penX = kRenderWidth / 2 - static_cast<int>(std::floor(text.width / 2.0f));
    // Whole pixels even for an odd line height: every texel lands on one pixel.
    const int baseline =
        kRenderHeight / 2 + static_cast<int>(std::floor(-font->atlasHeight / 2.0f));
    int inked = 0;
    for (int row = 0; row < g.rows; ++row)
        for (int col = 0; col < g.width; ++col) {
            const int coverage = atlas[static_cast<size_t>(row * font->atlasWidth + atlasX + col)];
            const Rgba pixel = overlay.At(penX + g.left + col, baseline + g.top - 1 - row);
            ASSERT_NEAR(pixel[1], coverage, 1) << "texel " << col << ", " << row;
            EXPECT_EQ(pixel[0], 0);
            inked += coverage > 0;
        }
    EXPECT_GT(inked, 10);
}

TEST_F(TextTest, LayoutAddsTheWindowAndTakesItsOpacity) {
    UIText text(font.get(), u"Menu");
    text.SetOffset({10.0f, -5.0f});
    text.SetScale({0.2f, 0.2f});
    text.Layout({100.0f, 50.0f}, {1.0f, 1.0f}, 0.4f);
    EXPECT_EQ(text.GetPosition(), (Vec2{110.0f, 45.0f}));
    EXPECT_FLOAT_EQ(text.scale.x, 1.2f);
    EXPECT_FLOAT_EQ(text.color[3], 0.4f);
    text.fadingOut = true;
    text.opacity = 0.75f;
    text.Layout({100.0f, 50.0f}, {1.0f, 1.0f}, 0.4f);
    EXPECT_FLOAT_EQ(text.color[3], 0.75f);
    text.fixedWidth = 300.0f;
    text.RebuildMesh();
    EXPECT_FLOAT_EQ(text.GetSize().x, 300.0f);
}

TEST_F(TextTest, TheStripJoinsQuadsWithDegenerateTriangles) {
    TextSprite text(font.get(), u"ab\x01\x263A"
                                u"c");
    text.Layout({0.0f, 0.0f}, {1.0f, 1.0f}, 1.0f);
    // Unknown codes draw nothing and take no space.
    EXPECT_FLOAT_EQ(text.width, Advances(u"abc"));
    EXPECT_EQ(text.Vertices().size(), 3u * 16u);
    EXPECT_EQ(text.Indices(),
              (std::vector<uint16_t>{0, 1, 2, 3, 3, 4, 4, 5, 6, 7, 7, 8, 8, 9, 10, 11}));
    EXPECT_EQ(static_cast<const Graphics::IndexBufferObject&>(text).count, 16u);
}

TEST_F(TextTest, LinesStackDownwardAndALoneLineFeedDrawsNothing) {
    const float h = static_cast<float>(font->atlasHeight);
    TextSprite two(font.get(), u"wide line\nab");
    two.Layout({0.0f, 0.0f}, {1.0f, 1.0f}, 1.0f);
    EXPECT_FLOAT_EQ(two.width, Advances(u"wide line"));
    EXPECT_FLOAT_EQ(two.height, 0.0f); // (lines - 2) line heights
    // The second line's first quad starts a line height below the first's.
    const auto& v = two.Vertices();
    const size_t secondLine = 9 * 16; // "wide line": nine quads, the space an empty one
    const float firstTop = v[1] * kRenderHeight - font->Find('w')->top;
    const float secondTop = v[secondLine + 1] * kRenderHeight - font->Find('a')->top;
    EXPECT_NEAR(firstTop - secondTop, h, 1e-3f);

    TextSprite feed(font.get(), u"\n");
    feed.Layout({0.0f, 0.0f}, {1.0f, 1.0f}, 1.0f);
    EXPECT_EQ(feed.width, 0.0f);
    EXPECT_TRUE(feed.Vertices().empty());
    EXPECT_EQ(InkBox(DrawIntoOverlay(feed)).right, -1);
}

TEST_F(TextTest, EmptiedTextDrawsNothing) {
    TextSprite text(font.get(), "Was here");
    text.Layout({0.0f, 0.0f}, {1.0f, 1.0f}, 1.0f);
    text.text.clear();
    text.Layout({0.0f, 0.0f}, {1.0f, 1.0f}, 1.0f);
    EXPECT_EQ(text.GetSize(), (Vec2{0.0f, 0.0f}));
    EXPECT_EQ(InkBox(DrawIntoOverlay(text)).right, -1);
}

// Widths of the lines of a wrapped text.
std::vector<float> LineWidths(const TextSprite& text, const FontAtlas& font, float scale) {
    std::vector<float> widths{0.0f};
    for (char16_t c : text.text) {
        if (c == u'\n')
            widths.push_back(0.0f);
        else if (const FontAtlas::Glyph* g = font.Find(c))
            widths.back() += static_cast<float>(g->advanceX) * scale;
    }
    return widths;
}

TEST_F(TextTest, WrappingBreaksAtTheLastSpaceAndInsideOverlongWords) {
    struct Case {
        std::u16string text;
        size_t lines;
    };
    const Case cases[] = {
        {u"short", 1},
        {u"the commander waits beyond the last gate of the fortress", 0},
        {u"Supercalifragilisticexpialidociousnessfulness and more", 0},
        {u"a\nVeryveryveryveryveryveryveryverylongwordthatneverends", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        TextSprite text(font.get(), c.text);
        text.WrapText(1.0f);
        EXPECT_FLOAT_EQ(text.fixedWidth, 120.0f);
        const std::vector<float> widths = LineWidths(text, *font, 1.0f);
        for (float w : widths)
            EXPECT_LE(w, 120.0f);
        if (c.lines) {
            EXPECT_EQ(widths.size(), c.lines);
        } else {
            EXPECT_GE(widths.size(), 2u);
        }
        // Nothing but line feeds was added or replaced spaces.
        std::u16string letters, original;
        for (char16_t ch : text.text)
            if (ch != u'\n' && ch != u' ')
                letters += ch;
        for (char16_t ch : c.text)
            if (ch != u'\n' && ch != u' ')
                original += ch;
        EXPECT_EQ(letters, original);
    }
    // Ordinary words break at spaces, never inside a word.
    TextSprite words(font.get(), u"the commander waits beyond the last gate of the fortress");
    words.WrapText(1.0f);
    for (size_t i = 0; i < words.text.size(); ++i) {
        if (words.text[i] == u'\n') {
            EXPECT_TRUE(i + 1 < words.text.size() && words.text[i + 1] != u' ');
        }
    }
    EXPECT_EQ(std::count(words.text.begin(), words.text.end(), u' ') +
                  std::count(words.text.begin(), words.text.end(), u'\n'),
              9);
}

} // namespace
