// The main menu's "Level packs" page in the real loop: the packs found are
// listed with their authors and level counts; a pack with faults shows its
// first problems instead of starting, and one without plays its own level.
#include "core/LevelPack.h"
#include "engine/QNGraphics.h"
#include "game/Game.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"
#include "world/LevelPacks.h"

#include "program/UiDriver.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class LevelPacksPageTest : public UiDriver {
protected:
    void SetUp() override {
        const fs::path sample = fs::path(SourceDir()) / "tests/fixtures/packs/sample";
        fs::create_directories(packs);
        fs::copy(sample, packs / "cellar", fs::copy_options::recursive);
        fs::copy(sample, packs / "broken", fs::copy_options::recursive);
        std::ofstream(packs / "broken/pack.xml") << "<pack name=\"Broken Vault\" author=\"Tess\"/>";
        // The guard is misspelt: the check says so.
        const fs::path room = packs / "broken/rooms/2.tmx";
        std::stringstream text;
        text << std::ifstream(room).rdbuf();
        std::string map = text.str();
        const std::string from = "template=\"../templates/Enemy.tx\"";
        map.replace(map.find(from), from.size(), from + " name=\"Guardd\"");
        std::ofstream(room) << map;
        LevelMap::AddLevelPackFolder(packs.string());
    }
    void TearDown() override {
        UiDriver::TearDown();
        LevelMap::ChooseLevelPack("");
    }
    void StartMenu() {
        Start([] { return new MainMenu(); });
        menu = Current<MainMenu>();
        ASSERT_NE(menu, nullptr);
        WaitOpen(Window());
    }
    MainMenuWindow& Window() const { return *menu->window; }
    void Choose(const std::string& text) {
        for (int i = 0; i < 10 && Highlighted(Window()) != text; ++i)
            Tap(QN_VK_DOWN);
        ASSERT_EQ(Highlighted(Window()), text);
        Tap(QN_VK_RETURN);
        WaitOpen(Window());
    }
    void Picture(const std::string& name) {
        Seconds(1.5f);
        QNGfxRequestCapture(BuildDir() + "/" + name);
        Frames(1);
    }

    fs::path packs = fs::path(dir.Path()) / "packs";
    MainMenu* menu = nullptr;
};

TEST_F(LevelPacksPageTest, APackWithFaultsShowsThemAndASoundOnePlays) {
    StartMenu();
    Choose("Level packs");
    EXPECT_NE(Window().FindText("Level packs"), nullptr);
    EXPECT_NE(Window().FindText("Broken Vault by Tess (1 level)"), nullptr);
    EXPECT_NE(Window().FindText("The Sample Cellar by Quorvane tests (1 level)"), nullptr);
    Picture("level_packs_page.png");

    Choose("Broken Vault by Tess (1 level)");
    EXPECT_NE(Window().FindText("Broken Vault cannot be played yet"), nullptr);
    bool named = false;
    for (const UIElement* e : Window().elements) {
        const auto* text = dynamic_cast<const UIText*>(e);
        named = named ||
                (text && !text->fadingOut && text->text.find(u"'Guardd'") != std::u16string::npos);
    }
    EXPECT_TRUE(named) << "the misspelt guard is named";
    EXPECT_EQ(Current<LevelScene>(), nullptr) << "no broken level starts";
    Picture("level_pack_problems.png");

    Choose("Back");
    Choose("The Sample Cellar by Quorvane tests (1 level)");
    EXPECT_GE(FramesUntil([] { return Current<LevelScene>() && !Current<MainMenu>(); }, 120), 0);
    EXPECT_EQ(LevelPack::Current(), fs::weakly_canonical(packs / "cellar").generic_string());
    EXPECT_EQ(Game::Instance().levels.savePath, "pack-cellar-save.xml");
}

} // namespace
