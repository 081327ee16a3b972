// QNInput -- keyboard and mouse snapshots on SDL2 in the virtual-key
// vocabulary, plus scripted input for tests.
#include "engine/QNInput.h"

#include "engine/QNKeys.h"
#include "engine/QNSystem.h"

#include <SDL.h>
#include <cstring>

// ---------------------------------------------------------------------------
// Module state
// ---------------------------------------------------------------------------
namespace {

struct InputState {
    uint8_t current[256] = {};
    uint8_t previous[256] = {};
    uint8_t latched[256] = {}; // pressed since the last snapshot
    int32_t cursorX = 0, cursorY = 0;
    int32_t deltaX = 0, deltaY = 0;
    int cursorDisplayCount = 0;
    bool scripted = false;
    uint8_t injected[256] = {};
    int32_t injectedX = 0, injectedY = 0;
};

InputState INPUT;

uint8_t VirtualKeyFromMouseButton(uint8_t button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return QN_VK_LBUTTON;
    case SDL_BUTTON_RIGHT:
        return QN_VK_RBUTTON;
    case SDL_BUTTON_MIDDLE:
        return QN_VK_MBUTTON;
    case SDL_BUTTON_X1:
        return QN_VK_XBUTTON1;
    case SDL_BUTTON_X2:
        return QN_VK_XBUTTON2;
    default:
        return 0;
    }
}

void ReadLiveKeys(uint8_t* out) {
    std::memset(out, 0, 256);
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    for (int sc = 0; sc < count; ++sc) {
        if (keys[sc]) {
            const uint8_t vk = QNInputVirtualKeyFromScancode(sc);
            if (vk) {
                out[vk] = 0x80;
            }
        }
    }
    const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    for (uint8_t b = SDL_BUTTON_LEFT; b <= SDL_BUTTON_X2; ++b) {
        if (buttons & SDL_BUTTON(b)) {
            out[VirtualKeyFromMouseButton(b)] = 0x80;
        }
    }
    for (int vk = 0; vk < 256; ++vk) {
        out[vk] |= INPUT.latched[vk];
    }
    std::memset(INPUT.latched, 0, sizeof INPUT.latched);
}

// Side-specific modifiers also report through their shared code.
void MergeModifiers(uint8_t* keys) {
    keys[QN_VK_SHIFT] |= keys[QN_VK_LSHIFT] | keys[QN_VK_RSHIFT];
    keys[QN_VK_CONTROL] |= keys[QN_VK_LCONTROL] | keys[QN_VK_RCONTROL];
    keys[QN_VK_MENU] |= keys[QN_VK_LMENU] | keys[QN_VK_RMENU];
}

} // namespace

// ---------------------------------------------------------------------------
// Module functions
// ---------------------------------------------------------------------------
int QNInputInit() {
    return 1;
}
void QNInputExit() {}

void QNInputReset() {
    std::memset(INPUT.current, 0, sizeof INPUT.current);
    std::memset(INPUT.previous, 0, sizeof INPUT.previous);
    std::memset(INPUT.latched, 0, sizeof INPUT.latched);
    INPUT.cursorX = INPUT.cursorY = 0;
    INPUT.deltaX = INPUT.deltaY = 0;
}

void QNInputUpdate() {
    std::memcpy(INPUT.previous, INPUT.current, sizeof INPUT.current);
    int32_t x = 0, y = 0;
    if (INPUT.scripted) {
        std::memcpy(INPUT.current, INPUT.injected, sizeof INPUT.current);
        x = INPUT.injectedX;
        y = INPUT.injectedY;
    } else {
        ReadLiveKeys(INPUT.current);
        int mx = 0, my = 0;
        SDL_GetMouseState(&mx, &my);
        x = mx;
        y = my;
    }
    MergeModifiers(INPUT.current);
    INPUT.deltaX = x - INPUT.cursorX;
    INPUT.deltaY = y - INPUT.cursorY;
    INPUT.cursorX = x;
    INPUT.cursorY = y;
}

int QNInputCheckCurr(uint8_t key) {
    return (INPUT.current[key] & 0x80) ? 1 : 0;
}
int QNInputCheckPrev(uint8_t key) {
    return (INPUT.previous[key] & 0x80) ? 1 : 0;
}
int QNInputCheckTriggered(uint8_t key) {
    return QNInputCheckCurr(key) && !QNInputCheckPrev(key);
}
int QNInputCheckReleased(uint8_t key) {
    return !QNInputCheckCurr(key) && QNInputCheckPrev(key);
}

void QNInputGetCursorPosition(int32_t* x, int32_t* y) {
    *x = static_cast<int32_t>(static_cast<float>(INPUT.cursorX) / QNSysGetCursorScaleX());
    *y = static_cast<int32_t>(static_cast<float>(INPUT.cursorY) / QNSysGetCursorScaleY());
}

void QNInputGetCursorClientPosition(int32_t* x, int32_t* y) {
    *x = INPUT.cursorX;
    *y = INPUT.cursorY;
}

void QNInputGetCursorPositionDelta(int32_t* dx, int32_t* dy) {
    *dx = static_cast<int32_t>(static_cast<float>(INPUT.deltaX) / QNSysGetCursorScaleX());
    *dy = static_cast<int32_t>(static_cast<float>(INPUT.deltaY) / QNSysGetCursorScaleY());
}

void QNInputShowCursor(bool show) {
    INPUT.cursorDisplayCount += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_ShowCursor(INPUT.cursorDisplayCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    }
}

int QNInputGetCursorDisplayCount() {
    return INPUT.cursorDisplayCount;
}

void QNInputHandleEvent(const SDL_Event* event) {
    if (event->type == SDL_KEYDOWN) {
        const uint8_t vk = QNInputVirtualKeyFromScancode(event->key.keysym.scancode);
        if (vk) {
            INPUT.latched[vk] = 0x80;
        }
    } else if (event->type == SDL_MOUSEBUTTONDOWN) {
        const uint8_t vk = VirtualKeyFromMouseButton(event->button.button);
        if (vk) {
            INPUT.latched[vk] = 0x80;
        }
    }
}

void QNInputSetScripted(bool scripted) {
    INPUT.scripted = scripted;
    std::memset(INPUT.injected, 0, sizeof INPUT.injected);
}

bool QNInputIsScripted() {
    return INPUT.scripted;
}

void QNInputInjectKey(uint8_t key, bool down) {
    INPUT.injected[key] = down ? 0x80 : 0;
}

void QNInputInjectCursor(int32_t x, int32_t y) {
    INPUT.injectedX = x;
    INPUT.injectedY = y;
}

uint8_t QNInputVirtualKeyFromScancode(int sc) {
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) {
        return static_cast<uint8_t>(QN_VK_A + (sc - SDL_SCANCODE_A));
    }
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) {
        return static_cast<uint8_t>('1' + (sc - SDL_SCANCODE_1));
    }
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) {
        return static_cast<uint8_t>(QN_VK_F1 + (sc - SDL_SCANCODE_F1));
    }
    if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) {
        return static_cast<uint8_t>(QN_VK_F1 + 12 + (sc - SDL_SCANCODE_F13));
    }
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) {
        return static_cast<uint8_t>(QN_VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1));
    }
    switch (sc) {
    case SDL_SCANCODE_0:
        return QN_VK_0;
    case SDL_SCANCODE_KP_0:
        return QN_VK_NUMPAD0;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
        return QN_VK_RETURN;
    case SDL_SCANCODE_ESCAPE:
        return QN_VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE:
        return QN_VK_BACK;
    case SDL_SCANCODE_TAB:
        return QN_VK_TAB;
    case SDL_SCANCODE_SPACE:
        return QN_VK_SPACE;
    case SDL_SCANCODE_MINUS:
        return QN_VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS:
        return QN_VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET:
        return QN_VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET:
        return QN_VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH:
        return QN_VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON:
        return QN_VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE:
        return QN_VK_OEM_7;
    case SDL_SCANCODE_GRAVE:
        return QN_VK_OEM_3;
    case SDL_SCANCODE_COMMA:
        return QN_VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD:
        return QN_VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH:
        return QN_VK_OEM_2;
    case SDL_SCANCODE_CAPSLOCK:
        return QN_VK_CAPITAL;
    case SDL_SCANCODE_PRINTSCREEN:
        return QN_VK_SNAPSHOT;
    case SDL_SCANCODE_SCROLLLOCK:
        return QN_VK_SCROLL;
    case SDL_SCANCODE_PAUSE:
        return QN_VK_PAUSE;
    case SDL_SCANCODE_INSERT:
        return QN_VK_INSERT;
    case SDL_SCANCODE_HOME:
        return QN_VK_HOME;
    case SDL_SCANCODE_PAGEUP:
        return QN_VK_PRIOR;
    case SDL_SCANCODE_DELETE:
        return QN_VK_DELETE;
    case SDL_SCANCODE_END:
        return QN_VK_END;
    case SDL_SCANCODE_PAGEDOWN:
        return QN_VK_NEXT;
    case SDL_SCANCODE_RIGHT:
        return QN_VK_RIGHT;
    case SDL_SCANCODE_LEFT:
        return QN_VK_LEFT;
    case SDL_SCANCODE_DOWN:
        return QN_VK_DOWN;
    case SDL_SCANCODE_UP:
        return QN_VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR:
        return QN_VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE:
        return QN_VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY:
        return QN_VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS:
        return QN_VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS:
        return QN_VK_ADD;
    case SDL_SCANCODE_KP_PERIOD:
        return QN_VK_DECIMAL;
    case SDL_SCANCODE_APPLICATION:
        return QN_VK_APPS;
    case SDL_SCANCODE_LCTRL:
        return QN_VK_LCONTROL;
    case SDL_SCANCODE_LSHIFT:
        return QN_VK_LSHIFT;
    case SDL_SCANCODE_LALT:
        return QN_VK_LMENU;
    case SDL_SCANCODE_LGUI:
        return QN_VK_LWIN;
    case SDL_SCANCODE_RCTRL:
        return QN_VK_RCONTROL;
    case SDL_SCANCODE_RSHIFT:
        return QN_VK_RSHIFT;
    case SDL_SCANCODE_RALT:
        return QN_VK_RMENU;
    case SDL_SCANCODE_RGUI:
        return QN_VK_RWIN;
    default:
        return 0;
    }
}
