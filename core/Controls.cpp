// Controls -- the actions, their default inputs, their names, rebinding.
#include "core/Controls.h"

#include "core/GamePad.h"
#include "engine/QNKeys.h"

#include <cstdio>

namespace {

constexpr uint8_t kBoth = kWhilePlaying | kInMenus;

const ActionInfo kActions[kActionCount] = {
    {"moveUp", "Move up", {QN_VK_W, PAD_UP}, kWhilePlaying},
    {"moveDown", "Move down", {QN_VK_S, PAD_DOWN}, kWhilePlaying},
    {"moveLeft", "Move left", {QN_VK_A, PAD_LEFT}, kWhilePlaying},
    {"moveRight", "Move right", {QN_VK_D, PAD_RIGHT}, kWhilePlaying},
    {"lightSlash", "Light slash", {QN_VK_LBUTTON, PAD_A}, kWhilePlaying},
    {"heavySlash", "Heavy slash", {QN_VK_RBUTTON, PAD_B}, kWhilePlaying},
    {"aim", "Aim a dash", {QN_VK_LSHIFT, PAD_LEFT_SHOULDER}, kWhilePlaying},
    {"talk", "Talk, use", {QN_VK_E, PAD_X}, kWhilePlaying},
    {"pause", "Pause", {QN_VK_ESCAPE, PAD_START}, kBoth},
    {"menuUp", "Menu up", {QN_VK_UP, PAD_UP}, kInMenus},
    {"menuDown", "Menu down", {QN_VK_DOWN, PAD_DOWN}, kInMenus},
    {"menuConfirm", "Menu confirm", {QN_VK_RETURN, PAD_A}, kInMenus},
    {"screenshot", "Screenshot", {QN_VK_F12, 0}, kBoth},
};

struct NamedKey {
    uint8_t key;
    const char* id;
    const char* label;
};

const NamedKey kKeys[] = {
    {QN_VK_LBUTTON, "MouseLeft", "Left mouse button"},
    {QN_VK_RBUTTON, "MouseRight", "Right mouse button"},
    {QN_VK_MBUTTON, "MouseMiddle", "Middle mouse button"},
    {QN_VK_XBUTTON1, "MouseBack", "Mouse back button"},
    {QN_VK_XBUTTON2, "MouseForward", "Mouse forward button"},
    {QN_VK_BACK, "Backspace", "Backspace"},
    {QN_VK_TAB, "Tab", "Tab"},
    {QN_VK_RETURN, "Return", "Enter"},
    {QN_VK_PAUSE, "Pause", "Pause"},
    {QN_VK_CAPITAL, "CapsLock", "Caps Lock"},
    {QN_VK_ESCAPE, "Escape", "Escape"},
    {QN_VK_SPACE, "Space", "Space"},
    {QN_VK_PRIOR, "PageUp", "Page Up"},
    {QN_VK_NEXT, "PageDown", "Page Down"},
    {QN_VK_END, "End", "End"},
    {QN_VK_HOME, "Home", "Home"},
    {QN_VK_LEFT, "Left", "Left"},
    {QN_VK_UP, "Up", "Up"},
    {QN_VK_RIGHT, "Right", "Right"},
    {QN_VK_DOWN, "Down", "Down"},
    {QN_VK_INSERT, "Insert", "Insert"},
    {QN_VK_DELETE, "Delete", "Delete"},
    {QN_VK_LSHIFT, "LeftShift", "Left Shift"},
    {QN_VK_RSHIFT, "RightShift", "Right Shift"},
    {QN_VK_LCONTROL, "LeftCtrl", "Left Ctrl"},
    {QN_VK_RCONTROL, "RightCtrl", "Right Ctrl"},
    {QN_VK_LMENU, "LeftAlt", "Left Alt"},
    {QN_VK_RMENU, "RightAlt", "Right Alt"},
    {QN_VK_OEM_1, "Semicolon", ";"},
    {QN_VK_OEM_PLUS, "Equals", "="},
    {QN_VK_OEM_COMMA, "Comma", ","},
    {QN_VK_OEM_MINUS, "Minus", "-"},
    {QN_VK_OEM_PERIOD, "Period", "."},
    {QN_VK_OEM_2, "Slash", "/"},
    {QN_VK_OEM_3, "Grave", "`"},
    {QN_VK_OEM_4, "LeftBracket", "["},
    {QN_VK_OEM_5, "Backslash", "\\"},
    {QN_VK_OEM_6, "RightBracket", "]"},
    {QN_VK_OEM_7, "Apostrophe", "'"},
};

struct NamedButton {
    uint16_t button;
    const char* id;
    const char* label;
};

const NamedButton kButtons[] = {
    {PAD_A, "A", "A"},
    {PAD_B, "B", "B"},
    {PAD_X, "X", "X"},
    {PAD_Y, "Y", "Y"},
    {PAD_LEFT_SHOULDER, "LeftShoulder", "LB"},
    {PAD_RIGHT_SHOULDER, "RightShoulder", "RB"},
    {PAD_BACK, "Back", "Back"},
    {PAD_START, "Start", "Start"},
    {PAD_LEFT_THUMB, "LeftStick", "LS press"},
    {PAD_RIGHT_THUMB, "RightStick", "RS press"},
    {PAD_UP, "DpadUp", "D-pad up"},
    {PAD_DOWN, "DpadDown", "D-pad down"},
    {PAD_LEFT, "DpadLeft", "D-pad left"},
    {PAD_RIGHT, "DpadRight", "D-pad right"},
};

// Inputs the menus keep for themselves: Left and Right change values, the
// pointer clicks.
bool FixedInMenus(uint8_t key, uint16_t pad) {
    return key == QN_VK_LEFT || key == QN_VK_RIGHT || key == QN_VK_LBUTTON || pad == PAD_LEFT ||
           pad == PAD_RIGHT;
}

// What holds `wanted` besides `action` in a context they share.
std::optional<std::string> Holder(const Bindings& bindings, Action action, Binding wanted) {
    const uint8_t contexts = Describe(action).contexts;
    if ((contexts & kInMenus) && FixedInMenus(wanted.key, wanted.pad))
        return std::string();
    for (int32_t i = 0; i < kActionCount; ++i) {
        const auto other = static_cast<Action>(i);
        if (other == action || !(Describe(other).contexts & contexts))
            continue;
        const Binding& b = bindings[static_cast<size_t>(i)];
        if ((wanted.key != 0 && b.key == wanted.key) || (wanted.pad != 0 && b.pad == wanted.pad))
            return std::string(Describe(other).label);
    }
    return std::nullopt;
}

} // namespace

const ActionInfo& Describe(Action action) {
    return kActions[static_cast<size_t>(action)];
}

std::optional<Action> ActionFromId(const std::string& id) {
    for (int32_t i = 0; i < kActionCount; ++i) {
        if (id == kActions[i].id)
            return static_cast<Action>(i);
    }
    return std::nullopt;
}

std::string KeyId(uint8_t key) {
    if (key == 0)
        return "none";
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= QN_VK_F1 && key < QN_VK_F1 + 24)
        return "F" + std::to_string(key - QN_VK_F1 + 1);
    if (key >= QN_VK_NUMPAD0 && key <= QN_VK_NUMPAD0 + 9)
        return "Numpad" + std::to_string(key - QN_VK_NUMPAD0);
    for (const NamedKey& k : kKeys) {
        if (k.key == key)
            return k.id;
    }
    char code[16];
    std::snprintf(code, sizeof code, "Key%d", key);
    return code;
}

std::optional<uint8_t> KeyFromId(const std::string& id) {
    for (int key = 0; key < 256; ++key) {
        if (KeyId(static_cast<uint8_t>(key)) == id)
            return static_cast<uint8_t>(key);
    }
    return std::nullopt;
}

std::string KeyLabel(uint8_t key) {
    if (key == 0)
        return "-";
    for (const NamedKey& k : kKeys) {
        if (k.key == key)
            return k.label;
    }
    return KeyId(key);
}

std::string PadId(uint16_t button) {
    for (const NamedButton& b : kButtons) {
        if (b.button == button)
            return b.id;
    }
    return "none";
}

std::optional<uint16_t> PadFromId(const std::string& id) {
    if (id == "none")
        return uint16_t{0};
    for (const NamedButton& b : kButtons) {
        if (id == b.id)
            return b.button;
    }
    return std::nullopt;
}

std::string PadLabel(uint16_t button) {
    for (const NamedButton& b : kButtons) {
        if (b.button == button)
            return b.label;
    }
    return "-";
}

const std::array<uint16_t, 14>& PadButtons() {
    static const std::array<uint16_t, 14> buttons = [] {
        std::array<uint16_t, 14> all{};
        for (size_t i = 0; i < all.size(); ++i)
            all[i] = kButtons[i].button;
        return all;
    }();
    return buttons;
}

Bindings DefaultBindings() {
    Bindings b;
    for (int32_t i = 0; i < kActionCount; ++i)
        b[static_cast<size_t>(i)] = kActions[i].defaults;
    return b;
}

Controls& Controls::Current() {
    static Controls controls;
    return controls;
}

std::optional<std::string> Controls::BindKey(Action action, uint8_t key) {
    if (auto holder = Holder(bindings, action, {key, 0}))
        return holder;
    bindings[static_cast<size_t>(action)].key = key;
    return std::nullopt;
}

std::optional<std::string> Controls::BindPad(Action action, uint16_t button) {
    if (auto holder = Holder(bindings, action, {0, button}))
        return holder;
    bindings[static_cast<size_t>(action)].pad = button;
    return std::nullopt;
}
