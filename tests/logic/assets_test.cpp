// Generated assets: every file the asset table names exists in the build's
// assets/ with the sizes the game's frame tables assume, normal maps that
// match their images, sounds and music that decode, and the tilesets the
// room maps use.
#include "support/TestSupport.h"

#include "core/AssetManifest.h"
#include "engine/QNIcon.h"
#include "game/Game.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <sndfile.h>
#include <stb_image.h>
#include <tinyxml2.h>

namespace {

struct Pixels {
    int width = 0, height = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> data{nullptr, stbi_image_free};
    const unsigned char* At(int x, int y) const { return data.get() + (y * width + x) * 4; }
};

Pixels Load(const std::string& path) {
    Pixels p;
    int channels = 0;
    p.data.reset(stbi_load(path.c_str(), &p.width, &p.height, &channels, 4));
    return p;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

std::string AssetPath(const std::string& file) {
    return BuildDir() + "/assets/" + file;
}

struct Decoded {
    bool ok = false;
    int rate = 0, channels = 0;
    std::vector<float> samples; // interleaved
    double Seconds() const { return channels ? double(samples.size()) / channels / rate : 0; }
};

Decoded Decode(const std::string& path) {
    Decoded d;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return d;
    d.rate = info.samplerate;
    d.channels = info.channels;
    std::vector<float> block(4096 * std::max(1, info.channels));
    sf_count_t got = 0;
    while ((got = sf_readf_float(file, block.data(), 4096)) > 0)
        d.samples.insert(d.samples.end(), block.begin(), block.begin() + got * info.channels);
    sf_close(file);
    d.ok = true;
    return d;
}

float Rms(const std::vector<float>& s, size_t from, size_t count) {
    double sum = 0;
    for (size_t i = from; i < from + count && i < s.size(); ++i)
        sum += double(s[i]) * s[i];
    return static_cast<float>(std::sqrt(sum / std::max<size_t>(1, count)));
}

} // namespace

TEST(AssetTable, LookupFindsEveryEntryAndNothingElse) {
    for (const AssetImage& image : AssetImages()) {
        EXPECT_EQ(FindAssetImage(image.file), &image);
        EXPECT_EQ(AssetNormalMapName(image.file), Game::NormalMapName(image.file));
    }
    EXPECT_EQ(FindAssetImage("missing.png"), nullptr);
    EXPECT_EQ(FindAssetSound("missing.wav"), nullptr);
    ASSERT_NE(FindAssetSound(kAssetMenuMusic), nullptr);
    EXPECT_TRUE(FindAssetSound(kAssetMenuMusic)->music);
}

TEST(AssetTable, FrameListsGiveEveryFrameItsDuration) {
    struct Case {
        const char* file;
        std::vector<float> list;
    };
    const Case cases[] = {
        {"blade_leftidle.png", {2, 0.3f, 0.3f}},
        {"blade_slashll.png", {8, 0.02f, 0.05f, 0.075f, 0.075f, 0.075f, 0.075f, 0.075f, 0.075f}},
        {"enemy_dead.png", {7, 0.12f, 0.1f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f}},
        {"heavyenemy_run.png", {8, 0.18f, 0.1f, 0.1f, 0.1f, 0.18f, 0.1f, 0.1f, 0.1f}},
        {"trainingdummy.png", {7, 0.04f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f, 0.08f}},
        {"prop_torch.png", {3, 0.2f, 0.2f, 0.2f}},
    };
    for (const Case& c : cases) {
        const AssetImage* image = FindAssetImage(c.file);
        ASSERT_NE(image, nullptr) << c.file;
        EXPECT_EQ(image->FrameList(), c.list) << c.file;
        const std::vector<FrameTable> tables = Game::BuildFrameTables({image->FrameList()});
        ASSERT_EQ(tables.size(), 1u);
        EXPECT_EQ(static_cast<int>(tables[0].size()), image->frames) << c.file;
    }
}

TEST(AssetTable, GameSizesMatchTheDrawnSizes) {
    struct Case {
        const char* file;
        int frames, w, h;
    };
    const Case cases[] = {
        {"blade_leftrun.png", 8, 96, 96},    {"enemy_projectile.png", 3, 48, 48},
        {"bioenemy_nade.png", 5, 48, 48},    {"prop_torch.png", 3, 32, 32},
        {"pickup_mana.png", 1, 14, 20},      {"cursor.png", 1, 24, 24},
        {"title.png", 1, 357, 185},          {"credits.png", 1, 512, 384},
        {"frame_corner.png", 1, 16, 16},     {"ui_playerhud_frame.png", 1, 120, 33},
        {"dialoguebox_top.png", 1, 160, 14}, {"dialoguebox_bottom.png", 1, 160, 14},
        {"FerrowInverted.png", 2, 210, 160}};
    for (const Case& c : cases) {
        const AssetImage* image = FindAssetImage(c.file);
        ASSERT_NE(image, nullptr) << c.file;
        EXPECT_EQ(image->frames, c.frames) << c.file;
        EXPECT_EQ(image->frameWidth, c.w) << c.file;
        EXPECT_EQ(image->frameHeight, c.h) << c.file;
    }
    // The splash logos keep the proportions the splash scene draws them at.
    const AssetImage* first = FindAssetImage("Brevant_WEB_RED.png");
    ASSERT_NE(first, nullptr);
    EXPECT_NEAR(float(first->frameHeight) / first->frameWidth, 0.2918033f, 0.003f);
    const AssetImage* second = FindAssetImage("FerrowInverted.png");
    EXPECT_NEAR(float(second->frameHeight) / second->frameWidth, 0.7619048f, 0.003f);
}

TEST(GeneratedImages, EveryStripHasItsSizeAndNoEmptyFrame) {
    for (const AssetImage& image : AssetImages()) {
        SCOPED_TRACE(image.file);
        const Pixels p = Load(AssetPath(image.file));
        ASSERT_TRUE(p.data) << "cannot load";
        EXPECT_EQ(p.width, image.StripWidth());
        EXPECT_EQ(p.height, image.frameHeight);
        for (int f = 0; f < image.frames; ++f) {
            int opaque = 0;
            for (int y = 0; y < p.height; ++y)
                for (int x = f * image.frameWidth; x < (f + 1) * image.frameWidth; ++x)
                    opaque += p.At(x, y)[3] > 0;
            EXPECT_GT(opaque, 0) << "frame " << f << " is empty";
        }
    }
}

TEST(GeneratedImages, NormalMapsMatchTheirImagesAndFaceTheViewer) {
    for (const AssetImage& image : AssetImages()) {
        if (!image.lit)
            continue;
        SCOPED_TRACE(image.file);
        const Pixels diffuse = Load(AssetPath(image.file));
        const Pixels normal = Load(AssetPath(AssetNormalMapName(image.file)));
        ASSERT_TRUE(diffuse.data && normal.data);
        ASSERT_EQ(normal.width, diffuse.width);
        ASSERT_EQ(normal.height, diffuse.height);
        int mismatched = 0, backwards = 0, sloped = 0, opaque = 0;
        for (int y = 0; y < normal.height; ++y)
            for (int x = 0; x < normal.width; ++x) {
                const unsigned char* d = diffuse.At(x, y);
                const unsigned char* n = normal.At(x, y);
                mismatched += d[3] != n[3];
                if (d[3] == 0)
                    continue;
                ++opaque;
                backwards += n[2] <= 128;
                sloped += std::abs(n[0] - 128) > 8 || std::abs(n[1] - 128) > 8;
            }
        EXPECT_EQ(mismatched, 0) << "transparency differs from the image";
        EXPECT_EQ(backwards, 0) << "normals facing away from the viewer";
        // Relief, not a flat map: some pixels lean (lights must model them).
        EXPECT_GT(sloped, opaque / 50) << "normal map is flat";
    }
}

TEST(GeneratedImages, TerrainAtlasHoldsEveryPieceInItsColumns) {
    const Pixels atlas = Load(AssetPath("core_terrain.png"));
    ASSERT_TRUE(atlas.data);
    EXPECT_EQ(atlas.width / kAssetTileSize, kAssetTerrainColumns);
    EXPECT_GE((atlas.width / kAssetTileSize) * (atlas.height / kAssetTileSize), kAssetTerrainTiles);
    // Ids above the atlas would collide with the sprite tileset at 15.
    EXPECT_LT(kAssetTerrainTiles, kAssetSpriteFirstGid);
    // The floor is lighter than the void and every tile is fully opaque.
    auto tileMean = [&](int id) {
        const int k = id - 1;
        const int x0 = (k % kAssetTerrainColumns) * kAssetTileSize,
                  y0 = (k / kAssetTerrainColumns) * kAssetTileSize;
        double sum = 0;
        for (int y = y0; y < y0 + kAssetTileSize; ++y)
            for (int x = x0; x < x0 + kAssetTileSize; ++x) {
                EXPECT_EQ(atlas.At(x, y)[3], 255) << "tile " << id;
                sum += atlas.At(x, y)[0] + atlas.At(x, y)[1] + atlas.At(x, y)[2];
            }
        return sum / (kAssetTileSize * kAssetTileSize * 3);
    };
    EXPECT_GT(tileMean(kTerrainFloor), tileMean(kTerrainVoid) + 30);
    EXPECT_LT(tileMean(kTerrainVoid), 1.0);
    for (int id = 1; id <= kAssetTerrainTiles; ++id)
        tileMean(id);
}

TEST(GeneratedFiles, IconHasA32PixelEntry) {
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(QNIconDecode(ReadBytes(AssetPath("title.ico")), 32, rgba));
    ASSERT_EQ(rgba.size(), 32u * 32u * 4u);
    int opaque = 0;
    for (size_t i = 3; i < rgba.size(); i += 4)
        opaque += rgba[i] > 0;
    EXPECT_GT(opaque, 200);
}

TEST(GeneratedFiles, NoiseIsAnUncompressed24BitBitmapWithItsImageSize) {
    const std::vector<uint8_t> b = ReadBytes(AssetPath("noise.bmp"));
    ASSERT_GE(b.size(), 54u);
    auto u32 = [&](size_t at) {
        return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
               uint32_t(b[at + 3]) << 24;
    };
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(2), b.size());
    const uint32_t width = u32(18), height = u32(22);
    EXPECT_EQ(b[28], 24);   // bits per pixel
    EXPECT_EQ(u32(30), 0u); // no compression
    const uint32_t row = (width * 3 + 3) / 4 * 4;
    EXPECT_EQ(u32(34), row * height);
    EXPECT_EQ(u32(10) + row * height, b.size());
    // Noise, not a flat colour.
    int distinct = 0;
    for (size_t i = 57; i < b.size(); i += 3)
        distinct += b[i] != b[54];
    EXPECT_GT(distinct, int(width * height / 2));
}

TEST(GeneratedFiles, FontCoversLatin1) {
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(library, AssetPath("PixAntiqua.ttf").c_str(), 0, &face), 0);
    for (FT_ULong code = 33; code <= 255; ++code) {
        if (code >= 127 && code <= 160)
            continue; // control codes and the no-break space have no drawing
        EXPECT_NE(FT_Get_Char_Index(face, code), 0u) << "code " << code;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

TEST(GeneratedSounds, EffectsDecodeAtFullLevelWithoutClicks) {
    for (const AssetSound& sound : AssetSounds()) {
        if (sound.music)
            continue;
        SCOPED_TRACE(sound.file);
        const Decoded d = Decode(AssetPath(std::string("sounds/") + sound.file));
        ASSERT_TRUE(d.ok);
        EXPECT_NEAR(d.Seconds(), sound.seconds, 0.01);
        float peak = 0;
        for (float s : d.samples)
            peak = std::max(peak, std::fabs(s));
        EXPECT_GT(peak, 0.7f);
        EXPECT_LE(peak, 1.0f);
        // Starts and ends at rest, so playing it never pops.
        EXPECT_LT(std::fabs(d.samples.front()), 0.01f);
        EXPECT_LT(std::fabs(d.samples.back()), 0.01f);
    }
}

TEST(GeneratedSounds, MusicLoopsAreLongAndPlayToTheirEnds) {
    std::vector<std::string> tracks;
    for (const AssetSound& sound : AssetSounds())
        if (sound.music)
            tracks.push_back(sound.file);
    // Every level's track, the endless one, the boss's and the menu's.
    for (const std::string& level : AssetLevelMusic())
        EXPECT_NE(std::find(tracks.begin(), tracks.end(), level), tracks.end()) << level;
    EXPECT_NE(std::find(tracks.begin(), tracks.end(), kAssetEndlessMusic), tracks.end());
    EXPECT_NE(std::find(tracks.begin(), tracks.end(), kAssetBossMusic), tracks.end());
    for (const std::string& track : tracks) {
        SCOPED_TRACE(track);
        const Decoded d = Decode(AssetPath("sounds/" + track));
        ASSERT_TRUE(d.ok);
        EXPECT_GE(d.Seconds(), 60.0);
        EXPECT_LT(d.Seconds(), 90.0);
        float peak = 0;
        for (float s : d.samples)
            peak = std::max(peak, std::fabs(s));
        EXPECT_GT(peak, 0.5f);
        EXPECT_LE(peak, 1.01f);
        // No fade or silence at either end: the loop runs straight into itself.
        const size_t half = size_t(d.rate / 2) * d.channels;
        EXPECT_GT(Rms(d.samples, 0, half), 0.02f);
        EXPECT_GT(Rms(d.samples, d.samples.size() - 2 * half, half), 0.02f);
    }
}

TEST(Tilesets, TerrainTilesetDescribesTheAtlasWithOneWalkablePiece) {
    const std::string folder = SourceDir() + "/assets/rooms/";
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.LoadFile((folder + "core_terrain.tsx").c_str()), tinyxml2::XML_SUCCESS);
    const tinyxml2::XMLElement* set = doc.FirstChildElement("tileset");
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->IntAttribute("tilewidth"), kAssetTileSize);
    EXPECT_EQ(set->IntAttribute("tileheight"), kAssetTileSize);
    const tinyxml2::XMLElement* image = set->FirstChildElement("image");
    ASSERT_NE(image, nullptr);
    // Paths are relative to the tileset, as the map editor reads them.
    const Pixels atlas = Load(BuildDir() + "/assets/rooms/" + image->Attribute("source"));
    ASSERT_TRUE(atlas.data);
    EXPECT_EQ(image->IntAttribute("width"), atlas.width);
    EXPECT_EQ(image->IntAttribute("height"), atlas.height);
    std::vector<int> walkable;
    for (const auto* tile = set->FirstChildElement("tile"); tile;
         tile = tile->NextSiblingElement("tile"))
        for (const auto* prop =
                 tile->FirstChildElement("properties")->FirstChildElement("property");
             prop; prop = prop->NextSiblingElement("property"))
            if (std::string(prop->Attribute("name")) == "walkable" && prop->BoolAttribute("value"))
                walkable.push_back(tile->IntAttribute("id") + 1);
    EXPECT_EQ(walkable, std::vector<int>{kTerrainFloor});
}

TEST(Tilesets, SpriteTilesetListsThePropsWithTheirImageSizes) {
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.LoadFile((SourceDir() + "/assets/rooms/core_sprites.tsx").c_str()),
              tinyxml2::XML_SUCCESS);
    const tinyxml2::XMLElement* set = doc.FirstChildElement("tileset");
    ASSERT_NE(set, nullptr);
    size_t index = 0;
    for (const auto* tile = set->FirstChildElement("tile"); tile;
         tile = tile->NextSiblingElement("tile"), ++index) {
        ASSERT_LT(index, AssetPropTiles().size());
        const AssetPropTile& prop = AssetPropTiles()[index];
        EXPECT_EQ(tile->IntAttribute("id"), static_cast<int>(index));
        const tinyxml2::XMLElement* image = tile->FirstChildElement("image");
        ASSERT_NE(image, nullptr);
        const std::string source = image->Attribute("source");
        EXPECT_EQ(source, std::string("../") + prop.file);
        const Pixels p = Load(BuildDir() + "/assets/rooms/" + source);
        ASSERT_TRUE(p.data) << source;
        EXPECT_EQ(image->IntAttribute("width"), p.width) << source;
        EXPECT_EQ(image->IntAttribute("height"), p.height) << source;
        const AssetImage* entry = FindAssetImage(prop.file);
        ASSERT_NE(entry, nullptr) << prop.file;
        EXPECT_TRUE(entry->lit) << prop.file;
    }
    EXPECT_EQ(index, AssetPropTiles().size());
    EXPECT_GE(std::count_if(AssetPropTiles().begin(), AssetPropTiles().end(),
                            [](const AssetPropTile& t) { return t.sliceable; }),
              3);
}
