// GamePad.h -- the game pad reader: a mapped controller first (device kind
// 0), a plain joystick as fallback (kind 1), none (kind 2). Both kinds report
// buttons in one bit layout; pads are searched for again every two seconds
// while none is present, the joystick search running in the background.
#pragma once

#include <cstdint>
#include <future>

struct _SDL_GameController;
struct _SDL_Joystick;

// Which kind of pad is in use.
enum PadDeviceKind : int32_t {
    PadController = 0, // a mapped game controller
    PadJoystick = 1,   // a plain joystick without a mapping
    PadNone = 2,       // nothing plugged in: keyboard and mouse
};

// Button bits shared by both kinds of pad.
enum PadButton : uint16_t {
    PAD_UP = 0x0001,
    PAD_DOWN = 0x0002,
    PAD_LEFT = 0x0004,
    PAD_RIGHT = 0x0008,
    PAD_START = 0x0010,
    PAD_BACK = 0x0020,
    PAD_LEFT_THUMB = 0x0040,
    PAD_RIGHT_THUMB = 0x0080,
    PAD_LEFT_SHOULDER = 0x0100,
    PAD_RIGHT_SHOULDER = 0x0200,
    PAD_A = 0x1000,
    PAD_B = 0x2000,
    PAD_X = 0x4000,
    PAD_Y = 0x8000,
};

// A controller's state in the classic layout.
struct ControllerState {
    uint32_t packetNumber = 0;
    uint16_t buttons = 0;
    uint8_t leftTrigger = 0;                                    // 0..255
    uint8_t rightTrigger = 0;                                   // 0..255
    int16_t thumbLX = 0, thumbLY = 0, thumbRX = 0, thumbRY = 0; // y up
};

// A plain joystick's state: axes -1000..1000, hats in hundredths of
// degrees (0xFFFFFFFF centred), buttons down when bit 7 is set.
struct JoystickState {
    int32_t x = 0, y = 0, z = 0, rx = 0, ry = 0, rz = 0;
    uint32_t pov[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    uint8_t buttons[128] = {};
};

class GamePad {
public:
    GamePad();
    ~GamePad();
    GamePad(const GamePad&) = delete;
    GamePad& operator=(const GamePad&) = delete;

    // Pad detection at start-up (main thread).
    void Init();
    // Called each ordinary frame with the clamped, scaled dt (seconds).
    void PollXInput(float dt);
    void PollDirectInput(float dt);
    // Some bit of mask pressed now and none of it in the previous poll.
    bool IsTriggered(uint16_t mask) const;
    // For joysticks: some bit of mask held now.
    bool IsHeld(uint16_t mask) const;
    // Some bit of mask held now, whatever the kind.
    bool IsButtonHeld(uint16_t mask) const;
    // Left stick in -1..1 per axis, y up, after the dead zone.
    void LeftStick(float* x, float* y) const;
    // A short full-strength rumble.
    void Rumble();

    // Pure helpers, shared with the tests.
    static float ControllerAxis(int16_t value);
    static float JoystickAxis(int32_t value);
    static bool JoystickPressed(const JoystickState& state, uint16_t mask);
    static uint32_t HatToHundredthsOfDegrees(uint8_t sdlHat);

    // Scripted pads for tests and tools: while scripted, polls read the
    // injected states instead of devices.
    void SetScripted(bool scripted);
    void InjectController(const ControllerState& state); // becomes kind 0
    void InjectJoystick(const JoystickState& state);     // becomes kind 1
    void InjectNone();                                   // unplugged

    ControllerState previousXInput;
    ControllerState currentXInput;
    uint32_t userIndex = 5;      // controller slot 0..3; 5 when none
    float rumbleTimer = 0.0f;    // seconds since the rumble started
    float rumbleDuration = 0.0f; // seconds
    bool rumbling = false;
    std::future<int> directInputTask; // background joystick search: device index or -1
    bool directInputPending = false;
    JoystickState currentJoystick;
    JoystickState previousJoystick;
    float directInputRetryTimer = 0.0f; // seconds without a pad
    float xInputRetryTimer = 0.0f;      // seconds without a pad
    int32_t deviceKind = PadNone;       // a PadDeviceKind

private:
    bool ScanControllers();
    void ReadController();
    void OpenJoystick(int deviceIndex);
    void CloseJoystick();
    bool ReadJoystick();

    _SDL_GameController* controller = nullptr;
    _SDL_Joystick* joystick = nullptr;
    bool subsystemStarted = false;
    bool scripted = false;
    int scriptedKind = 2;
    ControllerState scriptedController;
    JoystickState scriptedJoystick;
};
