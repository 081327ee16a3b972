// Keyboard snapshots, virtual-key mapping and the game pad's mappings.
#include "core/GamePad.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

class ScriptedInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        QNInputReset();
        QNInputSetScripted(true);
    }
    void TearDown() override { QNInputSetScripted(false); }
};

TEST_F(ScriptedInputTest, HeldKeyTriggersOnceAndReleasesAfterLettingGo) {
    const int expectedTriggered[] = {1, 0, 0, 0};
    const int expectedReleased[] = {0, 0, 0, 1};
    for (int frame = 0; frame < 4; ++frame) {
        QNInputInjectKey(QN_VK_SPACE, frame < 3);
        QNInputUpdate();
        EXPECT_EQ(QNInputCheckCurr(QN_VK_SPACE), frame < 3 ? 1 : 0) << frame;
        EXPECT_EQ(QNInputCheckTriggered(QN_VK_SPACE), expectedTriggered[frame]) << frame;
        EXPECT_EQ(QNInputCheckReleased(QN_VK_SPACE), expectedReleased[frame]) << frame;
    }
}

TEST_F(ScriptedInputTest, SideSpecificModifiersAlsoReportTheSharedCode) {
    QNInputInjectKey(QN_VK_RSHIFT, true);
    QNInputUpdate();
    EXPECT_TRUE(QNInputCheckCurr(QN_VK_SHIFT));
    EXPECT_FALSE(QNInputCheckCurr(QN_VK_CONTROL));
}

TEST_F(ScriptedInputTest, CursorDeltaIsTheMoveSinceTheLastSnapshot) {
    QNInputInjectCursor(100, 50);
    QNInputUpdate();
    QNInputInjectCursor(130, 62);
    QNInputUpdate();
    int32_t x, y, dx, dy;
    QNInputGetCursorPosition(&x, &y);
    QNInputGetCursorPositionDelta(&dx, &dy);
    EXPECT_EQ(x, 130);
    EXPECT_EQ(y, 62);
    EXPECT_EQ(dx, 30);
    EXPECT_EQ(dy, 12);
}

TEST(VirtualKeyTest, ScancodesMapToTheirVirtualKeys) {
    struct Case {
        SDL_Scancode sc;
        uint8_t vk;
    } cases[] = {
        {SDL_SCANCODE_A, 0x41},      {SDL_SCANCODE_E, 0x45},     {SDL_SCANCODE_Z, 0x5A},
        {SDL_SCANCODE_0, 0x30},      {SDL_SCANCODE_9, 0x39},     {SDL_SCANCODE_RETURN, 0x0D},
        {SDL_SCANCODE_ESCAPE, 0x1B}, {SDL_SCANCODE_SPACE, 0x20}, {SDL_SCANCODE_LEFT, 0x25},
        {SDL_SCANCODE_UP, 0x26},     {SDL_SCANCODE_RIGHT, 0x27}, {SDL_SCANCODE_DOWN, 0x28},
        {SDL_SCANCODE_LSHIFT, 0xA0}, {SDL_SCANCODE_F1, 0x70},    {SDL_SCANCODE_F12, 0x7B},
        {SDL_SCANCODE_KP_5, 0x65},   {SDL_SCANCODE_TAB, 0x09},   {SDL_SCANCODE_UNKNOWN, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(QNInputVirtualKeyFromScancode(c.sc), c.vk) << SDL_GetScancodeName(c.sc);
}

TEST(GamePadMappingTest, ControllerStickDeadZone) {
    struct Case {
        int16_t raw;
        float value;
    } cases[] = {{7849, 0.0f}, {-7849, 0.0f}, {7850, 0.23957}, {32767, 1.0f}, {-32768, -1.00003f}};
    for (const Case& c : cases)
        EXPECT_NEAR(GamePad::ControllerAxis(c.raw), c.value, 1e-4f) << c.raw;
}

TEST(GamePadMappingTest, JoystickAxesAndUpIsPositive) {
    EXPECT_EQ(GamePad::JoystickAxis(240), 0.0f);
    EXPECT_NEAR(GamePad::JoystickAxis(241), 0.241f, 1e-6f);
    GamePad pad;
    pad.SetScripted(true);
    JoystickState js;
    js.x = 500;
    js.y = -1000; // pushed up
    pad.InjectJoystick(js);
    pad.PollDirectInput(0.016f);
    float x, y;
    pad.LeftStick(&x, &y);
    EXPECT_NEAR(x, 0.5f, 1e-6f);
    EXPECT_NEAR(y, 1.0f, 1e-6f);
}

TEST(GamePadMappingTest, JoystickButtonsAndHatFollowTheTable) {
    struct Case {
        int button;
        uint16_t bit;
    } buttons[] = {{0, PAD_A},
                   {1, PAD_B},
                   {2, PAD_X},
                   {3, PAD_Y},
                   {4, PAD_LEFT_SHOULDER},
                   {5, PAD_RIGHT_SHOULDER},
                   {6, PAD_BACK},
                   {7, PAD_START},
                   {8, PAD_LEFT_THUMB},
                   {9, PAD_RIGHT_THUMB}};
    for (const Case& c : buttons) {
        JoystickState s;
        s.buttons[c.button] = 0x80;
        EXPECT_TRUE(GamePad::JoystickPressed(s, c.bit)) << c.button;
        EXPECT_FALSE(GamePad::JoystickPressed(s, static_cast<uint16_t>(~c.bit & 0xFFFF)))
            << c.button;
    }
    struct Hat {
        uint8_t sdl;
        uint32_t hundredths;
        uint16_t bits;
    } hats[] = {{SDL_HAT_UP, 0, PAD_UP},           {SDL_HAT_RIGHTUP, 4500, PAD_UP | PAD_RIGHT},
                {SDL_HAT_RIGHT, 9000, PAD_RIGHT},  {SDL_HAT_RIGHTDOWN, 13500, PAD_RIGHT | PAD_DOWN},
                {SDL_HAT_DOWN, 18000, PAD_DOWN},   {SDL_HAT_LEFTDOWN, 22500, PAD_DOWN | PAD_LEFT},
                {SDL_HAT_LEFT, 27000, PAD_LEFT},   {SDL_HAT_LEFTUP, 31500, PAD_LEFT | PAD_UP},
                {SDL_HAT_CENTERED, 0xFFFFFFFFu, 0}};
    for (const Hat& h : hats) {
        JoystickState s;
        s.pov[0] = GamePad::HatToHundredthsOfDegrees(h.sdl);
        EXPECT_EQ(s.pov[0], h.hundredths);
        for (uint16_t bit : {PAD_UP, PAD_DOWN, PAD_LEFT, PAD_RIGHT})
            EXPECT_EQ(GamePad::JoystickPressed(s, bit), (h.bits & bit) != 0)
                << "hat " << h.hundredths << " bit " << bit;
    }
}

TEST(GamePadMappingTest, TriggeredIsANewPressOfAnyMaskBit) {
    GamePad pad;
    pad.SetScripted(true);
    ControllerState s;
    s.buttons = PAD_A;
    pad.InjectController(s);
    pad.PollXInput(0.016f);
    EXPECT_EQ(pad.deviceKind, 0);
    EXPECT_TRUE(pad.IsTriggered(PAD_A | PAD_B));
    EXPECT_TRUE(pad.IsButtonHeld(PAD_A));
    pad.PollXInput(0.016f);
    EXPECT_FALSE(pad.IsTriggered(PAD_A)) << "still held";
    s.buttons = PAD_A | PAD_B;
    pad.InjectController(s);
    pad.PollXInput(0.016f);
    EXPECT_FALSE(pad.IsTriggered(PAD_A | PAD_B)) << "a bit of the mask was already down";
    EXPECT_TRUE(pad.IsTriggered(PAD_B));
    pad.InjectNone();
    pad.PollXInput(0.016f);
    EXPECT_EQ(pad.deviceKind, 2) << "unplugged";
    EXPECT_FALSE(pad.IsTriggered(0xFFFF));
}

} // namespace
