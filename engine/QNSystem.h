// QNSystem.h -- the engine's system module: the one game window, the message
// pump, windowed / full-screen presentation and the frame-rate controller.
#pragma once

#include <cstdint>

struct SDL_Window;

// 1 while the window has the input focus, 0 while another window has it or
// the window is minimised or hidden.
extern int32_t gQNSysAppActive;

// ---------------------------------------------------------------------------
// Window and message pump
// ---------------------------------------------------------------------------
// Opens the window (width x height pixels, centred on the desktop), starts
// graphics and the frame-rate controller. Returns 1, or 0 when graphics fail.
int QNSysInit(int32_t width, int32_t height, int createConsole, uint32_t frameRate);
// Resets the frame-rate controller and all input state.
void QNSysReset();
// Pumps pending window messages without blocking.
void QNSysUpdate();
// Scripted runs (engine/QNInput.h) ignore the desktop's focus, which is not
// theirs: this plays a window event (an SDL_WindowEventID: focus lost or
// gained, minimised, ...) as the desktop would send it.
void QNSysInjectWindowEvent(uint8_t windowEvent);
// Closes the window, frees the built-in programs and the OpenGL context.
void QNSysExit();
// Starts a frame: frame timer, clear, viewport.
void QNSysFrameStart();
// Ends a frame: present, wait out the frame, pump messages.
void QNSysFrameEnd();
SDL_Window* QNSysGetWindowHandle();
void QNSysSetWindowTitle(const char* text);
// 1 from QNSysInit until the window is closed.
int32_t QNSysDoesWindowExist();
// Requested client size in pixels; also the rendering size.
int32_t QNGetWindowWidth();
int32_t QNGetWindowHeight();
// The window's client area as it is now, in the units the pointer comes in:
// the desktop's size in full screen; the requested size without a window.
void QNSysGetClientSize(int32_t* width, int32_t* height);
// Desktop size in pixels (the screen the window lives on).
void QNSysGetDesktopSize(int32_t* width, int32_t* height);
// The part of the desktop windows may take (without panels and docks);
// the desktop size where the desktop does not tell.
void QNSysGetUsableDesktopSize(int32_t* width, int32_t* height);
// Why the last QNSysInit returned 0 ("no display to open a window on ...",
// "a window of 100000 x 100000 pixels cannot be made: ..."); "" after success.
const char* QNSysGetInitError();
// Sets the window icon from 32-bit RGBA pixels.
void QNSysSetWindowIcon(const unsigned char* rgba, int width, int height);

// Switches between a centred window and desktop full screen (the name is
// spelled so for old callers' sake).
void QNToogleFullScreen(bool on);
bool QNSysIsFullScreen();
// 1.0 when windowed; desktop size / window size when full screen.
float QNSysGetCursorScaleX();
float QNSysGetCursorScaleY();

// ---------------------------------------------------------------------------
// Frame-rate controller
// ---------------------------------------------------------------------------
// How a frame's spare time is waited out.
enum QNFramePacing : int {
    // Reads the counter in a loop until the frame's length has passed: exact,
    // and a whole processor core for the spare time.
    QN_PACING_BUSY = 0,
    // Sleeps until shortly before the frame's deadline, then waits the rest
    // on the counter. The margin follows the measured sleep overshoot.
    QN_PACING_SLEEP = 1,
};

// frameRate 0 means unpaced.
void QNFrameRateControllerInit(uint32_t frameRate);
void QNFrameRateControllerReset();
void QNFrameRateControllerStart();
// Waits until the minimum frame time has passed since the start (unless the
// display's vertical sync already paced the frame), then records the frame
// time: the whole frame, waiting included.
void QNFrameRateControllerEnd();
// Duration of the last completed frame, seconds.
double QNFrameRateControllerGetFrameTime();
uint32_t QNFrameRateControllerGetFrameCount();
double QNFrameRateControllerGetFrameRate();
// Scripted runs: when seconds > 0 every frame reports exactly that frame
// time and nothing waits; 0 goes back to the real clock.
void QNFrameRateControllerSetFixedFrameTime(double seconds);
// QN_PACING_SLEEP unless set otherwise.
void QNFrameRateControllerSetPacing(QNFramePacing pacing);
QNFramePacing QNFrameRateControllerGetPacing();
// The sleep margin in use, seconds.
double QNFrameRateControllerGetSleepMargin();

// Asks the driver to present on the display's vertical blank, every
// refresh / frame rate blanks, so the swap paces the frames. True when the
// driver took it; the controller then waits only for frames the swap did not
// hold back (a driver that accepts and ignores it). Off goes back to waiting.
bool QNSysSetVSync(bool on);
bool QNSysIsVSync();

// How long before a frame's deadline sleeping stops: a little above the
// recent sleep overshoot (the worst of the last kWindow sleeps, bar one, so
// a single preemption does not hold it up), within [kFloor, kCeiling].
class QNSleepMargin {
public:
    static constexpr int kWindow = 128;       // sleeps remembered
    static constexpr double kInitial = 0.002; // seconds, until kWarmUp sleeps
    static constexpr int kWarmUp = 16;        // sleeps before the margin adapts
    static constexpr double kPad = 0.0002;    // seconds over the overshoot
    static constexpr double kFloor = 0.0003;  // seconds
    static constexpr double kCeiling = 0.004; // seconds
    // Records how much later than asked a sleep ended, seconds.
    void Add(double overshoot);
    double Seconds() const { return margin; }

private:
    double overshoots[kWindow] = {};
    int count = 0; // sleeps recorded, up to kWindow
    int next = 0;  // slot of the next record
    double margin = kInitial;
};
