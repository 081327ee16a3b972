// The options page the menus share, in the real loop: the music and effects
// levels stepped with the keys and the mouse, and kept for the next start.
#include "audio/Audio.h"
#include "engine/QNSystem.h"
#include "game/Game.h"
#include "scenes/MainMenu.h"

#include "program/UiDriver.h"

namespace {

class OptionsTest : public UiDriver {
protected:
    // With `keepSettings`, the settings file an earlier start wrote is read.
    void OpenOptions(bool keepSettings = false) {
        if (keepSettings)
            Start([] { return new MainMenu(); }, "");
        else
            Start([] { return new MainMenu(); });
        menu = Current<MainMenu>();
        ASSERT_NE(menu, nullptr);
        WaitOpen(Menu());
        Highlight("Options");
        Tap(QN_VK_RETURN);
        WaitOpen(Menu());
    }
    Window& Menu() const { return *menu->window; }
    // Moves the highlight down to the line starting with `text`.
    void Highlight(const std::string& text) {
        for (int i = 0; i < 12 && Highlighted(Menu()).rfind(text, 0) != 0; ++i)
            Tap(QN_VK_DOWN);
        ASSERT_EQ(Highlighted(Menu()).rfind(text, 0), 0u) << Highlighted(Menu());
    }

    MainMenu* menu = nullptr;
};

TEST_F(OptionsTest, VolumesStepWithTheArrowsAndThePointerAndAreKept) {
    OpenOptions();
    Game& g = Game::Instance();
    Highlight("Music volume");
    EXPECT_EQ(Highlighted(Menu()), "Music volume < 10 >");
    Tap(QN_VK_RIGHT);
    EXPECT_FLOAT_EQ(Audio::State().musicVolume, 1.0f) << "full is as loud as it goes";
    for (int i = 0; i < 3; ++i)
        Tap(QN_VK_LEFT);
    EXPECT_EQ(Highlighted(Menu()), "Music volume < 7 >");
    EXPECT_FLOAT_EQ(Audio::State().musicVolume, 0.7f);
    EXPECT_FLOAT_EQ(g.audioSystem.MixLevel(MixMusic), 0.7f) << "heard at once";
    EXPECT_FLOAT_EQ(Audio::State().effectsVolume, 1.0f) << "the effects stay";

    // A click on the "<" lowers, on the ">" raises; both stop at the ends.
    const auto click = [this](const std::string& text, float side) {
        UIText* line = Menu().FindText(text);
        ASSERT_NE(line, nullptr) << text;
        // Left: over the name; right: over the ">".
        PointAt(line->GetPosition().x + (side < 0.0f ? -0.3f : 0.45f) * line->width,
                line->GetPosition().y);
        QNInputInjectKey(QN_VK_LBUTTON, true);
        Frames(1);
        QNInputInjectKey(QN_VK_LBUTTON, false);
        Frames(1);
    };
    click("Effects volume < 10 >", 1.0f);
    EXPECT_FLOAT_EQ(Audio::State().effectsVolume, 1.0f) << "full does not go round to silent";
    for (int level = 9; level >= 0; --level) {
        click("Effects volume < " + std::to_string(level + 1) + " >", -1.0f);
        EXPECT_NE(Menu().FindText("Effects volume < " + std::to_string(level) + " >"), nullptr);
    }
    click("Effects volume < 0 >", -1.0f);
    EXPECT_FLOAT_EQ(Audio::State().effectsVolume, 0.0f) << "silent does not go round to full";
    EXPECT_FLOAT_EQ(g.audioSystem.MixLevel(MixEffects), 0.0f);
    click("Music volume < 7 >", 1.0f);
    EXPECT_FLOAT_EQ(Audio::State().musicVolume, 0.8f);
    click("Music volume < 8 >", -1.0f);
    EXPECT_FLOAT_EQ(Audio::State().musicVolume, 0.7f);
    // Left at silent stays silent; Enter raises without going round.
    PointAt(-300.0f, -170.0f); // off the lines: the keys' highlight stays
    Highlight("Effects volume");
    Tap(QN_VK_LEFT);
    EXPECT_FLOAT_EQ(Audio::State().effectsVolume, 0.0f);
    Tap(QN_VK_RETURN);
    EXPECT_FLOAT_EQ(Audio::State().effectsVolume, 0.1f);
    Tap(QN_VK_LEFT);

    g.Shutdown();
    const std::string saved = dir.Read("settings.xml");
    EXPECT_NE(saved.find("musicVolume=\"0.69999999\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("effectsVolume=\"0\""), std::string::npos) << saved;

    // The next start plays at the levels the player left.
    Audio::SetMusicVolume(1.0f);
    Audio::SetEffectsVolume(1.0f);
    g.Init();
    EXPECT_FLOAT_EQ(Audio::State().musicVolume, 0.7f);
    EXPECT_FLOAT_EQ(Audio::State().effectsVolume, 0.0f);
    EXPECT_FLOAT_EQ(g.audioSystem.MixLevel(MixMusic), 0.7f);
}

TEST_F(OptionsTest, VerticalSyncIsChosenOnThePageAndKept) {
    OpenOptions();
    Game& g = Game::Instance();
    Frames(61); // the toggles act once a second at most
    Highlight("Vertical sync");
    EXPECT_EQ(Highlighted(Menu()), "Vertical sync: Off");
    Tap(QN_VK_RETURN);
    EXPECT_TRUE(g.vsync);
    // The software driver under test may or may not offer it; the line
    // tells which, and the choice is kept either way.
    EXPECT_EQ(Highlighted(Menu()),
              QNSysIsVSync() ? "Vertical sync: On" : "Vertical sync: not offered");
    g.Shutdown();
    EXPECT_NE(dir.Read("settings.xml").find("vsync=\"1\""), std::string::npos)
        << dir.Read("settings.xml");

    // The next start asks for it again; turning it off forgets it.
    g.vsync = false;
    OpenOptions(true);
    EXPECT_TRUE(g.vsync);
    Frames(61);
    Highlight("Vertical sync");
    Tap(QN_VK_RETURN);
    EXPECT_EQ(Highlighted(Menu()), "Vertical sync: Off");
    EXPECT_FALSE(QNSysIsVSync());
    g.Shutdown();
    EXPECT_EQ(dir.Read("settings.xml").find("vsync"), std::string::npos);
}

TEST_F(OptionsTest, TheScalingIsChosenOnThePageAndKept) {
    OpenOptions();
    Game& g = Game::Instance();
    Frames(61); // the toggles act once a second at most
    Highlight("Scaling");
    EXPECT_EQ(Highlighted(Menu()), "Scaling: Smooth");
    Tap(QN_VK_RETURN);
    EXPECT_EQ(Runtime::Get().scaling, ScreenScaling::PixelPerfect);
    EXPECT_EQ(Highlighted(Menu()), "Scaling: Pixel-perfect");
    g.Shutdown();
    EXPECT_NE(dir.Read("settings.xml").find("scaling=\"pixelperfect\""), std::string::npos)
        << dir.Read("settings.xml");

    // The next start shows it so again.
    Runtime::Get().scaling = ScreenScaling::Smooth;
    OpenOptions(true);
    EXPECT_EQ(Runtime::Get().scaling, ScreenScaling::PixelPerfect);
    g.Shutdown();
}

} // namespace
