// Game.h -- the application object: start-up, main loop and shut-down, the
// current and pending scene, the options. It sits on top of every other
// layer; nothing below includes it. The caches, the input tests, the clock
// and the sound live in their own modules (render/Resources.h,
// core/Runtime.h, audio/Audio.h); Game keeps their familiar names as thin
// forwards for the main loop, tools and tests.
//
// One instance, reached through Game::Instance().
#pragma once

#include "audio/Audio.h"
#include "core/Runtime.h"
#include "render/FontAtlas.h"
#include "render/Resources.h"
#include "world/LevelCatalogue.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class Scene;

class Game {
public:
    static Game& Instance();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Life cycle, in this order, repeated while `restart` is set.
    void Init();
    void Run();
    void Shutdown();
    // Sets the render size for the screen the game shows on (the desktop in
    // full screen, else the window) and the view that draws into it.
    void UseRenderSizeFor(bool fullScreen);
    // One pass of the main loop; false once the game stopped running.
    bool RunFrame();
    // The frame's clock: clamps timeScale, grows toggleCooldown by the
    // scaled frame time, returns the scaled dt clamped to [0, 1/15] s.
    float AdvanceClock(double frameTime);

    // Forwards to the render caches (render/Resources.h).
    QNGfxMesh* GetQuadMesh(int32_t columns) { return Resources::GetQuadMesh(columns); }
    std::vector<QNGfxMesh*> GetQuadMeshes(const std::vector<int32_t>& columns) {
        return Resources::GetQuadMeshes(columns);
    }
    QNGfxTexture* GetTexture(const std::string& name, bool underAssets) {
        return Resources::GetTexture(name, underAssets);
    }
    std::vector<QNGfxTexture*> GetTextures(const std::vector<std::string>& names) {
        return Resources::GetTextures(names);
    }
    static std::vector<FrameTable> BuildFrameTables(const std::vector<std::vector<float>>& lists) {
        return Resources::BuildFrameTables(lists);
    }
    static std::string NormalMapName(const std::string& fileName) {
        return Resources::NormalMapName(fileName);
    }
    // Forward to the sound cache (audio/Audio.h).
    Sound GetSound(const std::string& fileName, bool stream) {
        return Audio::GetSound(fileName, stream);
    }

    // Forwards to the input tests (core/Runtime.h).
    bool IsHeld(uint16_t buttonMask, uint8_t key) const {
        return Runtime::Get().IsHeld(buttonMask, key);
    }
    bool IsTriggered(uint16_t buttonMask, uint8_t key) const {
        return Runtime::Get().IsTriggered(buttonMask, key);
    }
    bool AnyKeyHeld() const { return Runtime::Get().AnyKeyHeld(); }
    Vec2 CursorToScreen() const { return Runtime::Get().CursorToScreen(); }

    // Options toggles: act at most once per second of toggleCooldown.
    void ToggleFullScreen();
    // Muting stops every game sound; unmuting restarts the scene's music.
    void ToggleMute();

    // The audio steps of Init and Shutdown, on their own for tools and
    // tests that need sound without a window.
    void InitAudio();
    void ShutdownAudio();

    // Requests a scene switch at the start of the next frame; a scene
    // requested earlier in the same frame is dropped.
    void SetNextScene(Scene* scene);

    void LoadSettings();
    void SaveSettings();

    // Scripted runs (tests and tools): injected input, a fixed frame time,
    // errors on the console instead of a message box.
    void EnableScriptedRun(double frameTime);

    Scene* currentScene = nullptr; // owned
    Scene* nextScene = nullptr;    // owned; non-null requests a switch
    bool running = false;
    FontAtlas*& font = FontAtlas::Shared(); // owned: "PixAntiqua.ttf", from Init

    // The shared state of the lower layers, under the names the main loop
    // and the tests know. They are views: the modules own the values.
    std::unordered_map<int32_t, QNGfxMesh*>& meshCache = Resources::MeshCache();
    std::unordered_map<std::string, QNGfxTexture*>& textureCache = Resources::TextureCache();
    GamePad& gamePad = Runtime::Get().gamePad;
    AudioSystem& audioSystem = Audio::State().audioSystem;
    ChannelGroup& gameSounds = Audio::State().gameSounds;
    LowPassFilter& lowPassDsp = Audio::State().lowPassDsp;
    std::unordered_map<std::string, SoundData*>& soundCache = Audio::State().soundCache;
    Sound& cursorMoveSound = Audio::State().cursorMoveSound;
    Sound& cursorSelectSound = Audio::State().cursorSelectSound;
    float& volume = Audio::State().volume; // master volume 0..1
    bool& muted = Audio::State().muted;
    // The window's size from the settings; the render size Init derives
    // from its shape, which every layer reads.
    int32_t& windowWidth = Runtime::Get().windowWidth;
    int32_t& windowHeight = Runtime::Get().windowHeight;
    int32_t& screenWidth = Runtime::Get().screenWidth;
    int32_t& screenHeight = Runtime::Get().screenHeight;
    float& invHalfWidth = Runtime::Get().invHalfWidth;
    float& invHalfHeight = Runtime::Get().invHalfHeight;
    float& timeScale = Runtime::Get().timeScale;      // slow motion below 1
    LevelCatalogue& levels = LevelCatalogue::Story(); // the story's levels and the save game

    bool& fullscreen = Runtime::Get().fullscreen;
    float& toggleCooldown = Runtime::Get().toggleCooldown; // seconds since the last options toggle
    bool restart = false;
    bool& vsync = Runtime::Get().vsync; // from the settings: present on the vertical blank

    // Makes the first scene; a splash normally, tests put their own.
    std::function<Scene*()> firstScene;
    bool showErrorBoxes = true;
    // Scripted runs may switch drawing off to play long stretches quickly:
    // every frame still updates the scene, tweens, sound and input.
    bool drawFrames = true;
    std::string lastError; // text of the last scene load failure

private:
    Game();
    ~Game();
    void SwitchScene();
    void ReportError(const std::string& text);
    std::string NextScreenshotPath() const;

    uint32_t framesRun = 0;     // frames presented since Init
    uint64_t runStartTicks = 0; // performance counter at the end of Init
};
