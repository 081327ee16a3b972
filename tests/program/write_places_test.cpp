// Where the game writes when its folder cannot be written (an installed
// game): the settings, the save and the endless rooms go to the player's
// data directory and are read back from there; with nowhere to write, the
// player is told on the screen.
#include "audio/Audio.h"
#include "core/Notices.h"
#include "core/UserFiles.h"
#include "game/Game.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"
#include "world/EndlessRun.h"
#include "world/LevelCatalogue.h"

#include "program/UiDriver.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class WritePlacesTest : public UiDriver {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            previousXdg = old;
        LevelCatalogue::Story().endless = false;
        EndlessRun::Current() = EndlessRun();
        EndlessRun::Current().seed = 20261210u;
        ClearNotices();
    }
    void TearDown() override {
        UiDriver::TearDown();
        if (previousXdg.empty())
            unsetenv("XDG_DATA_HOME");
        else
            setenv("XDG_DATA_HOME", previousXdg.c_str(), 1);
        EndlessRun::Current() = EndlessRun();
        LevelCatalogue::Story().endless = false;
        ClearNotices();
    }
    std::string Here(const std::string& name) const { return dir.Path() + "/" + name; }
    MainMenuWindow& Menu() { return *Current<MainMenu>()->window; }
    void Click(const char* entry) {
        UIText* text = Menu().FindText(entry);
        ASSERT_NE(text, nullptr) << entry;
        PointAt(text);
        Tap(QN_VK_LBUTTON);
    }
    // "Start new game", then "Yes": the save is written before the fade.
    void StartNewGame() {
        WaitOpen(Menu());
        Click("Start new game");
        WaitOpen(Menu());
        Click("Yes");
        ASSERT_GE(FramesUntil([this] { return Current<LevelScene>() != nullptr; }, 120), 0)
            << Game::Instance().lastError;
    }
    // Nothing but what the scratch folder started with.
    void ExpectNothingWrittenHere() {
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "assets" || name == "data" || name == "blocked" ||
                        name == "settings.xml")
                << name;
        }
    }

    std::string previousXdg;
};

TEST_F(WritePlacesTest, AnUnwritableGameFolderKeepsEverythingInTheDataDirectory) {
    setenv("XDG_DATA_HOME", Here("data").c_str(), 1);
    fs::create_directories(Here("data/quorvane"));
    std::ofstream(Here("data/quorvane/settings.xml"))
        << "<settings volume=\"1\" muted=\"1\" fullscreen=\"0\" width=\"1280\" height=\"720\" "
           "musicVolume=\"0.4\" effectsVolume=\"0.9\"/>\n";
    const ReadOnlyDir readOnly(dir.Path());
    if (!readOnly.ok)
        GTEST_SKIP() << "this file system cannot make a folder read-only";

    Start([] { return new MainMenu(); }, "");
    EXPECT_EQ(UserFiles::Dir(), Here("data/quorvane"));
    EXPECT_FLOAT_EQ(Audio::State().musicVolume, 0.4f) << "the settings are read from there";
    EXPECT_EQ(QNGetWindowWidth(), 1280);

    StartNewGame();
    EXPECT_TRUE(fs::exists(Here("data/quorvane/save.xml")));
    EXPECT_TRUE(Notices().empty());

    // The endless mode writes its rooms there too, and plays them.
    Game::Instance().SetNextScene(new MainMenu());
    Frames(1);
    WaitOpen(Menu());
    Click("Endless Mode");
    ASSERT_GE(FramesUntil([this] { return Current<LevelScene>() != nullptr; }, 120), 0)
        << Game::Instance().lastError;
    EXPECT_EQ(Current<LevelScene>()->currentRoom->id, 100);
    for (int room = 100; room <= 104; ++room)
        EXPECT_TRUE(fs::exists(Here("data/quorvane/rooms/" + std::to_string(room) + ".tmx")))
            << room;

    Game::Instance().Shutdown();
    std::ifstream settings(Here("data/quorvane/settings.xml"));
    const std::string text((std::istreambuf_iterator<char>(settings)),
                           std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("musicVolume=\"0.40000001\""), std::string::npos) << text;
    ExpectNothingWrittenHere();
}

TEST_F(WritePlacesTest, WithNowhereToWriteThePlayerIsToldOnTheScreen) {
    // The data directory cannot be made either: a file stands in its way.
    dir.Write("blocked", "not a folder");
    setenv("XDG_DATA_HOME", Here("blocked/data").c_str(), 1);
    dir.Write("settings.xml", kSettings);
    const ReadOnlyDir readOnly(dir.Path());
    if (!readOnly.ok)
        GTEST_SKIP() << "this file system cannot make a folder read-only";

    testing::internal::CaptureStderr();
    Start([] { return new MainMenu(); }, "");
    StartNewGame();
    const std::string console = testing::internal::GetCapturedStderr();
    EXPECT_NE(console.find("could not write the save game"), std::string::npos) << console;
    ASSERT_FALSE(Notices().empty());
    EXPECT_EQ(Notices().back().text.rfind("Could not write the save game: ", 0), 0u);
    // The level shows it at the foot of the screen.
    Frames(2);
    const NoticeBoard& board = *Current<LevelScene>()->notices;
    ASSERT_EQ(board.lines.size(), Notices().size());
    const TextSprite& line = *board.lines.back();
    EXPECT_EQ(std::string(line.text.begin(), line.text.end()), Notices().back().text);
    EXPECT_GT(line.color[3], 0.5f);
    EXPECT_LT(line.GetPosition().y, -100.0f);
    EXPECT_LE(line.width, 2.0f * Runtime::Get().UIHalfExtent().x) << "it fits the screen";
    ExpectNothingWrittenHere();
}

} // namespace
