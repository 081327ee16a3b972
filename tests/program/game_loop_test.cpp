// The real game loop driven frame by frame: start-up from settings, scene
// switches at the start of a frame, the clock, screenshots, shut-down.
#include "core/Tween.h"
#include "engine/QNGraphics.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "engine/QNSystem.h"
#include "game/Game.h"
#include "render/FadeTransition.h"
#include "scenes/Scene.h"

#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gEvents;

// A scene that records what the loop does to it.
class ProbeScene : public Scene {
public:
    explicit ProbeScene(std::string n, bool failLoad = false)
        : name(std::move(n)), fail(failLoad) {}
    void Load() override {
        Scene::Load();
        gEvents.push_back(name + ".Load");
        if (fail)
            throw std::runtime_error("Cannot find assets/rooms/99.tmx");
    }
    void Init() override { gEvents.push_back(name + ".Init"); }
    void Update(float dt) override {
        lastDt = dt;
        ++updates;
    }
    void Draw(int pass) override {
        if (pass == 0) {
            QNGfxSetBackgroundColor(0.2f, 0.4f, 0.6f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        ++draws;
    }
    void Free() override { gEvents.push_back(name + ".Free"); }
    void Unload() override {
        gEvents.push_back(name + ".Unload");
        Scene::Unload();
    }
    ~ProbeScene() override { gEvents.push_back(name + ".Deleted"); }

    std::string name;
    bool fail;
    float lastDt = -1.0f;
    int updates = 0;
    int draws = 0;
};

constexpr const char* kWindowed =
    "<settings volume=\"0.5\" muted=\"0\" fullscreen=\"0\" width=\"640\" height=\"360\" "
    "musicVolume=\"0.8\" effectsVolume=\"0.3\"/>\n";

class GameLoopTest : public ::testing::Test {
protected:
    void StartGame(const char* settings, std::function<Scene*()> first) {
        gEvents.clear();
        if (settings)
            dir.Write("settings.xml", settings);
        Game& g = Game::Instance();
        g.EnableScriptedRun(1.0 / 60.0);
        g.firstScene = std::move(first);
        g.Init();
    }
    void TearDown() override {
        Game& g = Game::Instance();
        if (QNSysDoesWindowExist())
            g.Shutdown();
        QNFrameRateControllerSetFixedFrameTime(0.0);
    }
    ScratchGameDir dir;
};

TEST_F(GameLoopTest, OpensTheWindowFromSettingsAndWritesThemBackOnShutdown) {
    StartGame(kWindowed, [] { return new ProbeScene("a"); });
    Game& g = Game::Instance();
    EXPECT_EQ(QNGetWindowWidth(), 640);
    EXPECT_EQ(QNGetWindowHeight(), 360);
    // The world is drawn at one size whatever the window: this one shows it
    // at its own size.
    EXPECT_EQ(g.screenWidth, 640);
    EXPECT_EQ(g.screenHeight, 360);
    EXPECT_FLOAT_EQ(g.invHalfWidth, 1.0f / 640.0f);
    EXPECT_FLOAT_EQ(g.volume, 0.5f);
    EXPECT_FALSE(g.fullscreen);
    g.volume = 0.35f;
    g.Shutdown();
    EXPECT_EQ(dir.Read("settings.xml"),
              "<settings volume=\"0.34999999\" muted=\"0\" fullscreen=\"0\" width=\"640\" "
              "height=\"360\" musicVolume=\"0.80000001\" effectsVolume=\"0.30000001\"/>\n");
}

TEST_F(GameLoopTest, UnusableSizesOpenAtTheDesktopSize) {
    StartGame("<settings volume=\"1\" fullscreen=\"0\" width=\"0\" height=\"0\"/>",
              [] { return new ProbeScene("a"); });
    int32_t w = 0, h = 0;
    QNSysGetDesktopSize(&w, &h);
    EXPECT_EQ(QNGetWindowWidth(), w);
    EXPECT_EQ(QNGetWindowHeight(), h);
}

TEST_F(GameLoopTest, SceneSwitchHappensAtFrameStartAndDrawsNothing) {
    StartGame(kWindowed, [] { return new ProbeScene("a"); });
    Game& g = Game::Instance();
    ASSERT_TRUE(g.RunFrame()); // the switch frame
    EXPECT_EQ(gEvents, (std::vector<std::string>{"a.Load", "a.Init"}));
    auto* a = static_cast<ProbeScene*>(g.currentScene);
    EXPECT_EQ(a->draws, 0) << "a switch frame draws nothing";
    const uint32_t presented = QNFrameRateControllerGetFrameCount();
    g.RunFrame();
    EXPECT_EQ(a->updates, 1);
    EXPECT_EQ(a->draws, 2) << "pass 0 and pass 1";
    EXPECT_EQ(QNFrameRateControllerGetFrameCount(), presented + 1);

    // A pending callback is destroyed, unrun, by the switch.
    bool called = false;
    float value = 0.0f;
    AddFloatTween(
        &value, 1.0f, 0, [&] { called = true; }, 10.0f);
    gEvents.clear();
    g.SetNextScene(new ProbeScene("b"));
    g.SetNextScene(new ProbeScene("c")); // the later request wins
    g.RunFrame();
    EXPECT_EQ(gEvents, (std::vector<std::string>{"b.Deleted", "a.Free", "a.Unload", "a.Deleted",
                                                 "c.Load", "c.Init"}));
    EXPECT_TRUE(FloatTweens().empty());
    g.RunFrame();
    EXPECT_FALSE(called);
}

TEST_F(GameLoopTest, FadeOutCallbackRequestsTheNextScene) {
    StartGame(kWindowed, [] { return new ProbeScene("a"); });
    Game& g = Game::Instance();
    g.RunFrame();
    FadeTransition::Instance().color[3] = 0.0f;
    FadeOutThen([] { Game::Instance().SetNextScene(new ProbeScene("b")); });
    int frames = 0;
    while (g.nextScene == nullptr && frames < 100) {
        g.RunFrame();
        ++frames;
    }
    EXPECT_EQ(frames, 30) << "0.5 s at 60 frames per second";
    EXPECT_EQ(FadeTransition::Instance().color[3], 1.0f);
    g.RunFrame();
    EXPECT_EQ(static_cast<ProbeScene*>(g.currentScene)->name, "b");
}

TEST_F(GameLoopTest, LongFramesReachScenesClamped) {
    StartGame(kWindowed, [] { return new ProbeScene("a"); });
    Game& g = Game::Instance();
    g.RunFrame();
    QNFrameRateControllerSetFixedFrameTime(0.5);
    g.RunFrame(); // the frame that takes 0.5 s
    g.toggleCooldown = 0.0f;
    g.RunFrame();
    EXPECT_FLOAT_EQ(static_cast<ProbeScene*>(g.currentScene)->lastDt, 0.06666667f);
    EXPECT_FLOAT_EQ(g.toggleCooldown, 0.5f);
}

TEST_F(GameLoopTest, AFailedLoadStopsTheLoopWithItsMessage) {
    StartGame(kWindowed, [] { return new ProbeScene("broken", true); });
    Game& g = Game::Instance();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(g.RunFrame());
    EXPECT_NE(
        testing::internal::GetCapturedStderr().find("Exception: Cannot find assets/rooms/99.tmx"),
        std::string::npos);
    EXPECT_EQ(g.lastError, "Cannot find assets/rooms/99.tmx");
    EXPECT_FALSE(g.running);
    g.Shutdown();
    EXPECT_TRUE(dir.Exists("settings.xml"));
}

TEST_F(GameLoopTest, F12SavesTheFrameAsAPicture) {
    StartGame(kWindowed, [] { return new ProbeScene("a"); });
    Game& g = Game::Instance();
    g.RunFrame();
    QNInputInjectKey(QN_VK_F12, true);
    g.RunFrame();
    QNInputInjectKey(QN_VK_F12, false);
    namespace fs = std::filesystem;
    ASSERT_TRUE(fs::is_directory("screenshots"));
    std::vector<fs::path> shots;
    for (const auto& e : fs::directory_iterator("screenshots"))
        shots.push_back(e.path());
    ASSERT_EQ(shots.size(), 1u);
    QNGfxTexture* picture = QNGfxTextureLoad(shots[0].c_str());
    EXPECT_EQ(picture->width, 640);
    EXPECT_EQ(picture->height, 360);
    QNGfxTextureUnload(picture);
}

// The pointer goes through the picture's place in the window: render units
// from the picture's middle, y up, whatever the window's size and scaling.
TEST_F(GameLoopTest, CursorIsMeasuredFromTheScreenCentreInRenderUnits) {
    struct Point {
        int x, y;
        float sx, sy;
    };
    struct Case {
        const char* settings;
        std::vector<Point> points;
    };
    const Case cases[] = {
        // Shown at its own size.
        {kWindowed, {{320, 180, 0, 0}, {640, 0, 320, 180}, {0, 360, -320, -180}}},
        // Three window pixels to a render pixel.
        {"<settings volume=\"0\" fullscreen=\"0\" width=\"1920\" height=\"1080\"/>",
         {{960, 540, 0, 0}, {1920, 0, 320, 180}, {963, 543, 1, -1}}},
        // 480 x 360 in a thin border: 160 and 120 pixels of it each side.
        {"<settings volume=\"0\" fullscreen=\"0\" width=\"800\" height=\"600\" "
         "scaling=\"pixelperfect\"/>",
         {{400, 300, 0, 0}, {160, 120, -240, 180}, {0, 0, -400, 300}}},
        // The same filling the window: 5 window pixels to 3 render pixels.
        {"<settings volume=\"0\" fullscreen=\"0\" width=\"800\" height=\"600\"/>",
         {{400, 300, 0, 0}, {800, 600, 240, -180}, {405, 300, 3, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        StartGame(c.settings, [] { return new ProbeScene("a"); });
        Game& g = Game::Instance();
        for (const Point& p : c.points) {
            QNInputInjectCursor(p.x, p.y);
            g.RunFrame();
            const Vec2 at = g.CursorToScreen();
            EXPECT_NEAR(at.x, p.sx, 1e-3f) << p.x << "," << p.y;
            EXPECT_NEAR(at.y, p.sy, 1e-3f) << p.x << "," << p.y;
        }
        g.Shutdown();
    }
}

TEST_F(GameLoopTest, FullScreenScalesTheCursorToTheRenderSize) {
    StartGame("<settings volume=\"1\" fullscreen=\"1\" width=\"1280\" height=\"720\"/>",
              [] { return new ProbeScene("a"); });
    int32_t w = 0, h = 0;
    QNSysGetDesktopSize(&w, &h);
    EXPECT_FLOAT_EQ(QNSysGetCursorScaleX(), static_cast<float>(w) / 1280.0f);
    EXPECT_FLOAT_EQ(QNSysGetCursorScaleY(), static_cast<float>(h) / 720.0f);
    QNInputInjectCursor(w, h);
    Game::Instance().RunFrame();
    int32_t x = 0, y = 0;
    QNInputGetCursorPosition(&x, &y);
    EXPECT_EQ(x, 1280);
    EXPECT_EQ(y, 720);
    Game& g = Game::Instance();
    g.toggleCooldown = 1.0f;
    g.ToggleFullScreen();
    g.ToggleFullScreen(); // within a second: ignored
    EXPECT_FALSE(g.fullscreen);
    EXPECT_FLOAT_EQ(QNSysGetCursorScaleX(), 1.0f);
}

} // namespace
