// Windows driven through the real game loop: keyboard, pad and mouse
// navigation, the press on release, the open animation and fading pages.
#include "render/PostProcessor.h"
#include "render/Sprite2D.h"

#include "program/UiDriver.h"

#include <memory>
#include <vector>

namespace {

// A scene that shows one window over black, drawn as the menus draw theirs.
class WindowScene : public Scene {
public:
    void Load() override {
        Scene::Load();
        window = std::make_unique<Window>(0.0f, 0.0f, 20.0f, 20.0f, RenderColor{0, 0, 0, 0});
    }
    void Init() override {}
    void Update(float dt) override { window->Update(dt); }
    void Draw(int pass) override {
        if (pass == 0) {
            postProcessor->Begin();
            postProcessor->ClearOverlay();
            window->Draw(postProcessor);
            return;
        }
        postProcessor->BeginLighting(7, 1, 2);
        postProcessor->Present(0);
    }
    void Free() override {}
    void Unload() override {
        window.reset();
        Scene::Unload();
    }
    std::unique_ptr<Window> window;
};

class WindowTest : public UiDriver {
protected:
    // A window with a title, two buttons around a grey inert line, opened
    // with a background and waited for.
    void StartMenu(float backgroundOpacity = 0.6f) {
        Start([] { return new WindowScene(); });
        w = Current<WindowScene>()->window.get();
        w->AddText("Title", {0.0f, 60.0f}, {1.0f, 1.0f});
        first = w->AddButton(
            "First", {0.0f, 20.0f}, [this] { actions.push_back("First"); }, true);
        w->AddText("Grey", {0.0f, 0.0f});
        second = w->AddButton(
            "Second", {0.0f, -20.0f}, [this] { actions.push_back("Second"); }, false);
        w->Open(nullptr, {0.0f, 0.0f}, {200.0f, 160.0f}, {0.0f, 0.0f, 0.0f, backgroundOpacity},
                1.0f, 1.0f);
        // Input resumes after 0.8 s; the content has its full size at 1.4 s.
        WaitOpen(*w);
        Seconds(0.6f);
    }

    Window* w = nullptr;
    UIText* first = nullptr;
    UIText* second = nullptr;
    std::vector<std::string> actions;
};

TEST_F(WindowTest, OpeningIsBusyUntilThePlaceIsReachedAndCallsBackWhenTheContentHasGrown) {
    Start([] { return new WindowScene(); });
    Window& win = *Current<WindowScene>()->window;
    int opened = 0;
    win.Open([&] { ++opened; }, {30.0f, -10.0f}, {100.0f, 80.0f}, {0.0f, 0.0f, 0.0f, 0.8f}, 1.0f,
             1.0f);
    EXPECT_TRUE(win.busy);
    EXPECT_EQ(win.contentOpacity, 0.0f);
    const int movedIn = FramesUntil([&] { return !win.busy; });
    EXPECT_NEAR(movedIn, 48, 1) << "0.8 s";
    EXPECT_FLOAT_EQ(win.position.x, 30.0f);
    EXPECT_FLOAT_EQ(win.size.y, 80.0f);
    EXPECT_EQ(opened, 0);
    EXPECT_LT(win.contentScale.x, 1.0f);
    const int grown = FramesUntil([&] { return opened > 0; });
    EXPECT_NEAR(movedIn + grown, 84, 1) << "1.4 s";
    EXPECT_FLOAT_EQ(win.contentScale.x, 1.0f);
    EXPECT_FLOAT_EQ(win.contentOpacity, 1.0f);
    EXPECT_FLOAT_EQ(win.frame[0]->tint[3], 1.0f) << "the frame fades in with the content";
    EXPECT_TRUE(win.Showing());
}

TEST_F(WindowTest, KeysAndPadMoveTheHighlightOverInteractiveLinesOnlyAndWrap) {
    StartMenu();
    EXPECT_EQ(Highlighted(*w), "");
    Tap(QN_VK_DOWN);
    EXPECT_EQ(Highlighted(*w), "First") << "down starts from the top";
    EXPECT_TRUE(first->selected);
    EXPECT_TRUE(first->stickySelection);
    Tap(QN_VK_DOWN);
    EXPECT_EQ(Highlighted(*w), "Second") << "the grey line is passed by";
    EXPECT_FALSE(first->selected);
    TapPad(PAD_DOWN);
    EXPECT_EQ(Highlighted(*w), "First") << "wraps from the end";
    TapPad(PAD_UP);
    EXPECT_EQ(Highlighted(*w), "Second") << "wraps from the start";

    // The highlight shows: green and larger once its 0.2 s have passed.
    Seconds(0.25f);
    EXPECT_FLOAT_EQ(second->color[0], 0.0f);
    EXPECT_FLOAT_EQ(second->color[1], 1.0f);
    EXPECT_FLOAT_EQ(second->scaleOffset.x, 0.2f);
    EXPECT_FLOAT_EQ(first->color[0], 1.0f);
    EXPECT_FLOAT_EQ(first->scaleOffset.x, 0.0f);
}

TEST_F(WindowTest, UpFromNothingStartsFromTheBottomAndBothAtOnceDoNothing) {
    StartMenu();
    QNInputInjectKey(QN_VK_UP, true);
    QNInputInjectKey(QN_VK_DOWN, true);
    Frames(1);
    QNInputInjectKey(QN_VK_UP, false);
    QNInputInjectKey(QN_VK_DOWN, false);
    Frames(1);
    EXPECT_EQ(w->selectedIndex, -1);
    Tap(QN_VK_UP);
    EXPECT_EQ(Highlighted(*w), "Second");
}

TEST_F(WindowTest, AWindowWithNothingToPressKeepsNoHighlight) {
    Start([] { return new WindowScene(); });
    Window& win = *Current<WindowScene>()->window;
    win.AddText("Only words", {0.0f, 0.0f});
    win.Open(nullptr, {0.0f, 0.0f}, {200.0f, 100.0f}, {0.0f, 0.0f, 0.0f, 0.6f}, 1.0f, 1.0f);
    WaitOpen(win);
    Tap(QN_VK_DOWN);
    Tap(QN_VK_UP);
    EXPECT_EQ(win.selectedIndex, -1);
}

TEST_F(WindowTest, EnterHeldAndReleasedPressesOnceAndActsOnRelease) {
    StartMenu();
    Tap(QN_VK_DOWN);
    std::vector<bool> calls;
    auto action = first->onPress;
    first->onPress = [&calls, action](UIElement* e, bool state) {
        calls.push_back(state);
        return action(e, state);
    };
    QNInputInjectKey(QN_VK_RETURN, true);
    Frames(20);
    EXPECT_EQ(calls, std::vector<bool>{true});
    EXPECT_TRUE(first->pressed);
    EXPECT_TRUE(actions.empty()) << "nothing happens while held";
    Seconds(0.25f);
    EXPECT_FLOAT_EQ(first->color[2], 0.0f) << "yellow while held";
    QNInputInjectKey(QN_VK_RETURN, false);
    Frames(20);
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));
    EXPECT_EQ(actions, std::vector<std::string>{"First"});
    EXPECT_FLOAT_EQ(first->color[1], 0.0f) << "red once released";
}

TEST_F(WindowTest, AButtonThatLeavesIsDroppedByItsReleaseAndAKeptOneActsAgain) {
    StartMenu();
    Tap(QN_VK_DOWN); // First: kept
    Tap(QN_VK_RETURN);
    Tap(QN_VK_RETURN);
    Tap(QN_VK_DOWN); // Second: dropped by its release
    Tap(QN_VK_RETURN);
    Tap(QN_VK_RETURN);
    EXPECT_EQ(actions, (std::vector<std::string>{"First", "First", "Second"}));
    EXPECT_FALSE(second->onPress);
}

TEST_F(WindowTest, AMouseHighlightVanishesWhenThePointerLeavesAndAKeyboardOneStays) {
    StartMenu();
    PointAt(first);
    Frames(1);
    EXPECT_EQ(Highlighted(*w), "First");
    EXPECT_FALSE(first->stickySelection);
    PointAt(-300.0f, -170.0f);
    Frames(1);
    EXPECT_EQ(w->selectedIndex, -1);
    EXPECT_FALSE(first->selected);

    Tap(QN_VK_DOWN);
    Tap(QN_VK_DOWN);
    EXPECT_EQ(Highlighted(*w), "Second");
    PointAt(250.0f, 150.0f);
    Frames(5);
    EXPECT_EQ(Highlighted(*w), "Second");
    EXPECT_TRUE(second->selected);

    // The pointer on another button takes the highlight over.
    PointAt(first);
    Frames(1);
    EXPECT_EQ(Highlighted(*w), "First");
    EXPECT_FALSE(second->selected);
}

TEST_F(WindowTest, AClickActsOnReleaseAndTheHitBoxReachesTheTextSizeAroundItsCentre) {
    StartMenu();
    first->onSelect = [](UIElement*, bool) { return true; }; // keep the size steady
    const Vec2 size = first->GetSize();
    const Vec2 at = first->GetPosition();
    ASSERT_GT(size.x, 10.0f);
    struct Case {
        float dx, dy;
        bool hit;
    } cases[] = {{0.0f, 0.0f, true}, {0.95f, 0.0f, true},  {-0.95f, 0.0f, true},
                 {0.0f, 0.9f, true}, {1.05f, 0.0f, false}, {0.0f, -1.1f, false}};
    for (const Case& c : cases) {
        PointAt(at.x + c.dx * size.x, at.y + c.dy * std::fabs(size.y));
        Frames(1);
        EXPECT_EQ(first->selected, c.hit) << c.dx << ", " << c.dy;
    }
    PointAt(first);
    QNInputInjectKey(QN_VK_LBUTTON, true);
    Frames(3);
    EXPECT_TRUE(first->pressed);
    EXPECT_TRUE(actions.empty());
    QNInputInjectKey(QN_VK_LBUTTON, false);
    Frames(1);
    EXPECT_EQ(actions, std::vector<std::string>{"First"});
    Frames(3);
    EXPECT_EQ(actions.size(), 1u);
    // The grey line takes no clicks.
    PointAt(0.0f, 0.0f);
    QNInputInjectKey(QN_VK_LBUTTON, true);
    Frames(1);
    QNInputInjectKey(QN_VK_LBUTTON, false);
    Frames(1);
    EXPECT_EQ(w->selectedIndex, -1);
    EXPECT_EQ(actions.size(), 1u);
}

TEST_F(WindowTest, APointerRestingOnAButtonDoesNotReleaseAPressHeldOnTheKeys) {
    StartMenu();
    Tap(QN_VK_DOWN);
    PointAt(first);
    Frames(1);
    QNInputInjectKey(QN_VK_RETURN, true);
    Frames(10);
    EXPECT_TRUE(actions.empty());
    QNInputInjectKey(QN_VK_RETURN, false);
    Frames(10);
    EXPECT_EQ(actions, std::vector<std::string>{"First"});
}

TEST_F(WindowTest, ATransparentWindowIgnoresKeysButAnswersTheMouse) {
    StartMenu(0.0f);
    Tap(QN_VK_DOWN);
    EXPECT_EQ(w->selectedIndex, -1);
    PointAt(second);
    Frames(1);
    EXPECT_EQ(Highlighted(*w), "Second");
}

TEST_F(WindowTest, ABusyWindowIgnoresInputUntilItHasMoved) {
    Start([] { return new WindowScene(); });
    Window& win = *Current<WindowScene>()->window;
    UIText* b = win.AddButton("Go", {0.0f, 0.0f}, nullptr, true);
    win.Open(nullptr, {0.0f, 0.0f}, {200.0f, 100.0f}, {0.0f, 0.0f, 0.0f, 0.6f}, 1.0f, 1.0f);
    Seconds(0.4f);
    Tap(QN_VK_DOWN);
    EXPECT_EQ(win.selectedIndex, -1);
    PointAt(b);
    Frames(1);
    EXPECT_FALSE(b->selected);
    WaitOpen(win);
    Frames(1);
    EXPECT_TRUE(b->selected);
}

TEST_F(WindowTest, FadedElementsAreDeletedAndTheHighlightFollowsWhatRemains) {
    StartMenu();
    Tap(QN_VK_DOWN);
    Tap(QN_VK_DOWN);
    ASSERT_EQ(w->selectedIndex, 3);
    // An element above the highlight goes: the highlight stays on its line.
    w->elements[0]->FadeOut();
    EXPECT_NE(FramesUntil([&] { return w->elements.size() == 3; }, 30), -1) << "gone in 0.3 s";
    EXPECT_EQ(Highlighted(*w), "Second");
    // The highlighted element goes: nothing is highlighted.
    second->FadeOut();
    EXPECT_NE(FramesUntil([&] { return w->elements.size() == 2; }, 30), -1);
    EXPECT_EQ(w->selectedIndex, -1);
    // A fading line cannot be reached meanwhile.
    first->FadeOut();
    Tap(QN_VK_DOWN);
    EXPECT_EQ(w->selectedIndex, -1);
}

TEST_F(WindowTest, ClosingShrinksTheContentToNothingSoTheMouseFindsNoButton) {
    StartMenu();
    w->Open(nullptr, {0.0f, 0.0f}, {20.0f, 50.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.0f, 0.0f);
    EXPECT_FALSE(w->Showing()) << "play resumes as soon as the window starts closing";
    Seconds(1.5f);
    EXPECT_FLOAT_EQ(first->GetSize().x, 0.0f);
    PointAt(0.0f, 0.0f);
    Frames(2);
    EXPECT_EQ(w->selectedIndex, -1);
}

} // namespace
