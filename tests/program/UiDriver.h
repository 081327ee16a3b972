// UiDriver.h -- what the interface tests share: the real game started in a
// scratch directory with a windowed 1280 x 720 screen (a 640 x 360 render,
// unless a test asks for another size),
// scripted frames of 1/60 s, keys, pad buttons and a pointer placed in UI
// units.
#pragma once

#include "core/Tween.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "engine/QNSystem.h"
#include "game/Game.h"
#include "render/FadeTransition.h"
#include "scenes/Scene.h"
#include "support/TestSupport.h"
#include "ui/UIText.h"
#include "ui/Window.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>

class UiDriver : public ::testing::Test {
protected:
    static constexpr const char* kSettings =
        "<settings volume=\"1\" muted=\"0\" fullscreen=\"0\" width=\"1280\" height=\"720\" "
        "musicVolume=\"1\" effectsVolume=\"1\"/>\n";

    // Starts the game with `first` as its first scene and runs the switch
    // frame, so that scene is current. The fade starts black, as at launch.
    // `settings` is written as the working directory's settings file first
    // (nothing is written when it is empty).
    void Start(std::function<Scene*()> first, const std::string& settings = kSettings) {
        if (!settings.empty())
            dir.Write("settings.xml", settings);
        Game& g = Game::Instance();
        g.EnableScriptedRun(1.0 / 60.0);
        g.firstScene = std::move(first);
        FadeTransition::Instance().color[3] = 1.0f;
        g.Init();
        PointAt(-300.0f, -170.0f); // out of every menu's way
        g.RunFrame();
    }
    void TearDown() override {
        if (QNSysDoesWindowExist())
            Game::Instance().Shutdown();
        QNFrameRateControllerSetFixedFrameTime(0.0);
    }

    // One frame of the game; false once it has stopped running. Every frame
    // the helpers below run goes through here.
    virtual bool Step() { return Game::Instance().RunFrame(); }
    // Runs n frames; stops early once the game has stopped running.
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            if (!Step())
                return;
        }
    }
    void Seconds(float s) { Frames(static_cast<int>(s * 60.0f + 0.5f)); }
    // Frames until `done` holds (checked before each frame), at most `limit`;
    // the number run, or -1 when it never held.
    int FramesUntil(const std::function<bool()>& done, int limit = 600) {
        for (int i = 0; i < limit; ++i) {
            if (done())
                return i;
            if (!Step())
                return done() ? i + 1 : -1;
        }
        return done() ? limit : -1;
    }
    // Down for one frame, then up for one frame.
    void Tap(uint8_t key) {
        QNInputInjectKey(key, true);
        Frames(1);
        QNInputInjectKey(key, false);
        Frames(1);
    }
    // A pad button pressed for one frame, then released for one frame.
    void TapPad(uint16_t buttons) {
        Game& g = Game::Instance();
        ControllerState state;
        state.buttons = buttons;
        ++state.packetNumber;
        g.gamePad.InjectController(state);
        Frames(1);
        state.buttons = 0;
        ++state.packetNumber;
        g.gamePad.InjectController(state);
        Frames(1);
    }
    // The pointer at UI position (x, y): origin at the screen centre, y up,
    // one unit per two window pixels times the interface scale.
    void PointAt(float x, float y) {
        const Runtime& rt = Runtime::Get();
        const Vec2 window = rt.ScreenToWindow(Vec2{x, y} * rt.uiScale);
        QNInputInjectCursor(static_cast<int32_t>(std::lround(window.x)),
                            static_cast<int32_t>(std::lround(window.y)));
    }
    // The pointer on the middle of a text line.
    void PointAt(const UIText* text) { PointAt(text->GetPosition().x, text->GetPosition().y); }
    // Waits out a window's open animation.
    void WaitOpen(const Window& w) {
        ASSERT_GE(FramesUntil([&] { return !w.busy; }, 120), 0) << "the window never opened";
    }
    // The text of the highlighted element, or "" when nothing is.
    static std::string Highlighted(const Window& w) {
        if (w.selectedIndex < 0)
            return "";
        const auto* t =
            dynamic_cast<const UIText*>(w.elements[static_cast<size_t>(w.selectedIndex)]);
        return t ? std::string(t->text.begin(), t->text.end()) : "?";
    }
    // Gives the scratch directory an assets folder of its own whose rooms
    // folder is real (the endless mode's generator writes into it, beside
    // links to the story's rooms); everything else links to the build's
    // assets.
    void OwnRoomsFolder() {
        namespace fs = std::filesystem;
        const fs::path link = fs::path(dir.Path()) / "assets";
        const fs::path built = fs::read_symlink(link);
        fs::remove(link);
        fs::create_directory(link);
        for (const auto& entry : fs::directory_iterator(built)) {
            if (entry.path().filename() != "rooms")
                fs::create_symlink(entry.path(), link / entry.path().filename());
        }
        fs::create_directory(link / "rooms");
        for (const auto& entry : fs::directory_iterator(built / "rooms"))
            fs::create_symlink(entry.path(), link / "rooms" / entry.path().filename());
    }
    template <class T> static T* Current() {
        return dynamic_cast<T*>(Game::Instance().currentScene);
    }

    ScratchGameDir dir;
};
