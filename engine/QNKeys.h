// QNKeys.h -- virtual-key codes: the keyboard and mouse vocabulary the game
// speaks (the classic Windows numbering), mapped from SDL by QNInput.
#pragma once

enum QNKey : unsigned char {
    QN_VK_LBUTTON = 0x01,
    QN_VK_RBUTTON = 0x02,
    QN_VK_MBUTTON = 0x04,
    QN_VK_XBUTTON1 = 0x05,
    QN_VK_XBUTTON2 = 0x06,
    QN_VK_BACK = 0x08,
    QN_VK_TAB = 0x09,
    QN_VK_RETURN = 0x0D,
    QN_VK_SHIFT = 0x10,
    QN_VK_CONTROL = 0x11,
    QN_VK_MENU = 0x12, // Alt
    QN_VK_PAUSE = 0x13,
    QN_VK_CAPITAL = 0x14,
    QN_VK_ESCAPE = 0x1B,
    QN_VK_SPACE = 0x20,
    QN_VK_PRIOR = 0x21,
    QN_VK_NEXT = 0x22,
    QN_VK_END = 0x23,
    QN_VK_HOME = 0x24,
    QN_VK_LEFT = 0x25,
    QN_VK_UP = 0x26,
    QN_VK_RIGHT = 0x27,
    QN_VK_DOWN = 0x28,
    QN_VK_SNAPSHOT = 0x2C,
    QN_VK_INSERT = 0x2D,
    QN_VK_DELETE = 0x2E,
    QN_VK_0 = 0x30, // '0'..'9' are 0x30..0x39
    QN_VK_A = 0x41, // 'A'..'Z' are 0x41..0x5A
    QN_VK_D = 0x44,
    QN_VK_E = 0x45,
    QN_VK_Q = 0x51,
    QN_VK_S = 0x53,
    QN_VK_W = 0x57,
    QN_VK_LWIN = 0x5B,
    QN_VK_RWIN = 0x5C,
    QN_VK_APPS = 0x5D,
    QN_VK_NUMPAD0 = 0x60, // 0x60..0x69
    QN_VK_MULTIPLY = 0x6A,
    QN_VK_ADD = 0x6B,
    QN_VK_SUBTRACT = 0x6D,
    QN_VK_DECIMAL = 0x6E,
    QN_VK_DIVIDE = 0x6F,
    QN_VK_F1 = 0x70, // F1..F24 are 0x70..0x87
    QN_VK_F11 = 0x7A,
    QN_VK_F12 = 0x7B,
    QN_VK_NUMLOCK = 0x90,
    QN_VK_SCROLL = 0x91,
    QN_VK_LSHIFT = 0xA0,
    QN_VK_RSHIFT = 0xA1,
    QN_VK_LCONTROL = 0xA2,
    QN_VK_RCONTROL = 0xA3,
    QN_VK_LMENU = 0xA4,
    QN_VK_RMENU = 0xA5,
    QN_VK_OEM_1 = 0xBA,      // ;:
    QN_VK_OEM_PLUS = 0xBB,   // =+
    QN_VK_OEM_COMMA = 0xBC,  // ,<
    QN_VK_OEM_MINUS = 0xBD,  // -_
    QN_VK_OEM_PERIOD = 0xBE, // .>
    QN_VK_OEM_2 = 0xBF,      // /?
    QN_VK_OEM_3 = 0xC0,      // `~
    QN_VK_OEM_4 = 0xDB,      // [{
    QN_VK_OEM_5 = 0xDC,      // \|
    QN_VK_OEM_6 = 0xDD,      // ]}
    QN_VK_OEM_7 = 0xDE,      // '"
};
