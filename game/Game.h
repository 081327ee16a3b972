// Game.h -- the application object: start-up, main loop and shut-down, the
// current and pending scene, the resource caches, the input tests that
// combine keyboard and pad, the options and the slow-motion time scale.
//
// One instance, reached everywhere through Game::Instance().
#pragma once

#include "audio/AudioSystem.h"
#include "audio/Sound.h"
#include "game/GamePad.h"
#include "game/Vec2.h"
#include "world/LevelCatalogue.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class Scene;
class FontAtlas;
struct QNGfxMesh;
struct QNGfxTexture;

// One frame of an animation strip.
struct FrameRecord {
    float offset;   // horizontal texture offset: index / frame count
    int32_t index;  // frame index in the strip
    float duration; // seconds
};
using FrameTable = std::vector<FrameRecord>;

class Game {
public:
    static Game& Instance();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Life cycle, in this order, repeated while `restart` is set.
    void Init();
    void Run();
    void Shutdown();
    // One pass of the main loop; false once the game stopped running.
    bool RunFrame();
    // The frame's clock: clamps timeScale, grows toggleCooldown by the
    // scaled frame time, returns the scaled dt clamped to [0, 1/15] s.
    float AdvanceClock(double frameTime);

    // Resource caches: everything asked for twice is shared.
    // Unit quad (-0.5..0.5) showing one of `columns` equal strip columns.
    QNGfxMesh* GetQuadMesh(int32_t columns);
    std::vector<QNGfxMesh*> GetQuadMeshes(const std::vector<int32_t>& columns);
    // Image by name: "assets/" + name when underAssets; nearest, clamped.
    QNGfxTexture* GetTexture(const std::string& name, bool underAssets);
    std::vector<QNGfxTexture*> GetTextures(const std::vector<std::string>& names);
    // Each inner list: frame count, then one duration per frame (or one
    // duration for all).
    static std::vector<FrameTable> BuildFrameTables(const std::vector<std::vector<float>>& lists);
    // "name.png" -> "name_n.png"
    static std::string NormalMapName(const std::string& fileName);
    // Sound file "./assets/sounds/" + fileName, cached by the bare file name;
    // music is asked for as a stream. A file that cannot be loaded gives a
    // silent Sound and is tried again on the next request.
    Sound GetSound(const std::string& fileName, bool stream);

    // Input tests: pad first, then the keyboard (virtual-key codes).
    bool IsHeld(uint16_t buttonMask, uint8_t key) const;
    bool IsTriggered(uint16_t buttonMask, uint8_t key) const;
    bool AnyKeyHeld() const;
    // Cursor with the origin at the screen centre, y up, render units.
    Vec2 CursorToScreen() const;

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
    std::unordered_map<int32_t, QNGfxMesh*> meshCache;
    std::unordered_map<std::string, QNGfxTexture*> textureCache;
    GamePad gamePad;
    FontAtlas* font = nullptr; // owned: the shared font, "PixAntiqua.ttf", from Init
    // Sound: the output device, the group every game sound plays in, its
    // low-pass (cut-off in hertz, lowered in slow motion) and the loaded
    // sounds by file name. Silent throughout when there is no device.
    AudioSystem audioSystem;
    ChannelGroup gameSounds;
    LowPassFilter lowPassDsp;
    std::unordered_map<std::string, SoundData*> soundCache;
    // The menus' cursor sounds, shared by every window.
    Sound cursorMoveSound;   // "cursor_move.wav"
    Sound cursorSelectSound; // "cursor_select.wav", at half volume

    float volume = 1.0f; // master volume 0..1
    bool muted = false;
    int32_t screenWidth = 0;    // window width in settings; half of it after Init
    int32_t screenHeight = 0;   // window height in settings; half of it after Init
    float invHalfWidth = 0.0f;  // 1 / screenWidth after Init
    float invHalfHeight = 0.0f; // 1 / screenHeight after Init
    bool fullscreen = true;
    float toggleCooldown = 0.0f; // seconds since the last options toggle
    float timeScale = 1.0f;      // slow motion below 1
    LevelCatalogue levels;       // the story's levels and the save game
    bool restart = false;

    // Makes the first scene; a splash normally, tests put their own.
    std::function<Scene*()> firstScene;
    bool showErrorBoxes = true;
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
