// What one frame costs at 1280 x 720, 1920 x 1080 and 3840 x 2160: a level
// room seen from where the player stands (its torches lit, its entities
// animating) and the main menu, each stepped and drawn as the main loop does,
// presented, never waited for.
// Run from the build directory with a display (Xvfb; software OpenGL).
//
// Counters: fps (frames per second of wall time) and cpu_ms (processor
// milliseconds per frame of the whole process, the renderer's threads
// included, from getrusage).
#include "bench/BenchWindow.h"
#include "core/Tween.h"
#include "entities/Player.h"
#include "render/PostProcessor.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"
#include "scenes/SceneFactory.h"
#include "world/LevelCatalogue.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <sys/resource.h>
#include <utility>

namespace {

constexpr float kStep = 1.0f / 60.0f;
constexpr int kSettleFrames = 40; // the fade-in is over after 30

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// One ordinary frame of the main loop, without input, sound or waiting.
void Frame(Scene& scene) {
    QNSysFrameStart();
    UpdateTweens(kStep, Runtime::Get().timeScale);
    scene.Update(kStep);
    QNGfxSetRenderMode(QN_RENDER_TEXTURE);
    QNGfxSetTransparency(1.0f);
    scene.Draw(0);
    scene.Draw(1);
    QNGfxEnd();
    QNSysUpdate();
}

// Steps the scene `seconds` without drawing, so whatever builds up over
// time (the menu's backdrop fills in over a minute and a half) is there.
void Age(Scene& scene, float seconds) {
    for (float t = 0.0f; t < seconds; t += kStep) {
        UpdateTweens(kStep, Runtime::Get().timeScale);
        scene.Update(kStep);
    }
}

void MeasureFrames(benchmark::State& state, Scene& scene) {
    for (int i = 0; i < kSettleFrames; ++i)
        Frame(scene);
    const double cpu0 = ProcessCpuSeconds();
    const auto wall0 = std::chrono::steady_clock::now();
    for (auto _ : state)
        Frame(scene);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    const double frames = static_cast<double>(state.iterations());
    state.counters["fps"] = frames / wall;
    state.counters["cpu_ms"] = (ProcessCpuSeconds() - cpu0) / frames * 1e3;
}

// The window sizes every frame benchmark runs at.
constexpr std::pair<int, int> kWindowSizes[] = {{1280, 720}, {1920, 1080}, {3840, 2160}};

void WindowSizes(benchmark::internal::Benchmark* b) {
    for (const auto& [w, h] : kWindowSizes)
        b->Args({w, h});
}

// Both rooms at every size, one size after the other.
void LevelSizes(benchmark::internal::Benchmark* b) {
    for (const auto& [w, h] : kWindowSizes)
        for (int room : {1, 2})
            b->Args({w, h, room});
}

// state.range(0), state.range(1): the window's size.
bool OpenWindowFor(benchmark::State& state) {
    if (OpenBenchWindow(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1))))
        return true;
    state.SkipWithError("no display");
    return false;
}

// state.range(2): the room of the first story level to stand in (1 has five
// torches, 2 seven).
void BM_LevelFrame(benchmark::State& state) {
    if (!OpenWindowFor(state))
        return;
    LevelCatalogue& levels = LevelCatalogue::Story();
    levels.endless = false;
    levels.currentLevel = 0;
    auto scene = std::make_unique<LevelScene>();
    scene->Load();
    scene->Init();
    LevelMap::Room* room = scene->FindRoom(static_cast<int32_t>(state.range(2)));
    if (!room) {
        state.SkipWithError("no such room");
    } else {
        if (room != scene->currentRoom) {
            // Blade steps in at the door back, as at the end of a transition.
            scene->currentRoom->MovePlayerTo(*room);
            scene->currentRoom = room;
        }
        state.counters["lights"] = static_cast<double>(room->torches.size());
        MeasureFrames(state, *scene);
    }
    ClearTweens();
    scene->Unload();
}
BENCHMARK(BM_LevelFrame)
    ->ArgNames({"width", "height", "room"})
    ->Apply(LevelSizes)
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The menu as it looks after a minute and a half: its cloud field lives 83 s.
void BM_MenuFrame(benchmark::State& state) {
    if (!OpenWindowFor(state))
        return;
    std::unique_ptr<Scene> scene(CreateScene(SceneId::MainMenu));
    scene->Load();
    scene->Init();
    Age(*scene, 90.0f);
    size_t particles = 0;
    for (const auto& system : static_cast<MainMenu&>(*scene).backgrounds)
        particles += system->particles.size();
    state.counters["particles"] = static_cast<double>(particles);
    MeasureFrames(state, *scene);
    ClearTweens();
    scene->Free();
    scene->Unload();
}
BENCHMARK(BM_MenuFrame)
    ->ArgNames({"width", "height"})
    ->Apply(WindowSizes)
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
