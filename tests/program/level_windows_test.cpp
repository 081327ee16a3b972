// The pause and death windows inside a running level: the pause key, the
// options page, leaving for the menu, and the restart after dying.
#include "entities/Player.h"
#include "game/Game.h"
#include "render/FadeTransition.h"
#include "render/PostProcessor.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"

#include "program/UiDriver.h"

namespace {

class LevelWindowsTest : public UiDriver {
protected:
    void SetUp() override {
        Game::Instance().levels = LevelCatalogue("levels.xml"); // no save: the first level
        Start([] { return new LevelScene(); });
        level = Current<LevelScene>();
        ASSERT_NE(level, nullptr) << Game::Instance().lastError;
        Seconds(0.6f); // faded in
    }
    PauseWindow& Pause() const { return *level->pauseWindow; }
    DeathWindow& Death() const { return *level->deathWindow; }
    void Choose(Window& w, const char* text) {
        for (int i = 0; i < 8 && Highlighted(w) != text; ++i)
            Tap(QN_VK_DOWN);
        ASSERT_EQ(Highlighted(w), text);
        Tap(QN_VK_RETURN);
    }
    // The level's picture stands still while paused: its noise stops moving.
    bool Frozen() {
        const float before = level->postProcessor->sampleX;
        Frames(2);
        return level->postProcessor->sampleX == before;
    }

    LevelScene* level = nullptr;
};

TEST_F(LevelWindowsTest, EscapePausesAndResumes) {
    EXPECT_FALSE(level->paused);
    Tap(QN_VK_ESCAPE);
    EXPECT_TRUE(level->paused);
    EXPECT_TRUE(Frozen());
    WaitOpen(Pause());
    EXPECT_FLOAT_EQ(Pause().size.x, 100.0f);
    EXPECT_FLOAT_EQ(Pause().size.y, 150.0f);
    Seconds(0.5f); // the colour takes 1.2 s
    EXPECT_FLOAT_EQ(Pause().background[3], kWindowShade) << "opaque enough to read over a room";
    // The title stands inside the frame with room to spare.
    const UIText* title = Pause().FindText("Paused");
    ASSERT_NE(title, nullptr);
    EXPECT_LE(title->GetPosition().y + std::fabs(title->height) / 2.0f,
              Pause().position.y + Pause().size.y / 2.0f - 6.0f);
    EXPECT_LE(title->width, Pause().size.x - 20.0f);
    EXPECT_NE(Pause().FindText("Resume "), nullptr);
    EXPECT_NE(Pause().FindText("Quit "), nullptr);
    EXPECT_FLOAT_EQ(level->cursor->tint[3], 1.0f) << "the pointer shows while paused";
    Tap(QN_VK_ESCAPE);
    EXPECT_FALSE(level->paused) << "play goes on as the window closes";
    EXPECT_FALSE(Frozen());
    // The pad's Start does the same (the pad is read at the end of a frame).
    TapPad(PAD_START);
    Frames(1);
    EXPECT_TRUE(level->paused);
}

TEST_F(LevelWindowsTest, ResumeClosesTheWindowAndPlayGoesOn) {
    Tap(QN_VK_ESCAPE);
    WaitOpen(Pause());
    Choose(Pause(), "Resume ");
    EXPECT_FALSE(level->paused);
    Seconds(1.5f);
    EXPECT_FLOAT_EQ(Pause().size.x, 20.0f);
    Tap(QN_VK_ESCAPE);
    WaitOpen(Pause());
    Choose(Pause(), "Resume "); // it stays installed
    EXPECT_FALSE(level->paused);
}

TEST_F(LevelWindowsTest, ThePauseInSlowMotionGivesNormalTimeBackFirst) {
    Game::Instance().timeScale = 0.5f;
    QNInputInjectKey(QN_VK_ESCAPE, true);
    Frames(1);
    QNInputInjectKey(QN_VK_ESCAPE, false);
    EXPECT_TRUE(level->paused);
    EXPECT_FLOAT_EQ(Game::Instance().timeScale, 1.0f);
    WaitOpen(Pause());
}

TEST_F(LevelWindowsTest, EscapeOnTheOptionsPageGoesBackInsteadOfResuming) {
    Tap(QN_VK_ESCAPE);
    WaitOpen(Pause());
    Choose(Pause(), "Options");
    WaitOpen(Pause());
    EXPECT_TRUE(Pause().optionsShown);
    EXPECT_FLOAT_EQ(Pause().size.x, 190.0f);
    EXPECT_NE(Pause().FindText("Audio: On"), nullptr);
    Tap(QN_VK_ESCAPE);
    EXPECT_TRUE(level->paused);
    EXPECT_FALSE(Pause().optionsShown);
    WaitOpen(Pause());
    EXPECT_NE(Pause().FindText("Resume "), nullptr);
    EXPECT_EQ(Pause().FindText("Audio: On"), nullptr);
    EXPECT_FLOAT_EQ(Pause().size.x, 100.0f);
    Tap(QN_VK_ESCAPE);
    EXPECT_FALSE(level->paused);
}

TEST_F(LevelWindowsTest, TheOptionsTogglesActOncePerSecondAtMost) {
    Game& g = Game::Instance();
    Tap(QN_VK_ESCAPE);
    WaitOpen(Pause());
    Choose(Pause(), "Options");
    WaitOpen(Pause());
    const bool wasFullscreen = g.fullscreen;
    Choose(Pause(), "Fullscreen: Off");
    Tap(QN_VK_RETURN);
    EXPECT_NE(g.fullscreen, wasFullscreen) << "switched once";
    Seconds(1.0f);
    Tap(QN_VK_RETURN);
    EXPECT_EQ(g.fullscreen, wasFullscreen);
    Choose(Pause(), "Audio: On");
    Seconds(1.0f);
    Tap(QN_VK_RETURN);
    Tap(QN_VK_RETURN);
    EXPECT_TRUE(g.muted);
    Choose(Pause(), "Close Options");
    WaitOpen(Pause());
    EXPECT_FALSE(Pause().optionsShown);
}

TEST_F(LevelWindowsTest, QuitAsksFirstThenFadesOutForHalfASecondToTheMainMenu) {
    Tap(QN_VK_ESCAPE);
    WaitOpen(Pause());
    // "No" and Escape both come back to the pause window, still paused.
    for (const bool escape : {false, true}) {
        Choose(Pause(), "Quit ");
        WaitOpen(Pause());
        EXPECT_NE(Pause().FindText("Do you want to leave the level?"), nullptr);
        EXPECT_EQ(Current<MainMenu>(), nullptr) << "the level is still there";
        if (escape)
            Tap(QN_VK_ESCAPE);
        else
            Choose(Pause(), "No");
        WaitOpen(Pause());
        EXPECT_TRUE(level->paused);
        EXPECT_NE(Pause().FindText("Resume "), nullptr);
    }
    Choose(Pause(), "Quit ");
    WaitOpen(Pause());
    Choose(Pause(), "Yes");
    const int frames = FramesUntil([] { return Current<MainMenu>() != nullptr; }, 60);
    EXPECT_NEAR(frames, 31, 2);
}

TEST_F(LevelWindowsTest, DeathOpensTheDeathWindowAndTryAgainStandsBladeUpOnTheNextFrame) {
    ASSERT_NE(level->player, nullptr);
    EXPECT_FLOAT_EQ(level->hud->health.fill, 1.0f);
    level->player->ChangeHealth(-10.0f, nullptr);
    Seconds(0.25f);
    EXPECT_FLOAT_EQ(level->hud->health.fill, 0.0f) << "the player's health reaches the HUD";
    EXPECT_TRUE(level->hud->health.pulsing);
    ASSERT_GE(FramesUntil([&] { return level->deathShown; }, 300), 0);
    WaitOpen(Death());
    EXPECT_FLOAT_EQ(Death().size.x, 140.0f);
    const UIText* title = Death().FindText("Blade died");
    ASSERT_NE(title, nullptr);
    EXPECT_LE(title->width, Death().size.x - 20.0f) << "the title stays inside the frame";
    // The pause key does nothing now.
    Tap(QN_VK_ESCAPE);
    EXPECT_FALSE(level->paused);
    Choose(Death(), "Try again");
    EXPECT_EQ(Game::Instance().nextScene, nullptr) << "the same level plays on";
    EXPECT_EQ(Current<LevelScene>(), level);
    EXPECT_FALSE(level->deathShown) << "no fade-out: Blade stands again at once";
    ASSERT_NE(level->player, nullptr);
    EXPECT_EQ(level->player->state, PlayerIdle);
    EXPECT_FLOAT_EQ(level->player->health, 1.0f);
    EXPECT_GT(FadeTransition::Instance().color[3], 0.5f) << "the room fades in";
    Seconds(0.6f);
    EXPECT_FLOAT_EQ(FadeTransition::Instance().color[3], 0.0f);
    EXPECT_FLOAT_EQ(level->hud->health.fill, 1.0f);
}

TEST_F(LevelWindowsTest, BackToMenuLeavesAtOnce) {
    level->player->ChangeHealth(-10.0f, nullptr);
    ASSERT_GE(FramesUntil([&] { return level->deathShown; }, 300), 0);
    WaitOpen(Death());
    Choose(Death(), "Back to menu ");
    Frames(1);
    EXPECT_NE(Current<MainMenu>(), nullptr);
}

} // namespace
