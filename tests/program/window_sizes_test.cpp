// The world and the interface at small, usual and very large windows. The
// world is drawn at one size (360 render pixels high, as wide as the window's
// shape makes it) and the finished picture scaled to the window, so every
// window sees the same part of a room, Blade as many render pixels tall.
// Every menu entry, question and HUD bar lands inside the picture and inside
// its window's frame, checked on pictures of what the game presented. The
// pictures are written to the build directory (docs/ keeps copies).
#include "engine/QNGraphics.h"
#include "engine/QNSystem.h"
#include "entities/Player.h"
#include "game/Game.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"
#include "ui/ChatController.h"
#include "ui/ControlsPage.h"
#include "ui/Dialog.h"

#include "program/UiDriver.h"
#include "render/PostProcessor.h"

#include <stb/stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

namespace {

struct WindowSize {
    int width, height;
    ScreenScaling scaling = ScreenScaling::Smooth;
};

// A picture the game saved of its window.
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    // The colour at (x, y) from the top left.
    const unsigned char* At(int x, int y) const {
        return &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + x) * 3];
    }
};

// A rectangle in window pixels, from the top left.
struct Box {
    float left, top, right, bottom;
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "(" << b.left << ", " << b.top << ") - (" << b.right << ", " << b.bottom << ")";
}

// The game started at one window size, and the pictures it presents.
class WindowPictures : public UiDriver {
protected:
    void StartAt(std::function<Scene*()> first, WindowSize at) {
        size = at;
        // The game fits a window the desktop cannot hold into the desktop's
        // usable part: a size beyond it is played where the screen has room.
        int32_t usableWidth = 0, usableHeight = 0;
        QNSysGetUsableDesktopSize(&usableWidth, &usableHeight);
        if (size.width > usableWidth || size.height > usableHeight)
            GTEST_SKIP() << "the desktop's usable " << usableWidth << " x " << usableHeight
                         << " cannot hold the window";
        std::ostringstream settings;
        settings << "<settings volume=\"0\" muted=\"1\" fullscreen=\"0\" width=\"" << size.width
                 << "\" height=\"" << size.height << "\"";
        // Smooth is what a file without the choice gives.
        if (size.scaling != ScreenScaling::Smooth)
            settings << " scaling=\"" << ScalingId(size.scaling) << "\"";
        settings << "/>\n";
        Start(std::move(first), settings.str());
        // The largest picture is slow to draw in software: long frames (the
        // longest step the game takes) keep the waits short.
        QNFrameRateControllerSetFixedFrameTime(kFrame);
        ASSERT_EQ(QNGetWindowWidth(), size.width);
        ASSERT_EQ(QNGetWindowHeight(), size.height);
        ASSERT_EQ(Runtime::Get().scaling, size.scaling);
    }
    std::string Name(const std::string& page) const {
        return "layout_" + std::to_string(size.width) + "x" + std::to_string(size.height) +
               (size.scaling == ScreenScaling::PixelPerfect ? "_pixelperfect" : "") + "_" + page +
               ".png";
    }
    // Presents one more frame and reads back the picture saved of it.
    Picture Capture(const std::string& page) {
        return Saved(page, [this] { Frames(1); });
    }
    // Draws the scene once more as it stands, nothing updated, and reads
    // back the picture presented.
    Picture DrawAgain(const std::string& page) {
        return Saved(page, [] {
            Scene& scene = *Game::Instance().currentScene;
            QNSysFrameStart();
            QNGfxSetRenderMode(QN_RENDER_TEXTURE);
            QNGfxSetTransparency(1.0f);
            scene.Draw(0);
            scene.Draw(1);
            QNGfxEnd();
        });
    }
    // Reads back the picture saved of the frame `present` shows.
    Picture Saved(const std::string& page, const std::function<void()>& present) {
        const std::string path = BuildDir() + "/" + Name(page);
        std::remove(path.c_str());
        QNGfxRequestCapture(path);
        present();
        Picture p;
        int channels = 0;
        unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 3);
        if (data) {
            p.rgb.assign(data, data + static_cast<size_t>(p.width) * p.height * 3);
            stbi_image_free(data);
        }
        return p;
    }
    // Interface units to window pixels, through the picture's place in the
    // window: centre (x, y), half extents (hx, hy).
    static Box ToWindow(float x, float y, float hx, float hy) {
        const Runtime& rt = Runtime::Get();
        const float z = rt.uiScale;
        const Vec2 c = rt.ScreenToWindow({x * z, y * z});
        const float k =
            z * static_cast<float>(rt.PictureInWindow().width) / static_cast<float>(rt.screenWidth);
        return {c.x - hx * k, c.y - hy * k, c.x + hx * k, c.y + hy * k};
    }
    static Box TextBox(const TextSprite& t) {
        return ToWindow(t.GetPosition().x, t.GetPosition().y, t.width / 2.0f,
                        std::fabs(t.height) / 2.0f);
    }
    static Box SpriteBox(const Sprite2D& s) {
        return ToWindow(s.position.x, s.position.y, std::fabs(s.scale.x) / 2.0f,
                        std::fabs(s.scale.y) / 2.0f);
    }
    static Box WindowBox(const Window& w) {
        return ToWindow(w.position.x, w.position.y, w.size.x / 2.0f, w.size.y / 2.0f);
    }
    static bool Inside(const Box& inner, const Box& outer) {
        return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
               inner.bottom <= outer.bottom;
    }
    // The picture in the window (the whole window unless there is a border).
    static Box Screen() {
        const PictureRect p = Runtime::Get().PictureInWindow();
        return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.x + p.width),
                static_cast<float>(p.y + p.height)};
    }
    // Some pixel of the box on the picture passes `ink`.
    static bool Shows(const Picture& p, const Box& b,
                      const std::function<bool(const unsigned char*)>& ink) {
        const int x0 = std::max(0, static_cast<int>(b.left));
        const int x1 = std::min(p.width, static_cast<int>(std::ceil(b.right)));
        const int y0 = std::max(0, static_cast<int>(b.top));
        const int y1 = std::min(p.height, static_cast<int>(std::ceil(b.bottom)));
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (ink(p.At(x, y)))
                    return true;
        return false;
    }
    // Text, even the grey of an entry that cannot be chosen, on the dark
    // windows.
    static bool Light(const unsigned char* c) { return c[0] > 70 && c[1] > 70 && c[2] > 70; }
    // Every text line of the window inside the screen and inside the
    // window's frame, drawn where it is said to be.
    void ExpectTextsFit(const Window& w, const Picture& p) {
        const Box frame = WindowBox(w);
        ASSERT_TRUE(Inside(frame, Screen())) << "window " << frame;
        int lines = 0;
        for (const UIElement* e : w.elements) {
            const auto* t = dynamic_cast<const UIText*>(e);
            if (!t || t->fadingOut)
                continue;
            ++lines;
            const std::string text(t->text.begin(), t->text.end());
            const Box b = TextBox(*t);
            EXPECT_TRUE(Inside(b, frame)) << '"' << text << "\" " << b << " runs past " << frame;
            EXPECT_TRUE(Shows(p, b, Light)) << '"' << text << "\" is not on the picture";
        }
        EXPECT_GT(lines, 0);
    }
    void Wait(float seconds) { Frames(static_cast<int>(std::ceil(seconds / kFrame))); }
    // Waits for a window and the colours of its page to settle.
    void Settle(const Window& w) {
        WaitOpen(w);
        Wait(0.7f);
    }

    static constexpr float kFrame = 1.0f / 15.0f;
    WindowSize size{1280, 720};
};

class WindowSizesTest : public WindowPictures, public ::testing::WithParamInterface<WindowSize> {
protected:
    void StartAt(std::function<Scene*()> first) {
        WindowPictures::StartAt(std::move(first), GetParam());
    }
};

TEST_P(WindowSizesTest, TheMenuPagesFitTheScreen) {
    StartAt([] { return new MainMenu(); });
    if (IsSkipped())
        return;
    MainMenu* menu = Current<MainMenu>();
    ASSERT_NE(menu, nullptr);
    MainMenuWindow& w = *menu->window;
    Settle(w);
    Picture main = Capture("menu");
    ASSERT_EQ(main.width, GetParam().width) << "no picture";
    ExpectTextsFit(w, main);
    const Box title = SpriteBox(w.title);
    EXPECT_TRUE(Inside(title, Screen())) << "title " << title;
    EXPECT_LT(title.right, WindowBox(w).left) << "the title stays clear of the entries";

    w.HideTitle();
    w.ShowStartQuestion();
    Settle(w);
    ExpectTextsFit(w, Capture("start_question"));

    w.ShowOptions();
    Settle(w);
    ExpectTextsFit(w, Capture("options"));

    BuildControlsPage(w, [&w] { w.Back(); });
    Settle(w);
    ExpectTextsFit(w, Capture("controls"));
}

TEST_P(WindowSizesTest, TheHudAndThePauseWindowFitTheScreen) {
    Game::Instance().levels = LevelCatalogue("levels.xml");
    StartAt([] { return new LevelScene(); });
    if (IsSkipped())
        return;
    LevelScene* level = Current<LevelScene>();
    ASSERT_NE(level, nullptr) << Game::Instance().lastError;
    Wait(0.6f);
    // Lower the reserves so each bar ends inside the frame's picture.
    level->ShowHealth(0.5f);
    level->ShowSpecial(0.5f);
    Wait(0.3f);
    Picture play = Capture("level");
    ASSERT_EQ(play.width, GetParam().width) << "no picture";
    const PlayerHUD& hud = *level->hud;
    const auto red = [](const unsigned char* c) { return c[0] > 150 && c[1] < 110 && c[2] < 110; };
    const auto blue = [](const unsigned char* c) { return c[2] > 150 && c[0] < 110; };
    for (const auto& [bar, ink] :
         {std::pair<const HUDBar*, std::function<bool(const unsigned char*)>>{&hud.health, red},
          {&hud.special, blue}}) {
        const Box b = SpriteBox(*bar);
        EXPECT_TRUE(Inside(b, Screen())) << "bar " << b;
        EXPECT_TRUE(Shows(play, b, ink)) << "bar " << b << " is not on the picture";
        // Near the picture's top-left corner at every size: 30 units in, 25
        // to 40 down.
        const Box s = Screen();
        EXPECT_LT(b.left - s.left, 0.1f * (s.right - s.left));
        EXPECT_LT(b.bottom - s.top, 0.2f * (s.bottom - s.top));
    }
    EXPECT_TRUE(Inside(SpriteBox(hud.frame), Screen()));

    Tap(QN_VK_ESCAPE);
    Settle(*level->pauseWindow);
    ExpectTextsFit(*level->pauseWindow, Capture("pause"));
    // The controls page, opened over a level, leaves the HUD in sight.
    BuildControlsPage(*level->pauseWindow, [] {});
    Settle(*level->pauseWindow);
    ExpectTextsFit(*level->pauseWindow, Capture("pause_controls"));
    const Box page = WindowBox(*level->pauseWindow);
    const Box hudFrame = SpriteBox(hud.frame);
    EXPECT_GT(page.top, hudFrame.bottom)
        << "the controls page " << page << " covers the HUD " << hudFrame;
    Tap(QN_VK_ESCAPE);
    Wait(1.5f);

    // A conversation: the portraits in the bottom corners, the line's box
    // beside its speaker, all on the screen.
    ChatController& chat = *level->dialogues;
    ASSERT_FALSE(chat.chats.empty()) << "the first level has conversations";
    chat.Start(chat.chats.begin()->first);
    Wait(1.5f);
    ASSERT_NE(chat.shownLine, nullptr);
    Picture talk = Capture("conversation");
    const Dialog& line = *chat.shownLine;
    const Box box = ToWindow(line.boxPosition.x, line.boxPosition.y, Dialog::kBoxWidth / 2.0f,
                             line.boxHeight / 2.0f + Dialog::kCapHeight);
    EXPECT_TRUE(Inside(box, Screen())) << "line " << box;
    EXPECT_TRUE(Shows(talk, TextBox(line), Light)) << "the line is not on the picture";
    for (const Portrait& portrait : chat.portraits) {
        if (portrait.textures.empty())
            continue;
        const Box face = SpriteBox(portrait);
        EXPECT_TRUE(Inside(face, Screen())) << "portrait " << face;
        EXPECT_GT(face.bottom - Screen().top, 0.9f * (Screen().bottom - Screen().top))
            << "portraits stand on the bottom edge";
    }
}

// How many render pixels tall Blade shows in the room, measured on what the
// game presented: the rows of the window around him that change when he is
// taken out of the room for a frame, in window pixels and brought back to
// render pixels through the picture's scale. Both are drawn without an
// update between them, so nothing else moves.
class ViewTest : public WindowPictures {
protected:
    float BladeHeightInRenderPixels() {
        LevelScene& level = *Current<LevelScene>();
        const Picture with = DrawAgain("view_with");
        EntityList& entities = level.currentRoom->entities;
        const auto at = std::find(entities.begin(), entities.end(), level.player);
        EXPECT_NE(at, entities.end());
        if (at == entities.end())
            return 0.0f;
        const size_t index = static_cast<size_t>(at - entities.begin());
        entities.erase(at);
        const Picture without = DrawAgain("view_without");
        entities.insert(entities.begin() + static_cast<std::ptrdiff_t>(index), level.player);

        const Runtime& rt = Runtime::Get();
        const Vec2 middle = rt.ScreenToWindow(level.player->GetPosition() -
                                              level.currentRoom->camera.GetPosition());
        const float scale =
            static_cast<float>(rt.PictureInWindow().height) / static_cast<float>(rt.screenHeight);
        // 60 render pixels round him hold all of him and little else.
        const int reach = static_cast<int>(60.0f * scale);
        int top = -1, bottom = -1;
        for (int y = std::max(0, static_cast<int>(middle.y) - reach);
             y < std::min(with.height, static_cast<int>(middle.y) + reach); ++y) {
            for (int x = std::max(0, static_cast<int>(middle.x) - reach);
                 x < std::min(with.width, static_cast<int>(middle.x) + reach); ++x) {
                const unsigned char* a = with.At(x, y);
                const unsigned char* b = without.At(x, y);
                if (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 24) {
                    top = top < 0 ? y : top;
                    bottom = y;
                    break;
                }
            }
        }
        if (top < 0)
            return 0.0f;
        return static_cast<float>(bottom - top + 1) / scale;
    }
};

// Every window sees the room at one zoom, shown either way: the camera's
// reach is 180 render pixels up and down from its middle, as far to the
// sides as the window's shape gives, and Blade stands as many render pixels
// tall in the picture. (The pictures of Blade in the room are docs/view_*.)
TEST_F(ViewTest, EveryWindowSeesTheWorldAtOneZoom) {
    Game::Instance().levels = LevelCatalogue("levels.xml");
    float heightAt720 = 0.0f;
    const ScreenScaling whole = ScreenScaling::PixelPerfect;
    for (const WindowSize at :
         {WindowSize{1280, 720}, WindowSize{800, 600}, WindowSize{800, 600, whole},
          WindowSize{1920, 1080}, WindowSize{1920, 1080, whole}, WindowSize{3840, 2160},
          WindowSize{3840, 2160, whole}}) {
        SCOPED_TRACE(std::to_string(at.width) + "x" + std::to_string(at.height) + " " +
                     ScalingName(at.scaling));
        int32_t usableWidth = 0, usableHeight = 0;
        QNSysGetUsableDesktopSize(&usableWidth, &usableHeight);
        if (at.width > usableWidth || at.height > usableHeight) {
            std::printf("VIEW: %d x %d left out: the desktop's usable %d x %d cannot hold it\n",
                        at.width, at.height, usableWidth, usableHeight);
            continue;
        }
        StartAt([] { return new LevelScene(); }, at);
        LevelScene* level = Current<LevelScene>();
        ASSERT_NE(level, nullptr) << Game::Instance().lastError;
        Wait(0.6f);
        const Camera& camera = level->currentRoom->camera;
        const float wide = 360.0f * static_cast<float>(at.width) / static_cast<float>(at.height);
        EXPECT_EQ(camera.halfExtent.y, 180.0f);
        EXPECT_NEAR(camera.halfExtent.x, wide / 2.0f, 1.0f);
        EXPECT_EQ(Runtime::Get().screenHeight, 360);

        const float height = BladeHeightInRenderPixels();
        EXPECT_GT(height, 20.0f) << "Blade is not on the picture";
        if (heightAt720 == 0.0f)
            heightAt720 = height;
        // A smooth picture between whole factors blends one window pixel
        // at each edge.
        EXPECT_NEAR(height, heightAt720, 1.0f);
        Game::Instance().Shutdown();
    }
}

// The torches of a room drawn several to a pass light it as one pass per
// torch did (each pass adds its light rounded to whole levels; a pass of
// several rounds once).
TEST_F(ViewTest, ALitRoomLooksTheSameWithItsLightsDrawnTogether) {
    Game::Instance().levels = LevelCatalogue("levels.xml");
    StartAt([] { return new LevelScene(); }, WindowSize{1280, 720});
    LevelScene* level = Current<LevelScene>();
    ASSERT_NE(level, nullptr) << Game::Instance().lastError;
    // The second room, seven torches: Blade steps in at the door back.
    LevelMap::Room* room = level->FindRoom(2);
    ASSERT_NE(room, nullptr);
    level->currentRoom->MovePlayerTo(*room);
    level->currentRoom = room;
    ASSERT_GE(room->torches.size(), 7u);
    Wait(3.0f);
    // The same frame each time: drawn again, nothing updated.
    PostProcessor& pp = *level->postProcessor;
    pp.lightsPerPass = 1;
    const Picture onePerPass = DrawAgain("lights_one_per_pass");
    int lit = 0;
    for (int y = 0; y < onePerPass.height; ++y)
        for (int x = 0; x < onePerPass.width; ++x)
            lit += onePerPass.At(x, y)[0] > 60; // well above the ambient quarter
    EXPECT_GT(lit, onePerPass.width * onePerPass.height / 100) << "the room is not lit";
    for (int perPass : {3, LightProgram::kLightsPerPass}) {
        SCOPED_TRACE(perPass);
        pp.lightsPerPass = perPass;
        const Picture together = DrawAgain("lights_" + std::to_string(perPass) + "_per_pass");
        ASSERT_EQ(together.rgb.size(), onePerPass.rgb.size());
        int most = 0;
        size_t apart = 0;
        for (size_t i = 0; i < together.rgb.size(); ++i) {
            const int d = std::abs(together.rgb[i] - onePerPass.rgb[i]);
            most = std::max(most, d);
            apart += d > 1;
        }
        EXPECT_LE(most, 3) << "levels apart at most";
        EXPECT_LT(apart, together.rgb.size() / 100) << "values more than a level apart";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, WindowSizesTest,
    ::testing::Values(WindowSize{800, 600}, WindowSize{1280, 720}, WindowSize{3840, 2160},
                      WindowSize{800, 600, ScreenScaling::PixelPerfect}),
    [](const ::testing::TestParamInfo<WindowSize>& size) {
        return std::to_string(size.param.width) + "x" + std::to_string(size.param.height) +
               (size.param.scaling == ScreenScaling::PixelPerfect ? "_pixelperfect" : "");
    });

} // namespace
