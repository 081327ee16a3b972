// The story can be played to its end: every level of assets/levels.xml is
// walked from its start room to its way out (world/LevelCheck), and the
// campaign meets its enemies one kind at a time. Small levels written by the
// tests show that the walk notices what would stop a player.
#include "world/LevelCheck.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using LevelMap::LevelSurvey;

namespace {

std::string Listed(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& p : problems)
        text += "\n  " + p;
    return text;
}

// The first level (from 0) in which an enemy of `name` appears; -1 if none.
int FirstLevelWith(const std::vector<LevelSurvey>& levels, const std::string& name) {
    for (const LevelSurvey& level : levels) {
        if (level.enemies.count(name))
            return level.level;
    }
    return -1;
}

} // namespace

TEST(StoryCampaign, EveryLevelCanBeFinished) {
    ScratchGameDir game; // the build's assets, as the game reads them
    const std::vector<LevelSurvey> levels = LevelMap::CheckStory();
    ASSERT_GE(levels.size(), 5u) << Listed(levels.front().problems);
    ASSERT_LE(levels.size(), 8u);
    for (const LevelSurvey& level : levels) {
        SCOPED_TRACE("level " + std::to_string(level.level + 1));
        EXPECT_TRUE(level.problems.empty()) << Listed(level.problems);
        EXPECT_GE(level.rooms.size(), 3u);
        EXPECT_LE(level.rooms.size(), 5u);
    }
    // Each level plays its own track; the story ends in the credits, after
    // the Commander, who is met nowhere else.
    std::vector<std::string> music;
    for (const LevelSurvey& level : levels)
        music.push_back(level.music);
    std::sort(music.begin(), music.end());
    EXPECT_EQ(std::unique(music.begin(), music.end()), music.end()) << "two levels share music";
    EXPECT_TRUE(levels.back().endsInCredits);
    EXPECT_EQ(FirstLevelWith(levels, "Commander"), levels.back().level);
    EXPECT_EQ(levels.back().enemies.at("Commander"), 1);
    EXPECT_FALSE(levels.back().tracks.empty()) << "the hall's door starts the boss's music";
}

TEST(StoryCampaign, EnemiesArriveOneKindAtATime) {
    ScratchGameDir game;
    const std::vector<LevelSurvey> levels = LevelMap::CheckStory();
    // The first level is a taste of every kind: soldiers in the hall, a
    // heavy and a biohazard trooper in the armoury, one ambush. After it the
    // campaign brings them back one kind at a time, each in a room of its
    // own before they are mixed, and the ambushes wait until all are known.
    EXPECT_EQ(FirstLevelWith(levels, "Enemy"), 0) << "the first level has soldiers";
    EXPECT_EQ(FirstLevelWith(levels, "HeavyEnemy"), 0);
    EXPECT_EQ(FirstLevelWith(levels, "BiohazardEnemy"), 0);
    const std::vector<LevelSurvey> later(levels.begin() + 1, levels.end());
    const int soldiers = FirstLevelWith(later, "Enemy");
    const int heavies = FirstLevelWith(later, "HeavyEnemy");
    const int troopers = FirstLevelWith(later, "BiohazardEnemy");
    int ambushes = -1;
    for (const LevelSurvey& level : later) {
        if (ambushes < 0 && level.ambushes > 0)
            ambushes = level.level;
    }
    EXPECT_EQ(soldiers, 1) << "the second level opens with soldiers";
    EXPECT_GE(heavies, soldiers);
    EXPECT_GT(troopers, heavies) << "biohazard troopers come after the heavies";
    EXPECT_GT(ambushes, troopers) << "ambushes come once every kind is known";
    // Every level has something to say.
    for (size_t k = 1; k < levels.size(); ++k)
        EXPECT_FALSE(levels[k].dialogs.empty()) << "level " << k + 1;
}

namespace {

constexpr int kTile = 48;

// A rectangular room of w x h cells on the core terrain: floor inside a
// one-cell wall, two-cell gaps for the doors, doors 4 units inside the
// edge, then `groups` verbatim.
struct Opening {
    const char* side; // "left", "right", "top"
    int at;           // first of the two cells cut through the wall
    int target;
    std::string properties = "";
};

std::string Room(int w, int h, const std::vector<Opening>& doors, const std::string& groups) {
    std::vector<std::vector<int>> ids(static_cast<size_t>(h), std::vector<int>(w, 7));
    for (int r = 1; r < h - 1; ++r)
        for (int c = 1; c < w - 1; ++c)
            ids[r][c] = 5;
    std::ostringstream group;
    group << " <objectgroup name=\"Doors\">\n";
    for (const Opening& d : doors) {
        const std::string side = d.side;
        for (int k = 0; k < 2; ++k) {
            if (side == "left")
                ids[d.at + k][0] = 5;
            else if (side == "right")
                ids[d.at + k][w - 1] = 5;
            else
                ids[0][d.at + k] = 5;
        }
        int x = d.at * kTile + 3, y = 4;
        std::string points = "0,0 90,0";
        if (side != "top") {
            x = side == "left" ? 4 : w * kTile - 4;
            y = (d.at + 2) * kTile - 3;
            points = "0,0 0,-90";
        }
        group << "  <object name=\"" << d.target << "\" x=\"" << x << "\" y=\"" << y << "\">"
              << d.properties << "<polyline points=\"" << points << "\"/></object>\n";
    }
    group << " </objectgroup>\n";
    std::ostringstream out;
    out << "<map width=\"" << w << "\" height=\"" << h << "\">\n"
        << " <tileset firstgid=\"1\" source=\"core_terrain.tsx\"/>\n"
        << " <tileset firstgid=\"15\" source=\"core_sprites.tsx\"/>\n"
        << " <layer width=\"" << w << "\" height=\"" << h << "\"><data encoding=\"csv\">\n";
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            out << ids[r][c] << (r == h - 1 && c == w - 1 ? "\n" : ",");
    out << "</data></layer>\n" << group.str() << groups << "</map>\n";
    return out.str();
}

std::string Property(const std::string& name, const std::string& value) {
    return "<property name=\"" + name + "\" value=\"" + value + "\"/>";
}

// A two-room level: Blade starts in the guard post (1), walks east into the
// yard (2), whose soldier keeps the gate of the exit shut until he falls.
// Oren stands in the yard with conversation 5.
struct TwoRooms {
    std::vector<Opening> postDoors = {{"right", 3, 2}};
    std::string post = " <objectgroup name=\"Player\"><object x=\"100\" y=\"150\"/></objectgroup>\n"
                       " <objectgroup name=\"Torches\"><object x=\"100\" y=\"8\" width=\"32\" "
                       "height=\"32\"/></objectgroup>\n";
    std::vector<Opening> yardDoors = {{"left", 3, 1}, {"top", 5, 0}};
    std::string gate = "<object name=\"Gate\" x=\"240\" y=\"52\" width=\"96\" height=\"64\">"
                       "<properties>" +
                       Property("Frames", "4") + "</properties></object>";
    std::string enemies = "<object name=\"Enemy\" x=\"300\" y=\"300\"/>";
    std::string npc = "<object name=\"Oren\" x=\"350\" y=\"250\" width=\"96\" height=\"96\">"
                      "<properties>" +
                      Property("TextureName", "../npc_prisoner.png") + Property("Frames", "4") +
                      Property("Dialog", "5") + "</properties></object>";
    std::string more = "";
    std::string talk = "<chat><rhs texture=\"portrait_prisoner.png\" frames=\"8\" "
                       "frameDelay=\"0.18\" width=\"96\" height=\"96\"/>"
                       "<dialog side=\"right\">Who's there?</dialog></chat>";

    void Write(const fs::path& assets) const {
        std::ofstream(assets / "rooms/1.tmx") << Room(10, 8, postDoors, post);
        std::ofstream(assets / "rooms/2.tmx")
            << Room(12, 10, yardDoors,
                    " <objectgroup name=\"StaticObjects\">" + gate + "</objectgroup>\n" +
                        " <objectgroup name=\"Enemies\">" + enemies + "</objectgroup>\n" +
                        " <objectgroup name=\"NPCs\">" + npc + "</objectgroup>\n" + more);
        std::ofstream(assets / "dialogs/5.xml") << talk;
    }
};

class LevelCheckFaults : public ::testing::Test {
protected:
    void SetUp() override {
        // The build's images and sounds, with rooms and conversations of the
        // test's own.
        fs::remove(assets);
        fs::create_directories(assets / "rooms");
        fs::create_directories(assets / "dialogs");
        const fs::path built = fs::path(BuildDir()) / "assets";
        for (const auto& entry : fs::directory_iterator(built)) {
            const fs::path name = entry.path().filename();
            if (name != "rooms" && name != "dialogs" && name != "levels.xml")
                fs::create_symlink(entry.path(), assets / name);
        }
        for (const char* tileset : {"core_terrain.tsx", "core_sprites.tsx"})
            fs::copy_file(built / "rooms" / tileset, assets / "rooms" / tileset);
    }

    std::vector<std::string> Problems(const TwoRooms& level) const {
        level.Write(assets);
        return LevelMap::CheckLevel(0, 1, "01.Level1Music.ogg", false).problems;
    }

    ScratchGameDir scratch;
    fs::path assets = fs::path(scratch.Path()) / "assets";
};

} // namespace

TEST_F(LevelCheckFaults, ASoundLevelHasNoProblems) {
    const TwoRooms level;
    const std::vector<std::string> problems = Problems(level);
    EXPECT_TRUE(problems.empty()) << Listed(problems);
}

// Each case spoils the sound level in one way; the check must say so.
TEST_F(LevelCheckFaults, EachFaultIsNamed) {
    struct Case {
        const char* what;
        std::function<void(TwoRooms&)> spoil;
        const char* expected; // part of one problem
    };
    const Case cases[] = {
        {"a door without its partner",
         [](TwoRooms& l) {
             l.yardDoors = {{"top", 5, 0}};
         },
         "room 1's door to room 2 has no door back"},
        {"a door that is never open",
         [](TwoRooms& l) {
             l.postDoors[0].properties =
                 "<properties>" + Property("EnterCondition", "Disabled") + "</properties>";
         },
         "room 2 cannot be reached from the start"},
        {"no way out",
         [](TwoRooms& l) {
             l.yardDoors = {{"left", 3, 1}};
         },
         "needs one exit door"},
        {"two ways out",
         [](TwoRooms& l) {
             l.postDoors.push_back({"top", 2, 0});
         },
         "needs one exit door"},
        {"a gate with nobody to clear", [](TwoRooms& l) { l.enemies = ""; },
         "has a gate but no enemy"},
        {"a gate and a dummy that never falls",
         [](TwoRooms& l) { l.enemies += "<object name=\"Dummy\" x=\"200\" y=\"300\"/>"; },
         "training dummy"},
        {"a soldier inside the wall",
         [](TwoRooms& l) { l.enemies = "<object name=\"Enemy\" x=\"5\" y=\"300\"/>"; },
         "cannot be reached, so the gate never opens"},
        {"a misspelt enemy",
         [](TwoRooms& l) { l.enemies += "<object name=\"HeavyEnemey\" x=\"200\" y=\"300\"/>"; },
         "'HeavyEnemey' creates nothing"},
        {"a trigger of no kind",
         [](TwoRooms& l) {
             l.more = " <objectgroup name=\"Triggers\"><object x=\"100\" y=\"100\"><properties>" +
                      Property("Trigger", "TriggerAlarm") +
                      "</properties><polyline points=\"0,0 0,90\"/></object></objectgroup>\n";
         },
         "has no known Trigger kind"},
        {"an ambush with nobody dormant",
         [](TwoRooms& l) {
             l.more = " <objectgroup name=\"Triggers\"><object x=\"100\" y=\"100\"><properties>" +
                      Property("Trigger", "TriggerEnemy") +
                      "</properties><polyline points=\"0,0 0,90\"/></object></objectgroup>\n";
         },
         "ambush line but no dormant soldier"},
        {"a conversation that is not there",
         [](TwoRooms& l) { l.npc.replace(l.npc.find("\"5\""), 3, "\"6\""); },
         "cannot read assets/dialogs/6.xml"},
        {"a line the font cannot draw",
         [](TwoRooms& l) { l.talk.replace(l.talk.find("there?"), 6, "there\xE2\x80\xA6"); },
         "which the font does not draw"},
        {"a line too long for the box",
         [](TwoRooms& l) { l.talk.replace(l.talk.find("there?"), 6, std::string(60, 'a')); },
         "a word too long for the speech box"},
        {"a portrait that is not drawn",
         [](TwoRooms& l) { l.talk.replace(l.talk.find("prisoner"), 8, "nobody"); },
         "names missing image portrait_nobody.png"},
        {"a character with the wrong frame count",
         [](TwoRooms& l) { l.npc.replace(l.npc.find("\"4\""), 3, "\"3\""); },
         "gives npc_prisoner.png 3 frames; the strip has 4"},
        {"music that is no music",
         [](TwoRooms& l) {
             l.postDoors[0].properties =
                 "<properties>" + Property("Audio", "hit.wav") + "</properties>";
         },
         "plays hit.wav, which is no music track"},
        {"Blade placed twice",
         [](TwoRooms& l) {
             l.more = " <objectgroup name=\"Player\"><object x=\"200\" y=\"200\"/></objectgroup>\n";
         },
         "places Blade 2 times"},
        {"a torch in the rock",
         [](TwoRooms& l) {
             l.post += " <objectgroup name=\"Torches\"><object x=\"2000\" y=\"8\" width=\"32\" "
                       "height=\"32\"/></objectgroup>\n";
         },
         "burns inside the rock"},
        {"embers that are not there",
         [](TwoRooms& l) {
             l.post += " <objectgroup name=\"Torches\"><object x=\"200\" y=\"8\" width=\"32\" "
                       "height=\"32\"><properties>" +
                       Property("Particles", "sparkles") + "</properties></object></objectgroup>\n";
         },
         "names missing particles sparkles"},
        {"a soldier inside a pillar",
         [](TwoRooms& l) {
             l.gate += "<object gid=\"19\" x=\"276\" y=\"366\"><properties>" +
                       Property("Collidable", "true") + "</properties></object>";
         },
         "stands inside a solid prop"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TwoRooms level;
        c.spoil(level);
        const std::vector<std::string> problems = Problems(level);
        EXPECT_TRUE(std::any_of(
            problems.begin(), problems.end(),
            [&](const std::string& p) { return p.find(c.expected) != std::string::npos; }))
            << "expected \"" << c.expected << "\" among:" << Listed(problems);
    }
}

// A wall of pillars across the yard keeps Blade from its far half: the
// soldier there cannot be reached, so neither can the exit behind the gate.
TEST_F(LevelCheckFaults, SolidPropsThatCloseAPassageAreWalls) {
    TwoRooms level;
    level.enemies = "<object name=\"Enemy\" x=\"480\" y=\"300\"/>";
    for (int row = 1; row <= 9; ++row)
        level.gate += "<object gid=\"19\" x=\"192\" y=\"" + std::to_string(row * kTile + 33) +
                      "\"><properties>" + Property("Collidable", "true") + "</properties></object>";
    const std::vector<std::string> problems = Problems(level);
    const std::string all = Listed(problems);
    EXPECT_NE(all.find("cannot be reached, so the gate never opens"), std::string::npos) << all;
    EXPECT_NE(all.find("exit cannot be reached"), std::string::npos) << all;
}
