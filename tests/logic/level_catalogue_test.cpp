// The level catalogue and the save game.
#include "world/LevelCatalogue.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace {
// A scratch directory with its own assets/ folder holding `levels`.
struct CatalogueDir {
    explicit CatalogueDir(const std::string& levels) {
        std::filesystem::remove(std::filesystem::path(dir.Path()) / "assets");
        std::filesystem::create_directory(std::filesystem::path(dir.Path()) / "assets");
        if (!levels.empty())
            dir.Write("assets/levels.xml", levels);
    }
    ScratchGameDir dir;
};

const char* kThreeLevels = R"(<levels>
  <intro room="9" bgm="intro.ogg"/>
  <level room="1" bgm="01.ogg"/>
  <level room="7abc" bgm="02.ogg"/>
  <finale bgm="03.ogg"/>
</levels>)";
} // namespace

TEST(LevelCatalogue, ReadsLevelsFromTheFirstLevelElementOn) {
    CatalogueDir scratch(kThreeLevels);
    LevelCatalogue levels("levels.xml");
    EXPECT_TRUE(levels.loaded);
    // The element before the first "level" is skipped; the ones after it
    // count whatever their names; a missing room is room 0.
    EXPECT_EQ(levels.firstRooms, (std::vector<int32_t>{1, 7, 0}));
    EXPECT_EQ(levels.music, (std::vector<std::string>{"01.ogg", "02.ogg", "03.ogg"}));
    EXPECT_EQ(levels.currentLevel, 0);
    EXPECT_FALSE(levels.endless);
    EXPECT_EQ(levels.StartRoom(), 1);
    EXPECT_EQ(levels.CurrentMusic(), "01.ogg");
    levels.endless = true;
    EXPECT_EQ(levels.StartRoom(), 100);
    EXPECT_EQ(levels.CurrentMusic(), "03.Level0Music.ogg");
}

TEST(LevelCatalogue, MissingCatalogueFailsOnlyWhenALevelStarts) {
    for (const char* text : {"", "<notlevels/>", "<levels><level room="}) {
        CatalogueDir scratch(text);
        LevelCatalogue levels("levels.xml"); // must not throw
        EXPECT_FALSE(levels.loaded) << text;
        try {
            levels.StartRoom();
            FAIL() << "no error for " << text;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Cannot find levels.xml");
        }
        EXPECT_EQ(levels.CurrentMusic(), "");
    }
}

TEST(LevelCatalogue, SaveHoldsTheLevelAndIsReadAtStart) {
    CatalogueDir scratch(kThreeLevels);
    scratch.dir.Write("save.xml", "<save level=\"2\"/>\n");
    LevelCatalogue levels("levels.xml");
    EXPECT_EQ(levels.currentLevel, 2);
    EXPECT_EQ(levels.StartRoom(), 0);
    EXPECT_EQ(levels.CurrentMusic(), "03.ogg");

    levels.currentLevel = 0; // "Start new game"
    ASSERT_TRUE(levels.Save());
    EXPECT_EQ(scratch.dir.Read("save.xml"), "<save level=\"0\"/>\n");
    EXPECT_FALSE(scratch.dir.Exists("save.xml.tmp"));
}

TEST(LevelCatalogue, BrokenOrForeignSavesStartAtTheFirstLevelAndSaySo) {
    const struct {
        const char* save; // nullptr: no save file
        int32_t level;
        const char* said; // on the console; "" for nothing
    } cases[] = {
        {nullptr, 0, ""},
        {"<save level=\"1\"/>", 1, ""},
        {"<save/>", 0, "names no level"},
        {"<other level=\"2\"/>", 0, "holds no save element"},
        {"not xml at all <", 0, "cannot be read"},
        {"", 0, "cannot be read"},
        {"<save level=\"3\"/>", 0, "level \"3\" is not one of the story's 3 levels"},
        {"<save level=\"-1\"/>", 0, "level \"-1\" is not one"},
        {"<save level=\"two\"/>", 0, "level \"two\" is not one"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.save ? c.save : "no save");
        CatalogueDir scratch(kThreeLevels);
        if (c.save)
            scratch.dir.Write("save.xml", c.save);
        testing::internal::CaptureStderr();
        const int32_t level = LevelCatalogue("levels.xml").currentLevel;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(level, c.level);
        if (*c.said == '\0') {
            EXPECT_EQ(said, "");
        } else {
            EXPECT_NE(said.find(c.said), std::string::npos) << said;
            EXPECT_NE(said.find("the story starts from its first level"), std::string::npos);
        }
    }
}

TEST(LevelCatalogue, TheLastLevelHasNoNextLevel) {
    CatalogueDir scratch(kThreeLevels);
    LevelCatalogue levels("levels.xml");
    EXPECT_TRUE(levels.AdvanceToNextLevel());
    EXPECT_EQ(scratch.dir.Read("save.xml"), "<save level=\"1\"/>\n");
    EXPECT_TRUE(levels.AdvanceToNextLevel());
    EXPECT_EQ(levels.currentLevel, 2);
    // Past the last level: nothing changes, the caller returns to the menu.
    EXPECT_FALSE(levels.AdvanceToNextLevel());
    EXPECT_EQ(levels.currentLevel, 2);
    EXPECT_EQ(scratch.dir.Read("save.xml"), "<save level=\"2\"/>\n");
    levels.currentLevel = 3;
    EXPECT_THROW(levels.StartRoom(), std::runtime_error);
    EXPECT_EQ(levels.CurrentMusic(), "");
}

TEST(LevelCatalogue, UnwritableSaveKeepsTheLevelInMemory) {
    CatalogueDir scratch(kThreeLevels);
    LevelCatalogue levels("levels.xml");
    levels.savePath = scratch.dir.Path() + "/missing-folder/save.xml";
    EXPECT_FALSE(levels.Save());
    EXPECT_TRUE(levels.AdvanceToNextLevel());
    EXPECT_EQ(levels.currentLevel, 1);
}
