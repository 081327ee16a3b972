// GamePad -- controllers and joysticks on SDL2, in one button vocabulary.
#include "core/GamePad.h"

#include <SDL.h>
#include <chrono>

// ---------------------------------------------------------------------------
// Pure helpers
// ---------------------------------------------------------------------------
float GamePad::ControllerAxis(int16_t value) {
    const int v = value;
    if (v >= 7850 || v <= -7850)
        return static_cast<float>(v) * 3.051851e-5f;
    return 0.0f;
}

float GamePad::JoystickAxis(int32_t value) {
    if (value >= 241 || value <= -241)
        return static_cast<float>(value) * 0.001f;
    return 0.0f;
}

bool GamePad::JoystickPressed(const JoystickState& s, uint16_t mask) {
    static const struct {
        uint16_t bit;
        int button;
    } kButtons[] = {{PAD_A, 0},
                    {PAD_B, 1},
                    {PAD_X, 2},
                    {PAD_Y, 3},
                    {PAD_LEFT_SHOULDER, 4},
                    {PAD_RIGHT_SHOULDER, 5},
                    {PAD_BACK, 6},
                    {PAD_START, 7},
                    {PAD_LEFT_THUMB, 8},
                    {PAD_RIGHT_THUMB, 9}};
    for (const auto& b : kButtons) {
        if ((mask & b.bit) && (s.buttons[b.button] & 0x80))
            return true;
    }
    const uint32_t hat = s.pov[0];
    if ((mask & PAD_UP) && (hat == 0 || hat == 4500 || hat == 31500))
        return true;
    if ((mask & PAD_DOWN) && (hat == 13500 || hat == 18000 || hat == 22500))
        return true;
    if ((mask & PAD_LEFT) && (hat == 22500 || hat == 27000 || hat == 31500))
        return true;
    if ((mask & PAD_RIGHT) && (hat == 4500 || hat == 9000 || hat == 13500))
        return true;
    return false;
}

uint32_t GamePad::HatToHundredthsOfDegrees(uint8_t hat) {
    switch (hat) {
    case SDL_HAT_UP:
        return 0;
    case SDL_HAT_RIGHTUP:
        return 4500;
    case SDL_HAT_RIGHT:
        return 9000;
    case SDL_HAT_RIGHTDOWN:
        return 13500;
    case SDL_HAT_DOWN:
        return 18000;
    case SDL_HAT_LEFTDOWN:
        return 22500;
    case SDL_HAT_LEFT:
        return 27000;
    case SDL_HAT_LEFTUP:
        return 31500;
    default:
        return 0xFFFFFFFFu;
    }
}

// ---------------------------------------------------------------------------
// Life cycle
// ---------------------------------------------------------------------------
GamePad::GamePad() = default;

GamePad::~GamePad() {
    if (directInputTask.valid())
        directInputTask.wait();
    if (subsystemStarted) {
        CloseJoystick();
        if (controller)
            SDL_GameControllerClose(controller);
        controller = nullptr;
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK);
    }
}

void GamePad::Init() {
    if (scripted)
        return;
    if (!subsystemStarted) {
        subsystemStarted = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK) == 0;
        if (!subsystemStarted)
            return; // no pad support: the pad counts as absent
    }
    if (!ScanControllers()) {
        // No mapped controller: look for a plain joystick straight away.
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (!SDL_IsGameController(i)) {
                OpenJoystick(i);
                break;
            }
        }
    }
}

bool GamePad::ScanControllers() {
    if (!subsystemStarted)
        return false;
    const int count = SDL_NumJoysticks();
    for (int i = 0; i < count && i < 4; ++i) {
        if (!SDL_IsGameController(i))
            continue;
        if (SDL_GameController* c = SDL_GameControllerOpen(i)) {
            if (controller)
                SDL_GameControllerClose(controller);
            controller = c;
            userIndex = static_cast<uint32_t>(i);
            deviceKind = PadController;
            currentXInput = ControllerState{};
            ReadController();
            previousXInput = currentXInput;
            return true;
        }
    }
    return false;
}

void GamePad::ReadController() {
    static const struct {
        SDL_GameControllerButton button;
        uint16_t bit;
    } kMap[] = {{SDL_CONTROLLER_BUTTON_DPAD_UP, PAD_UP},
                {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PAD_DOWN},
                {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PAD_LEFT},
                {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PAD_RIGHT},
                {SDL_CONTROLLER_BUTTON_START, PAD_START},
                {SDL_CONTROLLER_BUTTON_BACK, PAD_BACK},
                {SDL_CONTROLLER_BUTTON_LEFTSTICK, PAD_LEFT_THUMB},
                {SDL_CONTROLLER_BUTTON_RIGHTSTICK, PAD_RIGHT_THUMB},
                {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PAD_LEFT_SHOULDER},
                {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PAD_RIGHT_SHOULDER},
                {SDL_CONTROLLER_BUTTON_A, PAD_A},
                {SDL_CONTROLLER_BUTTON_B, PAD_B},
                {SDL_CONTROLLER_BUTTON_X, PAD_X},
                {SDL_CONTROLLER_BUTTON_Y, PAD_Y}};
    ControllerState s;
    s.packetNumber = currentXInput.packetNumber + 1;
    for (const auto& m : kMap) {
        if (SDL_GameControllerGetButton(controller, m.button))
            s.buttons = static_cast<uint16_t>(s.buttons | m.bit);
    }
    auto trigger = [this](SDL_GameControllerAxis axis) {
        const int v = SDL_GameControllerGetAxis(controller, axis);
        return static_cast<uint8_t>(v <= 0 ? 0 : (v * 255) / 32767);
    };
    // SDL's stick y grows downward; the pad layout's grows upward.
    auto upward = [](int16_t v) { return static_cast<int16_t>(v == -32768 ? 32767 : -v); };
    s.leftTrigger = trigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    s.rightTrigger = trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    s.thumbLX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
    s.thumbLY = upward(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
    s.thumbRX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_RIGHTX);
    s.thumbRY = upward(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_RIGHTY));
    currentXInput = s;
}

void GamePad::OpenJoystick(int deviceIndex) {
    if (deviceIndex < 0)
        return;
    SDL_Joystick* j = SDL_JoystickOpen(deviceIndex);
    if (!j)
        return;
    if (deviceKind != PadNone) {
        // A controller turned up meanwhile: it wins.
        SDL_JoystickClose(j);
        return;
    }
    joystick = j;
    deviceKind = PadJoystick;
    currentJoystick = JoystickState{};
    previousJoystick = JoystickState{};
}

void GamePad::CloseJoystick() {
    if (joystick)
        SDL_JoystickClose(joystick);
    joystick = nullptr;
}

bool GamePad::ReadJoystick() {
    if (!joystick || !SDL_JoystickGetAttached(joystick))
        return false;
    auto axis = [this](int index) {
        if (index >= SDL_JoystickNumAxes(joystick))
            return 0;
        const int v = SDL_JoystickGetAxis(joystick, index);
        return v < 0 ? (v * 1000) / 32768 : (v * 1000) / 32767;
    };
    JoystickState s;
    s.x = axis(0);
    s.y = axis(1);
    s.z = axis(2);
    s.rx = axis(3);
    s.ry = axis(4);
    s.rz = axis(5);
    const int buttons = SDL_JoystickNumButtons(joystick);
    for (int b = 0; b < buttons && b < 128; ++b)
        s.buttons[b] = SDL_JoystickGetButton(joystick, b) ? 0x80 : 0;
    const int hats = SDL_JoystickNumHats(joystick);
    for (int h = 0; h < hats && h < 4; ++h)
        s.pov[h] = HatToHundredthsOfDegrees(SDL_JoystickGetHat(joystick, h));
    previousJoystick = currentJoystick;
    currentJoystick = s;
    return true;
}

// ---------------------------------------------------------------------------
// Polling
// ---------------------------------------------------------------------------
void GamePad::PollXInput(float dt) {
    if (scripted) {
        if (scriptedKind == 0) {
            previousXInput = currentXInput;
            currentXInput = scriptedController;
            deviceKind = PadController;
        } else if (deviceKind == PadController) {
            deviceKind = PadNone;
        }
        return;
    }
    if (deviceKind == PadNone) {
        xInputRetryTimer += dt;
        if (xInputRetryTimer > 2.0f) {
            xInputRetryTimer = 0.0f;
            if (!directInputPending)
                ScanControllers();
        }
        return;
    }
    if (deviceKind == PadController) {
        previousXInput = currentXInput;
        if (!controller || !SDL_GameControllerGetAttached(controller)) {
            // The pad was unplugged.
            if (controller)
                SDL_GameControllerClose(controller);
            controller = nullptr;
            currentXInput = ControllerState{};
            userIndex = 5;
            deviceKind = PadNone;
            rumbling = false;
            return;
        }
        ReadController();
        if (rumbling) {
            rumbleTimer += dt;
            if (rumbleTimer >= rumbleDuration) {
                rumbling = false;
                SDL_GameControllerRumble(controller, 0, 0, 0);
            }
        }
    }
}

void GamePad::PollDirectInput(float dt) {
    if (scripted) {
        if (scriptedKind == 1) {
            previousJoystick = currentJoystick;
            currentJoystick = scriptedJoystick;
            deviceKind = PadJoystick;
        } else if (deviceKind == PadJoystick) {
            deviceKind = PadNone;
        }
        return;
    }
    if (directInputPending) {
        if (directInputTask.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return;
        const int found = directInputTask.get();
        directInputPending = false;
        if (found >= 0 && deviceKind == PadNone)
            OpenJoystick(found);
        return;
    }
    if (deviceKind == PadNone) {
        directInputRetryTimer += dt;
        if (directInputRetryTimer > 2.0f && subsystemStarted) {
            // Only SDL's locked device queries run off the main thread; the
            // joystick itself is opened here once the search has finished.
            directInputTask = std::async(std::launch::async, [] {
                const int count = SDL_NumJoysticks();
                for (int i = 0; i < count; ++i) {
                    if (!SDL_IsGameController(i))
                        return i;
                }
                return -1;
            });
            directInputPending = true;
            directInputRetryTimer = 0.0f;
        }
        return;
    }
    if (deviceKind == PadJoystick && joystick) {
        if (!ReadJoystick()) {
            CloseJoystick();
            deviceKind = PadNone;
        }
    }
}

// ---------------------------------------------------------------------------
// Queries
// ---------------------------------------------------------------------------
bool GamePad::IsTriggered(uint16_t mask) const {
    switch (deviceKind) {
    case 0:
        return (currentXInput.buttons & mask) && !(previousXInput.buttons & mask);
    case 1:
        return JoystickPressed(currentJoystick, mask) && !JoystickPressed(previousJoystick, mask);
    default:
        return false;
    }
}

bool GamePad::IsHeld(uint16_t mask) const {
    return JoystickPressed(currentJoystick, mask);
}

bool GamePad::IsButtonHeld(uint16_t mask) const {
    switch (deviceKind) {
    case 0:
        return (currentXInput.buttons & mask) != 0;
    case 1:
        return IsHeld(mask);
    default:
        return false;
    }
}

void GamePad::LeftStick(float* x, float* y) const {
    *x = *y = 0.0f;
    if (deviceKind == PadController) {
        *x = ControllerAxis(currentXInput.thumbLX);
        *y = ControllerAxis(currentXInput.thumbLY);
    } else if (deviceKind == PadJoystick) {
        *x = JoystickAxis(currentJoystick.x);
        *y = -JoystickAxis(currentJoystick.y);
    }
}

void GamePad::Rumble() {
    if (deviceKind != PadController)
        return; // plain joysticks have no rumble here
    rumbleDuration = 0.2f;
    rumbleTimer = 0.0f;
    rumbling = true;
    if (controller)
        SDL_GameControllerRumble(controller, 0xFFFF, 0xFFFF, 200);
}

// ---------------------------------------------------------------------------
// Scripted pads
// ---------------------------------------------------------------------------
void GamePad::SetScripted(bool on) {
    scripted = on;
    scriptedKind = 2;
    deviceKind = PadNone;
    currentXInput = previousXInput = ControllerState{};
    currentJoystick = previousJoystick = JoystickState{};
}

void GamePad::InjectController(const ControllerState& state) {
    scriptedKind = 0;
    scriptedController = state;
}

void GamePad::InjectJoystick(const JoystickState& state) {
    scriptedKind = 1;
    scriptedJoystick = state;
}

void GamePad::InjectNone() {
    scriptedKind = 2;
}
