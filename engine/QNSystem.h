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
// Desktop size in pixels (the screen the window lives on).
void QNSysGetDesktopSize(int32_t* width, int32_t* height);
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
// frameRate 0 means unpaced.
void QNFrameRateControllerInit(uint32_t frameRate);
void QNFrameRateControllerReset();
void QNFrameRateControllerStart();
// Busy-waits until the minimum frame time has passed since the start.
void QNFrameRateControllerEnd();
// Duration of the last completed frame, seconds.
double QNFrameRateControllerGetFrameTime();
uint32_t QNFrameRateControllerGetFrameCount();
double QNFrameRateControllerGetFrameRate();
// Scripted runs: when seconds > 0 every frame reports exactly that frame
// time and nothing waits; 0 goes back to the real clock.
void QNFrameRateControllerSetFixedFrameTime(double seconds);
