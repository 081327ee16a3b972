// The main menu in the real loop: its entries with and without a save, the
// confirmation and options pages, and the ways out of it.
#include "game/Game.h"
#include "scenes/CreditsScene.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"

#include "program/UiDriver.h"

namespace {

class MainMenuTest : public UiDriver {
protected:
    // The menu current, its window open and ready for input.
    void StartMenu() {
        Start([] { return new MainMenu(); });
        menu = Current<MainMenu>();
        ASSERT_NE(menu, nullptr);
        WaitOpen(Window());
    }
    MainMenuWindow& Window() const { return *menu->window; }
    UIText* Entry(const char* text) const { return Window().FindText(text); }
    // Highlights `text` with the arrows (from nothing highlighted or from
    // the current highlight) and presses Enter on it.
    void Choose(const char* text) {
        for (int i = 0; i < 8 && Highlighted(Window()) != text; ++i)
            Tap(QN_VK_DOWN);
        ASSERT_EQ(Highlighted(Window()), text);
        Tap(QN_VK_RETURN);
    }
    // Chooses `text` and waits for the page it opens.
    void ChooseAndWait(const char* text) {
        Choose(text);
        WaitOpen(Window());
    }

    MainMenu* menu = nullptr;
};

TEST_F(MainMenuTest, WithoutASaveContinueIsGreyAndDownHighlightsStartNewGame) {
    StartMenu();
    ASSERT_FALSE(dir.Exists("save.xml"));
    UIText* cont = Entry("Continue");
    ASSERT_NE(cont, nullptr);
    EXPECT_FALSE(cont->IsInteractive());
    EXPECT_FLOAT_EQ(cont->color[0], 0.5f);
    EXPECT_NE(Entry("Endless Mode"), nullptr);
    EXPECT_TRUE(Entry("Endless Mode")->IsInteractive());
    Tap(QN_VK_DOWN);
    EXPECT_EQ(Highlighted(Window()), "Start new game");
    // The mouse cannot pick it either.
    PointAt(cont);
    Frames(2);
    EXPECT_FALSE(cont->selected);
}

TEST_F(MainMenuTest, WithASaveDownHighlightsContinueWhichPlaysTheSavedLevel) {
    dir.Write("save.xml", "<save level=\"0\"/>\n");
    StartMenu();
    Tap(QN_VK_DOWN);
    EXPECT_EQ(Highlighted(Window()), "Continue");
    Tap(QN_VK_RETURN);
    EXPECT_GE(FramesUntil([] { return Current<LevelScene>() && !Current<MainMenu>(); }, 40), 0);
    EXPECT_FALSE(Game::Instance().levels.endless);
}

TEST_F(MainMenuTest, StartNewGameAndYesSavesLevelZeroAndALevelStartsAfterTheFade) {
    dir.Write("save.xml", "<save level=\"1\"/>\n");
    StartMenu();
    Game::Instance().levels.currentLevel = 1;
    Tap(QN_VK_DOWN);
    ChooseAndWait("Start new game");
    EXPECT_NE(Entry("Do you want to start the game?"), nullptr);
    EXPECT_EQ(Entry("Continue"), nullptr) << "the main page has gone";
    Seconds(0.7f);
    EXPECT_LT(Window().title.tint[3], 0.01f) << "the title fades out";
    ChooseAndWait("Yes");
    const int frames = FramesUntil([] { return !Current<MainMenu>(); }, 60);
    EXPECT_NEAR(frames, 30, 2) << "the level comes after a half-second fade";
    ASSERT_NE(Current<LevelScene>(), nullptr);
    EXPECT_EQ(Game::Instance().levels.currentLevel, 0);
    EXPECT_NE(dir.Read("save.xml").find("level=\"0\""), std::string::npos) << dir.Read("save.xml");
}

TEST_F(MainMenuTest, NoOnAConfirmationPageBringsBackTheSevenEntriesAndTheTitle) {
    StartMenu();
    Tap(QN_VK_UP); // from the bottom: Quit game
    ASSERT_EQ(Highlighted(Window()), "Quit game");
    Tap(QN_VK_RETURN);
    WaitOpen(Window());
    EXPECT_NE(Entry("Do you want to exit the game?"), nullptr);
    Choose("No");
    Seconds(1.5f);
    for (const char* text : {"Continue", "Start new game", "Endless Mode", "Level packs", "Options",
                             "Credits", "Quit game"})
        EXPECT_NE(Entry(text), nullptr) << text;
    EXPECT_EQ(Window().elements.size(), 7u) << "the old page is gone";
    EXPECT_FLOAT_EQ(Window().title.tint[3], 1.0f);
    EXPECT_FLOAT_EQ(Window().position.x, 180.0f);
}

TEST_F(MainMenuTest, QuitGameAndYesEndsTheLoopAndTheSettingsAreWritten) {
    StartMenu();
    Tap(QN_VK_UP);
    Tap(QN_VK_RETURN);
    WaitOpen(Window());
    Tap(QN_VK_DOWN);
    ASSERT_EQ(Highlighted(Window()), "Yes");
    QNInputInjectKey(QN_VK_RETURN, true);
    Frames(1);
    QNInputInjectKey(QN_VK_RETURN, false);
    EXPECT_FALSE(Game::Instance().RunFrame()) << "the loop ends on the release";
    Game::Instance().Shutdown();
    EXPECT_EQ(dir.Read("settings.xml"), kSettings);
}

TEST_F(MainMenuTest, TheOptionsTogglesActOncePerSecondAtMost) {
    StartMenu();
    Game& g = Game::Instance();
    Tap(QN_VK_DOWN);
    ChooseAndWait("Options");
    // The toggles say whether they are on.
    EXPECT_NE(Entry("Fullscreen: Off"), nullptr);
    EXPECT_NE(Entry("Audio: On"), nullptr);
    Choose("Fullscreen: Off");
    Tap(QN_VK_RETURN); // again within the second
    EXPECT_TRUE(g.fullscreen) << "switched once";
    EXPECT_EQ(Highlighted(Window()), "Fullscreen: On");
    Seconds(1.0f);
    Tap(QN_VK_RETURN);
    EXPECT_FALSE(g.fullscreen) << "and back after a second";
    EXPECT_EQ(Highlighted(Window()), "Fullscreen: Off");

    Choose("Audio: On");
    EXPECT_FALSE(g.muted) << "the cool-down is shared";
    Seconds(1.0f);
    Tap(QN_VK_RETURN);
    Tap(QN_VK_RETURN);
    EXPECT_TRUE(g.muted);
    EXPECT_EQ(Highlighted(Window()), "Audio: Off");
    Seconds(1.0f);
    Tap(QN_VK_RETURN);
    EXPECT_FALSE(g.muted);
    EXPECT_TRUE(menu->music.IsPlaying() || !g.audioSystem.IsActive())
        << "unmuting plays the menu music again";

    Choose("Close Options");
    WaitOpen(Window());
    EXPECT_NE(Entry("Credits"), nullptr);
}

TEST_F(MainMenuTest, CreditsFadesToTheCreditsAndAKeyComesBack) {
    StartMenu();
    PointAt(Entry("Credits"));
    QNInputInjectKey(QN_VK_LBUTTON, true);
    Frames(1);
    QNInputInjectKey(QN_VK_LBUTTON, false);
    EXPECT_NEAR(FramesUntil([] { return Current<CreditsScene>() != nullptr; }, 60), 31, 2);
    Seconds(1.0f);
    Tap(QN_VK_ESCAPE);
    EXPECT_GE(FramesUntil([] { return Current<MainMenu>() != nullptr; }, 60), 0);
}

} // namespace
