// Game -- start-up, the main loop, shut-down and the shared services.
#include "game/Game.h"

#include "core/AtomicFile.h"
#include "core/LevelPack.h"
#include "core/SceneRequest.h"
#include "core/Tween.h"
#include "core/UserFiles.h"
#include "engine/QNGraphics.h"
#include "engine/QNIcon.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "engine/QNSystem.h"
#include "game/ErrorBox.h"
#include "render/FadeTransition.h"
#include "render/FontAtlas.h"
#include "scenes/Scene.h"
#include "scenes/SceneFactory.h"
#include "ui/Options.h"
#include "ui/SettingsFile.h"
#include "world/EndlessRecord.h"
#include "world/EndlessRun.h"

#include <SDL.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>

namespace {

// Set while the program's static data is set up, a moment after the process
// started: the start-up time on the console is counted from here.
const std::chrono::steady_clock::time_point kProgramStart = std::chrono::steady_clock::now();
} // namespace

Game& Game::Instance() {
    static Game game;
    return game;
}

Game::Game() {
    // The game opens on the logos, which hand over to the main menu.
    firstScene = [] { return CreateScene(SceneId::Splash); };
    // Menus and windows ask for scenes by id; the factory builds them.
    SetSceneRequestHandlers({[](SceneId id) { Game::Instance().SetNextScene(CreateScene(id)); },
                             [] { Game::Instance().running = false; }});
}

Game::~Game() = default;

// ---------------------------------------------------------------------------
// Life cycle
// ---------------------------------------------------------------------------
void Game::Init() {
    restart = false;
    toggleCooldown = 0.0f;
    // What the game writes goes to its folder, or to the player's data
    // directory when the folder is read-only; it is read back from there.
    UserFiles::Choose();
    // A run killed while writing one of its files left the old file whole
    // and the half-written new one beside it; that one is of no use.
    for (const char* name : {"settings.xml", "save.xml", kEndlessRecordFile}) {
        if (RemoveLeftoverTemporary(UserFiles::Path(name)))
            std::printf("FILES: removed a half-written %s.tmp left by an earlier run\n", name);
    }
    levels.UseSavePath(UserFiles::Path(LevelPack::SaveName()));
    EndlessRun::Current().UseUserFiles();
    LoadSettings();
    if (!FontAtlas::InitLibrary())
        throw std::runtime_error("Freetype init failed");

    if (!QNSysInit(windowWidth, windowHeight, 0, 60))
        throw std::runtime_error(std::string("Cannot open the game window: ") +
                                 QNSysGetInitError());
    if (!QNSysSetVSync(vsync) && vsync)
        std::printf("SYSTEM: no vertical sync from the driver; the clock paces the frames\n");
    UseRenderSizeFor(fullscreen);
    delete font; // left from an earlier start, when the game restarts
    font = new FontAtlas("PixAntiqua.ttf");

    QNSysSetWindowTitle("Quorvane");
    QNToogleFullScreen(fullscreen);
    QNIconLoadForWindow("assets/title.ico", 32);
    QNSysReset();
    InitAudio();
    FadeTransition::Instance().Refit();

    SetNextScene(firstScene ? firstScene() : nullptr);
    running = true;
    Runtime::Get().clock.Restore();
    gamePad.Init();
    framesRun = 0;
    runStartTicks = SDL_GetPerformanceCounter();
}

void Game::UseRenderSizeFor(bool fullScreen) {
    // The picture takes the shape of the screen it fills: the desktop's in
    // full screen, the window's otherwise.
    int32_t w = windowWidth, h = windowHeight;
    if (fullScreen)
        QNSysGetDesktopSize(&w, &h);
    Runtime::Get().UseRenderSizeFor(w, h);
}

void Game::Run() {
    while (RunFrame()) {
    }
}

float Game::AdvanceClock(double frameTime) {
    const float dt = Runtime::Get().clock.Advance(frameTime);
    // The options' cooldown counts game time before the step is capped.
    toggleCooldown += static_cast<float>(frameTime) * timeScale;
    return dt;
}

bool Game::RunFrame() {
    if (!running)
        return false;
    QNSysFrameStart();
    QNInputUpdate();
    const float dt = AdvanceClock(QNFrameRateControllerGetFrameTime());
    // Nothing sounds while the window is in the background (a level pauses
    // itself as well).
    Audio::SetPaused(gQNSysAppActive == 0);

    if (nextScene) {
        SwitchScene();
        return running;
    }

    UpdateTweens(dt, timeScale);
    if (currentScene)
        currentScene->Update(dt);
    Audio::FollowTimeScale(timeScale);
    if (currentScene && drawFrames) {
        QNGfxSetRenderMode(QN_RENDER_TEXTURE);
        QNGfxSetTransparency(1.0f);
        currentScene->Draw(0);
        currentScene->Draw(1);
    }
    audioSystem.Update();
    if (gamePad.deviceKind != PadJoystick)
        gamePad.PollXInput(dt);
    if (gamePad.deviceKind != PadController)
        gamePad.PollDirectInput(dt);
    if (Runtime::Get().Triggered(Action::Screenshot))
        QNGfxRequestCapture(NextScreenshotPath());
    QNGfxEnd(); // presents the frame
    ++framesRun;
    static bool firstFrameTold = false; // once per process, not per restart
    if (!firstFrameTold && drawFrames && currentScene) {
        firstFrameTold = true;
        const double ms = std::chrono::duration<double, std::milli>(
                              std::chrono::steady_clock::now() - kProgramStart)
                              .count();
        // A line of its own, seen at once by whoever reads the console.
        std::printf("GAME: first frame presented %.0f ms after start\n", ms);
        std::fflush(stdout);
    }
    QNFrameRateControllerEnd();
    QNSysUpdate();
    if (!QNSysDoesWindowExist())
        running = false;
    return running;
}

void Game::SwitchScene() {
    ClearTweens();
    if (currentScene) {
        currentScene->Free();
        currentScene->Unload();
        delete currentScene;
    }
    currentScene = nextScene;
    nextScene = nullptr;
    gameSounds.Stop(); // no sound survives a scene switch
    Audio::State().music = nullptr;
    try {
        currentScene->Load();
        currentScene->Init();
        Audio::State().music = currentScene->Music();
    } catch (const std::exception& e) {
        ReportError(e.what());
        running = false;
    }
}

void Game::ReportError(const std::string& text) {
    lastError = text;
    std::fprintf(stderr, "Exception: %s\n", text.c_str());
    std::fflush(stderr);
    if (showErrorBoxes)
        ShowErrorBox("Exception", text, [this] { QNGfxRequestCapture(NextScreenshotPath()); });
}

void Game::Shutdown() {
    Resources::Unload();
    ShutdownAudio();
    if (currentScene) {
        currentScene->Unload();
        delete currentScene;
        currentScene = nullptr;
    }
    delete nextScene;
    nextScene = nullptr;
    ClearTweens();
    delete font;
    font = nullptr;
    const double seconds = static_cast<double>(SDL_GetPerformanceCounter() - runStartTicks) /
                           static_cast<double>(SDL_GetPerformanceFrequency());
    if (seconds > 0.0)
        std::printf("GAME: %u frames in %.1f s (%.1f per second)\n", framesRun, seconds,
                    static_cast<double>(framesRun) / seconds);
    QNSysExit();
    FontAtlas::ShutdownLibrary();
    SaveSettings();
}

void Game::SetNextScene(Scene* scene) {
    if (nextScene && nextScene != scene)
        delete nextScene; // requested but never loaded: nothing else holds it
    nextScene = scene;
}

// ---------------------------------------------------------------------------
// Settings
// ---------------------------------------------------------------------------
void Game::LoadSettings() {
    LoadSettingsFile();
}

void Game::SaveSettings() {
    SaveSettingsFile();
}

// ---------------------------------------------------------------------------
// Sound
// ---------------------------------------------------------------------------
void Game::InitAudio() {
    Audio::Init();
}

void Game::ShutdownAudio() {
    Audio::Shutdown();
}

void Game::ToggleMute() {
    ::ToggleMute();
}

void Game::ToggleFullScreen() {
    ::ToggleFullScreen();
}

// ---------------------------------------------------------------------------
// Scripted runs and screenshots
// ---------------------------------------------------------------------------
void Game::EnableScriptedRun(double frameTime) {
    QNInputSetScripted(true);
    QNFrameRateControllerSetFixedFrameTime(frameTime);
    gamePad.SetScripted(true);
    showErrorBoxes = false;
}

std::string Game::NextScreenshotPath() const {
    const std::string folder = UserFiles::Path("screenshots");
    UserFiles::MakeDirectories(folder);
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    char name[64];
    std::snprintf(name, sizeof name, "quorvane-%s-%05u.png", stamp,
                  QNFrameRateControllerGetFrameCount());
    return folder + "/" + name;
}
