// Rebinding in the real loop: the options' controls page binds the next key
// pressed, refuses a key another action needs with a word on the page, keeps
// the change in the settings file, and in a level the new key slashes while
// the old one no longer does.
#include "core/Controls.h"
#include "entities/Player.h"
#include "game/Game.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"

#include "program/UiDriver.h"

namespace {

class RebindingTest : public UiDriver {
protected:
    void TearDown() override {
        UiDriver::TearDown();
        Controls::Current().Reset();
    }
    Window& Menu() const { return *Current<MainMenu>()->window; }
    // Walks the highlight down to the line `text`.
    void Highlight(const std::string& text) {
        for (int i = 0; i < 20 && Highlighted(Menu()) != text; ++i)
            Tap(QN_VK_DOWN);
        ASSERT_EQ(Highlighted(Menu()), text);
    }
    void Choose(const std::string& text) {
        ASSERT_NO_FATAL_FAILURE(Highlight(text));
        Tap(QN_VK_RETURN);
    }
    // From the main menu to the options' controls page, open.
    void OpenControls() {
        Start([] { return new MainMenu(); });
        WaitOpen(Menu());
        ASSERT_NO_FATAL_FAILURE(Choose("Options"));
        WaitOpen(Menu());
        ASSERT_NO_FATAL_FAILURE(Choose("Controls"));
        WaitOpen(Menu());
    }
    std::string Status() const {
        for (const UIElement* e : Menu().elements) {
            const auto* t = dynamic_cast<const UIText*>(e);
            if (!t || t->fadingOut || t->IsInteractive())
                continue;
            const std::string text(t->text.begin(), t->text.end());
            if (text.find(':') != std::string::npos || text.find("already") != std::string::npos)
                return text;
        }
        return "";
    }
    Player* Blade() const { return Current<LevelScene>()->player; }
};

TEST_F(RebindingTest, ANewKeySlashesTheOldOneNoLongerDoesAndAConflictIsRefused) {
    Game::Instance().levels = LevelCatalogue("levels.xml");
    ASSERT_NO_FATAL_FAILURE(OpenControls());
    ASSERT_NE(Menu().FindText("Left mouse button"), nullptr) << "the light slash's key";

    Choose("Light slash");
    Frames(2);
    Tap('K');
    EXPECT_EQ(Controls::Current().Get(Action::LightSlash).key, 'K');
    EXPECT_EQ(Status(), "Light slash: K (was Left mouse button)");
    EXPECT_EQ(Menu().FindText("Left mouse button"), nullptr);
    EXPECT_NE(dir.Read("settings.xml").find("<bind action=\"lightSlash\" key=\"K\" pad=\"A\"/>"),
              std::string::npos)
        << "kept at once: " << dir.Read("settings.xml");

    // K for the heavy slash as well: refused, and said so.
    Choose("Heavy slash");
    Frames(2);
    Tap('K');
    EXPECT_EQ(Controls::Current().Get(Action::HeavySlash).key, QN_VK_RBUTTON);
    EXPECT_EQ(Status(), "K is already Light slash");

    // In a level K slashes and the left mouse button no longer does.
    Game::Instance().SetNextScene(new LevelScene());
    ASSERT_GE(FramesUntil([this] { return Current<LevelScene>() != nullptr; }, 10), 0)
        << Game::Instance().lastError;
    Seconds(0.8f);
    ASSERT_NE(Blade(), nullptr);
    QNInputInjectKey(QN_VK_LBUTTON, true);
    Frames(2);
    QNInputInjectKey(QN_VK_LBUTTON, false);
    EXPECT_NE(Blade()->state, PlayerSlash) << "the old key";
    Frames(30);
    QNInputInjectKey('K', true);
    Frames(2);
    QNInputInjectKey('K', false);
    EXPECT_EQ(Blade()->state, PlayerSlash) << "the new key";
}

// Keys held as a person holds them, several frames each: the page binds the
// action chosen, says what changed, and waits for nothing else.
TEST_F(RebindingTest, TheChosenActionIsBoundAndThePageSaysWhatChanged) {
    ASSERT_NO_FATAL_FAILURE(OpenControls());
    ASSERT_NO_FATAL_FAILURE(Highlight("Talk, use"));
    const auto hold = [this](uint8_t key, int frames) {
        QNInputInjectKey(key, true);
        Frames(frames);
        QNInputInjectKey(key, false);
        Frames(frames);
    };
    hold(QN_VK_RETURN, 6);
    hold('F', 6);
    Frames(30);
    EXPECT_EQ(Controls::Current().Get(Action::Talk).key, 'F');
    EXPECT_EQ(Controls::Current().Get(Action::Pause).key, QN_VK_ESCAPE);
    EXPECT_EQ(Status(), "Talk, use: F (was E)");
    EXPECT_EQ(Highlighted(Menu()), "Talk, use") << "the highlight stays on the action";
    Seconds(6.0f);
    EXPECT_EQ(Status(), "Talk, use: F (was E)") << "nothing else waits for a key";
}

// The lines stand close: a click on the lower half of one line chooses that
// line, not the one under it as well.
TEST_F(RebindingTest, AClickChoosesOneActionOnly) {
    ASSERT_NO_FATAL_FAILURE(OpenControls());
    Seconds(0.7f);
    const UIText* talk = Menu().FindText("Talk, use");
    ASSERT_NE(talk, nullptr);
    PointAt(talk->GetPosition().x, talk->GetPosition().y - 0.45f * std::fabs(talk->height));
    Frames(1);
    QNInputInjectKey(QN_VK_LBUTTON, true);
    Frames(3);
    QNInputInjectKey(QN_VK_LBUTTON, false);
    Frames(3);
    EXPECT_NE(Menu().FindText("Press a key or a pad button for Talk, use"), nullptr);
    EXPECT_EQ(Highlighted(Menu()), "Talk, use");
    Tap('F');
    Frames(3);
    EXPECT_EQ(Controls::Current().Get(Action::Talk).key, 'F');
    EXPECT_EQ(Controls::Current().Get(Action::Pause).key, QN_VK_ESCAPE);
    EXPECT_EQ(Status(), "Talk, use: F (was E)");
}

TEST_F(RebindingTest, ResetRestoresTheDefaults) {
    Controls::Current().BindKey(Action::Pause, 'P');
    ASSERT_NO_FATAL_FAILURE(OpenControls());
    EXPECT_NE(Menu().FindText("Escape"), nullptr) << "the settings file had no rebinding";
    Controls::Current().BindKey(Action::Pause, 'P');
    Choose("Reset to defaults");
    EXPECT_EQ(Controls::Current().bindings, DefaultBindings());
    EXPECT_EQ(dir.Read("settings.xml").find("bind"), std::string::npos);
}

} // namespace
