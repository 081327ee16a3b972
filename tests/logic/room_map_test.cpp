// Reading room files: tilesets, the tile layer in every encoding the map
// editor saves, and the errors of broken maps.
#include "world/RoomData.h"
#include "world/TileLayer.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

using LevelMap::RoomData;

namespace {
std::string Fixture(const std::string& name) {
    return SourceDir() + "/tests/fixtures/rooms/" + name;
}

// The fixture room: a 6 x 5 walled floor with one pillar (7) and one cell
// whose id carries a flip bit.
const std::vector<uint32_t> kFixtureTiles = {1, 2, 2, 2, 2, 3, 4, 5, 5, 5, 6,  4,  4,  5,  7,
                                             5, 5, 4, 4, 5, 5, 8, 5, 4, 9, 10, 10, 10, 10, 11};

// Loading `text` as a map written into a scratch folder beside copies of
// the fixture tilesets; returns the error message, "" when it loaded.
std::string LoadError(const std::string& text, RoomData& room, int32_t number = 12) {
    ScratchGameDir dir;
    namespace fs = std::filesystem;
    fs::copy(Fixture("fixture_terrain.tsx"), fs::path(dir.Path()) / "fixture_terrain.tsx");
    fs::create_directory(fs::path(dir.Path()) / "sprites");
    fs::copy(Fixture("sprites/fixture_sprites.tsx"),
             fs::path(dir.Path()) / "sprites/fixture_sprites.tsx");
    dir.Write("room.tmx", text);
    try {
        room.LoadFile(dir.Path() + "/room.tmx", number);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

std::string MapWithData(const std::string& dataElement,
                        const std::string& size = "6\" height=\"5") {
    return "<map><tileset firstgid=\"1\" source=\"fixture_terrain.tsx\"/>"
           "<layer width=\"" +
           size + "\">" + dataElement + "</layer></map>";
}
} // namespace

class RoomEncodings : public ::testing::TestWithParam<const char*> {};

TEST_P(RoomEncodings, LoadTheSameRoom) {
    RoomData room;
    room.LoadFile(Fixture(GetParam()), 3);
    EXPECT_EQ(room.id, 3);
    EXPECT_EQ(room.width, 6);
    EXPECT_EQ(room.height, 5);
    EXPECT_EQ(room.tileWidth, 48);
    EXPECT_EQ(room.tileHeight, 48);
    EXPECT_EQ(room.tilesetColumns, 4);
    EXPECT_EQ(room.tilesetRows, 4);
    EXPECT_EQ(room.tiles, kFixtureTiles) << "flip bits are cleared";
    // Tile 4 says "true", tile 5 says "1", tile 6 "false", tile 7 nothing.
    std::vector<uint8_t> walkable(16, 0);
    walkable[4] = walkable[5] = 1;
    EXPECT_EQ(room.walkable, walkable);
    EXPECT_TRUE(room.IsWalkableCell(1, 1));
    EXPECT_TRUE(room.IsWalkableCell(4, 1));
    EXPECT_FALSE(room.IsWalkableCell(2, 2)) << "the pillar";
    EXPECT_FALSE(room.IsWalkableCell(3, 3)) << "a tile without the property";
    EXPECT_FALSE(room.IsWalkableCell(0, 0));
    EXPECT_FALSE(room.IsWalkableCell(-1, 1));
    EXPECT_FALSE(room.IsWalkableCell(6, 1));

    // Image paths are resolved from the file that names them.
    const std::string folder = SourceDir() + "/tests/fixtures/rooms/";
    EXPECT_EQ(room.terrainImage, folder + "fixture_terrain.png");
    ASSERT_EQ(room.spriteTiles.size(), 2u);
    EXPECT_EQ(room.spriteTiles.at(17).source, folder + "sprites/crate.png");
    EXPECT_FLOAT_EQ(room.spriteTiles.at(17).width, 32.0f);
    EXPECT_FLOAT_EQ(room.spriteTiles.at(17).height, 40.0f);
    EXPECT_EQ(room.spriteTiles.at(18).source, folder + "props/barrel.png");
    EXPECT_TRUE(std::filesystem::exists(room.terrainImage));
    EXPECT_TRUE(std::filesystem::exists(room.spriteTiles.at(18).source));

    // Objects: player, door, station, enemy, static prop, gate, trigger,
    // torch; the unknown enemy and the named non-gate prop create nothing.
    ASSERT_EQ(room.objects.size(), 8u);
    ASSERT_EQ(room.doors.size(), 1u);
    EXPECT_EQ(room.doors[0].target, 2);
    EXPECT_EQ(room.dialogs, (std::set<int32_t>{5, 7}));
    EXPECT_FLOAT_EQ(room.cameraStart.x, 120.0f);
    EXPECT_FLOAT_EQ(room.cameraStart.y, -140.0f);
}

INSTANTIATE_TEST_SUITE_P(Room, RoomEncodings,
                         ::testing::Values("room_base64.tmx", "room_zlib.tmx", "room_gzip.tmx",
                                           "room_csv.tmx", "room_tiled.tmx",
                                           "room_tiled_embedded.tmx"));

TEST(RoomMap, GameRoomsAreReadFromTheAssetsFolder) {
    ScratchGameDir dir;
    namespace fs = std::filesystem;
    fs::remove(fs::path(dir.Path()) / "assets");
    fs::create_directories(fs::path(dir.Path()) / "assets/rooms/sprites");
    fs::copy(Fixture("room_csv.tmx"), "assets/rooms/12.tmx");
    fs::copy(Fixture("fixture_terrain.tsx"), "assets/rooms/fixture_terrain.tsx");
    fs::copy(Fixture("sprites/fixture_sprites.tsx"), "assets/rooms/sprites/fixture_sprites.tsx");
    RoomData room;
    room.Load(12);
    EXPECT_EQ(room.id, 12);
    // Under assets/ the names are the texture cache's.
    EXPECT_EQ(room.terrainImage, "rooms/fixture_terrain.png");
    EXPECT_EQ(room.spriteTiles.at(17).source, "rooms/sprites/crate.png");
    EXPECT_EQ(room.spriteTiles.at(18).source, "rooms/props/barrel.png");
}

TEST(RoomMap, LayerDataForms) {
    const struct {
        const char* what;
        std::string data;
        std::vector<uint32_t> tiles; // a 2 x 2 layer
        int missing;                 // cells the data does not reach
    } cases[] = {
        {"base64 broken over indented lines",
         "<data encoding=\"base64\">\n  AQAAAAIA\n  AAADAAAA\n  BAAAAA==\n </data>",
         {1, 2, 3, 4},
         0},
        {"short base64 leaves empty cells",
         "<data encoding=\"base64\">AQAAAAIAAAA=</data>",
         {1, 2, 0, 0},
         2},
        {"short zlib",
         "<data encoding=\"base64\" compression=\"zlib\">eJxjZGBgYAJiAAAYAAQ=</data>",
         {1, 2, 0, 0},
         2},
        {"short gzip",
         "<data encoding=\"base64\" compression=\"gzip\">H4sIAAAAAAACA2NlYGAAAC4vmhYEAAAA</data>",
         {5, 0, 0, 0},
         3},
        {"long data is cut at the layer",
         "<data encoding=\"csv\">1,2,3,4,5,6</data>",
         {1, 2, 3, 4},
         0},
        {"csv with blanks and a trailing comma",
         "<data encoding=\"csv\">\n 1, 2,\n 3 ,4,\n</data>",
         {1, 2, 3, 4},
         0},
        {"short csv", "<data encoding=\"csv\">9</data>", {9, 0, 0, 0}, 3},
        {"flip bits in csv",
         "<data encoding=\"csv\">2147483649,1073741826,536870915,4</data>",
         {1, 2, 3, 4},
         0},
        {"one element per tile",
         "<data><tile gid=\"3\"/><tile/><tile gid=\"1\"/></data>",
         {3, 0, 1, 0},
         1},
        {"no data", "", {0, 0, 0, 0}, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RoomData room;
        testing::internal::CaptureStderr();
        const std::string error = LoadError(MapWithData(c.data, "2\" height=\"2"), room);
        const std::string console = testing::internal::GetCapturedStderr();
        EXPECT_EQ(error, "");
        EXPECT_EQ(room.tiles, c.tiles);
        // Missing cells load empty, but the console names the file and
        // how many there were.
        if (c.missing == 0) {
            EXPECT_EQ(console, "");
        } else {
            EXPECT_NE(console.find("room.tmx"), std::string::npos) << console;
            EXPECT_NE(console.find(std::to_string(c.missing) + " cells are missing"),
                      std::string::npos)
                << console;
        }
    }
}

TEST(RoomMap, FrameCountsAreHeldWithAWordNamingTheMap) {
    const std::string map =
        "<map><tileset firstgid=\"1\" source=\"fixture_terrain.tsx\"/>"
        "<layer width=\"1\" height=\"1\"><data encoding=\"csv\">1</data></layer>"
        "<objectgroup name=\"Torches\">"
        " <object name=\"huge\" x=\"0\" y=\"0\" width=\"8\" height=\"8\"><properties>"
        "  <property name=\"Frames\" type=\"int\" value=\"2147483647\"/></properties></object>"
        " <object name=\"plain\" x=\"0\" y=\"0\" width=\"8\" height=\"8\"/>"
        "</objectgroup>"
        "<objectgroup name=\"StaticObjects\">"
        " <object name=\"Gate\" x=\"0\" y=\"0\" width=\"8\" height=\"8\"><properties>"
        "  <property name=\"Frames\" type=\"int\" value=\"100000000\"/></properties></object>"
        "</objectgroup>"
        "<objectgroup name=\"NPCs\">"
        " <object name=\"Sage\" x=\"0\" y=\"0\" width=\"8\" height=\"8\"><properties>"
        "  <property name=\"Frames\" type=\"int\" value=\"-7\"/></properties></object>"
        " <object name=\"Scribe\" x=\"0\" y=\"0\" width=\"8\" height=\"8\"><properties>"
        "  <property name=\"Frames\" type=\"int\" value=\"8\"/></properties></object>"
        "</objectgroup></map>";
    RoomData room;
    testing::internal::CaptureStderr();
    ASSERT_EQ(LoadError(map, room), "");
    const std::string console = testing::internal::GetCapturedStderr();
    const struct {
        const char* name;
        const char* frames;
        bool warned;
    } expected[] = {{"huge", "256", true},
                    {"plain", "3", false},
                    {"Gate", "256", true},
                    {"Sage", "1", true},
                    {"Scribe", "8", false}};
    ASSERT_EQ(room.objects.size(), std::size(expected));
    for (size_t i = 0; i < room.objects.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(room.objects[i].name, expected[i].name);
        EXPECT_EQ(room.objects[i].String("Frames"), expected[i].frames);
        const std::string word = "room.tmx: object \"" + std::string(expected[i].name) + "\"";
        EXPECT_EQ(console.find(word) != std::string::npos, expected[i].warned) << console;
    }
}

// The maps the game writes itself: standard Base64 with padding, read back
// byte for byte, and layer ids the loader decodes unchanged.
TEST(RoomMap, Base64WrittenByTheGameReadsBack) {
    const struct {
        std::string bytes, text;
    } cases[] = {{"", ""},        {"M", "TQ=="},        {"Ma", "TWE="},
                 {"Man", "TWFu"}, {"Many", "TWFueQ=="}, {std::string("\xff\xfe\x00", 3), "//4A"}};
    for (const auto& c : cases) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(c.bytes.data());
        EXPECT_EQ(EncodeBase64(bytes, c.bytes.size()), c.text) << c.text;
        std::vector<uint8_t> back;
        std::string reason;
        ASSERT_TRUE(DecodeBase64(c.text.c_str(), back, reason));
        EXPECT_EQ(std::string(back.begin(), back.end()), c.bytes) << c.text;
    }
    const std::vector<uint32_t> ids = {1, 12, 0x01020304u, 15};
    RoomData room;
    EXPECT_EQ(LoadError(MapWithData("<data encoding=\"base64\">" +
                                        EncodeTileIds(ids.data(), ids.size()) + "</data>",
                                    "2\" height=\"2"),
                        room),
              "");
    EXPECT_EQ(room.tiles, ids);
}

TEST(RoomMap, BrokenMapsAreInvalid) {
    const std::string terrain = "<tileset firstgid=\"1\" source=\"fixture_terrain.tsx\"/>";
    const struct {
        const char* what;
        std::string text;
        const char* reason; // the file at fault and what is wrong with it
    } cases[] = {
        {"not XML", "<map><layer", "room.tmx cannot be read (XML_ERROR_"},
        {"no map element", "<room/>", "room.tmx has no map element"},
        {"non-Base64 data", MapWithData("<data encoding=\"base64\">AQAA*AAA</data>"), "room.tmx: "},
        {"damaged zlib data",
         MapWithData("<data encoding=\"base64\" compression=\"zlib\">AQAAAAIAAAA=</data>"),
         "room.tmx: "},
        {"cut-short zlib data",
         MapWithData("<data encoding=\"base64\" "
                     "compression=\"zlib\">eJwNw4UNwzAAALCUeWWG/8+cLTkKIcQmpmbmFg==</data>"),
         "room.tmx: "},
        {"zstd",
         MapWithData("<data encoding=\"base64\" compression=\"zstd\">KLUv/SAIQQAAAQ==</data>"),
         "room.tmx: "},
        {"unknown encoding", MapWithData("<data encoding=\"hex\">01</data>"), "room.tmx: "},
        {"csv words", MapWithData("<data encoding=\"csv\">1,two,3</data>"), "room.tmx: "},
        {"infinite map",
         "<map infinite=\"1\">" + terrain + "<layer width=\"6\" height=\"5\"/></map>",
         "room.tmx is an infinite map"},
        {"chunked layer",
         MapWithData("<data encoding=\"csv\"><chunk x=\"0\" y=\"0\" width=\"1\" "
                     "height=\"1\">1</chunk></data>"),
         "room.tmx: "},
        {"absurd size", MapWithData("", "100000\" height=\"100000"),
         "room.tmx's tile layer size 100000 x 100000 is not a room"},
        {"negative size", MapWithData("", "-4\" height=\"5"),
         "room.tmx's tile layer size -4 x 5 is not a room"},
        {"missing tileset file",
         "<map><tileset firstgid=\"1\" source=\"nowhere_terrain.tsx\"/></map>",
         "nowhere_terrain.tsx is missing"},
        {"no terrain tileset", "<map><layer width=\"2\" height=\"2\"/></map>",
         "room.tmx names no terrain tileset"},
    };
    for (const auto& c : cases) {
        RoomData room;
        // The message names the map, the file at fault and what is wrong.
        const std::string error = LoadError(c.text, room);
        EXPECT_EQ(error.rfind("Map 12 is invalid: ", 0), 0u) << c.what << ": " << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    }
    RoomData room;
    try {
        room.Load(987654);
        FAIL() << "a missing room file loaded";
    } catch (const std::runtime_error& e) {
        const std::string what = e.what();
        EXPECT_EQ(what, "Map 987654 is invalid: assets/rooms/987654.tmx is missing");
    }
}

TEST(RoomMap, ASecondLayerIsIgnored) {
    RoomData room;
    EXPECT_EQ(
        LoadError("<map><tileset firstgid=\"1\" source=\"fixture_terrain.tsx\"/>"
                  "<layer width=\"1\" height=\"1\"><data encoding=\"csv\">5</data></layer>"
                  "<layer width=\"3\" height=\"1\"><data encoding=\"csv\">1,1,1</data></layer>"
                  "</map>",
                  room),
        "");
    EXPECT_EQ(room.tiles, std::vector<uint32_t>{5});
}

TEST(RoomMap, IdsBeyondTheAtlasAreWalls) {
    RoomData room;
    EXPECT_EQ(
        LoadError(MapWithData("<data encoding=\"csv\">17,5,0,999</data>", "2\" height=\"2"), room),
        "");
    EXPECT_FALSE(room.IsWalkableCell(0, 0));
    EXPECT_TRUE(room.IsWalkableCell(1, 0));
    EXPECT_FALSE(room.IsWalkableCell(0, 1));
    EXPECT_FALSE(room.IsWalkableCell(1, 1));
}
