// Game -- start-up, the main loop, shut-down and the shared services.
#include "game/Game.h"

#include "engine/QNGraphics.h"
#include "engine/QNIcon.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "engine/QNSystem.h"
#include "game/FadeTransition.h"
#include "game/Scene.h"
#include "game/Settings.h"
#include "game/SplashScene.h"
#include "game/Tween.h"
#include "render/FontAtlas.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>
#include <sys/stat.h>

namespace {
constexpr const char* kSettingsFile = "settings.xml";
constexpr float kMaxFrameDt = 0.06666667f; // one fifteenth of a second
} // namespace

Game& Game::Instance() {
    static Game game;
    return game;
}

// A missing "levels.xml" is reported when a level starts, not here.
Game::Game() : levels("levels.xml") {
    meshCache.max_load_factor(1.0f);
    meshCache.rehash(8);
    textureCache.max_load_factor(1.0f);
    textureCache.rehash(8);
    soundCache.max_load_factor(1.0f);
    soundCache.rehash(8);
    // The game opens on the logos, which hand over to the main menu.
    firstScene = [] { return static_cast<Scene*>(new SplashScene()); };
}

Game::~Game() = default;

// ---------------------------------------------------------------------------
// Life cycle
// ---------------------------------------------------------------------------
void Game::Init() {
    restart = false;
    toggleCooldown = 0.0f;
    LoadSettings();
    if (!FontAtlas::InitLibrary())
        throw std::runtime_error("Freetype init failed");

    if (!QNSysInit(screenWidth, screenHeight, 0, 60))
        throw std::runtime_error("Cannot open the game window (is a display available?)");
    screenWidth /= 2;
    screenHeight /= 2;
    QNGfxSetCamPosition(static_cast<float>(screenWidth) * 0.5f,
                        static_cast<float>(screenHeight) * 0.5f);
    invHalfWidth = 1.0f / static_cast<float>(screenWidth);
    invHalfHeight = 1.0f / static_cast<float>(screenHeight);
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
    timeScale = 1.0f;
    gamePad.Init();
    framesRun = 0;
    runStartTicks = SDL_GetPerformanceCounter();
}

void Game::Run() {
    while (RunFrame()) {
    }
}

float Game::AdvanceClock(double frameTime) {
    if (!(timeScale >= 1e-07f))
        timeScale = 1e-07f;
    if (timeScale > 20.0f)
        timeScale = 20.0f;
    float dt = static_cast<float>(frameTime) * timeScale;
    toggleCooldown += dt;
    if (!(dt >= 0.0f))
        dt = 0.0f;
    if (dt > kMaxFrameDt)
        dt = kMaxFrameDt;
    return dt;
}

bool Game::RunFrame() {
    if (!running)
        return false;
    QNSysFrameStart();
    QNInputUpdate();
    const float dt = AdvanceClock(QNFrameRateControllerGetFrameTime());

    if (nextScene) {
        SwitchScene();
        return running;
    }

    UpdateTweens(dt, timeScale);
    if (currentScene) {
        currentScene->Update(dt);
        QNGfxSetRenderMode(2);
        QNGfxSetTransparency(1.0f);
        currentScene->Draw(0);
        currentScene->Draw(1);
    }
    audioSystem.Update();
    if (gamePad.deviceKind != 1)
        gamePad.PollXInput(dt);
    if (gamePad.deviceKind != 0)
        gamePad.PollDirectInput(dt);
    if (QNInputCheckTriggered(QN_VK_F12))
        QNGfxRequestCapture(NextScreenshotPath());
    QNGfxEnd();
    ++framesRun;
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
    try {
        currentScene->Load();
        currentScene->Init();
    } catch (const std::exception& e) {
        ReportError(e.what());
        running = false;
    }
}

void Game::ReportError(const std::string& text) {
    lastError = text;
    std::fprintf(stderr, "Exception: %s\n", text.c_str());
    if (showErrorBoxes)
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Exception", text.c_str(),
                                 QNSysGetWindowHandle());
}

void Game::Shutdown() {
    for (auto& entry : textureCache)
        QNGfxTextureUnload(entry.second);
    textureCache.clear();
    for (auto& entry : meshCache)
        QNGfxMeshFree(entry.second);
    ShutdownAudio();
    meshCache.clear();
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
    Settings s;
    int32_t desktopW = 0, desktopH = 0;
    QNSysGetDesktopSize(&desktopW, &desktopH);
    if (!ReadSettings(kSettingsFile, s)) {
        s = Settings{};
        s.width = desktopW;
        s.height = desktopH;
    }
    // A window too small to play in (or a file without a size) opens at the
    // desktop size instead.
    if (s.width < kMinWindowWidth || s.height < kMinWindowHeight) {
        s.width = desktopW;
        s.height = desktopH;
    }
    volume = s.volume;
    muted = s.muted;
    fullscreen = s.fullscreen;
    screenWidth = s.width;
    screenHeight = s.height;
}

void Game::SaveSettings() {
    Settings s;
    s.volume = volume;
    s.muted = muted;
    s.fullscreen = fullscreen;
    s.width = 2 * screenWidth;
    s.height = 2 * screenHeight;
    WriteSettings(kSettingsFile, s);
}

// ---------------------------------------------------------------------------
// Resource caches
// ---------------------------------------------------------------------------
QNGfxMesh* Game::GetQuadMesh(int32_t columns) {
    const auto found = meshCache.find(columns);
    if (found != meshCache.end())
        return found->second;
    const float u = 1.0f / static_cast<float>(columns);
    const uint32_t white = 0xFFFFFFFFu;
    QNGfxMeshStart();
    QNGfxTriAdd(-0.5f, -0.5f, white, 0.0f, 1.0f, 0.5f, -0.5f, white, u, 1.0f, -0.5f, 0.5f, white,
                0.0f, 0.0f);
    QNGfxTriAdd(0.5f, -0.5f, white, u, 1.0f, 0.5f, 0.5f, white, u, 0.0f, -0.5f, 0.5f, white, 0.0f,
                0.0f);
    QNGfxMesh* mesh = QNGfxMeshEnd();
    if (mesh)
        meshCache[columns] = mesh;
    return mesh;
}

std::vector<QNGfxMesh*> Game::GetQuadMeshes(const std::vector<int32_t>& columns) {
    std::vector<QNGfxMesh*> meshes;
    meshes.reserve(columns.size());
    for (int32_t c : columns)
        meshes.push_back(GetQuadMesh(c));
    return meshes;
}

QNGfxTexture* Game::GetTexture(const std::string& name, bool underAssets) {
    const auto found = textureCache.find(name);
    if (found != textureCache.end())
        return found->second;
    const std::string path = underAssets ? "assets/" + name : name;
    QNGfxTexture* texture = QNGfxTextureLoad(path.c_str());
    if (texture) {
        glBindTexture(GL_TEXTURE_2D, *texture->id);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBindTexture(GL_TEXTURE_2D, 0);
        textureCache[name] = texture;
    }
    return texture;
}

std::vector<QNGfxTexture*> Game::GetTextures(const std::vector<std::string>& names) {
    std::vector<QNGfxTexture*> textures;
    textures.reserve(names.size());
    for (const std::string& n : names)
        textures.push_back(GetTexture(n, true));
    return textures;
}

std::vector<FrameTable> Game::BuildFrameTables(const std::vector<std::vector<float>>& lists) {
    std::vector<FrameTable> tables;
    tables.reserve(lists.size());
    for (const auto& list : lists) {
        FrameTable table;
        const int32_t count = list.empty() ? 0 : static_cast<int32_t>(list[0]);
        const size_t durations = list.empty() ? 0 : list.size() - 1;
        for (int32_t i = 0; i < count; ++i) {
            float duration = 0.0f;
            if (durations >= static_cast<size_t>(count))
                duration = list[1 + static_cast<size_t>(i)];
            else if (durations > 0)
                duration = list[1];
            table.push_back(
                {static_cast<float>(i) * (1.0f / static_cast<float>(count)), i, duration});
        }
        tables.push_back(std::move(table));
    }
    return tables;
}

std::string Game::NormalMapName(const std::string& fileName) {
    if (fileName.size() < 4)
        return fileName + "_n";
    return fileName.substr(0, fileName.size() - 4) + "_n" + fileName.substr(fileName.size() - 4);
}

Sound Game::GetSound(const std::string& fileName, bool stream) {
    const auto found = soundCache.find(fileName);
    if (found != soundCache.end())
        return Sound(found->second, volume);
    const std::string path = "./assets/sounds/" + fileName;
    SoundData* data = stream ? audioSystem.CreateStream(path) : audioSystem.CreateSound(path);
    if (data)
        soundCache[fileName] = data;
    return Sound(data, volume);
}

// ---------------------------------------------------------------------------
// Sound
// ---------------------------------------------------------------------------
void Game::InitAudio() {
    audioSystem.Init(32);
    audioSystem.CreateChannelGroup("Game_Sounds", &gameSounds);
    audioSystem.CreateLowPass(&lowPassDsp);
    gameSounds.AddFilter(&lowPassDsp);
    lowPassDsp.SetBypass(false);
    lowPassDsp.SetCutoff(22000.0f);

    cursorMoveSound = GetSound("cursor_move.wav", false);
    cursorSelectSound = GetSound("cursor_select.wav", false);
    cursorSelectSound.SetVolume(0.5f);
}

void Game::ShutdownAudio() {
    gameSounds.RemoveFilter(&lowPassDsp);
    audioSystem.ReleaseLowPass(&lowPassDsp);
    audioSystem.ReleaseChannelGroup(&gameSounds);
    for (auto& entry : soundCache)
        audioSystem.ReleaseSound(entry.second);
    soundCache.clear();
    audioSystem.Close();
    // The menu sounds pointed into the cache just emptied.
    cursorMoveSound = Sound();
    cursorSelectSound = Sound();
}

// ---------------------------------------------------------------------------
// Input tests
// ---------------------------------------------------------------------------
bool Game::IsHeld(uint16_t buttonMask, uint8_t key) const {
    if (gamePad.IsButtonHeld(buttonMask))
        return true;
    return QNInputCheckCurr(key) != 0;
}

bool Game::IsTriggered(uint16_t buttonMask, uint8_t key) const {
    if (gamePad.IsTriggered(buttonMask))
        return true;
    return QNInputCheckTriggered(key) != 0;
}

bool Game::AnyKeyHeld() const {
    if (gamePad.IsTriggered(0xFFFF))
        return true;
    for (int key = 0; key <= 187; ++key) {
        if (QNInputCheckCurr(static_cast<uint8_t>(key)))
            return true;
    }
    return false;
}

Vec2 Game::CursorToScreen() const {
    int32_t x = 0, y = 0;
    QNInputGetCursorPosition(&x, &y);
    const float fx = (static_cast<float>(x) - static_cast<float>(screenWidth)) * 0.5f;
    const float fy =
        (static_cast<float>(std::abs(y - QNGetWindowHeight())) - static_cast<float>(screenHeight)) *
        0.5f;
    return {fx, fy};
}

void Game::ToggleMute() {
    if (toggleCooldown < 1.0f)
        return;
    toggleCooldown = 0.0f;
    muted = !muted;
    if (muted) {
        gameSounds.Stop();
    } else if (currentScene) {
        if (Sound* music = currentScene->Music())
            music->Play();
    }
}

void Game::ToggleFullScreen() {
    if (toggleCooldown < 1.0f)
        return;
    toggleCooldown = 0.0f;
    fullscreen = !fullscreen;
    QNToogleFullScreen(fullscreen);
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
    mkdir("screenshots", 0755);
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    char path[96];
    std::snprintf(path, sizeof path, "screenshots/quorvane-%s-%05u.png", stamp,
                  QNFrameRateControllerGetFrameCount());
    return path;
}
