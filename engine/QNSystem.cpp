// QNSystem -- window, message pump, full screen and frame pacing on SDL2.
//
// One window per process. Closing it clears "window exists", which ends the
// game loop. Frames are paced on the performance counter: the controller
// sleeps through most of a frame's spare time and waits the last moment out
// on the counter, so frames stay exact without holding a core.
#include "engine/QNSystem.h"

#include "engine/QNGraphics.h"
#include "engine/QNInput.h"

#include <SDL.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <time.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define QN_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QN_LEAK_CHECKED 1
#endif
#endif
#ifdef QN_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

int32_t gQNSysAppActive = 0;

// ---------------------------------------------------------------------------
// Module state
// ---------------------------------------------------------------------------
namespace {

struct SystemState {
    SDL_Window* window = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t windowExists = 0;
    bool fullScreen = false;
    float cursorScaleX = 1.0f;
    float cursorScaleY = 1.0f;
    bool sdlVideoStarted = false;
    char initError[256] = ""; // why the last QNSysInit failed
};

struct FrameRateState {
    uint32_t frameCount = 0;
    double maxFrameRate = 0.0;
    double frameRate = 0.0;
    double minFrameTime = 0.0; // seconds
    double frameTime = 0.0;    // seconds
    uint64_t counterStart = 0;
    uint64_t counterEnd = 0;
    double secondsPerTick = 0.0;
    double fixedFrameTime = 0.0; // seconds; > 0 in scripted runs
    QNFramePacing pacing = QN_PACING_SLEEP;
    QNSleepMargin sleepMargin;
    bool vsync = false; // the driver presents on the vertical blank
};

SystemState SYS;
FrameRateState FRC;

constexpr double kEngineVersion = 3.04;

// SDL's own clean-up at exit, bounded in time. When the display goes away
// under a running game (the X server ends, the session is closed), the X
// library reports the broken connection and calls exit(); SDL_Quit then
// waits forever for an answer from that display, spinning, and the game
// would stay behind ignoring SIGTERM. Past a few seconds the alarm's default
// action ends the process instead.
void QuitVideoAtExit() {
    alarm(3);
    SDL_Quit();
    alarm(0);
}

// Keeps why the window could not be made, and tells the console.
void InitFailed(const std::string& why) {
    std::snprintf(SYS.initError, sizeof SYS.initError, "%s", why.c_str());
    std::fprintf(stderr, "SYSTEM: %s\n", SYS.initError);
}

bool StartVideo() {
    if (!SYS.sdlVideoStarted) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            InitFailed(std::string("no display to open a window on (SDL video failed to start: ") +
                       SDL_GetError() + ")");
            return false;
        }
        SYS.sdlVideoStarted = true;
        std::atexit(QuitVideoAtExit);
#ifdef QN_LEAK_CHECKED
        // Exit handlers run last registered first, so in sanitized builds
        // the leak check comes just before SDL_Quit. SDL_Quit closes the
        // display, which unloads the OpenGL driver: what the driver keeps in
        // its own globals would then look lost, in a library nobody can
        // name any more.
        std::atexit(__lsan_do_leak_check);
#endif
    }
    return true;
}

// The window's place in play after a desktop event: focus taken or given,
// minimised, hidden.
void ApplyWindowEvent(uint8_t windowEvent) {
    if (windowEvent == SDL_WINDOWEVENT_FOCUS_GAINED) {
        gQNSysAppActive = 1;
    } else if (windowEvent == SDL_WINDOWEVENT_FOCUS_LOST ||
               windowEvent == SDL_WINDOWEVENT_MINIMIZED || windowEvent == SDL_WINDOWEVENT_HIDDEN) {
        // A minimised or hidden window is out of play even where the desktop
        // leaves it the keyboard.
        gQNSysAppActive = 0;
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Window and message pump
// ---------------------------------------------------------------------------
int QNSysInit(int32_t width, int32_t height, int createConsole, uint32_t frameRate) {
    (void)createConsole; // engine reports always go to stdout / stderr here
    std::printf("Quarn Engine version: %2.2f\n\n", kEngineVersion);
    SYS.initError[0] = '\0';
    if (!StartVideo()) {
        return 0;
    }
    // When neither X11 nor Wayland answers, SDL falls back to drivers that
    // draw nowhere; a game nobody can see is no game, so that is no display.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        InitFailed(std::string("no display to open a window on (video driver ") + driver + ")");
        return 0;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    // Everything is drawn flat, in order: no depth or stencil buffer to
    // fill and clear, at whatever size the window has.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);

    SYS.width = width;
    SYS.height = height;
    SYS.fullScreen = false;
    SYS.cursorScaleX = SYS.cursorScaleY = 1.0f;
    SYS.window = SDL_CreateWindow("Quarn Engine", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (!SYS.window) {
        const std::string size = std::to_string(width) + " x " + std::to_string(height);
        InitFailed("a window of " + size + " pixels cannot be made: " + SDL_GetError());
        return 0;
    }
    SYS.windowExists = 1;
    gQNSysAppActive = 1;
    if (!QNGfxInit(width, height)) {
        InitFailed("the graphics driver offers no usable OpenGL 2.0 context (see above)");
        return 0;
    }
    QNInputInit();
    QNFrameRateControllerInit(frameRate);
    return 1;
}

void QNSysReset() {
    QNFrameRateControllerReset();
    QNInputReset();
}

void QNSysUpdate() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            SYS.windowExists = 0;
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE)
                SYS.windowExists = 0;
            else if (!QNInputIsScripted())
                ApplyWindowEvent(event.window.event); // a scripted run plays its own
            break;
        default:
            QNInputHandleEvent(&event);
            break;
        }
    }
}

void QNSysExit() {
    QNGfxExit();
    if (SYS.window) {
        SDL_DestroyWindow(SYS.window);
        SYS.window = nullptr;
    }
    SYS.windowExists = 0;
    FRC.vsync = false; // the swap interval went with the context
    // SDL's video stays up until the process ends: opening and closing the
    // display connection for every window leaks driver state, and after a
    // dozen cycles the next OpenGL context cannot be made.
}

void QNSysFrameStart() {
    QNFrameRateControllerStart();
    QNGfxStart();
}

void QNSysFrameEnd() {
    QNGfxEnd();
    QNFrameRateControllerEnd();
    QNSysUpdate();
}

void QNSysInjectWindowEvent(uint8_t windowEvent) {
    ApplyWindowEvent(windowEvent);
}

SDL_Window* QNSysGetWindowHandle() {
    return SYS.window;
}

void QNSysSetWindowTitle(const char* text) {
    if (SYS.window) {
        SDL_SetWindowTitle(SYS.window, text);
    }
}

int32_t QNSysDoesWindowExist() {
    return SYS.windowExists;
}
int32_t QNGetWindowWidth() {
    return SYS.width;
}
int32_t QNGetWindowHeight() {
    return SYS.height;
}

void QNSysGetClientSize(int32_t* width, int32_t* height) {
    int w = SYS.width, h = SYS.height;
    if (SYS.window)
        SDL_GetWindowSize(SYS.window, &w, &h);
    *width = w;
    *height = h;
}

void QNSysGetDesktopSize(int32_t* width, int32_t* height) {
    SDL_DisplayMode mode;
    const int display = SYS.window ? SDL_GetWindowDisplayIndex(SYS.window) : 0;
    if (StartVideo() && SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) == 0) {
        *width = mode.w;
        *height = mode.h;
    } else {
        // No display to ask: a common desktop size keeps the window usable.
        *width = 1280;
        *height = 720;
    }
}

void QNSysGetUsableDesktopSize(int32_t* width, int32_t* height) {
    QNSysGetDesktopSize(width, height);
    SDL_Rect usable;
    const int display = SYS.window ? SDL_GetWindowDisplayIndex(SYS.window) : 0;
    if (SYS.sdlVideoStarted &&
        SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) == 0 && usable.w > 0 &&
        usable.h > 0) {
        *width = usable.w;
        *height = usable.h;
    }
}

const char* QNSysGetInitError() {
    return SYS.initError;
}

void QNSysSetWindowIcon(const unsigned char* rgba, int width, int height) {
    if (!SYS.window || !rgba) {
        return;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<unsigned char*>(rgba), width, height, 32, width * 4, SDL_PIXELFORMAT_RGBA32);
    if (surface) {
        SDL_SetWindowIcon(SYS.window, surface);
        SDL_FreeSurface(surface);
    }
}

void QNToogleFullScreen(bool on) {
    SYS.fullScreen = on;
    if (!SYS.window) {
        return;
    }
    int32_t screenW = 0, screenH = 0;
    QNSysGetDesktopSize(&screenW, &screenH);
    if (on) {
        SYS.cursorScaleX = static_cast<float>(screenW) / static_cast<float>(SYS.width);
        SYS.cursorScaleY = static_cast<float>(screenH) / static_cast<float>(SYS.height);
        SDL_SetWindowFullscreen(SYS.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SYS.cursorScaleX = SYS.cursorScaleY = 1.0f;
        SDL_SetWindowFullscreen(SYS.window, 0);
        SDL_SetWindowSize(SYS.window, SYS.width, SYS.height);
        SDL_SetWindowPosition(SYS.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        SDL_ShowWindow(SYS.window);
    }
    // The camera matrices pick the new scales up the next time a built-in
    // program becomes current (at the latest on the next frame).
}

bool QNSysIsFullScreen() {
    return SYS.fullScreen;
}
float QNSysGetCursorScaleX() {
    return SYS.cursorScaleX;
}
float QNSysGetCursorScaleY() {
    return SYS.cursorScaleY;
}

// ---------------------------------------------------------------------------
// Frame-rate controller
// ---------------------------------------------------------------------------
void QNFrameRateControllerInit(uint32_t frameRate) {
    FRC.frameCount = 0;
    FRC.maxFrameRate = static_cast<double>(frameRate);
    FRC.frameRate = FRC.maxFrameRate;
    FRC.minFrameTime = frameRate == 0 ? 0.0 : 1.0 / FRC.maxFrameRate;
    FRC.frameTime = FRC.minFrameTime;
    FRC.counterStart = SDL_GetPerformanceCounter();
}

void QNFrameRateControllerReset() {
    FRC.frameCount = 0;
    FRC.frameRate = FRC.maxFrameRate;
    FRC.minFrameTime = FRC.maxFrameRate == 0.0 ? 0.0 : 1.0 / FRC.maxFrameRate;
    FRC.frameTime = FRC.minFrameTime;
}

void QNFrameRateControllerStart() {
    FRC.secondsPerTick = 1.0 / static_cast<double>(SDL_GetPerformanceFrequency());
    FRC.counterStart = SDL_GetPerformanceCounter();
}

namespace {

double Elapsed(uint64_t from, uint64_t to) {
    return static_cast<double>(to - from) * FRC.secondsPerTick;
}

// Lets a hyper-threaded sibling core run while this one waits.
inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

// Sleeps for about `seconds`; a signal may end it early.
void SleepFor(double seconds) {
    timespec request;
    request.tv_sec = static_cast<time_t>(seconds);
    request.tv_nsec = static_cast<long>((seconds - static_cast<double>(request.tv_sec)) * 1e9);
    clock_nanosleep(CLOCK_MONOTONIC, 0, &request, nullptr);
}

// Waits until the counter reaches `deadline`. The kernel wakes a sleeper
// late by a varying amount, so sleeping stops one margin before the deadline
// and the counter is read for the rest; every sleep's lateness feeds the
// margin.
void WaitUntil(uint64_t deadline) {
    for (;;) {
        const uint64_t now = SDL_GetPerformanceCounter();
        if (now >= deadline)
            return;
        const double remaining = Elapsed(now, deadline);
        const double margin = FRC.sleepMargin.Seconds();
        if (FRC.pacing != QN_PACING_SLEEP || remaining <= margin)
            break;
        const double asked = remaining - margin;
        SleepFor(asked);
        const double slept = Elapsed(now, SDL_GetPerformanceCounter());
        // A signal ending the sleep early is no measure of lateness.
        if (slept >= asked)
            FRC.sleepMargin.Add(slept - asked);
    }
    while (SDL_GetPerformanceCounter() < deadline)
        CpuRelax();
}

} // namespace

void QNFrameRateControllerEnd() {
    if (FRC.fixedFrameTime > 0.0) {
        FRC.frameTime = FRC.fixedFrameTime;
    } else {
        if (FRC.secondsPerTick == 0.0) {
            FRC.secondsPerTick = 1.0 / static_cast<double>(SDL_GetPerformanceFrequency());
        }
        FRC.counterEnd = SDL_GetPerformanceCounter();
        FRC.frameTime = Elapsed(FRC.counterStart, FRC.counterEnd);
        // With vertical sync the swap has already held the frame back; a frame
        // far shorter than the minimum means the driver ignores the request,
        // and the counter paces it after all.
        const bool paced = FRC.vsync && FRC.frameTime >= 0.75 * FRC.minFrameTime;
        if (FRC.minFrameTime > FRC.frameTime && !paced) {
            const uint64_t deadline =
                FRC.counterStart +
                static_cast<uint64_t>(FRC.minFrameTime / FRC.secondsPerTick + 0.999999);
            WaitUntil(deadline);
            FRC.counterEnd = SDL_GetPerformanceCounter();
            FRC.frameTime = Elapsed(FRC.counterStart, FRC.counterEnd);
        }
    }
    FRC.frameRate = FRC.frameTime > 0.0 ? 1.0 / FRC.frameTime : 0.0;
    ++FRC.frameCount;
}

double QNFrameRateControllerGetFrameTime() {
    return FRC.frameTime;
}
uint32_t QNFrameRateControllerGetFrameCount() {
    return FRC.frameCount;
}
double QNFrameRateControllerGetFrameRate() {
    return FRC.frameRate;
}
void QNFrameRateControllerSetFixedFrameTime(double seconds) {
    FRC.fixedFrameTime = seconds > 0.0 ? seconds : 0.0;
}

void QNFrameRateControllerSetPacing(QNFramePacing pacing) {
    FRC.pacing = pacing;
}
QNFramePacing QNFrameRateControllerGetPacing() {
    return FRC.pacing;
}
double QNFrameRateControllerGetSleepMargin() {
    return FRC.sleepMargin.Seconds();
}

bool QNSysSetVSync(bool on) {
    FRC.vsync = false;
    if (!SYS.window || !SDL_GL_GetCurrentContext())
        return false;
    if (!on) {
        SDL_GL_SetSwapInterval(0);
        return false;
    }
    // One present every `interval` blanks keeps a 120 or 144 Hz display near
    // the game's rate rather than at the display's.
    int interval = 1;
    SDL_DisplayMode mode;
    if (FRC.maxFrameRate > 0.0 && SDL_GetWindowDisplayMode(SYS.window, &mode) == 0 &&
        mode.refresh_rate > 0)
        interval = std::max(1, static_cast<int>(mode.refresh_rate / FRC.maxFrameRate + 0.5));
    FRC.vsync = SDL_GL_SetSwapInterval(interval) == 0;
    return FRC.vsync;
}

bool QNSysIsVSync() {
    return FRC.vsync;
}

// ---------------------------------------------------------------------------
// Sleep margin
// ---------------------------------------------------------------------------
void QNSleepMargin::Add(double overshoot) {
    overshoots[next] = overshoot > 0.0 ? overshoot : 0.0;
    next = (next + 1) % kWindow;
    if (count < kWindow)
        ++count;
    if (count < kWarmUp)
        return;
    double worst = 0.0, second = 0.0;
    for (int i = 0; i < count; ++i) {
        const double o = overshoots[i];
        if (o > worst) {
            second = worst;
            worst = o;
        } else if (o > second) {
            second = o;
        }
    }
    margin = std::min(kCeiling, std::max(kFloor, second + kPad));
}
