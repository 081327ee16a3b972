// Level packs made by players: what the game reads while one is played,
// the check an author runs on one, and the pack's own save game.
#include "core/LevelPack.h"
#include "world/LevelCatalogue.h"
#include "world/LevelCheck.h"
#include "world/LevelPacks.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string Listed(const std::vector<std::string>& problems) {
    std::string all;
    for (const std::string& p : problems)
        all += "\n  " + p;
    return all;
}

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A copy of the sample pack (tests/fixtures/packs/sample) in a scratch game
// folder, played for the test's length.
class PackTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy(fs::path(SourceDir()) / "tests/fixtures/packs/sample", pack,
                 fs::copy_options::recursive);
    }
    void TearDown() override {
        LevelMap::ChooseLevelPack("");
        LevelCatalogue::Story().UseSavePath("save.xml");
    }
    // Replaces the first `from` in the pack's file `name` by `to`.
    void Edit(const std::string& name, const std::string& from, const std::string& to) const {
        std::string text = ReadText(pack / name);
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from << " in " << name;
        text.replace(at, from.size(), to);
        std::ofstream(pack / name, std::ios::binary) << text;
    }
    std::vector<std::string> Problems() const {
        LevelPack::Use(pack.string());
        std::vector<std::string> all;
        for (const LevelMap::LevelSurvey& level : LevelMap::CheckStory())
            all.insert(all.end(), level.problems.begin(), level.problems.end());
        return all;
    }

    ScratchGameDir scratch;
    fs::path pack = fs::path(scratch.Path()) / "sample";
};

} // namespace

TEST_F(PackTest, TheSamplePackPassesTheCheck) {
    const std::vector<std::string> problems = Problems();
    EXPECT_TRUE(problems.empty()) << Listed(problems);
    const LevelPack::Info info = LevelPack::Read(pack.string());
    EXPECT_EQ(info.name, "The Sample Cellar");
    EXPECT_EQ(info.author, "Quorvane tests");
    EXPECT_EQ(info.levels, 1);
    EXPECT_EQ(info.problem, "");
}

// Each case spoils the sample pack in one way; the check must name the
// fault in words, with the file and line where it is written.
TEST_F(PackTest, EachFaultIsNamedWithItsFileAndLine) {
    struct Case {
        const char* what;
        const char* file;
        const char* from;
        const char* to;
        const char* expected;
    };
    const Case cases[] = {
        {"a misspelt enemy", "rooms/2.tmx", "template=\"../templates/Enemy.tx\"",
         "template=\"../templates/Enemy.tx\" name=\"HeavyEnemey\"",
         "rooms/2.tmx:25: room 2: Enemies object 2 'HeavyEnemey' creates nothing"},
        {"a picture outside the pack", "rooms/1.tmx", "../npc_prisoner.png",
         "../../../../etc/passwd", "lies outside the level pack's folder"},
        // A picture's name is taken inside the rooms' folder, whatever it says.
        {"a picture by an absolute path", "rooms/1.tmx", "../npc_prisoner.png", "/etc/passwd",
         "names missing image rooms/etc/passwd"},
        {"a template that is not there", "rooms/2.tmx", "templates/Enemy.tx", "templates/Enemi.tx",
         "rooms/2.tmx:25: room 2: Enemies object 2: its template"},
        {"a template outside the pack", "rooms/2.tmx", "../templates/Enemy.tx", "/etc/hostname",
         "its template /etc/hostname lies outside the level pack's folder"},
        {"a tileset outside the pack", "rooms/2.tmx", "source=\"core_sprites.tsx\"",
         "source=\"/etc/fstab\"", "the tileset /etc/fstab lies outside the level pack's folder"},
        {"a conversation that is not there", "rooms/1.tmx", "value=\"1\"", "value=\"7\"",
         "cannot read dialogs/7.xml"},
        {"no way out", "rooms/2.tmx", "name=\"0\"", "name=\"1\"", "needs one exit door"},
        {"music the game does not have", "levels.xml", "01.Level1Music.ogg", "mine.ogg",
         "plays missing music mine.ogg"},
        {"a start room that is not there", "levels.xml", "room=\"1\"", "room=\"9\"",
         "rooms/9.tmx is missing"},
        {"a catalogue without levels", "levels.xml", "<level room", "<stage room",
         "levels.xml names no level"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(pack);
        SetUp();
        Edit(c.file, c.from, c.to);
        const std::vector<std::string> problems = Problems();
        EXPECT_TRUE(std::any_of(
            problems.begin(), problems.end(),
            [&](const std::string& p) { return p.find(c.expected) != std::string::npos; }))
            << "expected \"" << c.expected << "\" among:" << Listed(problems);
    }
}

// What the game opens for a name under assets/ while the pack is played.
TEST_F(PackTest, ThePackReadsItsOwnFilesAndTheGamesNothingElse) {
    fs::create_symlink("/etc/hostname", pack / "leak.png");
    std::ofstream(pack / "prop_crate.png") << "the pack's own crate";
    LevelPack::Use(pack.string());
    const std::string own = LevelPack::Current();
    struct Case {
        std::string name;
        std::string expected;
    };
    const Case cases[] = {
        {"rooms/1.tmx", own + "/rooms/1.tmx"},
        {"rooms/5.tmx", own + "/rooms/5.tmx"}, // never the story's room 5
        {"dialogs/3.xml", own + "/dialogs/3.xml"},
        {"levels.xml", own + "/levels.xml"},
        {"prop_crate.png", own + "/prop_crate.png"}, // the pack's own picture
        {"rooms/../prop_crate.png", own + "/prop_crate.png"},
        {"prop_barrel.png", "assets/prop_barrel.png"}, // the game's
        {"rooms/core_terrain.tsx", "assets/rooms/core_terrain.tsx"},
        {"sounds/01.Level1Music.ogg", "assets/sounds/01.Level1Music.ogg"},
        {"../prop_crate.png", ""},
        {"rooms/../../secret", ""},
        {"/etc/passwd", ""},
        {"leak.png", ""}, // a link out of the folder
    };
    for (const Case& c : cases)
        EXPECT_EQ(LevelPack::AssetFile(c.name), c.expected) << c.name;
    EXPECT_EQ(LevelPack::NameOf(own + "/rooms/core_sprites.tsx"), "rooms/core_sprites.tsx");
    LevelPack::Use("");
    EXPECT_EQ(LevelPack::AssetFile("prop_crate.png"), "assets/prop_crate.png");
    EXPECT_EQ(LevelPack::AssetFile("rooms/5.tmx"), "assets/rooms/5.tmx");
}

TEST_F(PackTest, APackKeepsItsOwnSave) {
    scratch.Write("save.xml", "<save level=\"3\"/>\n");
    LevelCatalogue::Story().UseSavePath("save.xml");
    const std::vector<std::string> problems = LevelMap::ChooseLevelPack(pack.string());
    EXPECT_TRUE(problems.empty()) << Listed(problems);
    LevelCatalogue& levels = LevelCatalogue::Story();
    EXPECT_EQ(levels.firstRooms, std::vector<int32_t>{1});
    EXPECT_EQ(levels.currentLevel, 0) << "the story's save is not the pack's";
    EXPECT_EQ(levels.savePath, "pack-sample-save.xml");
    EXPECT_TRUE(levels.Save());
    EXPECT_EQ(scratch.Read("save.xml"), "<save level=\"3\"/>\n");
    EXPECT_TRUE(scratch.Exists("pack-sample-save.xml"));
    // Back to the story: its save is where it was.
    LevelMap::ChooseLevelPack("");
    EXPECT_EQ(LevelCatalogue::Story().savePath, "save.xml");
    EXPECT_EQ(LevelCatalogue::Story().currentLevel, 3);
}

TEST_F(PackTest, PacksAreFoundInTheirFolders) {
    fs::create_directories(fs::path(scratch.Path()) / "levels/empty");
    fs::copy(pack, fs::path(scratch.Path()) / "levels/second", fs::copy_options::recursive);
    std::ofstream(fs::path(scratch.Path()) / "levels/second/pack.xml")
        << "<pack name=\"A Second Cellar\"/>";
    const std::vector<LevelPack::Info> packs =
        LevelPack::FindAll({scratch.Path() + "/levels", pack.string(), "/nonexistent"});
    ASSERT_EQ(packs.size(), 2u);
    EXPECT_EQ(packs[0].name, "A Second Cellar");
    EXPECT_EQ(packs[0].author, "");
    EXPECT_EQ(packs[1].name, "The Sample Cellar");
}
