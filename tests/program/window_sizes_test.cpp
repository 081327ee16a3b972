// The interface at small, usual and very large windows: every menu entry,
// question and HUD bar lands inside the screen and inside its window's
// frame, checked on pictures of what the game presented. The pictures are
// written to the build directory (docs/ keeps copies).
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

#include <stb/stb_image.h>

#include <cmath>
#include <memory>
#include <sstream>

namespace {

struct WindowSize {
    int width, height;
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

class WindowSizesTest : public UiDriver, public ::testing::WithParamInterface<WindowSize> {
protected:
    void StartAt(std::function<Scene*()> first) {
        // The game fits a window the desktop cannot hold into the desktop's
        // usable part: a size beyond it is played where the screen has room.
        int32_t usableWidth = 0, usableHeight = 0;
        QNSysGetUsableDesktopSize(&usableWidth, &usableHeight);
        if (GetParam().width > usableWidth || GetParam().height > usableHeight)
            GTEST_SKIP() << "the desktop's usable " << usableWidth << " x " << usableHeight
                         << " cannot hold the window";
        std::ostringstream settings;
        settings << "<settings volume=\"0\" muted=\"1\" fullscreen=\"0\" width=\""
                 << GetParam().width << "\" height=\"" << GetParam().height << "\"/>\n";
        Start(std::move(first), settings.str());
        // The largest picture is slow to draw in software: long frames (the
        // longest step the game takes) keep the waits short.
        QNFrameRateControllerSetFixedFrameTime(kFrame);
        ASSERT_EQ(QNGetWindowWidth(), GetParam().width);
        ASSERT_EQ(QNGetWindowHeight(), GetParam().height);
    }
    std::string Name(const std::string& page) const {
        return "layout_" + std::to_string(GetParam().width) + "x" +
               std::to_string(GetParam().height) + "_" + page + ".png";
    }
    // Presents one more frame and reads back the picture saved of it.
    Picture Capture(const std::string& page) {
        const std::string path = BuildDir() + "/" + Name(page);
        std::remove(path.c_str());
        QNGfxRequestCapture(path);
        Frames(1);
        Picture p;
        int channels = 0;
        unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 3);
        if (data) {
            p.rgb.assign(data, data + static_cast<size_t>(p.width) * p.height * 3);
            stbi_image_free(data);
        }
        return p;
    }
    // Interface units to window pixels: centre (x, y), half extents (hx, hy).
    static Box ToWindow(float x, float y, float hx, float hy) {
        const float k = 2.0f * Runtime::Get().uiScale;
        const float cx = static_cast<float>(QNGetWindowWidth()) / 2.0f + x * k;
        const float cy = static_cast<float>(QNGetWindowHeight()) / 2.0f - y * k;
        return {cx - hx * k, cy - hy * k, cx + hx * k, cy + hy * k};
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
    static Box Screen() {
        return {0.0f, 0.0f, static_cast<float>(QNGetWindowWidth()),
                static_cast<float>(QNGetWindowHeight())};
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
        // Near the top-left corner at every size: 30 units in, 25 to 40 down.
        EXPECT_LT(b.left, 0.1f * static_cast<float>(QNGetWindowWidth()));
        EXPECT_LT(b.bottom, 0.2f * static_cast<float>(QNGetWindowHeight()));
    }
    EXPECT_TRUE(Inside(SpriteBox(hud.frame), Screen()));

    Tap(QN_VK_ESCAPE);
    Settle(*level->pauseWindow);
    ExpectTextsFit(*level->pauseWindow, Capture("pause"));
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
        EXPECT_GT(face.bottom, 0.9f * static_cast<float>(QNGetWindowHeight()))
            << "portraits stand on the bottom edge";
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowSizesTest,
                         ::testing::Values(WindowSize{800, 600}, WindowSize{1280, 720},
                                           WindowSize{3840, 2160}),
                         [](const ::testing::TestParamInfo<WindowSize>& size) {
                             return std::to_string(size.param.width) + "x" +
                                    std::to_string(size.param.height);
                         });

} // namespace
