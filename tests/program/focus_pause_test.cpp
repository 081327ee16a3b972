// The game window going to the background: a level pauses behind its pause
// window and stays paused when the window comes back; the sound holds while
// the window is away; the menu has nothing to pause.
#include "entities/Player.h"
#include "game/Game.h"
#include "render/PostProcessor.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"

#include "program/UiDriver.h"

#include <SDL.h>

namespace {

class FocusPauseTest : public UiDriver {
protected:
    // A window event as the desktop would send it (a scripted run ignores
    // the real desktop's focus).
    static void Send(SDL_WindowEventID what) { QNSysInjectWindowEvent(static_cast<Uint8>(what)); }
    void StartLevel() {
        Game::Instance().levels = LevelCatalogue("levels.xml");
        Start([] { return new LevelScene(); });
        level = Current<LevelScene>();
        ASSERT_NE(level, nullptr) << Game::Instance().lastError;
        Seconds(0.6f);
        ASSERT_FALSE(level->paused);
    }
    // The level's picture stands still while paused: its noise stops moving.
    bool Frozen() {
        const float before = level->postProcessor->sampleX;
        Frames(2);
        return level->postProcessor->sampleX == before;
    }
    bool SoundHeld() const { return Game::Instance().gameSounds.IsPaused(); }

    LevelScene* level = nullptr;
};

TEST_F(FocusPauseTest, LosingTheFocusPausesTheLevelUntilThePlayerResumes) {
    StartLevel();
    EXPECT_FALSE(SoundHeld());
    Send(SDL_WINDOWEVENT_FOCUS_LOST);
    Frames(2);
    EXPECT_TRUE(level->paused);
    EXPECT_TRUE(Frozen()) << "nothing moves while nobody watches";
    EXPECT_TRUE(SoundHeld());
    WaitOpen(*level->pauseWindow);
    EXPECT_NE(level->pauseWindow->FindText("Resume "), nullptr);

    // Back in front: the sound goes on, the game waits for the player.
    Send(SDL_WINDOWEVENT_FOCUS_GAINED);
    Seconds(1.0f);
    EXPECT_FALSE(SoundHeld());
    EXPECT_TRUE(level->paused);
    EXPECT_TRUE(Frozen());
    Tap(QN_VK_ESCAPE);
    EXPECT_FALSE(level->paused);
    EXPECT_FALSE(Frozen());
}

TEST_F(FocusPauseTest, MinimisingPausesToo) {
    StartLevel();
    Send(SDL_WINDOWEVENT_MINIMIZED);
    Frames(2);
    EXPECT_TRUE(level->paused);
    EXPECT_TRUE(SoundHeld());
    Send(SDL_WINDOWEVENT_RESTORED);
    Send(SDL_WINDOWEVENT_FOCUS_GAINED);
    Frames(2);
    EXPECT_FALSE(SoundHeld());
    EXPECT_TRUE(level->paused);
}

TEST_F(FocusPauseTest, SlowMotionDoesNotKeepTheGameRunningInTheBackground) {
    // Escape is refused while Blade aims in slowed time; the focus is not.
    StartLevel();
    Game::Instance().timeScale = 0.2f;
    Send(SDL_WINDOWEVENT_FOCUS_LOST);
    Frames(2);
    EXPECT_TRUE(level->paused);
    EXPECT_FLOAT_EQ(Game::Instance().timeScale, 1.0f) << "the menu opens at its own pace";
    WaitOpen(*level->pauseWindow);
}

TEST_F(FocusPauseTest, TheMenuHasNothingToPauseButFallsSilent) {
    Start([] { return new MainMenu(); });
    MainMenu* menu = Current<MainMenu>();
    ASSERT_NE(menu, nullptr);
    WaitOpen(*menu->window);
    Send(SDL_WINDOWEVENT_FOCUS_LOST);
    Frames(2);
    EXPECT_EQ(Current<MainMenu>(), menu);
    EXPECT_NE(menu->window->FindText("Start new game"), nullptr) << "the menu stays as it was";
    EXPECT_FALSE(menu->window->busy);
    EXPECT_TRUE(SoundHeld());
    Send(SDL_WINDOWEVENT_FOCUS_GAINED);
    Frames(2);
    EXPECT_FALSE(SoundHeld());
}

} // namespace
