// QNInput.h -- keyboard and mouse snapshot, taken once per frame.
//
// The whole key state is a 256-byte array indexed by virtual-key code
// (engine/QNKeys.h); a key is down when bit 7 of its byte is set. The
// previous frame's array is kept for the triggered and released tests.
#pragma once

#include <cstdint>

union SDL_Event;

int QNInputInit();
void QNInputExit();
// Clears both key arrays, the cursor position and its delta.
void QNInputReset();
// Takes this frame's snapshot: previous = current, then reads keys and cursor.
void QNInputUpdate();

// Bit 7 of this frame's / the previous frame's byte for the key.
int QNInputCheckCurr(uint8_t key);
int QNInputCheckPrev(uint8_t key);
// Down now and not in the previous frame.
int QNInputCheckTriggered(uint8_t key);
// Down in the previous frame and not now.
int QNInputCheckReleased(uint8_t key);

// Cursor in client pixels divided by the cursor scales, truncated.
void QNInputGetCursorPosition(int32_t* x, int32_t* y);
void QNInputGetCursorPositionDelta(int32_t* dx, int32_t* dy);
// Cursor in the window's own client coordinates (QNSysGetClientSize).
void QNInputGetCursorClientPosition(int32_t* x, int32_t* y);
// Increments (show) or decrements (hide) the cursor display counter; the
// cursor shows while the counter is not negative.
void QNInputShowCursor(bool show);
int QNInputGetCursorDisplayCount();

// The virtual-key code of an SDL scancode, 0 when the key has none.
uint8_t QNInputVirtualKeyFromScancode(int scancode);
// Called by the message pump for every event it does not handle itself;
// remembers presses so that a tap shorter than a frame is still seen once.
void QNInputHandleEvent(const SDL_Event* event);

// Scripted input for tests and tools: while scripted, the snapshot reads
// the injected keys and cursor instead of the real devices.
void QNInputSetScripted(bool scripted);
bool QNInputIsScripted();
void QNInputInjectKey(uint8_t key, bool down);
void QNInputInjectCursor(int32_t x, int32_t y);
