// PromptGlyphs.h -- the small pictures a prompt shows for the input that
// answers it: a key cap lettered with the key the player bound, the mouse
// for its buttons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A lettered key cap: the key, its picture under assets/ and the letters on it.
struct KeyCap {
    uint8_t key;
    std::string file; // "popup_key_e.png"
    std::string text; // "E"
};

// Every lettered cap: the letters, the digits and F1 to F12.
const std::vector<KeyCap>& KeyCaps();
// The cap with no letters, for a key that has no lettered cap of its own.
constexpr const char* kPlainKeyCap = "popup_key_plain.png";
// The picture for `key` as bound: its lettered cap, the mouse with the left
// or right button lit, or the plain cap.
std::string KeyPromptImage(uint8_t key);
