// Controls.h -- which key (or mouse button) and which pad button drive each
// action of the game. The player rebinds them on the options' controls page;
// they are kept in the settings file. An input is never shared by two
// actions that can happen at the same time (while playing, or in a menu);
// the menus' Left and Right (values) and the pointer's click stay fixed.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

enum class Action : int32_t {
    MoveUp,
    MoveDown,
    MoveLeft,
    MoveRight,
    LightSlash,
    HeavySlash,
    Aim, // the dash's aim in slowed time (the pad's trigger aims as well)
    Talk,
    Pause,
    MenuUp,
    MenuDown,
    MenuConfirm,
    Screenshot,
};
constexpr int32_t kActionCount = 13;

// An action's inputs: a virtual-key code (0: none) and pad button bits (0:
// none).
struct Binding {
    uint8_t key = 0;
    uint16_t pad = 0;
    bool operator==(const Binding& o) const { return key == o.key && pad == o.pad; }
};

struct ActionInfo {
    const char* id;    // its name in the settings file
    const char* label; // its name on the controls page
    Binding defaults;  // as the README's controls table lists them
    uint8_t contexts;  // kWhilePlaying and / or kInMenus
};
constexpr uint8_t kWhilePlaying = 1;
constexpr uint8_t kInMenus = 2;

const ActionInfo& Describe(Action action);
std::optional<Action> ActionFromId(const std::string& id);

// Names of inputs: in the settings file ("W", "MouseLeft", "LeftShift";
// pad "A", "Start", "DpadUp"; "none") and on the screen.
std::string KeyId(uint8_t key);
std::optional<uint8_t> KeyFromId(const std::string& id);
std::string KeyLabel(uint8_t key);
std::string PadId(uint16_t button);
std::optional<uint16_t> PadFromId(const std::string& id);
std::string PadLabel(uint16_t button);
// Every single pad button, in the XInput bit layout.
const std::array<uint16_t, 14>& PadButtons();

using Bindings = std::array<Binding, kActionCount>;
Bindings DefaultBindings();

class Controls {
public:
    static Controls& Current();

    const Binding& Get(Action action) const { return bindings[static_cast<size_t>(action)]; }
    // Binds `key` to `action`. Refused when another action that can happen
    // at the same time has it, or it stays fixed for the menus: the answer
    // then names what holds it ("" for a fixed input) and nothing changes.
    std::optional<std::string> BindKey(Action action, uint8_t key);
    std::optional<std::string> BindPad(Action action, uint16_t button);
    // Every action back to its default inputs.
    void Reset() { bindings = DefaultBindings(); }

    Bindings bindings = DefaultBindings();
};
