// The splash and credits scenes in the real loop: the splash's timed phases
// and the skip rule, and the credits leaving on any key or button.
#include "game/Game.h"
#include "scenes/CreditsScene.h"
#include "scenes/MainMenu.h"
#include "scenes/SplashScene.h"

#include "program/UiDriver.h"

#include <cmath>
#include <vector>

namespace {

class SplashTest : public UiDriver {
protected:
    // Runs the splash to the main menu; the seconds at which each phase
    // began, and the seconds until the menu was current.
    std::vector<float> PhaseStarts(const std::function<void(int frame)>& input) {
        std::vector<float> starts{0.0f};
        for (int frame = 1; frame < 900; ++frame) {
            input(frame);
            Frames(1);
            if (auto* splash = Current<SplashScene>()) {
                if (static_cast<size_t>(splash->state) >= starts.size())
                    starts.push_back(static_cast<float>(frame) / 60.0f);
            } else if (Current<MainMenu>()) {
                starts.push_back(static_cast<float>(frame) / 60.0f);
                break;
            }
        }
        return starts;
    }
};

TEST_F(SplashTest, WithoutInputEachLogoFadesInHoldsAndFadesOutThenTheMenuComes) {
    Start([] { return new SplashScene(); });
    // Both logos fit on the screen (a 640 x 360 render), centred.
    const auto* splash = Current<SplashScene>();
    for (const Sprite2D* logo : {static_cast<const Sprite2D*>(splash->firstLogo.get()),
                                 static_cast<const Sprite2D*>(splash->secondLogo.get())}) {
        EXPECT_LE(std::fabs(logo->position.x) + logo->scale.x / 2.0f, 320.0f);
        EXPECT_LE(std::fabs(logo->position.y) + logo->scale.y / 2.0f, 180.0f);
        EXPECT_FLOAT_EQ(logo->position.x, 0.0f);
        EXPECT_FLOAT_EQ(logo->position.y, 0.0f);
    }
    const std::vector<float> starts = PhaseStarts([](int) {});
    // Phases 0 to 5, then the menu: 0.5 + 1.5 + 0.5 for each logo.
    const std::vector<float> expected{0.0f, 0.5f, 2.0f, 2.5f, 3.0f, 4.5f, 5.0f};
    ASSERT_EQ(starts.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(starts[i], expected[i], 0.07f) << "phase " << i; // a frame per phase at most
    EXPECT_FLOAT_EQ(FadeTransition::Instance().color[3], 1.0f)
        << "the menu fades in from full black";
}

TEST_F(SplashTest, AKeyInTheFirstHalfSecondIsIgnored) {
    Start([] { return new SplashScene(); });
    const std::vector<float> starts =
        PhaseStarts([](int frame) { QNInputInjectKey(QN_VK_SPACE, frame < 25); });
    ASSERT_EQ(starts.size(), 7u);
    EXPECT_NEAR(starts[6], 5.0f, 0.07f);
}

TEST_F(SplashTest, AKeyAfterHalfASecondCutsBothHolds) {
    struct Case {
        const char* name;
        int pressFrame; // the one frame the key is down
    } cases[] = {{"during the first fade", 33}, {"during the first hold", 60}};
    for (const Case& c : cases) {
        Start([] { return new SplashScene(); });
        const std::vector<float> starts =
            PhaseStarts([&](int frame) { QNInputInjectKey(QN_VK_RETURN, frame == c.pressFrame); });
        ASSERT_EQ(starts.size(), 7u) << c.name;
        const float held1 = starts[2] - starts[1], held2 = starts[5] - starts[4];
        EXPECT_LT(held1, static_cast<float>(c.pressFrame) / 60.0f) << c.name;
        EXPECT_LT(held2, 0.05f) << c.name << ": the second hold is cut as well";
        EXPECT_LT(starts[6], 2.0f + static_cast<float>(c.pressFrame) / 60.0f) << c.name;
        Game::Instance().Shutdown();
    }
}

TEST_F(SplashTest, APadButtonCutsTheHoldsToo) {
    Start([] { return new SplashScene(); });
    Seconds(0.6f);
    TapPad(PAD_B);
    const std::vector<float> starts = PhaseStarts([](int) {});
    EXPECT_NEAR(starts.back(), 1.5f, 0.1f) << "about two seconds in all";
}

class CreditsTest : public UiDriver {
protected:
    // The fade-outs running towards the main menu.
    static size_t FadeOuts() {
        size_t n = 0;
        for (const FloatTween& t : FloatTweens())
            n += t.target == &FadeTransition::Instance().color[3] && t.to[0] == 1.0f;
        return n;
    }
};

TEST_F(CreditsTest, APadButtonPressedOnceStartsOneFadeBackToTheMenu) {
    Start([] { return new CreditsScene(); });
    Seconds(1.0f);
    EXPECT_FLOAT_EQ(FadeTransition::Instance().color[3], 0.0f) << "faded in";
    Seconds(1.0f);
    ASSERT_NE(Current<CreditsScene>(), nullptr) << "the picture stays until something is pressed";
    TapPad(PAD_A);
    Frames(3);
    EXPECT_EQ(FadeOuts(), 1u);
    EXPECT_GE(FramesUntil([] { return Current<MainMenu>() != nullptr; }, 60), 0);
}

TEST_F(CreditsTest, AHeldKeyStartsAFadePerFrameAndTheFirstToFinishSwitches) {
    Start([] { return new CreditsScene(); });
    Seconds(0.6f);
    QNInputInjectKey(QN_VK_SPACE, true);
    Frames(10);
    EXPECT_EQ(FadeOuts(), 10u);
    const int more = FramesUntil([] { return Current<MainMenu>() != nullptr; }, 60);
    EXPECT_NEAR(10 + more, 31, 1) << "half a second after the first";
    QNInputInjectKey(QN_VK_SPACE, false);
}

} // namespace
