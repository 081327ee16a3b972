// Start-up times at 1280 x 720, each over several runs (min, median, max in
// milliseconds). Run from the build directory (it starts ./quorvane and reads
// assets/) with a display (Xvfb; software OpenGL).
//
// BM_StartToFirstFrame: the real executable started afresh, from the moment
// it is spawned to the moment its first presented frame is announced on its
// console ("GAME: first frame presented"); then it is stopped at once
// (SIGKILL: nothing of it is needed after). Counters
// first_frame_{min,median,max}_ms; first_frame_cpu_median_ms, the processor
// time the game used up to then (all its threads; a busy machine disturbs it
// less than the wall time); in_game_median_ms, the game's own count from
// its static set-up.
//
// BM_NewGameToLevel: the game started in this process with scripted frames
// on the main menu, "Start new game", "Yes". The menu then fades out for half
// a second of game time (its frames are not paced here); the counters
// level_{min,median,max}_ms run from the start of the frame that switches to
// the level (the end of the fade) to the end of the level's first presented
// frame. "Yes" to the level on screen is the half-second fade plus that.
// level_cpu_{min,median}_ms: the processor time of the whole process (the
// renderer's threads included) over the same stretch, which a busy machine
// disturbs less than the wall time.
#include "bench/BenchWindow.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "game/Game.h"
#include "render/Resources.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"
#include "ui/MainMenuWindow.h"
#include "ui/UIText.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int kRuns = 10;
constexpr const char* kSettings =
    "<settings volume=\"0\" muted=\"1\" fullscreen=\"0\" width=\"1280\" height=\"720\"/>\n";

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double ProcessCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-3;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Report(benchmark::State& state, const std::string& name, const std::vector<double>& ms) {
    state.counters[name + "_min_ms"] = *std::min_element(ms.begin(), ms.end());
    state.counters[name + "_median_ms"] = Median(ms);
    state.counters[name + "_max_ms"] = *std::max_element(ms.begin(), ms.end());
}

// A fresh game folder in /tmp: the build's assets linked in, the settings of
// a 1280 x 720 window without sound; entered while it lives. `ok` is false
// when it could not be made (nothing is written anywhere then).
class GameFolder {
public:
    GameFolder() : previous(fs::current_path()) {
        char pattern[] = "/tmp/quorvane-bench-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made)
            return;
        path = made;
        fs::create_directory_symlink(previous / "assets", path / "assets", ec);
        std::ofstream(path / "settings.xml") << kSettings;
        fs::current_path(path, ec);
        ok = !ec;
    }
    ~GameFolder() {
        fs::current_path(previous, ec);
        if (path.string().rfind("/tmp/quorvane-bench-", 0) == 0)
            fs::remove_all(path, ec);
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;
    void Reset() const {
        std::error_code gone;
        fs::remove(path / "save.xml", gone);
        std::ofstream(path / "settings.xml") << kSettings;
    }
    fs::path path;
    bool ok = false;

private:
    fs::path previous;
    std::error_code ec;
};

// Spawns `program` in the current directory with software OpenGL; returns
// the milliseconds until its console says `line`, or a negative number when
// it ended or stayed silent for ten seconds. The program is stopped then;
// `cpuMs` is the processor time it used, `number` what follows `line`.
double MillisecondsUntilLine(const std::string& program, const std::string& line, double& number,
                             double& cpuMs) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("LIBGL_ALWAYS_SOFTWARE=", 0) != 0)
            env.emplace_back(*e);
    env.emplace_back("LIBGL_ALWAYS_SOFTWARE=1");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0)
        return -1.0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string path = program;
    char* argv[] = {path.data(), nullptr};
    pid_t pid = 0;
    const Clock::time_point start = Clock::now();
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    double ms = -1.0;
    if (spawned == 0) {
        std::string text;
        char buffer[4096];
        pollfd wait{out[0], POLLIN, 0};
        while (ms < 0.0 && poll(&wait, 1, 10000) > 0) {
            const ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            text.append(buffer, static_cast<size_t>(n));
            const size_t at = text.find(line);
            if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
                ms = Ms(Clock::now() - start);
                number = std::atof(text.c_str() + at + line.size());
            }
        }
        kill(pid, SIGKILL);
        int status = 0;
        rusage usage{};
        while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
        }
        cpuMs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-3;
    }
    close(out[0]);
    return ms;
}

void BM_StartToFirstFrame(benchmark::State& state) {
    const fs::path program = fs::current_path() / "quorvane";
    if (!fs::exists(program)) {
        state.SkipWithError("no ./quorvane: run from the build directory");
        return;
    }
    std::vector<double> external, inGame, cpu;
    for (auto _ : state) {
        GameFolder folder;
        if (!folder.ok)
            state.SkipWithError("no scratch folder in /tmp");
        for (int i = 0; i < kRuns && !state.error_occurred(); ++i) {
            double own = 0.0, cpuMs = 0.0;
            const double ms =
                MillisecondsUntilLine(program.string(), "GAME: first frame presented ", own, cpuMs);
            if (ms < 0.0) {
                state.SkipWithError("the game showed no first frame (is there a display?)");
                break;
            }
            external.push_back(ms);
            inGame.push_back(own);
            cpu.push_back(cpuMs);
        }
    }
    if (state.error_occurred())
        return;
    Report(state, "first_frame", external);
    state.counters["first_frame_cpu_median_ms"] = Median(cpu);
    state.counters["in_game_median_ms"] = Median(inGame);
}
BENCHMARK(BM_StartToFirstFrame)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// One key pressed for a frame and released for a frame.
void Tap(uint8_t key) {
    Game& game = Game::Instance();
    QNInputInjectKey(key, true);
    game.RunFrame();
    QNInputInjectKey(key, false);
    game.RunFrame();
}

// Frames until `done` holds, at most `limit`; false when it never did.
bool FramesUntil(const std::function<bool()>& done, int limit) {
    for (int i = 0; i < limit && !done(); ++i)
        Game::Instance().RunFrame();
    return done();
}

MainMenuWindow* MenuWindow() {
    auto* menu = dynamic_cast<MainMenu*>(Game::Instance().currentScene);
    return menu ? menu->window.get() : nullptr;
}

// Highlights the entry `text` with Down and presses Enter, once the window
// takes input.
bool Choose(const std::string& text) {
    MainMenuWindow* window = MenuWindow();
    if (!window || !FramesUntil([window] { return !window->busy; }, 240))
        return false;
    for (int i = 0; i < 8; ++i) {
        const int32_t at = window->selectedIndex;
        const auto* entry =
            at < 0 ? nullptr
                   : dynamic_cast<const UIText*>(window->elements[static_cast<size_t>(at)]);
        if (entry && std::string(entry->text.begin(), entry->text.end()) == text) {
            Tap(QN_VK_RETURN);
            return true;
        }
        Tap(QN_VK_DOWN);
    }
    return false;
}

// One new game from the menu; the milliseconds from the start of the switch
// to the level to the end of its first frame, negative when it never came,
// and the processor milliseconds over that time in `cpuMs`.
double NewGameToLevel(double& cpuMs) {
    Game& game = Game::Instance();
    game.EnableScriptedRun(1.0 / 60.0);
    game.firstScene = [] { return new MainMenu(); };
    FadeTransition::Instance().color[3] = 1.0f; // black, as at launch
    game.Init();
    game.RunFrame(); // the switch to the menu
    double ms = -1.0;
    if (Choose("Start new game") && Choose("Yes")) {
        // The fade runs out; then one frame loads the level, the next draws it.
        if (FramesUntil([&game] { return game.nextScene != nullptr; }, 120)) {
            const double cpu = ProcessCpuMs();
            const Clock::time_point start = Clock::now();
            game.RunFrame();
            if (dynamic_cast<LevelScene*>(game.currentScene)) {
                game.RunFrame();
                ms = Ms(Clock::now() - start);
                cpuMs = ProcessCpuMs() - cpu;
            }
        }
    }
    game.Shutdown();
    QNFrameRateControllerSetFixedFrameTime(0.0);
    return ms;
}

void BM_NewGameToLevel(benchmark::State& state) {
    // The game opens its own window: a benchmark's window before it closes.
    if (QNSysDoesWindowExist()) {
        Resources::Unload();
        QNSysExit();
    }
    std::vector<double> level, cpu;
    for (auto _ : state) {
        GameFolder folder;
        if (!folder.ok)
            state.SkipWithError("no scratch folder in /tmp");
        for (int i = 0; i < kRuns && !state.error_occurred(); ++i) {
            folder.Reset();
            double cpuMs = 0.0;
            const double ms = NewGameToLevel(cpuMs);
            if (ms < 0.0) {
                state.SkipWithError("no level after Yes (is there a display?)");
                break;
            }
            level.push_back(ms);
            cpu.push_back(cpuMs);
        }
    }
    if (state.error_occurred())
        return;
    Report(state, "level", level);
    state.counters["level_cpu_min_ms"] = *std::min_element(cpu.begin(), cpu.end());
    state.counters["level_cpu_median_ms"] = Median(cpu);
}
BENCHMARK(BM_NewGameToLevel)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
