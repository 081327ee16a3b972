// Every room of the story, and every room the endless mode writes, opens in
// the map editor with every image showing: each tileset and image a room
// names (relative to the file that names it) exists, and the editor's own
// renderer, tmxrasterizer, draws the room at full size without a single
// missing-image placeholder.
#include "support/TestSupport.h"
#include "world/LevelGenerator.h"

#include <stb/stb_image.h>
#include <tinyxml2.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kTile = 48;

std::vector<fs::path> StoryRooms() {
    std::vector<fs::path> rooms;
    for (const auto& entry : fs::directory_iterator(fs::path(BuildDir()) / "assets/rooms")) {
        const fs::path& p = entry.path();
        if (p.extension() == ".tmx" &&
            std::isdigit(static_cast<unsigned char>(p.stem().c_str()[0])))
            rooms.push_back(p);
    }
    return rooms;
}

// Every image a map needs, resolved the way the editor resolves them.
std::set<fs::path> ImagesOf(const fs::path& map, std::vector<std::string>& problems) {
    std::set<fs::path> images;
    tinyxml2::XMLDocument doc;
    if (doc.LoadFile(map.c_str()) != tinyxml2::XML_SUCCESS) {
        problems.push_back(map.string() + " does not parse");
        return images;
    }
    const tinyxml2::XMLElement* root = doc.FirstChildElement("map");
    for (const tinyxml2::XMLElement* ref = root ? root->FirstChildElement("tileset") : nullptr; ref;
         ref = ref->NextSiblingElement("tileset")) {
        const fs::path tsx = (map.parent_path() / ref->Attribute("source")).lexically_normal();
        tinyxml2::XMLDocument set;
        if (set.LoadFile(tsx.c_str()) != tinyxml2::XML_SUCCESS) {
            problems.push_back(map.filename().string() + " names missing tileset " + tsx.string());
            continue;
        }
        const tinyxml2::XMLElement* tileset = set.FirstChildElement("tileset");
        auto add = [&](const tinyxml2::XMLElement* image) {
            if (image && image->Attribute("source"))
                images.insert((tsx.parent_path() / image->Attribute("source")).lexically_normal());
        };
        add(tileset->FirstChildElement("image"));
        for (const tinyxml2::XMLElement* tile = tileset->FirstChildElement("tile"); tile;
             tile = tile->NextSiblingElement("tile"))
            add(tile->FirstChildElement("image"));
    }
    return images;
}

// Pixels of tmxrasterizer's missing-image cross (pure red).
int PlaceholderPixels(const fs::path& png, int& width, int& height) {
    int channels = 0;
    unsigned char* rgba = stbi_load(png.c_str(), &width, &height, &channels, 4);
    if (!rgba)
        return -1;
    int red = 0;
    for (int i = 0; i < width * height; ++i) {
        const unsigned char* p = rgba + 4 * i;
        red += p[0] == 255 && p[1] == 0 && p[2] == 0 && p[3] == 255;
    }
    stbi_image_free(rgba);
    return red;
}

// The player's start is drawn as a pure red ellipse: it is no image.
int Rasterize(const fs::path& map, const fs::path& png) {
    const std::string command = "QT_QPA_PLATFORM=offscreen tmxrasterizer --hide-layer Player '" +
                                map.string() + "' '" + png.string() + "' >/dev/null 2>&1";
    return std::system(command.c_str());
}

// Checks one room file as the map editor opens it.
void ExpectRendersWithEveryImage(const fs::path& room, const fs::path& scratch) {
    SCOPED_TRACE(room.filename().string());
    std::vector<std::string> problems;
    for (const fs::path& image : ImagesOf(room, problems))
        EXPECT_TRUE(fs::exists(image)) << "missing image " << image;
    EXPECT_TRUE(problems.empty()) << problems.front();

    const fs::path png = scratch / (room.stem().string() + ".png");
    ASSERT_EQ(Rasterize(room, png), 0) << "tmxrasterizer failed";
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.LoadFile(room.c_str()), tinyxml2::XML_SUCCESS);
    int width = 0, height = 0;
    EXPECT_EQ(PlaceholderPixels(png, width, height), 0) << "an image did not load";
    EXPECT_EQ(width, doc.FirstChildElement("map")->IntAttribute("width") * kTile);
    EXPECT_EQ(height, doc.FirstChildElement("map")->IntAttribute("height") * kTile);
}

TEST(RoomsInTiled, EveryStoryRoomRendersWithEveryImage) {
    const std::vector<fs::path> rooms = StoryRooms();
    ASSERT_GE(rooms.size(), 3u);
    ScratchGameDir scratch;
    for (const fs::path& room : rooms)
        ExpectRendersWithEveryImage(room, scratch.Path());
}

// The endless mode writes into a rooms folder beside the game's images; the
// test gives it one of its own: the build's images linked, its tilesets
// copied.
TEST(RoomsInTiled, EveryGeneratedRoomRendersWithEveryImage) {
    ScratchGameDir scratch;
    const fs::path assets = fs::path(BuildDir()) / "assets";
    const fs::path mirror = fs::path(scratch.Path()) / "endless";
    fs::create_directories(mirror / "rooms");
    for (const auto& entry : fs::directory_iterator(assets)) {
        if (entry.path().filename() != "rooms")
            fs::create_symlink(entry.path(), mirror / entry.path().filename());
    }
    for (const char* tileset : {"core_terrain.tsx", "core_sprites.tsx"})
        fs::copy_file(assets / "rooms" / tileset, mirror / "rooms" / tileset);
    for (uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const LevelMap::EndlessLevel level =
            LevelMap::GenerateEndlessLevel((mirror / "rooms").string(), seed);
        ASSERT_TRUE(level.ok) << level.error;
        for (int32_t n = 100; n <= 104; ++n)
            ExpectRendersWithEveryImage(mirror / "rooms" / (std::to_string(n) + ".tmx"),
                                        scratch.Path());
    }
}

// The check above would notice: a room whose tilesets are not beside it is
// drawn with placeholders.
TEST(RoomsInTiled, AMissingTilesetShowsAsPlaceholders) {
    ScratchGameDir scratch;
    const fs::path lone = fs::path(scratch.Path()) / "lone.tmx";
    fs::copy_file(StoryRooms().front(), lone);
    const fs::path png = fs::path(scratch.Path()) / "lone.png";
    ASSERT_EQ(Rasterize(lone, png), 0);
    int width = 0, height = 0;
    EXPECT_GT(PlaceholderPixels(png, width, height), 0);
    std::vector<std::string> problems;
    ImagesOf(lone, problems);
    EXPECT_FALSE(problems.empty());
}

} // namespace
